#!/usr/bin/env bash
# The writer: `zrk build` against its peers on the same files, best of ROUNDS (5) runs taking
# turns; a ratio's spread is that of the pairs of runs taken one after the other.
#   20,801 files of 2 KB, page cache warm:  zrk build <= 0.80 x `tar -cf` (tar does not sync; the
#                                           package is synced)
#   the same, the page cache dropped before each run: zrk build <= 0.70 x `tar -cf`
#   211 files, 500 MB in all, warm: zrk build <= 1.00 x `cat` into one file, then `sync` of it
#   peak memory (max RSS) of zrk build <= 16 MiB on both
# Dropping the page cache takes root (or sudo); without it the cold run is reported as missed.
# Usage: bench/writer.sh (after a release build; bench/run.sh builds first). TMPDIR: the scratch
# folder's parent, on the disk to measure.
source "$(dirname "$0")/common.sh"
rounds=${ROUNDS:-5}
install_missing /usr/bin/time:time
need_space 1200

# The peers: the files of the skin, listed in $skin.files, written to $out; "sync -d" is the
# fdatasync the writer ends with.
tar_files() { tar -cf "$out" -C "$skin" -T "$skin.files"; }
tar_synced() { tar_files && sync -d "$out"; }
cat_files() { (cd "$skin" && xargs -d '\n' cat -- <"$skin.files" >"$out"); }
cat_synced() { cat_files && sync -d "$out"; }
zrk_build() { "$zrk" build "$skin/config.zrp" -o "$out" --force; }

# drop_caches: empties the page cache (and the folder and file caches) so that the next run reads
# the skin from the device; fails without the right to.
drop_caches() {
  local sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo -n)
  sync && echo 3 | "${sudo_cmd[@]}" tee /proc/sys/vm/drop_caches >/dev/null 2>&1
}

# best_of BEFORE COMMAND... (returns 2 when BEFORE fails): the fastest of ROUNDS runs of each command, in turns, each on a fresh
# output with nothing left to flush and after BEFORE (":" or drop_caches); prints them in the
# order given, then the smallest and largest ratio of the first command's run to the second's
# taken right after it.
best_of() {
  local before=$1
  shift
  local -a best=() round=()
  local r c t low="" high=""
  for ((r = 0; r < rounds; r++)); do
    for ((c = 1; c <= $#; c++)); do
      rm -f "$out" && sync
      "$before" || return 2
      t=$(seconds "${!c}") || { echo "bench: ${!c} failed" >&2; exit 1; }
      round[c]=$t
      best[c]=$(smaller "${best[c]:-}" "$t")
    done
    t=$(ratio "${round[1]}" "${round[2]}")
    low=$(smaller "$low" "$t")
    holds "${high:-0} >= $t" || high=$t
  done
  rm -f "$out"
  echo "${best[@]} $low $high"
}

# peak_memory LABEL: the verdict on the peak memory of one zrk build of the skin at $skin.
peak_memory() {
  /usr/bin/time -f %M -o "$work/rss" "$zrk" build "$skin/config.zrp" -o "$out" --force \
    >/dev/null 2>&1
  rm -f "$out"
  local mib
  mib=$(calc "$(cat "$work/rss") / 1024")
  verdict "$mib <= 16" "peak memory of zrk build on $1: $mib MiB (target <= 16 MiB)"
}

# warm: lists the skin's files for the peers and reads them all into the page cache.
warm() {
  (cd "$skin" && find . -type f -printf '%P\n' | sort) >"$skin.files"
  (cd "$skin" && xargs -d '\n' cat -- <"$skin.files" >/dev/null)
}

out=$work/out.zrk

skin=$work/small
make_skin "$skin" 400 36 2048
warm
times=$(best_of : zrk_build tar_files tar_synced)
read -r z t ts low high <<<"$times"
echo "20,801 files of 2 KB, warm: zrk build $z s, tar -cf $t s (tar -cf, then sync: $ts s)"
r=$(ratio "$z" "$t")
verdict "$r <= 0.80" \
  "zrk build / tar -cf, 20,801 files of 2 KB, warm: $r, pairs $low-$high (target <= 0.80)"
status=0
times=$(best_of drop_caches zrk_build tar_files) || status=$?
if ((status == 0)); then
  read -r z t low high <<<"$times"
  echo "20,801 files of 2 KB, cold: zrk build $z s, tar -cf $t s"
  r=$(ratio "$z" "$t")
  verdict "$r <= 0.70" \
    "zrk build / tar -cf, 20,801 files of 2 KB, cold: $r, pairs $low-$high (target <= 0.70)"
elif ((status == 2)); then
  why="not measured, the page cache cannot be dropped here"
  verdict 0 "zrk build / tar -cf, 20,801 files of 2 KB, cold: $why (target <= 0.70)"
else
  exit 1
fi
warm
peak_memory "20,801 files"
rm -rf "$skin"

skin=$work/large
make_skin "$skin" 5 26 $((500 * 1024 * 1024 / 205))
warm
times=$(best_of : zrk_build cat_synced cat_files)
read -r z cs c low high <<<"$times"
echo "211 files, 500 MB: zrk build $z s, cat $c s, cat then sync $cs s"
r=$(ratio "$z" "$cs")
verdict "$r <= 1.00" \
  "zrk build / (cat, then sync), 211 files, 500 MB: $r, pairs $low-$high (target <= 1.00)"
peak_memory "211 files"
finish
