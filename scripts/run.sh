#!/usr/bin/env bash
# Builds the player and starts it. On this Linux machine the 64-bit build
# runs under Wine; without a DISPLAY it runs on a private Xvfb.
set -euo pipefail
source "$(dirname "$0")/common.sh"

prepare
configure_win64
cmake --build "$build/win64" --target player -- -j"$(nproc)" >/dev/null
export WINEPREFIX="$build/win64/wineprefix"
if [ -z "${DISPLAY:-}" ]; then
  start_xvfb
  echo "run: no DISPLAY given; the player runs on the private display $DISPLAY"
fi
trap stop_xvfb EXIT
scripts/wine-run.sh "$build/win64/player/player.exe"
