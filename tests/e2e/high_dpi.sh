#!/usr/bin/env bash
# The menu on a 192 DPI display (200 % scaling). Wine runs a prefix of its own
# whose LogPixels is 192. Pixel sizes in the configuration are meant at
# 96 DPI, so "@pic=1,200" shows an 800x600 picture at 400x300. The text
# preview's width limit grows the same way: "@text=1,300" lets a long line
# run to 600 px. A web page's 320x240 capture (zolto_capture.exe with the
# stand-in browser, which paints it magenta) is shown at 640x480. Escape
# closes each menu; nothing starts and the program exits 0. Screenshots go
# to the artifacts folder. The programs come from ZOLTO_BIN (wine-env.sh).
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# A prefix of its own: the display's scaling is a setting of the prefix.
export ZOLTO_WINEPREFIX="${ZOLTO_WINEPREFIX:-$root/build/wineprefix}-192dpi"
source "$(dirname "$0")/wine-env.sh"
if [ ! -f "$WINEPREFIX/.zolto-192dpi" ]; then
  for key in 'HKCU\Control Panel\Desktop' \
             'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    zolto_run 30 reg add "$key" /v LogPixels /t REG_DWORD /d 192 /f ||
      zolto_fail "test set-up: cannot set LogPixels under $key"
  done
  # Wine reads the scaling when its server starts.
  wineserver -k 2>/dev/null
  sleep 1
  zolto_start_wine || zolto_fail "test set-up: Wine did not start again at 192 DPI"
  touch "$WINEPREFIX/.zolto-192dpi"
fi

new_row
standin_browser msedge.exe
cp "$ZOLTO_BIN/imgctl.dll" "$ZOLTO_BIN/zolto_capture.exe" "$ZOLTO_TMP/" &&
  convert -size 800x600 gradient:red-blue "PNG24:$ZOLTO_TMP/gradient.png" ||
  zolto_fail "test set-up: no imgctl.dll, zolto_capture.exe or picture"
# One line of 120 characters: wider than 600 px in any menu font.
printf '%s\r\n' "$(printf 'wide%.0s' $(seq 1 30))" >"$ZOLTO_TMP/notes.txt"
printf '<html></html>\r\n' >"$ZOLTO_TMP/page.html"

# The picture: a filled 400x300 rectangle of the gradient.
menu_on gradient.png $'@icon\n@pic=1,200'
snap dpi192_picture
found=$(zolto_pixels "$shot" "${mw}x${mh}+$mx+$my" 'g < 0.15 && r + b > 0.8')
IFS='x+' read -r w h _ _ <<<"${found% *}"
((${w:-0} >= 398 && w <= 402 && h >= 298 && h <= 302 && ${found#* } >= w * h * 95 / 100)) ||
  zolto_fail "at 192 DPI the picture covers ${found% *} (${found#* } picture pixels), expected a filled 400x300"
escape

# The text: its long line is cut at the doubled width limit, so the menu is
# wider than 600 px but not by much more than its margins and icon column.
menu_on notes.txt $'@icon\n@text=1,300'
((mw >= 600 && mw <= 760)) || zolto_fail "at 192 DPI the menu with the text preview is $mw px wide, expected 600 to 760"
escape

# The web page: the capture's pixels are meant at 96 DPI too.
menu_on page.html "@browse=zolto_capture.exe,--browser=$(x @{msedge.exe})"
snap dpi192_web
found=$(zolto_pixels "$shot" "${mw}x${mh}+$mx+$my" "$magenta")
[ "${found%%+*}" = 640x480 ] && [ "${found#* }" -eq $((640 * 480)) ] ||
  zolto_fail "at 192 DPI the web page's capture covers $found, expected 640x480"
escape
echo "ok: at 192 DPI the picture preview is 400x300, the text preview 600 px wide" \
  "and the web page's capture 640x480"
