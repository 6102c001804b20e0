#!/usr/bin/env bash
# Builds the player and starts it under Wine with the environment of
# scripts/wine-run.sh (code page 936, the project's prefix, no sound card):
# the i686 program users get where this machine runs 32-bit programs
# (natively or through qemu, see scripts/i386.sh), the x86_64 build
# otherwise. It prints which one it started. The first run makes a demo folder of short
# songs (BUILD_DIR/demo-songs) and, only when the player has no settings file
# yet, writes one beside it that names that folder.
#   DISPLAY      the player runs there until it ends; run.sh then exits with
#                the player's exit code
#   (no DISPLAY) the player runs on a private Xvfb for RUN_SECONDS (default
#                15); unless it ended by itself, a screenshot of that display
#                is saved as BUILD_DIR/run.png and the player is ended
set -euo pipefail
source "$(dirname "$0")/common.sh"

prepare
find_i386_route
which=$(player_build)
if [ "$which" = win32 ]; then
  configure_win32
  arch=i686
else
  configure_win64
  arch=x86_64
fi
cmake --build "$build/$which" --target player -- -j"$(nproc)" >/dev/null
export WINEPREFIX="$build/$which/wineprefix"
player="$build/$which/player/player.exe"
echo "run: starting the $arch player ($player)"

demo="$build/demo-songs"
[ -d "$demo" ] || bash scripts/make-demo-songs.sh "$demo" >/dev/null
settings="$(dirname "$player")/目录.ini"
if [ ! -e "$settings" ]; then
  # Wine shows the Linux root as drive Z:; the file is in code page 936.
  printf '[配置]\r\n路径=Z:%s\r\n路径2=60\r\n' "${demo//\//\\}" | iconv -f UTF-8 -t GBK >"$settings"
fi

if [ -n "${DISPLAY:-}" ]; then
  prepare_wine_prefix
  status=0
  scripts/wine-run.sh "$player" || status=$?
  echo "run: the player ended with exit code $status"
  exit "$status"
fi

# No one can see or answer the private display: look at it once, then stop.
seconds=${RUN_SECONDS:-15}
trap stop_xvfb EXIT
start_xvfb
prepare_wine_prefix N
echo "run: no DISPLAY given; the player runs on the private display $DISPLAY for ${seconds}s"
scripts/wine-run.sh "$player" &
pid=$!
for _ in $(seq $((seconds * 10))); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  import -window root "$build/run.png"
  echo "run: the display as the player left it: $build/run.png"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  exit 0
fi
status=0
wait "$pid" || status=$?
echo "run: the player ended by itself with exit code $status"
exit "$status"
