#!/usr/bin/env bash
# A configuration path that cannot be read as a file: "/#s=" followed by a
# blank names the program's own folder. The program says so in a message box
# ("設定ファイル異常", caption CAPTION) and exits 0 once it is dismissed.
#   config_unreadable.sh EXE CAPTION
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
zolto_setup "${1:?usage: config_unreadable.sh EXE CAPTION}"
# Wine joins the arguments with blanks: the tail is "/#s= x".
zolto_box "/#s= x" "${2:?usage: config_unreadable.sh EXE CAPTION}" "設定ファイル異常" "/#s=" x
echo "screenshot: $(zolto_screenshot "$ZOLTO_NAME.config_unreadable")"
zolto_dismiss
echo "ok: $ZOLTO_NAME.exe reported the unreadable configuration and exited 0"
