#!/usr/bin/env bash
# Installs the Debian packages that Vantoro needs to build, when they are
# missing. Usage: scripts/deps.sh [run|test|shots|package]
#   run      what the program needs to build and start (the default)
#   test     that, plus the test, benchmark and fuzzing tools, the checkers
#            of the installed files (desktop entry, metadata, manual pages)
#            and the tools of the Debian package
#   shots    that, plus an X server in memory and screenshot tools
#   package  what the program needs, plus the tools of the Debian package
set -euo pipefail

what=${1:-run}
packages=(cmake ninja-build g++ pkg-config qt6-base-dev libqt6sql6-sqlite fonts-dejavu-core)
case "$what" in
  run) ;;
  test) packages+=(libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-dev clang-format git
                   desktop-file-utils appstream man-db groff-base dpkg-dev file) ;;
  shots) packages+=(libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth xdotool x11-apps imagemagick) ;;
  # dpkg-shlibdeps (dpkg-dev) and file compute the package's dependencies.
  package) packages+=(dpkg-dev file) ;;
  *) echo "usage: $0 [run|test|shots|package]" >&2; exit 2 ;;
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
