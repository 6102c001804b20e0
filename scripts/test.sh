#!/usr/bin/env bash
# Builds everything (native, x86_64 and i686) and runs every test: the native
# tests directly, the Windows tests of both builds under Wine (the 32-bit ones
# natively, through qemu, or reported as skipped where neither works, see
# scripts/i386.sh), the check of the 32-bit product image, and each fuzz
# target for a few seconds. Ends with ctest's summary.
#   BUILD_DIR   build tree (default: build)
#   DEPS_CACHE  where cross-built libraries are kept (default: BUILD_DIR/deps)
#   DISPLAY     an X display for the 64-bit tests; without one a private Xvfb
#               is started (the 32-bit tests get one of their own, or
#               DISPLAY_WINE32)
#   PROJECT_I386  native, qemu or none: forces how 32-bit programs run
set -euo pipefail
source "$(dirname "$0")/common.sh"

# The emulated route runs this script again for its tests, inside the
# emulator's namespace: every Wine process of the run, the server and Wine's
# own services included, then shares that one namespace.
if [ "${1:-}" != --tests-only ]; then
  prepare
  configure_win64
  configure_win32
  configure fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPROJECT_FUZZ=ON
  configure native -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPROJECT_EXTRA_BUILDS="$build/fuzz;$build/win64;$build/win32"
  for dir in native fuzz win64 win32; do
    echo "== building $dir"
    if ! cmake --build "$build/$dir" -- -j"$(nproc)" >"$build/$dir.build.log" 2>&1; then
      grep -v '^\[' "$build/$dir.build.log" | tail -n 60
      echo "build of $dir failed"
      exit 1
    fi
  done
  find_i386_route
  if [ "$PROJECT_I386_ROUTE" = qemu ]; then
    exec bash scripts/i386.sh run bash scripts/test.sh --tests-only
  fi
fi

# The Windows tests of each build run in a Wine prefix and on an X display
# of their own (wine-run.sh takes DISPLAY_WINE32 for the 32-bit ones), so
# neither set sees the other's windows or tray.
find_i386_route
case $PROJECT_I386_ROUTE in
  native) echo "== 32-bit programs run natively: the wine32 tests run the i686 build" ;;
  qemu) echo "== 32-bit programs run through qemu-i386: the wine32 tests run the i686 build" ;;
  *) echo "== no 32-bit programs run here: ctest reports the wine32 tests as skipped" ;;
esac
cleanup() {
  for dir in win64 win32; do
    WINEPREFIX="$build/$dir/wineprefix" /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  done
  stop_xvfb
}
trap cleanup EXIT
start_xvfb
start_xvfb DISPLAY_WINE32
# The test displays have no window manager: Wine's windows are left unmanaged.
WINEPREFIX="$build/win64/wineprefix" prepare_wine_prefix N
WINEPREFIX="$build/win32/wineprefix" PROJECT_TEST_ARCH=i686 prepare_wine_prefix N
# Each server, and with it Wine's services, stays until the end of the run: a
# server that ended while the fuzz targets ran would have a test start them
# all again.
for dir in win64 win32; do
  WINEPREFIX="$build/$dir/wineprefix" /usr/lib/wine/wineserver -p >/dev/null 2>&1 || true
done

# Two at a time: the Windows tests of one build wait for each other (their
# resource lock), so the two builds' tests run side by side.
ctest --test-dir "$build/native" --output-on-failure --no-tests=error -j2
