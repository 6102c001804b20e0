#!/usr/bin/env bash
# Installs every Debian package the project needs to build and test. Idempotent:
# when every package is already installed it only checks and returns.
set -euo pipefail

packages=(
  cmake ninja-build make pkg-config git ca-certificates dpkg-dev
  g++ clang libclang-rt-14-dev clang-format
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64
  libz-mingw-w64-dev nasm
  googletest libbenchmark-dev libgif-dev libpng-dev libjpeg62-turbo-dev zlib1g-dev
  wine64 xvfb xauth xdotool x11-utils imagemagick fonts-wqy-microhei time
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-ugly
  gstreamer1.0-libav lame sox libsox-fmt-mp3
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Debian's source packages of libjpeg-turbo and libpng are fetched by
# scripts/deps.sh; apt needs a deb-src entry for the same archive.
src_list=/etc/apt/sources.list.d/project-deb-src.sources
if [ ! -f "$src_list" ]; then
  cat >"$src_list" <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  apt-get update -qq
fi
echo "setup: all packages present"
