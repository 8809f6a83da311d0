#!/usr/bin/env bash
# Runs one fuzz target for a long time: scripts/fuzz.sh TARGET SECONDS
# (TARGET is a target of tests/fuzz, e.g. takeover_fuzz or message_reader_fuzz).
# Configures and builds build/fuzz with clang as scripts/test.sh does, runs
# the target on a copy of its corpus (tests/fuzz/corpus/<name>/, the name
# without "_fuzz"), so that what it finds stays out of the tree, and prints
# the final figures: runs, coverage (cov: edges, ft: features) and crashes.
# A crashing input is written to build/fuzz/runs/<target>/ (crash-*).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -ne 2 ]; then
  echo "usage: scripts/fuzz.sh TARGET SECONDS" >&2
  exit 2
fi
target=$1
seconds=$2
corpus=tests/fuzz/corpus/${target%_fuzz}
if [ ! -d "$corpus" ]; then
  echo "no corpus folder $corpus for $target" >&2
  exit 2
fi

launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVANTORO_WERROR=ON -DVANTORO_FUZZ=ON -DVANTORO_BUILD_GUI=OFF -DVANTORO_BUILD_BENCH=OFF \
  "${launcher[@]}" >/dev/null
cmake --build build/fuzz -j "$(nproc)" --target "$target"

run=build/fuzz/runs/$target
rm -rf "$run"
mkdir -p "$run/corpus"
cp -r "$corpus"/. "$run/corpus/"
log=$run/log.txt
status=0
(cd "$run" && "../../tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 \
  -rss_limit_mb=2048 -print_final_stats=1 corpus) >"$log" 2>&1 || status=$?

# The last status line (runs, cov:, ft:, corp:) and the final counters.
grep -E '^#[0-9]+' "$log" | tail -n 1 || true
grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$log" || true
crashes=$(find "$run" -maxdepth 1 \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
  -o -name 'oom-*' \) | wc -l)
echo "crashes: $crashes (inputs in $run)"
if [ "$status" -ne 0 ] || [ "$crashes" -ne 0 ]; then
  grep -E 'invariant failed|ERROR: |SUMMARY: ' "$log" | head -n 5 || true
  exit 1
fi
