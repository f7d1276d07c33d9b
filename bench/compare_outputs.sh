#!/usr/bin/env bash
# Runs two builds of tessik-cli over the benchmark corpus (bench/build_corpus.sh) with
# the same searches, and reports every search whose standard output, standard error,
# exit status or log differs. For changes that must not change what a search finds or
# prints: compare the build before the change with the build after it.
# Usage: bench/compare_outputs.sh OLD_CLI NEW_CLI
set -euo pipefail

[ $# -eq 2 ] || { echo "usage: $0 OLD_CLI NEW_CLI" >&2; exit 2; }
old=$(realpath "$1")
new=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
"$here/build_corpus.sh" "$here/data"
big="$here/data/big"
tree="$here/data/tree"

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
)

run() {  # run CLI OUT_PREFIX FLAG SPEC QUERY
  local cli=$1 out=$2 flag=$3 spec=$4 query=$5 status=0
  local args=(--log "$out.log")
  [ "$flag" = "-s" ] && args+=(-s)
  # shellcheck disable=SC2086
  "$cli" "${args[@]}" "$spec" $query >"$out.stdout" 2>"$out.stderr" || status=$?
  echo "$status" >"$out.status"
  [ -f "$out.log" ] || : >"$out.log"
}

differences=0
for search in "${searches[@]}"; do
  IFS='|' read -r flag spec query <<<"$search"
  run "$old" "$scratch/old" "$flag" "$spec" "$query"
  run "$new" "$scratch/new" "$flag" "$spec" "$query"
  for part in stdout stderr status log; do
    if ! cmp -s "$scratch/old.$part" "$scratch/new.$part"; then
      echo "DIFFERENT $part: $flag $spec $query"
      differences=$((differences + 1))
    fi
  done
  rm -f "$scratch"/old.* "$scratch"/new.*
done
echo "${#searches[@]} searches, $differences difference(s)"
[ "$differences" -eq 0 ]
