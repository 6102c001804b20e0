#!/usr/bin/env bash
# Builds the 32-bit product and packs it for Windows: BUILD_DIR/player-win32.zip
# holds player.exe (pictures and icon inside) and a short read-me.
set -euo pipefail
source "$(dirname "$0")/common.sh"

prepare
configure_win32
cmake --build "$build/win32" --target player -- -j"$(nproc)" >/dev/null

bash scripts/pack.sh "$build/win32/player/player.exe" "$build/player-win32.zip" >/dev/null
echo "package: $build/player-win32.zip"
