#!/usr/bin/env bash
# zolto5_check.exe under Wine: on the example configuration it explains the
# menu a text file gets, with each entry's command line; for a section that
# runs its one program at once it says what it would start and starts
# nothing; a broken configuration gives warnings and exit status 1, a missing
# one exit status 2. It opens no window.
#   checker.sh CHECKER_EXE EXAMPLE_INI
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
exe=${1:?usage: checker.sh CHECKER_EXE EXAMPLE_INI}
example=${2:?usage: checker.sh CHECKER_EXE EXAMPLE_INI}

zolto_setup "$exe"
cp "$example" "$ZOLTO_TMP/zolto5_c.ini"
# As in the release folder: the expression library and the capture program
# beside the program. The example names Paint, which a Wine prefix lacks;
# the recorder stands in.
cp "$(dirname "$exe")/BREGEXP.DLL" "$(dirname "$exe")/zolto_capture.exe" "$ZOLTO_TMP/" &&
  cp "$ZOLTO_TMP/recorder.exe" "$ZOLTO_TMP/mspaint.exe" || zolto_fail "test set-up: cannot copy"
: >"$ZOLTO_TMP/notes.txt"
out=$ZOLTO_TMP/out.txt

# check ARG...: runs the checker, its output in $out; sets status.
check() {
  timeout -k 5 120 wine "$ZOLTO_EXE" "$@" </dev/null >"$out" 2>>"$ZOLTO_WINE_LOG"
  status=$?
  [ "$status" -ne 124 ] || zolto_fail "zolto5_check.exe was still running after 120 s"
}
expect() {
  grep -qiF -- "$1" "$out" || zolto_fail "output lacks [$1]:"$'\n'"$(cat "$out")"
}

target=$(zolto_winpath "$ZOLTO_TMP/notes.txt")
check "$(zolto_winpath "$ZOLTO_TMP/zolto5_c.ini")" "$target"
[ "$status" -eq 0 ] || zolto_fail "exit status $status on the example, expected 0:"$'\n'"$(cat "$out")"
expect "targets: 1"
expect "line 38 (first pass) [file]  -> matches, taken"
expect "line 48 (first pass) [\$.txt][\$.log][\$.ini]_[^C:\\Windows\\]  -> matches, taken"
expect "[!/\.(png|jpe?g|gif|bmp)\$/i]  -> does not match, not taken"
expect "decision: show the menu: 5 program entries"
expect "1250 notes.txt ( &0 )"
expect "notepad.exe with /p \"$target\""
expect "caption \"Open which file?\""

check --json "$(zolto_winpath "$ZOLTO_TMP/zolto5_c.ini")" "$target"
head -c 18 "$out" | grep -qF '{"configuration":' || zolto_fail "--json gave: $(head -c 200 "$out")"
expect '"decision":"menu"'

# A run-at-once section: what would start is shown, nothing is started.
zolto_ini <<'INI'
[$.txt]
recorder.exe | &Record
%end
[file
missing.exe | Missing
INI
check "$(zolto_winpath "$ZOLTO_TMP/zolto5_check.ini")" "$target"
[ "$status" -eq 1 ] || zolto_fail "exit status $status with warnings, expected 1:"$'\n'"$(cat "$out")"
expect "decision: run at once the only program entry: entry 1000 \"&Record\""
expect "would start $(zolto_winpath "$ZOLTO_TMP/recorder.exe") with $target"
expect "[program-not-found] program \"missing.exe\" cannot be found"
expect "[unreachable]"
sleep 1
[ ! -e "$ZOLTO_TMP/recorder.log" ] || zolto_fail "the checker started the recorder: $(zolto_records)"

check "$(zolto_winpath "$ZOLTO_TMP/none.ini")"
[ "$status" -eq 2 ] || zolto_fail "exit status $status for a missing configuration, expected 2"
[ ! -e "$ZOLTO_TMP/none.ini" ] || zolto_fail "the checker created none.ini"
echo "ok: zolto5_check.exe explained the example, started nothing and warned as it should"
