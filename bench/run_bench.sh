#!/usr/bin/env bash
# Times tessik-cli against ripgrep (rg -j1), GNU grep and ugrep (-J1), every program on one
# thread, on the same data in one run: single-word and expression searches over one file of
# about 200 MB and over a tree of about 5,000 files (built once by build_corpus.sh into
# bench/data): the King James text with a register of real names, or with
# TESSIK_BENCH_CORPUS=kjv the King James text alone. With the page cache warm, each case
# runs in rounds of every program once, and each program's best wall time counts; MB/s is
# the corpus size over that time. Every program writes its output
# to a file (with its output on /dev/null GNU grep stops at the first match, as with -q).
# Peak memory is the maximum resident set size that the system reports for the run.
#
# The others search for the literal word without regard to case: they count matching lines
# (-c -i) where tessik-cli lists occurrences, write numbered lines (-n -i) in the case with
# hundreds of thousands of hits, and take one -e per term of an expression. In the tree
# tessik-cli searches -s 'TREE/*.txt' (every file of the tree is a .txt file), grep and
# ugrep -r, rg its own recursion with no ignore files.
#
# For each case the speed ratio tessik/X is X's time over tessik-cli's (above 1: tessik-cli
# is faster) and stands beside the target it has, if any, with whether it is met. A search
# by Daitch-Mokotoff Soundex (--method=dm) follows the same search by the program's own
# method, and its speed as a share of that one's must be at least 0.5 (by the scored method,
# --method=scored, at least 0.25); a search with
# --encoding=auto, of the same file and of the file with an accent in every tenth word (made
# here once, beside the corpus), at least 0.9 and 0.5 of the search that reads ASCII. A search
# with --encoding=auto of a text as large as the corpus where nearly every word is Polish,
# German, Russian, Ukrainian or Greek (build_letters_text.sh) must read at least 500 MB/s and
# at least 0.25 of the speed of the same search by the default reading of the corpus. The peak
# memory target is 64 MB (64,000,000 bytes) while the list stays within 61,440 lines, and
# 48 bytes more for each line beyond. The exit status does not depend on any target.
# A Markdown table of the run closes the output, as the README shows it.
# Then the threads: tessik-cli with -j1, -j2 and one thread per processor, against ripgrep
# with -j1 and at its default (every processor), on the one file and on the tree; each
# count's speed over tessik-cli's own with one thread must reach 1.7 with two threads, and
# every count must print the same as one.
# Usage: bench/run_bench.sh [BUILD_DIR]   (default build/; TESSIK_BENCH_RUNS, default 5;
#        TESSIK_BENCH_CORPUS, mixed (the default) or kjv; TESSIK_BENCH_PART=threads: the
#        threads alone)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build=${1:-$root/build}
runs=${TESSIK_BENCH_RUNS:-5}
corpus=${TESSIK_BENCH_CORPUS:-mixed}

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

case "$corpus" in
  mixed)
    big="$here/data/mixed/big/text.txt"
    tree="$here/data/mixed/tree"
    corpus_option=--mixed
    ;;
  kjv)
    big="$here/data/big/kjv.txt"
    tree="$here/data/tree"
    corpus_option=
    ;;
  *)
    echo "run_bench: TESSIK_BENCH_CORPUS is mixed or kjv, not '$corpus'" >&2
    exit 2
    ;;
esac

"$root/scripts/install-deps.sh" bench
"$here/build_corpus.sh" "$here/data" $corpus_option
big_bytes=$(stat -c %s "$big")
tree_bytes=$(find "$tree" -type f -printf '%s\n' | awk '{ sum += $1 } END { print sum }')
tree_files=$(find "$tree" -type f | wc -l)

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Every program reads from the page cache, not from the disk.
cat "$big" >/dev/null
find "$tree" -type f -exec cat {} + >/dev/null

# Each run is timed by timed_run.c, from just before the program starts to just after it
# ends: timing it with a date before and after and /usr/bin/time around it counted about
# 2.5 ms of their own start-up in every run, which weighs most on the fastest searches.
cc -O2 -o "$scratch/timed_run" "$here/timed_run.c"

# run_once TOOL OUT COMMAND...: runs it once with stdout to OUT and stderr to
# $scratch/TOOL.stderr, and keeps in the caller's wall, cpus and peak the best wall
# microseconds, the least user + system microseconds and the most kilobytes of resident
# memory of TOOL's runs so far.
run_once() {
  local t=$1 out=$2 elapsed used kb
  shift 2
  read -r elapsed used kb < <("$scratch/timed_run" "$out" "$scratch/$t.stderr" "$@")
  if [ -z "${wall[$t]:-}" ] || [ "$elapsed" -lt "${wall[$t]}" ]; then wall[$t]=$elapsed; fi
  if [ -z "${cpus[$t]:-}" ] || [ "$used" -lt "${cpus[$t]}" ]; then cpus[$t]=$used; fi
  if [ -z "${peak[$t]:-}" ] || [ "$kb" -gt "${peak[$t]}" ]; then peak[$t]=$kb; fi
}

mb_per_s() { awk -v bytes="$1" -v us="$2" 'BEGIN { if (us < 1) us = 1; printf "%.0f", bytes / 1e6 / (us / 1e6) }'; }
seconds() { awk -v us="$1" 'BEGIN { printf "%.3f", us / 1e6 }'; }
megabytes() { awk -v kb="$1" 'BEGIN { printf "%.1f", kb * 1024 / 1e6 }'; }
ratio() { awk -v other="$1" -v mine="$2" 'BEGIN { if (mine < 1) mine = 1; printf "%.2f", other / mine }'; }
# verdict RATIO TARGET: "met" or "not met" for a ratio that must reach TARGET.
verdict() { awk -v r="$1" -v t="$2" 'BEGIN { print (r >= t ? "met" : "not met") }'; }

tools=(tessik rg grep ugrep)
printf 'tessik-cli: %s\n' "$cli"
printf 'others:     %s; %s; %s\n' "$(rg --version | head -n 1)" "$(grep --version | head -n 1)" \
  "$(ugrep --version | head -n 1 | cut -d' ' -f1-2)"
printf 'corpus:     %s: one file of %d bytes; %d files of %d bytes in all\n' "$corpus" \
  "$big_bytes" "$tree_files" "$tree_bytes"
printf 'machine:    %s processors; load average %s; best of %d runs, page cache warm\n' \
  "$(nproc)" "$(cut -d' ' -f1-3 /proc/loadavg)" "$runs"
printf '\n%-7s %8s %8s %8s %8s %11s\n' tool "wall s" "MB/s" "cpu s" "cpu MB/s" "max RSS MB"

table=()
declare -A tessik_wall=() tessik_cpu=()
# bench_case LABEL BYTES TARGETS :: TESSIK ARGS :: RG ARGS :: GREP ARGS :: UGREP ARGS
# TARGETS: "rg=0.9 grep=2.2", the least speed ratio tessik/X the case must reach.
bench_case() {
  local label=$1 bytes=$2 targets=$3
  shift 3
  local -A wall=() cpus=() peak=() target=()
  # Each program's command, reached by name (cmd_$t) through a reference.
  # shellcheck disable=SC2034
  local -a cmd_tessik=() cmd_rg=() cmd_grep=() cmd_ugrep=()
  local tool=0 r t lines summary limit_kb line cells rss_cell
  for t in $targets; do target[${t%%=*}]=${t#*=}; done
  printf '\n%s\n' "$label"
  shift # the first ::
  while [ $# -gt 0 ]; do
    local -n cmd=cmd_${tools[tool]}
    while [ $# -gt 0 ] && [ "$1" != :: ]; do
      cmd+=("$1")
      shift
    done
    [ $# -gt 0 ] && shift
    unset -n cmd
    tool=$((tool + 1))
  done
  # One thread, as every other program here; the threads are measured apart (below).
  cmd_tessik=("$cli" -j1 "${cmd_tessik[@]}")
  # Round after round, each program once a round: when the machine's speed drifts during
  # a case, it slows every program alike.
  for ((r = 0; r < runs; r++)); do
    for t in "${tools[@]}"; do
      # shellcheck disable=SC2178
      local -n cmd=cmd_$t
      run_once "$t" "$scratch/$t.out" "${cmd[@]}"
      unset -n cmd
    done
  done
  summary=$(tail -n 1 "$scratch/tessik.stderr" | sed 's/ *$//')
  lines=$(wc -l <"$scratch/tessik.out")
  for t in "${tools[@]}"; do
    printf '%-7s %8s %8s %8s %8s %11s\n' "$t" "$(seconds "${wall[$t]}")" \
      "$(mb_per_s "$bytes" "${wall[$t]}")" "$(seconds "${cpus[$t]}")" \
      "$(mb_per_s "$bytes" "${cpus[$t]}")" "$(megabytes "${peak[$t]}")"
  done
  printf '        tessik-cli: %s (%d lines written)\n' "$summary" "$lines"

  cells="| $label |"
  for t in "${tools[@]}"; do cells+=" $(mb_per_s "$bytes" "${wall[$t]}") |"; done
  for t in rg grep ugrep; do
    local r cr
    r=$(ratio "${wall[$t]}" "${wall[tessik]}")
    cr=$(ratio "${cpus[$t]}" "${cpus[tessik]}")
    line=$(printf 'tessik/%-5s %5s (cpu %s)' "$t" "$r" "$cr")
    if [ -n "${target[$t]:-}" ]; then
      line+="  target >= ${target[$t]}: $(verdict "$r" "${target[$t]}")"
      cells+=" $r (≥ ${target[$t]}: $(verdict "$r" "${target[$t]}")) |"
    else
      cells+=" $r |"
    fi
    printf '        %s\n' "$line"
  done
  # 64,000,000 bytes while the list stays within 61,440 lines, 48 bytes per line beyond.
  limit_kb=$(awk -v n="$lines" 'BEGIN { extra = n > 61440 ? (n - 61440) * 48 : 0;
    printf "%d", (64e6 + extra) / 1024 }')
  rss_cell="$(megabytes "${peak[tessik]}") MB (≤ $(megabytes "$limit_kb") MB: $(
    [ "${peak[tessik]}" -le "$limit_kb" ] && echo met || echo not met))"
  printf '        tessik-cli peak memory %s\n' "$rss_cell"
  table+=("$cells $rss_cell |")
  tessik_wall[$label]=${wall[tessik]}
  tessik_cpu[$label]=${cpus[tessik]}
}

# share_of BASE_LABEL LABEL TARGET WHAT: the speed of LABEL's search as a share of BASE_LABEL's
# (its time over LABEL's), which must be at least TARGET.
shares=()
share_of() {
  local r cr
  r=$(ratio "${tessik_wall[$1]}" "${tessik_wall[$2]}")
  cr=$(ratio "${tessik_cpu[$1]}" "${tessik_cpu[$2]}")
  printf '        %s %s (cpu %s)  target >= %s: %s\n' "$4" "$r" "$cr" "$3" "$(verdict "$r" "$3")"
  shares+=("| $2 | $1 | $r (cpu $cr; ≥ $3: $(verdict "$r" "$3")) |")
}

# at_least LABEL BYTES MBPS: LABEL's search must read at least MBPS MB/s.
at_least() {
  local speed cpu_speed
  speed=$(mb_per_s "$2" "${tessik_wall[$1]}")
  cpu_speed=$(mb_per_s "$2" "${tessik_cpu[$1]}")
  printf '        %s MB/s (cpu %s)  target >= %s MB/s: %s\n' "$speed" "$cpu_speed" "$3" \
    "$(verdict "$speed" "$3")"
  shares+=("| $1 | $3 MB/s | $speed MB/s (cpu $cpu_speed; $(verdict "$speed" "$3")) |")
}

# The same text with an accent on the first vowel of every tenth word, in UTF-8: what
# --encoding=auto reads at a cost.
accented="$here/data/accented/$(basename "$big")"
if [ ! -s "$accented" ] || [ "$accented" -ot "$big" ]; then
  mkdir -p "$(dirname "$accented")"
  perl -CSD -pe 'BEGIN { %a = (a => "\x{e1}", e => "\x{e9}", i => "\x{ed}", o => "\x{f6}", u => "\x{fc}") }
    s/([A-Za-z]+)/++$n % 10 ? $1 : do { (my $w = $1) =~ s{([aeiou])}{$a{$1}}; $w }/ge' \
    "$big" >"$accented"
fi
cat "$accented" >/dev/null

part=${TESSIK_BENCH_PART:-all}
if [ "$part" != threads ]; then
bench_case "Moses, one file" "$big_bytes" "rg=0.9 grep=2.2" \
  :: "$big" moses \
  :: rg -j1 -c -i moses "$big" \
  :: grep -c -i moses "$big" \
  :: ugrep -J1 -c -i moses "$big"
bench_case "Moses, one file, Daitch-Mokotoff" "$big_bytes" "" \
  :: --method=dm "$big" moses \
  :: rg -j1 -c -i moses "$big" \
  :: grep -c -i moses "$big" \
  :: ugrep -J1 -c -i moses "$big"
share_of "Moses, one file" "Moses, one file, Daitch-Mokotoff" 0.5 "Daitch-Mokotoff / own method"
bench_case "Moses, one file, scored" "$big_bytes" "" \
  :: --method=scored "$big" moses \
  :: rg -j1 -c -i moses "$big" \
  :: grep -c -i moses "$big" \
  :: ugrep -J1 -c -i moses "$big"
share_of "Moses, one file" "Moses, one file, scored" 0.25 "scored / own method"
bench_case "Moses, one file, --encoding=auto" "$big_bytes" "" \
  :: --encoding=auto "$big" moses \
  :: rg -j1 -c -i moses "$big" \
  :: grep -c -i moses "$big" \
  :: ugrep -J1 -c -i moses "$big"
share_of "Moses, one file" "Moses, one file, --encoding=auto" 0.9 "--encoding=auto / ascii"
accented_bytes=$(stat -c %s "$accented")
bench_case "Moses, one file with an accent in every tenth word, --encoding=auto" \
  "$accented_bytes" "" \
  :: --encoding=auto "$accented" moses \
  :: rg -j1 -c -i moses "$accented" \
  :: grep -c -i moses "$accented" \
  :: ugrep -J1 -c -i moses "$accented"
share_of "Moses, one file" "Moses, one file with an accent in every tenth word, --encoding=auto" \
  0.5 "accented text by --encoding=auto / ascii text by ascii"
# Words of five languages, nearly all beyond ASCII, as many bytes as the corpus.
letters=$("$here/build_letters_text.sh" "$here/data/letters/words.txt" "$big_bytes")
cat "$letters" >/dev/null
bench_case "Kowalski, one file" "$big_bytes" "" \
  :: "$big" kowalski \
  :: rg -j1 -c -i kowalski "$big" \
  :: grep -c -i kowalski "$big" \
  :: ugrep -J1 -c -i kowalski "$big"
bench_case "Kowalski, one file, --encoding=auto" "$big_bytes" "" \
  :: --encoding=auto "$big" kowalski \
  :: rg -j1 -c -i kowalski "$big" \
  :: grep -c -i kowalski "$big" \
  :: ugrep -J1 -c -i kowalski "$big"
share_of "Kowalski, one file" "Kowalski, one file, --encoding=auto" 0.9 "--encoding=auto / ascii"
bench_case "Kowalski, one file of Polish, German, Russian, Ukrainian and Greek words, --encoding=auto" \
  "$big_bytes" "" \
  :: --encoding=auto "$letters" kowalski \
  :: rg -j1 -c -i kowalski "$letters" \
  :: grep -c -i kowalski "$letters" \
  :: ugrep -J1 -c -i kowalski "$letters"
share_of "Kowalski, one file" \
  "Kowalski, one file of Polish, German, Russian, Ukrainian and Greek words, --encoding=auto" \
  0.25 "words beyond ASCII by --encoding=auto / ascii text by ascii"
at_least "Kowalski, one file of Polish, German, Russian, Ukrainian and Greek words, --encoding=auto" \
  "$big_bytes" 500
bench_case "Ellen, one file (vowel key)" "$big_bytes" "grep=1.0" \
  :: "$big" ellen \
  :: rg -j1 -c -i ellen "$big" \
  :: grep -c -i ellen "$big" \
  :: ugrep -J1 -c -i ellen "$big"
bench_case "Lord, one file, lines written" "$big_bytes" "grep=1.0" \
  :: "$big" lord \
  :: rg -j1 -n -i lord "$big" \
  :: grep -n -i lord "$big" \
  :: ugrep -J1 -n -i lord "$big"
# The same search with its log written too (as --log and the window's Save write it): the
# difference from the case above is the time the log takes.
bench_case "Lord, one file, lines and the search log written" "$big_bytes" "" \
  :: --log "$scratch/search.log" "$big" lord \
  :: rg -j1 -n -i lord "$big" \
  :: grep -n -i lord "$big" \
  :: ugrep -J1 -n -i lord "$big"
bench_case "two absent terms joined by O, one file" "$big_bytes" "grep=1.2" \
  :: "$big" xylophone O quagmire \
  :: rg -j1 -c -i -e xylophone -e quagmire "$big" \
  :: grep -c -i -e xylophone -e quagmire "$big" \
  :: ugrep -J1 -c -i -e xylophone -e quagmire "$big"
bench_case "Moses, tree" "$tree_bytes" "rg=0.7 grep=1.5" \
  :: -s "$tree/*.txt" moses \
  :: rg -j1 --no-ignore -c -i moses "$tree" \
  :: grep -r -c -i moses "$tree" \
  :: ugrep -J1 -r -c -i moses "$tree"
bench_case "Moses, tree, Daitch-Mokotoff" "$tree_bytes" "" \
  :: --method=dm -s "$tree/*.txt" moses \
  :: rg -j1 --no-ignore -c -i moses "$tree" \
  :: grep -r -c -i moses "$tree" \
  :: ugrep -J1 -r -c -i moses "$tree"
share_of "Moses, tree" "Moses, tree, Daitch-Mokotoff" 0.5 "Daitch-Mokotoff / own method"
bench_case "Moses, tree, scored" "$tree_bytes" "" \
  :: --method=scored -s "$tree/*.txt" moses \
  :: rg -j1 --no-ignore -c -i moses "$tree" \
  :: grep -r -c -i moses "$tree" \
  :: ugrep -J1 -r -c -i moses "$tree"
share_of "Moses, tree" "Moses, tree, scored" 0.25 "scored / own method"
bench_case "Moses A Aaron, tree" "$tree_bytes" "rg=0.7 grep=1.5" \
  :: -s "$tree/*.txt" moses A aaron \
  :: rg -j1 --no-ignore -c -i -e moses -e aaron "$tree" \
  :: grep -r -c -i -e moses -e aaron "$tree" \
  :: ugrep -J1 -r -c -i -e moses -e aaron "$tree"
bench_case "two absent terms joined by O, tree" "$tree_bytes" "rg=0.7 grep=1.5" \
  :: -s "$tree/*.txt" xylophone O quagmire \
  :: rg -j1 --no-ignore -c -i -e xylophone -e quagmire "$tree" \
  :: grep -r -c -i -e xylophone -e quagmire "$tree" \
  :: ugrep -J1 -r -c -i -e xylophone -e quagmire "$tree"

fi

# threads_case LABEL BYTES :: TESSIK ARGS :: RG ARGS: tessik-cli with 1, 2 and every
# processor's thread, ripgrep with -j1 and at its default, round after round.
thread_rows=()
threads_case() {
  local label=$1 bytes=$2
  shift 3
  local -a tessik_args=() rg_args=()
  while [ "$1" != :: ]; do
    tessik_args+=("$1")
    shift
  done
  shift
  rg_args=("$@")
  local -A wall=() cpus=() peak=()
  local -a counts=(1 2)
  [ "$(nproc)" -gt 2 ] && counts+=("$(nproc)")
  local r n t speed
  for ((r = 0; r < runs; r++)); do
    for n in "${counts[@]}"; do
      run_once "tessik-j$n" "$scratch/tessik-j$n.out" "$cli" -j"$n" "${tessik_args[@]}"
    done
    run_once rg-j1 "$scratch/rg-j1.out" rg -j1 "${rg_args[@]}"
    run_once rg "$scratch/rg.out" rg "${rg_args[@]}"
  done
  printf '\n%s\n%-10s %7s %8s %8s %13s\n' "$label" tool threads "wall s" "MB/s" "/ one thread"
  for n in "${counts[@]}"; do
    t=tessik-j$n
    speed=$(ratio "${wall[tessik-j1]}" "${wall[$t]}")
    cmp -s "$scratch/tessik-j1.out" "$scratch/$t.out" || speed+=" (OUTPUT DIFFERS)"
    printf '%-10s %7s %8s %8s %13s\n' tessik-cli "$n" "$(seconds "${wall[$t]}")" \
      "$(mb_per_s "$bytes" "${wall[$t]}")" "$speed"
  done
  printf '%-10s %7s %8s %8s\n' rg 1 "$(seconds "${wall[rg-j1]}")" "$(mb_per_s "$bytes" "${wall[rg-j1]}")"
  printf '%-10s %7s %8s %8s\n' rg all "$(seconds "${wall[rg]}")" "$(mb_per_s "$bytes" "${wall[rg]}")"
  local two most
  two=$(ratio "${wall[tessik-j1]}" "${wall[tessik-j2]}")
  most=${counts[${#counts[@]} - 1]}
  printf '        2 threads / 1: %s  target >= 1.7: %s\n' "$two" "$(verdict "$two" 1.7)"
  printf '        tessik-cli with %s threads / rg at its default: %s\n' "$most" \
    "$(ratio "${wall[rg]}" "${wall[tessik-j$most]}")"
  local cells="| $label |"
  for n in "${counts[@]}"; do cells+=" $n: $(mb_per_s "$bytes" "${wall[tessik-j$n]}") |"; done
  [ ${#counts[@]} -lt 3 ] && cells+=" — |"
  cells+=" $two (≥ 1.7: $(verdict "$two" 1.7)) | $(mb_per_s "$bytes" "${wall[rg-j1]}") |"
  cells+=" $(mb_per_s "$bytes" "${wall[rg]}") | $(ratio "${wall[rg]}" "${wall[tessik-j$most]}") |"
  thread_rows+=("$cells")
}

threads_case "Moses, one file" "$big_bytes" :: "$big" moses :: -c -i moses "$big"
threads_case "Moses, tree" "$tree_bytes" :: -s "$tree/*.txt" moses \
  :: --no-ignore -c -i moses "$tree"
# The scored method spends the most processor time a byte: where threads gain the most.
threads_case "Moses, tree, scored" "$tree_bytes" :: --method=scored -s "$tree/*.txt" moses \
  :: --no-ignore -c -i moses "$tree"
threads_case "two absent terms joined by O, tree" "$tree_bytes" \
  :: -s "$tree/*.txt" xylophone O quagmire :: --no-ignore -c -i -e xylophone -e quagmire "$tree"

printf '\nMB/s is the corpus size (10^6 bytes) over the best wall time, cpu MB/s over the least\n'
printf 'user + system time (steadier on a busy machine). An expression reads a file once for\n'
printf 'each term that has to scan it, and stops reading it at its first matching word.\n'

if [ "$part" != threads ]; then
  printf '\n| search | tessik-cli MB/s | rg -j1 MB/s | grep MB/s | ugrep -J1 MB/s | tessik / rg | tessik / grep | tessik / ugrep | tessik-cli peak RSS |\n'
  printf '|---|---|---|---|---|---|---|---|---|\n'
  for row in "${table[@]}"; do printf '%s\n' "$row"; done

  printf '\n| search | compared with | speed / its speed |\n|---|---|---|\n'
  for row in "${shares[@]}"; do printf '%s\n' "$row"; done
fi

printf '\n| search | tessik-cli -j1 MB/s | -j2 MB/s | -j%s MB/s | -j2 / -j1 | rg -j1 MB/s | rg MB/s | tessik-cli (most threads) / rg |\n' "$(nproc)"
printf '|---|---|---|---|---|---|---|---|\n'
for row in "${thread_rows[@]}"; do printf '%s\n' "$row"; done
