#!/usr/bin/env bash
# The one test command: installs what is missing, then runs the ci workflow (CMakePresets.json):
# the debug build and every CTest test of it, which are the unit, process and window tests, the
# sources' format, the AddressSanitizer + UndefinedBehaviorSanitizer and release builds with their
# tests, the Debian package's checks, a short run of each fuzz target and the Windows programs
# under Wine (32-bit, or 64-bit where this machine cannot run 32-bit programs).
# ZRK_SKIP_WINDOWS=1 leaves Windows out; FUZZ_SECONDS sets each fuzz target's run (20 s).
set -euo pipefail
cd "$(dirname "$0")/.."

windows=ON
[ "${ZRK_SKIP_WINDOWS:-0}" != 1 ] || windows=OFF
bash scripts/setup.sh $([ "$windows" = ON ] && echo --windows)
# The workflow configures with the dev preset; these two come from the environment of this run.
cmake --preset dev -DZRK_WINDOWS_CHECKS=$windows -DZRK_FUZZ_SECONDS="${FUZZ_SECONDS:-20}" >/dev/null
status=0
cmake --workflow --preset ci || status=$?
if [ "$windows" = ON ] && grep -qx 'preset=windows-x86_64' build/windows-test.env 2>/dev/null; then
  echo "test: this machine cannot run 32-bit programs; the Windows tests ran on the 64-bit build"
fi
exit "$status"
