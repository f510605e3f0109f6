# Wine in a virtual display, for the end-to-end tests. Source it:
#   source tests/e2e/wine-env.sh
# It exports WINEDEBUG, WINEPREFIX and DISPLAY, starts Xvfb on the display if
# nothing answers there, creates the Wine prefix once (it is reused by later
# runs) and keeps a wineserver alive between runs (for 10 minutes after the
# last one). Then it defines the zolto_* helpers the tests use.
#
# Overrides: ZOLTO_WINEPREFIX (default build/wineprefix), ZOLTO_DISPLAY
# (default :93), ZOLTO_E2E_ARTIFACTS (screenshots; default build/windows/e2e-artifacts),
# ZOLTO_E2E_BIN (the test helpers; default build/windows/tests/e2e/bin).
#
# Daemons (Xvfb, wineboot's services, wineserver) are started with their
# output sent to /dev/null: they would otherwise inherit the caller's pipes and
# a caller that waits for those pipes to close (ctest, $(...)) would hang.

zolto_e2e_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
zolto_root=$(cd "$zolto_e2e_dir/../.." && pwd)

export WINEDEBUG=-all
export WINEPREFIX=${ZOLTO_WINEPREFIX:-$zolto_root/build/wineprefix}
export DISPLAY=${ZOLTO_DISPLAY:-:93}
export ZOLTO_E2E_ARTIFACTS=${ZOLTO_E2E_ARTIFACTS:-$zolto_root/build/windows/e2e-artifacts}
export ZOLTO_E2E_BIN=${ZOLTO_E2E_BIN:-$zolto_root/build/windows/tests/e2e/bin}

# zolto_fail MESSAGE...: reports the failure (with the end of the Wine log of
# this test, when there is one) and ends the test.
zolto_fail() {
  echo "FAIL: $*" >&2
  if [ -s "${ZOLTO_WINE_LOG:-/dev/null}" ]; then
    echo "--- end of $ZOLTO_WINE_LOG:" >&2
    tail -n 20 "$ZOLTO_WINE_LOG" >&2
  fi
  exit 1
}

zolto_display_alive() {
  xdotool getdisplaygeometry >/dev/null 2>&1
}

zolto_start_display() {
  zolto_display_alive && return 0
  setsid -f Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp \
    </dev/null >/dev/null 2>&1 || true
  for _ in $(seq 1 100); do
    zolto_display_alive && return 0
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
  if [ -z "${ZOLTO_KEEP_TMP:-}" ]; then
    trap 'zolto_cleanup' EXIT
  else
    echo "keeping $ZOLTO_TMP" >&2
  fi
}

zolto_cleanup() {
  if [ -n "${ZOLTO_PID:-}" ] && kill -0 "$ZOLTO_PID" 2>/dev/null; then
    kill "$ZOLTO_PID" 2>/dev/null
  fi
  if [ -n "${ZOLTO_TMP:-}" ]; then
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

# zolto_start SECONDS EXE [ARG...]: starts EXE under Wine in the background
# (ended after SECONDS at the latest); sets ZOLTO_PID.
#
# The programs under test exit 0. Now and then Wine ends a process with
# status 1 before any of its code has run (at times saying "failed to map
# the shared user data", at times silently). Such a run, status 1 with no
# start recorded by the recorder, is made once more; a second one stands.
zolto_start() {
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
# UTF-8, "caption<TAB>child text<TAB>..." (see wintext.c).
zolto_window_texts() {
  local file
  file=$(mktemp)
  timeout -k 5 30 wine "$ZOLTO_E2E_BIN/wintext.exe" </dev/null >"$file" 2>/dev/null
  cat "$file"
  rm -f "$file"
}

# zolto_close_menus SECONDS BEFORE [SHOT]: waits for the program from
# zolto_start to end, closing with Escape each popup menu it opens (a new
# visible window with no name; BEFORE is the zolto_windows list taken before
# the start). The first menu is saved as screenshot SHOT. A new window that
# has a name (a message box, a dialog) fails the test. Returns the program's
# exit status, or 124 when it still runs after SECONDS (it is then ended).
zolto_close_menus() {
  local seconds=$1 before=$2 shot=${3:-} closed="" id name
  for _ in $(seq 1 $((seconds * 5))); do
    if ! kill -0 "$ZOLTO_PID" 2>/dev/null; then
      wait "$ZOLTO_PID"
      return $?
    fi
    for id in $(comm -13 <(echo "$before") <(zolto_windows)); do
      grep -qx "$id" <<<"$closed" && continue
      name=$(xdotool getwindowname "$id" 2>/dev/null) || continue
      [ -z "$name" ] ||
        zolto_fail "unexpected window '$name': $(zolto_window_texts | tr '\n\t' '| ')"
      if [ -n "$shot" ]; then
        echo "screenshot: $(zolto_screenshot "$shot")"
        shot=""
      fi
      zolto_keys "$id" Escape
      closed+="$id"$'\n'
    done
    sleep 0.2
  done
  kill "$ZOLTO_PID" 2>/dev/null
  wait "$ZOLTO_PID" 2>/dev/null
  return 124
}

# The visible X windows, one id a line, sorted.
zolto_windows() {
  xdotool search --onlyvisible --name '' 2>/dev/null | sort
}

# zolto_find_window NAME SECONDS [BEFORE]: prints the id of a visible window
# whose name is exactly NAME (an extended regex is allowed) and that is not in
# BEFORE (a list from zolto_windows taken before the program started); waits
# up to SECONDS. Returns 1 when none appeared.
zolto_find_window() {
  local name=$1 seconds=$2 before=${3:-} id
  for _ in $(seq 1 $((seconds * 5))); do
    for id in $(xdotool search --onlyvisible --name "^${name}\$" 2>/dev/null); do
      if ! grep -qx "$id" <<<"$before"; then
        echo "$id"
        return 0
      fi
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

# zolto_wine_keys +KEY|-KEY ...: presses (+) or releases (-) keys (shift,
# ctrl) through Wine's own input (sendkeys.c). A release that xdotool sends
# after the focused menu has closed reaches no Wine window, and Wine would go
# on seeing the key held.
zolto_wine_keys() {
  timeout -k 5 30 wine "$ZOLTO_E2E_BIN/sendkeys.exe" "$@" </dev/null \
    >>"${ZOLTO_WINE_LOG:-/dev/null}" 2>&1
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
  sed 's/$/\r/' >"$ZOLTO_TMP/$ZOLTO_NAME.ini"
}

# zolto_records [DIR]: the recorder's log in DIR (default ZOLTO_TMP), one
# start a line: "command line<TAB>current folder<TAB>creation time in ms",
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

# zolto_settle SECONDS COUNT [DIR]: waits up to SECONDS until the log in DIR
# holds COUNT starts, then one more second so that a late extra start shows
# too; prints the number of starts.
zolto_settle() {
  local seconds=$1 count=$2 dir=${3:-$ZOLTO_TMP}
  for _ in $(seq 1 $((seconds * 10))); do
    [ "$(zolto_records "$dir" | wc -l)" -ge "$count" ] && break
    sleep 0.1
  done
  sleep 1
  zolto_records "$dir" | wc -l
}

# zolto_expect_starts COUNT [DIR]: fails unless the recorder in DIR was
# started exactly COUNT times (waits up to 20 s for them).
zolto_expect_starts() {
  local count=$1 dir=${2:-$ZOLTO_TMP} have
  have=$(zolto_settle 20 "$count" "$dir")
  [ "$have" -eq "$count" ] || zolto_fail "recorder in $dir started $have times, expected $count:" \
    "$(zolto_records "$dir" | cut -f1 | tr '\n' '|')"
}

# zolto_leftovers: the processes whose command line names the test folder
# (the program, a recorder), as "pid args" lines.
zolto_leftovers() {
  pgrep -af -- "$(basename "$ZOLTO_TMP")"
}

# zolto_finish SECONDS [WHAT]: waits for the program from zolto_start to end;
# fails unless it exits 0 within SECONDS and leaves no process behind.
zolto_finish() {
  local seconds=$1 what=${2:-$ZOLTO_NAME.exe} status left
  zolto_wait "$seconds"
  status=$?
  [ "$status" -ne 124 ] || zolto_fail "$what still ran after $seconds s"
  [ "$status" -eq 0 ] || zolto_fail "$what exited with $status, expected 0"
  for _ in $(seq 1 50); do
    left=$(zolto_leftovers) || return 0
    sleep 0.1
  done
  zolto_fail "$what left processes behind: $left"
}

# zolto_new_windows BEFORE: the visible windows not in BEFORE (a
# zolto_windows list), one id a line.
zolto_new_windows() {
  comm -13 <(echo "$1") <(zolto_windows)
}

# zolto_new_window SECONDS BEFORE: prints the id of a visible window that is
# not in BEFORE, waiting up to SECONDS; returns 1 when none appeared. Popup
# menus and the parameter box have no name.
zolto_new_window() {
  local seconds=$1 before=$2 id
  for _ in $(seq 1 $((seconds * 5))); do
    id=$(zolto_new_windows "$before" | head -n 1)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.2
  done
  return 1
}

# zolto_open_menu SECONDS WHAT ARG...: starts ZOLTO_EXE with ARG... (the
# mouse out of the way), waits at most SECONDS for its menu and sets menu,
# before, and mx my mw mh (the menu window's place and size); fails the test,
# naming WHAT, when no menu appears.
zolto_open_menu() {
  local seconds=$1 what=$2
  shift 2
  xdotool mousemove 1000 900
  before=$(zolto_windows)
  zolto_start $((seconds + 30)) "$ZOLTO_EXE" "$@"
  menu=$(zolto_new_window "$seconds" "$before") ||
    zolto_fail "$what: no menu appeared within $seconds s"
  sleep 0.5  # drawn
  read -r mx my mw mh <<<"$(zolto_geometry "$menu")"
}

# zolto_finish_windowless SECONDS BEFORE: zolto_finish, failing as well when
# the program shows any window (a menu, a box) on the way.
zolto_finish_windowless() {
  local seconds=$1 before=$2 id
  for _ in $(seq 1 $((seconds * 5))); do
    id=$(zolto_new_windows "$before" | head -n 1)
    if [ -n "$id" ]; then
      zolto_screenshot "$ZOLTO_NAME.unexpected-window" >/dev/null
      zolto_fail "a window appeared ('$(xdotool getwindowname "$id" 2>/dev/null)'," \
        "$(zolto_window_at "$id")) where none should"
    fi
    kill -0 "$ZOLTO_PID" 2>/dev/null || break
    sleep 0.2
  done
  kill -0 "$ZOLTO_PID" 2>/dev/null && zolto_fail "$ZOLTO_NAME.exe still ran after $seconds s"
  zolto_finish 1
}

# zolto_window_at WINDOW: the window's top-left corner as "X,Y".
zolto_window_at() {
  xdotool getwindowgeometry "$1" 2>/dev/null | sed -nE 's/^ *Position: ([0-9-]+),([0-9-]+).*/\1,\2/p'
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

# zolto_highlight SHOT X Y W H: the highlighted item of the menu window at
# X,Y of size WxH in SHOT: prints "TOP HEIGHT", its rows within the window;
# fails when no item is highlighted. (It looks at a strip 8 px wide: Image-
# Magick finds no box in a part 1 px wide.)
zolto_highlight() {
  local found h top
  found=$(zolto_pixels "$1" "8x$5+$(($2 + 4))+$3" 'b > 0.9 && r < 0.4 && g > 0.4')
  IFS='x+' read -r _ h _ top <<<"${found% *}"
  [ "${found#* }" -gt 0 ] && echo "$top $h"
}

# zolto_text_mask SHOT WxH+X+Y OUT: writes the dark pixels (text) of that
# part as white on black to the image OUT, cut to the box around them;
# fails when there are none.
zolto_text_mask() {
  local found
  found=$(zolto_ink "$1" "$2")
  [ "${found#* }" -gt 0 ] 2>/dev/null &&
    convert "$1" -crop "$2" +repage -colorspace gray -threshold 50% -negate \
      -trim +repage "$3" 2>/dev/null
}

# zolto_text_starts_with WHOLE PART: true when the text mask WHOLE (from
# zolto_text_mask) begins with PART: its columns as wide as PART, cut to their
# box again, are PART pixel for pixel. Two texts drawn in the same font this
# way are the same text.
zolto_text_starts_with() {
  local width head same=1
  width=$(identify -format '%w' "$2" 2>/dev/null) || return 1
  head=$(mktemp --suffix=.png)
  if convert "$1" -crop "${width}x1000+0+0" +repage -trim +repage "$head" 2>/dev/null &&
    [ "$(identify -format '%wx%h' "$head")" = "$(identify -format '%wx%h' "$2")" ] &&
    [ "$(compare -metric AE "$head" "$2" null: 2>&1)" = 0 ]; then
    same=0
  fi
  rm -f "$head"
  return $same
}

zolto_start_display || return 1 2>/dev/null || exit 1
zolto_start_wine || return 1 2>/dev/null || exit 1
