#!/usr/bin/env bash
# Makes the program's icon for the desktop in every size the hicolor theme asks for, from the
# icon the window carries (src/shell/window/icon_16.xpm and icon_32.xpm), pixel for pixel: each pixel
# becomes a square of pixels (nearest neighbour), from the 16 px drawing for 22, 24 and 48 px
# and from the 32 px one for 64, 128 and 256 px. Installs imagemagick when it is missing.
# The files are kept in the repository under data/icons/; run this only to change them.
# The scalable icon, data/icons/hicolor/scalable/apps/it.norvello.Quintavia.svg, is drawn by
# hand on the 32 px drawing's grid.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v convert >/dev/null; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: imagemagick" >&2
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq imagemagick >/dev/null
fi

for size in 16 22 24 32 48 64 128 256; do
    case $size in
        16 | 22 | 24 | 48) source=src/shell/window/icon_16.xpm ;;
        *) source=src/shell/window/icon_32.xpm ;;
    esac
    folder=data/icons/hicolor/${size}x${size}/apps
    mkdir -p "$folder"
    # Without the dates and other extras, the same drawing makes the same bytes.
    convert "$source" -filter point -resize "${size}x${size}" -strip \
        -define png:exclude-chunks=date,time "PNG32:$folder/it.norvello.Quintavia.png"
    echo "$folder/it.norvello.Quintavia.png from $source" >&2
done
