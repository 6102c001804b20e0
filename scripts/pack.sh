#!/usr/bin/env bash
# Packs a built 32-bit player.exe for Windows: ZIP holds the folder "player"
# with player.exe (pictures and icon inside) and a short read-me. With
# UNPACK_DIR the zip is then unpacked there afresh, as a user would, for the
# test run that starts the unpacked program.
#   pack.sh PLAYER_EXE ZIP [UNPACK_DIR]
set -euo pipefail
exe=$(realpath "${1:?usage: pack.sh PLAYER_EXE ZIP [UNPACK_DIR]}")
zip=$(realpath -m "${2:?usage: pack.sh PLAYER_EXE ZIP [UNPACK_DIR]}")
unpack=${3:-}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/player" "$(dirname "$zip")"
cp "$exe" "$work/player/player.exe"
# Windows' Notepad reads CRLF line ends; the text stays ASCII on purpose.
sed 's/$/\r/' >"$work/player/README.txt" <<'TEXT'
MP3 player for Windows (XP, 7 and later), 32-bit.

Run player.exe. Use the menu to choose a folder of MP3 files; the folder and
the volume are kept in a settings file beside player.exe, so keep it in a
folder you may write to. Alt+C hides and shows the window, Alt+X plays the
next song, Alt+Z the previous one.

Built from this project's sources with MinGW-w64; no other files are needed.
TEXT
rm -f "$zip"
(cd "$work" && zip -q -r "$zip" player)
if [ -n "$unpack" ]; then
  rm -rf "$unpack"
  mkdir -p "$unpack"
  unzip -q "$zip" -d "$unpack"
fi
echo "pack: $zip"
