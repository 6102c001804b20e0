#!/usr/bin/env bash
# The soak run: the real player under Wine (the i686 one where 32-bit
# programs run, else the x86_64 build; it says which) advances through a folder of
# songs under a second in list repeat, PLAYER_SOAK_ADVANCES times (300), and
# the live handles its owners hold and its private memory are compared after
# a warm-up and at the end (they must stay flat). Prints the figures.
#   BUILD_DIR, DEPS_CACHE, DISPLAY  as for test.sh
set -euo pipefail
source "$(dirname "$0")/common.sh"

prepare
find_i386_route
which=$(player_build)
"configure_$which"
cmake --build "$build/$which" --target player player_e2e_wine -- -j"$(nproc)" >/dev/null
echo "soak: the $([ "$which" = win32 ] && echo i686 || echo x86_64) player ($build/$which/player/player.exe)"
export PLAYER_SOAK_ADVANCES=${PLAYER_SOAK_ADVANCES:-300}
wine_session "$which"
scripts/wine-run.sh "$build/$which/tests/player/player_e2e_wine.exe" \
  --gtest_filter='PlayerSoak.*' 2>&1 | grep -E '^soak:|OK|FAILED|Failure' -A3
