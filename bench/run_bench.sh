#!/usr/bin/env bash
# Times tessik-cli against grep on the same data in one run: single-word and expression
# searches over one file of about 200 MB and over a tree of about 5,000 files (built once
# by build_corpus.sh into bench/data). Each command runs several times and the best time
# counts; MB/s is the corpus size over that time. Peak memory (maximum resident set size)
# is taken with /usr/bin/time when it is installed.
# Usage: bench/run_bench.sh [BUILD_DIR]   (default build/; TESSIK_BENCH_RUNS, default 5)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build=${1:-$root/build}
runs=${TESSIK_BENCH_RUNS:-5}

cli=
for candidate in "$build/bin/tessik-cli" "$build/tessik-cli"; do
  if [ -x "$candidate" ]; then
    cli=$candidate
    break
  fi
done
if [ -z "$cli" ]; then
  echo "run_bench: no tessik-cli in $build (build the tessik-cli target first)" >&2
  exit 2
fi

"$here/build_corpus.sh" "$here/data"
big="$here/data/big/kjv.txt"
tree="$here/data/tree"
big_bytes=$(stat -c %s "$big")
tree_bytes=$(find "$tree" -type f -printf '%s\n' | awk '{ sum += $1 } END { print sum }')
tree_files=$(find "$tree" -type f | wc -l)

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

have_time=0
if [ -x /usr/bin/time ]; then have_time=1; fi

# best_run OUT COMMAND...: runs it $runs times with stdout to OUT and sets best (wall
# microseconds), cpu (the least user + system microseconds) and rss (kilobytes of the
# best run); cpu and rss are "-" without /usr/bin/time. The stderr of the last run is
# kept in $scratch/stderr. grep writes to a file: with its output on /dev/null GNU grep
# stops at the first match, as with -q.
best_run() {
  best=
  cpu=-
  rss=-
  local out=$1 r start end elapsed used
  shift
  for ((r = 0; r < runs; r++)); do
    start=$(date +%s%N)
    if [ "$have_time" = 1 ]; then
      /usr/bin/time -f '%M %U %S' -o "$scratch/usage" "$@" >"$out" 2>"$scratch/stderr" || true
    else
      "$@" >"$out" 2>"$scratch/stderr" || true
    fi
    end=$(date +%s%N)
    elapsed=$(((end - start) / 1000))
    if [ -z "$best" ] || [ "$elapsed" -lt "$best" ]; then
      best=$elapsed
      if [ "$have_time" = 1 ]; then rss=$(tail -n 1 "$scratch/usage" | cut -d' ' -f1); fi
    fi
    if [ "$have_time" = 1 ]; then
      used=$(tail -n 1 "$scratch/usage" | awk '{ printf "%d", ($2 + $3) * 1e6 }')
      if [ "$cpu" = - ] || [ "$used" -lt "$cpu" ]; then cpu=$used; fi
    fi
  done
}

mb_per_s() {
  if [ "$2" = - ]; then echo -; return; fi
  awk -v bytes="$1" -v us="$2" 'BEGIN { if (us < 1) us = 1; printf "%.1f", bytes / 1048576 / (us / 1e6) }'
}
seconds() {
  if [ "$1" = - ]; then echo -; return; fi
  awk -v us="$1" 'BEGIN { printf "%.3f", us / 1e6 }'
}

printf 'tessik-cli: %s\n' "$cli"
printf 'corpus: one file of %d bytes; %d files of %d bytes in all; best of %d runs\n' \
  "$big_bytes" "$tree_files" "$tree_bytes" "$runs"
if [ "$have_time" = 0 ]; then
  printf 'peak memory: not measured (/usr/bin/time is not installed; Debian package "time")\n'
fi
printf '\n%-34s %-7s %8s %8s %8s %8s %10s  %s\n' "case" "tool" "wall s" "MB/s" "cpu s" \
  "cpu MB/s" "max RSS KB" "result"

# compare LABEL BYTES "TESSIK ARGS" "GREP ARGS": one tessik-cli and one grep command.
compare() {
  local label=$1 bytes=$2 tessik_args=$3 grep_args=$4
  local t_wall t_cpu t_rss g_wall g_cpu g_rss summary ratio
  eval "best_run /dev/null \"\$cli\" $tessik_args"
  t_wall=$best t_cpu=$cpu t_rss=$rss
  summary=$(tail -n 1 "$scratch/stderr" | sed 's/ *$//')
  eval "best_run \"\$scratch/grep.out\" grep $grep_args"
  g_wall=$best g_cpu=$cpu g_rss=$rss
  printf '%-34s %-7s %8s %8s %8s %8s %10s  %s\n' "$label" tessik "$(seconds "$t_wall")" \
    "$(mb_per_s "$bytes" "$t_wall")" "$(seconds "$t_cpu")" "$(mb_per_s "$bytes" "$t_cpu")" \
    "$t_rss" "$summary"
  printf '%-34s %-7s %8s %8s %8s %8s %10s\n' "" grep "$(seconds "$g_wall")" \
    "$(mb_per_s "$bytes" "$g_wall")" "$(seconds "$g_cpu")" "$(mb_per_s "$bytes" "$g_cpu")" "$g_rss"
  ratio=$(awk -v t="$t_wall" -v g="$g_wall" 'BEGIN { printf "%.2f", g / t }')
  if [ "$t_cpu" != - ] && [ "$t_cpu" -gt 0 ]; then
    ratio="$ratio wall, $(awk -v t="$t_cpu" -v g="$g_cpu" 'BEGIN { printf "%.2f", g / t }') cpu"
  fi
  ratios+=("$(printf '%-34s tessik/grep speed %s' "$label" "$ratio")")
}

ratios=()
compare "word, one file: moses" "$big_bytes" "'$big' moses" "-c -i moses '$big'"
compare "word, one file: lord (many hits)" "$big_bytes" "'$big' lord" "-c -i lord '$big'"
compare "word, one file: ellen (vowel key)" "$big_bytes" "'$big' ellen" "-c -i ellen '$big'"
compare "word, tree: moses" "$tree_bytes" "-s '$tree/*.txt' moses" "-r -c -i moses '$tree'"
compare "expression, one file: absent terms" "$big_bytes" "'$big' xylophone O quagmire" \
  "-c -i -e xylophone -e quagmire '$big'"
compare "expression, tree: moses A aaron" "$tree_bytes" "-s '$tree/*.txt' moses A aaron" \
  "-r -c -i -e moses -e aaron '$tree'"
compare "expression, tree: absent terms" "$tree_bytes" "-s '$tree/*.txt' xylophone O quagmire" \
  "-r -c -i -e xylophone -e quagmire '$tree'"

printf '\nratios (above 1: tessik-cli is faster than grep on the same data)\n'
for line in "${ratios[@]}"; do printf '  %s\n' "$line"; done
printf '\nMB/s is the corpus size over the best wall time, cpu MB/s over the least user +\n'
printf 'system time (steadier on a busy machine). An expression reads a file once for each\n'
printf 'term that has to scan it, and stops reading it at its first matching word.\n'

