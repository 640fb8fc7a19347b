#!/usr/bin/env bash
# Builds the 32-bit Windows programs and tests with MinGW-w64 and runs them under Wine: the core's
# and the Windows tests, packages of zrk.exe against the Linux zrk's, and a smoke test of
# zrk-builder.exe under Xvfb. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
preset=windows-i686
build="$root/build/$preset"

# --- What the Windows build needs, from Debian's packages.
packages=(
  g++ cmake ninja-build libcli11-dev googletest imagemagick
  g++-mingw-w64-i686-posix wine wine32:i386 fonts-wine locales xvfb xauth
)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
if ((${#missing[@]})); then
  echo "windows-test: installing ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || "${sudo_cmd[@]}" dpkg --add-architecture i386
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi
# Wine's ANSI code page follows the locale: Windows-1251, as on the tool's users' machines.
if ! locale -a 2>/dev/null | grep -qix 'ru_RU.utf8'; then
  "${sudo_cmd[@]}" sed -i 's/^# *ru_RU.UTF-8 UTF-8/ru_RU.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen ||
    echo 'ru_RU.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi

# --- A Wine prefix of this run's own, removed at the end.
export WINEDEBUG=-all LC_ALL=ru_RU.UTF-8
work=$(mktemp -d "${TMPDIR:-/tmp}/zrk-windows-test.XXXXXX")
export WINEPREFIX="$work/wine"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
echo "== Wine prefix"
wineboot -i >/dev/null 2>&1
# Without a window manager, Wine draws the windows' captions and borders itself.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wineserver -w

echo "== $preset: configure, build"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j 2
echo "== $preset: the .zip of the Windows programs"
(cd "$build" && cpack -G ZIP >/dev/null)
zip=$(ls -t "$build"/zrk-*-win32.zip | head -1)
# Listed first: grep -q stopping early would break the pipe under pipefail.
listing=$(cmake -E tar tf "$zip")
for program in zrk.exe zrk-builder.exe; do
  grep -q "/bin/$program\$" <<<"$listing" || { echo "windows-test: $program is not in $zip" >&2; exit 1; }
done
echo "$(basename "$zip"): zrk.exe and zrk-builder.exe"
echo "== Linux zrk for the package comparison"
cmake -S . -B build/windows-host -G Ninja -DCMAKE_BUILD_TYPE=Release -DZRK_BUILD_GUI=OFF \
  -DBUILD_TESTING=OFF -DZRK_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build/windows-host -j 2 --target zrk
linux_zrk="$root/build/windows-host/src/cli/zrk"
zrk_exe="$build/src/cli/zrk.exe"
builder_exe="$build/src/app/win32/zrk-builder.exe"
probe_exe="$build/tests/windows/window_probe.exe"
# A 32-bit program under a Wine without its 32-bit half exits 0 and prints nothing.
if [ "$(wine "$zrk_exe" --version 2>/dev/null | tr -d '\r')" != "zrk 1.0.0" ]; then
  echo "windows-test: Wine does not run the 32-bit programs (is wine32:i386 installed?)" >&2
  exit 1
fi

echo "== $preset: tests under Wine"
if ! ctest --preset "$preset" -N | grep -q 'Total Tests: [1-9]'; then
  echo "windows-test: no tests were discovered: the test programs did not run under Wine" >&2
  exit 1
fi
ctest --preset "$preset" -j 2 --label-exclude display
# The dialog and window tests need a display, and take it one at a time.
xvfb-run -a -s '-screen 0 1024x768x24' ctest --preset "$preset" --label-regex display

# --- The same skins packed by both builds give the same bytes.
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
make_skin "$work/made-skin"

# The Windows package goes into out_dir (default: the work folder).
compare_packages() {
  local name=$1 project=$2 out_dir=${3:-$work}
  "$linux_zrk" build "$project" -o "$work/$name-linux.zrk" >/dev/null
  if ! wine "$zrk_exe" build "$(winepath -w "$project")" \
    -o "$(winepath -w "$out_dir/$name-windows.zrk")" >"$work/$name-windows.out" 2>&1 ||
    ! cmp "$work/$name-linux.zrk" "$out_dir/$name-windows.zrk"; then
    echo "windows-test: $name: zrk.exe failed or wrote another package than zrk" >&2
    cat "$work/$name-windows.out" >&2
    exit 1
  fi
  echo "$name: byte-identical, $(stat -c %s "$work/$name-linux.zrk") bytes, $("$linux_zrk" list "$work/$name-linux.zrk" | wc -l) entries"
}
echo "== zrk.exe against zrk"
compare_packages demo-skin "$root/examples/demo-skin/config.zrp"
compare_packages made-skin "$work/made-skin/config.zrp"
# Cyrillic folders on zrk.exe's command line: the project's and the package's; the report on
# stdout stays UTF-8.
mkdir -p "$work/Иван/Скины" "$work/Пакеты"
cp -r "$work/made-skin" "$work/Иван/Скины/Синий"
compare_packages cyrillic-paths "$work/Иван/Скины/Синий/config.zrp" "$work/Пакеты"
grep -q '^Операция успешно завершена!' "$work/cyrillic-paths-windows.out" ||
  { echo "windows-test: zrk.exe's report is not UTF-8" >&2; exit 1; }

# --- zrk-builder.exe as a user drives it: Browse, the project, the package name, the box.
echo "== zrk-builder.exe smoke test"
mkdir -p "$work/gui"
cp -r "$root/examples/demo-skin" "$work/gui/skin"
cat >"$work/gui/drive.sh" <<'EOF'
#!/usr/bin/env bash
# Runs inside xvfb-run: drives zrk-builder.exe through window_probe and writes what it saw
# into $out. Each probe command waits for its window to appear.
set -euo pipefail
wine "$builder_exe" &
wine "$probe_exe" browse
wine "$probe_exe" dialog 'Открыть' >"$out/open-dialog.txt"
sleep 1
import -window root "$out/open-dialog.png"
wine "$probe_exe" accept 'Открыть' "$project"
wine "$probe_exe" dialog 'Сохранить как' >"$out/save-dialog.txt"
wine "$probe_exe" accept 'Сохранить как' "$package"
for _ in $(seq 1 120); do [ -f "$out/package.zrk" ] && break; sleep 0.5; done
wine "$probe_exe" dialog 'Сборщик ZRK серии 4.x (29)' >/dev/null  # the success box
sleep 1
import -window root "$out/success-box.png"
wine "$probe_exe" confirm-box
sleep 1
wine "$probe_exe" report >"$out/report.txt"
import -window root "$out/zrk-builder.png"
wineserver -k
EOF
export builder_exe probe_exe out="$work/gui"
export project="$(winepath -w "$work/gui/skin/config.zrp")" package="$(winepath -w "$work/gui/package")"
wineserver -w
xvfb-run -a -s '-screen 0 1024x768x24' bash "$work/gui/drive.sh"
cp "$work/gui/"*.png "$build/"
check() {
  if [ "$2" != "$3" ]; then
    echo "windows-test: $1: expected '$3', got '$2'" >&2
    exit 1
  fi
}
check "open dialog's OK button and filter" "$(tr -d '\r' <"$work/gui/open-dialog.txt")" \
  "$(printf 'Выбарть\nФайлы проектов ZRK 4.x (*.zrp)')"
check "save dialog's OK button and filter" "$(tr -d '\r' <"$work/gui/save-dialog.txt")" \
  "$(printf 'Сохранить\nФайлы оболочек ZR 4.x (*.zrk)')"
check "report's last line" "$(tr -d '\r' <"$work/gui/report.txt" | tail -1)" \
  "Операция успешно завершена!"
cmp "$work/gui/package.zrk" "$work/demo-skin-linux.zrk"
echo "zrk-builder.exe: report ends in success, package byte-identical to zrk's; screenshots in $build"
echo "windows-test: all Windows checks passed"
