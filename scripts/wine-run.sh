#!/usr/bin/env bash
# Runs a Windows program under the 64-bit Wine loader with the project's test
# environment: a project-local prefix, code page 936, no sound card (ALSA null
# device) and an X display (a private Xvfb when none is given).
set -u
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/../build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LANG=zh_CN.UTF-8
export ALSA_CONFIG_PATH=$here/alsa-null.conf
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" /usr/lib/wine/wine64 "$@"
fi
exec /usr/lib/wine/wine64 "$@"
