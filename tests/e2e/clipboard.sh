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
zolto_targets "from list.txt" from-text.txt
zolto_at_exit 'zolto_run 30 "$ZOLTO_E2E_BIN/setclip.exe" -e'

# clipboard WHAT ARGS SETCLIP-ARGS...: with the clipboard filled, "/#c" runs
# the entry with ARGS.
clipboard() {
  zolto_run 30 "$ZOLTO_E2E_BIN/setclip.exe" "${@:3}" || zolto_fail "setclip.exe ${*:3} failed"
  zolto_quiet_run "/#c"
  zolto_expect_args "$1" "$2"
}
clipboard "from a file list" "\"${targets[0]}\"" "${targets[0]}"
clipboard "from text" "${targets[1]}" -t "${targets[1]}"
echo "ok: /#c ran the entry for the clipboard's file, from a list and from text"
