#!/usr/bin/env bash
# How the basic edition (zolto5.exe, zolto5.ini) chooses sections: by
# extension keys such as "[.txt]", in any case, every section holding the
# key in file order.
#  - A web address alone is no target of this edition: the target-less menu
#    shows (told by its "&Version" item, as targetless.sh does), though a
#    "[url]" section would run at once for the full edition.
#  - a.TXT and one "[.txt]" section of one entry: that entry runs at once,
#    with no window, and gets the file.
#  - Two "[.txt]" sections of one entry each: one menu of both entries in
#    file order; Return runs the first, Down, Return the second (a recorder
#    in two/).
#  - A pattern header "[$.EXT]" of the full edition alone: never taken; the
#    file is opened with its association (a test extension registered in
#    the prefix to open with a recorder in assoc/, removed at the end).
#   basic_edition.sh EXE
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
zolto_setup "${1:?usage: basic_edition.sh EXE}"
for dir in two assoc; do
  mkdir "$ZOLTO_TMP/$dir" && cp "$ZOLTO_TMP/recorder.exe" "$ZOLTO_TMP/$dir/" ||
    zolto_fail "test set-up: cannot make $dir/recorder.exe"
done
: >"$ZOLTO_TMP/a.TXT"
target=$(zolto_winpath "$ZOLTO_TMP/a.TXT")
two=$(zolto_winpath "$ZOLTO_TMP/two/recorder.exe")
about="バージョン情報"

# expect_args WHAT DIR ARGS...: the recorder in DIR got exactly these
# arguments, one start each; the other recorders nothing.
expect_args() {
  local what=$1 dir=$2 other want have
  shift 2
  zolto_expect_starts $# "$dir"
  want=$(printf '%s\n' "$@")
  have=$(zolto_args "$dir")
  [ "$have" = "$want" ] ||
    zolto_fail "$what: the recorder in $dir got [$(tr '\n' '|' <<<"$have")], expected [$(tr '\n' '|' <<<"$want")]"
  for other in "$ZOLTO_TMP" "$ZOLTO_TMP/two" "$ZOLTO_TMP/assoc"; do
    [ "$other" = "$dir" ] || [ -z "$(zolto_records "$other")" ] ||
      zolto_fail "$what: the recorder in $other was started: $(zolto_records "$other" | cut -f1)"
  done
  rm -f "$ZOLTO_TMP"/recorder.log "$ZOLTO_TMP"/*/recorder.log
}

# A web address alone.
zolto_ini <<'INI'
[system]
@menu=100,100
%end
[url]
recorder.exe | &Address
%end
[.txt]
recorder.exe | &First
recorder.exe | &Second
%end
INI
before=$(zolto_windows)
zolto_start 60 "$ZOLTO_EXE" "https://example.org/"
menu=$(zolto_new_window 30 "$before") || zolto_fail "a web address alone: no menu appeared within 30 s"
[ -z "$(xdotool getwindowname "$menu")" ] ||
  zolto_fail "a window '$(xdotool getwindowname "$menu")' opened instead of a menu"
echo "screenshot: $(zolto_screenshot "$ZOLTO_NAME.basic_address")"
zolto_keys "$menu" v
box=$(zolto_find_window "$about" 10 "$before") ||
  zolto_fail "'v' opened no about box: the menu for the address is not the target-less one"
grep -q "^$about.*$ZOLTO_NAME バージョン" <<<"$(zolto_window_texts)" ||
  zolto_fail "the about box is not this edition's: $(zolto_window_texts | grep "^$about" | tr '\t' '|')"
zolto_keys "$box" Return
zolto_finish 30
zolto_expect_starts 0

# One "[.txt]" section of one entry: it runs at once for a.TXT.
zolto_ini <<'INI'
[.txt]
recorder.exe | &Record
%end
INI
before=$(zolto_windows)
zolto_start 60 "$ZOLTO_EXE" "$target"
zolto_finish_windowless 30 "$before"
expect_args "one [.txt] section" "$ZOLTO_TMP" "$target"

# Two "[.txt]" sections: one menu, the first section's entry first.
zolto_ini <<INI
[system]
@menu=100,100
%end
[.txt]
recorder.exe | &First
%end
[.zip]
recorder.exe | &Zip
%end
[.txt]
$two | &Second
%end
INI
# choose KEYS...: opens the menu on a.TXT and sends the keys to it.
choose() {
  xdotool mousemove 1000 900
  before=$(zolto_windows)
  zolto_start 60 "$ZOLTO_EXE" "$target"
  menu=$(zolto_new_window 30 "$before") || zolto_fail "two [.txt] sections: no menu appeared within 30 s"
  sleep 0.5  # drawn
  if [ "$#" -eq 1 ]; then
    echo "screenshot: $(zolto_screenshot "$ZOLTO_NAME.basic_two_sections")"
  fi
  zolto_keys "$menu" "$@"
  zolto_finish 30 "$ZOLTO_NAME.exe ($*)"
}
choose Return
expect_args "Return in the menu of two [.txt] sections" "$ZOLTO_TMP" "$target"
choose Down Return
expect_args "Down, Return in the menu of two [.txt] sections" "$ZOLTO_TMP/two" "$target"

# A pattern header alone: the association opens the file.
ext=zt6$(basename "$ZOLTO_TMP" | sed 's/.*\.//' | tr 'A-Z' 'a-z')
: >"$ZOLTO_TMP/doc.$ext"
doc=$(zolto_winpath "$ZOLTO_TMP/doc.$ext")
unregister() {
  zolto_run 30 reg delete "HKCR\\.$ext" /f
  zolto_run 30 reg delete "HKCR\\${ext}file" /f
}
trap 'unregister; [ -n "${ZOLTO_KEEP_TMP:-}" ] || zolto_cleanup' EXIT
zolto_run 30 reg add "HKCR\\.$ext" /ve /d "${ext}file" /f &&
  zolto_run 30 reg add "HKCR\\${ext}file\\shell\\open\\command" /ve \
    /d "\"$(zolto_winpath "$ZOLTO_TMP/assoc/recorder.exe")\" \"%1\"" /f ||
  zolto_fail "test set-up: could not register the .$ext association"
zolto_ini <<INI
[\$.$ext]
recorder.exe | &Record
%end
INI
before=$(zolto_windows)
zolto_start 60 "$ZOLTO_EXE" "$doc"
zolto_finish_windowless 30 "$before"
expect_args "a [\$.$ext] header alone" "$ZOLTO_TMP/assoc" "\"$doc\""
echo "ok: an address gave the target-less menu; [.txt] ran a.TXT's one entry at once;" \
  "two [.txt] sections made one menu in file order; [\$.$ext] was passed over for the association"
