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
: >"$ZOLTO_TMP/shown.txt"

before=$(zolto_windows)
zolto_start 60 "$ZOLTO_EXE" "$(zolto_winpath "$ZOLTO_TMP/shown.txt")"
menu=$(zolto_new_window 30 "$before") || zolto_fail "no menu appeared within 30 s"
sleep 0.5  # drawn
echo "screenshot: $(zolto_screenshot "$ZOLTO_NAME.menu")"
at=$(zolto_window_at "$menu")
[ "$at" = "100,100" ] || zolto_fail "the menu stands at $at, expected 100,100"

# The first item is highlighted: Right opens its submenu of parameter lines,
# a second menu window to the right of the first.
zolto_keys "$menu" Right
sub=$(zolto_new_window 10 "$(printf '%s\n%s\n' "$before" "$menu" | sort)") ||
  zolto_fail "Right on the first item opened no submenu"
sleep 0.5
echo "screenshot: $(zolto_screenshot "$ZOLTO_NAME.menu_submenu")"
sub_x=$(zolto_window_at "$sub" | cut -d, -f1)
[ "$sub_x" -gt 100 ] || zolto_fail "the submenu stands at $(zolto_window_at "$sub"), not right of the menu"

zolto_keys "$sub" Escape
zolto_keys "$menu" Escape
zolto_finish 30
zolto_expect_starts 0
echo "ok: the menu stood at 100,100 with its submenu; Escape started nothing"
