# Shared by run.sh and test.sh: paths, dependencies and configuring a build.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
build=$(realpath -m "${BUILD_DIR:-$root/build}")
deps=$(realpath -m "${DEPS_CACHE:-$build/deps}")
mkdir -p "$build"

prepare() {
  bash scripts/setup.sh
  bash scripts/deps.sh "$deps"
}

# configure NAME [cmake options...]: configures build/NAME, shows the
# dependency versions, and the whole log only when configuring fails.
configure() {
  local dir=$1
  shift
  if ! cmake -S . -B "$build/$dir" -G Ninja -Wno-dev -DBUILD_TESTING=ON "$@" \
    >"$build/$dir.configure.log" 2>&1; then
    cat "$build/$dir.configure.log"
    exit 1
  fi
  grep -h 'Dependencies:' "$build/$dir.configure.log" | sed "s/^-- /$dir: /"
}

configure_win64() {
  configure win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
    -DDEPS_PREFIX="$deps/x86_64-w64-mingw32" -DCMAKE_BUILD_TYPE=RelWithDebInfo
}

# The product: the i686 build, as shipped (no debug information).
configure_win32() {
  configure win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
    -DDEPS_PREFIX="$deps/i686-w64-mingw32" -DCMAKE_BUILD_TYPE=Release
}

# start_xvfb [VAR]: gives VAR (default DISPLAY) a private Xvfb when it is
# unset; stop_xvfb ends every display started so.
xvfb_pids=()
start_xvfb() {
  local var=${1:-DISPLAY} file
  [ -n "${!var:-}" ] && return
  file="$build/xvfb.$var"
  rm -f "$file"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$file" 2>/dev/null &
  xvfb_pids+=($!)
  for _ in $(seq 100); do [ -s "$file" ] && break; sleep 0.1; done
  export "$var=:$(head -n 1 "$file")"
}
stop_xvfb() {
  local pid
  for pid in "${xvfb_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
}

# find_i386_route: finds out once how this machine runs 32-bit programs
# (native, qemu or none, see scripts/i386.sh) and keeps it in
# PROJECT_I386_ROUTE, which scripts/wine-run.sh reads.
find_i386_route() {
  if [ -z "${PROJECT_I386_ROUTE:-}" ]; then
    PROJECT_I386_ROUTE=$(bash scripts/i386.sh route) || true
    export PROJECT_I386_ROUTE
  fi
}

# prepare_wine_prefix [Y|N]: creates the Wine prefix named by WINEPREFIX when
# it is new; Y or N sets whether a window manager manages Wine's windows. A
# display without one wants N: Wine then does not wait two seconds for every
# managed window it unmaps.
prepare_wine_prefix() {
  fetch_marlett_font
  scripts/wine-run.sh wineboot --init >/dev/null 2>&1
  add_marlett_font
  [ $# -eq 0 ] && return
  scripts/wine-run.sh reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d "$1" /f \
    >/dev/null 2>&1
}

# fetch_marlett_font, add_marlett_font: Wine draws caption buttons and
# scroll-bar arrows with the Marlett font, and without it shows letters there.
# Debian ships it in fonts-wine; only Marlett goes into the prefix, since the
# package's other fonts (Tahoma among them) would change the fonts the Chinese
# captions and the tests' pixels are drawn with. It is fetched once through
# the machine's apt sources into the dependency cache, before any Wine program
# runs: apt-get run beside a new prefix's services left them unable to start
# RpcSs, which then cost every program that opens a window ten seconds.
fetch_marlett_font() {
  local cached="$deps/fonts/marlett.ttf" tmp
  [ -f "$cached" ] && return
  tmp=$(mktemp -d)
  if (cd "$tmp" && apt-get download fonts-wine && dpkg-deb -x fonts-wine_*.deb x) \
    >/dev/null 2>&1; then
    mkdir -p "$(dirname "$cached")"
    cp "$tmp/x/usr/share/wine/fonts/marlett.ttf" "$cached"
  fi
  rm -rf "$tmp"
}
add_marlett_font() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts" cached="$deps/fonts/marlett.ttf"
  [ -f "$fonts/marlett.ttf" ] && return
  if [ -f "$cached" ]; then
    mkdir -p "$fonts" && cp "$cached" "$fonts/"
  else
    echo "wine: no Marlett font could be fetched; caption buttons show letters" >&2
  fi
}

# wine_session [BUILD]: the Windows programs of BUILD (win64 unless named)
# run from here on under that build's Wine prefix on an X display (a private
# Xvfb when none is given), unmanaged; the display and Wine's server end
# with the script.
wine_session() {
  export WINEPREFIX="$build/${1:-win64}/wineprefix"
  trap '/usr/lib/wine/wineserver -k >/dev/null 2>&1 || true; stop_xvfb' EXIT
  start_xvfb
  prepare_wine_prefix N
}

# player_build: the build whose player the benchmarks measure, the i686 one
# users get wherever 32-bit programs run, else the x86_64 one.
player_build() {
  find_i386_route
  if [ "$PROJECT_I386_ROUTE" = none ]; then echo win64; else echo win32; fi
}
