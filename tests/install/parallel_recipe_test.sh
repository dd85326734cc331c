#!/usr/bin/env bash
# Runs the README's recipe for many machines, word for word, with this machine as the only host:
# three movies, one in a folder and one with a space in its name, converted and left in place.
# Usage: parallel_recipe_test.sh README PROGRAM SAMPLE_MOVIE
set -euo pipefail
readme=$1 program=$2 sample=$3
command -v parallel >/dev/null || { echo "SKIP: no GNU parallel (scripts/setup-deps.sh installs it)"; exit 77; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

recipe=$(awk '/^## A movie library on many machines/ { section = 1 } section && /^```sh/ { block = 1; next }
              block && /^```/ { exit } block { print }' "$readme")
grep -q -- '--sshlogin "\$hosts"' <<<"$recipe" || fail "no parallel command in the README's section"
grep -q -- '--transferfile {} --return {}.3gp --cleanup' <<<"$recipe" || fail "the recipe no longer moves files"
recipe=$(sed 's/^hosts=.*/hosts=:/' <<<"$recipe")

export HOME="$tmp/home"
mkdir -p "$HOME/Movies/trip" "$tmp/bin"
ln -s "$program" "$tmp/bin/pocketmovie"
export PATH="$tmp/bin:$PATH"
cp "$sample" "$HOME/Movies/clip.mov"
cp "$sample" "$HOME/Movies/trip/beach day.mov"
cp "$sample" "$HOME/Movies/trip/old.avi"

bash -c "$recipe" >"$tmp/out.txt" 2>&1 || { cat "$tmp/out.txt" >&2; fail "the recipe failed"; }
for movie in clip.mov "trip/beach day.mov" trip/old.avi; do
  [ -f "$HOME/Movies/$movie" ] || fail "the source $movie is gone"
  ffprobe -v error -show_entries format=duration -of csv=p=0 "$HOME/Movies/$movie.3gp" | grep -q '[1-9]' ||
    fail "$movie.3gp is no movie"
  grep -q "^./$movie	pocketmovie: wrote " "$tmp/out.txt" || { cat "$tmp/out.txt" >&2; fail "no result line for $movie"; }
done

# Run again, as after a stop: nothing done twice.
before=$(stat -c %Y "$HOME/Movies/clip.mov.3gp")
sleep 1
bash -c "$recipe" >"$tmp/again.txt" 2>&1 || { cat "$tmp/again.txt" >&2; fail "the second run failed"; }
[ "$(stat -c %Y "$HOME/Movies/clip.mov.3gp")" = "$before" ] || fail "a done movie was converted again"
[ ! -e "$HOME/Movies/clip.mov.3gp.3gp" ] || fail "an output was taken for a source"
echo "ok"
