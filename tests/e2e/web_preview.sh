#!/usr/bin/env bash
# Web previews of an .html target through the test-pattern capture program
# (capture_pattern.exe beside the program, "@browse=capture_pattern.exe,ARGS").
#   web_preview.sh EXE CAPTURE.EXE bands
#       no ARGS: the pattern's 320x240 picture (a navy border, eight colour
#       bands above, white below) is the last item of the menu, below
#       the header; "--fail" (nothing written): no preview; "--garbage" (a
#       bitmap header claiming 4000x4000 over 100 bytes): no preview, no
#       crash. The menu is then as high as without "@browse".
#   web_preview.sh EXE CAPTURE.EXE hang
#       "--hang=60": the capture is ended after its 30 s; the menu comes
#       without a preview and no capture is left running.
# Escape closes the menu each time; nothing is started and the program
# exits 0. Screenshots go to the artifacts folder.
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
usage="usage: web_preview.sh EXE CAPTURE.EXE bands|hang"
zolto_setup "${1:?$usage}"
cp "${2:?$usage}" "$ZOLTO_TMP/capture_pattern.exe" || zolto_fail "test set-up: cannot copy $2"
mode=${3:?$usage}
case $mode in bands | hang) ;; *) zolto_fail "$usage" ;; esac
printf '<html><body>page</body></html>\r\n' >"$ZOLTO_TMP/page.html"
# Where the program has the capture program write its picture.
bitmap=$ZOLTO_TMP/temp/$ZOLTO_NAME.bmp
navy='r < 0.1 && g < 0.1 && b > 0.4 && b < 0.6'

# open_menu SECONDS BROWSE-LINE: opens the menu on page.html with
# BROWSE-LINE in [system], waiting up to SECONDS for it.
open_menu() {
  ZOLTO_MENU_WAIT=$1 zolto_menu_on "$ZOLTO_TMP/page.html" "$2"
}

# no_preview WHAT SHOT: the menu in SHOT is as high as without "@browse"
# and shows no navy border.
no_preview() {
  local found
  [ "$mh" -eq "$plain" ] || zolto_fail "$1: the menu is $mh px high, without \"@browse\" $plain"
  found=$(zolto_pixels "$2" "${mw}x${mh}+$mx+$my" "$navy")
  [ "${found#* }" -eq 0 ] || zolto_fail "$1: the menu shows a picture's border ($found)"
}

# The menu without a preview.
open_menu 30 ""
plain=$mh
zolto_escape "$menu"

if [ "$mode" = hang ]; then
  SECONDS=0
  open_menu 80 "@browse=capture_pattern.exe,--hang=60"
  echo "the menu came after $SECONDS s"
  no_preview "--hang=60" "$(zolto_screenshot "$ZOLTO_NAME.web_hang")"
  left=$(pgrep -af -- "$(basename "$ZOLTO_TMP").*capture_pattern") &&
    zolto_fail "the capture still runs with the menu open: $left"
  [ ! -e "$bitmap" ] || zolto_fail "the hanging capture left $bitmap"
  zolto_escape "$menu"
  echo "ok: a capture that hangs was ended; the menu came without a preview"
  exit 0
fi

# The pattern below the header.
open_menu 60 "@browse=capture_pattern.exe"
shot=$(zolto_screenshot "$ZOLTO_NAME.web_bands")
found=$(zolto_pixels "$shot" "${mw}x${mh}+$mx+$my" "$navy")
IFS='x+' read -r w h x y <<<"${found% *}"
[ "$w" -eq 320 ] && [ "$h" -eq 240 ] ||
  zolto_fail "the picture's navy border spans ${found% *} of the ${mw}x${mh} menu, expected 320x240"
[ $((mh - y - h)) -ge 0 ] && [ $((mh - y - h)) -le 6 ] && [ "$y" -ge 40 ] ||
  zolto_fail "the picture (${found% *}) is not the last item, below the header, of the ${mw}x${mh} menu"
ink=$(zolto_ink "$shot" "$((mw - 6))x20+$((mx + 3))+$((my + y - 20))")
[ "${ink#* }" -gt 20 ] || zolto_fail "no header text above the picture ($ink)"
# The bands: 6 px of border, then eight bands over 308 px, from y 6 to 142.
colours=("255,0,0" "0,255,0" "0,0,255" "255,255,0" "0,255,255" "255,0,255" "255,128,0" "128,128,128")
for band in 0 1 2 3 4 5 6 7; do
  px=$((mx + x + 6 + 308 * (2 * band + 1) / 16))
  py=$((my + y + 70))
  seen=$(convert "$shot" -format "%[fx:round(255*p{$px,$py}.r)],%[fx:round(255*p{$px,$py}.g)],%[fx:round(255*p{$px,$py}.b)]" info:)
  [ "$seen" = "${colours[band]}" ] ||
    zolto_fail "band $((band + 1)) at $px,$py is ($seen), expected (${colours[band]})"
done
zolto_escape "$menu"

# A capture that fails, one that writes a broken bitmap.
for arg in fail garbage; do
  open_menu 60 "@browse=capture_pattern.exe,--$arg"
  no_preview "--$arg" "$(zolto_screenshot "$ZOLTO_NAME.web_$arg")"
  [ "$arg" = fail ] || [ "$(stat -c %s "$bitmap" 2>/dev/null)" = 100 ] ||
    zolto_fail "the capture's 100-byte bitmap is not at $bitmap: was it run?"
  zolto_escape "$menu"
done
echo "ok: the 320x240 capture with its bands below the header; none for --fail and --garbage"
