#!/bin/sh
# Renders the SVG drawings in svg/ to the icons and pictures in images/ that the resource file
# compiles in. The rendered files are committed, so building needs no renderer; run this script
# (ImageMagick's `convert`) only after changing a drawing.
set -eu
cd "$(dirname "$0")"
out=images
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# icon NAME SIZE...: one .ico holding the drawing at each size.
icon() {
    name=$1
    shift
    files=""
    for size in "$@"; do
        convert -background none -density 384 "svg/$name.svg" -resize "${size}x${size}" \
            -gravity center -extent "${size}x${size}" "PNG32:$tmp/$name-$size.png"
        files="$files $tmp/$name-$size.png"
    done
    # shellcheck disable=SC2086
    convert $files "$out/$name.ico"
}

icon zorvel 16 32 48
icon zorvelhui 16 32 48
icon select 16
icon empty 16
icon folder 16 32
icon document 16 32
icon close1 16 32
icon 1 32
icon 2 32
icon 3 32
# The application icon of the Linux menu (hicolor theme), at the sizes of zorvel.ico.
for size in 16 32 48; do
    convert -background none -density 384 svg/zorvel.svg -resize "${size}x${size}" \
        -gravity center -extent "${size}x${size}" "PNG32:../packaging/linux/icons/zorvel-$size.png"
done
convert -background none -density 192 svg/voicekey.svg -resize 150x180 "PNG32:$out/voicekey.png"
