# Wine in a virtual display, and the verbs the end-to-end tests are written
# in. Source it:
#   source tests/e2e/wine-env.sh
# It exports WINEDEBUG, WINEPREFIX and DISPLAY, starts Xvfb on the display if
# nothing answers there, creates the Wine prefix once (it is reused by later
# runs) and keeps a wineserver alive between runs (for 10 minutes after the
# last one). The scenario driver (run_scenarios.sh) and the scripts of their
# own (high_dpi.sh, release.sh) use the verbs below.
#
# Overrides: ZOLTO_WINEPREFIX (default build/wineprefix), ZOLTO_DISPLAY
# (default :93), ZOLTO_E2E_ARTIFACTS (screenshots; default build/windows/e2e-artifacts),
# ZOLTO_E2E_BIN (the test helpers; default build/windows/tests/e2e/bin). The
# programs come from ZOLTO_FULL_EXE, ZOLTO_BASIC_EXE and ZOLTO_CHECK_EXE, the
# folder they were built in from ZOLTO_BIN (default: those of the windows
# preset), the resource compiler from ZOLTO_WINDRES.
#
# Daemons (Xvfb, wineboot's services, wineserver) are started with their
# output sent to /dev/null: they would otherwise inherit the caller's pipes and
# a caller that waits for those pipes to close (ctest, $(...)) would hang.

zolto_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

export WINEDEBUG=-all
export WINEPREFIX=${ZOLTO_WINEPREFIX:-$zolto_root/build/wineprefix}
export DISPLAY=${ZOLTO_DISPLAY:-:93}
export ZOLTO_E2E_ARTIFACTS=${ZOLTO_E2E_ARTIFACTS:-$zolto_root/build/windows/e2e-artifacts}
export ZOLTO_E2E_BIN=${ZOLTO_E2E_BIN:-$zolto_root/build/windows/tests/e2e/bin}
: "${ZOLTO_BIN:=$zolto_root/build/windows/bin}" "${ZOLTO_WINDRES:=x86_64-w64-mingw32-windres}"
: "${ZOLTO_FULL_EXE:=$ZOLTO_BIN/zolto5_c.exe}" "${ZOLTO_BASIC_EXE:=$ZOLTO_BIN/zolto5.exe}"
: "${ZOLTO_CHECK_EXE:=$ZOLTO_BIN/zolto5_check.exe}" "${ZOLTO_EXAMPLE_INI:=$zolto_root/examples/zolto5_c.ini}"

# zolto_fail MESSAGE...: reports the failure (with a screenshot of the display
# and the end of the Wine log of this test, when there is one) and ends the
# test (a row of the table, or a script).
zolto_fail() {
  echo "FAIL: $*" >&2
  [ -z "${ZOLTO_TMP:-}" ] || echo "screenshot: $(zolto_screenshot "${ZOLTO_ROW:-$(basename "$0" .sh)}.failed")" >&2
  if [ -s "${ZOLTO_WINE_LOG:-/dev/null}" ]; then
    echo "--- end of $ZOLTO_WINE_LOG:" >&2
    tail -n 20 "$ZOLTO_WINE_LOG" >&2
  fi
  exit 1
}

zolto_start_display() {
  xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
  setsid -f Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp \
    </dev/null >/dev/null 2>&1 || true
  for _ in $(seq 1 100); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "wine-env: Xvfb did not start on $DISPLAY" >&2
  return 1
}

zolto_start_wine() {
  # The prefix folder must exist before the server starts for it.
  mkdir -p "$WINEPREFIX" "$ZOLTO_E2E_ARTIFACTS"
  (
    # One initialisation at a time, even when tests start in parallel.
    # The daemons below must not inherit the lock (9>&-), or they would hold
    # it for as long as they live.
    flock -w 300 9 || { echo "wine-env: $WINEPREFIX.lock stays locked" >&2; exit 1; }
    # A lasting server first, so that it is the one wineboot and the tests
    # use (a server started by a plain "wine" ends seconds after its last
    # program); it ends 10 minutes after the last program. Does nothing when
    # a server already runs for this prefix.
    wineserver -p600 </dev/null >/dev/null 2>&1 9>&- || true
    if [ ! -f "$WINEPREFIX/.zolto-ready" ]; then
      echo "wine-env: creating the Wine prefix $WINEPREFIX" >&2
      # No Mono or Gecko: their installers would ask for a download.
      WINEDLLOVERRIDES="mscoree=d;mshtml=d" wineboot -i </dev/null >/dev/null 2>&1 9>&- &&
        touch "$WINEPREFIX/.zolto-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
}

# Wine's desktop process (explorer.exe) keeps the clipboard's data for the
# next program. It ends a moment after the last program, and one started
# later imports the X selection, which holds nothing then, and empties the
# clipboard; one starting while a helper fills the clipboard does the same.
# A lasting program with a window keeps it running (for 15 minutes, or
# until the server ends).
zolto_keep_desktop() {
  local pidfile=$WINEPREFIX.keeper
  [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null && return 0
  [ -f "$ZOLTO_E2E_BIN/zt.exe" ] || return 0
  setsid -f sh -c 'echo $$ >"$1"; exec wine "$2" keep 900' sh "$pidfile" \
    "$ZOLTO_E2E_BIN/zt.exe" </dev/null >/dev/null 2>&1
  sleep 2  # its desktop process has started
}

# A Linux path as Wine sees it: /tmp/a/b.txt -> Z:\tmp\a\b.txt
zolto_winpath() {
  local p
  p=$(realpath -m "$1")
  p=${p//\//\\}
  printf 'Z:%s\n' "$p"
}

# A fresh folder for one test, removed when the test exits unless
# ZOLTO_KEEP_TMP is set. Sets ZOLTO_TMP, and ZOLTO_WINE_LOG (beside it) for
# what Wine and the programs print.
zolto_new_workdir() {
  ZOLTO_TMP=$(mktemp -d "${TMPDIR:-/tmp}/zolto-e2e.XXXXXX")
  ZOLTO_WINE_LOG="$ZOLTO_TMP.wine.log"
  : >"$ZOLTO_WINE_LOG"
  [ -z "${ZOLTO_KEEP_TMP:-}" ] || echo "keeping $ZOLTO_TMP" >&2
  trap 'zolto_cleanup' EXIT
}

# zolto_at_exit COMMAND: COMMAND (a line of shell) runs when the test ends,
# whether it passed or not.
zolto_at_exit() {
  ZOLTO_AT_EXIT+="$1"$'\n'
}

# What a failed check leaves running is ended, by its id.
zolto_cleanup() {
  eval "${ZOLTO_AT_EXIT:-}"
  [ -z "${ZOLTO_TMP:-}" ] && return
  for p in $(pgrep -f -- "$(basename "$ZOLTO_TMP")"); do kill "$p" 2>/dev/null; done
  [ -n "${ZOLTO_KEEP_TMP:-}" ] || rm -rf "$ZOLTO_TMP" "$ZOLTO_TMP.wine.log"
}

# zolto_run SECONDS EXE [ARG...]: runs EXE under Wine and waits at most
# SECONDS; returns its exit status (124 after the time ran out). Output goes to
# ZOLTO_WINE_LOG: a Wine process started on the way (the desktop, services)
# may outlive the program and would keep a captured pipe open.
zolto_run() {
  local seconds=$1
  shift
  timeout -k 5 "$seconds" wine "$@" </dev/null >>"${ZOLTO_WINE_LOG:-/dev/null}" 2>&1
}

# zolto_zt SUBCOMMAND ARG...: the test helper zt.exe (see zt.c); its output
# is printed as it is.
zolto_zt() {
  local out status
  out=$(mktemp)
  timeout -k 5 30 wine "$ZOLTO_E2E_BIN/zt.exe" "$@" </dev/null >"$out" 2>>"${ZOLTO_WINE_LOG:-/dev/null}"
  status=$?
  tr -d '\r' <"$out"
  rm -f "$out"
  return $status
}

# zolto_start SECONDS EXE [ARG...]: starts EXE under Wine in the background
# (ended after SECONDS at the latest); sets ZOLTO_PID. The recorders' logs in
# the test folder and its subfolders are emptied first, so that what they
# hold afterwards was started by this run.
#
# The programs under test exit 0. Now and then Wine ends a process with
# status 1 before any of its code has run (at times saying "failed to map
# the shared user data", at times silently). Such a run, status 1 with no
# start recorded by the recorder, is made once more; a second one stands.
zolto_start() {
  [ -z "${ZOLTO_TMP:-}" ] || rm -f "$ZOLTO_TMP"/recorder.log "$ZOLTO_TMP"/*/recorder.log
  zolto_start_twice "$@" &
  ZOLTO_PID=$!
}

zolto_start_twice() {
  local seconds=$1 records=0 child status try
  shift
  [ -z "${ZOLTO_TMP:-}" ] || records=$(zolto_records | wc -l)
  trap 'kill "$child" 2>/dev/null; exit 143' TERM
  for try in 1 2; do
    timeout -k 5 "$seconds" wine "$@" </dev/null >>"${ZOLTO_WINE_LOG:-/dev/null}" 2>&1 &
    child=$!
    wait "$child"
    status=$?
    [ "$try" -eq 1 ] && [ "$status" -eq 1 ] && [ -n "${ZOLTO_TMP:-}" ] &&
      [ "$(zolto_records | wc -l)" -eq "$records" ] || return "$status"
    echo "Wine ended $(basename "$1") with status 1 before it did anything; once more" >&2
  done
  return "$status"
}

# zolto_wait SECONDS: waits for the program from zolto_start to end; prints
# nothing, returns its exit status, or 124 when it still runs after SECONDS
# (it is then ended).
zolto_wait() {
  local seconds=$1
  for _ in $(seq 1 $((seconds * 10))); do
    kill -0 "$ZOLTO_PID" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$ZOLTO_PID" 2>/dev/null; then
    kill "$ZOLTO_PID" 2>/dev/null
    wait "$ZOLTO_PID" 2>/dev/null
    return 124
  fi
  wait "$ZOLTO_PID"
}

# The visible X windows, one id a line, sorted.
zolto_windows() {
  xdotool search --onlyvisible --name '' 2>/dev/null | sort
}

# zolto_new_windows BEFORE [ID...]: the visible windows not in BEFORE (a
# zolto_windows list) and not one of the IDs, one id a line.
zolto_new_windows() {
  comm -13 <(printf '%s\n' "$@" | sort) <(zolto_windows)
}

# zolto_new_window SECONDS BEFORE [NAME [ID...]]: prints the id of a visible
# window that is not in BEFORE nor one of the IDs and, when NAME (an extended
# regex) is not empty, whose name is NAME as a whole; waits up to SECONDS,
# returns 1 when none came. Popup menus and the parameter box have no name.
zolto_new_window() {
  local id
  for _ in $(seq 1 $(($1 * 5))); do
    for id in $(zolto_new_windows "$2" "${@:4}"); do
      [ -z "${3:-}" ] || [[ $(xdotool getwindowname "$id" 2>/dev/null) =~ ^($3)$ ]] || continue
      echo "$id"
      return 0
    done
    sleep 0.2
  done
  return 1
}

# zolto_keys WINDOW KEY...: focuses WINDOW, then sends the keys (xdotool names:
# Return, Escape, Down, shift+Return ...). Keys reach nothing without focus.
zolto_keys() {
  local window=$1
  shift
  xdotool windowfocus "$window" 2>/dev/null
  sleep 0.3
  xdotool key --delay 100 "$@"
}

# zolto_screenshot NAME: saves the whole display as
# $ZOLTO_E2E_ARTIFACTS/NAME.png and prints that path.
zolto_screenshot() {
  local file="$ZOLTO_E2E_ARTIFACTS/$1.png"
  mkdir -p "$ZOLTO_E2E_ARTIFACTS"
  import -window root "$file" && echo "$file"
}

# zolto_records [DIR]: the recorder's log in DIR (default ZOLTO_TMP), one
# start a line: "command line<TAB>current folder<TAB>creation time in ms<TAB>
# each argument as the file system resolves it, joined by |" (recorder.c),
# in the order of the starts (recorders started together may write in any
# order).
zolto_records() {
  [ -f "${1:-$ZOLTO_TMP}/recorder.log" ] || return 0
  sort -s -t $'\t' -k3,3n "${1:-$ZOLTO_TMP}/recorder.log"
}

# zolto_geometry WINDOW: the window's place and size as "X Y WIDTH HEIGHT".
zolto_geometry() {
  xdotool getwindowgeometry "$1" 2>/dev/null |
    sed -nE 's/^ *Position: ([0-9-]+),([0-9-]+).*/\1 \2/p; s/^ *Geometry: ([0-9]+)x([0-9]+).*/\1 \2/p' |
    xargs
}

# zolto_pixels SHOT WxH+X+Y TEST: the pixels of that part of the screenshot
# SHOT for which TEST, an ImageMagick -fx expression of r, g and b (0..1),
# holds: prints "WxH+X+Y COUNT", the box around them (within the part) and
# their number ("0x0+... 0" when there are none).
zolto_pixels() {
  convert "$1" -crop "$2" +repage -fx "($3) ? 1 : 0" \
    -format '%@ %[fx:round(mean*w*h)]' info: 2>/dev/null
}

# zolto_ink SHOT WxH+X+Y: zolto_pixels for the dark pixels (text on a light
# menu).
zolto_ink() {
  zolto_pixels "$1" "$2" 'r+g+b < 1.2'
}

# ---- The verbs. A test folder (new_row) holds the program and the recorder;
# an argument or line written @{NAME} becomes the Windows path of NAME in it
# (@{} the folder itself).

# new_row: a fresh test folder (zolto_new_workdir) holding zolto5_c.exe and
# recorder.exe, under code page 932.
new_row() {
  zolto_new_workdir
  locale ja
  last_run=()
  cp "$ZOLTO_E2E_BIN/recorder.exe" "$ZOLTO_TMP/" || zolto_fail "set-up: cannot copy recorder.exe"
  edition full
}

# x STRING: STRING with each @{NAME} replaced by the Windows path of NAME.
x() {
  local s=$1 out=""
  while [[ $s =~ @\{([^}]*)\} ]]; do
    out+=${s%%"${BASH_REMATCH[0]}"*}$(zolto_winpath "$ZOLTO_TMP/${BASH_REMATCH[1]}")
    s=${s#*"${BASH_REMATCH[0]}"}
  done
  printf '%s' "$out$s"
}

# expand ARG...: x on each ARG, into the array args.
expand() {
  local a
  args=()
  for a; do args+=("$(x "$a")"); done
}

# edition full|basic|check [PATH]: the program the test runs from here on
# (zolto5_c.exe, zolto5.exe or zolto5_check.exe), copied into the test
# folder under its own name or as PATH.
edition() {
  local exe=ZOLTO_${1^^}_EXE
  exe=${!exe}
  ZOLTO_EXE=$ZOLTO_TMP/${2:-$(basename "$exe")}
  ZOLTO_NAME=$(basename "$ZOLTO_EXE" .exe)
  mkdir -p "$(dirname "$ZOLTO_EXE")" && cp "$exe" "$ZOLTO_EXE" || zolto_fail "set-up: cannot copy $exe"
}

# locale ja|en: a Japanese system (code page 932, the default) or a
# Western one (code page 1252) for the runs that follow.
locale() {
  case $1 in
    ja) export LC_ALL=ja_JP.UTF-8 codepage=CP932 ;;
    en) export LC_ALL=en_US.UTF-8 codepage=CP1252 ;;
  esac
}

# ini [LINE...]: the configuration beside the program, named after it: the
# LINEs, or stdin, @{} expanded, with CRLF line ends (the last line ended).
ini() {
  local text
  if [ $# -gt 0 ]; then text=$(printf '%s\n' "$@"); else text=$(cat); fi
  printf '%s\n' "$(x "$text")" | sed 's/$/\r/' >"${ZOLTO_EXE%.*}.ini"
}

# files NAME...: empty files in the test folder (NAME/: a folder).
files() {
  local n
  for n; do
    case $n in
      */) mkdir -p "$ZOLTO_TMP/$n" ;;
      *) mkdir -p "$(dirname "$ZOLTO_TMP/$n")" && : >"$ZOLTO_TMP/$n" ;;
    esac || zolto_fail "set-up: cannot create $n"
  done
}

# recorders DIR|PATH.exe...: copies of recorder.exe, as DIR/recorder.exe or
# as PATH.exe (a recorder logs to recorder.log in its own folder).
recorders() {
  local p
  for p; do
    [[ $p == *.exe ]] || p=$p/recorder.exe
    mkdir -p "$ZOLTO_TMP/$(dirname "$p")" && cp "$ZOLTO_TMP/recorder.exe" "$ZOLTO_TMP/$p" ||
      zolto_fail "set-up: cannot copy recorder.exe to $p"
  done
}

# standin_browser PATH.exe: the stand-in browser (standin_browser.c) as PATH
# in the test folder, with the all-magenta pages it copies for the window
# sizes the tests use. $magenta tells their pixels (zolto_pixels).
magenta='r > 0.9 && g < 0.1 && b > 0.9'
standin_browser() {
  local size
  mkdir -p "$ZOLTO_TMP/$(dirname "$1")" && cp "$ZOLTO_E2E_BIN/standin_browser.exe" "$ZOLTO_TMP/$1" ||
    zolto_fail "set-up: no standin_browser.exe"
  for size in 1024x768 800x600; do
    convert -size $size xc:magenta "PNG24:$ZOLTO_TMP/$(dirname "$1")/$size.png" || zolto_fail "set-up: no page picture"
  done
}

# associate PREFIX PROGRAM: files with the extension PREFIX plus this test's
# own suffix (set as ext) open with PROGRAM (in the test folder) until the
# test ends. Wine's shell sees HKCR, not HKCU\Software\Classes.
associate() {
  ext=$1$(basename "$ZOLTO_TMP" | sed 's/.*\.//' | tr 'A-Z' 'a-z')
  zolto_at_exit "zolto_run 30 reg delete 'HKCR\\.$ext' /f; zolto_run 30 reg delete 'HKCR\\${ext}file' /f"
  zolto_run 30 reg add "HKCR\\.$ext" /ve /d "${ext}file" /f &&
    zolto_run 30 reg add "HKCR\\${ext}file\\shell\\open\\command" /ve \
      /d "\"$(x "@{$2}")\" \"%1\"" /f || zolto_fail "set-up: cannot register the .$ext association"
}

# clip PATH... | clip -t TEXT: a file list or text on the clipboard (zt.exe
# setclip), emptied when the test ends.
clip() {
  expand "$@"
  zolto_zt setclip "${args[@]}" || zolto_fail "zt setclip $* failed"
  zolto_at_exit 'zolto_zt setclip -e'
}

# hold deny|lock|clip [PATH]: another program (zt.exe hold) holds PATH open
# without sharing, with its bytes locked, or the clipboard open, until
# unhold. Its flag file lies outside the test folder: no leftover of the
# program's.
hold() {
  flag=$(mktemp -u "${TMPDIR:-/tmp}/zolto-held.XXXXXX")
  zolto_at_exit "rm -f $flag"
  expand "$@"
  timeout -k 5 120 wine "$ZOLTO_E2E_BIN/zt.exe" hold "${args[@]}" "$(zolto_winpath "$flag")" \
    </dev/null >>"$ZOLTO_WINE_LOG" 2>&1 &
  holder=$!
  for _ in $(seq 1 100); do [ -e "$flag" ] && return 0; sleep 0.1; done
  zolto_fail "zt hold $* did not take hold"
}

unhold() {
  rm -f "$flag"
  wait "$holder" || zolto_fail "zt hold failed"
}

# quiet_finish BEFORE: the program ends within 60 s showing no window that
# is not in BEFORE (but those whose name the regex $allow matches), exits 0
# and leaves nothing behind.
quiet_finish() {
  local id name
  for _ in $(seq 1 300); do
    for id in $(zolto_new_windows "$1"); do
      name=$(xdotool getwindowname "$id" 2>/dev/null)
      [[ -n ${allow:-} && $name =~ ^($allow)$ ]] ||
        zolto_fail "a window appeared ('$name' at $(zolto_geometry "$id")) where none should"
    done
    kill -0 "$ZOLTO_PID" 2>/dev/null || break
    sleep 0.2
  done
  finish 1
}

# run ARG...: runs the program with ARG...; see quiet_finish. (It stays in
# last_run for starts.)
run() {
  local before
  last_run=("$@")
  expand "$@"
  before=$(zolto_windows)
  zolto_start 90 "$ZOLTO_EXE" "${args[@]}"
  quiet_finish "$before"
}

# menu ARG...: starts the program with ARG... (the mouse out of the way) and
# waits up to ZOLTO_MENU_WAIT s (default 30) for its menu, or its parameter
# box: a window without a name. Sets menu, before, and mx my mw mh, its place
# and size.
menu() {
  local seconds=${ZOLTO_MENU_WAIT:-30}
  last_run=()
  expand "$@"
  xdotool mousemove 1000 900
  before=$(zolto_windows)
  zolto_start $((seconds + 30)) "$ZOLTO_EXE" "${args[@]}"
  menu=$(zolto_new_window "$seconds" "$before") || zolto_fail "no menu on [$*] appeared within $seconds s"
  [ -z "$(xdotool getwindowname "$menu")" ] ||
    zolto_fail "a window '$(xdotool getwindowname "$menu")' came instead of the menu on [$*]"
  sleep 0.5  # drawn
  read -r mx my mw mh <<<"$(zolto_geometry "$menu")"
}

# menu_on NAME [SYSTEM-LINES [SECTIONS]]: menu on NAME of the test folder
# with a configuration that gives its extension two recorder entries, &Record
# and &Second, and puts the menu at 100,100; SYSTEM-LINES go into [system],
# SECTIONS after the entries.
menu_on() {
  ini <<INI
[system]
@menu=100,100
${2:-}
%end
[\$.${1##*.}]
recorder.exe | &Record
recorder.exe | &Second
%end
${3:-}
INI
  menu "@{$1}"
}

# keys KEY...: the keys (xdotool names) to the menu; typed TEXT types TEXT.
keys() { zolto_keys "$menu" "$@"; }
typed() {
  xdotool windowfocus "$menu" && sleep 0.3 && xdotool type --delay 50 "$1"
}

# click X Y [BUTTON]: a click at X,Y within the menu (the left button, or 3).
click() { xdotool mousemove $((mx + $1)) $((my + $2)) click "${3:-1}"; }

# submenu KEY...: the keys to the menu must open a submenu; sets sub, and sx
# sy sw sh, its place and size.
submenu() {
  keys "$@"
  sub=$(zolto_new_window 10 "$before" "" "$menu") || zolto_fail "$* opened no submenu"
  sleep 0.5  # drawn
  read -r sx sy sw sh <<<"$(zolto_geometry "$sub")"
}

# finish [SECONDS]: the program exits 0 within SECONDS (default 30) and
# leaves no process behind (none whose command line names the test folder:
# the program, a recorder).
finish() {
  local seconds=${1:-30} status left
  zolto_wait "$seconds"
  status=$?
  [ "$status" -ne 124 ] || zolto_fail "$ZOLTO_NAME.exe still ran after $seconds s"
  [ "$status" -eq 0 ] || zolto_fail "$ZOLTO_NAME.exe exited with $status, expected 0"
  for _ in $(seq 1 50); do
    left=$(pgrep -af -- "$(basename "$ZOLTO_TMP")") || return 0
    sleep 0.1
  done
  zolto_fail "$ZOLTO_NAME.exe left processes behind: $left"
}

# escape [WINDOW...]: Escape on each window (default: the menu; a submenu
# before its menu); then as finish, and nothing was started.
escape() {
  local window
  for window in "${@:-$menu}"; do
    zolto_keys "$window" Escape
  done
  finish
  starts
}

# box CAPTION MESSAGE ARG...: starts the program with ARG...; the one window
# it shows is a message box captioned CAPTION that says MESSAGE.
box() {
  local caption=$1 message=$2 line
  shift 2
  last_run=()
  expand "$@"
  before=$(zolto_windows)
  zolto_start 90 "$ZOLTO_EXE" "${args[@]}"
  menu=$(zolto_new_window 30 "$before" "$caption") ||
    zolto_fail "no box captioned '$caption' (visible: $(zolto_zt wintext | tr '\n\t' '| '))"
  line=$(zolto_zt wintext | awk -F '\t' -v c="$caption" '$1 == c { print; exit }')
  grep -qF -- "$message" <<<"$line" || zolto_fail "the box says [$line], not '$message'"
  [ "$(zolto_new_windows "$before")" = "$menu" ] || zolto_fail "more than the box appeared"
}

# dismiss: Return on the box; no other window follows, the program exits 0,
# leaves nothing behind and started nothing.
dismiss() {
  keys Return
  quiet_finish "$before"$'\n'"$menu"
  starts
}

# about: the menu is the target-less one: "v" (its &Version; no target menu
# of the table has a "v") opens the edition's about box; Return closes it.
about() {
  local box
  keys v
  box=$(zolto_new_window 10 "$before" "バージョン情報") || zolto_fail "'v' opened no about box: not the target-less menu"
  zolto_zt wintext | grep -q "^バージョン情報.*$ZOLTO_NAME バージョン" ||
    zolto_fail "the about box says: $(zolto_zt wintext | grep "^バージョン情報" | tr '\t' '|')"
  zolto_keys "$box" Return
  finish
  starts
}

# console STATUS ARG...: runs the (console) program with ARG...; it must exit
# with STATUS. Its output is in $out.
console() {
  local want=$1 status
  shift
  expand "$@"
  out=$ZOLTO_TMP/out.txt
  timeout -k 5 120 wine "$ZOLTO_EXE" "${args[@]}" </dev/null >"$out" 2>>"$ZOLTO_WINE_LOG"
  status=$?
  [ "$status" = "$want" ] || zolto_fail "exit status $status, expected $want:"$'\n'"$(cat "$out")"
}

# starts [-s] [-r] [-d DIR] ARGS...: the recorder in DIR (default the test
# folder) was started once for each ARGS, with those arguments (in the code
# page, read as UTF-8; -r: as the file system resolves them), in that order
# (-s: in any order); no ARGS: never. Waits up to 20 s for the starts, then
# one more second, so that a late extra start shows too.
#
# Wine now and then fails to start a process at all, silently: after a run
# (not a menu) that started nothing where something was expected, the run
# is made once more.
starts() {
  local dir=$ZOLTO_TMP order=cat field=args want have
  while [[ ${1:-} == -[srd] ]]; do
    case $1 in -s) order=sort ;; -r) field=resolved ;; -d) dir=$ZOLTO_TMP/$2 && shift ;; esac
    shift
  done
  expand "$@"
  if [ ${#args[@]} -gt 0 ] && [ ${#last_run[@]} -gt 0 ]; then
    for _ in $(seq 1 200); do [ -z "$(zolto_records "$dir")" ] || break; sleep 0.1; done
    [ -n "$(zolto_records "$dir")" ] || { echo "nothing started; once more" >&2; run "${last_run[@]}"; }
  fi
  for _ in $(seq 1 200); do
    [ "$(zolto_records "$dir" | wc -l)" -ge ${#args[@]} ] && break
    sleep 0.1
  done
  sleep 1
  want=$(printf '%s\n' "${args[@]}" | $order)
  if [ $field = args ]; then  # the command line less the program (quoted or not) and the blank after it
    have=$(zolto_records "$dir" | cut -f1 | sed -E 's/^("[^"]*"|[^ "]*) ?//' | iconv -f "$codepage" -t UTF-8 | $order)
  else
    have=$(zolto_records "$dir" | cut -f4 | $order)
  fi
  [ "$have" = "$want" ] ||
    zolto_fail "the recorder in $dir got"$'\n'"$have"$'\n'"expected"$'\n'"$want"
}

# started_in FOLDER: each recorded start ran in FOLDER.
started_in() {
  local have
  have=$(zolto_records | cut -f2 | sort -u)
  [ "$have" = "$(x "$1")" ] || zolto_fail "the recorder ran in [$have], expected [$(x "$1")]"
}

# at X Y: the menu stands at X,Y.
at() {
  [ "$mx,$my" = "$1,$2" ] || zolto_fail "the menu stands at $mx,$my, expected $1,$2"
}

# snap NAME: a screenshot, ROW.NAME.png in the artifacts folder, as $shot.
snap() {
  shot=$(zolto_screenshot "${ZOLTO_ROW:-$(basename "$0" .sh)}.$1")
}

zolto_start_display || return 1 2>/dev/null || exit 1
zolto_start_wine || return 1 2>/dev/null || exit 1
zolto_keep_desktop
