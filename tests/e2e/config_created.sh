#!/usr/bin/env bash
# With no configuration file beside it, the program creates an empty one named
# after the executable (zolto5_c.exe -> zolto5_c.ini) and goes on: it shows
# nothing but, at most, its menu, and once that is closed it exits 0.
#   config_created.sh EXE
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
exe=${1:?usage: config_created.sh EXE}
name=$(basename "$exe" .exe)

zolto_new_workdir
cp "$exe" "$ZOLTO_TMP/"
[ ! -e "$ZOLTO_TMP/$name.ini" ] || zolto_fail "test set-up: $name.ini already there"

before=$(zolto_windows)
zolto_start 90 "$ZOLTO_TMP/$name.exe"
zolto_close_menus 60 "$before" "$name.config_created"
status=$?
[ "$status" -ne 124 ] || zolto_fail "$name.exe was still running after 60 s"
[ "$status" -eq 0 ] || zolto_fail "$name.exe exited with $status, expected 0"
[ -f "$ZOLTO_TMP/$name.ini" ] || zolto_fail "$name.ini was not created beside $name.exe" \
  "(folder holds: $(ls -A "$ZOLTO_TMP" | tr '\n' ' '))"
[ ! -s "$ZOLTO_TMP/$name.ini" ] ||
  zolto_fail "$name.ini is not empty: $(head -c 200 "$ZOLTO_TMP/$name.ini")"
echo "ok: $name.exe created an empty $name.ini and exited 0"
