#!/usr/bin/env bash
# Picture previews through imgctl.dll beside the program, on an 800x600 PNG
# and an 800x600 JPEG (a red-to-blue gradient, whose pixels the menu never
# has otherwise): with "@pic=1,200" the PNG, scaled to 200x150, is the last
# item of the menu, below the header; with "@pic=1,200,2" the header item
# opens a submenu: the caption "( 800 x 600 )", then the JPEG.
# Without imgctl.dll the menu shows the header alone: 150 px less high, no
# picture, no message. Escape closes the menus each time; nothing is
# started and the program exits 0. Screenshots go to the artifacts folder.
#   picture_preview.sh EXE IMGCTL.DLL
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
usage="usage: picture_preview.sh EXE IMGCTL.DLL"
zolto_setup "${1:?$usage}"
cp "${2:?$usage}" "$ZOLTO_TMP/imgctl.dll" || zolto_fail "test set-up: cannot copy $2"
png=$ZOLTO_TMP/gradient.png
# The JPEG is named after the caption its submenu should show: the header,
# which names the file, then draws the same text in the same font.
jpg="$ZOLTO_TMP/( 800 x 600 ).jpg"
convert -size 800x600 gradient:red-blue "PNG24:$png" &&
  convert -size 800x600 gradient:red-blue "$jpg" ||
  zolto_fail "test set-up: ImageMagick could not make the pictures"

# gradient SHOT X Y W H: zolto_pixels for the gradient's pixels (no green,
# red and blue adding up to full) in that part of SHOT.
gradient() {
  zolto_pixels "$1" "${4}x${5}+$2+$3" 'g < 0.15 && r + b > 0.8'
}

# expect_picture WHAT SHOT X Y W H: the gradient in that part of SHOT is
# one filled rectangle of about 200x150 that ends at the part's bottom (the
# last item); sets pic_top, its top within the part.
expect_picture() {
  local what=$1 found box w h
  found=$(gradient "${@:2}")
  box=${found% *}
  IFS='x+' read -r w h _ pic_top <<<"$box"
  [ "${w:-0}" -ge 198 ] && [ "$w" -le 202 ] && [ "$h" -ge 148 ] && [ "$h" -le 152 ] ||
    zolto_fail "$what: the picture covers $box of the menu ($5x$6), expected about 200x150"
  [ "${found#* }" -ge $((w * h * 95 / 100)) ] ||
    zolto_fail "$what: only ${found#* } of the $box box are picture pixels"
  local below=$(($6 - pic_top - h))
  [ "$below" -ge 0 ] && [ "$below" -le 6 ] ||
    zolto_fail "$what: the picture ($box) is not the last item of the $5x$6 menu"
}

# With the library: the PNG below the header, whose text is just above the
# picture. (The JPEG is decoded in the submenu below.)
zolto_menu_on "$png" "@pic=1,200"
shot=$(zolto_screenshot "$ZOLTO_NAME.picture_below")
expect_picture "PNG below the header" "$shot" "$mx" "$my" "$mw" "$mh"
ink=$(zolto_ink "$shot" "$((mw - 6))x20+$((mx + 3))+$((my + pic_top - 20))")
[ "${ink#* }" -gt 20 ] || zolto_fail "no header text above the picture ($ink)"
with_picture=$mh
zolto_escape "$menu"

# In a submenu of the header: the menu itself has no picture; the submenu
# shows the caption, then the picture.
zolto_menu_on "$jpg" "@pic=1,200,2"
zolto_header_submenu picture
found=$(gradient "$ZOLTO_E2E_ARTIFACTS/$ZOLTO_NAME.picture_header.png" "$mx" "$my" "$mw" "$mh")
[ "${found#* }" -eq 0 ] || zolto_fail "with \"@pic=1,200,2\" the menu itself shows picture pixels ($found)"
expect_picture "the header's submenu" "$shot" "$sx" "$sy" "$sw" "$sh"
# Above the picture: one caption item, as high as a line of text.
[ "$pic_top" -ge 14 ] && [ "$pic_top" -le 30 ] ||
  zolto_fail "the picture starts $pic_top px into the submenu: no caption item above it"
zolto_first_item_reads $((pic_top - 3)) "( 800 x 600 )"
zolto_escape "$sub" "$menu"

# Without the library: the same menu less the picture, and no message.
rm "$ZOLTO_TMP/imgctl.dll"
zolto_menu_on "$png" "@pic=1,200"
shot=$(zolto_screenshot "$ZOLTO_NAME.picture_no_library")
[ "$(zolto_new_windows "$before")" = "$menu" ] ||
  zolto_fail "without imgctl.dll another window came with the menu: $(zolto_window_texts | tr '\n\t' '| ')"
[ $((with_picture - mh)) -ge 148 ] && [ $((with_picture - mh)) -le 152 ] ||
  zolto_fail "without imgctl.dll the menu is $mh px high, with it $with_picture: expected 150 less"
found=$(gradient "$shot" "$mx" "$my" "$mw" "$mh")
[ "${found#* }" -eq 0 ] || zolto_fail "without imgctl.dll the menu shows picture pixels ($found)"
ink=$(zolto_ink "$shot" "$((mw - 6))x20+$((mx + 3))+$((my + mh - 23))")
[ "${ink#* }" -gt 20 ] || zolto_fail "without imgctl.dll no header text ends the menu ($ink)"
zolto_escape "$menu"
echo "ok: 200x150 previews of the PNG below the header and of the JPEG in its submenu" \
  "under the caption \"( 800 x 600 )\"; without imgctl.dll the header alone"
