#!/bin/sh
# Runs a Windows program of the cross build under Wine: quiet, in the Russian ANSI code page of
# the tool's users, and in a Wine prefix of the build's own unless WINEPREFIX names one.
: "${WINEDEBUG:=-all}"
: "${LC_ALL:=ru_RU.UTF-8}"
: "${WINEPREFIX:=${ZRK_DEFAULT_WINEPREFIX:-${TMPDIR:-/tmp}/zrk-wine-$(id -u)}}"
export WINEDEBUG LC_ALL WINEPREFIX
exec wine "$@"
