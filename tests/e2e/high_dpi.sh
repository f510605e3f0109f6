#!/usr/bin/env bash
# The menu on a 192 DPI display (200 % scaling). Wine runs a prefix of its own
# whose LogPixels is 192. Pixel sizes in the configuration are meant at
# 96 DPI, so "@pic=1,200" shows an 800x600 picture at 400x300. The text
# preview's width limit grows the same way: "@text=1,300" lets a long line
# run to 600 px. A web page's 320x240 capture (zolto_capture.exe with the
# stand-in browser, which paints it magenta) is shown at 640x480. Escape
# closes each menu; nothing starts and the program exits 0. Screenshots go
# to the artifacts folder.
#   high_dpi.sh EXE IMGCTL.DLL ZOLTO_CAPTURE_EXE
set -uo pipefail
usage="usage: high_dpi.sh EXE IMGCTL.DLL ZOLTO_CAPTURE_EXE"
root=$(cd "$(dirname "$0")/../.." && pwd)
# A prefix of its own: the display's scaling is a setting of the prefix.
export ZOLTO_WINEPREFIX="${ZOLTO_WINEPREFIX:-$root/build/wineprefix}-192dpi"
source "$(dirname "$0")/wine-env.sh"
if [ ! -f "$WINEPREFIX/.zolto-192dpi" ]; then
  for key in 'HKCU\Control Panel\Desktop' \
             'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    wine reg add "$key" /v LogPixels /t REG_DWORD /d 192 /f </dev/null >/dev/null 2>&1 ||
      zolto_fail "test set-up: cannot set LogPixels under $key"
  done
  # Wine reads the scaling when its server starts.
  wineserver -k 2>/dev/null
  sleep 1
  zolto_start_wine || zolto_fail "test set-up: Wine did not start again at 192 DPI"
  touch "$WINEPREFIX/.zolto-192dpi"
fi

zolto_setup "${1:?$usage}"
cp "${2:?$usage}" "$ZOLTO_TMP/imgctl.dll" && cp "${3:?$usage}" "$ZOLTO_TMP/zolto_capture.exe" &&
  cp "$ZOLTO_E2E_BIN/standin_browser.exe" "$ZOLTO_TMP/msedge.exe" ||
  zolto_fail "test set-up: cannot copy $2, $3 and the stand-in browser"
png=$ZOLTO_TMP/gradient.png
convert -size 800x600 gradient:red-blue "PNG24:$png" ||
  zolto_fail "test set-up: ImageMagick could not make the picture"
txt=$ZOLTO_TMP/notes.txt
# One line of 120 characters: wider than 600 px in any menu font.
printf '%s\r\n' "$(printf 'wide%.0s' $(seq 1 30))" >"$txt"

# The picture: a filled 400x300 rectangle of the gradient.
zolto_menu_on "$png" $'@icon\n@pic=1,200'
shot=$(zolto_screenshot "$ZOLTO_NAME.dpi192_picture")
found=$(zolto_pixels "$shot" "${mw}x${mh}+$mx+$my" 'g < 0.15 && r + b > 0.8')
IFS='x+' read -r w h _ _ <<<"${found% *}"
[ "${w:-0}" -ge 398 ] && [ "$w" -le 402 ] && [ "$h" -ge 298 ] && [ "$h" -le 302 ] ||
  zolto_fail "at 192 DPI the picture covers ${found% *}, expected 400x300"
[ "${found#* }" -ge $((w * h * 95 / 100)) ] ||
  zolto_fail "at 192 DPI only ${found#* } of the ${found% *} box are picture pixels"
zolto_escape "$menu"

# The text: its long line is cut at the doubled width limit, so the menu is
# wider than 600 px but not by much more than its margins and icon column.
zolto_menu_on "$txt" $'@icon\n@text=1,300'
[ "$mw" -ge 600 ] && [ "$mw" -le 760 ] ||
  zolto_fail "at 192 DPI the menu with the text preview is $mw px wide, expected 600 to 760"
zolto_escape "$menu"

# The web page: the capture's pixels are meant at 96 DPI too.
printf '<html></html>\r\n' >"$ZOLTO_TMP/page.html"
zolto_menu_on "$ZOLTO_TMP/page.html" "@browse=zolto_capture.exe,--browser=$(zolto_winpath "$ZOLTO_TMP/msedge.exe")"
shot=$(zolto_screenshot "$ZOLTO_NAME.dpi192_web")
found=$(zolto_pixels "$shot" "${mw}x${mh}+$mx+$my" 'r > 0.9 && g < 0.1 && b > 0.9')
[ "${found%%+*}" = 640x480 ] && [ "${found#* }" -eq $((640 * 480)) ] ||
  zolto_fail "at 192 DPI the web page's capture covers $found, expected 640x480"
zolto_escape "$menu"
echo "ok: at 192 DPI the picture preview is 400x300, the text preview 600 px wide" \
  "and the web page's capture 640x480"
