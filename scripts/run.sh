#!/usr/bin/env bash
# Builds Vantoro (installing missing build packages first) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh run
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DVANTORO_BUILD_TESTS=OFF -DVANTORO_BUILD_BENCH=OFF >/dev/null
targets=(vantoro)
# The computer player is built as well once its program exists.
if [ -f bot/main.cpp ]; then targets+=(vantoro-bot); fi
cmake --build build/release --target "${targets[@]}"
exec build/release/table/vantoro "$@"
