#!/usr/bin/env bash
# Builds Vantoro and runs every test: once in a normal build, once under
# AddressSanitizer and UndefinedBehaviorSanitizer, then a short run of each
# fuzz target; the normal build is also installed into a temporary folder and
# what it installed is checked. Installs missing build packages first.
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

echo "== The network modules depend one way"
# Each module of net/ may include only the modules before it in this order.
layers=(socket_handle socket_layer winsock_error wire game_log table_view seat_table notices relay
  message_handler connect commands)
for ((i = 0; i < ${#layers[@]}; i++)); do
  for file in "net/${layers[i]}.h" "net/${layers[i]}.cpp"; do
    [ -f "$file" ] || continue
    for included in $(sed -n 's|^#include "net/\(.*\)\.h"|\1|p' "$file"); do
      allowed=no
      for ((j = 0; j <= i; j++)); do [ "${layers[j]}" = "$included" ] && allowed=yes; done
      if [ "$allowed" = no ]; then
        echo "$file includes net/$included.h, which comes later in the order" >&2
        exit 1
      fi
    done
  done
done
[ "$(ls net/*.h | wc -l)" -eq "${#layers[@]}" ] || { echo "a net/ module is missing from the order" >&2; exit 1; }

echo "== The libraries depend one way"
# Which of the tree's folders the files of each part may include. The
# computer player itself (the sources of the vantoro_bot library) knows the
# rules only, and it and the rules use no Qt at all.
bot_core=$(sed -n '/^add_library(vantoro_bot STATIC/,/)/p' bot/CMakeLists.txt | grep -o '[a-z_]*\.\(cpp\|h\)' | sed 's|^|bot/|')
check_includes() {  # allowed-folders qt-allowed files...
  local allowed=$1 qt=$2 file included
  shift 2
  for file in "$@"; do
    for included in $(sed -n 's|^#include "\([a-z_]*\)/.*|\1|p' "$file"); do
      case " $allowed " in
        *" $included "*) ;;
        *) echo "$file includes $included/, which it may not depend on" >&2; exit 1 ;;
      esac
    done
    if [ "$qt" = no ] && grep -q '^#include <Q' "$file"; then
      echo "$file uses Qt, which it may not" >&2
      exit 1
    fi
  done
}
check_includes "rules" no rules/*.cpp rules/*.h
# shellcheck disable=SC2086
check_includes "rules bot" no $bot_core
check_includes "rules net" yes net/*.cpp net/*.h
bot_net=()
for file in bot/*.cpp bot/*.h; do
  grep -qx "$file" <<<"$bot_core" || bot_net+=("$file")
done
check_includes "rules net bot resources" yes "${bot_net[@]}"
check_includes "rules net bot record" yes record/*.cpp record/*.h
check_includes "rules net resources ui" yes ui/*.cpp ui/*.h

echo "== Build and test (warnings are errors)"
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTORO_WERROR=ON >/dev/null
cmake --build build/test -j "$jobs"
ctest --test-dir build/test --output-on-failure -j "$jobs" -LE long

echo "== The product's libraries hold only what the two programs use"
# Relinks vantoro and vantoro-bot with a linker map and fails on an archive
# member that neither pulls in (benchmark or test code in a product library).
scripts/check-product-libraries.sh build/test

echo "== Install into a temporary folder and check what was installed"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install build/test --prefix /usr >/dev/null
share="$stage/usr/share"
desktop-file-validate "$share"/applications/*.desktop
appstreamcli validate --no-net "$share"/metainfo/*.metainfo.xml
for page in "$share"/man/man6/*.6.gz; do
  # Every warning of the formatter fails the check.
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
    man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  if [ -n "$warnings" ]; then
    echo "$page: $warnings" >&2
    exit 1
  fi
done
# Both programs print the version of the newest release in the metadata, and
# --version opens no window (a window would keep the program running).
version=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$share"/metainfo/*.metainfo.xml | head -n 1)
for program in vantoro vantoro-bot; do
  if ! printed=$(timeout 10 "$stage/usr/bin/$program" --version); then
    echo "$program --version failed or did not end" >&2
    exit 1
  fi
  if [ "$printed" != "$program $version" ]; then
    echo "$program --version printed \"$printed\", not \"$program $version\"" >&2
    exit 1
  fi
done
# The package's changelog names the same release first.
changelog=$(gzip -dc "$share"/doc/vantoro/changelog.gz | sed -n '1s/^vantoro (\([^)]*\)).*/\1/p')
if [ "$changelog" != "$version" ]; then
  echo "the changelog's newest release is \"$changelog\", the metadata's \"$version\"" >&2
  exit 1
fi
echo "Installed files valid; both programs are version $version"

echo "== Build and test under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVANTORO_WERROR=ON -DVANTORO_SANITIZE=ON \
  -DVANTORO_BUILD_BENCH=OFF >/dev/null
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/asan --output-on-failure -j "$jobs" -LE 'long|nosan'

echo "== Run each fuzz target briefly (clang, libFuzzer)"
CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVANTORO_WERROR=ON -DVANTORO_FUZZ=ON -DVANTORO_BUILD_GUI=OFF -DVANTORO_BUILD_BENCH=OFF >/dev/null
cmake --build build/fuzz -j "$jobs" --target fuzz_targets
ctest --test-dir build/fuzz --output-on-failure -L fuzz
