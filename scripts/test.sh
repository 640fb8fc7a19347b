#!/usr/bin/env bash
# Installs what is missing, checks the format of the C++ sources, then builds and runs every test:
# the debug build, the AddressSanitizer + UndefinedBehaviorSanitizer build and the release build
# (as users and the benchmarks build it), the Debian package, a short run of each fuzz target, and
# the 32-bit Windows build under Wine.
# ZRK_SKIP_WINDOWS=1 leaves the Windows part out.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

echo "== format: clang-format"
clang-format --dry-run --Werror $(git ls-files '*.cpp' '*.h')

jobs=$(nproc)
for preset in dev asan release; do
  echo "== $preset: configure, build, test"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done

bash scripts/package-test.sh

# FUZZ_SECONDS gives the fuzz targets longer; scripts/fuzz.sh runs them alone.
bash scripts/fuzz.sh "${FUZZ_SECONDS:-20}"

if [ "${ZRK_SKIP_WINDOWS:-0}" != 1 ]; then
  bash scripts/windows-test.sh
fi
