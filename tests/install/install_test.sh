#!/usr/bin/env bash
# Installs the build tree into a temporary root and checks what a desktop gets: the program, its
# desktop entry and icon, and that the installed program keeps its files in the per-user folder.
# Usage: install_test.sh CMAKE BUILD_DIR SAMPLE_MOVIE
set -euo pipefail
cmake=$1 build=$2 sample=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$tmp/root" "$cmake" --install "$build" --prefix /usr >"$tmp/install.log" || {
  cat "$tmp/install.log" >&2
  fail "cmake --install"
}
usr="$tmp/root/usr"
program="$usr/bin/pocketmovie"
entry="$usr/share/applications/pocketmovie.desktop"
icon="$usr/share/icons/hicolor/scalable/apps/pocketmovie.svg"

[ -x "$program" ] || fail "no program at $program"
[ ! -e "$usr/bin/pocketmovie-bundle" ] || fail "a bundle folder beside the installed program would be used instead of the per-user one"
[ -f "$entry" ] || fail "no desktop entry"
grep -qx 'Exec=pocketmovie %F' "$entry" || fail "the entry does not hand the files to the program"
grep -qx 'Icon=pocketmovie' "$entry" || fail "the entry names another icon"
for type in video/quicktime video/x-msvideo video/mp4 video/x-matroska video/webm video/3gpp video/3gpp2 video/mpeg; do
  grep -q "^MimeType=.*$type;" "$entry" || fail "the entry does not offer to open $type"
done
grep -q '<svg' "$icon" || fail "no scalable icon"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$entry" || fail "desktop-file-validate rejects the entry"
fi

# The installed program converts from any folder and keeps its settings files under XDG_DATA_HOME,
# or ~/.local/share without it. 3GPP2 is a format with a settings file, so the folder is looked up.
mkdir -p "$tmp/movies" "$tmp/home"
cp "$sample" "$tmp/movies/clip.mov"
run() {
  (cd "$tmp/movies" && env -u POCKETMOVIE_BUNDLE -u DISPLAY -u WAYLAND_DISPLAY HOME="$tmp/home" \
    XDG_CONFIG_HOME="$tmp/config" "$@" "$program" --headless --format 3g2 clip.mov >/dev/null 2>"$tmp/run.log") || {
    cat "$tmp/run.log" >&2
    fail "the installed program did not convert the movie"
  }
}
run env XDG_DATA_HOME="$tmp/data"
[ -s "$tmp/movies/clip.mov.3g2" ] || fail "no output movie"
[ -d "$tmp/data/pocketmovie" ] || fail "no per-user folder under XDG_DATA_HOME"
if command -v ffprobe >/dev/null; then
  ffprobe -v error -show_entries format=duration -of csv=p=0 "$tmp/movies/clip.mov.3g2" | grep -q '^[0-9]' ||
    fail "the output does not play"
fi
run env -u XDG_DATA_HOME
[ -d "$tmp/home/.local/share/pocketmovie" ] || fail "no per-user folder under ~/.local/share"
echo "installed and converted"
