#!/usr/bin/env bash
# Text previews of a .txt target.
#   text_preview.sh EXE
# "@text=1,300,10": the file's lines (9 characters; a tab and 6 more; an
# empty line; a last line with no line break) stand below the header in a
# fixed-pitch font: the menu is four lines higher than without "@text", the
# second line starts four characters to the right of the first, the third
# is empty, and the widest line (the tabbed one, 10 characters) is shown
# whole: it ends one character further right than the first. With
# "@text=1,300,10,0,Courier New,12,2" the header opens a submenu instead:
# first the size label "( 1.5 KB )" of a 1029-byte file, then its first 10
# lines of 12 px.
# Escape closes the menus each time; nothing is started and the program
# exits 0. Screenshots go to the artifacts folder.
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
zolto_setup "${1:?usage: text_preview.sh EXE}"
printf 'abcdefghi\r\n\tWWWWWW\r\n\r\nlast line' >"$ZOLTO_TMP/lines.txt"
# 1029 bytes: "( 1.5 KB )" (1 KB and the leading digit of the 5 left over).
# The file is named after that label: the header naming it then draws the
# same text in the same font.
big="$ZOLTO_TMP/( 1.5 KB ).txt"
for n in $(seq 1 40); do printf 'line %02d\r\n' "$n"; done >"$big"
printf '%0*d' $((1029 - $(stat -c %s "$big"))) 0 >>"$big"
[ "$(stat -c %s "$big")" -eq 1029 ] || zolto_fail "test set-up: $big is not 1029 bytes"

# The menu without a preview.
zolto_menu_on "$ZOLTO_TMP/lines.txt"
plain=$mh
zolto_escape "$menu"

# Below the header: four lines of lh px, the last item of the menu (whose
# frame below is 3 px).
zolto_menu_on "$ZOLTO_TMP/lines.txt" "@text=1,300,10"
shot=$(zolto_screenshot "$ZOLTO_NAME.text_below")
lh=$(((mh - plain) / 4))
[ $((mh - plain)) -eq $((4 * lh)) ] && [ "$lh" -ge 8 ] && [ "$lh" -le 24 ] ||
  zolto_fail "with \"@text\" the menu is $mh px high, without $plain: not four lines more"
top=$((my + mh - 3 - 4 * lh))
# line N: the box and number of the dark pixels in line N (1..4) of the
# preview, as "W H X Y COUNT" (X within the menu).
line() {
  zolto_ink "$shot" "$((mw - 6))x$lh+$((mx + 3))+$((top + ($1 - 1) * lh))" | tr 'x+' '  '
}
read -r w1 _ x1 _ n1 <<<"$(line 1)"
read -r w2 _ x2 _ n2 <<<"$(line 2)"
read -r _ _ _ _ n3 <<<"$(line 3)"
read -r _ _ _ _ n4 <<<"$(line 4)"
[ "$n1" -gt 0 ] && [ "$n2" -gt 0 ] && [ "$n4" -gt 0 ] ||
  zolto_fail "the preview lines are not all there (dark pixels in lines 1, 2 and 4: $n1, $n2, $n4)"
[ "$n3" -eq 0 ] || zolto_fail "the empty third line shows $n3 dark pixels"
# A character cell is about a ninth of "abcdefghi" (twice that in tenths).
cell10=$((w1 * 10 / 9))
[ "$cell10" -ge 40 ] || zolto_fail "the first line is only $w1 px wide"
shift10=$(((x2 - x1) * 10))
[ "$shift10" -ge $((cell10 * 35 / 10)) ] && [ "$shift10" -le $((cell10 * 45 / 10)) ] ||
  zolto_fail "the tabbed line starts $((x2 - x1)) px right of the first, not four characters" \
    "(one is about $((cell10 / 10)) px)"
beyond10=$(((x2 + w2 - x1 - w1) * 10))
[ "$beyond10" -ge $((cell10 / 2)) ] ||
  zolto_fail "the widest line (a tab and WWWWWW, 10 characters) ends $((beyond10 / 10)) px" \
    "right of \"abcdefghi\" (9 characters), not a character further: its end is cut off"
zolto_escape "$menu"

# In a submenu of the header: the menu keeps its height; the submenu shows
# the size label, then the text.
zolto_menu_on "$big" "@text=1,300,10,0,Courier New,12,2"
[ "$mh" -eq "$plain" ] ||
  zolto_fail "with the text in a submenu the menu is $mh px high, without a preview $plain"
zolto_header_submenu text
# Ten lines of 12 px at the bottom, one item of text above them.
label=$((sh - 6 - 120))
[ "$label" -ge 12 ] && [ "$label" -le 30 ] ||
  zolto_fail "the submenu is $sh px high: not an item of text and ten 12 px lines"
zolto_first_item_reads "$label" "( 1.5 KB )"
# The tenth line ("line 10") is there, the eleventh would not fit.
tenth=$(zolto_ink "$shot" "$((sw - 6))x12+$((sx + 3))+$((sy + sh - 3 - 12))")
[ "${tenth#* }" -gt 0 ] || zolto_fail "the submenu's last 12 px show no text ($tenth)"
zolto_escape "$sub" "$menu"
echo "ok: the lines below the header (a tab as four blanks, the empty line, the last line" \
  "without a line break, the widest line whole); in the header's submenu the size label \"( 1.5 KB )\" and 10 lines"
