#!/usr/bin/env bash
# A renamed copy of the program reads the configuration named after itself
# (mylaunch.exe -> mylaunch.ini); without one, it falls back to the edition's
# own name (zolto5_c.ini / zolto5.ini) and creates nothing; with neither, it
# creates mylaunch.ini. Each run ends with exit 0 once its menu (if any) is
# closed.
#   renamed_exe.sh EXE
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
exe=${1:?usage: renamed_exe.sh EXE}
edition=$(basename "$exe" .exe)

zolto_new_workdir

# run_in DIR: runs DIR/mylaunch.exe, closes its menu and checks that it exits
# 0 in time.
run_in() {
  local before status
  before=$(zolto_windows)
  zolto_start 90 "$1/mylaunch.exe"
  zolto_close_menus 60 "$before" "$edition.renamed_exe.$(basename "$1")"
  status=$?
  [ "$status" -ne 124 ] || zolto_fail "mylaunch.exe (a copy of $edition.exe) still ran after 60 s"
  [ "$status" -eq 0 ] || zolto_fail "mylaunch.exe (a copy of $edition.exe) exited with $status"
}

# expect_files DIR FILE...: DIR holds exactly these files.
expect_files() {
  local dir=$1
  shift
  local want have
  want=$(printf '%s\n' "$@" | sort | tr '\n' ' ')
  have=$(ls -A "$dir" | sort | tr '\n' ' ')
  [ "$want" = "$have" ] ||
    zolto_fail "$(basename "$dir"): expected only [ $want], found [ $have]"
}

# Its own configuration present: used, nothing else created.
own="$ZOLTO_TMP/own"
mkdir "$own"
cp "$exe" "$own/mylaunch.exe"
: >"$own/mylaunch.ini"
run_in "$own"
expect_files "$own" mylaunch.exe mylaunch.ini
[ ! -s "$own/mylaunch.ini" ] || zolto_fail "mylaunch.ini was written to"

# Only the edition's configuration present: that one is used, mylaunch.ini is
# not created.
fallback="$ZOLTO_TMP/fallback"
mkdir "$fallback"
cp "$exe" "$fallback/mylaunch.exe"
: >"$fallback/$edition.ini"
run_in "$fallback"
expect_files "$fallback" mylaunch.exe "$edition.ini"

# Neither present: mylaunch.ini is created (not the edition's name).
neither="$ZOLTO_TMP/neither"
mkdir "$neither"
cp "$exe" "$neither/mylaunch.exe"
run_in "$neither"
expect_files "$neither" mylaunch.exe mylaunch.ini

echo "ok: mylaunch.exe (a copy of $edition.exe) used mylaunch.ini, else $edition.ini"
