#!/usr/bin/env bash
# Builds the text of the letter reading's benchmark once: words of Polish, German, Russian,
# Ukrainian and Greek dictionaries, nearly every one written with a letter beyond ASCII,
# shuffled and set in lines of about ten words with commas and full stops between them,
# repeated up to the size asked for. The word lists come from Debian's packages wpolish,
# wngerman, hunspell-ru, hunspell-uk and hunspell-el (scripts/install-deps.sh bench installs
# them). Of the Latin lists only the words with a letter beyond ASCII are taken; each list
# gives at most 140,000 words, drawn by a fixed seed, so the text is the same on every machine.
# Usage: bench/build_letters_text.sh [OUTPUT [BYTES]]
#   BYTES: its size, 200,000,000 by default (a last line cut short is left out, and spaces
#   make up the size). Prints the path of the text.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/data/letters/words.txt}
wanted=${2:-200000000}
stamp="$out.$wanted"
if [ -f "$stamp" ] && [ -s "$out" ]; then
  echo "$out"
  exit 0
fi

lists=(/usr/share/dict/polish /usr/share/dict/ngerman /usr/share/hunspell/ru_RU.dic
  /usr/share/hunspell/uk_UA.dic /usr/share/hunspell/el_GR.dic)
for list in "${lists[@]}"; do
  if [ ! -s "$list" ]; then
    echo "build_letters_text: $list is missing (scripts/install-deps.sh bench installs it)" >&2
    exit 1
  fi
done

mkdir -p "$(dirname "$out")"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# A stream of bytes that is the same on every run, for shuf.
seed() { yes tessik-letters | head -c 20000000; }

# words LIST ENCODING NON_ASCII_ONLY: the list's words in UTF-8, one a line, without the
# affix flags of a hunspell dictionary (and its first line, the count of its words).
words() {
  local list=$1 encoding=$2 only=$3
  iconv -f "$encoding" -t UTF-8 "$list" |
    sed -e 's|/.*||' -e 's/[[:space:]].*//' |
    awk -v only="$only" 'NR > 1 || !/^[0-9]+$/ { if ($0 != "" && (!only || /[^\001-\177]/)) print }' |
    shuf --random-source=<(seed) -n 140000
}
{
  words /usr/share/dict/polish UTF-8 1
  words /usr/share/dict/ngerman UTF-8 1
  words /usr/share/hunspell/ru_RU.dic UTF-8 0
  words /usr/share/hunspell/uk_UA.dic UTF-8 0
  words /usr/share/hunspell/el_GR.dic ISO-8859-7 0
} | shuf --random-source=<(seed) >"$scratch/pool"

# One pass over the pool in lines of ten words, then that text repeated up to the size.
awk '{ printf "%s%s", $0, (NR % 10 == 0 ? ".\n" : NR % 4 == 0 ? ", " : " ") } END { print "" }' \
  "$scratch/pool" >"$scratch/once"
: >"$scratch/text"
while [ "$(stat -c %s "$scratch/text")" -lt "$wanted" ]; do cat "$scratch/once" >>"$scratch/text"; done
head -c "$wanted" "$scratch/text" | sed '$d' >"$out"
printf '%*s' $((wanted - $(stat -c %s "$out"))) '' >>"$out"
rm -f "$out".[0-9]*
touch "$stamp"
echo "build_letters_text: $(stat -c %s "$out") bytes, $(wc -l <"$scratch/pool") words" \
  "repeated, in $out" >&2
echo "$out"
