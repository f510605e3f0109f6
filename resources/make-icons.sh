#!/usr/bin/env bash
# Regenerates the two icons of the program with ImageMagick:
#   zolto5.ico  MYICON, the program icon: 16, 32 and 48 px, 32-bit colour.
#               A rounded teal tile with three menu lines and a white arrow.
#   sys.ico     MYSYS, one 32x32 image in 16 colours: a small blue window
#               (title bar, frame, white client area).
# Run from anywhere; the .ico files are written beside this script and are
# committed, so a build does not need ImageMagick.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The program icon, drawn once at 192 px and scaled down to each size.
convert -size 192x192 xc:none \
  -fill '#17808a' -stroke '#0b4a50' -strokewidth 8 \
  -draw 'roundrectangle 8,8 183,183 34,34' \
  -stroke none -fill '#e9f6f7' \
  -draw 'rectangle 38,48 110,64' \
  -draw 'rectangle 38,88 110,104' \
  -draw 'rectangle 38,128 110,144' \
  -fill '#ffd24a' -draw 'polygon 124,56 164,96 124,136' \
  "$tmp/big.png"
for s in 16 32 48; do
  convert "$tmp/big.png" -filter Lanczos -resize "${s}x${s}" \
    -define png:color-type=6 "PNG32:$tmp/icon$s.png"
done
# BMP-style entries (not PNG) so every resource compiler and loader takes them.
convert "$tmp/icon16.png" "$tmp/icon32.png" "$tmp/icon48.png" \
  "$here/zolto5.ico"

# The system icon: a 32x32 window in the 16-colour palette, no alpha.
convert -size 32x32 xc:'#c0c0c0' \
  -fill '#000080' -draw 'rectangle 1,3 30,28' \
  -fill '#ffffff' -draw 'rectangle 3,9 28,26' \
  -fill '#808080' -draw 'rectangle 3,9 28,10' \
  -fill '#ffffff' -draw 'rectangle 25,4 28,7' \
  -fill '#ff0000' -draw 'rectangle 26,5 27,6' \
  -fill '#000080' -draw 'rectangle 6,14 20,15' -draw 'rectangle 6,19 16,20' \
  -alpha off -colors 16 -type Palette -depth 4 \
  "BMP3:$tmp/sys.bmp"
convert "$tmp/sys.bmp" -alpha off -colors 16 -type Palette "$here/sys.ico"
