#!/usr/bin/env bash
# Files planted in the current folder, which is the target's folder (a
# download folder, say), are never run or loaded. The program is started
# there; explorer.exe and rundll32.exe are recorder copies, BREGEXP.DLL a
# stand-in that marks its loading, planted both in the current folder and in
# the folder target. Which programs Wine starts is read from its process
# trace (WINEDEBUG=+process).
#   planted_files.sh EXE CAPTION
#
# - A regular-expression header with BREGEXP.DLL only in the current folder:
#   "正規表現ライブラリが使用できません" (caption CAPTION), the planted DLL
#   is not loaded, nothing runs. Beside the program the same DLL is loaded.
# - A picture preview with imgctl.dll (a stand-in that marks its loading)
#   only in the current folder: the menu comes without a preview and the
#   planted DLL is not loaded. Beside the program it is.
# - "@system" on a folder: explorer.exe from the Windows folder opens it.
# - A folder no section takes, opened with its association: the system's
#   explorer.exe opens it.
# - A file no section takes and without an association: rundll32.exe from
#   the System folder (the Open-with dialog; Wine's shows nothing).
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
usage="usage: planted_files.sh EXE CAPTION"
zolto_setup "${1:?$usage}"
caption=${2:?$usage}
work=$ZOLTO_TMP/work
mkdir -p "$work/sub"
for dir in "$work" "$work/sub"; do
  cp "$ZOLTO_TMP/recorder.exe" "$dir/explorer.exe"
  cp "$ZOLTO_TMP/recorder.exe" "$dir/rundll32.exe"
  cp "$ZOLTO_E2E_BIN/bregexp_marked.dll" "$dir/BREGEXP.DLL"
  cp "$ZOLTO_E2E_BIN/imgctl_marked.dll" "$dir/imgctl.dll"
done
convert -size 40x30 xc:gray "PNG24:$work/p.png" || zolto_fail "test set-up: no picture"
# An extension of this test's own, which nothing is associated with.
ext=zt9$(basename "$ZOLTO_TMP" | sed 's/.*\.//' | tr 'A-Z' 'a-z')
: >"$work/doc.$ext"
folder=$(zolto_winpath "$work/sub")
doc=$(zolto_winpath "$work/doc.$ext")
cd "$work" || zolto_fail "test set-up: no work folder"

# untouched WHAT: no planted copy was run or loaded.
untouched() {
  local dir
  for dir in "$work" "$work/sub"; do
    [ -z "$(zolto_records "$dir")" ] ||
      zolto_fail "$1: a planted program in $dir ran: $(zolto_records "$dir" | cut -f1)"
    [ ! -e "$dir/dll-loaded.log" ] || zolto_fail "$1: a DLL planted in $dir was loaded"
  done
}

# started_images: the programs Wine started with the work folder on their
# command line, from the process trace: one Windows path a line.
started_images() {
  local doubled
  doubled=$(zolto_winpath "$work" | sed 's/\\/\\\\/g')
  grep -F 'NtCreateUserProcess' "$ZOLTO_WINE_LOG" | grep -F -- "$doubled" |
    sed -nE 's/.* image L"([^"]*)".*/\1/p' | sed 's/\\\\/\\/g' | sort -u
}

# traced TARGET WHAT EXPECTED: a run on TARGET with the process trace on
# (from a fresh log) must start the programs EXPECTED (an extended regex of
# the started_images, in lower case, joined by blanks) and no planted copy. A run
# that opens a folder opens it in an explorer.exe, which is then ended (the
# folder's window is all it shows). Wine now and then fails to start a
# process at all ("failed to map the shared user data"); that run is made
# once more.
traced() {
  local pid images try
  for try in 1 2; do
    : >"$ZOLTO_WINE_LOG"
    WINEDEBUG=+process zolto_start 90 "$ZOLTO_EXE" "$1"
    [ "$1" = "$doc" ] && break
    for _ in $(seq 1 300); do
      pid=$(pgrep -f -- "explorer\.exe.*$(basename "$ZOLTO_TMP")" | head -n 1) && break 2
      sleep 0.2
    done
    [ "$try" = 1 ] && grep -qF 'failed to map the shared user data' "$ZOLTO_WINE_LOG" ||
      zolto_fail "$2: no explorer.exe opened $folder"
    echo "Wine could not start a process; once more"
    zolto_wait 60 >/dev/null
  done
  [ -z "${pid:-}" ] || kill "$pid"
  zolto_finish 60
  untouched "$2"
  # Wine's shell first tries a document itself as a program; that is no
  # planted file.
  images=$(started_images | grep -vxF -- "$doc" | tr 'A-Z\n' 'a-z ')
  [[ ${images% } =~ ^($3)$ ]] || zolto_fail "$2 started [$images], expected $3"
  echo "ok ($SECONDS s): $2 started $images"
}

# ---- BREGEXP.DLL planted, none beside the program; then beside it.
zolto_ini <<'INI'
[!/\.zt9/i]
recorder.exe | &Record
%end
INI
zolto_box "planted BREGEXP.DLL" "$caption" "正規表現ライブラリが使用できません" "$doc"
zolto_dismiss
untouched "a planted BREGEXP.DLL"
cp "$ZOLTO_E2E_BIN/bregexp_marked.dll" "$ZOLTO_TMP/BREGEXP.DLL"
zolto_quiet_run "$doc"
zolto_expect_starts 1
untouched "BREGEXP.DLL beside the program"
[ -e "$ZOLTO_TMP/dll-loaded.log" ] || zolto_fail "the BREGEXP.DLL beside the program was not loaded"
rm "$ZOLTO_TMP/BREGEXP.DLL" "$ZOLTO_TMP/dll-loaded.log"
echo "ok ($SECONDS s): a BREGEXP.DLL in the current folder is not loaded; beside the program it is"

# ---- imgctl.dll planted, none beside the program; then beside it.
for beside in no yes; do
  [ "$beside" = no ] || cp "$ZOLTO_E2E_BIN/imgctl_marked.dll" "$ZOLTO_TMP/imgctl.dll"
  zolto_menu_on "$work/p.png" "@pic=1,200"
  zolto_escape "$menu"
  untouched "a picture preview, imgctl.dll beside the program: $beside"
done
[ -e "$ZOLTO_TMP/dll-loaded.log" ] || zolto_fail "the imgctl.dll beside the program was not loaded"
rm "$ZOLTO_TMP/imgctl.dll"
echo "ok ($SECONDS s): an imgctl.dll in the current folder is not loaded; beside the program it is"

# ---- "@system" on a folder; a folder with no section (its association); a
# file with no section and no association (the Open-with dialog).
printf '[folder]\n@system | &Open\n%%end\n' | zolto_ini
traced "$folder" "@system on a folder" 'c:\\windows\\explorer\.exe'
printf '[$.txt]\nrecorder.exe | &Record\n%%end\n' | zolto_ini
traced "$folder" "the folder's association" \
  '(c:\\windows\\[^ ]+ )*c:\\windows\\(system32\\)?explorer\.exe( c:\\windows\\[^ ]+)*'
traced "$doc" "an unassociated file" 'c:\\windows\\system32\\rundll32\.exe'
