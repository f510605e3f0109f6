#!/usr/bin/env bash
# The resources linked into an executable (see rescheck.c).
#   resources.sh RESCHECK EXE EDITION-NAME
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
rescheck=${1:?usage: resources.sh RESCHECK EXE EDITION-NAME}
exe=${2:?usage: resources.sh RESCHECK EXE EDITION-NAME}
edition=${3:?usage: resources.sh RESCHECK EXE EDITION-NAME}
zolto_new_workdir
zolto_run 60 "$rescheck" "$(zolto_winpath "$exe")" "$edition"
status=$?
cat "$ZOLTO_WINE_LOG"
[ "$status" -eq 0 ] || zolto_fail "the resources of $(basename "$exe") are not as expected"
