# Sourced by the benchmarks: generated clips, cached in "$clips" across runs, and peak memory.

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
