#!/usr/bin/env bash
# Cross-builds libjpeg-turbo and libpng for both MinGW targets from Debian's
# source packages. Usage: deps.sh DEPS_DIR. Each target lands in
# DEPS_DIR/<triplet>/{include,lib}; finished targets are reused.
set -euo pipefail

deps=$(realpath -m "${1:?usage: deps.sh DEPS_DIR}")
root=$(cd "$(dirname "$0")/.." && pwd)
src="$deps/src"
mkdir -p "$src"

fetch_sources() {
  [ -f "$src/.fetched" ] && return
  (cd "$src" && rm -rf ./* && apt-get source --download-only -qq libjpeg-turbo libpng1.6 >/dev/null 2>&1 ||
    { apt-get update -qq && apt-get source --download-only -qq libjpeg-turbo libpng1.6 >/dev/null; })
  for dsc in "$src"/*.dsc; do
    (cd "$src" && dpkg-source --no-check -x "$(basename "$dsc")" >/dev/null)
  done
  touch "$src/.fetched"
}

# The way the libraries are built; a target built another way is rebuilt.
# The JPEG library's SIMD code is left out: a dozen small pictures do not
# need it, and its dispatch pulls in every routine's assembly, the encoders'
# included, about 180 KB of the 32-bit program.
recipe="nosimd-1"

build_target() {
  local arch=$1 triplet=$1-w64-mingw32
  local prefix="$deps/$triplet" work="$deps/work-$arch"
  [ "$(cat "$prefix/.built" 2>/dev/null)" = "$recipe" ] && return
  rm -rf "$prefix" "$work"
  local common=(-G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix"
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake"
    -DCMAKE_C_FLAGS="-D_WIN32_WINNT=0x0501 -O2" -Wno-dev)
  local jpeg_src png_src
  jpeg_src=$(find "$src" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
  png_src=$(find "$src" -maxdepth 1 -type d -name 'libpng1.6-*' | head -n 1)
  cmake -S "$jpeg_src" -B "$work/jpeg" "${common[@]}" -DENABLE_SHARED=OFF \
    -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF -DWITH_SIMD=OFF >/dev/null
  cmake --build "$work/jpeg" --target install >/dev/null
  cmake -S "$png_src" -B "$work/png" "${common[@]}" -DPNG_SHARED=OFF -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF -DZLIB_LIBRARY="/usr/$triplet/lib/libz.a" \
    -DZLIB_INCLUDE_DIR="/usr/$triplet/include" >/dev/null
  cmake --build "$work/png" --target install >/dev/null
  rm -rf "$work"
  echo "$recipe" >"$prefix/.built"
}

fetch_sources
for arch in x86_64 i686; do
  build_target "$arch"
done

{
  echo "libjpeg-turbo $(basename "$src"/libjpeg-turbo_*.dsc .dsc | sed "s/libjpeg-turbo_//")"
  echo "libpng $(basename "$src"/libpng1.6_*.dsc .dsc | sed "s/libpng1.6_//")"
  echo "zlib (mingw) $(dpkg-query -W -f='${Version}' libz-mingw-w64-dev)"
} >"$deps/versions.txt"
echo "deps: $(tr '\n' ';' <"$deps/versions.txt")"
