#!/usr/bin/env bash
# Configures, builds and tests one of the presets (asan, release), as CTest's build/PRESET test.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=$1
echo "== $preset: configure, build, test"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
ctest --preset "$preset" -j "$(nproc)"
