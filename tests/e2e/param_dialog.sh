#!/usr/bin/env bash
# An entry whose one parameter line holds "%X" asks for the parameter in a
# small box, at the menu's place, before it runs: the typed text takes the
# place of "%X" (Return accepts); Escape cancels and nothing is started.
# Either way the program exits 0.
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
zolto_targets a.txt
text="typed words"

# The parameter box has no name, as a menu: zolto_open_menu finds it.
zolto_open_menu 30 "the parameter box" "${targets[0]}"
# Its X window may start inside the box's frame: allow a few pixels.
[ "$mx" -ge 200 ] && [ "$mx" -le 205 ] && [ "$my" -ge 150 ] && [ "$my" -le 155 ] ||
  zolto_fail "the box stands at $mx,$my, expected the menu's place 200,150"
xdotool windowfocus "$menu"
sleep 0.3
xdotool type --delay 50 "$text"
echo "screenshot: $(zolto_screenshot "$ZOLTO_NAME.param_dialog_typed")"
zolto_keys "$menu" Return
zolto_finish 30 "$ZOLTO_NAME.exe (Return)"
zolto_expect_args "Return" "-x $text"

zolto_open_menu 30 "the parameter box" "${targets[0]}"
zolto_escape "$menu"
echo "ok: the box's text went in for %X; Escape started nothing"
