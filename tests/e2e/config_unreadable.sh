#!/usr/bin/env bash
# A configuration path that cannot be read as a file: "/#s=" followed by a
# blank names the program's own folder. The program says so in a message box
# ("設定ファイル異常", caption CAPTION) and exits 0 once it is dismissed.
#   config_unreadable.sh EXE CAPTION
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
exe=${1:?usage: config_unreadable.sh EXE CAPTION}
caption=${2:?usage: config_unreadable.sh EXE CAPTION}
name=$(basename "$exe" .exe)
message="設定ファイル異常"

zolto_new_workdir
cp "$exe" "$ZOLTO_TMP/"

before=$(zolto_windows)
# Wine joins the arguments with blanks: the tail is "/#s= x".
zolto_start 90 "$ZOLTO_TMP/$name.exe" "/#s=" x
window=$(zolto_find_window "$caption" 30 "$before") ||
  zolto_fail "no message box captioned '$caption' appeared within 30 s" \
    "(visible: $(zolto_window_texts | tr '\n\t' '| '))"
shot=$(zolto_screenshot "$name.config_unreadable")
echo "screenshot: $shot"

texts=$(zolto_window_texts)
line=$(awk -F '\t' -v c="$caption" '$1 == c { print; exit }' <<<"$texts")
grep -qF -- "$message" <<<"$line" ||
  zolto_fail "the box captioned '$caption' does not say '$message'; it holds: $line"

zolto_keys "$window" Return
zolto_wait 30
status=$?
[ "$status" -ne 124 ] || zolto_fail "$name.exe still ran 30 s after the box was dismissed"
[ "$status" -eq 0 ] || zolto_fail "$name.exe exited with $status, expected 0"
if zolto_find_window "$caption" 1 "$before" >/dev/null; then
  zolto_fail "the message box is still shown after Return"
fi
echo "ok: $name.exe reported the unreadable configuration and exited 0"
