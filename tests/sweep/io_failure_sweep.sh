#!/usr/bin/env bash
# Makes the file-system calls of a run fail one at a time (strace's fault injection, ENOSPC and EIO
# by turns): a single movie, a two-pass ".mp4" fitted to a size, a batch of two and a settings-file
# save. The calls failed are those on the run's own files and pipes, spread over the run. After
# each: an earlier output is kept byte for byte or replaced by a whole one, nothing half-written
# lies under a final name, a failed run ends non-zero with a line that says why, and the next run
# works and leaves no hidden file.
# Usage: io_failure_sweep.sh PROGRAM SAVE_SETTINGS SAMPLE_MOVIE [POINTS_PER_KIND_OF_CALL]
set -uo pipefail
program=$1 saver=$2 sample=$3 points=${4:-3}
command -v strace >/dev/null || { echo "SKIP: no strace (scripts/setup-deps.sh installs it)"; exit 77; }
strace -f -qq -o /dev/null true 2>/dev/null || { echo "SKIP: strace cannot trace here"; exit 77; }
# A sanitizer build probes memory by writing to a pipe of its own from the run's threads, so the
# Nth write is not the same call from one run to the next (and its leak check cannot run traced).
# grep reads the whole list: with pipefail, an early exit (-q) could fail ldd on a closed pipe.
ldd "$program" | grep libubsan >/dev/null && { echo "SKIP: a sanitizer build's own writes shift the calls counted"; exit 77; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/config POCKETMOVIE_BUNDLE=$tmp/bundle LANGUAGE=en
mkdir -p "$HOME"
dir=$tmp/movies
calls=(write pwrite64 fsync fdatasync rename openat ftruncate)
failures=0 runs=0
declare -A failedKinds=()
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# A whole output: a movie that decodes without an error, or the settings a clean save writes.
whole() {
  case $1 in
    *.atom) cmp -s "$1" "$tmp/reference.atom" ;;
    *) [ -s "$1" ] && [ -z "$(ffmpeg -v error -i "$1" -f null - 2>&1)" ] ;;
  esac
}

# The case's sources, earlier outputs and command; its outputs in `outputs`.
prepare() {
  rm -rf "$dir" && mkdir -p "$dir"
  case $1 in
    single) cp "$sample" "$dir/clip.mov"; outputs=("$dir/clip.mov.3gp")
            command=("$program" --headless --format 3gp "$dir/clip.mov") ;;
    fit)    cp "$sample" "$dir/clip.mov"; outputs=("$dir/clip.mov.mp4")
            command=("$program" --headless --format mp4 --fit 100K "$dir/clip.mov") ;;
    batch)  cp "$sample" "$dir/a.mov"; cp "$sample" "$dir/b.mov"; outputs=("$dir/a.mov.3gp" "$dir/b.mov.3gp")
            command=("$program" --headless --format 3gp --jobs 2 "$dir/a.mov" "$dir/b.mov") ;;
    settings) outputs=("$dir/setting3gpp2.atom"); command=("$saver" "$dir/setting3gpp2.atom") ;;
  esac
  cp "$tmp/earlier" "${outputs[0]}"
}
echo "earlier output" >"$tmp/earlier"
earlier() { cmp -s "$1" "$tmp/earlier"; }

# Each kind of call the case makes on its own files (movies, preferences, settings) and pipes, with the number each such call has
# among its thread's calls of that kind (strace counts injections per thread), as "KIND NUMBER".
interesting_calls() {
  prepare "$1"
  strace -f -qq -y -o "$tmp/trace" -e trace="$(IFS=,; echo "${calls[*]}")" "${command[@]}" >/dev/null 2>"$tmp/errors"
  awk -v own="$tmp/" '
    { pid = $1; kind = $2; sub(/\(.*/, "", kind); number = ++seen[pid " " kind] }
    (index($0, own) || index($0, "pipe:[")) && !index($0, "(2<") { print kind, number }' "$tmp/trace" |
    sort -u -k1,1 -k2,2n
}

for case_ in single fit batch settings; do
  if [ "$case_" = settings ]; then
    prepare settings && rm -f "${outputs[0]}" && "$saver" "$tmp/reference.atom" || { fail "a clean save failed"; continue; }
  fi
  interesting_calls "$case_" >"$tmp/calls"
  for kind in "${calls[@]}"; do
    mapfile -t numbers < <(awk -v kind="$kind" '$1 == kind { print $2 }' "$tmp/calls")
    count=${#numbers[@]}
    [ "$count" -gt 0 ] || continue
    # The first, the last and evenly between.
    for ((point = 0; point < points && point < count; point++)); do
      index=$(( points > 1 ? point * (count - 1) / (points - 1) : count - 1 ))
      number=${numbers[$index]}
      errno=$([ $((runs % 2)) -eq 0 ] && echo ENOSPC || echo EIO)
      what="$case_: $kind number $number fails with $errno"
      runs=$((runs + 1))
      prepare "$case_"
      strace -f -qq -y -o "$tmp/trace" -e trace="$(IFS=,; echo "${calls[*]}")" -e inject="$kind:error=$errno:when=$number" \
        "${command[@]}" >/dev/null 2>"$tmp/errors"
      status=$?
      grep -q INJECTED "$tmp/trace" && failedKinds[$kind]=1
      for output in "${outputs[@]}"; do
        [ ! -e "$output" ] || earlier "$output" || whole "$output" ||
          fail "$what: a half-written file under $output"
      done
      if [ "$status" -eq 0 ]; then
        for output in "${outputs[@]}"; do whole "$output" || fail "$what: status 0 without a whole $output"; done
      else
        # A failure says why, unless the call that failed was the one that would have said it.
        lastLine=$(tail -n 1 "$tmp/errors")
        [[ $lastLine == pocketmovie:* || $lastLine == save_settings:* ]] || grep -q 'write(2<.*INJECTED' "$tmp/trace" ||
          fail "$what: status $status with no line that says why (last: '$lastLine')"
        # Kept, unless what failed was the folder's sync after the new output took its place: a
        # rename cannot be taken back, and the new output is whole.
        [ "$case_" = batch ] || earlier "${outputs[0]}" ||
          awk -v to="\"${outputs[0]}\") = 0" 'index($0, "rename(") && index($0, to) { renamed = 1 }
            /INJECTED/ { exit !renamed }' "$tmp/trace" || fail "$what: the earlier output was not kept"
      fi
      # The next run works, and removes whatever hidden file the failed one left.
      "${command[@]}" >/dev/null 2>"$tmp/errors" || fail "$what: the next run failed: $(tail -n 1 "$tmp/errors")"
      for output in "${outputs[@]}"; do whole "$output" || fail "$what: the next run left no whole $output"; done
      hidden=$(find "$dir" -mindepth 1 -name '.*' -printf '%f ')
      [ -z "$hidden" ] || fail "$what: hidden files left after the next run: $hidden"
    done
  done
done

for kind in write fsync rename openat; do
  [ -n "${failedKinds[$kind]:-}" ] || fail "no $kind was ever failed"
done
echo "$runs runs, each with one failing call; kinds failed: ${!failedKinds[*]}; $failures faults"
[ "$failures" -eq 0 ]
