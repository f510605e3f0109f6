#!/usr/bin/env bash
# Picture previews through imgctl.dll beside the program, on an 800x600 PNG
# and an 800x600 JPEG (a red-to-blue gradient, whose pixels the menu never
# has otherwise): with "@pic=1,200" the picture, scaled to 200x150, is the
# last item of the menu, below the header; with "@pic=1,200,2" the header
# item opens a submenu: the caption "( 800 x 600 )", then the picture.
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
# A pixel of the gradient: no green, red and blue adding up to full.
gradient='g < 0.15 && r + b > 0.8'

# open_menu PIC-LINE TARGET: starts the program on TARGET with PIC-LINE in
# [system] and waits for its menu; sets menu, before, and mx my mw mh (the
# menu window's place and size).
open_menu() {
  zolto_ini <<INI
[system]
@menu=100,100
$1
%end
[\$.png][\$.jpg]
recorder.exe | &Record
recorder.exe | &Second
%end
INI
  zolto_open_menu 30 "$1" "$(zolto_winpath "$2")"
}

# close_menus WINDOW...: Escape on each window, then the program must exit
# 0, leave nothing running and have started nothing.
close_menus() {
  local window
  for window in "$@"; do
    zolto_keys "$window" Escape
  done
  zolto_finish 30
  zolto_expect_starts 0
}

# expect_picture WHAT SHOT X Y W H: the gradient in that part of SHOT is
# one filled rectangle of about 200x150 that ends at the part's bottom (the
# last item); sets pic_top, its top within the part.
expect_picture() {
  local what=$1 found box w h
  found=$(zolto_pixels "$2" "${5}x${6}+$3+$4" "$gradient")
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

# With the library: the PNG below the header.
open_menu "@pic=1,200" "$png"
echo "screenshot: $(zolto_screenshot "$ZOLTO_NAME.picture_below")"
expect_picture "PNG below the header" "$ZOLTO_E2E_ARTIFACTS/$ZOLTO_NAME.picture_below.png" \
  "$mx" "$my" "$mw" "$mh"
# The header's text just above the picture.
ink=$(zolto_ink "$ZOLTO_E2E_ARTIFACTS/$ZOLTO_NAME.picture_below.png" \
  "$((mw - 6))x20+$((mx + 3))+$((my + pic_top - 20))")
[ "${ink#* }" -gt 20 ] || zolto_fail "no header text above the picture ($ink)"
with_picture=$mh
close_menus "$menu"

# The JPEG the same way.
open_menu "@pic=1,200" "$jpg"
zolto_screenshot "$ZOLTO_NAME.picture_jpeg" >/dev/null
expect_picture "JPEG below the header" "$ZOLTO_E2E_ARTIFACTS/$ZOLTO_NAME.picture_jpeg.png" \
  "$mx" "$my" "$mw" "$mh"
close_menus "$menu"

# In a submenu of the header: the menu itself has no picture; Up goes from
# the first item to the header, the last, and Right opens its submenu, where
# Down takes the highlight from the caption to the picture.
open_menu "@pic=1,200,2" "$jpg"
shot=$(zolto_screenshot "$ZOLTO_NAME.picture_header")
found=$(zolto_pixels "$shot" "${mw}x${mh}+$mx+$my" "$gradient")
[ "${found#* }" -eq 0 ] || zolto_fail "with \"@pic=1,200,2\" the menu itself shows picture pixels ($found)"
zolto_text_mask "$shot" "$((mw - 6))x20+$((mx + 3))+$((my + mh - 23))" "$ZOLTO_TMP/header.png" ||
  zolto_fail "no header text at the bottom of the menu"
zolto_keys "$menu" Up Right
sub=$(zolto_new_window 10 "$(printf '%s\n%s\n' "$before" "$menu" | sort)") ||
  zolto_fail "Up, Right opened no submenu of the header"
zolto_keys "$sub" Down
sleep 0.5
echo "screenshot: $(zolto_screenshot "$ZOLTO_NAME.picture_submenu")"
shot=$ZOLTO_E2E_ARTIFACTS/$ZOLTO_NAME.picture_submenu.png
read -r sx sy sw sh <<<"$(zolto_geometry "$sub")"
expect_picture "the header's submenu" "$shot" "$sx" "$sy" "$sw" "$sh"
# Above the picture: one caption item, as high as a line of text.
[ "$pic_top" -ge 14 ] && [ "$pic_top" -le 30 ] ||
  zolto_fail "the picture starts $pic_top px into the submenu: no caption item above it"
zolto_text_mask "$shot" "$((sw - 6))x$((pic_top - 3))+$((sx + 3))+$((sy + 3))" "$ZOLTO_TMP/caption.png" ||
  zolto_fail "the submenu's first item shows no text"
zolto_text_starts_with "$ZOLTO_TMP/header.png" "$ZOLTO_TMP/caption.png" ||
  zolto_fail "the submenu's first item does not read \"( 800 x 600 )\"" \
    "(its text differs from the start of the header naming \"( 800 x 600 ).jpg\")"
close_menus "$sub" "$menu"

# Without the library: the same menu less the picture, and no message.
rm "$ZOLTO_TMP/imgctl.dll"
open_menu "@pic=1,200" "$png"
echo "screenshot: $(zolto_screenshot "$ZOLTO_NAME.picture_no_library")"
shot=$ZOLTO_E2E_ARTIFACTS/$ZOLTO_NAME.picture_no_library.png
[ "$(zolto_new_windows "$before")" = "$menu" ] ||
  zolto_fail "without imgctl.dll another window came with the menu: $(zolto_window_texts | tr '\n\t' '| ')"
[ $((with_picture - mh)) -ge 148 ] && [ $((with_picture - mh)) -le 152 ] ||
  zolto_fail "without imgctl.dll the menu is $mh px high, with it $with_picture: expected 150 less"
found=$(zolto_pixels "$shot" "${mw}x${mh}+$mx+$my" "$gradient")
[ "${found#* }" -eq 0 ] || zolto_fail "without imgctl.dll the menu shows picture pixels ($found)"
ink=$(zolto_ink "$shot" "$((mw - 6))x20+$((mx + 3))+$((my + mh - 23))")
[ "${ink#* }" -gt 20 ] || zolto_fail "without imgctl.dll no header text ends the menu ($ink)"
close_menus "$menu"
echo "ok: 200x150 previews of the PNG and the JPEG below the header and in its submenu" \
  "under the caption \"( 800 x 600 )\"; without imgctl.dll the header alone"
