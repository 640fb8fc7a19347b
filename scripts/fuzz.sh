#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz and runs each for a bounded time; fails on
# any crash, leak, timeout or sanitizer report.
#
#   scripts/fuzz.sh [SECONDS]          build, then run every target (default: $FUZZ_SECONDS, else 60)
#   scripts/fuzz.sh build              build the targets only
#   scripts/fuzz.sh run TARGET SECONDS run one target built before
#
# CTest runs the build and each target as a test of its own (label "fuzz").
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/fuzz
targets=(profile_reader package_reader file_list)

build_targets() {
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DZRK_BUILD_FUZZERS=ON -DZRK_BUILD_GUI=OFF -DZRK_BUILD_BENCHMARKS=OFF -DBUILD_TESTING=OFF \
    >/dev/null
  cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"
}

# run_target TARGET SECONDS: the corpus grows across runs in the build folder; the committed seeds
# start it.
run_target() {
  local t=$1 seconds=$2
  local corpus=$build/corpus/$t artifacts=$build/artifacts/$t log=$build/$t.log status=0
  mkdir -p "$corpus" "$artifacts"
  # Targets that write files do so below TMPDIR: a folder in memory where there is one (rewriting
  # a file on a disk waits for the disk), removed afterwards, as libFuzzer's timed end skips
  # clean-up.
  local scratch
  scratch=$(mktemp -d /dev/shm/zrk-fuzz.XXXXXX 2>/dev/null || mktemp -d)
  echo "== fuzz_$t: ${seconds}s"
  TMPDIR=$scratch ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$build/tests/fuzz/fuzz_$t" "$corpus" "tests/fuzz/seeds/$t" \
    -dict="tests/fuzz/$t.dict" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" >"$log" 2>&1 || status=$?
  rm -rf "$scratch"
  # A report that did not stop the run still counts as a failure.
  if ((status != 0)) || grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:' "$log"; then
    tail -n 40 "$log"
    echo "fuzz_$t: FAILED (exit $status); log $log, inputs in $artifacts/"
    return 1
  fi
  # "#runs DONE cov: N ft: N corp: N/size ..." is libFuzzer's last status line.
  local summary
  summary=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1 || true)
  echo "fuzz_$t: ok: ${summary:-$(tail -n 1 "$log")}"
}

case "${1:-}" in
  build) build_targets ;;
  run) run_target "$2" "$3" ;;
  *)
    seconds=${1:-${FUZZ_SECONDS:-60}}
    bash scripts/setup.sh
    build_targets
    failed=()
    for t in "${targets[@]}"; do run_target "$t" "$seconds" || failed+=("$t"); done
    if ((${#failed[@]})); then
      echo "fuzz: failed: ${failed[*]}"
      exit 1
    fi
    ;;
esac
