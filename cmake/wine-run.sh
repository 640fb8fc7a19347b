#!/bin/sh
# Runs a Windows program of the cross build under Wine: the loader first (`wine`, or Wine's
# 64-bit loader for the 64-bit build), then the program and its arguments. Quiet, in the Russian
# ANSI code page of the tool's users, and in a Wine prefix of the build's own unless WINEPREFIX
# names one.
: "${WINEDEBUG:=-all}"
: "${LC_ALL:=ru_RU.UTF-8}"
: "${WINEPREFIX:=${ZRK_DEFAULT_WINEPREFIX:-${TMPDIR:-/tmp}/zrk-wine-$(id -u)}}"
export WINEDEBUG LC_ALL WINEPREFIX
loader=$1
shift
exec "$loader" "$@"
