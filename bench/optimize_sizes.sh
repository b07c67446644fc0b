#!/bin/bash
# Sizes and times of the smallest-GIF mode against the usual tools, over a
# fixed set: the real animations of the shared corpus that decode, and the
# generated animations of bench_optimize_set (one of each kind of change).
# For each file: the --exact-colours output as written and after gifsicle -O3,
# FFmpeg's GIF, --optimize and --optimize=2, with their times (best of RUNS
# runs, default 3, in seconds) and the ratio of each level to gifsicle's size.
# The last line gives the geometric means of the ratios. gifsicle and FFmpeg
# are optional comparison tools; their columns stay empty when they are not
# installed. Folders given after the program replace the fixed set.
#
# Usage: bench/optimize_sizes.sh [CLI] [FOLDER...]
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-$here/build/bin/tovasel-cli}
shift || true
runs=${RUNS:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

files=()
if [ $# -gt 0 ]; then
  for folder in "$@"; do
    for flic in "$folder"/*; do
      case "$flic" in *.fli|*.flc|*.FLI|*.FLC) [ -f "$flic" ] && files+=("$flic") ;; esac
    done
  done
else
  corpus=$here/../shared/corpus/flic
  for name in 2422.flc a.fli hopper.fli hopper_palette_chunk_second.fli; do
    [ -f "$corpus/$name" ] && files+=("$corpus/$name")
  done
  make_set=$(dirname "$cli")/bench_optimize_set
  if [ -x "$make_set" ]; then
    "$make_set" "$work/set" && files+=("$work/set"/*.flc)
  else
    echo "no $make_set: the generated animations are left out" >&2
  fi
fi

best_time() {  # best wall-clock time of RUNS runs of a command, output discarded
  local best="" t
  for ((r = 0; r < runs; ++r)); do
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1 || return 1
    end=$(date +%s.%N)
    t=$(echo "$end - $start" | bc)
    if [ -z "$best" ] || [ "$(echo "$t < $best" | bc)" = 1 ]; then best=$t; fi
  done
  printf '%.3f' "$best"
}
size() { stat -c %s "$1" 2>/dev/null || echo ""; }
ratio() { [ -n "$1" ] && [ -n "$2" ] && echo "scale=4; $1 / $2" | bc -l || echo ""; }

row='%-34s %10s %10s %10s %8s %10s %8s %10s %8s %7s %7s\n'
printf "$row" file exact gifsicle ffmpeg ff_s optimize opt_s optimize2 opt2_s o1/gs o2/gs
declare -A total=()
logs1=0 logs2=0 count=0
for flic in "${files[@]}"; do
  name=$(basename "$flic")
  "$cli" convert "$flic" --exact-colours -o "$work/exact.gif" >/dev/null 2>&1 || continue
  exact=$(size "$work/exact.gif")
  gs="" ff="" fft=""
  if command -v gifsicle >/dev/null; then
    gifsicle -O3 "$work/exact.gif" -o "$work/gs.gif" 2>/dev/null && gs=$(size "$work/gs.gif")
  fi
  if command -v ffmpeg >/dev/null; then
    fft=$(best_time ffmpeg -v error -y -i "$flic" "$work/ff.gif") && [ -s "$work/ff.gif" ] && ff=$(size "$work/ff.gif") || fft=""
  fi
  o1t=$(best_time "$cli" convert "$flic" --optimize -o "$work/o1.gif") || continue
  o2t=$(best_time "$cli" convert "$flic" --optimize=2 -o "$work/o2.gif") || continue
  o1=$(size "$work/o1.gif")
  o2=$(size "$work/o2.gif")
  r1=$(ratio "$o1" "$gs")
  r2=$(ratio "$o2" "$gs")
  printf "$row" "$name" "$exact" "$gs" "$ff" "$fft" "$o1" "$o1t" "$o2" "$o2t" "$r1" "$r2"
  for k in exact gs ff o1 o2; do total[$k]=$(( ${total[$k]:-0} + ${!k:-0} )); done
  if [ -n "$r1" ]; then
    logs1=$(echo "$logs1 + l($r1)" | bc -l)
    logs2=$(echo "$logs2 + l($r2)" | bc -l)
    count=$((count + 1))
  fi
done
g1="" g2=""
if [ "$count" -gt 0 ]; then
  g1=$(printf '%.4f' "$(echo "e($logs1 / $count)" | bc -l)")
  g2=$(printf '%.4f' "$(echo "e($logs2 / $count)" | bc -l)")
fi
printf "$row" total "${total[exact]:-}" "${total[gs]:-}" "${total[ff]:-}" "" \
  "${total[o1]:-}" "" "${total[o2]:-}" "" "$g1" "$g2"
