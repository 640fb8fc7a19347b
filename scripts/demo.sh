#!/usr/bin/env bash
# Installs what is missing, builds the tools, packs the bundled demo skin and lists the package.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset dev >/dev/null
cmake --build --preset dev -j "$(nproc)" --target zrk zrk-builder

mkdir -p build/demo
./build/dev/src/cli/zrk build examples/demo-skin/config.zrp -o build/demo/demo-skin.zrk --force
echo
./build/dev/src/cli/zrk list build/demo/demo-skin.zrk
