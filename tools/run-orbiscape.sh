#!/usr/bin/env bash
# Composes the Earth as it looks now from the imagery in data/ and says where the picture is.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native -j "$(nproc)" --target orbiscape-render

work=build/run
mkdir -p "$work"
month=$(date -u +%m)
# The renderer reads bitmap files; the imagery is kept as JPEG.
convert "data/${month}-2560.jpg" -type TrueColor "BMP3:$work/day.bmp"
convert data/13-2560.jpg -type TrueColor "BMP3:$work/night.bmp"
convert data/clouds.jpg -resize 2560x1280\! -type TrueColor "BMP3:$work/clouds.bmp"

build/native/tools/render_cli/orbiscape-render --day-file "$work/day.bmp" --night-file "$work/night.bmp" \
    --clouds-file "$work/clouds.bmp" -o "$work/earth-now.bmp"
echo "The Earth as it looks now: $(pwd)/$work/earth-now.bmp"
