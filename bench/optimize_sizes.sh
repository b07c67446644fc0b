#!/bin/bash
# Sizes and times of the smallest-GIF mode against the usual tools, for every
# FLIC file of a folder that converts: the --exact-colours output as written
# and after gifsicle -O3, FFmpeg's GIF, --optimize and --optimize=2. Times
# are the best of three runs, in seconds. gifsicle and FFmpeg are optional
# comparison tools; their columns stay empty when they are not installed.
#
# Usage: bench/optimize_sizes.sh [CLI] [FOLDER]
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-$here/build/bin/tovasel-cli}
folder=${2:-$here/../shared/corpus/flic}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

best_time() {  # best of three wall-clock times of a command, output discarded
  local best="" t
  for _ in 1 2 3; do
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

printf '%-36s %10s %10s %10s %8s %10s %8s %10s %8s\n' file exact gifsicle ffmpeg ff_s optimize opt_s optimize2 opt2_s
declare -A total=()
for flic in "$folder"/*; do
  [ -f "$flic" ] || continue
  name=$(basename "$flic")
  case "$name" in *.fli|*.flc|*.FLI|*.FLC) ;; *) continue ;; esac
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
  printf '%-36s %10s %10s %10s %8s %10s %8s %10s %8s\n' "$name" "$exact" "$gs" "$ff" "$fft" "$o1" "$o1t" "$o2" "$o2t"
  for k in exact gs ff o1 o2; do total[$k]=$(( ${total[$k]:-0} + ${!k:-0} )); done
done
printf '%-36s %10s %10s %10s %8s %10s %8s %10s %8s\n' total "${total[exact]}" "${total[gs]}" "${total[ff]}" "" \
  "${total[o1]}" "" "${total[o2]}" ""
