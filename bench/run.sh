#!/usr/bin/env bash
# Times this program's export against ffmpeg doing the same conversion and against a plain ffmpeg
# decode of the source, on generated H.264 + AAC clips:
#   1080p30 -> .3gp 176x144, 12 fps, 8 KB/s video, AMR-NB sound
#   1080p30 -> .mp4 960x540, 64 KB/s video, AAC sound
#   2160p30 -> .3g2 176x144, 12 fps, 8 KB/s video, AAC mono sound
#   720p30, 20 s and 5 min -> .3gp: peak memory over length
# Each case runs RUNS paired rounds (engine, ffmpeg, decode; order alternating) and prints the
# median with its spread (min-max) of wall time, CPU time (user+sys) and of the per-round ratios,
# peak memory, the PSNR of both outputs against the source taken through the same filters, and
# the video data rates.
# Usage: bash bench/run.sh [case...]   cases: 3gp mp4 3g2 length (default: all)
# Environment: POCKETMOVIE_BENCH_BUILD (build folder, also caches the clips), RUNS (default 3),
#              CLIP_SECONDS (1080p and 2160p clips, default 10).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${POCKETMOVIE_BENCH_BUILD:-$root/build-bench}"
runs="${RUNS:-3}"
seconds="${CLIP_SECONDS:-10}"
cases=("$@")
[ ${#cases[@]} -gt 0 ] || cases=(3gp mp4 3g2 length)

# An existing build folder keeps its own configuration (tests included, if it has them).
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPOCKETMOVIE_TESTS=OFF >/dev/null
fi
cmake --build "$build" --target export_bench -j2 >/dev/null
engine="$build/export_bench"

clips="$build/bench-clips"
mkdir -p "$clips"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# clip WIDTH HEIGHT SECONDS: path of a cached H.264 + AAC clip, made on first use.
clip() {
  local path="$clips/testsrc2-$1x$2-30fps-$3s.mp4"
  if [ ! -f "$path" ]; then
    echo "making $(basename "$path") (once)..." >&2
    ffmpeg -v error -y -f lavfi -i "testsrc2=size=$1x$2:rate=30:duration=$3" \
      -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=$3" \
      -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -b:a 128k -ac 2 "$path.part.mp4"
    mv "$path.part.mp4" "$path"
  fi
  echo "$path"
}

# A long clip made by joining a short one, so that making it costs seconds, not minutes.
long_clip() {
  local piece="$1" count="$2"
  local path="$clips/joined-$count-$(basename "$piece")"
  if [ ! -f "$path" ]; then
    for _ in $(seq "$count"); do echo "file '$piece'"; done >"$work/list.txt"
    ffmpeg -v error -y -f concat -safe 0 -i "$work/list.txt" -c copy "$path.part.mp4"
    mv "$path.part.mp4" "$path"
  fi
  echo "$path"
}

# Runs a command under /usr/bin/time; prints "wall_seconds cpu_seconds peak_kilobytes".
measure() {
  /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$@" >/dev/null 2>"$work/stderr" || {
    echo "failed: $*" >&2
    cat "$work/stderr" >&2
    exit 1
  }
  awk '{ printf "%.2f %.2f %d\n", $1, $2 + $3, $4 }' "$work/time"
}

# "median (min-max)" of numbers.
spread() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END {
    printf "%.2f (%.2f-%.2f)", (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2), v[1], v[NR] }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", (b > 0 ? a / b : 0) }'; }
megabytes() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { printf "%.0f", v[int((NR + 1) / 2)] / 1024 }'; }

# PSNR (average over Y, U, V) of a movie against its source taken through the same filters.
psnr() {
  ffmpeg -v info -i "$1" -i "$2" -lavfi "[1:v]$3[ref];[0:v][ref]psnr" -f null - 2>&1 |
    sed -n 's/.*PSNR .*average:\([0-9.inf]*\).*/\1/p' | tail -n 1
}

video_kbits() {
  ffprobe -v error -select_streams v:0 -show_entries stream=bit_rate -of default=nw=1:nk=1 "$1" |
    awk '{ printf "%.1f", $1 / 1000 }'
}

# bench TITLE CLIP PSNR_FILTER EXTENSION "ENGINE SETTINGS" FFMPEG_ARGS...
# ENGINE SETTINGS are export_bench's: width height fps bytes-per-second [stretch]. An empty
# PSNR_FILTER skips the picture comparison. Leaves the engine's median peak memory in $peak_kb.
bench() {
  local name="$1" source="$2" filter="$3" ext="$4"
  local -a settings
  read -r -a settings <<<"$5"
  shift 5
  local -a ffmpeg_args=("$@")
  local -a we=() wf=() wd=() ce=() cf=() cd=() me=() mf=() md=()
  local -a wr_ff=() wr_dec=() cr_ff=() cr_dec=()
  local w c m
  for i in $(seq "$runs"); do
    local -a order=(engine ffmpeg decode)
    [ $((i % 2)) -eq 0 ] && order=(decode ffmpeg engine)
    for who in "${order[@]}"; do
      case "$who" in
        engine)
          read -r w c m < <(measure "$engine" "$ext" "$source" "$work/engine.$ext" "${settings[@]}")
          we+=("$w"); ce+=("$c"); me+=("$m") ;;
        ffmpeg)
          read -r w c m < <(measure ffmpeg -v error -y -i "$source" "${ffmpeg_args[@]}" "$work/ffmpeg.$ext")
          wf+=("$w"); cf+=("$c"); mf+=("$m") ;;
        decode)
          read -r w c m < <(measure ffmpeg -v error -i "$source" -f null -)
          wd+=("$w"); cd+=("$c"); md+=("$m") ;;
      esac
    done
    wr_ff+=("$(ratio "${we[-1]}" "${wf[-1]}")"); wr_dec+=("$(ratio "${we[-1]}" "${wd[-1]}")")
    cr_ff+=("$(ratio "${ce[-1]}" "${cf[-1]}")"); cr_dec+=("$(ratio "${ce[-1]}" "${cd[-1]}")")
  done
  printf '%s\n' "== $name   [median (min-max) of $runs paired runs]"
  printf '  wall s:  engine %s  ffmpeg %s  decode %s\n' "$(spread "${we[@]}")" "$(spread "${wf[@]}")" \
    "$(spread "${wd[@]}")"
  printf '  cpu s:   engine %s  ffmpeg %s  decode %s\n' "$(spread "${ce[@]}")" "$(spread "${cf[@]}")" \
    "$(spread "${cd[@]}")"
  printf '  engine/ffmpeg:  wall %s  cpu %s\n' "$(spread "${wr_ff[@]}")" "$(spread "${cr_ff[@]}")"
  printf '  engine/decode:  wall %s  cpu %s\n' "$(spread "${wr_dec[@]}")" "$(spread "${cr_dec[@]}")"
  printf '  peak MB: engine %s  ffmpeg %s  decode %s\n' "$(megabytes "${me[@]}")" "$(megabytes "${mf[@]}")" \
    "$(megabytes "${md[@]}")"
  if [ -n "$filter" ]; then
    local pe pf
    pe="$(psnr "$work/engine.$ext" "$source" "$filter")"
    pf="$(psnr "$work/ffmpeg.$ext" "$source" "$filter")"
    printf '  PSNR dB: engine %s  ffmpeg %s  (difference %s)\n' "$pe" "$pf" \
      "$(awk -v a="$pe" -v b="$pf" 'BEGIN { printf "%+.2f", a - b }')"
  fi
  printf '  video kbit/s: engine %s  ffmpeg %s\n' "$(video_kbits "$work/engine.$ext")" \
    "$(video_kbits "$work/ffmpeg.$ext")"
  peak_kb="$(printf '%s\n' "${me[@]}" | sort -g | sed -n "$(((${#me[@]} + 1) / 2))p")"
}

# The engine stretches as ffmpeg's scale filter does, so that both pictures compare with one reference.
# ffmpeg gets the very same bits per second: 8 KB/s is 65536 bit/s, 64 KB/s 524288.
# At these sizes both write MPEG-4 Part 2 pictures in BT.601 values from the HD clips' BT.709 ones.
to601=":in_color_matrix=bt709:out_color_matrix=bt601"
qcif_3gp=(-vf "scale=176:144$to601" -r 12 -c:v mpeg4 -b:v 65536 -c:a libopencore_amrnb -ar 8000 -ac 1)
qcif_3g2=(-vf "scale=176:144$to601" -r 12 -c:v mpeg4 -b:v 65536 -c:a aac -b:a 32k -ar 22050 -ac 1)
for case in "${cases[@]}"; do
  case "$case" in
    3gp)
      bench ".3gp 1080p30 ${seconds}s -> 176x144 12 fps 8 KB/s (targets: <=0.75x ffmpeg, <=1.05x decode)" \
        "$(clip 1920 1080 "$seconds")" "fps=12,scale=176:144$to601" 3gp "176 144 12 8192 stretch" "${qcif_3gp[@]}" ;;
    mp4)
      bench ".mp4 1080p30 ${seconds}s -> 960x540 30 fps 64 KB/s (target: <=0.95x ffmpeg)" \
        "$(clip 1920 1080 "$seconds")" "scale=960:540" mp4 "960 540 0 65536" \
        -vf scale=960:540 -c:v libx264 -profile:v baseline -b:v 524288 -c:a aac -b:a 96k -ar 44100 -ac 2 ;;
    3g2)
      bench ".3g2 2160p30 ${seconds}s -> 176x144 12 fps 8 KB/s (targets: <=0.75x ffmpeg, <=1.05x decode)" \
        "$(clip 3840 2160 "$seconds")" "fps=12,scale=176:144$to601" 3g2 "176 144 12 8192 stretch" "${qcif_3g2[@]}" ;;
    length)
      short="$(clip 1280 720 20)"
      bench ".3gp 720p30 20 s -> 176x144 12 fps 8 KB/s" "$short" "" 3gp "176 144 12 8192 stretch" "${qcif_3gp[@]}"
      short_kb="$peak_kb"
      # One round of the long clip is enough for memory; its times print as a single run.
      RUNS_SAVED="$runs"; runs=1
      bench ".3gp 720p30 5 min -> 176x144 12 fps 8 KB/s" "$(long_clip "$short" 15)" "" 3gp \
        "176 144 12 8192 stretch" "${qcif_3gp[@]}"
      runs="$RUNS_SAVED"
      printf '  peak memory, 5 min against 20 s: %s (target: within 10%%)\n' "$(ratio "$peak_kb" "$short_kb")" ;;
    *) echo "unknown case: $case (3gp mp4 3g2 length)" >&2; exit 2 ;;
  esac
done
echo "targets also: peak memory <= ffmpeg's; PSNR no more than 0.3 dB below ffmpeg's"
