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
zolto_targets a.txt

zolto_open_menu 30 "/#m=300,400" "/#m=300,400" "${targets[0]}"
[ "$mx,$my" = "300,400" ] || zolto_fail "with /#m=300,400 the menu stands at $mx,$my"
zolto_escape "$menu"
zolto_open_menu 30 "@menu=center" "${targets[0]}"
screen_w=$(xdotool getdisplaygeometry | cut -d' ' -f1)
centre=$((mx + mw / 2))
[ "$centre" -ge $((screen_w / 2 - 2)) ] && [ "$centre" -le $((screen_w / 2 + 2)) ] ||
  zolto_fail "with @menu=center alone the menu stands at $mx,$my (${mw}x$mh), not centred on $screen_w"
zolto_escape "$menu"
echo "ok: /#m=300,400 put the menu at 300,400; @menu=center alone centred it"
