#!/usr/bin/env bash
# The release ZIP as a Windows user gets it, in a Wine prefix of its own
# made for this test: unpacked, each edition's folder holds what it needs,
# and the README's steps for Windows users work with the shipped
# configuration and its Notepad entries:
#   - Send To: the program started with a file shows the menu; its &Notepad
#     entry opens the file in Notepad;
#   - the hot key's shortcut: "/#c" takes a file copied to the clipboard;
#   - without a target: &Help opens the help text in Notepad ("@editor=");
#   - with a browser where Windows keeps Edge (a stand-in that paints every
#     page magenta), an .html file's menu shows the page's 320x240 picture.
#   release.sh ZIP   (compared with the programs of ZOLTO_BIN, to spot a stale ZIP)
set -uo pipefail
zip=${1:?usage: release.sh ZIP}
[ -f "$zip" ] || { echo "FAIL: no $zip (build it: cmake --build --preset windows --target package)" >&2; exit 1; }

# A fresh prefix, as on a machine that never ran the program; its server is
# ended and the prefix removed when the test ends.
fresh=$(mktemp -d "${TMPDIR:-/tmp}/zolto-release-prefix.XXXXXX")
export ZOLTO_WINEPREFIX=$fresh/prefix
end_prefix() {
  WINEPREFIX=$ZOLTO_WINEPREFIX wineserver -k >/dev/null 2>&1
  rm -rf "$fresh" "$fresh.lock" "$ZOLTO_WINEPREFIX.lock"
}
trap end_prefix EXIT
started=$(date +%s)
source "$(dirname "$0")/wine-env.sh"
echo "a fresh Wine prefix took $(($(date +%s) - started)) s"
new_row
trap 'zolto_cleanup; end_prefix' EXIT

cmake -E chdir "$ZOLTO_TMP" cmake -E tar xf "$zip" || zolto_fail "cannot unpack $zip"
top=$ZOLTO_TMP/$(basename "$zip" .zip)
full=$top/zolto5_c
basic=$top/zolto5

# ---- What each portable folder holds ----
listing() { (cd "$1" && ls | sort | tr '\n' ' '); }
[ "$(listing "$full")" = "BREGEXP.DLL imgctl.dll zolto5_c.exe zolto5_c.ini zolto5_c.txt zolto5_check.exe zolto_capture.exe " ] ||
  zolto_fail "the full edition's folder holds: $(listing "$full")"
[ "$(listing "$basic")" = "imgctl.dll zolto5.exe zolto5.ini zolto5.txt zolto5_check.exe " ] ||
  zolto_fail "the basic edition's folder holds: $(listing "$basic")"
cmp -s "$full/zolto5_c.exe" "$ZOLTO_FULL_EXE" && cmp -s "$basic/zolto5.exe" "$ZOLTO_BASIC_EXE" ||
  zolto_fail "the ZIP holds older executables than the build (rebuild the package target)"
for text in "$full/zolto5_c.txt" "$basic/zolto5.txt" "$full/zolto5_c.ini" "$basic/zolto5.ini"; do
  iconv -f CP932 -t UTF-8 "$text" >/dev/null 2>&1 || zolto_fail "$(basename "$text") is not in code page 932"
  [ "$(grep -c $'\r$' "$text")" = "$(wc -l <"$text")" ] ||
    zolto_fail "$(basename "$text") does not end every line with CRLF"
done
# grep reads it all: "grep -q" would end at the first line and, under
# pipefail, iconv's next write would fail the test now and then.
iconv -f CP932 -t UTF-8 "$full/zolto5_c.txt" | grep 'ヘルプ' >/dev/null ||
  zolto_fail "zolto5_c.txt does not read as the Japanese help"

locale en  # Notepad's captions in English
printf 'A file sent to the launcher.\r\n' >"$ZOLTO_TMP/sent.txt"
printf 'A file copied to the clipboard.\r\n' >"$ZOLTO_TMP/copied.txt"
printf '<html></html>\r\n' >"$ZOLTO_TMP/page.html"

# notepad_opens STEP EXE KEY FILE-NAME [ARG...]: starts EXE with ARG...; in
# its menu (screenshot release.STEP) KEY, an item's mnemonic, must open
# FILE-NAME in Notepad (its window's caption); once Notepad is closed the
# program must have exited 0, leaving nothing behind.
notepad_opens() {
  local step=$1 key=$3 file=$4 window
  ZOLTO_EXE=$2
  ZOLTO_NAME=$(basename "$2" .exe)
  shift 4
  menu "$@"
  snap "$step"
  keys "$key"
  window=$(zolto_new_window 30 "$before" "${file//./\\.} - Notepad") ||
    zolto_fail "$step: Notepad did not open $file: windows $(zolto_zt wintext | cut -f1 | tr '\n' '|')"
  zolto_keys "$window" alt+F4
  finish
}

# Send To: the selected file is the program's argument.
notepad_opens zolto5_c.sendto "$full/zolto5_c.exe" n sent.txt @{sent.txt}
# The hot key's shortcut: "/#c" with a file copied to the clipboard.
clip @{copied.txt}
notepad_opens zolto5_c.clipboard "$full/zolto5_c.exe" n copied.txt "/#c"
# No target: the target-less menu's &Help opens the help in the editor.
notepad_opens zolto5_c.help "$full/zolto5_c.exe" h zolto5_c.txt
# Web previews: zolto_capture.exe beside the program, through App Paths.
standin_browser msedge.exe
zolto_run 30 reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\msedge.exe' \
  /ve /d "$(x @{msedge.exe})" /f || zolto_fail "cannot register the stand-in Edge"
ZOLTO_EXE=$full/zolto5_c.exe ZOLTO_NAME=zolto5_c
ZOLTO_MENU_WAIT=60 menu @{page.html}
snap zolto5_c.web
found=$(zolto_pixels "$shot" "${mw}x${mh}+$mx+$my" "$magenta")
[ "${found#* }" -eq $((320 * 240)) ] || zolto_fail "the .html file's menu shows magenta $found, not the 320x240 page"
escape
notepad_opens zolto5.sendto "$basic/zolto5.exe" n sent.txt @{sent.txt}
notepad_opens zolto5.help "$basic/zolto5.exe" h zolto5.txt

echo "ok: the release unpacks into two portable folders whose programs, configurations," \
  "help and web previews work as the README tells, in a fresh prefix ($(($(date +%s) - started)) s)"
