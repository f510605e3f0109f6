#!/usr/bin/env bash
# The popup menu of a section with an entry of two parameter lines (a
# submenu), a separator, a column break and the header naming the target,
# at "@menu=100,100": its window stands there; screenshots of the menu and
# of the opened submenu go to the artifacts folder. Escape closes both
# levels; nothing is started and the program exits 0.
#   menu_screenshot.sh EXE
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
zolto_setup "${1:?usage: menu_screenshot.sh EXE}"
zolto_ini <<'INI'
[system]
@menu=100,100
%end
[$.txt]
recorder.exe | &Record
>-p "%P" | Param one
>-q | Param two
+
recorder.exe | &Second
-
recorder.exe | &Third
%end
INI
zolto_targets shown.txt

zolto_open_menu 30 "the menu" "${targets[0]}"
echo "screenshot: $(zolto_screenshot "$ZOLTO_NAME.menu")"
[ "$mx,$my" = "100,100" ] || zolto_fail "the menu stands at $mx,$my, expected 100,100"
# The first item is highlighted: Right opens its submenu of parameter lines,
# a second menu window to the right of the first.
zolto_open_submenu Right
echo "screenshot: $(zolto_screenshot "$ZOLTO_NAME.menu_submenu")"
[ "$sx" -gt 100 ] || zolto_fail "the submenu stands at $sx,$sy, not right of the menu"
zolto_escape "$sub" "$menu"
echo "ok: the menu stood at 100,100 with its submenu; Escape started nothing"
