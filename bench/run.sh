#!/usr/bin/env bash
# Runs the benchmarks on the release build, building it first: all of them, or those named.
#
#   bench/run.sh [writer] [case] [window]
#
#   writer  zrk build against tar -cf and cat + sync, and its peak memory   (bench/writer.sh)
#   case    zrk build of names in another letter case against matching ones (bench/case.sh)
#   window  zrk-builder from the open dialog to the save dialog, on Xvfb,
#           against zrk check                                              (bench/window.sh)
#
# Each prints one "met" or "missed" line per target; the exit status is 1 when one was missed.
# Environment: ROUNDS, the runs of each timing (the fastest counts); LIMIT, the seconds after
# which a run is given up; TMPDIR, where the skins are made.
set -euo pipefail
cd "$(dirname "$0")/.."

benchmarks=("$@")
((${#benchmarks[@]})) || benchmarks=(writer case window)
targets=(zrk)
for name in "${benchmarks[@]}"; do
  case $name in
    writer | case) ;;
    window) targets+=(zrk-builder) ;;
    *) echo "usage: bench/run.sh [writer] [case] [window]" >&2 && exit 2 ;;
  esac
done

bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j 2 --target "${targets[@]}"

status=0
for name in "${benchmarks[@]}"; do
  echo "== $name"
  bash "bench/$name.sh" || status=1
done
exit "$status"
