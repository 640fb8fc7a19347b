#!/usr/bin/env bash
# Times the package writer against cat and tar on two synthetic skins and reports its peak memory.
#
# Usage: bench/package/run.sh [DRIVER]
#   DRIVER  the zrk_package_bench program of a Release build (default: the release preset's).
# Environment: ROUNDS (default 5) runs of each command, the fastest counts; TMPDIR for the data.
# Targets: within 10% of cat on large files, no slower than tar on small ones, peak RSS < 32 MiB.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
rounds=${ROUNDS:-5}

driver=${1:-}
if [[ -z $driver ]]; then
  driver="$root/build/release/bench/package/zrk_package_bench"
fi
if [[ -z $driver || ! -x $driver ]]; then
  echo "run.sh: no driver; build zrk_package_bench in Release and pass its path" >&2
  exit 2
fi

if [[ ! -x /usr/bin/time ]]; then
  sudo_cmd=""
  [[ $(id -u) -ne 0 ]] && sudo_cmd="sudo"
  $sudo_cmd apt-get install -y time >/dev/null
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/zrk-package-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
need=$((1400 * 1024 * 1024))
avail=$(df --output=avail -B1 "$work" | tail -1)
if ((avail < need)); then
  echo "run.sh: $((avail / 1048576)) MiB free in $work, need $((need / 1048576)) MiB" >&2
  exit 2
fi

# make_skin NAME FOLDERS FILES_PER_FOLDER FILE_SIZE: random files in sub-folders, a config.zrp,
# and NAME.list (entries with "\" for the writer) and NAME.files (native paths for cat and tar).
make_skin() {
  local name=$1 folders=$2 per_folder=$3 size=$4 skin="$work/$1"
  mkdir -p "$skin"
  printf '[MODULES]\r\nBackGround=back\r\n' >"$skin/config.zrp"
  for ((i = 0; i < folders; i++)); do
    mkdir -p "$skin/Folder$i"
    head -c $((per_folder * size)) /dev/urandom | split -b "$size" -a 4 -d - "$skin/Folder$i/f"
  done
  (cd "$skin" && { echo config.zrp; find Folder* -type f | sort; }) >"$work/$name.files"
  tr '/' '\\' <"$work/$name.files" >"$work/$name.list"
}

# best_of CMD...: runs CMD ROUNDS times with a fresh output each time; prints the fastest seconds.
best_of() {
  local best="" start end elapsed
  for ((r = 0; r < rounds; r++)); do
    rm -f "$work/out"
    sync
    start=$EPOCHREALTIME
    "$@"
    end=$EPOCHREALTIME
    elapsed=$(echo "$end - $start" | bc -l)
    if [[ -z $best ]] || (($(echo "$elapsed < $best" | bc -l))); then best=$elapsed; fi
  done
  rm -f "$work/out"
  printf '%.3f' "$best"
}

run_writer() { "$driver" "$work/out" "$work/$skin/config.zrp" "$work/$skin.list"; }
run_writer_unsynced() { "$driver" --no-sync "$work/out" "$work/$skin/config.zrp" "$work/$skin.list"; }
run_cat() { (cd "$work/$skin" && cat -- "${files[@]}" >"$work/out"); }
run_tar() { (cd "$work/$skin" && tar -cf "$work/out" -- "${files[@]}"); }
run_cat_synced() { run_cat && sync -d "$work/out"; }
run_tar_synced() { run_tar && sync -d "$work/out"; }

ratio() { printf '%.2f' "$(echo "$1 / $2" | bc -l)"; }

report() {
  local skin=$1 label=$2
  mapfile -t files <"$work/$skin.files"
  cat -- "${files[@]/#/$work/$skin/}" >/dev/null  # warm the page cache

  # The package must hold exactly the files' bytes plus one header per entry.
  run_writer
  local data headers
  data=$(cd "$work/$skin" && du -cb --apparent-size -- "${files[@]}" | tail -1 | cut -f1)
  headers=$(cd "$work/$skin" && stat -c '%s %n' -- "${files[@]}" |
    awk '{ h += 12 + length($1) + length($2) } END { print h }')
  if [[ $(stat -c %s "$work/out") -ne $((10 + data + headers)) ]]; then
    echo "run.sh: package of $skin has the wrong size" >&2
    exit 1
  fi
  rm -f "$work/out"

  local writer unsynced cat_time tar_time cat_synced tar_synced rss
  writer=$(best_of run_writer)
  unsynced=$(best_of run_writer_unsynced)
  cat_time=$(best_of run_cat)
  cat_synced=$(best_of run_cat_synced)
  tar_time=$(best_of run_tar)
  tar_synced=$(best_of run_tar_synced)
  rss=$(/usr/bin/time -v "$driver" "$work/out" "$work/$skin/config.zrp" "$work/$skin.list" 2>&1 |
    awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }')
  rm -f "$work/out"
  printf '%-24s %-16s %8s %8s %8s %9s %9s\n' "$label" "fdatasync" "$writer" "$cat_synced" \
    "$tar_synced" "$(ratio "$writer" "$cat_synced")" "$(ratio "$writer" "$tar_synced")"
  printf '%-24s %-16s %8s %8s %8s %9s %9s\n' "" "none" "$unsynced" "$cat_time" "$tar_time" \
    "$(ratio "$unsynced" "$cat_time")" "$(ratio "$unsynced" "$tar_time")"
  printf '%-24s peak RSS of the writer: %.1f MiB\n' "" "$(echo "$rss / 1024" | bc -l)"
}

echo "Generating skins in $work ..."
make_skin large 4 50 $((2560 * 1024))  # 200 files, 500 MiB
make_skin small 20 1000 2048            # 20,000 files of 2 KiB

# The writer syncs its package before renaming it into place; it is compared with cat and tar
# followed by the same fdatasync, and, run without its sync, with plain cat and tar.
printf '%-24s %-16s %8s %8s %8s %9s %9s\n' skin "output synced" "writer s" "cat s" "tar s" \
  writer/cat writer/tar
skin=large report large "200 files, 500 MiB"
skin=small report small "20,000 files of 2 KiB"
echo "Targets: writer/cat <= 1.10 (large files), writer/tar <= 1.00 (small files), RSS < 32 MiB."
