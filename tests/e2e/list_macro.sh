#!/usr/bin/env bash
# The list macro in quotes, "%M", puts every target, each quoted, into one
# start: three targets (one with a blank) give one recorder start whose
# arguments are the three quoted paths in order.
#   list_macro.sh EXE
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
zolto_setup "${1:?usage: list_macro.sh EXE}"
zolto_ini <<'INI'
[$.txt]
recorder.exe | R
>"%M" | All
%end
INI
zolto_targets a.txt "b c.txt" d.txt
zolto_quiet_run "${targets[@]}"
zolto_expect_args '"%M"' "\"${targets[0]}\" \"${targets[1]}\" \"${targets[2]}\""
echo "ok: one start with the three quoted paths"
