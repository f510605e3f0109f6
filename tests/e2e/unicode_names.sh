#!/usr/bin/env bash
# Names the ANSI code page cannot hold reach the program the user chose as
# the very file named, on a Japanese system (code page 932) and a Western one
# (1252), from the command line and from the clipboard (a file list and
# text). Beside each such file lies what Windows' best-fit conversion makes
# of its name; the recorder resolves the name it got with GetLongPathNameW.
# Every run starts in the target's folder, where a program of an entry named
# without a folder ("rec_p.exe") is planted: it must never be taken. Last,
# the menu's header shows such a name as it is (a screenshot, to look at).
# (Wine gives every long name an ASCII short name, so the refusal of a name
# without one is pinned by the unit tests only.)
#   unicode_names.sh EXE
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
zolto_setup "${1:?usage: unicode_names.sh EXE}"
zolto_ini <<'INI'
[$.txt]
rec_p.exe | &Planted
recorder.exe | &Record
%end
INI
zolto_at_exit 'zolto_run 30 "$ZOLTO_E2E_BIN/setclip.exe" -e'

# locale|how|file (under the test folder)|what best fit would name instead
rows=(
  "ja_JP.UTF-8|line|café/Café.txt|café/Cafe.txt"
  "ja_JP.UTF-8|files|yen/sub/a¥..¥..¥b.txt|yen/b.txt"
  "ja_JP.UTF-8|text|emoji/photo 😀.txt|"
  "ja_JP.UTF-8|line|emoji2/😀 and ”quotes”.txt|"
  "en_US.UTF-8|line|kanji/表示.txt|"
  "en_US.UTF-8|files|kanji2/表示 😀.txt|"
)

for row in "${rows[@]}"; do
  IFS='|' read -r locale how file lookalike <<<"$row"
  folder=$(dirname "$ZOLTO_TMP/$file")
  mkdir -p "$folder" && echo chosen >"$ZOLTO_TMP/$file" || zolto_fail "set-up: $file"
  [ -z "$lookalike" ] || echo look-alike >"$ZOLTO_TMP/$lookalike"
  cp "$ZOLTO_TMP/recorder.exe" "$folder/rec_p.exe"
  target=$(zolto_winpath "$ZOLTO_TMP/$file")
  export LC_ALL=$locale
  case $how in
    line) args=("$target") ;;
    files) zolto_run 30 "$ZOLTO_E2E_BIN/setclip.exe" "$target" && args=(/#c) ;;
    text) zolto_run 30 "$ZOLTO_E2E_BIN/setclip.exe" -t "$target" && args=(/#c) ;;
  esac || zolto_fail "$row: setclip.exe failed"
  (cd "$folder" && zolto_quiet_run "${args[@]}") || exit 1
  zolto_expect_starts 1
  got=$(zolto_records | cut -f4)
  [ "$got" = "$target" ] || zolto_fail "$row: the recorder got [$(zolto_args)], which is [$got]"
  [ -z "$(zolto_records "$folder")" ] || zolto_fail "$row: the planted rec_p.exe ran"
  echo "ok: $locale $how: $(zolto_args) opens $got"
done

# The header names the file as it is.
export LC_ALL=ja_JP.UTF-8
zolto_menu_on "$ZOLTO_TMP/café/Café.txt"
echo "screenshot: $(zolto_screenshot "$ZOLTO_NAME.unicode_header")"
zolto_escape "$menu"
echo "ok: the header named the file as it is"
