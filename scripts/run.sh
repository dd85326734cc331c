#!/usr/bin/env bash
# Builds pocketmovie and converts a movie in the terminal: the one given, or the small sample
# that the build copies to build/sample/clip.mov. Extra options go to the program, for example
#   bash scripts/run.sh --format 3g2 ~/Movies/holiday.mov
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j"$(nproc)" --target pocketmovie
args=("$@")
last=""
if [ $# -gt 0 ]; then last=${!#}; fi
# No movie named last: convert the sample.
if [ -z "$last" ] || [ "${last#-}" != "$last" ] || [ ! -e "$last" ]; then
  args+=("build/sample/clip.mov")
fi
exec build/pocketmovie --headless "${args[@]}"
