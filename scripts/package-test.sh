#!/usr/bin/env bash
# Builds the Debian package from a release build, unpacks it into a scratch folder (never onto
# this machine) and checks what it installs: the programs run from there and pack the demo skin,
# the manual pages render, the desktop entry and the MIME types are valid, bash completes zrk and
# lintian finds no error in the package.
#
#   scripts/package-test.sh            build the package, then run every check
#   scripts/package-test.sh build      build and unpack the package only
#   scripts/package-test.sh CHECK...   run the named checks on the package built last
#
# CTest runs the build and each check as a test of its own (label "package").
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/package
root="$PWD/$build/root"
checks=(installed_files dependencies libraries_resolve zrk_version zrk_build_and_list
  man_page_zrk man_page_zrk_builder man_page_zrk_format example_builds desktop_entry mime_types
  completion lintian)

build_package() {
  echo "== package: configure, build, cpack -G DEB"
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DZRK_BUILD_BENCHMARKS=OFF >/dev/null
  cmake --build "$build" -j "$(nproc)"
  rm -f "$build"/zrk_*.deb
  (cd "$build" && cpack -G DEB >/dev/null)
  rm -rf "$root"
  dpkg -x "$build"/zrk_*.deb "$root"
  echo "unpacked $(basename "$build"/zrk_*.deb) into $root"
}

installed_files() {
  local absent=0 f
  for f in usr/bin/zrk usr/bin/zrk-builder usr/share/applications/zrk-builder.desktop \
    usr/share/icons/hicolor/scalable/apps/zrk-builder.svg usr/share/mime/packages/zrk.xml \
    usr/share/man/man1/zrk.1.gz usr/share/man/man1/zrk-builder.1.gz \
    usr/share/man/man5/zrk-format.5.gz usr/share/doc/zrk/copyright usr/share/doc/zrk/changelog.gz \
    usr/share/doc/zrk/examples/demo-skin/config.zrp \
    usr/share/bash-completion/completions/zrk; do
    [ -f "$root/$f" ] || { echo "missing: /$f"; absent=1; }
  done
  for size in 16 22 24 32 48 64 128 256; do
    f=usr/share/icons/hicolor/${size}x$size/apps/zrk-builder.png
    [ -f "$root/$f" ] || { echo "missing: /$f"; absent=1; }
  done
  return "$absent"
}

dependencies() {
  local depends
  depends=$(dpkg-deb -f "$deb" Depends)
  echo "Depends: $depends"
  [[ $depends == *libc6* && $depends == *libqt6widgets6* && $depends == *qt6-translations-l10n* ]]
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
  [ -z "$out" ] &&
    grep -qx 'MimeType=application/x-zrk-project;application/x-zrk-package;' \
      "$root/usr/share/applications/zrk-builder.desktop"
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
  expected=$'--help --version build check diff extract get init list \nB.ZRK a.zrk skin \n--strict '
  echo "$out"
  [ "$out" == "$expected" ]
}

man_page_zrk() { man_page "$root/usr/share/man/man1/zrk.1.gz"; }
man_page_zrk_builder() { man_page "$root/usr/share/man/man1/zrk-builder.1.gz"; }
man_page_zrk_format() { man_page "$root/usr/share/man/man5/zrk-format.5.gz"; }

# The installed example, copied as its manual page says, passes the strict check and builds.
example_builds() {
  cp -r "$root/usr/share/doc/zrk/examples/demo-skin" "$work/demo-skin" &&
    (cd "$work" && env -u LD_LIBRARY_PATH "$zrk" check --strict -q demo-skin &&
      env -u LD_LIBRARY_PATH "$zrk" build -q demo-skin -o demo-example.zrk) &&
    [ -s "$work/demo-example.zrk" ]
}

# lintian's verdict on the package: its warnings are printed, an error fails the check.
lintian() {
  local out status=0
  out=$(command lintian --tag-display-limit 0 "$deb" 2>&1) || status=$?
  echo "$out"
  ((status <= 1)) && ! grep -q '^E: ' <<<"$out"
}

if [ "${1:-}" = build ]; then
  build_package
  exit 0
fi
if (($# == 0)); then
  build_package
  set -- "${checks[@]}"
fi
[ -d "$root" ] || { echo "package-test: no package unpacked in $root; run 'scripts/package-test.sh build'" >&2; exit 1; }
debs=("$build"/zrk_*.deb)
deb=${debs[0]}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
zrk="$root/usr/bin/zrk"
work=$(mktemp -d "${TMPDIR:-/tmp}/zrk-package-test.XXXXXX")
trap 'rm -rf "$work"' EXIT

failed=0
for check in "$@"; do
  if "$check" >"$work/out" 2>&1; then
    echo "ok    $check"
  else
    failed=$((failed + 1))
    echo "FAIL  $check"
    sed 's/^/      /' "$work/out"
  fi
done
echo "package-test: $(($# - failed)) passed, $failed failed ($deb)"
[ "$failed" -eq 0 ]
