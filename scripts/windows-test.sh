#!/usr/bin/env bash
# The Windows programs, cross-built with MinGW-w64 and tested under Wine: the core's and the
# Windows tests, packages of zrk.exe against the Linux zrk's, and zrk-builder.exe driven under
# Xvfb. The 32-bit programs are always built and zipped; where this machine cannot run 32-bit
# programs (Wine's 32-bit loader fails to start), the tests run on the 64-bit build under Wine's
# 64-bit loader instead. scripts/setup.sh installs what both need.
#
#   scripts/windows-test.sh             every step below, in order
#   scripts/windows-test.sh STEP...     prepare | zip | suites | display-suites |
#                                       same-bytes SKIN (demo-skin, made-skin, cyrillic-paths) |
#                                       window | finish
#
# CTest runs each step as a test of its own (label "windows"); "prepare" builds and probes, and
# writes what the later steps use into build/windows-test.env.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
state="$root/build/windows-test.env"
work="$root/build/windows-test"
export WINEDEBUG=-all LC_ALL=ru_RU.UTF-8 WINEPREFIX="$work/wine"
linux_zrk="$root/build/windows-host/src/cli/zrk"
version=$(sed -n 's/^project(zrk VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

# Wine's 64-bit loader, started directly: the plain wine command starts the 32-bit one first.
wine64_loader() {
  command -v wine64 || echo /usr/lib/wine/wine64
}

# A fresh Wine prefix, both builds of the 32-bit programs' and, where 32-bit programs cannot run,
# the 64-bit ones; the probe's answer goes into $state.
prepare() {
  bash scripts/setup.sh --windows
  rm -rf "$work" "$state"
  mkdir -p "$work"
  echo "== windows-i686: configure, build, .zip"
  cmake --preset windows-i686 >/dev/null
  cmake --build --preset windows-i686 -j "$(nproc)"
  (cd build/windows-i686 && cpack -G ZIP >/dev/null)
  echo "== Linux zrk for the package comparison"
  cmake -S . -B build/windows-host -G Ninja -DCMAKE_BUILD_TYPE=Release -DZRK_BUILD_GUI=OFF \
    -DBUILD_TESTING=OFF -DZRK_BUILD_BENCHMARKS=OFF >/dev/null
  cmake --build build/windows-host -j "$(nproc)" --target zrk

  # The probe: a 32-bit program either prints its version or fails to start (Exec format error,
  # exit 126, where the kernel cannot run 32-bit programs; nothing printed without wine32).
  local preset=windows-i686 wine=wine answer
  answer=$(wine build/windows-i686/src/cli/zrk.exe --version 2>/dev/null | tr -d '\r') || true
  if [ "$answer" != "zrk $version" ]; then
    preset=windows-x86_64
    wine=$(wine64_loader)
    echo "windows-test: this machine cannot run 32-bit Windows programs; the tests run on the 64-bit build"
    echo "== windows-x86_64: configure, build"
    cmake --preset windows-x86_64 >/dev/null
    cmake --build --preset windows-x86_64 -j "$(nproc)"
  fi
  echo "== Wine prefix ($wine)"
  WINELOADER=$wine "$wine" wineboot -i </dev/null >/dev/null 2>&1
  # Without a window manager, Wine draws the windows' captions and borders itself.
  WINELOADER=$wine "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wineserver -w
  printf 'preset=%s\nwine=%s\n' "$preset" "$wine" >"$state"
  echo "windows-test: tests run on $preset"
}

load_state() {
  [ -f "$state" ] || { echo "windows-test: run 'scripts/windows-test.sh prepare' first" >&2; exit 1; }
  # shellcheck source=/dev/null
  source "$state"
  build="$root/build/$preset"
  export WINELOADER=$wine ZRK_WINE=$wine
  zrk_exe="$build/src/cli/zrk.exe"
  builder_exe="$build/src/app/win32/zrk-builder.exe"
  probe_exe="$build/tests/app/win32/window_probe.exe"
}

windows_path() { "$wine" winepath -w "$1" 2>/dev/null | tr -d '\r'; }

zip_contents() {
  local zip listing program
  zip=$(ls -t build/windows-i686/zrk-*-win32.zip | head -1)
  # Listed first: grep -q stopping early would break the pipe under pipefail.
  listing=$(cmake -E tar tf "$zip")
  for program in zrk.exe zrk-builder.exe; do
    grep -q "/bin/$program\$" <<<"$listing" || { echo "windows-test: $program is not in $zip" >&2; exit 1; }
  done
  echo "$(basename "$zip"): zrk.exe and zrk-builder.exe"
}

# One wineserver for a whole run of tests: Debian's quits as soon as no program is connected, and
# a test program connecting at that moment is cut off. Started before a wineboot whose output goes
# nowhere, so that Wine's background programs do not hold ctest's output open.
with_wineserver() {
  local status=0
  wineserver -p
  "$wine" wineboot </dev/null >/dev/null 2>&1
  "$@" || status=$?
  wineserver -k
  wineserver -w
  return "$status"
}

suites() {
  if ! ctest --preset "$preset" -N | grep -q 'Total Tests: [1-9]'; then
    echo "windows-test: no tests were discovered: the test programs did not run under Wine" >&2
    exit 1
  fi
  # A test program that Wine itself brings down as it exits (seen: a segfault after a skipped
  # test, under load) gets one more run; a failure of the test's own fails both.
  with_wineserver ctest --preset "$preset" -j 2 --label-exclude display --repeat until-pass:2
}

# The dialog and window tests need a display, and take it one at a time: this script again, on
# a display of its own, runs them (step display-suites-here).
display_suites() {
  xvfb-run -a -s '-screen 0 1024x768x24' bash scripts/windows-test.sh display-suites-here
}

# A skin with Cyrillic names (Windows-1251 in its INI files), sub-folders, a size pass, a module
# in UTF-16, a quoted value, a frame list with empty items, an empty file, a file larger than the writer's
# buffer, names in another letter case than on disk, and a preview picture.
make_skin() {
  local d=$1
  mkdir -p "$d/modules" "$d/images" "$d/$(printf 'Кадры')"
  printf '[DIRECTIVES]\r\nSizeList=800,600;1024,768\r\n[MODULES]\r\nBackGround=modules\\bg.zrm\r\nPicture=modules\\btn.zrm\r\nBackGround800=modules\\bg800.zrm\r\nToolTip1024=modules\\tip.zrm\r\n' >"$d/config.zrp"
  printf '[STANDARD]\r\nPicture=images\\\xd4\xee\xed.bmp\r\nMask=IMAGES\\Mask.BMP\r\n' >"$d/modules/bg.zrm"
  printf '[STANDARD]\r\nPicture=images\\big.bmp\r\n[MOUSEMOVE]\r\nPicture="images\\hover.bmp"\r\n[EFFECTS]\r\nFrames=\xca\xe0\xe4\xf0\xfb\\1.bmp;\xca\xe0\xe4\xf0\xfb\\2.bmp;;\xca\xe0\xe4\xf0\xfb\\3.bmp;\r\n' >"$d/modules/btn.zrm"
  printf '[STANDARD]\r\nPicture=images\\bg800.bmp\r\nFontFileName=images\\empty.fnt\r\n' >"$d/modules/bg800.zrm"
  printf '\xff\xfe' >"$d/modules/tip.zrm"
  printf '[STANDARD]\r\nPicture=images\\tip.bmp\r\n' | iconv -f ascii -t UTF-16LE >>"$d/modules/tip.zrm"
  printf 'fon' >"$d/images/Фон.bmp"
  printf 'mask' >"$d/images/mask.bmp"
  head -c 300000 /dev/urandom >"$d/images/big.bmp"
  printf 'hover' >"$d/images/hover.bmp"
  printf 'bg800' >"$d/images/bg800.bmp"
  : >"$d/images/empty.fnt"
  printf 'tip' >"$d/images/tip.bmp"
  for i in 1 2 3; do printf 'frame %s' "$i" >"$d/Кадры/$i.bmp"; done
  printf 'preview' >"$d/preview.bmp"
}

# same_bytes SKIN: the same skin packed by zrk and zrk.exe gives the same bytes.
same_bytes() {
  local name=$1 dir="$work/$1" project out_dir
  rm -rf "$dir"
  mkdir -p "$dir"
  case "$name" in
    demo-skin) project="$root/examples/demo-skin/config.zrp" out_dir=$dir ;;
    made-skin) make_skin "$dir/skin" && project="$dir/skin/config.zrp" out_dir=$dir ;;
    # Cyrillic folders on zrk.exe's command line: the project's and the package's; the report
    # on stdout stays UTF-8.
    cyrillic-paths)
      make_skin "$dir/Иван/Скины/Синий" && project="$dir/Иван/Скины/Синий/config.zrp"
      out_dir="$dir/Пакеты" && mkdir -p "$out_dir" ;;
    *) echo "windows-test: no skin '$name'" >&2; exit 2 ;;
  esac
  "$linux_zrk" build "$project" -o "$dir/linux.zrk" >/dev/null
  if ! "$wine" "$zrk_exe" build "$(windows_path "$project")" \
    -o "$(windows_path "$out_dir/windows.zrk")" >"$dir/windows.out" 2>&1 ||
    ! cmp "$dir/linux.zrk" "$out_dir/windows.zrk"; then
    echo "windows-test: $name: zrk.exe failed or wrote another package than zrk" >&2
    cat "$dir/windows.out" >&2
    exit 1
  fi
  grep -q '^Операция успешно завершена!' "$dir/windows.out" ||
    { echo "windows-test: zrk.exe's report is not UTF-8" >&2; exit 1; }
  echo "$name: byte-identical, $(stat -c %s "$dir/linux.zrk") bytes, $("$linux_zrk" list "$dir/linux.zrk" | wc -l) entries"
}

# zrk-builder.exe as a user drives it: Browse, the project, the package name, the box; then the
# package on its command line.
window() {
  local gui="$work/gui"
  rm -rf "$gui"
  mkdir -p "$gui"
  cp -r "$root/examples/demo-skin" "$gui/skin"
  "$linux_zrk" build "$gui/skin/config.zrp" -o "$gui/linux.zrk" >/dev/null
  export builder_exe probe_exe wine out="$gui"
  project="$(windows_path "$gui/skin/config.zrp")" package="$(windows_path "$gui/package")"
  export project package
  wineserver -w
  xvfb-run -a -s '-screen 0 1024x768x24' bash scripts/windows-drive.sh
  cp "$gui/"*.png "$build/"
  expect "open dialog's OK button and filter" "$(tr -d '\r' <"$gui/open-dialog.txt")" \
    "$(printf 'Выбарть\nФайлы проектов ZRK 4.x (*.zrp)')"
  expect "save dialog's OK button and filter" "$(tr -d '\r' <"$gui/save-dialog.txt")" \
    "$(printf 'Сохранить\nФайлы оболочек ZR 4.x (*.zrk)')"
  local entries size total
  entries=$("$linux_zrk" list "$gui/linux.zrk" | wc -l)
  total=$("$linux_zrk" list "$gui/linux.zrk" | awk '{ total += $1 } END { print total }')
  size=$(stat -c %s "$gui/package.zrk")
  expect "report's last lines" "$(tr -d '\r' <"$gui/report.txt" | tail -2)" \
    "$(printf "Операция успешно завершена!\nПакет '%s.zrk' записан: файлов %s, %s байт" \
      "$package" "$entries" "$size")"
  expect "package's first and last report lines" \
    "$(tr -d '\r' <"$gui/package-report.txt" | sed -n '1p;$p')" \
    "$(printf "Содержимое пакета '%s.zrk':\nВсего в пакете %s файл(ов), %s байт" \
      "$package" "$entries" "$total")"
  cmp "$gui/package.zrk" "$gui/linux.zrk"
  echo "zrk-builder.exe: report ends in success and the package's line, package byte-identical to zrk's and shown whole; screenshots in $build"
}

expect() {
  if [ "$2" != "$3" ]; then
    echo "windows-test: $1: expected '$3', got '$2'" >&2
    exit 1
  fi
}

finish() { wineserver -k >/dev/null 2>&1 || true; }

if (($# == 0)); then
  set -- prepare zip suites display-suites same-bytes demo-skin same-bytes made-skin \
    same-bytes cyrillic-paths window finish
  trap finish EXIT
fi
while (($#)); do
  step=$1
  shift
  [ "$step" = prepare ] || load_state
  case "$step" in
    prepare | suites | window | finish) "$step" ;;
    zip) zip_contents ;;
    display-suites) display_suites ;;
    display-suites-here)
      with_wineserver ctest --preset "$preset" --label-regex display --repeat until-pass:2 ;;
    same-bytes) same_bytes "$1" && shift ;;
    *) echo "windows-test: unknown step '$step'" >&2; exit 2 ;;
  esac
done
