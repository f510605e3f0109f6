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
# that row alone) in a fresh folder (new_row) and says what it does with the
# verbs of wine-env.sh.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh" || exit 1

# run_row ROW: in a fresh folder, the row, then no window or process of it
# may be left.
run_row() {
  local before left
  ZOLTO_ROW=$1
  before=$(zolto_windows)
  new_row
  "$1"
  left=$(zolto_new_windows "$before")
  [ -z "$left" ] || zolto_fail "windows were left open: $(zolto_zt wintext | tr '\n\t' '| ')"
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
