#!/usr/bin/env bash
# Builds the Debian package of Twinlens with cpack from a Release build in
# build-deb/ (or $TWINLENS_PACKAGE_DIR), without the tests. Further arguments
# go to cmake, e.g. -DTWINLENS_UPDATE_CHECK=OFF for a build without the update
# check. Prints the path of the .deb.
#     scripts/package.sh
#     sudo apt install ./build-deb/twinlens_*.deb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TWINLENS_PACKAGE_DIR:-$root/build-deb}
"$root/scripts/deps.sh" package
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF "$@" >/dev/null
cmake --build "$build"
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/twinlens_*.deb
