#!/usr/bin/env bash
# Configures and builds the three presets: native (core, unit tests,
# benchmarks), asan (unit tests under AddressSanitizer and UBSan) and windows
# (the two executables and the end-to-end test helpers, with MinGW-w64, and
# the release ZIP build/windows/zolto5-<version>-win64.zip).
#   scripts/build.sh [PRESET...]     (default: native asan windows)
set -euo pipefail
cd "$(dirname "$0")/.."
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(native asan windows)
jobs=$(nproc 2>/dev/null || echo 2)
for preset in "${presets[@]}"; do
  echo "== build: $preset"
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j "$jobs"
  if [ "$preset" = windows ]; then
    cmake --build --preset windows --target package
  fi
done
