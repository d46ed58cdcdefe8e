#!/usr/bin/env bash
# Draws the picture of the component-shown dialog again from the program's imagery and replaces
# resources/component_shown.bmp (299 x 220 pixels, 24 bits), then writes an enlarged PNG of it
# into build/component-picture-preview.png so that it can be looked at before it is committed.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native -j "$(nproc)" --target orbiscape-make-component-picture

build/native/tools/orbiscape-make-component-picture data resources/component_shown.bmp
convert resources/component_shown.bmp -filter point -resize 200% build/component-picture-preview.png
echo "Picture: $(pwd)/resources/component_shown.bmp; preview in $(pwd)/build/component-picture-preview.png"
