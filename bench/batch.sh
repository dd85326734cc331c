#!/usr/bin/env bash
# Times a batch of eight 20-second 720p clips converted to ".3gp" (176 x 144, 12 fps, 8 KB/s) by one
# launch with the default --jobs, against the same eight converted one after another by ffmpeg's
# single command and against `parallel -j2 ffmpeg` on them, and compares the batch's peak memory
# with one conversion's. RUNS paired rounds (order alternating); prints medians (min-max) and ratios.
# Memory is the peak of the summed proportional set size (shared pages split between the processes
# that share them) of the whole process tree, sampled every 50 ms; the summed resident size, which
# counts the shared libraries once per process, is printed beside it.
# Usage: bash bench/batch.sh    Environment: POCKETMOVIE_BENCH_BUILD (build folder), RUNS (default 3).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${POCKETMOVIE_BENCH_BUILD:-$root/build-bench}"
runs="${RUNS:-3}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPOCKETMOVIE_TESTS=OFF >/dev/null
fi
cmake --build "$build" --target pocketmovie -j2 >/dev/null
program="$build/pocketmovie"
command -v parallel >/dev/null || { echo "GNU parallel is missing (bash scripts/setup-deps.sh)" >&2; exit 1; }

clips="$build/bench-clips"
mkdir -p "$clips"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"

source "$root/bench/clips.sh"
source_clip="$(clip 1280 720 20)"
mkdir -p "$work/clips"
for i in 1 2 3 4 5 6 7 8; do cp "$source_clip" "$work/clips/clip$i.mp4"; done

options=(--format 3gp --size qcif --fps 12 --rate 8)
# ffmpeg's best single command for the same output: 8 KB/s is 65536 bit/s.
ffmpeg_args=(-vf fps=12,scale=176:144 -c:v mpeg4 -b:v 65536 -c:a libopencore_amrnb -ar 8000 -ac 1)

run_batch() { rm -rf "$work/out"; "$program" --headless "${options[@]}" --output-dir "$work/out" "$work/clips"; }
run_one() { rm -rf "$work/out"; "$program" --headless "${options[@]}" --output-dir "$work/out" "$work/clips/clip1.mp4"; }
run_ffmpeg_serial() {
  for c in "$work"/clips/*.mp4; do ffmpeg -v error -y -i "$c" "${ffmpeg_args[@]}" "$work/ff-$(basename "$c").3gp"; done
}
run_ffmpeg_parallel() {
  printf '%s\n' "$work"/clips/*.mp4 |
    parallel -j2 ffmpeg -v error -y -i {} "${ffmpeg_args[@]}" "$work/par-{/}.3gp"
}
# A script running one of the functions above in a shell of its own.
script_of() { echo "$(declare -f "$1"); $(declare -p work program options ffmpeg_args); $1"; }

# "wall_seconds cpu_seconds" of one of the functions, its children included.
times_of() {
  /usr/bin/time -f '%e %U %S' -o "$work/time" bash -c "$(script_of "$1")" >/dev/null 2>"$work/stderr" || {
    echo "failed: $1" >&2; cat "$work/stderr" >&2; exit 1
  }
  awk '{ printf "%.2f %.2f\n", $1, $2 + $3 }' "$work/time"
}

spread() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END {
    printf "%.2f (%.2f-%.2f)", (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2), v[1], v[NR] }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", (b > 0 ? a / b : 0) }'; }

batch_s=() serial_s=() parallel_s=() batch_c=() serial_c=() parallel_c=()
r_serial=() r_parallel=() c_serial=() c_parallel=()
for i in $(seq "$runs"); do
  order=(batch serial parallel)
  [ $((i % 2)) -eq 0 ] && order=(parallel serial batch)
  for who in "${order[@]}"; do
    case "$who" in
      batch) read -r w c < <(times_of run_batch); batch_s+=("$w"); batch_c+=("$c") ;;
      serial) read -r w c < <(times_of run_ffmpeg_serial); serial_s+=("$w"); serial_c+=("$c") ;;
      parallel) read -r w c < <(times_of run_ffmpeg_parallel); parallel_s+=("$w"); parallel_c+=("$c") ;;
    esac
  done
  r_serial+=("$(ratio "${batch_s[-1]}" "${serial_s[-1]}")")
  r_parallel+=("$(ratio "${batch_s[-1]}" "${parallel_s[-1]}")")
  c_serial+=("$(ratio "${batch_c[-1]}" "${serial_c[-1]}")")
  c_parallel+=("$(ratio "${batch_c[-1]}" "${parallel_c[-1]}")")
done
written=$(ls "$work/out" | wc -l)
[ "$written" -eq 8 ] || { echo "the batch wrote $written movies, not 8" >&2; exit 1; }

read -r one_pss one_rss < <(peak_memory "$(script_of run_one)")
read -r batch_pss batch_rss < <(peak_memory "$(script_of run_batch)")

echo "== eight 720p30 20 s clips -> .3gp 176x144 12 fps 8 KB/s   [median (min-max) of $runs paired runs]"
echo "  jobs by default here: $(nproc) cores, $(awk '/MemAvailable/ { printf "%d", $2 / 1024 }' /proc/meminfo) MB available"
printf '  wall s: batch %s  ffmpeg one after another %s  parallel -j2 ffmpeg %s\n' \
  "$(spread "${batch_s[@]}")" "$(spread "${serial_s[@]}")" "$(spread "${parallel_s[@]}")"
printf '  cpu s:  batch %s  ffmpeg one after another %s  parallel -j2 ffmpeg %s\n' \
  "$(spread "${batch_c[@]}")" "$(spread "${serial_c[@]}")" "$(spread "${parallel_c[@]}")"
printf '  batch / ffmpeg one after another: wall %s (target: <=0.6)  cpu %s\n' "$(spread "${r_serial[@]}")" \
  "$(spread "${c_serial[@]}")"
printf '  batch / parallel -j2 ffmpeg:      wall %s  cpu %s\n' "$(spread "${r_parallel[@]}")" "$(spread "${c_parallel[@]}")"
printf '  peak MB, summed PSS: batch %d  one conversion %d  ratio %s (target: <=2)\n' \
  $((batch_pss / 1024)) $((one_pss / 1024)) "$(ratio "$batch_pss" "$one_pss")"
printf '  peak MB, summed RSS: batch %d  one conversion %d  ratio %s\n' \
  $((batch_rss / 1024)) $((one_rss / 1024)) "$(ratio "$batch_rss" "$one_rss")"
echo "  machine load at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
