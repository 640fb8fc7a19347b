#!/usr/bin/env bash
# The writer: `zrk build` against its peers on the same files, page cache warm, best of ROUNDS
# (5) runs taking turns.
#   20,801 files of 2 KB:     zrk build <= 1.00 x `tar -cf` (aim 0.80)
#   211 files, 500 MB in all: zrk build <= 1.10 x `cat` into one file, then `sync` of that file
#   peak memory (max RSS) of zrk build <= 16 MiB on both
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

# best_of COMMAND...: the fastest of ROUNDS runs of each command, in turns, each on a fresh output
# with nothing left to flush; prints them in the order given.
best_of() {
  local -a best=()
  local r c t
  for ((r = 0; r < rounds; r++)); do
    for ((c = 1; c <= $#; c++)); do
      rm -f "$out" && sync
      t=$(seconds "${!c}") || { echo "bench: ${!c} failed" >&2; exit 1; }
      best[c]=$(smaller "${best[c]:-}" "$t")
    done
  done
  rm -f "$out"
  echo "${best[@]}"
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
times=$(best_of zrk_build tar_files tar_synced)
read -r z t ts <<<"$times"
echo "20,801 files of 2 KB: zrk build $z s, tar -cf $t s (tar -cf, then sync: $ts s)"
r=$(ratio "$z" "$t")
aim=$(holds "$r <= 0.80" && echo reached || echo "not reached")
verdict "$r <= 1.00" "zrk build / tar -cf, 20,801 files of 2 KB: $r (target <= 1.00; aim 0.80 $aim)"
peak_memory "20,801 files"
rm -rf "$skin"

skin=$work/large
make_skin "$skin" 5 26 $((500 * 1024 * 1024 / 205))
warm
times=$(best_of zrk_build cat_files cat_synced)
read -r z c cs <<<"$times"
echo "211 files, 500 MB: zrk build $z s, cat $c s, cat then sync $cs s"
r=$(ratio "$z" "$cs")
verdict "$r <= 1.10" "zrk build / (cat, then sync), 211 files, 500 MB: $r (target <= 1.10)"
peak_memory "211 files"
finish
