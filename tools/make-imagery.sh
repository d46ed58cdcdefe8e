#!/usr/bin/env bash
# Makes the pictures that Orbiscape reads from its own directory: the day images 00..12, the
# night images 13, 16 and 17 (each as NN-2560.jpg and NN-512.jpg) and the seed cloud map
# clouds.jpg, from imagery that three Debian packages ship (public-domain NASA maps, and a
# cloud texture under the GPL; data/README.md has the terms); the packages are fetched with apt-get download and unpacked with dpkg-deb, never
# installed. data/README.md says where each picture comes from and how it is made.
#
#   tools/make-imagery.sh [OUTPUT_DIR]        (default: data/ of this checkout)
#
# The work directory (ORBISCAPE_IMAGERY_WORK, default ${TMPDIR:-/tmp}/orbiscape-imagery) keeps
# the downloaded packages between runs; everything else in it is made afresh each run, so the
# script can be re-run at will and gives the same bytes every time. The output directory is
# only written once every picture has been made and checked, and each file is renamed into
# place, so a failed run leaves the previous pictures untouched and none half-written.
set -Eeuo pipefail
trap 'echo "make-imagery: error: \"$BASH_COMMAND\" failed (line $LINENO)" >&2' ERR

kScriptDir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
readonly kScriptDir
readonly kOutputDir="${1:-$kScriptDir/../data}"
readonly kWorkDir="${ORBISCAPE_IMAGERY_WORK:-${TMPDIR:-/tmp}/orbiscape-imagery}"
readonly kPackages=(gpredict xplanet-images openuniverse-common)

readonly kMapsDir="usr/share/pixmaps/gpredict/maps"
readonly kTopoMap="$kMapsDir/nasa-topo_2048.jpg"
readonly kCityLightsMap="usr/share/xplanet/images/night.jpg"
readonly kCloudMap="usr/share/openuniverse/textures/clouds.jpg"
# Months for which a package ships a map; every other month is blended from its neighbours.
readonly kShippedMonths=(1 3 5 7 8)

readonly kLargeWidth=2560 kLargeHeight=1280
readonly kSmallWidth=512 kSmallHeight=256
readonly kCloudWidth=2048 kCloudHeight=1024
readonly kJpegQuality=90
readonly kImageNumbers=(00 01 02 03 04 05 06 07 08 09 10 11 12 13 16 17)

# The source files as the packages of Debian 12 ship them. Another release may ship other
# pixels; the pictures are still made, but data/README.md then no longer describes them exactly.
declare -rA kSourceSha256=(
    ["$kTopoMap"]=b284205aea84151a9c711551b85cf6399d31c9bd10bfc47c9d5cf706374c6a67
    ["$kMapsDir/nasa-bmng-01_2048.jpg"]=8945f98c813d036e0f60718c12c0c1678d82bf8c10d7075597e7392f0643c79f
    ["$kMapsDir/nasa-bmng-03_2048.jpg"]=6d3555360e670217291487f0f211fdc36bd0f9ab24cf065f86383cb4daba8f8b
    ["$kMapsDir/nasa-bmng-05_2048.jpg"]=1bec731042f53faa14f9082314a4a7e9e4a7f33722ffa165f6a219a0616b42ec
    ["$kMapsDir/nasa-bmng-07_2048.jpg"]=7e9c09a43b2c0b73b9875b35e6bdc2cdfc4cdcaeba853c0aa7810df7d37117f1
    ["$kMapsDir/nasa-bmng-08_2048.jpg"]=5c6bdee37f9d7cbf2e5d33d16a484a39ff8e314ebe6a8aec249c1656da430ff9
    ["$kCityLightsMap"]=7caeb19e8a1d78ea569dde2b0f960abb3ce419d26a2e96517d588eb2579e42b8
    ["$kCloudMap"]=33e300e4a00f135e9cad9bd49ad2a78b3fb6f843d74683a6bd9a24d2a4f1f38a
)

log() { echo "make-imagery: $*" >&2; }
die() {
    log "error: $*"
    exit 1
}

MonthMap() { printf '%s/nasa-bmng-%02d_2048.jpg' "$kMapsDir" "$1"; }

RequireTools() {
    local tool
    for tool in convert identify apt-get dpkg-deb tar sha256sum; do
        command -v "$tool" >/dev/null || die "'$tool' is missing (ImageMagick and dpkg/apt are needed)"
    done
}

# --- Fetching and unpacking ----------------------------------------------------------------

# A package already downloaded by an earlier run is reused only when dpkg-deb can read the
# whole of its file archive, so a damaged copy is fetched again instead of failing later.
CachedPackage() {
    local package="$1" deb
    for deb in "$kWorkDir/debs/${package}_"*.deb; do
        [ -f "$deb" ] && dpkg-deb --fsys-tarfile "$deb" 2>/dev/null | tar -t >/dev/null 2>&1 &&
            { echo "$deb"; return 0; }
    done
    return 1
}

FetchPackage() {
    local package="$1" incoming="$kWorkDir/debs/incoming"
    CachedPackage "$package" >/dev/null && return 0
    rm -rf "$incoming" && mkdir -p "$incoming"
    log "downloading $package"
    # A fresh system may have no package lists yet; one update is worth trying before giving up.
    if ! (cd "$incoming" && apt-get download -q "$package" >/dev/null 2>&1); then
        log "apt-get download $package failed; running apt-get update once"
        apt-get update -q >/dev/null || die "apt-get update failed (it needs root)"
        (cd "$incoming" && apt-get download -q "$package" >/dev/null) || die "cannot download $package"
    fi
    rm -f "$kWorkDir/debs/${package}_"*.deb
    mv "$incoming/${package}_"*.deb "$kWorkDir/debs/"
    rm -rf "$incoming"
    CachedPackage "$package" >/dev/null || die "the downloaded $package is not a readable package"
}

UnpackPackages() {
    local package
    rm -rf "$kWorkDir/root" && mkdir -p "$kWorkDir/root"
    for package in "${kPackages[@]}"; do
        FetchPackage "$package"
        log "using $(basename "$(CachedPackage "$package")")"
        dpkg-deb -x "$(CachedPackage "$package")" "$kWorkDir/root"
    done
}

# --- Checking the sources ------------------------------------------------------------------

# Mean red, green and blue of the box between two corners given in degrees (longitude from
# -180 at the left edge, latitude from +90 at the top), read from an equirectangular map.
MeanColourOfBox() {
    local file="$1" west="$2" north="$3" east="$4" south="$5" width height
    read -r width height < <(identify -format '%w %h\n' "$file")
    local left=$(((west + 180) * width / 360)) right=$(((east + 180) * width / 360))
    local top=$(((90 - north) * height / 180)) bottom=$(((90 - south) * height / 180))
    convert "$file" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage \
        -format '%[fx:mean.r] %[fx:mean.g] %[fx:mean.b]' info:
}

# The tests read the colour into a variable first, so that a failed measurement stops the
# script instead of reaching awk as empty input, which would pass.
ExpectSea() {
    local file="$1" place="$2" colour
    shift 2
    colour="$(MeanColourOfBox "$file" "$@")"
    awk '{ exit !($3 > ($1 > $2 ? $1 : $2) + 0.03) }' <<<"$colour" ||
        die "$file: $place should be sea; the map is not equirectangular from -180, +90"
}

ExpectLand() {
    local file="$1" place="$2" colour
    shift 2
    colour="$(MeanColourOfBox "$file" "$@")"
    awk '{ exit !($3 < ($1 > $2 ? $1 : $2)) }' <<<"$colour" ||
        die "$file: $place should be land; the map is not equirectangular from -180, +90"
}

ExpectLights() {
    local file="$1" place="$2" wanted="$3" colour
    shift 3
    colour="$(MeanColourOfBox "$file" "$@")"
    awk -v wanted="$wanted" '{ lit = ($1 + $2 + $3) / 3 > 0.03; exit !(lit == (wanted == "lit")) }' \
        <<<"$colour" ||
        die "$file: $place should be $wanted; the map is not equirectangular from -180, +90"
}

ExpectSize() {
    local file="$1" width="$2" height="$3" size
    size="$(identify -format '%wx%h' "$file")" || die "$file is not a readable image"
    [ "$size" = "${width}x${height}" ] || die "$file measures $size, expected ${width}x${height}"
}

# Land and sea either side of the prime meridian and of the date line catch a map that is
# mirrored or centred on the Pacific; the two boxes a degree off the coast of Senegal catch one
# shifted by more than a degree or two.
CheckDayMap() {
    local file="$1"
    ExpectSize "$file" 2048 1024
    ExpectLand "$file" "inland Senegal" -16 15 -15 14
    ExpectSea "$file" "the sea off Dakar" -19 15 -18 14
    ExpectSea "$file" "the Gulf of Guinea" -2 3 2 1
    ExpectLand "$file" "the Sahel" 18 12 22 8
    ExpectSea "$file" "the equatorial Atlantic" -32 2 -28 -2
    ExpectLand "$file" "the Amazon basin" -62 -3 -58 -7
    ExpectLand "$file" "central Australia" 133 -23 137 -27
    ExpectSea "$file" "the central Pacific" -152 2 -148 -2
}

CheckCityLightsMap() {
    local file="$1"
    ExpectSize "$file" 2048 1024
    ExpectLights "$file" "London" lit -1 53 1 51
    ExpectLights "$file" "the Rhine valley" lit 5 52 9 49
    ExpectLights "$file" "the Nile valley" lit 30 28 32 25
    ExpectLights "$file" "the Western Desert" dark 26 28 28 25
    ExpectLights "$file" "the North Atlantic" dark -40 50 -30 40
    ExpectLights "$file" "the South Pacific" dark -130 -30 -120 -40
}

CheckSources() {
    local path month
    cd "$kWorkDir/root"
    for path in "${!kSourceSha256[@]}"; do
        [ -f "$path" ] || die "the packages no longer ship $path"
        if [ "$(sha256sum "$path" | cut -d' ' -f1)" != "${kSourceSha256[$path]}" ]; then
            log "warning: $path differs from the file data/README.md describes"
        fi
    done
    CheckDayMap "$kTopoMap"
    for month in "${kShippedMonths[@]}"; do
        CheckDayMap "$(MonthMap "$month")"
    done
    CheckCityLightsMap "$kCityLightsMap"
    # A cloud map has no coastline to test; it was compared by eye with the land masses.
    ExpectSize "$kCloudMap" 1024 512
    cd - >/dev/null
}

# --- Image operations ----------------------------------------------------------------------
# Intermediate pictures are 16-bit MIFF files so that blending and rescaling round only once,
# when the JPEG is written.

# Resamples an equirectangular map with a Lanczos filter. The map is first extended on each
# side by a strip from the opposite edge, because the left and right edges meet at the date
# line: without it the filter would clamp there and leave a visible seam. The strip is 1/64 of
# the width, so with widths that are multiples of 64 it scales to whole pixels and is cut off
# exactly.
ResampleMap() {
    local source="$1" target="$2" width="$3" height="$4" sourceWidth sourceHeight
    read -r sourceWidth sourceHeight < <(identify -format '%w %h\n' "$source")
    local strip=$((sourceWidth / 64)) targetStrip=$((width / 64))
    convert "$source" -depth 16 -write mpr:map +delete \
        \( mpr:map -crop "${strip}x${sourceHeight}+$((sourceWidth - strip))+0" +repage \) \
        mpr:map \
        \( mpr:map -crop "${strip}x${sourceHeight}+0+0" +repage \) \
        +append -filter Lanczos -resize "$((width + 2 * targetStrip))x${height}!" \
        -crop "${width}x${height}+${targetStrip}+0" +repage "$target"
}

# Weighted sum of two pictures; the weights add up to 1.
BlendMaps() {
    local first="$1" firstWeight="$2" second="$3" secondWeight="$4" target="$5"
    convert "$first" "$second" -poly "$firstWeight,1 $secondWeight,1" -depth 16 "$target"
}

# The surface as moonlight shows it: colour reduced to a quarter of its saturation, brightness
# to about a third, and a slight blue cast, as the eye sees by night. One colour matrix does
# all three: each output channel is (luma + saturation * (channel - luma)) * gain.
MakeMoonlit() {
    local source="$1" target="$2" matrix
    matrix="$(awk 'BEGIN {
        saturation = 0.25; brightness = 0.32
        split("0.2126 0.7152 0.0722", luma, " "); split("0.80 0.92 1.25", tint, " ")
        for (row = 1; row <= 3; row++)
            for (column = 1; column <= 3; column++)
                printf "%.6f ", ((1 - saturation) * luma[column] + (row == column ? saturation : 0)) \
                    * brightness * tint[row]
    }')"
    convert "$source" -color-matrix "$matrix" -depth 16 "$target"
}

# More and brighter city lights: the black point is raised above the source's faint JPEG noise
# so that the stretch does not turn it into haze, the levels and midtones are lifted so that
# small towns show, the warm colour is restored, and a soft glow is laid over with the screen
# operator. The glow's blur wraps around the date line like the map itself.
MakeAbundantLights() {
    local source="$1" target="$2"
    convert "$source" -level 3%,40%,1.6 -modulate 100,130 -virtual-pixel HorizontalTileEdge \
        \( +clone -blur 0x3 -evaluate multiply 0.5 \) -compose screen -composite -depth 16 "$target"
}

# Baseline JPEG, which the system picture loader reads, stripped of metadata so that identical
# input gives identical bytes. Chroma keeps full resolution because city lights and coastlines
# are details of a pixel or two. Grey pictures are kept as three channels so that every decoder
# gives red = green = blue.
WriteJpeg() {
    local source="$1" target="$2"
    convert "$source" -strip -type TrueColor -interlace none -sampling-factor 1x1,1x1,1x1 \
        -quality "$kJpegQuality" "$target"
}

# --- Making the pictures -------------------------------------------------------------------

IsShippedMonth() {
    local month="$1" shipped
    for shipped in "${kShippedMonths[@]}"; do [ "$shipped" = "$month" ] && return 0; done
    return 1
}

# A blended month is taken from the nearest shipped months before and after it, each weighted
# by its nearness, so that the seasons (snow cover above all) move on evenly.
MakeMonthMaps() {
    local stage="$1" root="$kWorkDir/root" month
    for month in "${kShippedMonths[@]}"; do
        ResampleMap "$root/$(MonthMap "$month")" "$stage/$(printf %02d "$month").miff" \
            "$kLargeWidth" "$kLargeHeight"
    done
    for month in $(seq 1 12); do
        IsShippedMonth "$month" && continue
        local before=$month after=$month
        until IsShippedMonth "$before"; do before=$(((before + 10) % 12 + 1)); done
        until IsShippedMonth "$after"; do after=$((after % 12 + 1)); done
        # Distances in months, wrapping from December to January.
        local sinceBefore=$(((month - before + 12) % 12)) untilAfter=$(((after - month + 12) % 12))
        local span=$((sinceBefore + untilAfter))
        local beforeWeight afterWeight
        beforeWeight="$(awk -v n="$untilAfter" -v d="$span" 'BEGIN { printf "%.6f", n / d }')"
        afterWeight="$(awk -v n="$sinceBefore" -v d="$span" 'BEGIN { printf "%.6f", n / d }')"
        log "month $month = $beforeWeight x month $before + $afterWeight x month $after"
        BlendMaps "$stage/$(printf %02d "$before").miff" "$beforeWeight" \
            "$stage/$(printf %02d "$after").miff" "$afterWeight" "$stage/$(printf %02d "$month").miff"
    done
}

MakeLargeMaps() {
    local stage="$1" root="$kWorkDir/root"
    ResampleMap "$root/$kTopoMap" "$stage/00.miff" "$kLargeWidth" "$kLargeHeight"
    MakeMonthMaps "$stage"
    ResampleMap "$root/$kCityLightsMap" "$stage/13.miff" "$kLargeWidth" "$kLargeHeight"
    MakeMoonlit "$stage/00.miff" "$stage/16.miff"
    MakeAbundantLights "$stage/13.miff" "$stage/17.miff"
}

MakeAll() {
    local stage="$1" number
    MakeLargeMaps "$stage"
    for number in "${kImageNumbers[@]}"; do
        WriteJpeg "$stage/$number.miff" "$stage/$number-2560.jpg"
        ResampleMap "$stage/$number.miff" "$stage/$number-512.miff" "$kSmallWidth" "$kSmallHeight"
        WriteJpeg "$stage/$number-512.miff" "$stage/$number-512.jpg"
    done
    MakeSeedClouds "$kWorkDir/root/$kCloudMap" "$stage/clouds.miff"
    WriteJpeg "$stage/clouds.miff" "$stage/clouds.jpg"
}

# The cloud texture is a layer meant to be drawn over a planet with its own transparency, so even
# its clear sky is a light grey (the whole map averages 72 % white). The renderer takes the grey
# value as cloud cover, so the clear-sky floor is moved down to black first: 40 % grey becomes
# clear sky, and a midtone gamma of 0.8 keeps thin cloud thin.
MakeSeedClouds() {
    local source="$1" target="$2"
    ResampleMap "$source" "$target.resampled.miff" "$kCloudWidth" "$kCloudHeight"
    convert "$target.resampled.miff" -level 40%,100%,0.8 -depth 16 "$target"
    rm -f "$target.resampled.miff"
}

OutputNames() {
    local number
    for number in "${kImageNumbers[@]}"; do echo "$number-2560.jpg" "$number-512.jpg"; done
    echo clouds.jpg
}

CheckOutputs() {
    local stage="$1" number saturation
    for number in "${kImageNumbers[@]}"; do
        ExpectSize "$stage/$number-2560.jpg" "$kLargeWidth" "$kLargeHeight"
        ExpectSize "$stage/$number-512.jpg" "$kSmallWidth" "$kSmallHeight"
    done
    ExpectSize "$stage/clouds.jpg" "$kCloudWidth" "$kCloudHeight"
    # The renderer takes the cloud value from the red channel alone.
    saturation="$(convert "$stage/clouds.jpg" -colorspace HSL -channel G -separate -format '%[fx:maxima]' info:)"
    [ "$saturation" = 0 ] || die "clouds.jpg is not grey (saturation up to $saturation)"
}

Install() {
    local stage="$1" name
    mkdir -p "$kOutputDir"
    for name in $(OutputNames); do
        cp "$stage/$name" "$kOutputDir/.$name.partial"
        mv -f "$kOutputDir/.$name.partial" "$kOutputDir/$name"
    done
    log "wrote $(OutputNames | wc -w) pictures to $(cd "$kOutputDir" && pwd)," \
        "$(cd "$kOutputDir" && OutputNames | xargs du -cb | tail -1 | cut -f1) bytes in all"
}

main() {
    RequireTools
    mkdir -p "$kWorkDir/debs"
    UnpackPackages
    CheckSources
    local stage="$kWorkDir/stage"
    rm -rf "$stage" && mkdir -p "$stage"
    MakeAll "$stage"
    CheckOutputs "$stage"
    Install "$stage"
}

main "$@"
