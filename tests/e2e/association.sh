#!/usr/bin/env bash
# A target that no section matches is opened with its association: here a
# test extension (.zt1 plus this test's own suffix), registered in the prefix
# to open with this test's recorder.
#   association.sh EXE
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
zolto_setup "${1:?usage: association.sh EXE}"
zolto_ini <<'INI'
[$.txt]
recorder.exe | &Record
%end
INI
zolto_associate zt1 "$ZOLTO_TMP/recorder.exe"
zolto_targets "doc.$ext"
zolto_quiet_run "${targets[0]}"
zolto_expect_args "the associated recorder" "\"${targets[0]}\""
echo "ok: the unmatched .$ext target was opened with its association"
