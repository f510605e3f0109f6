#!/usr/bin/env bash
# Start-to-menu benchmark under Wine: how long from process start until the
# popup menu is on the screen, for
#   minimal   a Win32 program of ours that only opens a two-item popup menu,
#   plain     zolto5_c.exe with a realistic configuration, no icons, no preview,
#   rich      the same with item icons and a text preview,
# run in turns (minimal, plain, rich, minimal, ...) so that the machine's
# noise hits all three alike. Prints min/median/max of each and the ratios of
# the medians to the minimal program's, then the executables' sizes and the
# DLLs they import. Absolute times mean little on a shared machine; the
# ratios are the result.
#   bench/start_to_menu.sh [ROUNDS]     (default 15; needs the windows build)
# ZOLTO_BENCH_EXE names another zolto5_c.exe to time (an older build, to
# compare against).
# Uses the end-to-end tests' Wine prefix and virtual display (ZOLTO_WINEPREFIX,
# ZOLTO_DISPLAY override them).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-15}
bin=$root/build/windows/bin
benchbin=$root/build/windows/bench
exe=${ZOLTO_BENCH_EXE:-$bin/zolto5_c.exe}
for f in "$exe" "$bin/BREGEXP.DLL" "$benchbin/minimal_menu.exe" "$benchbin/menutimer.exe"; do
  [ -f "$f" ] || { echo "missing $f: build the windows preset first (scripts/build.sh)" >&2; exit 1; }
done
source "$root/tests/e2e/wine-env.sh"
zolto_start_display
zolto_start_wine
zolto_new_workdir

# A configuration such as a user grows: [system] settings, "[all]", and 60
# sections of every header kind with parameter lines, separators and groups;
# programs every Wine prefix has.
write_config() {  # write_config FILE EXTRA-SYSTEM-LINES
  {
    printf '[system]\n@menu=mouse\n%b%%end\n' "$2"
    printf '[all]\nnotepad.exe | &Notepad\nexplorer.exe | &Explorer\n%%end\n'
    for i in $(seq 1 60); do
      case $((i % 6)) in
        0) printf '[$.ext%d]\n' "$i" ;;
        1) printf '[^C:\\Data%d\\]\n' "$i" ;;
        2) printf '[-proj%d&&$.txt]\n' "$i" ;;
        3) printf '[$.doc%d][url]\n' "$i" ;;
        4) printf '[^C:\\Arc%d]_[$.zip]#\n' "$i" ;;
        5) printf '[!m/\\.x%d$/i]\n' "$i" ;;
      esac
      printf 'notepad.exe | Edit %d\n> "%%P" | Open %d\n+\n{Group %d\nregedit.exe | Registry\n}\n%%end\n' \
        "$i" "$i" "$i"
    done
    printf '[$.txt]\nnotepad.exe | &Edit\n> /p "%%P" | &Print\nregedit.exe | &Registry\n'
    printf 'explorer.exe | &Folder\n] /select,"%%P" | &Select\n%%end\n'
  } | sed 's/$/\r/' >"$1"
}
for variant in plain rich; do
  mkdir -p "$ZOLTO_TMP/$variant"
  cp "$exe" "$ZOLTO_TMP/$variant/zolto5_c.exe"
  cp "$bin/BREGEXP.DLL" "$ZOLTO_TMP/$variant/"
done
write_config "$ZOLTO_TMP/plain/zolto5_c.ini" ''
write_config "$ZOLTO_TMP/rich/zolto5_c.ini" '@icon\n@text=1,300,12\n'
cp "$benchbin/minimal_menu.exe" "$benchbin/menutimer.exe" "$ZOLTO_TMP/"
for n in $(seq 1 40); do echo "line $n of the report, long enough to be cut by the preview"; done \
  | sed 's/$/\r/' >"$ZOLTO_TMP/report.txt"
target=$(zolto_winpath "$ZOLTO_TMP/report.txt")
xdotool mousemove 400 300

declare -A command=(
  [minimal]="$(zolto_winpath "$ZOLTO_TMP/minimal_menu.exe")"
  [plain]="$(zolto_winpath "$ZOLTO_TMP/plain/zolto5_c.exe") $target"
  [rich]="$(zolto_winpath "$ZOLTO_TMP/rich/zolto5_c.exe") $target"
)
declare -A times=([minimal]="" [plain]="" [rich]="")
timer=$(zolto_winpath "$ZOLTO_TMP/menutimer.exe")
# One unmeasured round first: the first start of a program under Wine pays
# for loading its DLLs from disk.
for round in $(seq 0 "$rounds"); do
  for name in minimal plain rich; do
    ms=$(timeout -k 5 60 wine "$timer" 1 ${command[$name]} </dev/null 2>>"$ZOLTO_WINE_LOG" | tr -d '\r')
    [ "$round" -eq 0 ] && continue
    case $ms in
      ''|-*) echo "round $round: $name showed no menu (${ms:-no output})" >&2 ;;
      *) times[$name]+="$ms " ;;
    esac
  done
done

python3 - "${times[minimal]}" "${times[plain]}" "${times[rich]}" <<'PY'
import statistics, sys
names = ["minimal", "plain", "rich"]
series = {n: sorted(float(x) for x in s.split()) for n, s in zip(names, sys.argv[1:])}
if not series["minimal"]:
    sys.exit("the minimal program showed no menu")
base = statistics.median(series["minimal"])
print(f"{'program':10} {'runs':>4} {'min ms':>8} {'median':>8} {'max':>8} {'median/minimal':>15}")
for n in names:
    t = series[n]
    if not t:
        print(f"{n:10} no menu")
        continue
    print(f"{n:10} {len(t):4} {t[0]:8.1f} {statistics.median(t):8.1f} {t[-1]:8.1f} "
          f"{statistics.median(t) / base:15.2f}")
PY

echo
echo "executable sizes and DLL imports:"
objdump=$(command -v x86_64-w64-mingw32-objdump || command -v objdump)
for f in "$exe" "$bin/zolto5.exe" "$benchbin/minimal_menu.exe"; do
  [ -f "$f" ] || continue
  imports=$("$objdump" -p "$f" | sed -n 's/^\s*DLL Name: //p' | sort -f | tr '\n' ' ')
  printf '  %-16s %8d bytes  %s\n' "$(basename "$f")" "$(stat -c %s "$f")" "$imports"
done
