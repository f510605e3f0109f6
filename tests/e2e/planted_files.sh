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
message="正規表現ライブラリが使用できません"
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

# planted_untouched: no planted copy was run or loaded.
planted_untouched() {
  local dir
  for dir in "$work" "$work/sub"; do
    [ -z "$(zolto_records "$dir")" ] ||
      zolto_fail "a planted program in $dir ran: $(zolto_records "$dir" | cut -f1)"
    [ ! -e "$dir/dll-loaded.log" ] || zolto_fail "a DLL planted in $dir was loaded"
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

# traced_run TARGET: runs the program in the work folder on TARGET with the
# process trace on, from a fresh log.
traced_run() {
  : >"$ZOLTO_WINE_LOG"
  WINEDEBUG=+process zolto_start 90 "$ZOLTO_EXE" "$1"
}

# explorer_pid: waits up to a minute for the explorer.exe that opens the
# folder and prints its pid; returns 1 when none came.
explorer_pid() {
  local pid
  for _ in $(seq 1 300); do
    pid=$(pgrep -f -- "explorer\.exe.*$(basename "$ZOLTO_TMP")" | head -n 1) && {
      echo "$pid"
      return 0
    }
    sleep 0.2
  done
  return 1
}

# opens_with_explorer TARGET: a traced run on TARGET must open the folder in
# an explorer.exe, which is then ended (the folder's window is all it shows);
# the program must exit 0. Wine now and then fails to start a process at all
# ("failed to map the shared user data"); that run is made once more.
opens_with_explorer() {
  local pid
  traced_run "$1"
  if ! pid=$(explorer_pid); then
    grep -qF 'failed to map the shared user data' "$ZOLTO_WINE_LOG" ||
      zolto_fail "no explorer.exe opened $folder"
    echo "Wine could not start a process; once more"
    zolto_wait 60 >/dev/null
    traced_run "$1"
    pid=$(explorer_pid) || zolto_fail "no explorer.exe opened $folder"
  fi
  kill "$pid"
  zolto_finish 60
}

# ---- BREGEXP.DLL planted, none beside the program.
zolto_ini <<'INI'
[!/\.zt9/i]
recorder.exe | &Record
%end
INI
before=$(zolto_windows)
zolto_start 60 "$ZOLTO_EXE" "$doc"
box=$(zolto_find_window "$caption" 30 "$before") ||
  zolto_fail "no box captioned '$caption' (visible: $(zolto_window_texts | tr '\n\t' '| '))"
zolto_window_texts | grep -qF -- "$message" || zolto_fail "the box does not say '$message'"
zolto_keys "$box" Return
zolto_finish 30
zolto_expect_starts 0
planted_untouched
# Beside the program the same DLL is loaded and matches.
cp "$ZOLTO_E2E_BIN/bregexp_marked.dll" "$ZOLTO_TMP/BREGEXP.DLL"
before=$(zolto_windows)
zolto_start 60 "$ZOLTO_EXE" "$doc"
zolto_finish_windowless 30 "$before"
zolto_expect_starts 1
[ -e "$ZOLTO_TMP/dll-loaded.log" ] || zolto_fail "the BREGEXP.DLL beside the program was not loaded"
planted_untouched
rm "$ZOLTO_TMP/BREGEXP.DLL" "$ZOLTO_TMP/recorder.log"
echo "ok ($SECONDS s): a BREGEXP.DLL in the current folder is not loaded; beside the program it is"

# ---- imgctl.dll planted, none beside the program; then beside it.
zolto_ini <<'INI'
[system]
@pic=1,200
%end
[$.png]
recorder.exe | &Record
recorder.exe | &Second
%end
INI
for beside in no yes; do
  [ "$beside" = no ] || cp "$ZOLTO_E2E_BIN/imgctl_marked.dll" "$ZOLTO_TMP/imgctl.dll"
  before=$(zolto_windows)
  zolto_start 60 "$ZOLTO_EXE" "$(zolto_winpath "$work/p.png")"
  menu=$(zolto_new_window 30 "$before") || zolto_fail "no menu for the picture"
  zolto_keys "$menu" Escape
  zolto_finish 30
  zolto_expect_starts 0
  planted_untouched
done
[ -e "$ZOLTO_TMP/dll-loaded.log" ] || zolto_fail "the imgctl.dll beside the program was not loaded"
rm "$ZOLTO_TMP/imgctl.dll"
echo "ok ($SECONDS s): an imgctl.dll in the current folder is not loaded; beside the program it is"

# ---- "@system" on a folder.
zolto_ini <<'INI'
[folder]
@system | &Open
%end
INI
opens_with_explorer "$folder"
planted_untouched
images=$(started_images)
[ "$images" = 'C:\windows\explorer.exe' ] ||
  zolto_fail "@system on a folder started [$(tr '\n' ' ' <<<"$images")], expected C:\\windows\\explorer.exe"
echo "ok ($SECONDS s): @system opened the folder with $images"

# ---- A folder with no section: its association.
zolto_ini <<'INI'
[$.txt]
recorder.exe | &Record
%end
INI
opens_with_explorer "$folder"
planted_untouched
images=$(started_images)
grep -qixE 'C:\\windows\\(system32\\)?explorer\.exe' <<<"$images" &&
  ! grep -qivE '^C:\\windows\\' <<<"$images" ||
  zolto_fail "the folder's association started [$(tr '\n' ' ' <<<"$images")]"
echo "ok ($SECONDS s): the folder's association opened it with $images"

# ---- A file with no section and no association: the Open-with dialog.
traced_run "$doc"
zolto_finish 60
planted_untouched
# Wine's shell first tries the document itself as a program; that is no
# planted file.
images=$(started_images | grep -vxF -- "$doc")
[ "$images" = 'C:\windows\system32\rundll32.exe' ] ||
  zolto_fail "an unassociated file started [$(tr '\n' ' ' <<<"$images")]," \
    "expected C:\\windows\\system32\\rundll32.exe"
echo "ok ($SECONDS s): an unassociated file went to $images, the planted copies stayed untouched"
