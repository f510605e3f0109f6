#!/usr/bin/env bash
# Sets up, builds the Windows executables and runs zolto5_c.exe under Wine on
# a sample target, with the example configuration when there is one (else the
# program starts with whatever configuration it finds or creates itself).
#
# With ZOLTO_SAMPLE_DISPLAY=:0 (your X display) the menu shows there and waits
# for you; by default it runs in the virtual display of the tests, takes a
# screenshot after a few seconds, then closes the menu with Escape.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/setup.sh
scripts/build.sh windows

exe=build/windows/bin/zolto5_c.exe
[ -f "$exe" ] || { echo "run-sample: $exe was not built" >&2; exit 1; }

sample="$root/build/sample"
rm -rf "$sample"
mkdir -p "$sample"
# The program with what its release folder holds beside it: the libraries
# it loads (the example's regular-expression header needs BREGEXP.DLL), the
# help and the example configuration.
cp "$exe" build/windows/bin/{BREGEXP.DLL,imgctl.dll,zolto5_c.txt} "$sample/"
if [ -f examples/zolto5_c.ini ]; then
  cp examples/zolto5_c.ini "$sample/"
fi
printf 'A sample target for the launcher.\r\n' >"$sample/sample.txt"

[ -z "${ZOLTO_SAMPLE_DISPLAY:-}" ] || export ZOLTO_DISPLAY=$ZOLTO_SAMPLE_DISPLAY
source tests/e2e/wine-env.sh
target=$(zolto_winpath "$sample/sample.txt")
echo "run-sample: zolto5_c.exe $target (folder $sample)"

if [ -n "${ZOLTO_SAMPLE_DISPLAY:-}" ]; then
  status=0
  timeout 600 wine "$sample/zolto5_c.exe" "$target" </dev/null >/dev/null 2>&1 || status=$?
  echo "run-sample: zolto5_c.exe exited with $status"
  exit 0
fi

before=$(zolto_windows)
zolto_start 120 "$sample/zolto5_c.exe" "$target"
sleep 4
echo "run-sample: screenshot $(zolto_screenshot sample)"
new=$(comm -13 <(echo "$before") <(zolto_windows) | head -n 1)
if [ -n "$new" ]; then
  zolto_keys "$new" Escape || true
fi
if zolto_wait 20; then
  echo "run-sample: zolto5_c.exe exited with 0"
else
  echo "run-sample: zolto5_c.exe exited with $?"
fi
