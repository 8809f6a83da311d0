#!/usr/bin/env bash
# Builds the Debian package of Vantoro in Release, without tests or
# benchmarks, and leaves it in the top folder as vantoro_<version>_<arch>.deb
# (installing missing build packages first). Install it with
#   sudo apt install ./vantoro_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh package
# Debian keeps its games' programs in /usr/games, which only users' PATH holds.
cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_BINDIR=games \
  -DVANTORO_MENU_EXEC=/usr/games/vantoro \
  -DVANTORO_BUILD_TESTS=OFF -DVANTORO_BUILD_BENCH=OFF >/dev/null
cmake --build build/package -j "$(nproc)"
rm -f build/package/vantoro_*.deb vantoro_*.deb
(cd build/package && cpack -G DEB)
for deb in build/package/vantoro_*.deb; do
  cp "$deb" .
  echo "Built $(basename "$deb")"
done
