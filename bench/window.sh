#!/usr/bin/env bash
# The window against `zrk check`: zrk-builder on a private Xvfb (with openbox where it can be had)
# is given a project through Browse, its full path typed into the open dialog and confirmed, and
# is timed from that confirmation until its save dialog shows; `zrk check PROJECT` is timed on the
# same skin. Skins of 2,081 and 20,801 files; best of ROUNDS (3) runs, page cache warm.
#   target: the window within 2 x zrk check + 1 s
# A window that shows no save dialog within LIMIT seconds (120) is given up and missed.
# Usage: bench/window.sh (after a release build; bench/run.sh builds first)
source "$(dirname "$0")/common.sh"
source "$(dirname "$0")/../scripts/desktop.sh"
limit=${LIMIT:-120}
program=$root/build/release/src/app/qt/zrk-builder
title="Сборщик ZRK"  # the window's and its message boxes' title begins so

install_missing Xvfb:xvfb xdotool:xdotool
install_missing openbox:openbox || echo "bench: no openbox; the window runs without a manager"

# The X server and window manager (pids) and the program while it runs (app) end with the script.
pids=() app=""
stop_all() {
  local p
  for p in $app "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in $app "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap stop_all EXIT
start_desktop "$work"
window() { window_of "$app" "$@"; }

# run_window PROJECT: one run of the program; sets elapsed to the seconds from confirming PROJECT
# in the open dialog until the save dialog shows, or to "" when it gave up after LIMIT seconds.
run_window() {
  "$program" >>"$work/program.log" 2>&1 &
  app=$!
  local main open save="" box start
  main=$(window "$title")
  sleep 0.5
  xdotool mousemove --window "$main" 256 20 click 1  # Browse: Command1, 65 x 25 at 224,8
  open=$(window "Открыть")  # the dialogs' titles in Qt's Russian translation
  press "$open" Return "$1"
  start=$EPOCHREALTIME
  while ! save=$(xdotool search --all --onlyvisible --pid "$app" --name "Сохранить" 2>/dev/null); do
    holds "$EPOCHREALTIME - $start < $limit" && kill -0 "$app" 2>/dev/null || break
    sleep 0.02
  done
  elapsed=$(since "$start")
  if [[ -z $save ]]; then
    elapsed=""  # given up; the program, still busy, is ended below
  else
    # Cancel out: Escape, "Yes" (the default) to the cancel question, then Exit (Command2).
    press "$save" Escape
    box=$(window "$title" "$main")
    press "$box" Return
    sleep 0.3
    xdotool mousemove --window "$main" 256 156 click 1
    for _ in $(seq 100); do kill -0 "$app" 2>/dev/null && sleep 0.1 || break; done
    kill -0 "$app" 2>/dev/null && echo "bench: zrk-builder did not close; ending it" >&2
  fi
  kill "$app" 2>/dev/null || true
  wait "$app" 2>/dev/null || true
  app=""
}

for files in 2081 20801; do
  skin=$work/skin$files
  make_skin "$skin" $(((files - 1) / 52)) 36 2048  # 52 files a module
  check="" best=""
  for ((r = 0; r < rounds; r++)); do
    check=$(smaller "$check" "$(seconds "$zrk" check "$skin/config.zrp")")
    run_window "$skin/config.zrp"
    [[ -n $elapsed ]] || break
    best=$(smaller "$best" "$elapsed")
  done
  label="zrk-builder, Browse to save dialog, $files files"
  target="target <= 2 x zrk check + 1 s = $(calc "2 * $check + 1") s"
  if [[ -z $elapsed ]]; then
    verdict 0 "$label: gave up after $limit s; zrk check $check s ($target)"
  else
    verdict "$best <= 2 * $check + 1" "$label: $best s; zrk check $check s ($target)"
  fi
  rm -rf "$skin"
done
finish
