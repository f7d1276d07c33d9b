#!/usr/bin/env bash
# Runs two builds of tessik-cli over the benchmark corpus (bench/build_corpus.sh) with
# the same searches, and reports every search whose standard output, standard error,
# exit status or log differs. For changes that must not change what a search finds or
# prints: compare the build before the change with the build after it.
# Every search runs with each switch off and on: as it is, with --method=dm, with
# --encoding=auto, and with both (and with each word of TESSIK_COMPARE_SWITCHES, such as
# "--given-names --method=scored", alone); and --explain runs for a few words in the same ways.
# Besides the corpus, three files of words beyond ASCII (bench/build_letters_text.sh): 30 MB
# of Polish, German, Russian, Ukrainian and Greek words, some of them in UTF-16, and lines of
# them between verses of the King James text.
# Usage: bench/compare_outputs.sh OLD_CLI NEW_CLI
set -euo pipefail

[ $# -eq 2 ] || { echo "usage: $0 OLD_CLI NEW_CLI" >&2; exit 2; }
old=$(realpath "$1")
new=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
"$here/build_corpus.sh" "$here/data"
big="$here/data/big"
tree="$here/data/tree"
letters="$here/data/letters/compare"
"$here/build_letters_text.sh" "$letters/words.txt" 30000000 >/dev/null
if [ ! -s "$letters/mixed.txt" ] || [ "$letters/mixed.txt" -ot "$letters/words.txt" ]; then
  head -n 20000 "$letters/words.txt" | iconv -f UTF-8 -t UTF-16 >"$letters/utf16.txt"
  paste -d '\n' <(head -n 100000 "$here/data/kjv.txt") <(head -n 100000 "$letters/words.txt") \
    >"$letters/mixed.txt"
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Each search: subdirectory flag, specification, query words.
searches=(
  "-|$big/*.txt|Moses"
  "-|$big/*.txt|Lord"
  "-|$big/*.txt|Ellen"
  "-|$big/*.txt|Xenia"
  "-|$big/*.txt|Moses A Aaron"
  "-|$big/*.txt|qqqzz O zzqqj"
  "-|$big/*.*|"
  "-s|$tree/*.txt|Moses"
  "-s|$tree/*.txt|Katherine"
  "-s|$tree/*.txt|Moses A Aaron"
  "-s|$tree/*.txt|Moses N Aaron"
  "-s|$tree/*.txt|Moses X Aaron"
  "-s|$tree/*.txt|N Jesus"
  "-s|$tree/*.txt|A Jesus"
  "-s|$tree/part0001?.txt|Pharaoh O Egypt"
  "-s|$tree/*.txt|"
  "-s|$tree/*.txt|Moses A"
  "-s|$tree/*.txt|Mo5es"
  "-|$tree/nothing/*.txt|Moses"
  "-|$big/*.txt|Müller"
  "-s|$tree/*.txt|Schwarz O Jackson"
  "-|$letters/*.txt|Kowalski"
  "-|$letters/*.txt|Ivanov"
  "-|$letters/*.txt|Ioannis A Dimitri"
  "-|$letters/*.txt|Yevgeny O Zeus"
  "-|$letters/*.txt|Müller"
  "-|$letters/*.txt|Hennadiy"
)

# The switches, each set of them a word of options (empty: every switch off).
switches=("" "--method=dm" "--encoding=auto" "--method=dm --encoding=auto" ${TESSIK_COMPARE_SWITCHES:-})

# Words for --explain: plain, doubled letters, ps and ph, an accented one, too long, none.
explained=(Moses Katherine psalm Phoenix Müller Jackson Auerbach "" "M0ses" \
  "$(printf 'a%.0s' {1..221})" "$(printf 'b%.0s' {1..220})")

run() {  # run CLI OUT_PREFIX SWITCHES FLAG SPEC QUERY
  local cli=$1 out=$2 options=$3 flag=$4 spec=$5 query=$6 status=0
  local args=(--log "$out.log")
  # shellcheck disable=SC2206
  [ -n "$options" ] && args+=($options)
  [ "$flag" = "-s" ] && args+=(-s)
  # shellcheck disable=SC2086
  "$cli" "${args[@]}" "$spec" $query >"$out.stdout" 2>"$out.stderr" || status=$?
  echo "$status" >"$out.status"
  [ -f "$out.log" ] || : >"$out.log"
}

explain() {  # explain CLI OUT_PREFIX SWITCHES WORD
  local cli=$1 out=$2 options=$3 word=$4 status=0
  # shellcheck disable=SC2086
  "$cli" $options --explain "$word" >"$out.stdout" 2>"$out.stderr" || status=$?
  echo "$status" >"$out.status"
  : >"$out.log"
}

differences=0
compare() {  # compare WHAT
  for part in stdout stderr status log; do
    if ! cmp -s "$scratch/old.$part" "$scratch/new.$part"; then
      echo "DIFFERENT $part: $1"
      differences=$((differences + 1))
    fi
  done
  rm -f "$scratch"/old.* "$scratch"/new.*
}
count=0
for options in "${switches[@]}"; do
  for search in "${searches[@]}"; do
    IFS='|' read -r flag spec query <<<"$search"
    run "$old" "$scratch/old" "$options" "$flag" "$spec" "$query"
    run "$new" "$scratch/new" "$options" "$flag" "$spec" "$query"
    compare "$options $flag $spec $query"
    count=$((count + 1))
  done
  for word in "${explained[@]}"; do
    explain "$old" "$scratch/old" "$options" "$word"
    explain "$new" "$scratch/new" "$options" "$word"
    compare "$options --explain ${word:0:20}"
    count=$((count + 1))
  done
done
echo "$count runs, $differences difference(s)"
[ "$differences" -eq 0 ]
