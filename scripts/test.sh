#!/usr/bin/env bash
# Installs what is missing, builds every preset, then runs all the tests:
# the unit tests natively and under the sanitizers, and the end-to-end tests
# of the Windows executables under Wine in a virtual display. Exits non-zero
# when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh

jobs=$(nproc 2>/dev/null || echo 2)
failed=()
echo "== test: native"
ctest --preset native -j "$jobs" || failed+=(native)
echo "== test: asan"
ctest --preset asan -j "$jobs" || failed+=(asan)
echo "== test: fuzz (smoke)"
if [ "${ZOLTO_SKIP_FUZZ:-0}" = 1 ]; then
  echo "fuzz smoke skipped (ZOLTO_SKIP_FUZZ=1)"
else
  scripts/fuzz.sh 30 || failed+=(fuzz)
fi
echo "== test: windows (Wine)"
# Starts Xvfb and prepares the Wine prefix once, before the tests use them.
if (source tests/e2e/wine-env.sh); then
  ctest --preset windows || failed+=(windows)
else
  echo "could not set up Wine and Xvfb" >&2
  failed+=(windows)
fi

if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: ${failed[*]}" >&2
  exit 1
fi
echo "all tests passed"
