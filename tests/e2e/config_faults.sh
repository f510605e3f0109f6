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
message="設定ファイル異常"
ini=$ZOLTO_TMP/$ZOLTO_NAME.ini
: >"$ZOLTO_TMP/a.zt"
target=$(zolto_winpath "$ZOLTO_TMP/a.zt")
section=$'[$.zt]\r\nrecorder.exe | &Record\r\n%end\r\n'

# expect_refusal WHAT [COMMAND]: runs the program on the target; it must
# show the configuration message (and nothing else), start nothing once it
# is dismissed and exit 0. COMMAND runs while the box is shown.
expect_refusal() {
  local before box line
  rm -f "$ZOLTO_TMP/recorder.log"
  before=$(zolto_windows)
  zolto_start 60 "$ZOLTO_EXE" "$target"
  box=$(zolto_find_window "$caption" 30 "$before") ||
    zolto_fail "$1: no box captioned '$caption' (visible: $(zolto_window_texts | tr '\n\t' '| '))"
  line=$(zolto_window_texts | awk -F '\t' -v c="$caption" '$1 == c { print; exit }')
  grep -qF -- "$message" <<<"$line" || zolto_fail "$1: the box says [$line], not '$message'"
  [ "$(zolto_new_windows "$before")" = "$box" ] || zolto_fail "$1: more than the box appeared"
  ${2:-}
  zolto_keys "$box" Return
  zolto_finish 30
  zolto_expect_starts 0
  echo "ok ($SECONDS s): $1: '$message', nothing started"
}

# expect_run WHAT: runs the program on the target; the one entry must run
# at once with it, with no window on the way.
expect_run() {
  local before
  rm -f "$ZOLTO_TMP/recorder.log"
  before=$(zolto_windows)
  zolto_start 90 "$ZOLTO_EXE" "$target"
  zolto_finish_windowless 60 "$before"
  zolto_expect_starts 1
  [ "$(zolto_args)" = "$target" ] || zolto_fail "$1: the recorder got [$(zolto_args)]"
  echo "ok ($SECONDS s): $1: its entry ran"
}

# hold MODE: holdfile.exe holds the configuration (deny or lock) until
# release; the flag lies outside the test folder, so that the holder is no
# leftover of the program's.
flagdir=$(mktemp -d)
trap 'rm -rf "$flagdir"; [ -n "${ZOLTO_KEEP_TMP:-}" ] || zolto_cleanup' EXIT
hold() {
  timeout -k 5 120 wine "$ZOLTO_E2E_BIN/holdfile.exe" "$1" "$(zolto_winpath "$ini")" \
    "$(zolto_winpath "$flagdir/held")" </dev/null >>"$ZOLTO_WINE_LOG" 2>&1 &
  holder=$!
  for _ in $(seq 1 100); do [ -e "$flagdir/held" ] && return 0; sleep 0.1; done
  zolto_fail "holdfile.exe $1 did not take hold of the configuration"
}
release() {
  rm -f "$flagdir/held"
  wait "$holder" || zolto_fail "holdfile.exe failed"
}

printf '%s' "$section" >"$ini"
hold deny
expect_refusal "held open without sharing" release
hold lock
expect_refusal "its bytes locked" release
expect_run "the same file, free again"

rm "$ini" && mkdir "$ini"
expect_refusal "a folder of its name"
rmdir "$ini"

truncate -s 65M "$ini"
expect_refusal "65 MiB"

# 20 MB of comment lines (200000 of 100 bytes), then the section.
{ yes "$(printf '%099d' 0 | tr 0 ';')" | head -n 200000; printf '%s' "$section"; } >"$ini"
[ "$(stat -c %s "$ini")" -gt 20000000 ] || zolto_fail "test set-up: the large file is too small"
expect_run "20 MB"

# Noise without NUL bytes or "[" (no header can form in it), then the section.
{ head -c 2000000 /dev/urandom | tr -d '\000['; printf '\r\n%s' "$section"; } >"$ini"
expect_run "2 MB of binary noise before the section"

# An executable: "MZ", then NUL bytes; the section after it is never reached.
{ cat "$ZOLTO_E2E_BIN/recorder.exe"; printf '\r\n%s' "$section"; } >"$ini"
rm -f "$ZOLTO_TMP/recorder.log"
before=$(zolto_windows)
zolto_start 60 "$ZOLTO_EXE" "$target"
zolto_finish_windowless 30 "$before"
zolto_expect_starts 0
echo "ok ($SECONDS s): an executable as configuration: read to its first NUL, nothing started"

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
expect_run "@path= naming a missing file"
[ -z "$(zolto_records "$ZOLTO_TMP/tools")" ] || zolto_fail "rec2.exe was started"
# With the list file there, both entries are offered in a menu.
printf 'path=%s\r\n' "$(zolto_winpath "$ZOLTO_TMP/tools")" >"$list"
rm -f "$ZOLTO_TMP/recorder.log"
before=$(zolto_windows)
zolto_start 60 "$ZOLTO_EXE" "$target"
menu=$(zolto_new_window 30 "$before") || zolto_fail "with the list file no menu came"
[ -z "$(xdotool getwindowname "$menu")" ] || zolto_fail "with the list file a box came, not a menu"
zolto_keys "$menu" Escape
zolto_finish 30
[ -z "$(zolto_records)$(zolto_records "$ZOLTO_TMP/tools")" ] || zolto_fail "Escape started something"
echo "ok ($SECONDS s): @path= with the list file there offers rec2.exe in a menu"
