#!/usr/bin/env bash
# "/#y": every target is run on its own through the selection, with no menu:
# three targets and a section of three entries give three starts of the first
# entry, one per target, in order. "@dist=FIRST,NEXT" waits FIRST ms after the
# first start and NEXT ms after each later one (checked as lower bounds on
# the gaps between the recorders' creation times).
#   one_by_one.sh EXE [FIRST NEXT]
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
zolto_setup "${1:?usage: one_by_one.sh EXE [FIRST NEXT]}"
# Without delays the starts come some 50-80 ms apart here: the delays are
# chosen well above that, so that a missing one shows.
first=${2:-400}
next=${3:-200}
mkdir "$ZOLTO_TMP/two" "$ZOLTO_TMP/three"
cp "$ZOLTO_TMP/recorder.exe" "$ZOLTO_TMP/two/"
cp "$ZOLTO_TMP/recorder.exe" "$ZOLTO_TMP/three/"
zolto_ini <<INI
[system]
@dist=$first,$next
%end
[\$.txt]
recorder.exe | &One
$(zolto_winpath "$ZOLTO_TMP/two/recorder.exe") | &Two
$(zolto_winpath "$ZOLTO_TMP/three/recorder.exe") | T&hree
%end
INI
targets=()
for n in a b c; do
  : >"$ZOLTO_TMP/$n.txt"
  targets+=("$(zolto_winpath "$ZOLTO_TMP/$n.txt")")
done

before=$(zolto_windows)
zolto_start 60 "$ZOLTO_EXE" "/#y" "${targets[@]}"
zolto_finish_windowless 30 "$before"
zolto_expect_starts 3
[ -z "$(zolto_records "$ZOLTO_TMP/two")$(zolto_records "$ZOLTO_TMP/three")" ] ||
  zolto_fail "entries other than the first were started"
args=$(zolto_args | tr '\n' ' ')
[ "$args" = "${targets[*]} " ] || zolto_fail "the starts got [$args], expected [${targets[*]} ]"

mapfile -t at < <(zolto_records | cut -f3)
gap1=$((at[1] - at[0]))
gap2=$((at[2] - at[1]))
echo "gaps between the starts: $gap1 ms, $gap2 ms"
# Allow 16 ms for the resolution of the system clock on Windows.
[ "$gap1" -ge $((first - 16)) ] || zolto_fail "the second start came $gap1 ms after the first, expected >= $first"
[ "$gap2" -ge $((next - 16)) ] || zolto_fail "the third start came $gap2 ms after the second, expected >= $next"
echo "ok: /#y ran the first entry once per target, $gap1 and $gap2 ms apart"
