#!/usr/bin/env bash
# A target that no section matches is opened with its association: here a
# test extension (.zt1 plus this test's own suffix, so that runs sharing the
# Wine prefix do not overwrite each other's), registered in the prefix to
# open with this test's recorder and removed again at the end.
#   association.sh EXE
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
zolto_setup "${1:?usage: association.sh EXE}"
zolto_ini <<'INI'
[$.txt]
recorder.exe | &Record
%end
INI
ext=zt1$(basename "$ZOLTO_TMP" | sed 's/.*\.//' | tr 'A-Z' 'a-z')
: >"$ZOLTO_TMP/doc.$ext"
target=$(zolto_winpath "$ZOLTO_TMP/doc.$ext")

# Keys under HKCU\Software\Classes are not seen by Wine's shell: HKCR it is.
unregister() {
  zolto_run 30 reg delete "HKCR\\.$ext" /f
  zolto_run 30 reg delete "HKCR\\${ext}file" /f
}
trap 'unregister; [ -n "${ZOLTO_KEEP_TMP:-}" ] || zolto_cleanup' EXIT
recorder=$(zolto_winpath "$ZOLTO_TMP/recorder.exe")
zolto_run 30 reg add "HKCR\\.$ext" /ve /d "${ext}file" /f &&
  zolto_run 30 reg add "HKCR\\${ext}file\\shell\\open\\command" /ve /d "\"$recorder\" \"%1\"" /f ||
  zolto_fail "test set-up: could not register the .$ext association"

before=$(zolto_windows)
zolto_start 60 "$ZOLTO_EXE" "$target"
zolto_finish_windowless 30 "$before"
zolto_expect_starts 1
args=$(zolto_args)
[ "$args" = "\"$target\"" ] || zolto_fail "the associated recorder got [$args], expected [\"$target\"]"
echo "ok: the unmatched .$ext target was opened with its association: [$args]"
