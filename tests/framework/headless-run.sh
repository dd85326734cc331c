#!/bin/sh
# Runs the program from the terminal on generated movies: every format converts with status 0,
# and a missing file, a file that is no movie and Ctrl-C end with a nonzero status, one line on
# standard error and no empty output left behind.
# Usage: tests/framework/headless-run.sh [path/to/pocketmovie]   (default: build/pocketmovie)
set -u
program=$(realpath "${1:-build/pocketmovie}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" POCKETMOVIE_BUNDLE="$work/bundle"
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

expect_status() {  # expected-status description command...
  expected=$1 what=$2
  shift 2
  "$@" 2>"$work/stderr" >/dev/null
  status=$?
  if [ "$expected" = 0 ] && [ "$status" != 0 ]; then fail "$what: status $status: $(tail -n 1 "$work/stderr")"; fi
  if [ "$expected" = nonzero ] && [ "$status" = 0 ]; then fail "$what: status 0"; fi
  if [ "$expected" != 0 ] && [ "$expected" != nonzero ] && [ "$status" != "$expected" ]; then
    fail "$what: status $status, expected $expected"
  fi
  if [ "$expected" != 0 ] && ! grep -q '^pocketmovie: ' "$work/stderr"; then fail "$what: no message"; fi
}

ffmpeg -loglevel error -f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i sine -t 2 \
  -c:v libx264 -c:a aac "$work/clip.mov" || exit 1
ffmpeg -loglevel error -f lavfi -i testsrc=size=640x480:rate=30 -t 90 -c:v libx264 -preset ultrafast \
  "$work/long.mov" || exit 1

for format in mp4 3gp 3g2 amc; do
  expect_status 0 "--format $format" "$program" --headless --format "$format" "$work/clip.mov"
  ffprobe -v error -show_entries stream=codec_type -of csv=p=0 "$work/clip.mov.$format" | grep -q video ||
    fail "$format: no picture in the output"
done

expect_status nonzero "missing file" "$program" --headless "$work/missing.mov"
echo "not a movie" >"$work/text.mov"
expect_status nonzero "text file" "$program" --headless "$work/text.mov"
[ -e "$work/text.mov.mp4" ] && [ ! -s "$work/text.mov.mp4" ] && fail "text file: empty output left behind"
expect_status 2 "bad size" "$program" --headless --size 10by10 "$work/clip.mov"

"$program" --headless --format 3gp "$work/long.mov" 2>"$work/stderr" &
pid=$!
sleep 1
kill -INT "$pid"
wait "$pid"
status=$?
[ "$status" = 0 ] && fail "Ctrl-C: status 0"
tail -n 1 "$work/stderr" | grep -q 'aborted' || fail "Ctrl-C: no 'aborted' line"

[ "$failures" = 0 ] && echo "all terminal runs behaved"
exit "$failures"
