#!/usr/bin/env bash
# The target's Explorer context menu in the popup menu (the shell's items
# for a file under Wine: Open, Cut, Copy, Create Link, Delete, Properties,
# with separators).
#  - "@context=1": after the entries, one more item "context ( &1 )" (and a
#    separator) whose submenu holds the shell's items: Down, Down, Right
#    opens it, right of the menu.
#  - "@context=2": those items merged into the menu itself, after the
#    entries: the menu grows by the submenu's items and loses the
#    "context" item.
#  - "@context=2" with "[add]" listing "&Open": of the shell's items only
#    Open is left: the menu is as high as with "@context=1", and down to
#    the separator below Open it is the merged menu pixel for pixel.
#  - "@context=1" with "[add]" listing "&prop" (any case): the submenu holds
#    Properties alone; Return on it runs the shell's command, which opens
#    the file's property sheet (Wine's shell offers no command that starts a
#    program for a file: no verbs from the registry, and its Open acts on
#    folders only).
# Escape closes the menus each time; no entry is started and the program
# exits 0. Screenshots go to the artifacts folder.
#   shell_menu.sh EXE
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
zolto_setup "${1:?usage: shell_menu.sh EXE}"
: >"$ZOLTO_TMP/doc.txt"

# shell_menu CONTEXT-LINE [ADD-LIST]: opens the menu on doc.txt with
# CONTEXT-LINE in [system] and ADD-LIST as the lines of an "[add]" section
# (none when empty); sets item, the height of an item, as well.
shell_menu() {
  zolto_menu_on "$ZOLTO_TMP/doc.txt" "$1" "${2:+[add]
$2
%end}"
  read -r _ item <<<"$(zolto_highlight "$(zolto_screenshot "$ZOLTO_NAME.shell_open")" "$mx" "$my" "$mw" "$mh")"
  [ "${item:-0}" -ge 12 ] || zolto_fail "'$1': no highlighted first item in the menu"
}

# open_submenu: Down, Down, Right from the first entry, to the item after
# the second entry; the submenu stands right of the menu.
open_submenu() {
  zolto_open_submenu Down Down Right
  [ "$sx" -gt "$mx" ] || zolto_fail "the submenu stands at $sx,$sy, not right of the menu"
}

# The menu without the shell's items.
shell_menu ""
plain=$mh
zolto_escape "$menu"

# As a submenu.
shell_menu "@context=1"
with_item=$mh
[ "$with_item" -gt "$plain" ] && [ $((with_item - plain)) -lt $((2 * item)) ] ||
  zolto_fail "with \"@context=1\" the menu is $mh px high, without $plain: not one item more"
open_submenu
[ "$sh" -ge $((4 * item)) ] || zolto_fail "the shell's submenu is only $sh px high"
submenu=$sh
zolto_escape "$sub" "$menu"

# Merged: the submenu's items (less its 3 px frame above and below) in
# place of the "context" item.
shell_menu "@context=2"
merged_shot=$(zolto_screenshot "$ZOLTO_NAME.shell_merged")
merged_width=$mw
[ $((mh - with_item)) -eq $((submenu - 6 - item)) ] ||
  zolto_fail "with \"@context=2\" the menu is $mh px high: not the $with_item of \"@context=1\"" \
    "less its $item px item plus the $((submenu - 6)) px of the submenu's items"
zolto_escape "$menu"

# Merged, only Open kept.
shell_menu "@context=2" "&Open"
shot=$(zolto_screenshot "$ZOLTO_NAME.shell_merged_add")
[ "$mh" -eq "$with_item" ] ||
  zolto_fail "with \"[add]\" of \"&Open\" the menu is $mh px high, not $with_item as with one shell item"
# Down to the separator below the shell's item (the header, item px high,
# and the frame's 3 px below it), away from the right edges.
part="$((mw < merged_width ? mw - 12 : merged_width - 12))x$((mh - 6 - item))+3+3"
convert "$shot" -crop "${mw}x${mh}+$mx+$my" +repage -crop "$part" +repage "$ZOLTO_TMP/kept.png" &&
  convert "$merged_shot" -crop "${merged_width}x300+$mx+$my" +repage -crop "$part" +repage \
    "$ZOLTO_TMP/all.png" ||
  zolto_fail "test: could not cut the menus out of the screenshots"
differ=$(compare -metric AE "$ZOLTO_TMP/kept.png" "$ZOLTO_TMP/all.png" null: 2>&1)
[ "$differ" = 0 ] ||
  zolto_fail "with \"[add]\" of \"&Open\" the menu's $part differs from the merged menu's" \
    "in $differ pixels: the item kept is not the shell's first (Open)"
zolto_escape "$menu"

# Choosing a shell item: the submenu holds Properties alone; Return on it.
shell_menu "@context=1" "&prop"
open_submenu
[ "$sh" -eq $((item + 6)) ] ||
  zolto_fail "with \"[add]\" of \"&prop\" the submenu is $sh px high: not one item"
zolto_keys "$sub" Return
sheet=$(zolto_new_window 30 "$before" "Properties for doc\\.txt") ||
  zolto_fail "Return on Properties opened no property sheet of doc.txt" \
    "(windows: $(zolto_window_texts | tr '\n\t' '| '))"
texts=$(zolto_window_texts)
grep -F "Properties for doc.txt" <<<"$texts" | grep -qF "$(zolto_winpath "$ZOLTO_TMP")" ||
  zolto_fail "the property sheet does not name doc.txt's folder:" \
    "$(grep -F Properties <<<"$texts" | tr '\t' '|')"
zolto_escape "$sheet"
[ -f "$ZOLTO_TMP/doc.txt" ] || zolto_fail "doc.txt is gone"
echo "ok: the shell's items as a submenu and merged, [add] keeping one of them," \
  "and Properties chosen from the submenu opening doc.txt's property sheet"
