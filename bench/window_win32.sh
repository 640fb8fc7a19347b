#!/usr/bin/env bash
# Times zrk-builder.exe under Wine and Xvfb on large generated skins: from the confirmed open
# dialog to the shown save dialog, against zrk.exe check on the same skin.
#
# Usage: bench/window_win32.sh [FILES...]   (default 2081 20801; FILES - 1 a multiple of 260)
# Needs what scripts/setup.sh --windows installs. ZRK_BUILDER_EXE times another build
# of the window. Target per size: the window needs at most 5 s more than zrk check, which does the
# same collecting and testing without a window, and its report holds every line. Exits 1 when a
# target is missed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/windows-i686"
sizes=("$@")
((${#sizes[@]})) || sizes=(2081 20801)
for files in "${sizes[@]}"; do
  ((files > 260 && (files - 1) % 260 == 0)) ||
    { echo "window_win32: $files files: FILES - 1 must be a multiple of 260" >&2; exit 2; }
done

for tool in wine i686-w64-mingw32-g++-posix xvfb-run; do
  command -v "$tool" >/dev/null ||
    { echo "window_win32: $tool is missing; run scripts/windows-test.sh first" >&2; exit 2; }
done
if ! log=$(cmake --preset windows-i686 2>&1 &&
  cmake --build --preset windows-i686 -j 2 --target zrk-builder zrk window_probe 2>&1); then
  echo "$log" >&2
  exit 2
fi
builder=${ZRK_BUILDER_EXE:-$build/src/app/win32/zrk-builder.exe}
zrk="$build/src/cli/zrk.exe"
probe="$build/tests/app/win32/window_probe.exe"

export WINEDEBUG=-all LC_ALL=ru_RU.UTF-8
work=$(mktemp -d "${TMPDIR:-/tmp}/zrk-window-bench.XXXXXX")
export WINEPREFIX="$work/wine"
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wineserver -w

# make_skin DIR FILES: 5 module keys in (FILES - 1) / 260 size passes; each module names a
# picture, a mask and 49 frames, so the list holds the project, the modules and 51 names each.
make_skin() {
  local dir=$1 passes=$(( ($2 - 1) / 260 )) m=0 p k j sizes="" modules="" frames
  mkdir -p "$dir/mods"
  for ((p = 0; p < passes; p++)); do
    local suffix=""
    ((p == 0)) || { suffix=$((600 + p)); sizes+="$suffix,480;"; }
    for k in BackGround Font Picture ToolTip BackLayer; do
      modules+="$k$suffix=mods\\m$m.zrm"$'\r\n'
      frames=""
      for ((j = 0; j < 49; j++)); do frames+="i\\$m\\$j.bmp;"; done
      printf '[STANDARD]\r\nPicture=i\\%s\\p.bmp\r\nMask=i\\%s\\k.bmp\r\n[EFFECTS]\r\nFrames=%s\r\n' \
        "$m" "$m" "$frames" >"$dir/mods/m$m.zrm"
      mkdir -p "$dir/i/$m"
      # Each picture starts with a BMP header: the skin has no warnings, and the report holds the
      # build's own lines.
      (cd "$dir/i/$m" && printf 'BM%024d' 0 | tee p.bmp k.bmp {0..48}.bmp >/dev/null)
      m=$((m + 1))
    done
  done
  printf '[DIRECTIVES]\r\nSizeList=%s\r\n[MODULES]\r\n%s' "$sizes" "$modules" >"$dir/config.zrp"
}

# The window under Xvfb: Browse, the project, then the seconds until the save dialog shows and the
# report's line count at that moment.
cat >"$work/drive.sh" <<'EOF'
set -euo pipefail
wine "$builder" 2>/dev/null &
builder_pid=$!
wine "$probe" browse
wine "$probe" dialog 'Открыть' >/dev/null
start=${EPOCHREALTIME/,/.}
wine "$probe" accept 'Открыть' "$project"
until wine "$probe" dialog 'Сохранить как' >/dev/null 2>&1; do
  kill -0 "$builder_pid" 2>/dev/null || { echo "window_win32: zrk-builder.exe ended" >&2; exit 1; }
done
echo "${EPOCHREALTIME/,/.} - $start" | bc -l
wine "$probe" report | wc -l
wineserver -k
EOF

failed=0
for files in "${sizes[@]}"; do
  skin="$work/skin$files"
  make_skin "$skin" "$files"
  project=$(winepath -w "$skin/config.zrp")
  start=${EPOCHREALTIME/,/.}
  wine "$zrk" check "$project" >/dev/null
  check=$(echo "${EPOCHREALTIME/,/.} - $start" | bc -l)
  wineserver -w  # the window needs a Wine started under the X server
  mapfile -t result < <(builder=$builder probe=$probe project=$project \
    timeout 1800 xvfb-run -a -s '-screen 0 1024x768x24' bash "$work/drive.sh")
  ((${#result[@]} == 2)) || { echo "window_win32: no save dialog for $files files" >&2; exit 1; }
  seconds=${result[0]} lines=${result[1]}
  target=$(echo "$check + 5" | bc -l)
  verdict=met
  (($(echo "$seconds < $target" | bc -l))) || { verdict=missed; failed=1; }
  # Four lines before the entries, two after them.
  ((lines == files + 6)) || { verdict="missed, $lines report lines"; failed=1; }
  LC_ALL=C awk -v n="$files" -v s="$seconds" -v v="$verdict" -v c="$check" \
    'BEGIN { printf "window-win32 %d files: %.1f s (%s: under zrk check %.1f s + 5 s)\n", n, s, v, c }'
  rm -rf "$skin"
done
exit "$failed"
