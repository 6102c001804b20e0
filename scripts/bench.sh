#!/usr/bin/env bash
# The benchmark: under Wine, the player against the same window built by hand
# in plain Win32 (tests/player/bench/hand_window.cpp), a bare one-window
# program beside them as context, in turns for 21 counted rounds: start-up to
# the visible window and the CPU time the program and Wine's server spent by
# then (medians, and the median of the per-round ratios with its
# interquartile range), private memory, and
# the time a folder of 10,000 MP3 names adds against a bare FindFirstFile and
# LB_ADDSTRING loop; then the size of the 32-bit player.exe. Prints each
# figure with its limit, and the share of CPU time a virtual machine's host
# took during the run (steal time): start-up figures of a run in which the
# host took much swing far more than those of a quiet one.
#   BUILD_DIR, DEPS_CACHE, DISPLAY  as for test.sh
set -euo pipefail
source "$(dirname "$0")/common.sh"

prepare
configure_win64
configure_win32
find_i386_route
which=$(player_build)
cmake --build "$build/$which" --target bench_driver -- -j"$(nproc)" >/dev/null
cmake --build "$build/win32" --target player -- -j"$(nproc)" >/dev/null
echo "bench: the $([ "$which" = win32 ] && echo i686 || echo x86_64) build's player and programs ($build/$which)"

names="$build/bench-names"
if [ ! -d "$names" ]; then
  mkdir -p "$names"
  (cd "$names" && seq -f 'song%05g.mp3' 1 10000 | xargs touch)
fi

# Total and stolen CPU ticks so far, from the first line of /proc/stat.
cpu_ticks() { awk '/^cpu / { t = 0; for (i = 2; i <= 9; i++) t += $i; print t, $9 }' /proc/stat; }
read -r ticks0 steal0 < <(cpu_ticks)
wine_session "$which"
scripts/wine-run.sh "$build/$which/tests/player/bench_driver.exe" "Z:${names//\//\\}" 2>&1 |
  grep -v '^ALSA'
read -r ticks1 steal1 < <(cpu_ticks)
awk -v t=$((ticks1 - ticks0)) -v s=$((steal1 - steal0)) \
  'BEGIN { printf "host steal time during the run: %.1f%% of CPU time\n", (t > 0 ? 100 * s / t : 0) }'
size=$(stat -c %s "$build/win32/player/player.exe")
awk -v s="$size" 'BEGIN { printf "i686 player.exe: %d bytes, %.2f MiB (limit 1.4 MB)\n", s, s / 1048576 }'
