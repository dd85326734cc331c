#!/usr/bin/env bash
# Installs the build tree into a temporary root and checks what a desktop gets: the program, its
# desktop entry, icon and software-centre metainfo, the manual page and bash completion, and that
# the installed program keeps its files in the per-user folder.
# Usage: install_test.sh CMAKE BUILD_DIR SAMPLE_MOVIE
set -euo pipefail
export LANGUAGE=en LC_ALL=C.UTF-8  # English lines and pages, whatever the developer speaks
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
desktop-file-validate "$entry" || fail "desktop-file-validate rejects the entry"

# Software centres: a valid metainfo file that names the entry and offers the entry's movie types.
metainfo=$(ls "$usr"/share/metainfo/*.metainfo.xml) || fail "no metainfo"
appstreamcli validate --no-net --pedantic "$metainfo" >"$tmp/validate.log" 2>&1 || {
  cat "$tmp/validate.log" >&2
  fail "appstreamcli rejects the metainfo"
}
grep -q '<launchable type="desktop-id">pocketmovie.desktop</launchable>' "$metainfo" || fail "the metainfo names another entry"
entry_types=$(sed -n 's/^MimeType=//p' "$entry" | tr ';' '\n' | sed '/^$/d' | sort)
metainfo_types=$(sed -n 's:.*<mediatype>\(.*\)</mediatype>.*:\1:p' "$metainfo" | sort)
[ "$entry_types" = "$metainfo_types" ] || fail "the entry and the metainfo offer different movie types"

# The manual page renders without warnings, names the version the program reports, and documents
# the same options as --help.
page="$usr/share/man/man1/pocketmovie.1.gz"
[ -f "$page" ] || fail "no manual page"
MANWIDTH=80 man --warnings -l "$page" >"$tmp/page.txt" 2>"$tmp/page.warnings" || fail "man cannot render the page"
[ ! -s "$tmp/page.warnings" ] || { cat "$tmp/page.warnings" >&2; fail "the manual page has mistakes"; }
grep -q "^NAME" "$tmp/page.txt" || fail "the rendered page has no NAME section"
version=$("$program" --version | awk '{print $2}')
zcat "$page" | grep -q "^\.TH POCKETMOVIE 1 .*\"pocketmovie $version\"" || fail "the manual page is not of version $version"
"$program" --help >"$tmp/help.txt" || fail "--help failed"
help_options=$(grep -E '^  -' "$tmp/help.txt" | grep -oE -- '--?[a-z]+' | sort -u)
page_options=$(sed -n '/^OPTIONS/,/^EXIT STATUS/p' "$tmp/page.txt" | grep -E '^       -' | grep -oE -- '--?[a-z]+' | sort -u)
[ -n "$help_options" ] && [ "$help_options" = "$page_options" ] ||
  fail "--help and the manual page document different options: $(echo $help_options) / $(echo $page_options)"

# Bash completion, where bash-completion looks for it: options, their values, and movies.
completion="$usr/share/bash-completion/completions/pocketmovie"
[ -f "$completion" ] || fail "no bash completion"
mkdir -p "$tmp/complete/Movies"
touch "$tmp/complete/clip.mov" "$tmp/complete/notes.txt"
complete_for() {  # the words typed, the last one being completed; prints the candidates sorted
  (cd "$tmp/complete" && bash -c 'source "$1"; shift; COMP_WORDS=(pocketmovie "$@"); COMP_CWORD=$#; _pocketmovie
    printf "%s\n" "${COMPREPLY[@]}" | LC_ALL=C sort | xargs' _ "$completion" "$@")
}
expect_completion() {
  local want=$1; shift
  local got; got=$(complete_for "$@")
  [ "$got" = "$want" ] || fail "completing '$*' gave '$got', not '$want'"
}
expect_completion "--fit --format --fps" --f
completed_options=$(complete_for - | grep -oE -- '--?[a-z]+' | sort -u)
[ "$completed_options" = "$(echo "$help_options" | grep -vx -- -h)" ] ||
  fail "--help and the completion offer different options: $(echo $help_options) / $(echo $completed_options)"
expect_completion "Movies" --output-dir M
expect_completion "3g2 3gp amc mp4" --format ""
expect_completion "3g2 3gp" --format = 3g
expect_completion "qcif quarter" --size q
expect_completion "" --rate ""
expect_completion "Movies clip.mov" ""
expect_completion "notes.txt" --headless n

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
# In German and Japanese: the terminal speaks the language, a German locale's decimal comma reaches
# neither the conversion nor the files, and the preferences are the same bytes as in English.
mkdir -p "$tmp/locales"
localedef -i de_DE -f UTF-8 "$tmp/locales/de_DE.UTF-8" || fail "cannot make a German locale"
LANGUAGE=ja "$program" --help | grep -q '^使い方: pocketmovie' || fail "--help is not in Japanese"
in_language() {  # CONFIG LANG MOVIE...: converts at 7.5 frames per second
  local config=$1 lang=$2; shift 2
  (cd "$tmp/movies" && env -u LANGUAGE -u LC_ALL -u LC_MESSAGES -u DISPLAY -u WAYLAND_DISPLAY LOCPATH="$tmp/locales" \
    LANG="$lang" HOME="$tmp/home" XDG_CONFIG_HOME="$config" XDG_DATA_HOME="$tmp/data" \
    "$program" --headless --format 3gp --fps 7.5 "$@" 2>"$tmp/run.log")
}
in_language "$tmp/config-en" C.UTF-8 clip.mov || { cat "$tmp/run.log" >&2; fail "the English run failed"; }
in_language "$tmp/config-de" de_DE.UTF-8 clip.mov || { cat "$tmp/run.log" >&2; fail "the German run failed"; }
grep -qx "pocketmovie: $tmp/movies/clip.mov.3gp geschrieben" "$tmp/run.log" || {
  cat "$tmp/run.log" >&2
  fail "the German run does not say so in German"
}
ffprobe -v error -select_streams v -show_entries stream=avg_frame_rate -of csv=p=0 "$tmp/movies/clip.mov.3gp" |
  grep -qx '15/2' || fail "7.5 frames per second did not survive the German locale"
cmp "$tmp/config-en/pocketmovie/pocketmovie.conf" "$tmp/config-de/pocketmovie/pocketmovie.conf" ||
  fail "the preferences differ between English and German"
in_language "$tmp/config-de" de_DE.UTF-8 missing.mov && fail "a missing movie converted"
grep -qx "pocketmovie: keine solche Datei: missing.mov" "$tmp/run.log" || {
  cat "$tmp/run.log" >&2
  fail "the German failure line"
}
echo "installed and converted"
