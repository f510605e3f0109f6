#!/usr/bin/env bash
# "/#m=X,Y" places the menu's top-left corner at X,Y, over the file's
# "@menu=center"; without the switch the same file centres the menu on the
# screen.
#   menu_position.sh EXE
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
zolto_setup "${1:?usage: menu_position.sh EXE}"
zolto_ini <<'INI'
[system]
@menu=center
%end
[$.txt]
recorder.exe | &First
recorder.exe | &Second
%end
INI
: >"$ZOLTO_TMP/a.txt"
target=$(zolto_winpath "$ZOLTO_TMP/a.txt")

# menu_at ARG...: starts the program, reads the menu's geometry into
# x, y, w and h, closes the menu and checks the exit.
menu_at() {
  local before menu
  before=$(zolto_windows)
  zolto_start 60 "$ZOLTO_EXE" "$@"
  menu=$(zolto_new_window 30 "$before") || zolto_fail "$*: no menu appeared within 30 s"
  read -r x y w h < <(xdotool getwindowgeometry "$menu" | tr '\n' ' ' |
    sed -nE 's/.*Position: ([0-9-]+),([0-9-]+).*Geometry: ([0-9]+)x([0-9]+).*/\1 \2 \3 \4/p')
  zolto_keys "$menu" Escape
  zolto_finish 30 "$ZOLTO_NAME.exe $*"
}

menu_at "/#m=300,400" "$target"
[ "$x,$y" = "300,400" ] || zolto_fail "with /#m=300,400 the menu stands at $x,$y"
px=$x py=$y
menu_at "$target"
cx=$x cy=$y cw=$w ch=$h
screen_w=$(xdotool getdisplaygeometry | cut -d' ' -f1)
centre=$((cx + cw / 2))
[ "$centre" -ge $((screen_w / 2 - 2)) ] && [ "$centre" -le $((screen_w / 2 + 2)) ] ||
  zolto_fail "with @menu=center alone the menu stands at $cx,$cy (${cw}x$ch), not centred on $screen_w"
zolto_expect_starts 0
echo "ok: /#m=300,400 put the menu at $px,$py; @menu=center alone at $cx,$cy"
