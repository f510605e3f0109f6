#!/usr/bin/env bash
# An entry whose one parameter line holds "%X" asks for the parameter in a
# small box, at the menu's place, before it runs: the typed text takes the place of "%X" (Return
# accepts); Escape cancels and nothing is started. Either way the program
# exits 0.
#   param_dialog.sh EXE
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
zolto_setup "${1:?usage: param_dialog.sh EXE}"
zolto_ini <<'INI'
[system]
@menu=200,150
%end
[$.txt]
recorder.exe | R
>-x %X | Ask
%end
INI
: >"$ZOLTO_TMP/a.txt"
target=$(zolto_winpath "$ZOLTO_TMP/a.txt")
text="typed words"

# open_dialog: starts the program and sets box to its parameter box.
open_dialog() {
  local before
  before=$(zolto_windows)
  zolto_start 60 "$ZOLTO_EXE" "$target"
  box=$(zolto_new_window 30 "$before") || zolto_fail "no parameter box appeared within 30 s"
  sleep 0.5  # drawn
}

open_dialog
echo "screenshot: $(zolto_screenshot "$ZOLTO_NAME.param_dialog")"
# Its X window may start inside the box's frame: allow a few pixels.
at=$(zolto_window_at "$box")
IFS=, read -r bx by <<<"$at"
[ "${bx:-0}" -ge 200 ] && [ "$bx" -le 205 ] && [ "${by:-0}" -ge 150 ] && [ "$by" -le 155 ] ||
  zolto_fail "the box stands at $at, expected the menu's place 200,150"
xdotool windowfocus "$box"
sleep 0.3
xdotool type --delay 50 "$text"
echo "screenshot: $(zolto_screenshot "$ZOLTO_NAME.param_dialog_typed")"
zolto_keys "$box" Return
zolto_finish 30 "$ZOLTO_NAME.exe (Return)"
zolto_expect_starts 1
[ "$(zolto_args)" = "-x $text" ] || zolto_fail "recorder got [$(zolto_args)], expected [-x $text]"

rm "$ZOLTO_TMP/recorder.log"
open_dialog
zolto_keys "$box" Escape
zolto_finish 30 "$ZOLTO_NAME.exe (Escape)"
zolto_expect_starts 0
echo "ok: the box's text went in for %X; Escape started nothing"
