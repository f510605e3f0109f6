#!/usr/bin/env bash
# A renamed copy of the program reads the configuration named after itself
# (mylaunch.exe -> mylaunch.ini); without one, it falls back to the edition's
# own name (zolto5_c.ini / zolto5.ini) and creates nothing; with neither, it
# creates an empty mylaunch.ini. Each run ends with exit 0 once its menu (if
# any) is closed, and writes to no configuration.
#   renamed_exe.sh EXE
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
zolto_setup "${1:?usage: renamed_exe.sh EXE}"

# run_in DIR EXPECTED [INI]: runs mylaunch.exe, a copy of the program, in a
# new folder DIR beside the empty configuration INI, closing its menus; then
# DIR must hold exactly EXPECTED (file names, blank-separated, in order),
# each configuration empty.
run_in() {
  local dir=$ZOLTO_TMP/$1 before have
  mkdir "$dir" && cp "$ZOLTO_EXE" "$dir/mylaunch.exe" || zolto_fail "test set-up: cannot make $1"
  [ -z "${3:-}" ] || : >"$dir/$3"
  before=$(zolto_windows)
  zolto_start 90 "$dir/mylaunch.exe"
  zolto_close_menus 60 "$before" "$ZOLTO_NAME.renamed_exe.$1"
  have=$(ls -A "$dir" | sort | xargs)
  [ "$have" = "$2" ] || zolto_fail "$1: expected only [$2], found [$have]"
  [ -z "$(find "$dir" -name '*.ini' -size +0c)" ] || zolto_fail "$1: a configuration was written to"
}

run_in own "mylaunch.exe mylaunch.ini" mylaunch.ini
run_in fallback "mylaunch.exe $ZOLTO_NAME.ini" "$ZOLTO_NAME.ini"
run_in neither "mylaunch.exe mylaunch.ini"
echo "ok: mylaunch.exe (a copy of $ZOLTO_NAME.exe) used mylaunch.ini, else $ZOLTO_NAME.ini," \
  "else created an empty mylaunch.ini"
