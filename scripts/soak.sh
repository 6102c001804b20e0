#!/usr/bin/env bash
# The soak run: the real player under Wine advances through a folder of
# songs under a second in list repeat, PLAYER_SOAK_ADVANCES times (300), and
# the live handles its owners hold and its private memory are compared after
# a warm-up and at the end (they must stay flat). Prints the figures.
#   BUILD_DIR, DEPS_CACHE, DISPLAY  as for test.sh
set -euo pipefail
source "$(dirname "$0")/common.sh"

prepare
configure_win64
cmake --build "$build/win64" --target player player_e2e_wine -- -j"$(nproc)" >/dev/null
export PLAYER_SOAK_ADVANCES=${PLAYER_SOAK_ADVANCES:-300}
wine_session
scripts/wine-run.sh "$build/win64/tests/player/player_e2e_wine.exe" \
  --gtest_filter='PlayerSoak.*' 2>&1 | grep -E '^soak:|OK|FAILED|Failure' -A3
