#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, makes their seed corpora and runs each target in turn
# for the given number of seconds (default 600). The exit status is nonzero when a target found a
# fault; its input is kept in <build>/fuzz-artifacts.
#   scripts/fuzz.sh [seconds]
# FUZZ_BUILD_DIR overrides the build folder (default build-fuzz); FUZZ_TARGETS names the targets to
# run (default all three).
set -euo pipefail
# Read whole before it runs, so that an edit during a long run cannot change what runs.
{
cd "$(dirname "$0")/.."
seconds="${1:-600}"
build="${FUZZ_BUILD_DIR:-build-fuzz}"
jobs="${FUZZ_BUILD_JOBS:-2}"

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DPOCKETMOVIE_FUZZ=ON -DPOCKETMOVIE_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$jobs" \
  --target fuzz_settings_container fuzz_settings_file fuzz_movie_open fuzz_make_seeds >/dev/null
bin="$build/tests/fuzz"

# Seeds: the containers the two components give out, and tiny real movies in the usual forms.
seeds="$build/fuzz-seeds"
rm -rf "$seeds"
mkdir -p "$seeds/containers" "$seeds/movies"
"$bin/fuzz_make_seeds" "$seeds/containers"
movie() {  # name, then ffmpeg output options
  local name="$1"
  shift
  ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=32x32:rate=10 -f lavfi -i sine=frequency=440:sample_rate=8000 \
    -t 0.2 "$@" "$seeds/movies/$name"
}
movie clip.mov -c:v libx264 -preset ultrafast -c:a aac -ac 1
movie clip.mp4 -c:v mpeg4 -c:a aac -ac 1
movie clip.avi -c:v mjpeg -c:a pcm_s16le
movie clip.mkv -c:v ffv1 -c:a flac
movie clip.3gp -c:v h263 -s 128x96 -c:a libopencore_amrnb -ar 8000 -ac 1
movie turned.mov -c:v libx264 -preset ultrafast -an -metadata:s:v rotate=90
movie wide-pixels.mp4 -c:v mpeg4 -vf setsar=2/1 -an
movie sound-only.m4a -vn -c:a aac -ac 1

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
targets="${FUZZ_TARGETS:-fuzz_settings_container fuzz_settings_file fuzz_movie_open}"
failed=0
summary=()
run() {  # target, max input length, seed folders (inputs that once found a fault among them)
  local target="$1" max_len="$2"
  shift 2
  case " $targets " in *" $target "*) ;; *) return 0 ;; esac
  local corpus="$build/fuzz-corpus/$target" artifacts="$build/fuzz-artifacts/$target/"
  local log="$build/fuzz-logs/$target.log"
  mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
  echo "== $target: ${seconds}s"
  local start status=0
  start=$(date +%s)
  "$bin/$target" "$corpus" "$@" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts" >"$log" 2>&1 || status=$?
  local elapsed=$(($(date +%s) - start))
  local runs
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
  if [ "$status" -ne 0 ]; then
    failed=1
    grep -E 'ERROR|SUMMARY|broken promise|runtime error|Test unit written' "$log" | head -n 8 || true
    summary+=("$target: FAILED after ${elapsed}s (see $log)")
  else
    summary+=("$target: ${runs:-?} executions in ${elapsed}s, clean")
  fi
}
run fuzz_settings_container 4096 "$seeds/containers" tests/fuzz/regressions/settings_container
run fuzz_settings_file 4096 "$seeds/containers"
run fuzz_movie_open 65536 "$seeds/movies"

printf '%s\n' "${summary[@]}"
exit "$failed"
}
