#!/usr/bin/env bash
# Draws the program's globe icon again from the topographic day map and replaces
# resources/orbiscape.ico, then writes a preview of each size, enlarged eight times, into
# build/icon-preview/ so that the icon can be looked at before it is committed.
#
#     tools/make-icon.sh [DAY_MAP]     # default DAY_MAP: data/00-2560.jpg
#
# The topographic map is the default because its oceans are blue; the monthly maps' oceans are
# nearly black and the globe would not stand out from a dark taskbar. The same map always gives
# the same icon file.
set -euo pipefail
cd "$(dirname "$0")/.."

day_map=${1:-data/00-2560.jpg}

tools/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native -j "$(nproc)" --target orbiscape-make-icon

build/native/tools/orbiscape-make-icon "$day_map" resources/orbiscape.ico

preview=build/icon-preview
mkdir -p "$preview"
index=0
for size in 16 24 32 48; do
    convert "resources/orbiscape.ico[$index]" -filter point -resize 800% "PNG32:$preview/globe-$size.png"
    index=$((index + 1))
done
echo "Icon: $(pwd)/resources/orbiscape.ico; previews in $(pwd)/$preview"
