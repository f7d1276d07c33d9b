#!/usr/bin/env bash
# The letter reading's speed, for one build or several side by side in one run: the processor
# time (user + system, the least of the runs) of tessik-cli listing Kowalski and Moses over
# the benchmark's ASCII file (bench/data/big/kjv.txt) by the default reading and with
# --encoding=auto, over a file of as many bytes of Polish, German, Russian, Ukrainian and
# Greek words (build_letters_text.sh) and over the ASCII file with an accent in every tenth
# word (made by run_bench.sh, left out when it is not there) with --encoding=auto; and the
# shares the aims are set in: the words beyond ASCII at least 500 MB/s and 0.25 of the
# default reading of the ASCII file, the ASCII file by --encoding=auto at least 0.9 of it.
# The builds take turns in every round, so that a machine whose speed drifts slows them alike.
# Usage: bench/letter_speed.sh CLI...   (TESSIK_BENCH_RUNS: rounds, 5 by default)
set -euo pipefail

[ $# -ge 1 ] || { echo "usage: $0 CLI..." >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
runs=${TESSIK_BENCH_RUNS:-5}
ascii="$here/data/big/kjv.txt"
accented="$here/data/accented/kjv.txt"
if [ ! -s "$ascii" ]; then
  echo "letter_speed: $ascii is missing (bench/build_corpus.sh makes it)" >&2
  exit 2
fi
bytes=$(stat -c %s "$ascii")
letters=$("$here/build_letters_text.sh" "$here/data/letters/words.txt" "$bytes")
cat "$ascii" "$letters" >/dev/null

# Each case: label | switches | file | word.
cases=("default, ASCII||$ascii|Kowalski"
  "auto, ASCII|--encoding=auto|$ascii|Kowalski"
  "auto, words beyond ASCII|--encoding=auto|$letters|Kowalski"
  "Moses default, ASCII||$ascii|Moses"
  "Moses auto, words beyond ASCII|--encoding=auto|$letters|Moses")
if [ -s "$accented" ]; then
  cases+=("Moses auto, accent in every tenth word|--encoding=auto|$accented|Moses")
fi

TIMEFORMAT='%3U %3S'
declare -A best=()
for ((round = 0; round < runs; round++)); do
  for entry in "${cases[@]}"; do
    IFS='|' read -r label switches file word <<<"$entry"
    for cli in "$@"; do
      # shellcheck disable=SC2086
      used=$({ time "$cli" $switches "$file" "$word" >/dev/null 2>&1; } 2>&1 | tail -n 1 |
        awk '{ printf "%d", ($1 + $2) * 1000 }')
      key="$cli|$label"
      if [ -z "${best[$key]:-}" ] || [ "$used" -lt "${best[$key]}" ]; then best[$key]=$used; fi
    done
  done
done

mbps() { awk -v b="$bytes" -v ms="$1" 'BEGIN { if (ms < 1) ms = 1; printf "%.0f", b / 1e6 / (ms / 1e3) }'; }
share() { awk -v a="$1" -v b="$2" 'BEGIN { if (b < 1) b = 1; printf "%.2f", a / b }'; }
printf 'files of %d bytes; load average %s; least processor time of %d runs\n' "$bytes" \
  "$(cut -d' ' -f1-3 /proc/loadavg)" "$runs"
for cli in "$@"; do
  printf '\n%s\n' "$cli"
  for entry in "${cases[@]}"; do
    IFS='|' read -r label _ <<<"$entry"
    ms=${best[$cli|$label]}
    printf '  %-40s %6d ms %7s MB/s\n' "$label" "$ms" "$(mbps "$ms")"
  done
  plain=${best[$cli|default, ASCII]}
  beyond=${best[$cli|auto, words beyond ASCII]}
  printf '  words beyond ASCII: %s MB/s (>= 500), %s of the default reading of ASCII (>= 0.25)\n' \
    "$(mbps "$beyond")" "$(share "$plain" "$beyond")"
  printf '  ASCII by --encoding=auto: %s of the default reading (>= 0.9)\n' \
    "$(share "$plain" "${best[$cli|auto, ASCII]}")"
done
