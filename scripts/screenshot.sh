#!/usr/bin/env bash
# Builds zrk-builder, packs the demo skin through its real window on a private X server and saves
# a picture of the window with its report (docs/zrk-builder.png unless another path is given).
#
#   scripts/screenshot.sh [picture.png]
#
# Environment: ZRK_SCREENSHOT_BUILD_DIR, a build folder of one's own instead of build/dev;
# ZRK_SCREENSHOT_DIALOG, a path for a second picture, of the open dialog.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source scripts/desktop.sh
picture=$(realpath -m "${1:-docs/zrk-builder.png}")
dialog_picture=${ZRK_SCREENSHOT_DIALOG:+$(realpath -m "$ZRK_SCREENSHOT_DIALOG")}
build_dir=${ZRK_SCREENSHOT_BUILD_DIR:-build/dev}
title="Сборщик ZRK"

# Tools: the X server, the input driver and the picture taker; a small window manager, when it
# can be had, draws the title bar so that the caption shows in the picture.
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
install() {
  echo "screenshot: installing $*"
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@"
}
missing=()
for tool in Xvfb:xvfb xdotool:xdotool import:imagemagick; do
  command -v "${tool%%:*}" >/dev/null || missing+=("${tool#*:}")
done
if ((${#missing[@]})) || ! command -v openbox >/dev/null; then
  "${sudo_cmd[@]}" apt-get update -qq
  ((${#missing[@]} == 0)) || install "${missing[@]}"
  command -v openbox >/dev/null || install openbox || true
fi

if [ "$build_dir" = build/dev ]; then
  cmake --preset dev >/dev/null
  cmake --build --preset dev -j 2 --target zrk-builder
else
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZRK_BUILD_BENCHMARKS=OFF >/dev/null
  cmake --build "$build_dir" -j 2 --target zrk-builder
fi
program=$(realpath "$build_dir")/src/app/qt/zrk-builder

work=$(mktemp -d /tmp/zrk-screenshot.XXXXXX)
pids=()
cleanup() {
  local status=$?
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  if [ "$status" -ne 0 ] && [ -s "$work/program.log" ]; then cat "$work/program.log" >&2; fi
  [ "$status" -eq 0 ] || cat "$work/xvfb.log" >&2
  rm -rf "$work"
}
trap cleanup EXIT

start_desktop "$work"
command -v openbox >/dev/null ||
  echo "screenshot: no window manager; the picture shows the window without its title bar"
new_window() { window_of "$program_pid" "$@"; }

# Waits until window is gone (closed or hidden).
gone() {
  for _ in $(seq 200); do
    xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null | grep -qx "$1" || return 0
    sleep 0.1
  done
  echo "screenshot: window $1 did not close" >&2
  return 1
}

# Gives window the keyboard and types text into its focused field, then Return.
answer() { press "$1" Return "${2:-}"; }

"$program" >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")
main=$(timeout 20 xdotool search --sync --onlyvisible --name "$title" | head -n 1)
sleep 0.5

# Browse (Command1 at 224,8 and 65x25 in the window).
xdotool mousemove --window "$main" 256 20 click 1
open_dialog=$(new_window "Открыть")  # the dialogs' titles as Qt's Russian translation gives them
sleep 0.5
[ -z "$dialog_picture" ] || import -frame -window "$open_dialog" "$dialog_picture"
answer "$open_dialog" "$root/examples/demo-skin/config.zrp"
gone "$open_dialog"

save_dialog=$(new_window "Сохранить")
answer "$save_dialog" "$work/demo-skin"
gone "$save_dialog"

success_box=$(new_window "$title" "$main")
answer "$success_box"
gone "$success_box"
[ -f "$work/demo-skin.zrk" ] || { echo "screenshot: the package was not written" >&2; exit 1; }

sleep 0.5
mkdir -p "$(dirname "$picture")"
import -frame -window "$main" "$picture"
echo "screenshot: $picture"
