#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with, when any is missing; with
# --windows also what the Windows programs' build and tests need (MinGW-w64 for 32 and 64 bits,
# Wine with its 32-bit half, the ru_RU.UTF-8 locale); packages named as arguments too (the tools
# one script alone needs).
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config git dpkg-dev file
  clang clang-format libclang-rt-14-dev
  libgtest-dev libbenchmark-dev libcli11-dev
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n
  xvfb xauth imagemagick
  # The window's tests run under each of these font families alone, as well as under all.
  fonts-dejavu-core fonts-liberation fonts-noto-core fonts-noto-mono fonts-urw-base35
  # What the Debian package's checks use.
  groff-base man-db desktop-file-utils libxml2-utils bash-completion lintian
)
windows=0
for arg in "$@"; do
  if [ "$arg" = --windows ]; then
    windows=1
    packages+=(googletest g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
      wine wine64 wine32:i386 fonts-wine locales)
  else
    packages+=("$arg")
  fi
done

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  if ((windows)) && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Wine's ANSI code page follows the locale: Windows-1251, as on the tool's users' machines.
if ((windows)) && ! locale -a 2>/dev/null | grep -qix 'ru_RU.utf8'; then
  "${sudo_cmd[@]}" sed -i 's/^# *ru_RU.UTF-8 UTF-8/ru_RU.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen ||
    echo 'ru_RU.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
