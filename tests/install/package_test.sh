#!/usr/bin/env bash
# Builds the Debian package from the build tree and checks it as the archive would: lintian finds
# no error, the maintainer is the project, and the package carries the desktop files, the manual
# page, the completion and a machine-readable copyright file.
# Usage: package_test.sh CPACK BUILD_DIR
set -euo pipefail
cpack=$1 build=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$tmp" >"$tmp/cpack.log" 2>&1 || {
  cat "$tmp/cpack.log" >&2
  fail "cpack"
}
deb=$(ls "$tmp"/pocketmovie_*.deb) || fail "no package"

lintian --fail-on error --tag-display-limit 0 "$deb" >"$tmp/lintian.log" 2>&1 || {
  cat "$tmp/lintian.log" >&2
  fail "lintian finds errors"
}
grep -E '^[EW]: ' "$tmp/lintian.log" >&2 || true

maintainer=$(dpkg-deb -f "$deb" Maintainer)
[[ $maintainer == "pocketmovie developers <"*"@"*">" ]] || fail "maintainer '$maintainer' is not the project"

dpkg-deb -c "$deb" | awk '{print $6}' | sed 's:^\./::' >"$tmp/contents"
for path in usr/bin/pocketmovie usr/share/applications/pocketmovie.desktop \
  usr/share/metainfo/org.pocketmovie.pocketmovie.metainfo.xml usr/share/man/man1/pocketmovie.1.gz \
  usr/share/bash-completion/completions/pocketmovie usr/share/doc/pocketmovie/copyright \
  usr/share/doc/pocketmovie/changelog.gz; do
  grep -qx "$path" "$tmp/contents" || fail "the package lacks $path"
done

dpkg-deb -x "$deb" "$tmp/root"
copyright="$tmp/root/usr/share/doc/pocketmovie/copyright"
head -1 "$copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file is not machine-readable"
echo "package $(basename "$deb") passes lintian"
