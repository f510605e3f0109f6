#!/usr/bin/env bash
# Configuration files that cannot be read, or that are large or binary, and
# an "@path=" that names a missing list file.
#   config_faults.sh EXE CAPTION
#
# Refused, with the message box "設定ファイル異常" (caption CAPTION), nothing
# started and exit 0 once it is dismissed: a file another program holds open
# without sharing; one whose bytes another program has locked; a folder of
# the configuration's name; a file over 64 MiB.
# Read: a 20 MB file whose one section comes last (its entry runs); 2 MB of
# binary noise before a section (its entry runs); an executable file (read up
# to its first NUL byte, so no section applies: nothing is started).
# "@path=" naming a missing file: the entries only its list would find are
# dropped, silently; with the file there they are offered.
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
usage="usage: config_faults.sh EXE CAPTION"
zolto_setup "${1:?$usage}"
caption=${2:?$usage}
ini=$ZOLTO_TMP/$ZOLTO_NAME.ini
: >"$ZOLTO_TMP/a.zt"
target=$(zolto_winpath "$ZOLTO_TMP/a.zt")
section=$'[$.zt]\r\nrecorder.exe | &Record\r\n%end\r\n'

# refused WHAT [COMMAND]: the configuration message alone, nothing started
# once it is dismissed; COMMAND runs while it is shown.
refused() {
  zolto_box "$1" "$caption" "設定ファイル異常" "$target"
  ${2:-}
  zolto_dismiss
  echo "ok ($SECONDS s): $1: refused, nothing started"
}

# runs WHAT [ARGS]: with no window, the one entry runs at once with ARGS,
# or (without ARGS) nothing runs.
runs() {
  zolto_quiet_run "$target"
  zolto_expect_args "$@"
  echo "ok ($SECONDS s): $1: ${2:+the entry ran}${2:-nothing started}"
}

printf '%s' "$section" >"$ini"
zolto_hold holdfile.exe deny "$(zolto_winpath "$ini")"; refused "held open without sharing" zolto_unhold
zolto_hold holdfile.exe lock "$(zolto_winpath "$ini")"; refused "its bytes locked" zolto_unhold
runs "the same file, free again" "$target"
rm "$ini" && mkdir "$ini"; refused "a folder of its name"
rmdir "$ini" && truncate -s 65M "$ini"; refused "65 MiB"

# 20 MB of comment lines (200000 of 100 bytes), then the section.
{ yes "$(printf '%099d' 0 | tr 0 ';')" | head -n 200000; printf '%s' "$section"; } >"$ini"
[ "$(stat -c %s "$ini")" -gt 20000000 ] || zolto_fail "test set-up: the large file is too small"
runs "20 MB" "$target"
# Noise without NUL bytes or "[" (no header can form in it), then the section.
{ head -c 2000000 /dev/urandom | tr -d '\000['; printf '\r\n%s' "$section"; } >"$ini"
runs "2 MB of binary noise before the section" "$target"
# An executable: "MZ", then NUL bytes; the section after it is never reached.
{ cat "$ZOLTO_E2E_BIN/recorder.exe"; printf '\r\n%s' "$section"; } >"$ini"
runs "an executable as configuration, read to its first NUL"

# "@path=" naming a missing list file: rec2.exe, found only along the list,
# is dropped and the one entry left runs at once.
mkdir "$ZOLTO_TMP/tools"
cp "$ZOLTO_TMP/recorder.exe" "$ZOLTO_TMP/tools/rec2.exe"
list=$ZOLTO_TMP/tools.txt
zolto_ini <<INI
[system]
@path=$(zolto_winpath "$list")
%end
[\$.zt]
rec2.exe | &Two
recorder.exe | &One
%end
INI
runs "@path= naming a missing file" "$target"
zolto_expect_starts 0 "$ZOLTO_TMP/tools"
# With the list file there, both entries are offered in a menu.
printf 'path=%s\r\n' "$(zolto_winpath "$ZOLTO_TMP/tools")" >"$list"
zolto_open_menu 30 "with the list file" "$target"
zolto_escape "$menu"
zolto_expect_starts 0 "$ZOLTO_TMP/tools"
echo "ok ($SECONDS s): @path= with the list file there offers rec2.exe in a menu"
