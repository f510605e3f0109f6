# Wine in a virtual display, for the end-to-end tests. Source it:
#   source tests/e2e/wine-env.sh
# It exports WINEDEBUG, WINEPREFIX and DISPLAY, starts Xvfb on the display if
# nothing answers there, creates the Wine prefix once (it is reused by later
# runs) and keeps a wineserver alive between runs (for 10 minutes after the
# last one). Then it defines the zolto_* helpers that the scenario driver
# (run_scenarios.sh) and the scripts of their own use.
#
# Overrides: ZOLTO_WINEPREFIX (default build/wineprefix), ZOLTO_DISPLAY
# (default :93), ZOLTO_E2E_ARTIFACTS (screenshots; default build/windows/e2e-artifacts),
# ZOLTO_E2E_BIN (the test helpers; default build/windows/tests/e2e/bin).
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

# zolto_fail MESSAGE...: reports the failure (with a screenshot of the display
# and the end of the Wine log of this test, when there is one) and ends the
# test (a row of the table, or a script).
zolto_fail() {
  echo "FAIL: $*" >&2
  [ -z "${ZOLTO_NAME:-}" ] ||
    echo "screenshot: $(zolto_screenshot "${ZOLTO_ROW:-$ZOLTO_NAME.$(basename "$0" .sh)}.failed")" >&2
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

zolto_cleanup() {
  eval "${ZOLTO_AT_EXIT:-}"
  if [ -n "${ZOLTO_PID:-}" ] && kill -0 "$ZOLTO_PID" 2>/dev/null; then
    kill "$ZOLTO_PID" 2>/dev/null
  fi
  if [ -n "${ZOLTO_TMP:-}" ] && [ -z "${ZOLTO_KEEP_TMP:-}" ]; then
    rm -rf "$ZOLTO_TMP" "$ZOLTO_TMP.wine.log"
  fi
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

# zolto_window_texts: each visible Windows top-level window as a line of
# UTF-8, "caption<TAB>child text<TAB>..." (zt.exe wintext).
zolto_window_texts() {
  zolto_zt wintext
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

# ---- Launching tests: a test folder holding the program and the recorder ----

# zolto_setup EXE: a fresh test folder (see zolto_new_workdir) holding a copy
# of EXE and of recorder.exe. Sets ZOLTO_EXE (the copy) and ZOLTO_NAME (its
# base name, e.g. zolto5_c).
zolto_setup() {
  zolto_new_workdir
  ZOLTO_NAME=$(basename "$1" .exe)
  ZOLTO_EXE=$ZOLTO_TMP/$ZOLTO_NAME.exe
  cp "$1" "$ZOLTO_EXE" && cp "$ZOLTO_E2E_BIN/recorder.exe" "$ZOLTO_TMP/" ||
    zolto_fail "test set-up: cannot copy $1 and recorder.exe into $ZOLTO_TMP"
}

# zolto_ini: writes stdin as the configuration beside ZOLTO_EXE, with CRLF
# line ends (a here-document ends its last line, which the program needs).
zolto_ini() {
  sed 's/$/\r/' >"${ZOLTO_EXE%.*}.ini"
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

# zolto_args [DIR]: the arguments of each recorded start: the command line
# without the program (quoted or not) and the blank after it.
zolto_args() {
  zolto_records "$@" | cut -f1 | sed -E 's/^("[^"]*"|[^ "]*) ?//'
}

# zolto_expect_starts COUNT [DIR]: fails unless the recorder in DIR was
# started exactly COUNT times. Waits up to 20 s for them, then one more
# second, so that a late extra start shows too.
zolto_expect_starts() {
  local count=$1 dir=${2:-$ZOLTO_TMP} have
  for _ in $(seq 1 200); do
    [ "$(zolto_records "$dir" | wc -l)" -ge "$count" ] && break
    sleep 0.1
  done
  sleep 1
  have=$(zolto_records "$dir" | wc -l)
  [ "$have" -eq "$count" ] || zolto_fail "recorder in $dir started $have times, expected $count:" \
    "$(zolto_records "$dir" | cut -f1 | tr '\n' '|')"
}

# zolto_finish SECONDS [WHAT]: waits for the program from zolto_start to end;
# fails unless it exits 0 within SECONDS and leaves no process behind (none
# whose command line names the test folder: the program, a recorder).
zolto_finish() {
  local seconds=$1 what=${2:-$ZOLTO_NAME.exe} status left
  zolto_wait "$seconds"
  status=$?
  [ "$status" -ne 124 ] || zolto_fail "$what still ran after $seconds s"
  [ "$status" -eq 0 ] || zolto_fail "$what exited with $status, expected 0"
  for _ in $(seq 1 50); do
    left=$(pgrep -af -- "$(basename "$ZOLTO_TMP")") || return 0
    sleep 0.1
  done
  zolto_fail "$what left processes behind: $left"
}

# ---- Menus ----

# zolto_open_menu SECONDS WHAT ARG...: starts ZOLTO_EXE with ARG... (the
# mouse out of the way), waits at most SECONDS for its menu (a window with
# no name) and sets menu, before, and mx my mw mh (the menu window's place
# and size); fails the test, naming WHAT, when no menu appears.
zolto_open_menu() {
  local seconds=$1 what=$2
  shift 2
  xdotool mousemove 1000 900
  before=$(zolto_windows)
  zolto_start $((seconds + 30)) "$ZOLTO_EXE" "$@"
  menu=$(zolto_new_window "$seconds" "$before") ||
    zolto_fail "$what: no menu appeared within $seconds s"
  [ -z "$(xdotool getwindowname "$menu")" ] ||
    zolto_fail "$what: a window '$(xdotool getwindowname "$menu")' came instead of the menu"
  sleep 0.5  # drawn
  read -r mx my mw mh <<<"$(zolto_geometry "$menu")"
}

# zolto_menu_on TARGET [SYSTEM-LINES [SECTIONS]]: zolto_open_menu (waiting
# ZOLTO_MENU_WAIT s, default 30) on TARGET with a configuration that gives
# its extension two recorder entries, &Record and &Second, and puts the menu
# at 100,100; SYSTEM-LINES go into [system], SECTIONS after the entries.
zolto_menu_on() {
  zolto_ini <<INI
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
  zolto_open_menu "${ZOLTO_MENU_WAIT:-30}" "'${2:-}'" "$(zolto_winpath "$1")"
}

# zolto_escape WINDOW...: Escape on each window (a submenu before its menu);
# the program must then exit 0, leave nothing behind and have started
# nothing.
zolto_escape() {
  local window
  for window in "$@"; do
    zolto_keys "$window" Escape
  done
  zolto_finish 30
  zolto_expect_starts 0
}

# ---- Looking at menus in screenshots ----

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

zolto_start_display || return 1 2>/dev/null || exit 1
zolto_start_wine || return 1 2>/dev/null || exit 1
zolto_keep_desktop
