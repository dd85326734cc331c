#!/usr/bin/env bash
# Times this program's export against ffmpeg doing the same conversion and against a plain ffmpeg
# decode of the source, on generated H.264 + AAC clips:
#   1080p30 -> .3gp 176x144, 12 fps, 8 KB/s video, AMR-NB sound (ffmpeg timed also without the colour
#            conversion from BT.709 to BT.601 that this program makes)
#   3gp64: 720p30 20 s -> .3gp 176x144, 12 fps, at the default 64 KB/s, where a plain picture takes
#            less than the rate at the finest quantiser
#   1080p30 -> .mp4 960x540, 64 KB/s video, AAC sound
#   2160p30 -> .3g2 176x144, 12 fps, 8 KB/s video, AAC mono sound
#   720p30, 20 s and 5 min -> .3gp: peak memory over length
#   quality: four 640x480 clips (a zoom, bars under fresh noise, scene cuts, a grainy camera-like pan)
#            -> .3gp 176x144, 12 fps, at 8 and 64 KB/s: PSNR and SSIM at equal video bytes against
#            ffmpeg's MPEG-4 in two passes with its quality tools and a key frame at most every 25 s;
#            then the same on seven real movies from Debian's packages (camera and screen recordings,
#            fetched once with apt-get download; skipped with a line where there is no package mirror)
#   fit: --fit 300K, 600K and 1M on every clip: the limit held, and by how much
#   mp4phone: 1080p30 30 s -> .mp4 320x240 15 fps 64 KB/s, with --fit 600K and without, against
#             x264 -preset slow in two passes (which decodes the source twice): the time x264's
#             preset costs next to the decode (target: <= 0.5x); and against HandBrakeCLI's two passes
#   estimate: the size the window expects before a conversion against the size written, on the
#             sample movie and generated clips of varied content (target: within 15%; the limit
#             itself where it binds)
#   mp4quality: a screen recording and two busy clips -> .mp4 320x240 15 fps at 16 and 64 KB/s:
#             PSNR and SSIM at equal video bytes against x264 -preset slow two-pass High and
#             HandBrakeCLI's default two passes (when HandBrakeCLI is installed); then the real movies
#   worker: 720p30 20 s -> .3gp 176x144, 12 fps, 8 KB/s with the conversion in its worker process
#             against the same export in the benchmark's own process: time and summed peak memory
#             (targets: <= 1.03x the time, <= 10 MB more)
# Each case runs RUNS paired rounds (engine, ffmpeg, decode; order alternating) and prints the
# median with its spread (min-max) of wall time, CPU time (user+sys) and of the per-round ratios,
# peak memory, the PSNR of both outputs against the source taken through the same filters, and
# the video data rates.
# Usage: bash bench/run.sh [case...]   cases: 3gp mp4 3g2 length quality fit mp4phone mp4quality estimate worker
#        (default: all)
# Environment: POCKETMOVIE_BENCH_BUILD (build folder, also caches the clips), RUNS (default 3),
#              CLIP_SECONDS (1080p and 2160p clips, default 10), POCKETMOVIE_BENCH_ENGINE (an
#              export_bench built elsewhere, an earlier version's say, to measure instead),
#              QUALITY_CLIPS (the quality cases' clips: generated, real or both, the default).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${POCKETMOVIE_BENCH_BUILD:-$root/build-bench}"
runs="${RUNS:-3}"
seconds="${CLIP_SECONDS:-10}"
cases=("$@")
[ ${#cases[@]} -gt 0 ] || cases=(3gp mp4 3g2 length quality fit mp4phone mp4quality estimate)

# An existing build folder keeps its own configuration (tests included, if it has them).
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPOCKETMOVIE_TESTS=OFF >/dev/null
fi
cmake --build "$build" --target export_bench pocketmovie -j2 >/dev/null
build="$(cd "$build" && pwd)"  # the cases run commands from other folders
engine="${POCKETMOVIE_BENCH_ENGINE:-$build/export_bench}"
# The program runs each conversion's worker.
export POCKETMOVIE_EXPORT_WORKER="${POCKETMOVIE_EXPORT_WORKER:-$build/pocketmovie}"

clips="$build/bench-clips"
mkdir -p "$clips"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

source "$root/bench/clips.sh"

# busy_clip KIND: a 14-second 640x480 clip whose picture keeps an encoder at its rate: a zoom into
# the Mandelbrot set ("zoom"), moving bars under fresh noise every frame ("noise"), four scenes
# joined by hard cuts ("cuts"), or a slow zoom panned as by hand, softened and grainy as a small
# camera's picture ("camera").
busy_clip() {
  local path="$clips/busy-$1-640x480-14s.mp4" source
  if [ ! -f "$path" ]; then
    echo "making $(basename "$path") (once)..." >&2
    case "$1" in
      zoom) source="mandelbrot=size=640x480:rate=30,trim=duration=14" ;;
      noise) source="testsrc2=size=640x480:rate=30:duration=14,noise=alls=30:allf=t+u" ;;
      cuts) source="testsrc2=size=640x480:rate=30:duration=3.5[a];mandelbrot=size=640x480:rate=30,trim=duration=3.5[b];
          life=size=640x480:rate=30:mold=10:ratio=0.2:life_color=#d0a040:death_color=#203060,trim=duration=3.5[c];
          cellauto=size=640x480:rate=30:rule=18,trim=duration=3.5[d];[a][b][c][d]concat=n=4,format=yuv420p" ;;
      camera) source="mandelbrot=size=960x720:rate=30:start_scale=0.3:end_scale=0.2,trim=duration=14,
          crop=640:480:x='160+120*sin(t/1.7)':y='120+80*sin(t/2.3)',gblur=sigma=0.7,noise=alls=10:allf=t" ;;
    esac
    ffmpeg -v error -y -f lavfi -i "$source" -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=14" \
      -c:v libx264 -preset veryfast -crf 16 -pix_fmt yuv420p -c:a aac -b:a 128k -ac 2 -shortest "$path.part.mp4"
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

# compared MOVIE SOURCE FILTERS MEASURE: the log of ffmpeg's MEASURE (psnr or ssim) of a movie against its
# source taken through the same filters; where it cannot measure (pictures of two sizes, say), why.
compared() {
  ffmpeg -v info -i "$1" -i "$2" -lavfi "[1:v]$3[ref];[0:v][ref]$4" -f null - >"$work/compared.log" 2>&1 || {
    echo "cannot measure the $4 of $1: $(grep -m 1 '@ 0x' "$work/compared.log" || tail -n 1 "$work/compared.log")" >&2
    return 1
  }
  cat "$work/compared.log"
}

# PSNR (average over Y, U, V) of a movie against its source taken through the same filters.
psnr() { compared "$@" psnr | sed -n 's/.*PSNR .*average:\([0-9.inf]*\).*/\1/p' | tail -n 1; }

# SSIM (all planes) likewise.
ssim() { compared "$@" ssim | sed -n 's/.*SSIM .*All:\([0-9.]*\).*/\1/p' | tail -n 1; }

video_bytes() {
  ffprobe -v error -select_streams v:0 -show_entries packet=size -of csv=p=0 "$1" | awk '{ s += $1 } END { print s + 0 }'
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
  local -a we=() wf=() wd=() ce=() cf=() cd=() me=() mf=() md=() w1=() c1=()
  local -a wr_ff=() wr_dec=() cr_ff=() cr_dec=() wr_one=() cr_one=() wp=() wr_plain=() cr_plain=()
  local w c m
  for i in $(seq "$runs"); do
    local -a order=(engine ffmpeg decode)
    [ $((i % 2)) -eq 0 ] && order=(decode ffmpeg engine)
    [ -n "${one_pass_too:-}" ] && order+=(onepass)
    [ ${#plain_ffmpeg[@]} -gt 0 ] && order+=(plain)
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
        onepass)
          read -r w c m < <(measure "$engine" "$ext" "$source" "$work/onepass.$ext" "${settings[@]}" onepass)
          w1+=("$w"); c1+=("$c") ;;
        plain)
          read -r w c m < <(measure ffmpeg -v error -y -i "$source" "${plain_ffmpeg[@]}" "$work/plain.$ext")
          wp+=("$w"); wr_plain+=("$(ratio "${we[-1]}" "$w")"); cr_plain+=("$(ratio "${ce[-1]}" "$c")") ;;
      esac
    done
    if [ -n "${one_pass_too:-}" ]; then
      wr_one+=("$(ratio "${we[-1]}" "${w1[-1]}")"); cr_one+=("$(ratio "${ce[-1]}" "${c1[-1]}")")
    fi
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
  if [ -n "${one_pass_too:-}" ]; then
    printf '  engine/one pass: wall %s  cpu %s  (one pass: wall %s)\n' "$(spread "${wr_one[@]}")" \
      "$(spread "${cr_one[@]}")" "$(spread "${w1[@]}")"
  fi
  if [ ${#plain_ffmpeg[@]} -gt 0 ]; then
    printf '  engine/ffmpeg keeping BT.709 values (%s s): wall %s  cpu %s\n' "$(spread "${wp[@]}")" \
      "$(spread "${wr_plain[@]}")" "$(spread "${cr_plain[@]}")"
  fi
  printf '  peak MB: engine %s  ffmpeg %s  decode %s\n' "$(megabytes "${me[@]}")" "$(megabytes "${mf[@]}")" \
    "$(megabytes "${md[@]}")"
  if [ -n "$filter" ]; then
    local pe pf
    pe="$(psnr "$work/engine.$ext" "$source" "$filter")"
    pf="$(psnr "$work/ffmpeg.$ext" "$source" "${ffmpeg_filter:-$filter}")"
    printf '  PSNR dB: engine %s  ffmpeg %s  (difference %s)\n' "$pe" "$pf" \
      "$(awk -v a="$pe" -v b="$pf" 'BEGIN { printf "%+.2f", a - b }')"
  fi
  printf '  video kbit/s: engine %s  ffmpeg %s\n' "$(video_kbits "$work/engine.$ext")" \
    "$(video_kbits "$work/ffmpeg.$ext")"
  peak_kb="$(printf '%s\n' "${me[@]}" | sort -g | sed -n "$(((${#me[@]} + 1) / 2))p")"
}

# Runs "$@" with its data rate (the argument after the placeholder RATE) adjusted until the video
# takes $target bytes within 0.5%; leaves the output in $out. The rates tried close in from both sides
# (an encoder's bytes climb in steps as its rate rises, so a plain proportional step can swing past
# the target back and forth), at most twelve tries.
match_bytes() {
  local target="$1" out="$2" rate="$3"
  shift 3
  local -a command
  local got low=0 lowGot=0 high=0 highGot=0
  for _ in 1 2 3 4 5 6 7 8 9 10 11 12; do
    command=("${@//RATE/$rate}")
    "${command[@]}" >/dev/null 2>"$work/match.err" || { cat "$work/match.err" >&2; exit 1; }
    got="$(video_bytes "$out")"
    awk -v g="$got" -v t="$target" 'BEGIN { exit !(g > 0.995 * t && g < 1.005 * t) }' && break
    if [ "$got" -lt "$target" ]; then low="$rate" lowGot="$got"; else high="$rate" highGot="$got"; fi
    rate="$(awk -v r="$rate" -v g="$got" -v t="$target" -v l="$low" -v lg="$lowGot" -v h="$high" -v hg="$highGot" \
      'BEGIN {
         if (l > 0 && h > 0) {
           n = l + (h - l) * (t - lg) / (hg > lg ? hg - lg : 1)   # between the two, where a line puts it
           if (n <= l || n >= h) n = (l + h) / 2
         } else {
           n = r * t / (g > 0 ? g : 1)
         }
         printf "%d", n
       }')"
  done
  echo "$got"
}

# Quality at equal video bytes: this program against ffmpeg's MPEG-4 in two passes with its quality
# tools (-mbd rd -trellis 1 -flags +mv4 -cmp 2 -subcmp 2 -g 300), given the bytes this program wrote.
# Usage: quality_case TITLE SOURCE...
quality_case() {
  local title="$1" tools="-mbd rd -trellis 1 -flags +mv4 -cmp 2 -subcmp 2 -g 300"
  shift
  local kind rate source filter ours ff pe pf se sf diffs=()
  printf '%s\n' "== quality, $title -> .3gp 176x144 12 fps" \
    "   (targets: PSNR >= ffmpeg's on average, no clip more than 0.2 dB below it)"
  for rate in 8 64; do
    for source in "$@"; do
      kind="$(clip_name "$source")"
      filter="$(same_pictures "$source" 176 144 12 mpeg4)"
      "$engine" 3gp "$source" "$work/ours.3gp" 176 144 12 $((rate * 1024)) stretch >/dev/null
      ours="$(video_bytes "$work/ours.3gp")"
      ff="$(cd "$work" && match_bytes "$ours" "$work/ff.mp4" $((rate * 8192)) bash -c \
        "ffmpeg -v error -y -i '$source' -vf '$filter' -an -c:v mpeg4 -b:v RATE $tools -pass 1 -passlogfile ff \
           -f mp4 /dev/null && ffmpeg -v error -y -i '$source' -vf '$filter' -an -c:v mpeg4 -b:v RATE $tools \
           -pass 2 -passlogfile ff '$work/ff.mp4'")"
      pe="$(psnr "$work/ours.3gp" "$source" "$filter")"; se="$(ssim "$work/ours.3gp" "$source" "$filter")"
      pf="$(psnr "$work/ff.mp4" "$source" "$filter")"; sf="$(ssim "$work/ff.mp4" "$source" "$filter")"
      diffs+=("$(gap "$pe" "$pf")")
      printf '  %-8s %2s KB/s: video bytes %7s / ffmpeg %7s   PSNR %s / %s (%s)   SSIM %s / %s\n' "$kind" "$rate" \
        "$ours" "$ff" "$pe" "$pf" "${diffs[-1]}" "$se" "$sf"
    done
  done
  printf '  PSNR against ffmpeg: mean %s, lowest %s\n' "$(mean_of "${diffs[@]}")" "$(lowest_of "${diffs[@]}")"
}

# A figure's lead over its peer's ("-" where the peer has none), and the mean and lowest of such leads.
gap() { awk -v a="$1" -v b="$2" 'BEGIN { if (b == "-") print "-"; else printf "%+.2f", a - b }'; }
mean_of() { printf '%s\n' "$@" | awk '{ s += $1 } END { printf "%+.2f", s / NR }'; }
lowest_of() { printf '%s\n' "$@" | sort -g | head -n 1; }

# kept_rate SOURCE MOST: the frame rate the program keeps of SOURCE when asked for at most MOST frames
# a second: the source's own where lower (a fraction), else MOST.
kept_rate() {
  ffprobe -v error -select_streams v:0 -show_entries stream=r_frame_rate -of csv=p=0 "$1" |
    awk -F/ -v most="$2" '{ print ($2 > 0 && $1 / $2 < most ? $1 "/" $2 : most) }'
}

# same_pictures SOURCE WIDTH HEIGHT MOST CODEC: the filter that makes of SOURCE the very pictures the
# program encodes, so that every peer is given them and each output is measured against them: the
# frames kept_rate keeps, the picture stretched to WIDTHxHEIGHT by averaging areas where it shrinks
# fourfold both ways (bicubic elsewhere), and for CODEC mpeg4 (BT.601 pictures) the BT.709 values of an
# HD source (so tagged, or untagged from 1280 wide or 720 high) turned into BT.601 ones.
same_pictures() {
  local source="$1" width="$2" height="$3" most="$4" codec="$5" key value w=0 h=0 space=unknown filter
  while IFS== read -r key value; do
    case "$key" in width) w="$value" ;; height) h="$value" ;; color_space) space="$value" ;; esac
  done < <(ffprobe -v error -select_streams v:0 -show_entries stream=width,height,color_space -of default=nw=1 "$source")
  filter="fps=$(kept_rate "$source" "$most"),scale=$width:$height"
  [ $((width * 4)) -le "$w" ] && [ $((height * 4)) -le "$h" ] && filter+=":flags=area"
  if [ "$codec" = mpeg4 ] && { [ "$space" = bt709 ] || { [ "$space" = unknown ] && [ "$w" -ge 1280 -o "$h" -ge 720 ]; }; }; then
    filter+=",colorspace=fast=1:iprimaries=bt709:primaries=bt709:itrc=bt709:trc=bt709:range=tv:ispace=bt709"
    filter+=":space=smpte170m"
  fi
  echo "$filter"
}

# The short name of a clip: "zoom" of busy-zoom-640x480-14s.mp4, "diver" of real-diver-14s.mp4.
clip_name() { basename "$1" | cut -d- -f2; }

# over_clip_sets CASE TITLE SOURCE...: a quality case on the generated clips given, then on the real
# movies, as QUALITY_CLIPS asks (generated, real, or both: the default).
over_clip_sets() {
  local case="$1" title="$2" which="${QUALITY_CLIPS:-both}"
  shift 2
  local -a real=()
  [ "$which" = real ] || "$case" "$title" "$@"
  [ "$which" = generated ] || mapfile -t real < <(real_clips)
  [ ${#real[@]} -eq 0 ] || "$case" "real movies" "${real[@]}"
}

# x264 -preset slow, High profile, in two passes at RATE bit/s through FILTER: the peer decodes the source
# once for each pass. Usage: x264_two_pass SOURCE FILTER RATE OUTPUT [audio arguments...]
x264_two_pass() {
  local source="$1" filter="$2" rate="$3" out="$4"
  shift 4
  ffmpeg -v error -y -i "$source" -vf "$filter" -an -c:v libx264 -preset slow -profile:v high -b:v "$rate" \
    -pass 1 -passlogfile "$work/x264" -f mp4 /dev/null &&
    ffmpeg -v error -y -i "$source" -vf "$filter" -c:v libx264 -preset slow -profile:v high -b:v "$rate" \
      -pass 2 -passlogfile "$work/x264" "$@" "$out"
}

# HandBrakeCLI's defaults (x264 "medium", High) in two passes at RATE bit/s, 320x240 at FPS frames a
# second, its automatic crop and the source's display shape off and its pixels square, so that the
# geometry is the one compared (320x240 stretched, as the program writes it). HandBrake 1.6's
# --non-anamorphic would store 380x240 here once the display shape is off, and 426x240 from 16:9 with it on.
# Usage: handbrake_two_pass SOURCE RATE FPS OUTPUT [audio arguments...]
handbrake_two_pass() {
  local source="$1" rate="$2" fps="$3" out="$4"
  shift 4
  HandBrakeCLI -i "$source" -o "$out" -b $((rate / 1000)) --two-pass -w 320 -l 240 --crop 0:0:0:0 \
    --custom-anamorphic --pixel-aspect 1:1 --no-keep-display-aspect -r "$fps" --cfr "$@" \
    >"$work/handbrake.log" 2>&1 && [ -s "$out" ]
}

# The ".mp4" job's time against x264's two passes, with --fit and without, and against HandBrakeCLI's.
mp4_phone_case() {
  local source filter="fps=15,scale=320:240" w c m
  local -a wp=() cp=() wf=() cf=() wr=() cr=() wfr=() cfr=() wh=() ch=() whr=() chr=()
  source="$(clip 1920 1080 30)"
  for i in $(seq "$runs"); do
    read -r w c m < <(measure "$engine" mp4 "$source" "$work/phone.mp4" 320 240 15 65536 stretch)
    wp+=("$w"); cp+=("$c")
    read -r w c m < <(measure "$engine" mp4 "$source" "$work/phone-fit.mp4" 320 240 15 65536 stretch \
      "fit=$((600 * 1024))")
    wf+=("$w"); cf+=("$c")
    read -r w c m < <(measure bash -c "$(declare -f x264_two_pass); work='$work'; x264_two_pass '$source' \
      '$filter' 524288 '$work/x264.mp4' -c:a aac -b:a 96k -ac 2")
    wr+=("$w"); cr+=("$c")
    wfr+=("$(ratio "${wp[-1]}" "$w")" "$(ratio "${wf[-1]}" "$w")")
    cfr+=("$(ratio "${cp[-1]}" "$c")" "$(ratio "${cf[-1]}" "$c")")
    if command -v HandBrakeCLI >/dev/null; then
      read -r w c m < <(measure bash -c "$(declare -f handbrake_two_pass); work='$work'; handbrake_two_pass \
        '$source' 524288 15 '$work/handbrake.mp4' -E av_aac -B 96 --mixdown stereo")
      wh+=("$w"); ch+=("$c")
      whr+=("$(ratio "${wp[-1]}" "$w")" "$(ratio "${wf[-1]}" "$w")")
      chr+=("$(ratio "${cp[-1]}" "$c")" "$(ratio "${cf[-1]}" "$c")")
    fi
  done
  printf '%s\n' "== .mp4 1080p30 30 s -> 320x240 15 fps 64 KB/s, x264 preset ${PRESET_NOTE:-as built} [median (min-max) of $runs]"
  printf '  wall s:  ours %s  ours --fit 600K %s  x264 slow two passes %s\n' "$(spread "${wp[@]}")" \
    "$(spread "${wf[@]}")" "$(spread "${wr[@]}")"
  printf '  cpu s:   ours %s  ours --fit 600K %s  x264 slow two passes %s\n' "$(spread "${cp[@]}")" \
    "$(spread "${cf[@]}")" "$(spread "${cr[@]}")"
  printf '  ours/x264 (both jobs): wall %s  cpu %s  (target: <= 0.5)\n' "$(spread "${wfr[@]}")" "$(spread "${cfr[@]}")"
  if [ ${#wh[@]} -gt 0 ]; then
    printf '  HandBrakeCLI two passes: wall %s  cpu %s\n' "$(spread "${wh[@]}")" "$(spread "${ch[@]}")"
    printf '  ours/HandBrakeCLI (both jobs): wall %s  cpu %s  (target: <= 0.5)\n' "$(spread "${whr[@]}")" \
      "$(spread "${chr[@]}")"
  fi
}

# screen_clip: a 30-second 720p screen recording: a page of text, a title bar with a running clock, a
# small moving picture in a corner and a cursor wandering over the page.
screen_clip() {
  local path="$clips/screen-1280x720-30s.mp4" font=/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf
  if [ ! -f "$path" ]; then
    echo "making $(basename "$path") (once)..." >&2
    head -c 2600 "$root/README.md" | tr -d '%\\' | fold -w 90 >"$work/page.txt"
    ffmpeg -v error -y -f lavfi -i "color=c=0xf4f4f4:s=1280x720:r=30:d=30" -f lavfi -i "testsrc2=s=320x180:r=30:d=30" \
      -f lavfi -i "color=c=0x202020:s=12x18:r=30:d=30" -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=30" \
      -filter_complex "[0:v]drawbox=x=0:y=0:w=1280:h=36:color=0x3050a0:t=fill,drawtext=fontfile=$font:\
text='pocketmovie - Terminal':x=20:y=8:fontsize=20:fontcolor=white,drawtext=fontfile=$font:expansion=none:\
textfile=$work/page.txt:x=20:y=60:fontsize=15:fontcolor=0x101010:line_spacing=4,drawtext=fontfile=$font:\
text='%{pts\\:hms}':x=1100:y=8:fontsize=18:fontcolor=white[bg];[bg][1:v]overlay=x=900:y=420[w];\
[w][2:v]overlay=x='200+300*sin(t/3)':y='500+100*cos(t/2)'[v]" -map "[v]" -map 3:a \
      -c:v libx264 -preset veryfast -crf 18 -pix_fmt yuv420p -c:a aac -b:a 128k -ac 2 "$path.part.mp4"
    mv "$path.part.mp4" "$path"
  fi
  echo "$path"
}

# PSNR and SSIM at equal video bytes: this program's ".mp4" against x264 -preset slow two-pass High,
# and against HandBrakeCLI's default two passes. HandBrake drops frames and scales by its own rules,
# so it is given the very frames of the reference, already at their size, losslessly.
# Usage: mp4_quality_case TITLE SOURCE...
mp4_quality_case() {
  local title="$1" source filter fps rate ours ff hb pe pf se sf ph sh
  shift
  local -a to_x264=() to_handbrake=()
  printf '%s\n' "== quality, $title -> .mp4 320x240 15 fps, at equal video bytes against x264 -preset slow" \
    "   two-pass High and HandBrakeCLI's default two passes (ours / x264 / HandBrake)"
  for source in "$@"; do
    hb=""
    filter="$(same_pictures "$source" 320 240 15 h264)"
    fps="$(kept_rate "$source" 15 | awk -F/ '{ printf "%.6g", $1 / ($2 ? $2 : 1) }')"
    if command -v HandBrakeCLI >/dev/null; then
      # Square pixels, so that the reference's display shape is its storage's.
      ffmpeg -v error -y -i "$source" -vf "$filter,setsar=1" -an -c:v libx264 -qp 0 -preset ultrafast "$work/reference.mkv"
    fi
    for rate in 16 64; do
      "$engine" mp4 "$source" "$work/ours.mp4" 320 240 15 $((rate * 1024)) stretch >/dev/null
      ours="$(video_bytes "$work/ours.mp4")"
      ff="$(match_bytes "$ours" "$work/ff.mp4" $((rate * 8192)) bash -c \
        "$(declare -f x264_two_pass); work='$work'; x264_two_pass '$source' '$filter' RATE '$work/ff.mp4' -an")"
      pe="$(psnr "$work/ours.mp4" "$source" "$filter")"; se="$(ssim "$work/ours.mp4" "$source" "$filter")"
      pf="$(psnr "$work/ff.mp4" "$source" "$filter")"; sf="$(ssim "$work/ff.mp4" "$source" "$filter")"
      ph=- sh=-
      if [ -f "$work/reference.mkv" ]; then
        hb="$(match_bytes "$ours" "$work/hb.mp4" $((rate * 8192)) bash -c "$(declare -f handbrake_two_pass); \
          work='$work'; handbrake_two_pass '$work/reference.mkv' RATE $fps '$work/hb.mp4' -a none")"
        ph="$(psnr "$work/hb.mp4" "$source" "$filter")"; sh="$(ssim "$work/hb.mp4" "$source" "$filter")"
      fi
      to_x264+=("$(gap "$pe" "$pf")")
      [ "$ph" = - ] || to_handbrake+=("$(gap "$pe" "$ph")")
      printf '  %-28s %2s KB/s: bytes %7s / %7s / %7s  PSNR %s / %s / %s (%s, %s)  SSIM %s / %s / %s\n' \
        "$(basename "$source")" "$rate" "$ours" "$ff" "${hb:--}" "$pe" "$pf" "$ph" "${to_x264[-1]}" \
        "$(gap "$pe" "$ph")" "$se" "$sf" "$sh"
    done
    rm -f "$work/reference.mkv"
  done
  printf '  PSNR against x264: mean %s, lowest %s' "$(mean_of "${to_x264[@]}")" "$(lowest_of "${to_x264[@]}")"
  [ ${#to_handbrake[@]} -eq 0 ] ||
    printf '; against HandBrake: mean %s, lowest %s' "$(mean_of "${to_handbrake[@]}")" "$(lowest_of "${to_handbrake[@]}")"
  printf '\n%s\n' "  (target: PSNR and SSIM not lower than either peer's)"
}

# --fit on every clip: the whole file's size against the limit.
fit_case() {
  local source limit bytes
  # At 32 KB/s the limits bind on all but the shortest clips; the 5-minute one cannot fit 300 KB.
  printf '%s\n' "== fit: .3gp 176x144 12 fps 32 KB/s into 300K, 600K, 1M (target: within, and >= 90% where it binds)"
  for source in "$(busy_clip zoom)" "$(busy_clip noise)" "$(clip 1920 1080 "$seconds")" "$(clip 1280 720 20)" \
    "$(long_clip "$(clip 1280 720 20)" 15)"; do
    for limit in 300 600 1024; do
      rm -f "$work/fit.3gp"
      if "$engine" 3gp "$source" "$work/fit.3gp" 176 144 12 32768 stretch "fit=$((limit * 1024))" 2>"$work/fit.err"; then
        bytes="$(stat -c %s "$work/fit.3gp")"
        printf '  %-36s %5s KB: %7s bytes, %s of the limit%s\n' "$(basename "$source")" "$limit" "$bytes" \
          "$(awk -v b="$bytes" -v l="$((limit * 1024))" 'BEGIN { printf "%.1f%%", 100 * b / l }')" \
          "$([ "$bytes" -le $((limit * 1024)) ] || echo '  OVER THE LIMIT')"
      else
        printf '  %-36s %5s KB: refused: %s\n' "$(basename "$source")" "$limit" "$(tail -n 1 "$work/fit.err")"
      fi
    done
  done
}

# The expected size before the export against the file written, and by how much they differ.
estimate_case() {
  local source settings expected written
  printf '%s\n' "== estimate: expected against written size (target: within 15%; the limit where it binds)"
  for source in "$build/sample/clip.mov" "$(clip 1280 720 8)" "$(busy_clip zoom)" "$(busy_clip noise)" \
    "$(busy_clip camera)" "$(screen_clip)"; do
    [ -f "$source" ] || continue
    for settings in "mp4 320 240 12 65536" "mp4 640 360 25 16384" "3gp 176 144 12 8192" "3gp 176 144 12 32768 fit=307200"; do
      rm -f "$work/estimate.out"
      # shellcheck disable=SC2086
      expected="$("$engine" ${settings%% *} "$source" "$work/estimate.out" ${settings#* } stretch | sed -n 's/^estimate //p')"
      written="$(stat -c %s "$work/estimate.out" 2>/dev/null || echo 0)"
      printf '  %-34s %-32s expected %8s  written %8s  %s\n' "$(basename "$source")" "$settings" "$expected" \
        "$written" "$(awk -v e="$expected" -v w="$written" 'BEGIN { printf "%+.1f%%", (w > 0 ? 100 * (e - w) / w : 0) }')"
    done
  done
}

# The engine stretches as ffmpeg's scale filter does, so that both pictures compare with one reference.
# ffmpeg gets the very same bits per second: 8 KB/s is 65536 bit/s, 64 KB/s 524288.
# At these sizes both write MPEG-4 Part 2 pictures in BT.601 values from the HD clips' BT.709 ones.
# The conversion in its worker against the same export in the benchmark's own process, paired
# runs in alternating order; memory is the peak of the summed proportional set sizes (the worker's
# and its starter's), measured in runs of its own so that the sampling does not touch the times.
worker_case() {
  local -a job=(3gp "$(clip 1280 720 20)" "$work/worker.3gp" 176 144 12 8192 stretch)
  local -a ww=() wi=() cw=() ci=() wr=() cr=() pw=() pi=() rw=() ri=() dp=()
  local w c m p r
  for i in $(seq "$runs"); do
    local -a order=(worker inprocess)
    [ $((i % 2)) -eq 0 ] && order=(inprocess worker)
    for who in "${order[@]}"; do
      local -a how=()
      [ "$who" = inprocess ] && how=(inprocess)
      read -r w c m < <(measure "$engine" "${job[@]}" "${how[@]}")
      read -r p r < <(peak_memory "$(printf '%q ' "$engine" "${job[@]}" "${how[@]}")")
      if [ "$who" = worker ]; then ww+=("$w"); cw+=("$c"); pw+=("$p"); rw+=("$r")
      else wi+=("$w"); ci+=("$c"); pi+=("$p"); ri+=("$r"); fi
    done
    wr+=("$(ratio "${ww[-1]}" "${wi[-1]}")"); cr+=("$(ratio "${cw[-1]}" "${ci[-1]}")")
    dp+=("$(awk -v a="${pw[-1]}" -v b="${pi[-1]}" 'BEGIN { printf "%.1f", (a - b) / 1024 }')")
  done
  printf '%s\n' "== worker: .3gp 720p30 20 s -> 176x144 12 fps 8 KB/s   [median (min-max) of $runs paired runs]"
  printf '  wall s:  worker %s  in process %s\n' "$(spread "${ww[@]}")" "$(spread "${wi[@]}")"
  printf '  cpu s:   worker %s  in process %s\n' "$(spread "${cw[@]}")" "$(spread "${ci[@]}")"
  printf '  worker/in process:  wall %s  cpu %s  (target: <= 1.03)\n' "$(spread "${wr[@]}")" "$(spread "${cr[@]}")"
  printf '  peak MB, summed PSS: worker %s  in process %s  more %s (target: <= 10); summed RSS: %s and %s\n' \
    "$(megabytes "${pw[@]}")" "$(megabytes "${pi[@]}")" "$(spread "${dp[@]}")" "$(megabytes "${rw[@]}")" \
    "$(megabytes "${ri[@]}")"
}

to601=":in_color_matrix=bt709:out_color_matrix=bt601"
qcif_3gp=(-vf "fps=12,scale=176:144$to601" -c:v mpeg4 -b:v 65536 -c:a libopencore_amrnb -ar 8000 -ac 1)
plain_ffmpeg=()
qcif_3gp64=("${qcif_3gp[@]:0:4}" -b:v 524288 "${qcif_3gp[@]:6}")
qcif_3g2=(-vf "scale=176:144$to601" -r 12 -c:v mpeg4 -b:v 65536 -c:a aac -b:a 32k -ar 22050 -ac 1)
for case in "${cases[@]}"; do
  case "$case" in
    3gp)
      one_pass_too=1
      hd="$(clip 1920 1080 "$seconds")"
      ffmpeg_filter="fps=12,scale=176:144$to601"  # ffmpeg's own pictures, against the same taken from the source
      # Also timed without the colour conversion, whose darker pictures (BT.709 values read as BT.601)
      # cost swscale less.
      plain_ffmpeg=(-vf "fps=12,scale=176:144" "${qcif_3gp[@]:2}")
      bench ".3gp 1080p30 ${seconds}s -> 176x144 12 fps 8 KB/s, two passes (targets: <=0.80x ffmpeg, <=1.1x one pass)" \
        "$hd" "$(same_pictures "$hd" 176 144 12 mpeg4)" 3gp "176 144 12 8192 stretch" "${qcif_3gp[@]}"
      ffmpeg_filter=
      plain_ffmpeg=()
      one_pass_too= ;;
    3gp64)
      bench ".3gp 720p30 20 s -> 176x144 12 fps 64 KB/s" "$(clip 1280 720 20)" "" 3gp "176 144 12 65536 stretch" \
        "${qcif_3gp64[@]}" ;;
    quality)
      over_clip_sets quality_case "640x480 14 s" "$(busy_clip zoom)" "$(busy_clip noise)" "$(busy_clip cuts)" \
        "$(busy_clip camera)" ;;
    fit) fit_case ;;
    mp4phone) mp4_phone_case ;;
    mp4quality)
      over_clip_sets mp4_quality_case "generated clips" "$(screen_clip)" "$(busy_clip zoom)" "$(busy_clip noise)" ;;
    estimate) estimate_case ;;
    worker) worker_case ;;
    mp4)
      bench ".mp4 1080p30 ${seconds}s -> 960x540 30 fps 64 KB/s (target: <=0.95x ffmpeg)" \
        "$(clip 1920 1080 "$seconds")" "scale=960:540" mp4 "960 540 0 65536" \
        -vf scale=960:540 -c:v libx264 -preset slow -profile:v high -b:v 524288 -c:a aac -b:a 96k -ar 44100 -ac 2 ;;
    3g2)
      ffmpeg_filter="fps=12,scale=176:144$to601"
      bench ".3g2 2160p30 ${seconds}s -> 176x144 12 fps 8 KB/s (targets: <=0.75x ffmpeg, <=1.05x decode)" \
        "$(clip 3840 2160 "$seconds")" "$(same_pictures "$(clip 3840 2160 "$seconds")" 176 144 12 mpeg4)" 3g2 \
        "176 144 12 8192 stretch" "${qcif_3g2[@]}"
      ffmpeg_filter= ;;
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
    *) echo "unknown case: $case (3gp 3gp64 mp4 3g2 length quality fit mp4phone mp4quality estimate worker)" >&2; exit 2 ;;
  esac
done
echo "targets also: peak memory <= ffmpeg's; PSNR no more than 0.3 dB below ffmpeg's"
