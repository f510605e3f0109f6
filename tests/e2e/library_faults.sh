#!/usr/bin/env bash
# A capture program that breaks: it writes half a bitmap header and crashes
# (crasher.exe as "@browse="). The menu comes, as high as without
# "@browse", and nothing is left running; Escape closes it, nothing is
# started and the program exits 0. (The libraries' faults are rows of the
# scenario table, scenarios.sh.)
#   library_faults.sh EXE
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
zolto_setup "${1:?usage: library_faults.sh EXE}"
printf '<html><body>page</body></html>\r\n' >"$ZOLTO_TMP/page.html"
cp "$ZOLTO_E2E_BIN/crasher.exe" "$ZOLTO_TMP/"

# preview SYSTEM-LINE SHOT: opens the menu on page.html with SYSTEM-LINE in
# [system], saves screenshot SHOT and closes it with Escape; sets mh, the
# menu's height.
preview() {
  ZOLTO_MENU_WAIT=60 zolto_menu_on "$ZOLTO_TMP/page.html" "$1"
  zolto_screenshot "$ZOLTO_NAME.$2" >/dev/null
  zolto_escape "$menu"
}

preview "" capture_none
plain=$mh
preview "@browse=crasher.exe" capture_crash
[ "$(stat -c %s "$ZOLTO_TMP/temp/$ZOLTO_NAME.bmp" 2>/dev/null)" = 30 ] ||
  zolto_fail "the crashing capture left no 30-byte bitmap: was it run?"
[ "$mh" -eq "$plain" ] ||
  zolto_fail "after the capture crashed the menu is $mh px high, without \"@browse\" $plain"
echo "ok ($SECONDS s): a capture program that crashed mid-write: the menu without a preview"
