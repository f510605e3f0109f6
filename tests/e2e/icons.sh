#!/usr/bin/env bash
# "@icon": each item shows a small icon left of its label: the recorder's
# (the shell's icon for recorder.exe), the program's own system icon for an
# "@system" entry (a navy window), the target's for the header. The test
# finds, in each item of the screenshot, the first thing left to right that
# is not the item's background: with "@icon" an icon (at least 12 px high
# and filled), without it the label's first letter (less high, thin), which
# the same look must tell apart. Escape closes the menu; nothing is started
# and the program exits 0.
#   icons.sh EXE
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
zolto_setup "${1:?usage: icons.sh EXE}"
: >"$ZOLTO_TMP/shown.txt"

# open_menu ICON-LINE: starts the program on shown.txt with ICON-LINE in
# [system] and waits for its menu; sets menu and mx my mw mh (the menu
# window's place and size) and shot (a screenshot named after ICON-LINE).
open_menu() {
  zolto_ini <<INI
[system]
@menu=100,100
$1
%end
[\$.txt]
recorder.exe | &Record
@system | &Open
%end
INI
  xdotool mousemove 1000 900
  local before
  before=$(zolto_windows)
  zolto_start 60 "$ZOLTO_EXE" "$(zolto_winpath "$ZOLTO_TMP/shown.txt")"
  menu=$(zolto_new_window 30 "$before") || zolto_fail "'$1': no menu appeared within 30 s"
  sleep 0.5  # drawn
  read -r mx my mw mh <<<"$(zolto_geometry "$menu")"
  shot=$(zolto_screenshot "$ZOLTO_NAME.icons${1:+_on}")
}

# first_thing TOP HEIGHT: in the item whose rows start at TOP (within the
# menu), the first run of columns, left to right, that hold pixels other
# than the item's background: prints "WIDTH HEIGHT COUNT NAVY", the box
# around those pixels, their number and how many of them are navy.
first_thing() {
  local top=$(($1 + my)) height=$2 left=$((mx + 4)) width=$((mw - 8)) bg profile start end
  bg=$(convert "$shot" -format "%[pixel:p{$((left + 1)),$((top + height / 2))}]" info:)
  profile=$(convert "$shot" -crop "${width}x${height}+$left+$top" +repage -fuzz 8% \
    -transparent "$bg" -alpha extract -scale "${width}x1!" -depth 8 gray:- | od -An -tu1 -v)
  read -r start end <<<"$(tr -s ' ' '\n' <<<"$profile" | grep -v '^$' |
    awk '$1 > 0 { if (!s) s = NR; e = NR; next } s { exit } END { print s - 1, e }')"
  [ "$start" -ge 0 ] 2>/dev/null || { echo "0 0 0 0"; return; }
  local crop="$((end - start))x${height}+$((left + start))+$top" found navy
  found=$(convert "$shot" -crop "$crop" +repage -fuzz 8% -transparent "$bg" -alpha extract \
    -format '%@ %[fx:round(mean*w*h)]' info: 2>/dev/null)
  navy=$(zolto_pixels "$shot" "$crop" 'r < 0.1 && g < 0.1 && b > 0.35 && b < 0.6')
  IFS='x+' read -r w h _ _ <<<"${found% *}"
  echo "$w $h ${found#* } ${navy#* }"
}

# is_icon W H COUNT: a filled thing at least 12 px high and wide (a letter
# is about 10 px high, with 50 pixels at most).
is_icon() {
  [ "$1" -ge 12 ] && [ "$2" -ge 12 ] && [ "$3" -ge 75 ]
}

# look ICON-LINE: opens the menu and sets row1, row2 and header, the first
# things of the two entries and of the header (the last item). The first
# entry is highlighted when the menu opens: its highlighted rows give the
# items' place and height.
look() {
  open_menu "$1"
  local y h
  read -r y h <<<"$(zolto_highlight "$shot" "$mx" "$my" "$mw" "$mh")"
  [ "${h:-0}" -ge 12 ] || zolto_fail "'$1': no highlighted first item in the menu"
  row1=$(first_thing "$y" "$h")
  row2=$(first_thing $((y + h)) "$h")
  header=$(first_thing $((mh - 3 - h)) "$h")
  zolto_keys "$menu" Escape
  zolto_finish 30
  zolto_expect_starts 0
}

look ""
letters="$row1; $row2"
for row in "$row1" "$row2"; do
  # shellcheck disable=SC2086
  ! is_icon $row || zolto_fail "without \"@icon\" an item starts with an icon-like thing ($row):" \
    "the look cannot tell icons from letters"
done
look "@icon"
echo "screenshot: $shot"
for item in "recorder.exe:$row1" "@system:$row2" "header:$header"; do
  # shellcheck disable=SC2086
  is_icon ${item#*:} || zolto_fail "the ${item%%:*} item (first thing: ${item#*:}) shows no icon"
done
read -r _ _ _ navy <<<"$row2"
[ "$navy" -ge 20 ] || zolto_fail "the @system item's icon is not the navy system icon ($row2)"
echo "ok: icons left of the labels (recorder.exe: $row1; @system: $row2; header: $header;" \
  "first letters without \"@icon\": $letters)"
