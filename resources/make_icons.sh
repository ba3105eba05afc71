#!/usr/bin/env bash
# Renders the application icon's PNGs from its SVG (needs rsvg-convert, Debian
# package librsvg2-bin). The PNGs are kept in the repository, so a build needs
# no SVG renderer:
#     resources/make_icons.sh
set -euo pipefail
dir=$(cd "$(dirname "$0")" && pwd)/icons/app
svg=$dir/io.github.twinlens.Twinlens.svg
for size in 16 32 48 64 128 256; do
  mkdir -p "$dir/$size"
  rsvg-convert -w "$size" -h "$size" "$svg" -o "$dir/$size/io.github.twinlens.Twinlens.png"
done
