#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12 (run as root, or
# with sudo available). Does nothing when everything is already installed.
set -euo pipefail

packages=(
  cmake make g++ clang              # native build, sanitizers, fuzzing
  libclang-rt-14-dev                # the libFuzzer runtime for clang
  libgtest-dev libbenchmark-dev     # unit tests, benchmarks
  g++-mingw-w64-x86-64-posix        # the Windows executables
  libboost1.81-dev                  # Boost.Regex headers for the regex DLL
  nlohmann-json3-dev                # the checker's JSON report
  wine64 xvfb xdotool imagemagick   # end-to-end tests under Wine
  locales                           # ja_JP.UTF-8: Wine's code page 932
  python3                           # bench/ratios.py, scripts/mutants.py
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done
# Wine takes its code page from the host locale, which must exist: the tests
# run Wine as a Japanese system (code page 932, LC_ALL=ja_JP.UTF-8) and as a
# Western one (code page 1252, LC_ALL=en_US.UTF-8).
locales=(ja_JP en_US)
missing_locales() {
  local l
  for l in "${locales[@]}"; do
    locale -a 2>/dev/null | grep -qix "$l.utf-\?8" || echo "$l"
  done
}
if [ ${#missing[@]} -eq 0 ] && [ -z "$(missing_locales)" ]; then
  echo "setup: all packages are installed"
  exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "setup: run as root to install: ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y "${missing[@]}"
fi
for l in $(missing_locales); do
  echo "setup: generating the $l.UTF-8 locale"
  "${sudo[@]}" localedef -i "$l" -f UTF-8 "$l.UTF-8"
done
