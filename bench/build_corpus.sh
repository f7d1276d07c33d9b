#!/usr/bin/env bash
# Builds the benchmark corpus once and leaves it in bench/data (git-ignored): about
# 200 MB of English text, the King James Bible of the bible-kjv package repeated, as one
# file (data/big/kjv.txt) and cut at line ends into about 5,000 files of a tree of
# directories of 100 files each (data/tree/dNN/partNNNNN.txt).
# Usage: bench/build_corpus.sh [DATA_DIR]   (TESSIK_BENCH_MB, TESSIK_BENCH_FILES to change)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
data=${1:-$here/data}
megabytes=${TESSIK_BENCH_MB:-200}
files=${TESSIK_BENCH_FILES:-5000}
stamp="$data/.corpus-${megabytes}mb-${files}files"

if [ -f "$stamp" ]; then
  exit 0
fi

if ! command -v bible >/dev/null 2>&1; then
  echo "build_corpus: the 'bible' command of the bible-kjv package is needed" >&2
  exit 1
fi

echo "build_corpus: building ${megabytes} MB and ${files} files in $data" >&2
rm -rf "$data"
mkdir -p "$data/big" "$data/tree"

# One verse per line, each with its reference (Ge1:1 ...): the whole text, about 4.4 MB.
bible -f gen1:1-rev22:21 </dev/null >"$data/kjv.txt"
text_size=$(stat -c %s "$data/kjv.txt")
if [ "$text_size" -lt 4000000 ]; then
  echo "build_corpus: the bible text is only $text_size bytes" >&2
  exit 1
fi

wanted=$((megabytes * 1024 * 1024))
copies=$(((wanted + text_size - 1) / text_size))
for ((i = 0; i < copies; i++)); do cat "$data/kjv.txt"; done >"$data/big/kjv.txt"

total=$(stat -c %s "$data/big/kjv.txt")
split -C $((total / files)) -d -a 5 --additional-suffix=.txt "$data/big/kjv.txt" \
  "$data/tree/part"
pieces=("$data"/tree/part*.txt)
for ((i = 0; i < ${#pieces[@]}; i += 100)); do
  dir=$(printf '%s/tree/d%02d' "$data" $((i / 100)))
  mkdir -p "$dir"
  mv "${pieces[@]:i:100}" "$dir/"
done

touch "$stamp"
echo "build_corpus: $(du -sh "$data/big" | cut -f1) in one file," \
  "${#pieces[@]} files in $(find "$data/tree" -mindepth 1 -type d | wc -l) directories" >&2
