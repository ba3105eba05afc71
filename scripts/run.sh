#!/usr/bin/env bash
# Builds Twinlens and starts the window.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" build
"$root/scripts/build.sh" --target twinlens
exec "${TWINLENS_BUILD_DIR:-$root/build}/twinlens"
