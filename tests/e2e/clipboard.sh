#!/usr/bin/env bash
# "/#c" with no target takes the targets from the clipboard: first a file
# list (CF_HDROP), then text (CF_TEXT, one name a line), each put there by
# setclip.exe before the start.
#   clipboard.sh EXE
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
zolto_setup "${1:?usage: clipboard.sh EXE}"
zolto_ini <<'INI'
[$.txt]
recorder.exe | &Record
%end
INI
: >"$ZOLTO_TMP/from list.txt"
: >"$ZOLTO_TMP/from-text.txt"
listed=$(zolto_winpath "$ZOLTO_TMP/from list.txt")
texted=$(zolto_winpath "$ZOLTO_TMP/from-text.txt")

# run_with_clipboard SETCLIP-ARGS...: fills the clipboard, runs "/#c".
run_with_clipboard() {
  zolto_run 30 "$ZOLTO_E2E_BIN/setclip.exe" "$@" || zolto_fail "setclip.exe $* failed"
  local before
  before=$(zolto_windows)
  zolto_start 60 "$ZOLTO_EXE" "/#c"
  zolto_finish_windowless 30 "$before"
}

run_with_clipboard "$listed"
zolto_expect_starts 1
[ "$(zolto_args)" = "\"$listed\"" ] ||
  zolto_fail "from a file list the recorder got [$(zolto_args)], expected [\"$listed\"]"

run_with_clipboard -t "$texted"
zolto_expect_starts 2
[ "$(zolto_args | tail -n 1)" = "$texted" ] ||
  zolto_fail "from text the recorder got [$(zolto_args | tail -n 1)], expected [$texted]"
zolto_run 30 "$ZOLTO_E2E_BIN/setclip.exe" -e
echo "ok: /#c ran the entry for the clipboard's file, from a list and from text"
