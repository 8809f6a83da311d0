#!/usr/bin/env bash
# Builds Vantoro (installing missing build packages first) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh run
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DVANTORO_BUILD_TESTS=OFF -DVANTORO_BUILD_BENCH=OFF >/dev/null
# The computer player is built too: build/release/bot/vantoro-bot fills
# empty seats (see the README).
cmake --build build/release --target vantoro vantoro-bot
exec build/release/table/vantoro "$@"
