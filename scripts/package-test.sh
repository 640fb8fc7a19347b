#!/usr/bin/env bash
# Builds the Debian package from a release build, unpacks it into a scratch folder (never onto
# this machine) and checks what it installs: the programs run from there and pack the demo skin,
# the manual pages render, the desktop entry and the MIME types are valid and bash completes zrk.
# Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."

# The checkers beside the build's own tools.
bash scripts/setup.sh groff-base man-db desktop-file-utils libxml2-utils bash-completion

build=build/package
echo "== package: configure, build, cpack -G DEB"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DZRK_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/zrk_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/zrk_*.deb)
deb=${debs[0]}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

work=$(mktemp -d "${TMPDIR:-/tmp}/zrk-package-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
root="$work/root"
dpkg -x "$deb" "$root"
zrk="$root/usr/bin/zrk"

passed=0
failed=0
# check DESCRIPTION COMMAND...: runs the command, its output kept in $work/out and shown on failure.
check() {
  local description=$1
  shift
  if "$@" >"$work/out" 2>&1; then
    passed=$((passed + 1))
    echo "ok    $description"
  else
    failed=$((failed + 1))
    echo "FAIL  $description"
    sed 's/^/      /' "$work/out"
  fi
}

installed_files() {
  local absent=0 f
  for f in usr/bin/zrk usr/bin/zrk-builder usr/share/applications/zrk-builder.desktop \
    usr/share/icons/hicolor/32x32/apps/zrk-builder.xpm usr/share/mime/packages/zrk.xml \
    usr/share/man/man1/zrk.1 usr/share/man/man1/zrk-builder.1 \
    usr/share/bash-completion/completions/zrk; do
    [ -f "$root/$f" ] || { echo "missing: /$f"; absent=1; }
  done
  return "$absent"
}

dependencies() {
  local depends
  depends=$(dpkg-deb -f "$deb" Depends)
  echo "Depends: $depends"
  [[ $depends == *libc6* && $depends == *libqt6widgets6* ]]
}

libraries_resolve() {
  ! env -u LD_LIBRARY_PATH ldd "$zrk" "$root/usr/bin/zrk-builder" | grep 'not found'
}

zrk_version() {
  local out
  out=$(env -u LD_LIBRARY_PATH "$zrk" --version) || return 1
  echo "$out"
  [[ $out == *"$version"* ]]
}

zrk_build_and_list() {
  env -u LD_LIBRARY_PATH "$zrk" build examples/demo-skin/config.zrp -o "$work/demo.zrk" --force &&
    env -u LD_LIBRARY_PATH "$zrk" list "$work/demo.zrk" >"$work/list" &&
    grep -q 'config.zrp' "$work/list"
}

# The page renders without a warning and names its version.
man_page() {
  local out
  out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings=w -l "$1" 2>"$work/man-errors") || return 1
  cat "$work/man-errors"
  [ ! -s "$work/man-errors" ] && [[ $out == *"$version"* ]]
}

desktop_entry() {
  local out
  out=$(desktop-file-validate "$root/usr/share/applications/zrk-builder.desktop" 2>&1) || {
    echo "$out"
    return 1
  }
  echo "$out"
  [ -z "$out" ]
}

mime_types() {
  local xml="$root/usr/share/mime/packages/zrk.xml"
  xmllint --noout "$xml" &&
    grep -q 'type="application/x-zrk-project"' "$xml" &&
    grep -q 'type="application/x-zrk-package"' "$xml"
}

# Completions of `zrk ` and of `zrk list ` in a folder holding a package, a project and a folder.
completion() {
  mkdir -p "$work/complete/skin"
  touch "$work/complete/a.zrk" "$work/complete/B.ZRK" "$work/complete/config.zrp"
  # shellcheck disable=SC2016 # expanded by the inner bash
  local script='
    source /usr/share/bash-completion/bash_completion
    source "$1"
    cd "$2"
    complete_line() {
      COMP_LINE=$1 COMP_POINT=${#1}
      read -ra COMP_WORDS <<<"$1"
      [[ $1 == *" " ]] && COMP_WORDS+=("")
      COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
      COMPREPLY=()
      _zrk zrk "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
      printf "%s\n" "${COMPREPLY[@]}" | LC_ALL=C sort | tr "\n" " "
      echo
    }
    complete_line "zrk "
    complete_line "zrk list "
    complete_line "zrk check --s"'
  local out expected
  out=$(bash -c "$script" bash "$root/usr/share/bash-completion/completions/zrk" "$work/complete")
  expected=$'--help --version build check extract get list \nB.ZRK a.zrk skin \n--strict '
  echo "$out"
  [ "$out" == "$expected" ]
}

echo "== package: checks of $(basename "$deb") unpacked into a scratch folder"
check "the package installs the programs, desktop entry, icon, MIME types, manual pages and completion" installed_files
check "the package depends on the libraries its programs use" dependencies
check "the installed programs find every library" libraries_resolve
check "zrk --version names $version" zrk_version
check "zrk build packs the demo skin and zrk list reads the package" zrk_build_and_list
check "zrk.1 renders" man_page "$root/usr/share/man/man1/zrk.1"
check "zrk-builder.1 renders" man_page "$root/usr/share/man/man1/zrk-builder.1"
check "the desktop entry is valid" desktop_entry
check "the MIME types are well-formed XML" mime_types
check "bash completes commands, options and packages" completion

echo "package-test: $passed passed, $failed failed ($deb)"
[ "$failed" -eq 0 ]
