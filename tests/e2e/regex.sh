#!/usr/bin/env bash
# A regular-expression header "[!/.../i]" through BREGEXP.DLL beside the
# program: it matches a.ZT2 without regard to case, and its one entry runs.
# Without the library the program says so once in a message box captioned
# CAPTION, starts nothing, and exits 0 once the box is dismissed.
#   regex.sh EXE BREGEXP.DLL CAPTION
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
usage="usage: regex.sh EXE BREGEXP.DLL CAPTION"
zolto_setup "${1:?$usage}"
cp "${2:?$usage}" "$ZOLTO_TMP/BREGEXP.DLL" || zolto_fail "test set-up: cannot copy $2"
caption=${3:?$usage}
# Two expression headers, so that a second message would have its chance.
zolto_ini <<'INI'
[!/\.zt3$/i]
recorder.exe | &Three
%end
[!/\.zt2$/i]
recorder.exe | &Record
%end
INI
zolto_targets a.ZT2

zolto_quiet_run "${targets[0]}"
zolto_expect_args "with BREGEXP.DLL" "${targets[0]}"
rm "$ZOLTO_TMP/BREGEXP.DLL"
zolto_box "without BREGEXP.DLL" "$caption" "正規表現ライブラリが使用できません" "${targets[0]}"
zolto_dismiss
echo "ok: the expression header matched a.ZT2; without BREGEXP.DLL one message, nothing started"
