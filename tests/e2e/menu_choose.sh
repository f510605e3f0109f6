#!/usr/bin/env bash
# Choosing from the menu of three targets ("/#m=100,100" puts it where the
# test knows its items): Return on the first item (highlighted when the menu
# opens) runs that entry once, for the first target; Shift+Return runs it for
# every target; a right-button click on the item does the same; Escape runs
# nothing. The second entry (a recorder in two/) is never started.
#   menu_choose.sh EXE
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
zolto_setup "${1:?usage: menu_choose.sh EXE}"
mkdir "$ZOLTO_TMP/two" && cp "$ZOLTO_TMP/recorder.exe" "$ZOLTO_TMP/two/"
zolto_ini <<INI
[\$.txt]
recorder.exe | &First
$(zolto_winpath "$ZOLTO_TMP/two/recorder.exe") | &Second
%end
INI
zolto_targets a.txt b.txt c.txt

# choose HOW EXPECTED-ARGS...: opens the menu, acts on it (HOW: keys for
# zolto_keys, or "right-click"), and checks the first entry's starts.
choose() {
  local how=$1
  shift
  zolto_open_menu 30 "$how" "/#m=100,100" "${targets[@]}"
  [ "$mx,$my" = "100,100" ] || zolto_fail "$how: the menu stands at $mx,$my, expected 100,100"
  if [ "$how" = right-click ]; then
    xdotool mousemove 130 111 click 3  # the first item's middle
  else
    zolto_keys "$menu" "$how"
    [[ "$how" != shift+* ]] || zolto_wine_keys -shift
  fi
  zolto_finish 30 "$ZOLTO_NAME.exe ($how)"
  zolto_expect_args "$how" "$@"
  zolto_expect_starts 0 "$ZOLTO_TMP/two"
  echo "ok: $how started the first entry $# times"
}

choose Return "${targets[0]}"
choose shift+Return "${targets[@]}"
choose right-click "${targets[@]}"
choose Escape
