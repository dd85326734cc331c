#!/usr/bin/env bash
# Builds everything and runs every test. POCKETMOVIE_SANITIZE=1 builds with ASan and UBSan into
# build-asan instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh
dir=build
flags=()
if [ "${POCKETMOVIE_SANITIZE:-0}" = 1 ]; then
  dir=build-asan
  flags+=(-DPOCKETMOVIE_SANITIZE=ON)
  export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
fi
cmake -S . -B "$dir" -G Ninja "${flags[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)"
