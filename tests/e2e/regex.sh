#!/usr/bin/env bash
# A regular-expression header "[!/.../i]" through BREGEXP.DLL beside the
# program: it matches a.ZT2 without regard to case, and its one entry runs.
# Without the library the program says so once in a message box captioned
# CAPTION, starts nothing, and exits 0 once the box is dismissed.
#   regex.sh EXE BREGEXP.DLL CAPTION
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
usage="usage: regex.sh EXE BREGEXP.DLL CAPTION"
zolto_setup "${1:?$usage}"
dll=${2:?$usage}
caption=${3:?$usage}
message="正規表現ライブラリが使用できません"
# Two expression headers, so that a second message would have its chance.
zolto_ini <<'INI'
[!/\.zt3$/i]
recorder.exe | &Three
%end
[!/\.zt2$/i]
recorder.exe | &Record
%end
INI
: >"$ZOLTO_TMP/a.ZT2"
target=$(zolto_winpath "$ZOLTO_TMP/a.ZT2")

# With the library.
cp "$dll" "$ZOLTO_TMP/BREGEXP.DLL"
before=$(zolto_windows)
zolto_start 60 "$ZOLTO_EXE" "$target"
zolto_finish_windowless 30 "$before"
zolto_expect_starts 1
[ "$(zolto_args)" = "$target" ] || zolto_fail "recorder got [$(zolto_args)], expected [$target]"

# Without it.
rm "$ZOLTO_TMP/BREGEXP.DLL" "$ZOLTO_TMP/recorder.log"
before=$(zolto_windows)
zolto_start 60 "$ZOLTO_EXE" "$target"
box=$(zolto_find_window "$caption" 30 "$before") ||
  zolto_fail "no box captioned '$caption' appeared (visible: $(zolto_window_texts | tr '\n\t' '| '))"
echo "screenshot: $(zolto_screenshot "$ZOLTO_NAME.regex_missing")"
texts=$(zolto_window_texts)
[ "$(grep -c -F -- "$message" <<<"$texts")" -eq 1 ] ||
  zolto_fail "expected one window saying '$message'; windows: $(tr '\n\t' '| ' <<<"$texts")"
zolto_keys "$box" Return
# Dismissed: no second box may follow.
if again=$(zolto_new_window 2 "$(printf '%s\n%s\n' "$before" "$box" | sort)"); then
  zolto_fail "another window appeared after the box: '$(xdotool getwindowname "$again")'" \
    "$(zolto_window_texts | tr '\n\t' '| ')"
fi
zolto_finish 30
zolto_expect_starts 0
echo "ok: the expression header matched a.ZT2; without BREGEXP.DLL one message, nothing started"
