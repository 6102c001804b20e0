#!/usr/bin/env bash
# Makes this Debian machine ready to build and test the project: installs the
# packages, gives apt the source entries scripts/deps.sh fetches from, and
# generates the zh_CN.UTF-8 locale (Wine runs with code page 936 only when
# glibc has it). Idempotent: each step only checks when its work is done.
set -euo pipefail

packages=(
  cmake ninja-build make pkg-config git ca-certificates dpkg-dev locales
  g++ clang libclang-rt-14-dev clang-format
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64
  libz-mingw-w64-dev nasm
  googletest libbenchmark-dev libgif-dev libpng-dev libjpeg62-turbo-dev zlib1g-dev
  wine64 xvfb xauth xdotool x11-utils imagemagick fonts-wqy-microhei time
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-ugly
  gstreamer1.0-libav lame sox libsox-fmt-mp3 zip
)
src_list=/etc/apt/sources.list.d/project-deb-src.sources

install_packages() {
  local missing=() p
  for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Prints deb822 deb-src stanzas twinning the machine's own deb entries of this
# release (suites named after its codename, e.g. bookworm, bookworm-updates):
# same URIs, suites, components and Signed-By. Reads both the one-line and the
# deb822 formats; suites that already have a deb-src entry are left out.
source_twins() {
  local codename files=()
  codename=$( (. /etc/os-release && echo "${VERSION_CODENAME:-}") || true)
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
    /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && [ "$f" != "$src_list" ] && files+=("$f")
  done
  [ ${#files[@]} -eq 0 ] && return
  awk -v codename="$codename" -f "$(dirname "${BASH_SOURCE[0]}")/source-twins.awk" "${files[@]}"
}

write_source_twins() {
  local twins
  twins=$(source_twins)
  if [ -z "$twins" ]; then
    [ -f "$src_list" ] || return 0
    echo "setup: the machine's own entries cover deb-src; removing $src_list"
    rm -f "$src_list"
  else
    twins="# Written by the project's setup.sh: deb-src twins of this machine's deb entries.
$twins"
    [ -f "$src_list" ] && [ "$(cat "$src_list")" = "$twins" ] && return
    echo "setup: writing $src_list"
    printf '%s\n' "$twins" >"$src_list"
  fi
  apt-get update -qq
}

generate_locale() {
  locale -a 2>/dev/null | grep -qix 'zh_CN.utf-\?8' && return
  echo "setup: generating the locale zh_CN.UTF-8"
  touch /etc/locale.gen
  sed -i 's/^#[[:space:]]*\(zh_CN\.UTF-8 UTF-8\)[[:space:]]*$/\1/' /etc/locale.gen
  grep -qx 'zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen >/dev/null
}

install_packages
write_source_twins
generate_locale
echo "setup: packages, deb-src entries and the zh_CN.UTF-8 locale present"
