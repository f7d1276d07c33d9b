#!/usr/bin/perl
# Writes the verses of VERSES (one a line) over and over, with a register line of six real
# names after every eighth verse, until BYTES bytes are written. The names are the given
# names (female and male in turn) and surnames of Text::Names, drawn by their frequency in
# the 1990 US census with a fixed linear congruential sequence, so the text is the same on
# every machine: "Reg12:3 Mary Smith, James Johnson, ...".
# Usage: perl register_of_names.pl VERSES BYTES >OUT
use strict;
use warnings;
use Text::Names ();

@ARGV == 2 or die "usage: $0 VERSES BYTES\n";
my ($versesFile, $bytes) = @ARGV;

Text::Names::prepareCommonNames();

# weighted(%frequency): the names by falling frequency with their running totals.
sub weighted {
  my %frequency = @_;
  my @names = sort { $frequency{$b} <=> $frequency{$a} || $a cmp $b } keys %frequency;
  my ($sum, @running) = (0);
  for my $name (@names) {
    $sum += $frequency{$name};
    push @running, $sum;
  }
  return { Names => \@names, Running => \@running, Sum => $sum };
}

my @givenNames = (weighted(%Text::Names::commonFemaleFirstnames),
                  weighted(%Text::Names::commonMaleFirstnames));
my $surnames = weighted(%Text::Names::commonSurnames);

my $seed = 12345;
sub next_fraction {
  $seed = ($seed * 1103515245 + 12345) % 2147483648;
  return $seed / 2147483648;
}

# pick($list): a name drawn by frequency, capitalised as a register writes it.
sub pick {
  my ($list) = @_;
  my $target = next_fraction() * $list->{Sum};
  my ($low, $high) = (0, $#{ $list->{Running} });
  while ($low < $high) {
    my $middle = int(($low + $high) / 2);
    if ($list->{Running}[$middle] < $target) { $low = $middle + 1 } else { $high = $middle }
  }
  return ucfirst lc $list->{Names}[$low];
}

open my $in, '<', $versesFile or die "$0: $versesFile: $!\n";
my @verses = <$in>;
close $in;
@verses or die "$0: $versesFile is empty\n";

my ($written, $register) = (0, 0);
OUTER: for (;;) {
  for my $i (0 .. $#verses) {
    print $verses[$i];
    $written += length $verses[$i];
    if ($i % 8 == 7) {
      $register++;
      my @entries = map { pick($givenNames[$_ % 2]) . ' ' . pick($surnames) } 0 .. 5;
      my $line = 'Reg' . int($register / 100 + 1) . ':' . ($register % 100 + 1) . ' '
        . join(', ', @entries) . ".\n";
      print $line;
      $written += length $line;
    }
    last OUTER if $written >= $bytes;
  }
}
