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
message="正規表現ライブラリが使用できません"

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

# expect_entry WHAT ARGS: the program runs at once, with no window, the
# entry whose parameter is ARGS.
expect_entry() {
  local before
  rm -f "$ZOLTO_TMP/recorder.log"
  before=$(zolto_windows)
  zolto_start 60 "$ZOLTO_EXE" "$target"
  zolto_finish_windowless 30 "$before"
  zolto_expect_starts 1
  [ "$(zolto_args)" = "$2" ] || zolto_fail "$1: the recorder got [$(zolto_args)], expected [$2]"
  echo "ok ($SECONDS s): BREGEXP.DLL $1: '$2' ran, no message"
}

cp "$bin/bregexp_no_bmatch.dll" "$ZOLTO_TMP/BREGEXP.DLL"
expect_entry "without BMatch" other
cp "$bin/bregexp_no_bregfree.dll" "$ZOLTO_TMP/BREGEXP.DLL"
expect_entry "without BRegfree" regex

printf 'not a library\r\n' >"$ZOLTO_TMP/BREGEXP.DLL"
rm -f "$ZOLTO_TMP/recorder.log"
before=$(zolto_windows)
zolto_start 60 "$ZOLTO_EXE" "$target"
box=$(zolto_find_window "$caption" 30 "$before") ||
  zolto_fail "no library: no box captioned '$caption' (visible: $(zolto_window_texts | tr '\n\t' '| '))"
[ "$(zolto_window_texts | grep -c -F -- "$message")" -eq 1 ] ||
  zolto_fail "no library: expected one window saying '$message': $(zolto_window_texts | tr '\n\t' '| ')"
zolto_keys "$box" Return
zolto_finish 30
zolto_expect_starts 0
echo "ok ($SECONDS s): a BREGEXP.DLL that is no library: '$message' once, nothing ran"
rm "$ZOLTO_TMP/BREGEXP.DLL"

# ---- Menus with previews.
convert -size 40x30 xc:gray "PNG24:$ZOLTO_TMP/p.png" || zolto_fail "test set-up: no picture"
printf '<html><body>page</body></html>\r\n' >"$ZOLTO_TMP/page.html"
cp "$bin/crasher.exe" "$ZOLTO_TMP/"
green='g > 0.9 && r < 0.1 && b < 0.1'

# open_menu SYSTEM-LINE TARGET SHOT: opens the menu on TARGET with
# SYSTEM-LINE in [system], saves screenshot SHOT, closes it with Escape and
# checks the run; sets mh, the menu's height, and found, the number of green
# pixels in it.
open_menu() {
  local before menu mx my mw
  zolto_ini <<INI
[system]
@menu=100,100
$1
%end
[\$.png][\$.html]
recorder.exe | &Record
recorder.exe | &Second
%end
INI
  xdotool mousemove 1000 900
  rm -f "$ZOLTO_TMP/recorder.log"
  before=$(zolto_windows)
  zolto_start 90 "$ZOLTO_EXE" "$(zolto_winpath "$2")"
  menu=$(zolto_new_window 60 "$before") || zolto_fail "'$1': no menu appeared"
  [ -z "$(xdotool getwindowname "$menu")" ] ||
    zolto_fail "'$1': a box came: $(zolto_window_texts | tr '\n\t' '| ')"
  sleep 0.5  # drawn
  read -r mx my mw mh <<<"$(zolto_geometry "$menu")"
  zolto_screenshot "$ZOLTO_NAME.$3" >/dev/null
  found=$(zolto_pixels "$ZOLTO_E2E_ARTIFACTS/$ZOLTO_NAME.$3.png" "${mw}x${mh}+$mx+$my" "$green")
  found=${found#* }
  zolto_keys "$menu" Escape
  zolto_finish 30
  zolto_expect_starts 0
}

# The menu with no library, then with the whole stand-in: 100 px higher,
# the green square in it.
open_menu "@pic=1,200" "$ZOLTO_TMP/p.png" lib_none
plain=$mh
cp "$bin/imgctl_stub.dll" "$ZOLTO_TMP/imgctl.dll"
open_menu "@pic=1,200" "$ZOLTO_TMP/p.png" lib_whole
[ $((mh - plain)) -ge 98 ] && [ $((mh - plain)) -le 102 ] && [ "$found" -ge 9500 ] ||
  zolto_fail "with the whole imgctl.dll stand-in the menu is $mh px high (without $plain)" \
    "with $found green pixels: expected 100 px more and the 100x100 square"
echo "ok ($SECONDS s): imgctl.dll stand-in: its square in the menu"

for variant in no_to24bit no_getdib junk; do
  if [ "$variant" = junk ]; then
    printf 'not a library\r\n' >"$ZOLTO_TMP/imgctl.dll"
  else
    cp "$bin/imgctl_$variant.dll" "$ZOLTO_TMP/imgctl.dll"
  fi
  open_menu "@pic=1,200" "$ZOLTO_TMP/p.png" "lib_$variant"
  [ "$mh" -eq "$plain" ] && [ "$found" -eq 0 ] ||
    zolto_fail "imgctl.dll $variant: the menu is $mh px high with $found green pixels," \
      "expected $plain and none"
  echo "ok ($SECONDS s): imgctl.dll $variant: the header alone, no message"
done
rm "$ZOLTO_TMP/imgctl.dll"

# ---- The capture program crashes after half a bitmap header.
open_menu "" "$ZOLTO_TMP/page.html" capture_none
plain=$mh
open_menu "@browse=crasher.exe" "$ZOLTO_TMP/page.html" capture_crash
[ "$(stat -c %s "$ZOLTO_TMP/temp/$ZOLTO_NAME.bmp" 2>/dev/null)" = 30 ] ||
  zolto_fail "the crashing capture left no 30-byte bitmap: was it run?"
[ "$mh" -eq "$plain" ] ||
  zolto_fail "after the capture crashed the menu is $mh px high, without \"@browse\" $plain"
echo "ok ($SECONDS s): a capture program that crashed mid-write: the menu without a preview"
