#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (in build/fuzz) and runs
# each one, one after another, for SECONDS on a scratch copy of its seed
# corpus (build/fuzz-corpus/<target>, kept between runs so that a long run's
# finds seed the next one; delete it to start over). Prints one line per
# target (executions, crashes 0/1) and a summary; exits non-zero when a
# target crashed. Crash inputs and logs are kept in build/fuzz-run/<target>/.
#   scripts/fuzz.sh [SECONDS] [TARGET...]   (default: 30 seconds, every target)
#   scripts/fuzz.sh --runs N [TARGET...]    N executions per target, at most an hour
# Installs nothing: clang and its libFuzzer runtime must be there already.
set -euo pipefail
cd "$(dirname "$0")/.."

# The rows of the table in fuzz/CMakeLists.txt, and the capture program's own target.
all_targets=(config targets headers path_macros templates shortcut capture_bmp shell_filter
             bregexp capture)

seconds=30
runs_limit=-1
unit_timeout=10  # seconds one input may take before it counts as a hang
if [ "${1:-}" = --runs ]; then
  runs_limit=${2:-}
  seconds=3600
  # A long run shares the machine for hours, and a starved input is not a
  # hang: only a minute counts as one.
  unit_timeout=60
  shift 2 || true
  if ! [[ $runs_limit =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: scripts/fuzz.sh --runs N [TARGET...]" >&2
    exit 2
  fi
elif [ $# -gt 0 ]; then
  seconds=$1
  shift
fi
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: scripts/fuzz.sh [SECONDS] [TARGET...]   targets: ${all_targets[*]}" >&2
  exit 2
fi
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")
for t in "${targets[@]}"; do
  if [[ " ${all_targets[*]} " != *" $t "* ]]; then
    echo "fuzz: unknown target '$t' (targets: ${all_targets[*]})" >&2
    exit 2
  fi
done

# The largest input worth trying, and the dictionary, of each target.
max_len_of() {
  case $1 in
    capture_bmp) echo 4096 ;;
    config|targets|path_macros|templates|shell_filter) echo 2048 ;;
    headers|shortcut|capture) echo 1024 ;;
    bregexp) echo 256 ;;
  esac
}
dict_of() {
  case $1 in
    bregexp) echo fuzz/bregexp.dict ;;
    capture) echo fuzz/capture.dict ;;
    capture_bmp) echo "" ;;
    *) echo fuzz/zolto.dict ;;
  esac
}

# ---- Build ----
if ! command -v clang >/dev/null || ! command -v clang++ >/dev/null; then
  echo "fuzz: clang is not installed (Debian: apt-get install clang libclang-rt-14-dev)" >&2
  exit 1
fi
run_root=build/fuzz-run
mkdir -p "$run_root"
# clang alone is not enough: the libFuzzer runtime comes in its own package.
probe_dir=$(mktemp -d "$run_root/probe.XXXXXX")
printf '%s\n' 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) {' \
  '  return 0;' '}' > "$probe_dir/probe.cpp"
if ! clang++ -fsanitize=fuzzer,address,undefined "$probe_dir/probe.cpp" -o "$probe_dir/probe" \
     > "$probe_dir/log" 2>&1; then
  cat "$probe_dir/log" >&2
  rm -rf "$probe_dir"
  echo "fuzz: clang cannot link libFuzzer programs (Debian: apt-get install libclang-rt-14-dev)" >&2
  exit 1
fi
rm -rf "$probe_dir"

jobs=$(nproc 2>/dev/null || echo 2)
[ "$jobs" -le 2 ] || jobs=2
build=build/fuzz
echo "== fuzz: building in $build"
if ! { cmake -S fuzz -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ &&
       cmake --build "$build" -j "$jobs"; } > "$run_root/build.log" 2>&1; then
  tail -n 40 "$run_root/build.log" >&2
  echo "fuzz: the build failed (log: $run_root/build.log)" >&2
  exit 1
fi

# ---- Run ----
export UBSAN_OPTIONS="print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
if [ "$runs_limit" -gt 0 ]; then
  echo "== fuzz: $runs_limit executions (at most ${seconds}s) per target, one after another"
else
  echo "== fuzz: ${seconds}s per target, one after another"
fi
total=0
crashed=()
for t in "${targets[@]}"; do
  exe="$build/${t}_fuzz"
  work="$run_root/$t"
  corpus="build/fuzz-corpus/$t"
  rm -rf "$work"
  mkdir -p "$work/artifacts" "$corpus"
  # The seeds join the scratch corpus; the repository's copy is never written.
  cp -n fuzz/corpus/"$t"/* "$corpus"/ 2>/dev/null || true
  args=(-max_total_time="$seconds" -runs="$runs_limit" -timeout="$unit_timeout" -rss_limit_mb=2048
        -max_len="$(max_len_of "$t")" -print_final_stats=1
        -artifact_prefix="$work/artifacts/")
  dict=$(dict_of "$t")
  [ -z "$dict" ] || args+=(-dict="$dict")
  rc=0
  "$exe" "${args[@]}" "$corpus" > "$work/log" 2>&1 || rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -n 1)
  [ -n "$runs" ] || runs=$(sed -n 's/^#\([0-9][0-9]*\).*/\1/p' "$work/log" | tail -n 1)
  [ -n "$runs" ] || runs=0
  total=$((total + runs))
  found=$(find "$work/artifacts" -type f | head -n 1)
  crash=0
  if [ "$rc" -ne 0 ] || [ -n "$found" ]; then
    crash=1
    crashed+=("$t")
  fi
  secs=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$work/log" | tail -n 1)
  printf '%-13s executions %10s   seconds %5s   crashes %d\n' "$t" "$runs" "${secs:-?}" "$crash"
  if [ "$crash" -eq 1 ]; then
    grep -m 3 -E '^(SUMMARY|\*\*\* fuzz check)|ERROR: ' "$work/log" | sed 's/^/    /' || true
    echo "    input: ${found:-none saved}   log: $work/log"
  fi
done

summary="fuzz: ${#targets[@]} targets, $total executions, ${#crashed[@]} crashed"
[ ${#crashed[@]} -eq 0 ] || summary+=" (${crashed[*]})"
echo "$summary"
[ ${#crashed[@]} -eq 0 ]
