#!/usr/bin/env bash
# Builds the benchmarks in Release and runs them all; none of them is a test.
# Usage: scripts/bench.sh [name-filter]   e.g. scripts/bench.sh tournament
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
export QT_QPA_PLATFORM=offscreen
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANTORO_BUILD_TESTS=OFF >/dev/null
cmake --build build/bench -j "$(nproc)"
for bench in build/bench/bench/*/bench_*; do
  [ -x "$bench" ] || continue
  case "$(basename "$bench")" in *"${1:-}"*) ;; *) continue ;; esac
  echo "== $(basename "$bench")"
  "$bench"
done
