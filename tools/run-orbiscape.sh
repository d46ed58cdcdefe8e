#!/usr/bin/env bash
# Renders the Earth as it looks now from the imagery in data/, at the size of a common screen
# (1920 x 1080), and says where the picture is.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native -j "$(nproc)" --target orbiscape-render

mkdir -p build/run
build/native/tools/render_cli/orbiscape-render --data data -o build/run/earth-now.bmp
echo "The Earth as it looks now: $(pwd)/build/run/earth-now.bmp"
