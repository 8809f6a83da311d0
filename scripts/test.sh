#!/usr/bin/env bash
# Builds Vantoro and runs every test: once in a normal build, once under
# AddressSanitizer and UndefinedBehaviorSanitizer, then a short run of each
# fuzz target. Installs missing build packages first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
jobs=$(nproc)

echo "== Source formatting (.clang-format)"
# Every C++ file of the tree as clang-format would write it; the diff shows
# what to change (clang-format -i FILE fixes it).
unformatted=()
while IFS= read -r -d '' file; do
  if ! clang-format --style=file "$file" | cmp -s - "$file"; then
    unformatted+=("$file")
    clang-format --style=file "$file" | diff -u "$file" - | head -n 20 || true
  fi
done < <(git ls-files -z -- '*.cpp' '*.h')
if [ ${#unformatted[@]} -gt 0 ]; then
  echo "Not formatted by .clang-format: ${unformatted[*]}" >&2
  exit 1
fi

echo "== Build and test (warnings are errors)"
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTORO_WERROR=ON >/dev/null
cmake --build build/test -j "$jobs"
ctest --test-dir build/test --output-on-failure -j "$jobs" -LE long

echo "== Build and test under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVANTORO_WERROR=ON -DVANTORO_SANITIZE=ON \
  -DVANTORO_BUILD_BENCH=OFF >/dev/null
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/asan --output-on-failure -j "$jobs" -LE 'long|nosan'

echo "== Fuzz the message reader briefly (clang, libFuzzer)"
CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVANTORO_WERROR=ON -DVANTORO_FUZZ=ON -DVANTORO_BUILD_GUI=OFF -DVANTORO_BUILD_BENCH=OFF >/dev/null
cmake --build build/fuzz -j "$jobs" --target fuzz_targets
ctest --test-dir build/fuzz --output-on-failure -L fuzz
