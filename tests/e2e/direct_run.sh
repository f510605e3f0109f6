#!/usr/bin/env bash
# A section with one program entry and no parameter lines: the program runs at
# once (no menu) with the target, quoted because of its blank, in the
# program's own folder.
#   direct_run.sh EXE
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
zolto_setup "${1:?usage: direct_run.sh EXE}"
zolto_ini <<'INI'
[$.txt]
recorder.exe | &Record
%end
INI
: >"$ZOLTO_TMP/my file.txt"
target=$(zolto_winpath "$ZOLTO_TMP/my file.txt")

before=$(zolto_windows)
zolto_start 60 "$ZOLTO_EXE" "$target"
zolto_finish_windowless 30 "$before"
zolto_expect_starts 1
args=$(zolto_args)
folder=$(zolto_records | cut -f2)
[ "$args" = "\"$target\"" ] || zolto_fail "recorder got [$args], expected [\"$target\"]"
[ "$folder" = "$(zolto_winpath "$ZOLTO_TMP")" ] ||
  zolto_fail "recorder ran in [$folder], expected the program's folder [$(zolto_winpath "$ZOLTO_TMP")]"
echo "ok: the one entry ran at once with [$args] in [$folder]"
