#!/usr/bin/env bash
# Outside components that are broken: libraries that lack part of their
# interface or are no library at all, and a capture program that crashes.
#   library_faults.sh EXE CAPTION
#
# BREGEXP.DLL (an expression header "[!/\.zt$/i]" before a catch-all "[.*]"):
# - without BMatch: no expression matches, no message; the catch-all runs;
# - without BRegfree: BMatch still decides (this stand-in matches all);
# - a file of that name that is no library: "正規表現ライブラリが使用できま
#   せん" (caption CAPTION) once, and nothing runs.
# imgctl.dll (a picture preview, "@pic=1,200"; the stand-in's picture is a
# green 100x100 square): with all six functions the square is in the menu;
# without DIBto24Bit, without GetDIB, or as a file that is no library, the
# menu shows the header alone, as high as with no imgctl.dll at all.
# A capture program that writes half a bitmap header and crashes: the menu
# comes, as high as without "@browse", and nothing is left running.
# Escape closes every menu; nothing is started from one and the program
# exits 0 each time.
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
usage="usage: library_faults.sh EXE CAPTION"
zolto_setup "${1:?$usage}"
caption=${2:?$usage}
bin=$ZOLTO_E2E_BIN

# ---- BREGEXP.DLL
zolto_ini <<'INI'
[!/\.zt$/i]
recorder.exe | R
>regex | &Regex
%end
[.*]
recorder.exe | R
>other | &Other
%end
INI
: >"$ZOLTO_TMP/a.zt"
target=$(zolto_winpath "$ZOLTO_TMP/a.zt")

# with_bregexp WHAT [ARGS]: with no window, the entry whose parameter is
# ARGS runs at once; without ARGS, the library message comes and nothing
# runs.
with_bregexp() {
  if [ -n "${2:-}" ]; then
    zolto_quiet_run "$target"
    zolto_expect_args "BREGEXP.DLL $1" "$2"
  else
    zolto_box "BREGEXP.DLL $1" "$caption" "正規表現ライブラリが使用できません" "$target"
    zolto_dismiss
  fi
  echo "ok ($SECONDS s): BREGEXP.DLL $1: ${2:-the message}"
}

cp "$bin/bregexp_no_bmatch.dll" "$ZOLTO_TMP/BREGEXP.DLL"; with_bregexp "without BMatch" other
cp "$bin/bregexp_no_bregfree.dll" "$ZOLTO_TMP/BREGEXP.DLL"; with_bregexp "without BRegfree" regex
printf 'not a library\r\n' >"$ZOLTO_TMP/BREGEXP.DLL"; with_bregexp "that is no library"
rm "$ZOLTO_TMP/BREGEXP.DLL"

# ---- Menus with previews.
convert -size 40x30 xc:gray "PNG24:$ZOLTO_TMP/p.png" || zolto_fail "test set-up: no picture"
printf '<html><body>page</body></html>\r\n' >"$ZOLTO_TMP/page.html"
cp "$bin/crasher.exe" "$ZOLTO_TMP/"

# preview SYSTEM-LINE TARGET SHOT: opens the menu on TARGET with SYSTEM-LINE
# in [system], saves screenshot SHOT and closes it with Escape; sets mh, the
# menu's height, and green, the number of green pixels in it.
preview() {
  ZOLTO_MENU_WAIT=60 zolto_menu_on "$2" "$1"
  green=$(zolto_pixels "$(zolto_screenshot "$ZOLTO_NAME.$3")" "${mw}x${mh}+$mx+$my" \
    'g > 0.9 && r < 0.1 && b < 0.1')
  green=${green#* }
  zolto_escape "$menu"
}

# The menu with no library, then with the whole stand-in: 100 px higher,
# the green square in it.
preview "@pic=1,200" "$ZOLTO_TMP/p.png" lib_none
plain=$mh
cp "$bin/imgctl_stub.dll" "$ZOLTO_TMP/imgctl.dll"
preview "@pic=1,200" "$ZOLTO_TMP/p.png" lib_whole
[ $((mh - plain)) -ge 98 ] && [ $((mh - plain)) -le 102 ] && [ "$green" -ge 9500 ] ||
  zolto_fail "with the whole imgctl.dll stand-in the menu is $mh px high (without $plain)" \
    "with $green green pixels: expected 100 px more and the 100x100 square"
echo "ok ($SECONDS s): imgctl.dll stand-in: its square in the menu"

for variant in no_to24bit no_getdib junk; do
  [ "$variant" = junk ] && printf 'not a library\r\n' >"$ZOLTO_TMP/imgctl.dll" ||
    cp "$bin/imgctl_$variant.dll" "$ZOLTO_TMP/imgctl.dll" || zolto_fail "test set-up: no imgctl_$variant.dll"
  preview "@pic=1,200" "$ZOLTO_TMP/p.png" "lib_$variant"
  [ "$mh" -eq "$plain" ] && [ "$green" -eq 0 ] ||
    zolto_fail "imgctl.dll $variant: the menu is $mh px high with $green green pixels," \
      "expected $plain and none"
  echo "ok ($SECONDS s): imgctl.dll $variant: the header alone, no message"
done
rm "$ZOLTO_TMP/imgctl.dll"

# ---- The capture program crashes after half a bitmap header.
preview "" "$ZOLTO_TMP/page.html" capture_none
plain=$mh
preview "@browse=crasher.exe" "$ZOLTO_TMP/page.html" capture_crash
[ "$(stat -c %s "$ZOLTO_TMP/temp/$ZOLTO_NAME.bmp" 2>/dev/null)" = 30 ] ||
  zolto_fail "the crashing capture left no 30-byte bitmap: was it run?"
[ "$mh" -eq "$plain" ] ||
  zolto_fail "after the capture crashed the menu is $mh px high, without \"@browse\" $plain"
echo "ok ($SECONDS s): a capture program that crashed mid-write: the menu without a preview"
