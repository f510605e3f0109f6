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
zolto_targets "my file.txt"
zolto_quiet_run "${targets[0]}"
zolto_expect_args "the one entry" "\"${targets[0]}\""
folder=$(zolto_records | cut -f2)
[ "$folder" = "$(zolto_winpath "$ZOLTO_TMP")" ] ||
  zolto_fail "recorder ran in [$folder], expected the program's folder [$(zolto_winpath "$ZOLTO_TMP")]"
echo "ok: the one entry ran at once in [$folder]"
