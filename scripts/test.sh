#!/usr/bin/env bash
# Builds everything (native, x86_64 and i686) and runs every test: the native
# tests directly, the Windows tests under Wine on an X display, and the check
# of the 32-bit product image, and each fuzz target for a few seconds.
# Ends with ctest's summary.
#   BUILD_DIR   build tree (default: build)
#   DEPS_CACHE  where cross-built libraries are kept (default: BUILD_DIR/deps)
#   DISPLAY     an X display to use; without one a private Xvfb is started
set -euo pipefail
source "$(dirname "$0")/common.sh"

prepare
configure_win64
configure win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DDEPS_PREFIX="$deps/i686-w64-mingw32" -DCMAKE_BUILD_TYPE=Release
configure fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPROJECT_FUZZ=ON
configure native -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPROJECT_EXTRA_BUILDS="$build/win64;$build/win32;$build/fuzz"
for dir in native fuzz win64 win32; do
  echo "== building $dir"
  if ! cmake --build "$build/$dir" -- -j"$(nproc)" >"$build/$dir.build.log" 2>&1; then
    grep -v '^\[' "$build/$dir.build.log" | tail -n 60
    echo "build of $dir failed"
    exit 1
  fi
done

# The Windows tests need an X display and a Wine prefix of their own.
export WINEPREFIX="$build/win64/wineprefix"
cleanup() {
  /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  stop_xvfb
}
trap cleanup EXIT
start_xvfb
# The test display has no window manager: Wine's windows are left unmanaged.
prepare_wine_prefix N
/usr/lib/wine/wineserver -p 60 >/dev/null 2>&1 || true

ctest --test-dir "$build/native" --output-on-failure --no-tests=error
