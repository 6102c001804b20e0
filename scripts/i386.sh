#!/usr/bin/env bash
# How this machine runs 32-bit (i386) programs, the 32-bit Wine among them.
#   i386.sh route      prints "native", "qemu" or "none", and for "none" the
#                      reason on standard error; exit 0 unless "none"
#   i386.sh run CMD... runs CMD so that every i386 program it starts, Wine's
#                      own children included, goes through qemu's user-mode
#                      emulator: inside a user and mount namespace of its own
#                      with a private binfmt_misc, so nothing global changes;
#                      CMD sees PROJECT_I386_NAMESPACE=1
# A kernel without 32-bit emulation fails at once with "Exec format error";
# there qemu 10 or later can run the 32-bit Wine (older ones fail to map
# Wine's shared user data). PROJECT_I386=native|qemu|none forces a route, so
# the emulated one can be tried where native execution works.
set -u
loader=/usr/lib/wine/wine
qemu=${PROJECT_QEMU_I386:-/usr/bin/qemu-i386}

# The i386 ELF magic and mask, as qemu registers them; flag F opens the
# emulator once, so it is found from any mount namespace and root.
binfmt=':project-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'

run_emulated() {
  exec unshare --user --map-root-user --mount bash -c '
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc 2>/dev/null &&
      printf "%s" "$1" >/proc/sys/fs/binfmt_misc/register ||
      { echo "i386: no private binfmt_misc in a user namespace here" >&2; exit 126; }
    shift
    PROJECT_I386_NAMESPACE=1 exec "$@"' i386 "$binfmt$qemu:F" "$@"
}

runs_natively() {
  [ -x "$loader" ] && "$loader" --version >/dev/null 2>&1
}

# qemu-i386 of version 10 or later that runs the 32-bit Wine in the namespace.
emulates() {
  [ -x "$qemu" ] || { why="no $qemu (qemu-user 10 or later)"; return 1; }
  local major
  major=$("$qemu" --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\).*/\1/p')
  if [ "${major:-0}" -lt 10 ]; then
    why="$qemu is version ${major:-unknown}; the 32-bit Wine needs 10 or later"
    return 1
  fi
  [ -x "$loader" ] || { why="no 32-bit Wine ($loader)"; return 1; }
  (bash "${BASH_SOURCE[0]}" run "$loader" --version) >/dev/null 2>&1 && return 0
  why="the 32-bit Wine does not run through $qemu in a user namespace"
  return 1
}

route() {
  why=""
  case ${PROJECT_I386:-} in
    native)
      runs_natively && { echo native; return 0; }
      why="PROJECT_I386=native, but $loader does not run here"
      ;;
    qemu)
      emulates && { echo qemu; return 0; }
      ;;
    none) why="PROJECT_I386=none" ;;
    "")
      runs_natively && { echo native; return 0; }
      emulates && { echo qemu; return 0; }
      [ -x "$loader" ] && why="this kernel runs no 32-bit programs and $why"
      ;;
    *) why="PROJECT_I386 is '$PROJECT_I386', not native, qemu or none" ;;
  esac
  echo none
  echo "i386: no 32-bit programs run here: $why" >&2
  return 1
}

case ${1:-} in
  route) route ;;
  run)
    shift
    run_emulated "$@"
    ;;
  *)
    echo "usage: i386.sh route | i386.sh run COMMAND..." >&2
    exit 2
    ;;
esac
