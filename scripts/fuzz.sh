#!/usr/bin/env bash
# Fuzzes every reader with libFuzzer: builds the targets with clang (address
# and undefined-behaviour sanitizers, the standard library's assertions) in
# build-fuzz/, then runs each target for SECONDS (default 600) on a scratch
# copy of its seed corpus, two targets at a time. ./check runs it briefly.
#   scripts/fuzz.sh [SECONDS] [TARGET...]     e.g. scripts/fuzz.sh 3600 png glm
#   scripts/fuzz.sh --build-only              builds the targets and runs none
# A finding is left in build-fuzz/findings/<target>/ and fails the script.
set -uo pipefail
cd "$(dirname "$0")/.."

build_only=0
if [ "${1:-}" = --build-only ]; then build_only=1; shift; fi
seconds=${1:-600}
shift || true
jobs=${FUZZ_JOBS:-2}

if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz: clang++ is missing (scripts/setup.sh installs it)" >&2
  exit 1
fi
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DSKYFRONT_FUZZ=ON -DSKYFRONT_SANITIZE=ON -DSKYFRONT_GL_TESTS=OFF \
  -DSKYFRONT_STAGE_DIR="$PWD/build-fuzz/stage" >/dev/null || exit 1
cmake --build build-fuzz -j "${FUZZ_BUILD_JOBS:-$(nproc)}" --target fuzz_targets >/dev/null || exit 1
[ $build_only = 1 ] && exit 0

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for dir in tests/fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi

run_one() {
  local target=$1 work="build-fuzz/fuzzing/$1" findings="build-fuzz/findings/$1"
  rm -rf "$work" "$findings"
  mkdir -p "$work" "$findings"
  if ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=0 UBSAN_OPTIONS=print_stacktrace=1 \
     "build-fuzz/tests/fuzz/fuzz_$target" "$work" "tests/fuzz/corpus/$target" \
       -max_total_time="$seconds" -malloc_limit_mb=64 -rss_limit_mb=2048 -timeout=10 \
       -artifact_prefix="$findings/" -print_final_stats=1 >"$findings/log.txt" 2>&1; then
    echo "fuzz $target: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$findings/log.txt" | grep -o '[0-9]*$') runs, no finding"
    rm -rf "$work"
    return 0
  fi
  echo "fuzz $target: FINDING, see $findings/" >&2
  grep -m3 -E 'ERROR|fuzz check|allocation|SUMMARY' "$findings/log.txt" >&2
  return 1
}

status=0
pids=()
for target in "${targets[@]}"; do
  run_one "$target" &
  pids+=($!)
  if [ ${#pids[@]} -ge "$jobs" ]; then
    wait "${pids[0]}" || status=1
    pids=("${pids[@]:1}")
  fi
done
for pid in "${pids[@]}"; do wait "$pid" || status=1; done
exit $status
