#!/usr/bin/env bash
# How the basic edition (zolto5.exe, zolto5.ini) chooses sections: by
# extension keys such as "[.txt]", in any case, every section holding the
# key in file order.
#  - A web address alone is no target of this edition: the target-less menu
#    shows, though a "[url]" section would run at once for the full edition.
#  - a.TXT and one "[.txt]" section of one entry: that entry runs at once,
#    with no window, and gets the file.
#  - Two "[.txt]" sections of one entry each: one menu of both entries in
#    file order; Return runs the first, Down, Return the second (a recorder
#    in two/).
#  - A pattern header "[$.EXT]" of the full edition alone: never taken; the
#    file is opened with its association (a test extension registered in
#    the prefix to open with a recorder in assoc/).
#   basic_edition.sh EXE
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
zolto_setup "${1:?usage: basic_edition.sh EXE}"
for dir in two assoc; do mkdir "$ZOLTO_TMP/$dir" && cp "$ZOLTO_TMP/recorder.exe" "$ZOLTO_TMP/$dir/"; done
zolto_targets a.TXT
target=${targets[0]}

# expect_only WHAT DIR ARGS: the recorder in DIR got ARGS, in one start; the
# other recorders nothing.
expect_only() {
  local other
  zolto_expect_args "$1" -d "$2" "$3"
  for other in "$ZOLTO_TMP" "$ZOLTO_TMP/two" "$ZOLTO_TMP/assoc"; do
    [ "$other" = "$2" ] || [ -z "$(zolto_records "$other")" ] ||
      zolto_fail "$1: the recorder in $other was started: $(zolto_records "$other" | cut -f1)"
  done
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
zolto_open_menu 30 "a web address alone" "https://example.org/"
zolto_expect_targetless "a web address alone"

# One "[.txt]" section of one entry: it runs at once for a.TXT.
printf '[.txt]\nrecorder.exe | &Record\n%%end\n' | zolto_ini
zolto_quiet_run "$target"
expect_only "one [.txt] section" "$ZOLTO_TMP" "$target"

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
$(zolto_winpath "$ZOLTO_TMP/two/recorder.exe") | &Second
%end
INI
for choice in "Return:$ZOLTO_TMP" "Down Return:$ZOLTO_TMP/two"; do
  zolto_open_menu 30 "two [.txt] sections" "$target"
  # shellcheck disable=SC2086
  zolto_keys "$menu" ${choice%%:*}
  zolto_finish 30 "$ZOLTO_NAME.exe (${choice%%:*})"
  expect_only "${choice%%:*} in the menu of two [.txt] sections" "${choice#*:}" "$target"
done

# A pattern header alone: the association opens the file.
zolto_associate zt6 "$ZOLTO_TMP/assoc/recorder.exe"
zolto_targets "doc.$ext"
printf '[$.%s]\nrecorder.exe | &Record\n%%end\n' "$ext" | zolto_ini
zolto_quiet_run "${targets[0]}"
expect_only "a [\$.$ext] header alone" "$ZOLTO_TMP/assoc" "\"${targets[0]}\""
echo "ok: an address gave the target-less menu; [.txt] ran a.TXT's one entry at once;" \
  "two [.txt] sections made one menu in file order; [\$.$ext] was passed over for the association"
