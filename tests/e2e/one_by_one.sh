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
for dir in two three; do mkdir "$ZOLTO_TMP/$dir" && cp "$ZOLTO_TMP/recorder.exe" "$ZOLTO_TMP/$dir/"; done
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
zolto_targets a.txt b.txt c.txt

zolto_quiet_run "/#y" "${targets[@]}"
zolto_expect_args "/#y" "${targets[@]}"
zolto_expect_starts 0 "$ZOLTO_TMP/two"
zolto_expect_starts 0 "$ZOLTO_TMP/three"

mapfile -t at < <(zolto_records | cut -f3)
gap1=$((at[1] - at[0]))
gap2=$((at[2] - at[1]))
echo "gaps between the starts: $gap1 ms, $gap2 ms"
# Allow 16 ms for the resolution of the system clock on Windows.
[ "$gap1" -ge $((first - 16)) ] || zolto_fail "the second start came $gap1 ms after the first, expected >= $first"
[ "$gap2" -ge $((next - 16)) ] || zolto_fail "the third start came $gap2 ms after the second, expected >= $next"
echo "ok: /#y ran the first entry once per target, $gap1 and $gap2 ms apart"
