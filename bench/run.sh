#!/usr/bin/env bash
# Times this program's export against ffmpeg on one generated 1080p30 H.264 + AAC clip:
#   .3gp at 176x144, 12 fps, 8 KB/s video, AMR-NB sound, against the same ffmpeg conversion and a
#   plain ffmpeg decode of the clip; .mp4 at half size, 64 KB/s video, against ffmpeg's libx264
#   baseline + AAC at the same rates. Medians of three paired runs; peak memory; PSNR of each
#   output against the source scaled the same way.
# Usage: bash bench/run.sh [seconds of clip, default 10]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${POCKETMOVIE_BENCH_BUILD:-$root/build-bench}"
seconds="${1:-10}"
runs=3

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPOCKETMOVIE_TESTS=OFF >/dev/null
cmake --build "$build" --target export_bench -j2 >/dev/null
engine="$build/export_bench"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
clip="$work/clip.mp4"
ffmpeg -v error -f lavfi -i "testsrc2=size=1920x1080:rate=30:duration=$seconds" \
  -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=$seconds" \
  -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -b:a 128k -ac 2 "$clip"

# Runs a command under /usr/bin/time; prints "seconds peak_kilobytes".
measure() {
  /usr/bin/time -f '%e %M' -o "$work/time" "$@" >/dev/null 2>"$work/stderr" || {
    echo "failed: $*" >&2
    cat "$work/stderr" >&2
    exit 1
  }
  cat "$work/time"
}

median() { printf '%s\n' "$@" | sort -g | sed -n "$(( ($# + 1) / 2 ))p"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

# PSNR (average over Y, U, V) of a movie against the source taken through the same filters.
psnr() {
  ffmpeg -v info -i "$1" -i "$clip" -lavfi "[1:v]$2[ref];[0:v][ref]psnr" -f null - 2>&1 |
    sed -n 's/.*PSNR .*average:\([0-9.inf]*\).*/\1/p' | tail -n 1
}

video_kbits() {
  ffprobe -v error -select_streams v:0 -show_entries stream=bit_rate -of default=nw=1:nk=1 "$1" |
    awk '{ printf "%.1f", $1 / 1000 }'
}

# bench TITLE PSNR_FILTER EXTENSION "ENGINE SETTINGS" FFMPEG_ARGS...
# ENGINE SETTINGS are export_bench's: width height fps bytes-per-second [stretch].
bench() {
  local name="$1" filter="$2" ext="$3"
  local -a settings
  read -r -a settings <<<"$4"
  shift 4
  local -a ffmpeg_args=("$@")
  local -a te=() tf=() td=() me=() mf=() md=() r_ff=() r_dec=()
  for i in $(seq "$runs"); do
    read -r t m < <(measure "$engine" "$ext" "$clip" "$work/engine.$ext" "${settings[@]}")
    te+=("$t"); me+=("$m")
    read -r t m < <(measure ffmpeg -v error -y -i "$clip" "${ffmpeg_args[@]}" "$work/ffmpeg.$ext")
    tf+=("$t"); mf+=("$m")
    read -r t m < <(measure ffmpeg -v error -i "$clip" -f null -)
    td+=("$t"); md+=("$m")
    r_ff+=("$(ratio "${te[-1]}" "${tf[-1]}")"); r_dec+=("$(ratio "${te[-1]}" "${td[-1]}")")
  done
  local pe pf
  pe="$(psnr "$work/engine.$ext" "$filter")"
  pf="$(psnr "$work/ffmpeg.$ext" "$filter")"
  printf '%s\n' "== $name"
  printf '  time (median s): engine %s  ffmpeg %s  decode %s\n' "$(median "${te[@]}")" "$(median "${tf[@]}")" \
    "$(median "${td[@]}")"
  printf '  ratio (median of pairs): engine/ffmpeg %s  engine/decode %s\n' "$(median "${r_ff[@]}")" \
    "$(median "${r_dec[@]}")"
  printf '  peak memory (median KB): engine %s  ffmpeg %s  decode %s\n' "$(median "${me[@]}")" \
    "$(median "${mf[@]}")" "$(median "${md[@]}")"
  printf '  PSNR (dB): engine %s  ffmpeg %s\n' "$pe" "$pf"
  printf '  video kbit/s: engine %s  ffmpeg %s\n' "$(video_kbits "$work/engine.$ext")" \
    "$(video_kbits "$work/ffmpeg.$ext")"
}

# The engine stretches as ffmpeg's scale filter does, so that both pictures compare with one reference.
bench ".3gp 176x144 12 fps 8 KB/s (targets: <=0.8x ffmpeg, <=1.1x decode)" "fps=12,scale=176:144" 3gp \
  "176 144 12 8192 stretch" \
  -vf scale=176:144 -r 12 -c:v mpeg4 -b:v 64k -c:a libopencore_amrnb -ar 8000 -ac 1
bench ".mp4 960x540 30 fps 64 KB/s (target: <=1.0x ffmpeg)" "scale=960:540" mp4 "960 540 0 65536" \
  -vf scale=960:540 -c:v libx264 -profile:v baseline -b:v 512k -c:a aac -b:a 96k -ar 44100 -ac 2
echo "targets also: peak memory <= ffmpeg's; PSNR no more than 0.3 dB below ffmpeg's"
