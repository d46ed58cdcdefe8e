#!/usr/bin/env bash
# Draws the README's comparison of a delivered day map and NASA's monthly map of the same month,
# at 3840 x 2160: the same region of two frames that orbiscape-render draws, one from data/ and
# one with MAP (a monthly map of 5400 x 2700 pixels as the program downloads it) in the month's
# place, side by side in docs/sharp-maps-3840.jpg. Without night or clouds, the frames show the
# day maps alone.
#
#   tools/make-sharp-maps-picture.sh MAP.jpg MONTH [X Y W H]
#
# The region is given in the 3840 x 2160 frame (default: 640 x 360 pixels around the Alps).
set -euo pipefail
cd "$(dirname "$0")/.."
readonly kMap=${1:?usage: tools/make-sharp-maps-picture.sh MAP.jpg MONTH [X Y W H]}
readonly kMonth=${2:?usage: tools/make-sharp-maps-picture.sh MAP.jpg MONTH [X Y W H]}
read -r x y w h <<<"${3:-2020} ${4:-430} ${5:-640} ${6:-360}"

tools/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native -j "$(nproc)" --target orbiscape-render
work=$(mktemp -d "${TMPDIR:-/tmp}/orbiscape-sharp-picture.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/sharp"
cp data/*.jpg "$work/sharp/"
cp "$kMap" "$work/sharp/$(printf %02d "$kMonth")-2560.jpg"
for folder in data "$work/sharp"; do
    name=$([ "$folder" = data ] && echo delivered || echo sharp)
    build/native/tools/render_cli/orbiscape-render --data "$folder" --size 3840x2160 --center 0 \
        --day "$kMonth" --night 0 --no-clouds -o "$work/$name.bmp"
    convert "$work/$name.bmp" -crop "${w}x${h}+${x}+${y}" +repage "$work/$name.png"
done
convert "$work/delivered.png" "$work/sharp.png" -bordercolor white -border 4 +append -strip -quality 85 \
    docs/sharp-maps-3840.jpg
echo "Picture: $(pwd)/docs/sharp-maps-3840.jpg"
