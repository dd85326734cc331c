#!/usr/bin/env bash
# Builds the Debian package pocketmovie_VERSION_ARCH.deb in build-package/ (or the folder given): a
# release build without the tests, its dependencies found by dpkg-shlibdeps. Install it with
#   sudo apt-get install ./build-package/pocketmovie_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-package}
bash scripts/setup-deps.sh
# Debian's hardening flags, as a package built by the archive would have them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CXXFLAGS LDFLAGS
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPOCKETMOVIE_TESTS=OFF -DPOCKETMOVIE_SANITIZE=OFF >/dev/null
cmake --build "$dir" -j"$(nproc)"
rm -f "$dir"/pocketmovie_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
ls "$dir"/pocketmovie_*.deb
