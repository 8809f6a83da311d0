#!/usr/bin/env bash
# Installs the Debian packages that Vantoro needs to build, when they are
# missing. Usage: scripts/deps.sh [run|test|shots]
#   run    what the program needs to build and start (the default)
#   test   that, plus the test, benchmark and fuzzing tools
#   shots  that, plus an X server in memory and screenshot tools
set -euo pipefail

what=${1:-run}
packages=(cmake ninja-build g++ pkg-config qt6-base-dev fonts-dejavu-core)
case "$what" in
  run) ;;
  test) packages+=(libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-dev clang-format git) ;;
  shots) packages+=(libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth xdotool x11-apps imagemagick) ;;
  *) echo "usage: $0 [run|test|shots]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "These packages are missing and this account cannot install them (not root, no sudo): ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
