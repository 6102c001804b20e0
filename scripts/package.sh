#!/usr/bin/env bash
# Builds the 32-bit product and packs it for Windows: BUILD_DIR/player-win32.zip
# holds player.exe (pictures and icon inside) and a short read-me.
set -euo pipefail
source "$(dirname "$0")/common.sh"

prepare
configure win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DDEPS_PREFIX="$deps/i686-w64-mingw32" -DCMAKE_BUILD_TYPE=Release
cmake --build "$build/win32" --target player -- -j"$(nproc)" >/dev/null

stage="$build/package/player"
rm -rf "$build/package" "$build/player-win32.zip"
mkdir -p "$stage"
cp "$build/win32/player/player.exe" "$stage/"
# Windows' Notepad reads CRLF line ends; the text stays ASCII on purpose.
sed 's/$/\r/' >"$stage/README.txt" <<'TEXT'
MP3 player for Windows (XP, 7 and later), 32-bit.

Run player.exe. Use the menu to choose a folder of MP3 files; the folder and
the volume are kept in a settings file beside player.exe, so keep it in a
folder you may write to. Alt+C hides and shows the window, Alt+X plays the
next song, Alt+Z the previous one.

Built from this project's sources with MinGW-w64; no other files are needed.
TEXT
(cd "$build/package" && zip -q -r "$build/player-win32.zip" player)
echo "package: $build/player-win32.zip"
