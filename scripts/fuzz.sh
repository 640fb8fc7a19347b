#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz and runs each for a bounded time, one after
# the other; fails on any crash, leak, timeout or sanitizer report.
#   bash scripts/fuzz.sh [SECONDS]     (default: $FUZZ_SECONDS, else 60 per target)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-${FUZZ_SECONDS:-60}}
build=build/fuzz
targets=(profile_reader package_reader file_list)

bash scripts/setup.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DZRK_BUILD_FUZZERS=ON -DZRK_BUILD_GUI=OFF -DZRK_BUILD_BENCHMARKS=OFF -DBUILD_TESTING=OFF \
  >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

# Targets that write files do so below TMPDIR: a folder in memory where there is one (rewriting a
# file on a disk waits for the disk), removed afterwards, as libFuzzer's timed end skips clean-up.
scratch=$(mktemp -d /dev/shm/zrk-fuzz.XXXXXX 2>/dev/null || mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# The corpus grows across runs in the build folder; the committed seeds start it.
failed=()
for t in "${targets[@]}"; do
  corpus=$build/corpus/$t
  artifacts=$build/artifacts/$t
  log=$build/$t.log
  mkdir -p "$corpus" "$artifacts"
  echo "== fuzz_$t: ${seconds}s"
  status=0
  TMPDIR=$scratch ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$build/tests/fuzz/fuzz_$t" "$corpus" tests/fuzz/seeds/$t \
    -dict=tests/fuzz/$t.dict -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" >"$log" 2>&1 || status=$?
  # A report that did not stop the run still counts as a failure.
  if ((status != 0)) || grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:' "$log"; then
    failed+=("$t")
    tail -n 40 "$log"
    echo "fuzz_$t: FAILED (exit $status); log $log, inputs in $artifacts/"
  else
    # "#runs DONE cov: N ft: N corp: N/size ..." is libFuzzer's last status line.
    summary=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1 || true)
    echo "fuzz_$t: ok: ${summary:-$(tail -n 1 "$log")}"
  fi
done

if ((${#failed[@]})); then
  echo "fuzz: failed: ${failed[*]}"
  exit 1
fi
