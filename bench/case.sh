#!/usr/bin/env bash
# Letter case: `zrk build` of a skin whose N names differ in letter case from the files on disk
# (the INI files name IMG\Frame00000.BMP, the disk holds img/frame00000.bmp, all N in one folder)
# against the same skin named in the disk's case, N = 1,000, 4,000 and 8,000; best of ROUNDS (3)
# runs taking turns, page cache warm.
#   target: differing <= 2 x matching at each N; below 0.05 s the build is met whatever the ratio
# A build that runs past LIMIT seconds (120) is given up and missed.
# Usage: bench/case.sh (after a release build; bench/run.sh builds first)
source "$(dirname "$0")/common.sh"
limit=${LIMIT:-120}

for n in 1000 4000 8000; do
  # 15 names and 35 frames a module: N / 50 modules.
  make_skin "$work/same$n" $((n / 50)) 35 2048
  make_skin "$work/differ$n" $((n / 50)) 35 2048 differ
  same="" differ="" gave_up=""
  for ((r = 0; r < rounds; r++)); do
    t=$(seconds "$zrk" build "$work/same$n/config.zrp" -o "$work/out.zrk" --force)
    same=$(smaller "$same" "$t")
    t=$(seconds timeout "$limit" "$zrk" build "$work/differ$n/config.zrp" -o "$work/out.zrk" --force) || {
      gave_up=1
      break
    }
    differ=$(smaller "$differ" "$t")
  done
  label="zrk build, $n of $((n + n / 50 + 1)) names in another letter case"
  if [[ -n $gave_up ]]; then
    verdict 0 "$label: gave up after $limit s (matching case: $same s; target <= 2 x matching)"
  else
    over=$(ratio "$differ" "$same")
    target="target <= 2.00"
    holds "$differ >= 0.05" || target="$target; under 0.05 s, met whatever the ratio"
    verdict "$differ < 0.05 || $over <= 2.00" \
      "$label: $differ s / $same s matching = $over ($target)"
  fi
  rm -rf "$work/same$n" "$work/differ$n" "$work/out.zrk"
done
finish
