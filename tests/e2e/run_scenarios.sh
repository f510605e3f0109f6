#!/usr/bin/env bash
# The end-to-end scenario driver: runs the rows of scenarios.sh one after
# another, all in one Wine prefix and one X display (wine-env.sh).
#   run_scenarios.sh [GROUP]   the rows named GROUP.* (without GROUP, all)
#   ZOLTO_ROWS=REGEX           of those, the rows whose name REGEX matches
#   ZOLTO_KEEP_TMP=1           keeps each row's folder
#   ZOLTO_VERBOSE=1            prints what each row printed, passed or not
# Prints "ok ROW (S s)", or "FAIL ROW (S s)" followed by what
# the row printed: the reason, a screenshot, the end of its Wine log. Exits 1
# when a row failed, 77 when no row was chosen.
#
# A row is a function; it runs in a subshell of its own (a failed check ends
# that row alone) in a fresh folder holding zolto5_c.exe and recorder.exe,
# under LC_ALL=ja_JP.UTF-8 (code page 932). The verbs below are what rows
# say. An argument or line written @{NAME} becomes the Windows path of NAME
# in the row's folder (@{} the folder itself). The programs come from
# ZOLTO_FULL_EXE, ZOLTO_BASIC_EXE and ZOLTO_CHECK_EXE, the folder they were
# built in from ZOLTO_BIN (default: those of the windows preset), the
# resource compiler from ZOLTO_WINDRES.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh" || exit 1
: "${ZOLTO_BIN:=$zolto_root/build/windows/bin}" "${ZOLTO_WINDRES:=x86_64-w64-mingw32-windres}"
: "${ZOLTO_FULL_EXE:=$ZOLTO_BIN/zolto5_c.exe}" "${ZOLTO_BASIC_EXE:=$ZOLTO_BIN/zolto5.exe}"
: "${ZOLTO_CHECK_EXE:=$ZOLTO_BIN/zolto5_check.exe}" "${ZOLTO_EXAMPLE_INI:=$zolto_root/examples/zolto5_c.ini}"

# ---- Set-up ----

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

# edition full|basic|check [PATH]: the program the row runs from here on
# (zolto5_c.exe, zolto5.exe or zolto5_check.exe), copied into the row's
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
# LINEs, or stdin, @{} expanded, with CRLF line ends.
ini() {
  local text
  if [ $# -gt 0 ]; then text=$(printf '%s\n' "$@"); else text=$(cat); fi
  printf '%s\n' "$(x "$text")" | zolto_ini
}

# files NAME...: empty files in the row's folder (NAME/: a folder).
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

# associate PREFIX PROGRAM: files with the extension PREFIX plus this row's
# own suffix (set as ext) open with PROGRAM (in the row's folder) until the
# row ends. Wine's shell sees HKCR, not HKCU\Software\Classes.
associate() {
  ext=$1$(basename "$ZOLTO_TMP" | sed 's/.*\.//' | tr 'A-Z' 'a-z')
  zolto_at_exit "zolto_run 30 reg delete 'HKCR\\.$ext' /f; zolto_run 30 reg delete 'HKCR\\${ext}file' /f"
  zolto_run 30 reg add "HKCR\\.$ext" /ve /d "${ext}file" /f &&
    zolto_run 30 reg add "HKCR\\${ext}file\\shell\\open\\command" /ve \
      /d "\"$(x "@{$2}")\" \"%1\"" /f || zolto_fail "set-up: cannot register the .$ext association"
}

# clip PATH... | clip -t TEXT: a file list or text on the clipboard (zt.exe
# setclip), emptied when the row ends.
clip() {
  expand "$@"
  zolto_zt setclip "${args[@]}" || zolto_fail "zt setclip $* failed"
  zolto_at_exit 'zolto_zt setclip -e'
}

# hold deny|lock|clip [PATH]: another program (zt.exe hold) holds PATH open
# without sharing, with its bytes locked, or the clipboard open, until
# unhold. Its flag file lies outside the row's folder: no leftover of the
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

# ---- Actions ----

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
  zolto_finish 1
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

# menu ARG...: starts the program with ARG... and waits up to 30 s for its
# menu, or its parameter box: a window without a name. Sets menu, and mx my
# mw mh, its place and size.
menu() {
  last_run=()
  expand "$@"
  zolto_open_menu 30 "the menu on [$*]" "${args[@]}"
}

# menu_on NAME [SYSTEM-LINES [SECTIONS]]: menu on NAME of the row's folder
# with two entries for its extension, at 100,100 (zolto_menu_on).
menu_on() { zolto_menu_on "$ZOLTO_TMP/$1" "${@:2}"; }

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

# finish: the program exits 0 within 30 s and leaves nothing behind.
finish() { zolto_finish 30; }

# escape [WINDOW...]: Escape on each window (default: the menu); then as
# finish, and nothing was started.
escape() { zolto_escape "${@:-$menu}"; }

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
    zolto_fail "no box captioned '$caption' (visible: $(zolto_window_texts | tr '\n\t' '| '))"
  line=$(zolto_window_texts | awk -F '\t' -v c="$caption" '$1 == c { print; exit }')
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
  zolto_window_texts | grep -q "^バージョン情報.*$ZOLTO_NAME バージョン" ||
    zolto_fail "the about box says: $(zolto_window_texts | grep "^バージョン情報" | tr '\t' '|')"
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

# ---- Checks ----

# starts [-s] [-r] [-d DIR] ARGS...: the recorder in DIR (default the row's
# folder) was started once for each ARGS, with those arguments (in the code
# page, read as UTF-8; -r: as the file system resolves them), in that order
# (-s: in any order); no ARGS: never.
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
  zolto_expect_starts ${#args[@]} "$dir"
  want=$(printf '%s\n' "${args[@]}" | $order)
  if [ $field = args ]; then
    have=$(zolto_args "$dir" | iconv -f "$codepage" -t UTF-8 | $order)
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
  shot=$(zolto_screenshot "$ZOLTO_ROW.$1")
}

# says TEXT...: the console output holds each TEXT (@{} expanded).
says() {
  local t
  for t; do
    grep -qiF -- "$(x "$t")" "$out" || zolto_fail "the output lacks [$(x "$t")]:"$'\n'"$(cat "$out")"
  done
}

# holds DIR NAMES: the folder DIR holds exactly NAMES (blank-separated,
# sorted), its configurations all empty.
holds() {
  local have
  have=$(ls -A "$ZOLTO_TMP/$1" | sort | xargs)
  [ "$have" = "$2" ] || zolto_fail "$1 holds [$have], expected [$2]"
  [ -z "$(find "$ZOLTO_TMP/$1" -name '*.ini' -size +0c)" ] || zolto_fail "a configuration in $1 was written to"
}

# highlight: the highlighted item of the menu in $shot: sets hl_top and hl_h,
# its rows within the menu; fails when no item at least 12 px high is. (A
# strip 8 px wide: ImageMagick finds no box in a part 1 px wide.)
highlight() {
  local found
  found=$(zolto_pixels "$shot" "8x$mh+$((mx + 4))+$my" 'b > 0.9 && r < 0.4 && g > 0.4')
  IFS='x+' read -r _ hl_h _ hl_top <<<"${found% *}"
  ((${found#* } > 0 && hl_h >= 12)) || zolto_fail "no highlighted item in the menu ($found)"
}

# text_mask SHOT WxH+X+Y OUT: the dark pixels (text) of that part as white on
# black, cut to their box, into the image OUT; fails when there are none.
text_mask() {
  local found
  found=$(zolto_ink "$1" "$2")
  [ "${found#* }" -gt 0 ] 2>/dev/null &&
    convert "$1" -crop "$2" +repage -colorspace gray -threshold 50% -negate -trim +repage "$3" 2>/dev/null
}

# header_submenu NAME: for a preview in the submenu of the menu's header
# (its last item): keeps the header's text as header.png, opens the submenu
# (Up to the header, Right), takes the highlight off its first item (Down),
# and snaps NAME.
header_submenu() {
  snap "$1_header"
  text_mask "$shot" "$((mw - 6))x20+$((mx + 3))+$((my + mh - 23))" "$ZOLTO_TMP/header.png" ||
    zolto_fail "no header text at the bottom of the menu"
  submenu Up Right
  zolto_keys "$sub" Down
  sleep 0.5
  snap "$1_submenu"
}

# first_item_reads HEIGHT TEXT: the submenu's first item (HEIGHT px) reads
# TEXT. The target is named after TEXT, so the header, in the same font,
# begins with it: the item's text mask and the header's, cut to the same
# width and trimmed, must match pixel for pixel.
first_item_reads() {
  local width
  text_mask "$shot" "$((sw - 6))x$1+$((sx + 3))+$((sy + 3))" "$ZOLTO_TMP/item.png" ||
    zolto_fail "the submenu's first item shows no text"
  width=$(identify -format '%w' "$ZOLTO_TMP/item.png")
  convert "$ZOLTO_TMP/header.png" -crop "${width}x1000+0+0" +repage -trim +repage "$ZOLTO_TMP/head.png" &&
    [ "$(identify -format '%wx%h' "$ZOLTO_TMP/head.png")" = "$(identify -format '%wx%h' "$ZOLTO_TMP/item.png")" ] &&
    [ "$(compare -metric AE "$ZOLTO_TMP/head.png" "$ZOLTO_TMP/item.png" null: 2>&1)" = 0 ] ||
    zolto_fail "the submenu's first item does not read \"$2\" (unlike the header naming it)"
}

# ---- The runner ----

# run_row ROW: in a fresh folder, the row, then no window or process of it
# may be left.
run_row() {
  local before left
  locale ja
  ZOLTO_ROW=$1 last_run=()
  before=$(zolto_windows)
  zolto_setup "$ZOLTO_FULL_EXE"
  # What a failed check leaves running is ended, by its id.
  zolto_at_exit 'for p in $(pgrep -f -- "$(basename "$ZOLTO_TMP")"); do kill "$p" 2>/dev/null; done'
  "$1"
  left=$(zolto_new_windows "$before")
  [ -z "$left" ] || zolto_fail "windows were left open: $(zolto_window_texts | tr '\n\t' '| ')"
  left=$(pgrep -af -- "$(basename "$ZOLTO_TMP")") && zolto_fail "processes were left: $left"
  return 0
}

source "$here/scenarios.sh"
mapfile -t rows < <(sed -nE 's/^([a-z]+\.[a-z0-9_]+)\(\) \{.*/\1/p' "$here/scenarios.sh" |
  grep -E "^${1:-[a-z]+}\." | grep -E -- "${ZOLTO_ROWS:-.}")
[ ${#rows[@]} -gt 0 ] || { echo "no row named ${1:-*}.* matches '${ZOLTO_ROWS:-}'"; exit 77; }
# A row's output goes to a file: a process it leaves would hold a pipe open.
output=$(mktemp)
trap 'rm -f "$output"' EXIT
failed=()
for row in "${rows[@]}"; do
  SECONDS=0
  (run_row "$row") >"$output" 2>&1
  case $? in
    0)
      echo "ok   $row ($SECONDS s)"
      [ -z "${ZOLTO_VERBOSE:-}" ] || sed 's/^/    /' "$output"
      ;;
    *)
      echo "FAIL $row ($SECONDS s)"
      sed 's/^/    /' "$output"
      failed+=("$row")
      ;;
  esac
done
echo "${#rows[@]} rows, ${#failed[@]} failed${failed[*]:+: ${failed[*]}}"
[ ${#failed[@]} -eq 0 ]
