#!/usr/bin/env bash
# Measures what the animation box costs when nothing much changes: the CPU
# time (user + system) of the program plus the wineserver over 10 seconds,
# for a form whose box holds one two-frame 32 x 28 GIF object (250 ms a
# frame) over a 465 x 200 JPEG background, and for a bare program with only
# a 5 ms window timer. Prints both figures and their ratio, and fails when
# the ratio is above 1.5. Builds the x86_64 tree's cartoon_bench first.
#   BUILD_DIR, DEPS_CACHE as for test.sh; SECONDS_MEASURED (default 10)
set -euo pipefail
source "$(dirname "$0")/common.sh"

measured=${SECONDS_MEASURED:-10}
[ -d "$build/win64" ] || configure_win64
cmake --build "$build/win64" --target cartoon_bench >/dev/null
program="$build/win64/tests/extunits/cartoon_bench.exe"

export WINEPREFIX="$build/win64/wineprefix"
cleanup() {
  /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  stop_xvfb
}
trap cleanup EXIT
start_xvfb
prepare_wine_prefix N

ticks_per_second=$(getconf CLK_TCK)
# cpu_ticks PID...: user + system clock ticks of the processes.
cpu_ticks() {
  local total=0 pid
  for pid in "$@"; do
    local fields
    fields=$(sed 's/.*) //' "/proc/$pid/stat")
    total=$((total + $(echo "$fields" | awk '{print $12 + $13}')))
  done
  echo "$total"
}

# The wineserver serving this prefix.
server_pid() {
  local pid
  for pid in $(pgrep -x wineserver64 || pgrep -x wineserver); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"
      return
    fi
  done
}

# measure ARGS...: prints the CPU milliseconds the program and the
# wineserver use over the measured seconds, after 3 seconds of start-up.
measure() {
  /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  scripts/wine-run.sh "$program" "$@" &
  local launcher=$!
  sleep 3
  local program_pid server
  program_pid=$(pgrep -f 'cartoon_bench\.exe' | while read -r p; do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$p"
  done | head -n 1)
  server=$(server_pid)
  if [ -z "$program_pid" ] || [ -z "$server" ]; then
    echo "the benchmark program did not start" >&2
    exit 1
  fi
  local before after
  before=$(cpu_ticks "$program_pid" "$server")
  sleep "$measured"
  after=$(cpu_ticks "$program_pid" "$server")
  kill "$program_pid" 2>/dev/null || true
  wait "$launcher" 2>/dev/null || true
  echo $(((after - before) * 1000 / ticks_per_second))
}

box=$(measure)
bare=$(measure bare)
echo "animation box: ${box} ms of CPU in ${measured} s (program + wineserver)"
echo "bare 5 ms timer: ${bare} ms of CPU in ${measured} s (program + wineserver)"
awk -v a="$box" -v b="$bare" 'BEGIN {
  r = (b > 0) ? a / b : 0
  printf "ratio: %.2f (at most 1.5)\n", r
  exit (b > 0 && r <= 1.5) ? 0 : 1
}'
