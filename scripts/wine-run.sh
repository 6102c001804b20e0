#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's test environment: a
# project-local prefix, code page 936, no sound card (ALSA null device) and an
# X display (a private Xvfb when none is given).
# The loader follows the program's PE machine: the 32-bit one for i386
# images, the 64-bit one for everything else (wineboot, reg, x86_64 images).
# How 32-bit programs run is scripts/i386.sh's route (PROJECT_I386_ROUTE
# when the caller found it already): natively; through qemu, where every
# Wine process runs in the emulator's namespace, since a 64-bit one may start
# 32-bit ones (in the caller's, when it runs in one already); or not at all,
# where an i386 program is not run and the exit code is 77, which ctest
# reports as skipped.
# Programs run for the 32-bit tests (PROJECT_TEST_ARCH=i686) take the display
# DISPLAY_WINE32 when one is given, so the two test sets never share a screen.
set -u
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/../build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LANG=zh_CN.UTF-8
export ALSA_CONFIG_PATH=$here/alsa-null.conf
if [ "${PROJECT_TEST_ARCH:-}" = i686 ] && [ -n "${DISPLAY_WINE32:-}" ]; then
  export DISPLAY=$DISPLAY_WINE32
fi

# pe_machine FILE: i386 or x86_64 for a PE image, nothing for anything else.
pe_machine() {
  [ -f "$1" ] || return 0
  local offset machine
  offset=$(od -An -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$offset" ] || return 0
  machine=$(od -An -t x2 -j $((offset + 4)) -N 2 "$1" 2>/dev/null | tr -d ' ')
  case $machine in
    014c) echo i386 ;;
    8664) echo x86_64 ;;
  esac
}

loader=/usr/lib/wine/wine64
[ "$(pe_machine "${1:-}")" = i386 ] && loader=/usr/lib/wine/wine
route=${PROJECT_I386_ROUTE:-}
[ -n "$route" ] || route=$(bash "$here/i386.sh" route 2>/dev/null)
command=("$loader" "$@")
case $route in
  qemu)
    if [ -z "${PROJECT_I386_NAMESPACE:-}" ]; then
      command=(bash "$here/i386.sh" run "${command[@]}")
    fi
    ;;
  native) ;;
  *)
    if [ "$loader" = /usr/lib/wine/wine ]; then
      bash "$here/i386.sh" route >/dev/null
      echo "wine-run: ${1:-} is a 32-bit program and is not run" >&2
      exit 77
    fi
    ;;
esac
if [ -z "${DISPLAY:-}" ]; then
  command=(xvfb-run -a -s "-screen 0 1280x1024x24" "${command[@]}")
fi
[ "${PROJECT_WINE_OUTPUT:-}" = file ] || exec "${command[@]}"
# Wine's own services (services.exe, rpcss, explorer and the like), when this
# program is the one that starts them, inherit its output and outlive it: a
# caller reading that output to its end (ctest) would wait for them. Asked
# for it (the tests are), the program writes into a file, which is passed on
# once it has ended.
output=$(mktemp)
status=0
"${command[@]}" >"$output" 2>&1 </dev/null || status=$?
cat "$output"
rm -f "$output"
exit "$status"
