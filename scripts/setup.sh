#!/usr/bin/env bash
# Makes this Debian machine ready to build and test the project: installs the
# packages, gives apt the source entries scripts/deps.sh fetches from, and
# generates the zh_CN.UTF-8 locale (Wine runs with code page 936 only when
# glibc has it), and makes 32-bit Windows programs run: the i386 Wine and the
# i386 GStreamer plugins its MP3 playback needs, and, where this kernel runs
# no 32-bit programs (or PROJECT_I386=qemu asks for it), qemu's user-mode
# emulator from the release's backports suite (scripts/i386.sh). Idempotent:
# each step only checks when its work is done.
set -euo pipefail

packages=(
  cmake ninja-build make pkg-config git ca-certificates dpkg-dev locales
  g++ clang libclang-rt-14-dev clang-format
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64
  libz-mingw-w64-dev nasm
  googletest libbenchmark-dev libgif-dev libpng-dev libjpeg62-turbo-dev zlib1g-dev
  wine64 xvfb xauth xdotool x11-utils imagemagick fonts-wqy-microhei time
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-ugly
  gstreamer1.0-libav lame sox libsox-fmt-mp3 zip unzip
)
i386_packages=(
  wine32:i386 gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386
  gstreamer1.0-plugins-ugly:i386 gstreamer1.0-libav:i386
)
src_list=/etc/apt/sources.list.d/project-deb-src.sources
backports_list=/etc/apt/sources.list.d/project-backports.sources
here=$(dirname "${BASH_SOURCE[0]}")

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

# install_packages [apt-get options --] PACKAGE...: installs those missing.
install_packages() {
  local options=() missing=() p
  if [[ " $* " == *" -- "* ]]; then
    while [ "$1" != -- ]; do options+=("$1") && shift; done
    shift
  fi
  for p in "$@"; do installed "$p" || missing+=("$p"); done
  [ ${#missing[@]} -eq 0 ] && return
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${options[@]}" "${missing[@]}" >/dev/null
}

add_i386_architecture() {
  dpkg --print-foreign-architectures | grep -qx i386 && return
  echo "setup: adding the i386 architecture"
  dpkg --add-architecture i386
}

# Prints deb822 deb-src stanzas twinning the machine's own deb entries of this
# release (suites named after its codename, e.g. bookworm, bookworm-updates):
# same URIs, suites, components and Signed-By. Reads both the one-line and the
# deb822 formats; suites that already have a deb-src entry are left out.
source_twins() {
  local codename files
  codename=$( (. /etc/os-release && echo "${VERSION_CODENAME:-}") || true)
  files=$(apt_source_files)
  [ -n "$files" ] || return 0
  # shellcheck disable=SC2086
  awk -v codename="$codename" -f "$here/source-twins.awk" $files
}

# The machine's own apt source files, without the ones this script writes.
apt_source_files() {
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
    /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && [ "$f" != "$src_list" ] && [ "$f" != "$backports_list" ] && echo "$f"
  done
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

# The backports suite of each release archive, beside the machine's own
# entries (same URIs and keys); apt takes nothing from it unless asked.
write_backports_entry() {
  local codename entries
  codename=$( (. /etc/os-release && echo "${VERSION_CODENAME:-}") || true)
  [ -n "$codename" ] || return 0
  entries=$(awk -v codename="$codename" -v want=backports -f "$here/source-twins.awk" \
    $(apt_source_files) /dev/null)
  [ -n "$entries" ] || return 0
  entries="# Written by the project's setup.sh: the release's backports suite, for qemu-user.
$entries"
  [ -f "$backports_list" ] && [ "$(cat "$backports_list")" = "$entries" ] && return
  echo "setup: writing $backports_list"
  printf '%s\n' "$entries" >"$backports_list"
  apt-get update -qq
}

# 32-bit programs: natively where the kernel runs them, else through qemu.
make_i386_run() {
  local route
  route=$(bash "$here/i386.sh" route 2>/dev/null) || true
  [ "$route" = native ] && [ "${PROJECT_I386:-}" != qemu ] && return
  [ "$route" = qemu ] && return
  case ${PROJECT_I386:-} in native | none) return ;; esac
  write_backports_entry
  local codename
  codename=$( (. /etc/os-release && echo "${VERSION_CODENAME:-}") || true)
  install_packages -t "$codename-backports" -- qemu-user
  bash "$here/i386.sh" route >/dev/null || true
}

generate_locale() {
  locale -a 2>/dev/null | grep -qix 'zh_CN.utf-\?8' && return
  echo "setup: generating the locale zh_CN.UTF-8"
  touch /etc/locale.gen
  sed -i 's/^#[[:space:]]*\(zh_CN\.UTF-8 UTF-8\)[[:space:]]*$/\1/' /etc/locale.gen
  grep -qx 'zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen >/dev/null
}

add_i386_architecture
install_packages "${packages[@]}" "${i386_packages[@]}"
write_source_twins
generate_locale
make_i386_run
echo "setup: packages, deb-src entries and the zh_CN.UTF-8 locale present;" \
  "32-bit programs run: $(bash "$here/i386.sh" route 2>&1 | tr '\n' ' ')"
