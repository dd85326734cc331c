# Sourced by the benchmarks: generated clips, cached in "$clips" across runs.

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
