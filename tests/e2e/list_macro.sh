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
targets=()
for n in a "b c" d; do
  : >"$ZOLTO_TMP/$n.txt"
  targets+=("$(zolto_winpath "$ZOLTO_TMP/$n.txt")")
done
want="\"${targets[0]}\" \"${targets[1]}\" \"${targets[2]}\""

before=$(zolto_windows)
zolto_start 60 "$ZOLTO_EXE" "${targets[@]}"
zolto_finish_windowless 30 "$before"
zolto_expect_starts 1
[ "$(zolto_args)" = "$want" ] || zolto_fail "recorder got [$(zolto_args)], expected [$want]"
echo "ok: one start with [$want]"
