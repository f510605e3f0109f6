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
mkdir "$ZOLTO_TMP/t" "$ZOLTO_TMP/m"
# The only windows a run may show are the consoles of echo.cmd (captioned
# with its path, or not yet captioned): a menu would keep the program
# waiting, a message box has a caption of its own.
ZOLTO_ALLOW='|.*\\echo\.cmd'

# paths NAME...: the Windows paths of these files in t/, created empty.
paths() {
  local n
  for n in "$@"; do
    : >"$ZOLTO_TMP/t/$n"
    zolto_winpath "$ZOLTO_TMP/t/$n"
  done
}

# expect_sorted WHAT EXPECTED: the recorded argument lines, in any order (the
# batch programs may pass them on out of order), are EXPECTED (one a line).
expect_sorted() {
  local got
  got=$(zolto_args | sort)
  [ "$got" = "$(sort <<<"$2")" ] || zolto_fail "$1: the recorder got"$'\n'"$got"$'\n'"expected"$'\n'"$2"
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
mapfile -t list < <(paths "${safe[@]/%/.zt}")
mapfile -t zt < <(paths "${expanding[@]/%/.zt}")
mapfile -t zr < <(paths "${expanding[@]/%/.zr}")
zolto_quiet_run "/#y" "${list[@]}" "${zt[@]}" "${zr[@]}"
zolto_expect_starts $((${#safe[@]} + ${#expanding[@]}))
expect_sorted "shell characters" "$(printf '"%s"\n' "${list[@]}" "${zr[@]}")"
echo "ok ($SECONDS s): ${#safe[@]} names with shell characters reached echo.cmd as one argument each;" \
  "names with % or ! started no batch program and reached the recorder intact"

# The same names as one bare list: one start, each name one quoted item.
zolto_ini <<'INI'
[$.zt]
echo.cmd | E
>%M | &List
%end
INI
zolto_quiet_run "${list[@]}"
want=$(printf '"%s" ' "${list[@]}")
zolto_expect_args "the bare list" "${want% }"
# One name that cmd.exe would expand spoils the whole list: nothing starts.
zolto_quiet_run "${list[0]}" "$(paths 50%.zt)"
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
mkdir "$ZOLTO_TMP/t/ソ" "$ZOLTO_TMP/t/表"
mapfile -t files < <(paths 表.zt 'ソ 表(1)&.zt')
folders=("$(zolto_winpath "$ZOLTO_TMP/t/ソ")" "$(zolto_winpath "$ZOLTO_TMP/t/表")")
LC_ALL=ja_JP.UTF-8 zolto_quiet_run "/#y" "${files[0]}" "${folders[0]}" "${files[1]}" "${folders[1]}"
zolto_expect_starts 4
got=$(zolto_args | iconv -f CP932 -t UTF-8 | sort) || zolto_fail "the log is not code page 932 text"
want=$(printf '%s\n' "${files[0]}" "\"${files[1]}\"" "${folders[@]/%/\\}" | sort)
[ "$got" = "$want" ] || zolto_fail "Japanese names: the recorder got"$'\n'"$got"$'\n'"expected"$'\n'"$want"
echo "ok ($SECONDS s): 表 and ソ as files and folders reached echo.cmd whole, folders with one trailing backslash"

# ---- 150 targets: the first 100, in order, in one list start.
zolto_ini <<'INI'
[$.zt]
recorder.exe | R
>%M | &List
%end
INI
many=()
for i in $(seq -w 1 150); do
  : >"$ZOLTO_TMP/m/$i.zt"
  many+=("$(zolto_winpath "$ZOLTO_TMP/m/$i.zt")")
done
zolto_quiet_run "${many[@]}"
zolto_expect_args "150 targets" "${many[*]:0:100}"
echo "ok ($SECONDS s): of 150 targets the first 100 went, in order, to one start"

# ---- The clipboard held open by another program.
zolto_ini <<'INI'
[$.zt]
recorder.exe | &Record
%end
INI
zolto_run 30 "$ZOLTO_E2E_BIN/setclip.exe" "${many[0]}" || zolto_fail "setclip.exe failed"
zolto_at_exit 'zolto_run 30 "$ZOLTO_E2E_BIN/setclip.exe" -e'
zolto_hold holdclip.exe
zolto_quiet_run "/#c"
zolto_expect_starts 0
zolto_unhold
zolto_quiet_run "/#c"
zolto_expect_args "from the free clipboard" "${many[0]}"
echo "ok ($SECONDS s): with the clipboard held open /#c started nothing and ended; once free it ran"
