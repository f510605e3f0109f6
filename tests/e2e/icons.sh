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

# look ICON-LINE: opens the menu on shown.txt with ICON-LINE in [system] and
# sets row1, row2 and header, the first things of the two entries and of the
# header (the last item). The first entry is highlighted when the menu
# opens: its highlighted rows give the items' place and height.
look() {
  local y h
  printf '[system]\n@menu=100,100\n%s\n%%end\n[$.txt]\nrecorder.exe | &Record\n@system | &Open\n%%end\n' \
    "$1" | zolto_ini
  zolto_open_menu 30 "'$1'" "$(zolto_winpath "$ZOLTO_TMP/shown.txt")"
  shot=$(zolto_screenshot "$ZOLTO_NAME.icons${1:+_on}")
  read -r y h <<<"$(zolto_highlight "$shot" "$mx" "$my" "$mw" "$mh")"
  [ "${h:-0}" -ge 12 ] || zolto_fail "'$1': no highlighted first item in the menu"
  row1=$(first_thing "$y" "$h")
  row2=$(first_thing $((y + h)) "$h")
  header=$(first_thing $((mh - 3 - h)) "$h")
  zolto_escape "$menu"
}

look ""
letters="$row1; $row2"
for row in "$row1" "$row2"; do
  # shellcheck disable=SC2086
  ! is_icon $row || zolto_fail "without \"@icon\" an item starts with an icon-like thing ($row):" \
    "the look cannot tell icons from letters"
done
look "@icon"
for item in "recorder.exe:$row1" "@system:$row2" "header:$header"; do
  # shellcheck disable=SC2086
  is_icon ${item#*:} || zolto_fail "the ${item%%:*} item (first thing: ${item#*:}) shows no icon"
done
read -r _ _ _ navy <<<"$row2"
[ "$navy" -ge 20 ] || zolto_fail "the @system item's icon is not the navy system icon ($row2)"
echo "ok: icons left of the labels (recorder.exe: $row1; @system: $row2; header: $header;" \
  "first letters without \"@icon\": $letters)"
