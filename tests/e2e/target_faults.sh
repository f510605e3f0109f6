#!/usr/bin/env bash
# Awkward targets, and a clipboard another program holds open.
#   target_faults.sh EXE
#
# - Names holding & ^ ( ) , ; = and blanks, handed to a batch program
#   (echo.cmd, which passes its arguments on to the recorder): each arrives
#   as exactly one quoted argument and nothing else runs, both as the one
#   argument of a plain entry and as the items of a bare "%M" list.
# - Names holding % or !, which cmd.exe would expand even inside quotes: a
#   batch program is not started for them at all, while an ordinary program
#   (the recorder itself) gets them quoted and intact.
# - Japanese names whose second byte is 0x5C (表 and ソ in code page 932),
#   as files and as folders (whose trailing backslash must not be taken for
#   that byte), under a Japanese Wine (LC_ALL=ja_JP.UTF-8).
# - 150 targets: the first 100, in order, go to one "%M" start.
# - "/#c" while another program holds the clipboard open: nothing starts, no
#   window, the program ends; once the clipboard is free the same run works.
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
zolto_setup "${1:?usage: target_faults.sh EXE}"
printf '@"%%~dp0recorder.exe" %%*\r\n' >"$ZOLTO_TMP/echo.cmd"
mkdir "$ZOLTO_TMP/t"

# run_batch ARG...: runs the program with the arguments; it must exit 0
# within 60 s and leave nothing behind. The only windows it may show are the
# consoles of echo.cmd (captioned with its path, or not yet captioned): a
# menu would keep it waiting, a message box has a caption of its own.
run_batch() {
  local before id name
  before=$(zolto_windows)
  zolto_start 90 "$ZOLTO_EXE" "$@"
  for _ in $(seq 1 300); do
    for id in $(zolto_new_windows "$before"); do
      name=$(xdotool getwindowname "$id" 2>/dev/null) || continue
      [ -z "$name" ] || [[ $name == *'\echo.cmd' ]] ||
        zolto_fail "a window '$name' appeared: $(zolto_window_texts | tr '\n\t' '| ')"
    done
    kill -0 "$ZOLTO_PID" 2>/dev/null || break
    sleep 0.2
  done
  zolto_finish 1
}

# run_targets TARGET...: run_batch on the targets one by one ("/#y").
run_targets() {
  run_batch "/#y" "$@"
}

# expect_args WHAT EXPECTED: the recorded argument lines, in any order (the
# batch programs may pass them on out of order), are EXPECTED (one a line).
expect_args() {
  local got want
  got=$(zolto_args | sort)
  want=$(sort <<<"$2")
  [ "$got" = "$want" ] ||
    zolto_fail "$1: the recorder got"$'\n'"$got"$'\n'"expected"$'\n'"$want"
}

# ---- Blanks and shell characters, to a batch program and to the recorder.
zolto_ini <<'INI'
[$.zt]
echo.cmd | &Echo
%end
[$.zr]
recorder.exe | &Record
%end
INI
safe=('a&b' 'c^d' 'e(f)g' 'h i' 'n,o;p=q' 'r & (s) ^t')
expanding=('j!k' 'l%OS%m' '%PATH%')
targets=() want=""
for n in "${safe[@]}"; do
  : >"$ZOLTO_TMP/t/$n.zt"
  targets+=("$(zolto_winpath "$ZOLTO_TMP/t/$n.zt")")
  want+="\"${targets[-1]}\""$'\n'
done
for n in "${expanding[@]}"; do
  : >"$ZOLTO_TMP/t/$n.zt"
  : >"$ZOLTO_TMP/t/$n.zr"
  targets+=("$(zolto_winpath "$ZOLTO_TMP/t/$n.zt")" "$(zolto_winpath "$ZOLTO_TMP/t/$n.zr")")
  want+="\"${targets[-1]}\""$'\n'
done
run_targets "${targets[@]}"
zolto_expect_starts $((${#safe[@]} + ${#expanding[@]}))
expect_args "shell characters" "${want%$'\n'}"
echo "ok ($SECONDS s): ${#safe[@]} names with shell characters reached echo.cmd as one argument each;" \
  "names with % or ! started no batch program and reached the recorder intact"

# The same names as one bare list: one start, each name one quoted item.
zolto_ini <<'INI'
[$.zt]
echo.cmd | E
>%M | &List
%end
INI
rm -f "$ZOLTO_TMP/recorder.log"
list=()
for n in "${safe[@]}"; do list+=("$(zolto_winpath "$ZOLTO_TMP/t/$n.zt")"); done
run_batch "${list[@]}"
zolto_expect_starts 1
want=$(printf '"%s" ' "${list[@]}")
[ "$(zolto_args)" = "${want% }" ] || zolto_fail "the bare list gave [$(zolto_args)], expected [${want% }]"
# One name that cmd.exe would expand spoils the whole list: nothing starts.
: >"$ZOLTO_TMP/t/50%.zt"
rm -f "$ZOLTO_TMP/recorder.log"
run_batch "${list[0]}" "$(zolto_winpath "$ZOLTO_TMP/t/50%.zt")"
zolto_expect_starts 0
echo "ok ($SECONDS s): a bare %M list gave echo.cmd each name as one argument; with a % name it started nothing"

# ---- Japanese names whose second byte is a backslash, under code page 932.
locale -a 2>/dev/null | grep -qix 'ja_JP.utf-\?8' ||
  zolto_fail "the host lacks the ja_JP.UTF-8 locale that Wine needs for code page 932" \
    "(scripts/setup.sh generates it)"
zolto_ini <<'INI'
[$.zt][folder]
echo.cmd | &Echo
%end
INI
rm -f "$ZOLTO_TMP/recorder.log"
mkdir "$ZOLTO_TMP/t/ソ" "$ZOLTO_TMP/t/表"
: >"$ZOLTO_TMP/t/表.zt"
: >"$ZOLTO_TMP/t/ソ 表(1)&.zt"
japanese=("$ZOLTO_TMP/t/表.zt" "$ZOLTO_TMP/t/ソ" "$ZOLTO_TMP/t/ソ 表(1)&.zt" "$ZOLTO_TMP/t/表")
targets=()
for p in "${japanese[@]}"; do targets+=("$(zolto_winpath "$p")"); done
want="${targets[0]}"$'\n'"${targets[1]}\\"$'\n'"\"${targets[2]}\""$'\n'"${targets[3]}\\"
LC_ALL=ja_JP.UTF-8 run_targets "${targets[@]}"
zolto_expect_starts 4
got=$(zolto_args | iconv -f CP932 -t UTF-8 | sort) || zolto_fail "the log is not code page 932 text"
[ "$got" = "$(sort <<<"$want")" ] ||
  zolto_fail "Japanese names: the recorder got"$'\n'"$got"$'\n'"expected"$'\n'"$want"
echo "ok ($SECONDS s): 表 and ソ as files and folders reached echo.cmd whole, folders with one trailing backslash"

# ---- 150 targets: the first 100, in order, in one list start.
zolto_ini <<'INI'
[$.zt]
recorder.exe | R
>%M | &List
%end
INI
rm -f "$ZOLTO_TMP/recorder.log"
mkdir "$ZOLTO_TMP/m"
many=()
for i in $(seq -w 1 150); do
  : >"$ZOLTO_TMP/m/$i.zt"
  many+=("$(zolto_winpath "$ZOLTO_TMP/m/$i.zt")")
done
before=$(zolto_windows)
zolto_start 90 "$ZOLTO_EXE" "${many[@]}"
zolto_finish_windowless 60 "$before"
zolto_expect_starts 1
[ "$(zolto_args)" = "${many[*]:0:100}" ] ||
  zolto_fail "150 targets gave [$(zolto_args | cut -c1-300)...], expected the first 100 in order"
echo "ok ($SECONDS s): of 150 targets the first 100 went, in order, to one start"

# ---- The clipboard held open by another program.
zolto_ini <<'INI'
[$.zt]
recorder.exe | &Record
%end
INI
rm -f "$ZOLTO_TMP/recorder.log"
clip_target=$(zolto_winpath "$ZOLTO_TMP/m/001.zt")
zolto_run 30 "$ZOLTO_E2E_BIN/setclip.exe" "$clip_target" || zolto_fail "setclip.exe failed"
# The flag lies outside the test folder: the holder is no leftover of the
# program's.
flagdir=$(mktemp -d)
trap 'rm -rf "$flagdir"; [ -n "${ZOLTO_KEEP_TMP:-}" ] || zolto_cleanup' EXIT
flag=$flagdir/clipboard.held
timeout -k 5 120 wine "$ZOLTO_E2E_BIN/holdclip.exe" "$(zolto_winpath "$flag")" \
  </dev/null >>"$ZOLTO_WINE_LOG" 2>&1 &
holder=$!
for _ in $(seq 1 100); do [ -e "$flag" ] && break; sleep 0.1; done
[ -e "$flag" ] || zolto_fail "holdclip.exe did not take the clipboard"
before=$(zolto_windows)
zolto_start 60 "$ZOLTO_EXE" "/#c"
zolto_finish_windowless 30 "$before"
zolto_expect_starts 0
rm "$flag"
wait "$holder" || zolto_fail "holdclip.exe failed"
before=$(zolto_windows)
zolto_start 60 "$ZOLTO_EXE" "/#c"
zolto_finish_windowless 30 "$before"
zolto_expect_starts 1
[ "$(zolto_args)" = "$clip_target" ] || zolto_fail "from the free clipboard the recorder got [$(zolto_args)]"
zolto_run 30 "$ZOLTO_E2E_BIN/setclip.exe" -e
echo "ok ($SECONDS s): with the clipboard held open /#c started nothing and ended; once free it ran"
