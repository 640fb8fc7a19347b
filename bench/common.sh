# Shared by the benchmark scripts (sourced): the built programs, a scratch folder, timing,
# verdict lines and the generated skins.
set -euo pipefail
# Plain "." decimals in $EPOCHREALTIME and awk, whatever the caller's locale.
export LC_ALL=C.UTF-8

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
zrk=$root/build/release/src/cli/zrk
rounds=${ROUNDS:-3}
missed=0

work=$(realpath "$(mktemp -d "${TMPDIR:-/tmp}/zrk-bench.XXXXXX")")
trap 'rm -rf "$work"' EXIT

# need_space MIB: stops unless the scratch folder's file system has MIB MiB free.
need_space() {
  local avail
  avail=$(df --output=avail -BM "$work" | tail -1 | tr -dc 0-9)
  if ((avail < $1)); then
    echo "bench: $avail MiB free in $work, need $1 MiB (set TMPDIR)" >&2
    exit 2
  fi
}

# since START: the seconds from START, an $EPOCHREALTIME, until now.
since() { awk -v a="$1" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.3f", b - a }'; }

# seconds CMD...: runs CMD with its output discarded and prints its wall time in seconds; returns
# CMD's exit status.
seconds() {
  local start=$EPOCHREALTIME status=0
  "$@" >/dev/null 2>&1 || status=$?
  since "$start"
  return "$status"
}

# calc EXPRESSION: prints the awk expression's value with two decimals.
calc() { awk "BEGIN { printf \"%.2f\", $1 }"; }
# ratio A B: A / B with two decimals; verdicts compare this printed figure.
ratio() { calc "$1 / $2"; }
# holds CONDITION: succeeds when the awk condition holds.
holds() { awk "BEGIN { exit !($1) }"; }
# smaller A B: prints the smaller number (B when A is empty).
smaller() { if [[ -z $1 ]] || holds "$2 < $1"; then echo "$2"; else echo "$1"; fi; }

# verdict CONDITION TEXT: prints "met" or "missed" and TEXT; a miss fails the script at the end.
verdict() {
  if holds "$1"; then
    echo "met     $2"
  else
    echo "missed  $2"
    missed=1
  fi
}

# make_skin FOLDER MODULES FRAMES BYTES [differ]: a skin of 1 + MODULES * (16 + FRAMES) files: the
# project config.zrp; MODULES module files m/modNNNN.ini, named by [MODULES] five keys a pass (the
# bare keys, then one pass a SizeList size); in each module 15 names of its own and FRAMES frames,
# files of BYTES random bytes after "BM", all in the one folder img/. The INI files name img\frame00000.bmp as
# on disk or, with "differ", IMG\Frame00000.BMP.
make_skin() {
  local folder=$1 modules=$2 frames=$3 bytes=$4
  local prefix='img\frame' suffix=.bmp
  [[ ${5:-} != differ ]] || { prefix='IMG\Frame' suffix=.BMP; }
  local keys=(BackGround Font Picture ToolTip BackLayer)
  local size_list="" module_keys="" size="" n=0 m i frame_list name
  local -a own
  local module='[STANDARD]\r\nPicture=%s\r\nMask=%s\r\nFontFileName=%s\r\nSecondFontFileName=%s\r\n'
  for name in MOUSEMOVE MOUSEUP MOUSEDOWN; do
    module+="[$name]\r\nPicture=%s\r\nFontFileName=%s\r\nMask=%s\r\n"
  done
  module+='[EFFECTS]\r\nPicture=%s\r\nMask=%s\r\nFrames=%s\r\n'
  mkdir -p "$folder/m" "$folder/img"
  for ((m = 0; m < modules; m++)); do
    if ((m % 5 == 0 && m > 0)); then
      size=$((640 + 8 * (m / 5)))
      size_list+="${size_list:+;}$size,$((size * 3 / 4))"
    fi
    printf -v name 'm\\mod%04d.ini' "$m"
    module_keys+="${keys[m % 5]}$size=$name"$'\r\n'
    for ((i = 0; i < 15; i++)); do printf -v 'own[i]' '%s%05d%s' "$prefix" $((n++)) "$suffix"; done
    frame_list=""
    for ((i = 0; i < frames; i++)); do
      printf -v name '%s%05d%s' "$prefix" $((n++)) "$suffix"
      frame_list+="${frame_list:+;}$name"
    done
    printf "$module" "${own[@]}" "$frame_list" >"$(printf '%s/m/mod%04d.ini' "$folder" "$m")"
  done
  printf '[DIRECTIVES]\r\nSizeList=%s\r\n[MODULES]\r\n%s' "$size_list" "$module_keys" \
    >"$folder/config.zrp"
  # Random pictures, each starting with the "BM" of a BMP file as a skin's pictures do.
  head -c $((n * bytes)) /dev/urandom |
    perl -e 'while (read(STDIN, $b, $ARGV[0])) { substr($b, 0, 2) = "BM"; print $b }' "$bytes" |
    split -b "$bytes" -a 5 -d --additional-suffix=.bmp - "$folder/img/frame"
  # zrk must find every file, and count the ones meant.
  local count=$((1 + modules + n)) report
  report=$("$zrk" check "$folder/config.zrp" 2>&1) || {
    echo "bench: zrk check fails on $folder" >&2
    exit 1
  }
  if ! grep -qx "Всего в проекте найдено $count файл(ов)!" <<<"$report"; then
    echo "bench: $folder: zrk does not count $count files" >&2
    exit 1
  fi
}

# install_missing COMMAND:PACKAGE...: installs the Debian packages of the commands not found.
install_missing() {
  local missing=() tool sudo_cmd=()
  for tool in "$@"; do command -v "${tool%%:*}" >/dev/null || missing+=("${tool#*:}"); done
  ((${#missing[@]})) || return 0
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  echo "bench: installing ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
    --no-install-recommends "${missing[@]}" >/dev/null
}

# finish: the exit status of a benchmark script, 1 when a target was missed.
finish() { exit "$missed"; }
