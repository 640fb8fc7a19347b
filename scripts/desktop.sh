# A private X desktop for driving zrk-builder's real window (sourced by scripts/screenshot.sh and
# bench/window.sh): Xvfb with openbox where it is installed, and waiting for and typing into the
# program's windows. The caller keeps the array pids and ends what it holds on exit.

# start_desktop FOLDER: starts an X server on a free display, exports DISPLAY, keeps the settings
# and caches of the window manager and of Qt's file dialog in FOLDER, and starts openbox (which
# draws title bars) when it is installed.
start_desktop() {
  local folder=$1
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$folder/display" 2>"$folder/xvfb.log" &
  pids+=($!)
  for _ in $(seq 100); do [[ -s $folder/display ]] && break || sleep 0.1; done
  [[ -s $folder/display ]] || { cat "$folder/xvfb.log" >&2; return 1; }
  export DISPLAY=:$(cat "$folder/display")
  export XDG_CONFIG_HOME=$folder/config XDG_CACHE_HOME=$folder/cache XDG_DATA_HOME=$folder/data \
    XDG_STATE_HOME=$folder/state
  if command -v openbox >/dev/null; then
    openbox --sm-disable >"$folder/openbox.log" 2>&1 &
    pids+=($!)
    sleep 1
  fi
}

# window_of PID PATTERN [EXCEPT...]: waits for a visible window of process PID titled PATTERN,
# other than the windows EXCEPT, and prints its id. Titles keep the file name box's completer popup
# out.
window_of() {
  local pid=$1 pattern=$2 id
  shift 2
  for _ in $(seq 200); do
    for id in $(xdotool search --all --onlyvisible --pid "$pid" --name "$pattern" 2>/dev/null); do
      [[ " $* " == *" $id "* ]] || { echo "$id"; return 0; }
    done
    sleep 0.1
  done
  echo "${0##*/}: no window titled '$pattern' appeared" >&2
  return 1
}

# press WINDOW KEY [TEXT]: gives WINDOW the keyboard, types TEXT into its focused field and
# presses KEY.
press() {
  xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"
  sleep 0.3
  [[ -z ${3:-} ]] || xdotool type --delay 20 "$3"
  xdotool key "$2"
}
