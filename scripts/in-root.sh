#!/usr/bin/env bash
# Runs a command inside a Debian root of our own (made by mmdebstrap), as
# root, with /proc, /sys, /dev, /dev/pts and a fresh /dev/shm mounted in it
# and each --bind folder at its own path. The mounts live in a private mount
# namespace: the host never sees them, and they end with the run however it
# ends. Whatever the command leaves running in the root (X servers, a Wine
# server) is stopped before the mounts go, so the next run finds a quiet root.
#
# Usage: scripts/in-root.sh ROOT [--bind DIR]... [--cwd DIR] [--env NAME=VALUE]... -- COMMAND...
# The command starts in a clean environment (HOME=/root, a standard PATH,
# LANG=C.UTF-8) plus the --env settings, in the --cwd folder (by default the
# first bound folder, or /).
# Exit code: the command's, or 128 + the signal that stopped the run.
set -euo pipefail

if [ "${1:-}" != --inside ]; then
  [ "$(id -u)" -eq 0 ] || { echo "in-root: run as root" >&2; exit 1; }
  exec unshare --mount --propagation private bash "$0" --inside "$@"
fi
shift

root=$(realpath "${1:?usage: in-root.sh ROOT [--bind DIR]... [--cwd DIR] [--env NAME=VALUE]... -- COMMAND...}")
shift
binds=() settings=() cwd=
while [ $# -gt 0 ] && [ "$1" != -- ]; do
  case $1 in
    --bind) binds+=("$(realpath "$2")"); shift 2 ;;
    --cwd) cwd=$2; shift 2 ;;
    --env) settings+=("$2"); shift 2 ;;
    *) echo "in-root: unknown option $1" >&2; exit 2 ;;
  esac
done
[ "${1:-}" = -- ] && [ $# -gt 1 ] || { echo "in-root: no command after --" >&2; exit 2; }
shift
[ -d "$root/etc" ] || { echo "in-root: $root is not a Debian root" >&2; exit 1; }

# The processes whose root is this one: all the command started.
processes_in_root() {
  local proc
  for proc in /proc/[0-9]*; do
    [ "$(readlink "$proc/root" 2> /dev/null)" = "$root" ] && echo "${proc#/proc/}"
  done
  return 0
}

stop_processes() {
  local left
  left=$(processes_in_root)
  [ -n "$left" ] || return 0
  # shellcheck disable=SC2086  # a list of process ids
  kill -TERM $left 2> /dev/null || true
  for _ in $(seq 50); do
    left=$(processes_in_root)
    [ -n "$left" ] || return 0
    sleep 0.1
  done
  # shellcheck disable=SC2086
  kill -KILL $left 2> /dev/null || true
  sleep 0.2
}

mounted=()
mount_in_root() {  # mount_in_root TARGET MOUNT-ARGS...
  local target=$root$1
  shift
  mkdir -p "$target"
  mount "$@" "$target"
  mounted=("$target" "${mounted[@]}")
}

unmount_all() {
  local target
  for target in "${mounted[@]}"; do
    umount -R "$target" 2> /dev/null || umount -R --lazy "$target" 2> /dev/null || true
  done
  mounted=()
}

finish() {
  local code=$1
  trap - EXIT INT TERM HUP
  stop_processes
  unmount_all
  exit "$code"
}
trap 'finish $?' EXIT
trap 'finish 130' INT
trap 'finish 143' TERM
trap 'finish 129' HUP

mount_in_root /proc -t proc proc
mount_in_root /sys --rbind /sys
mount_in_root /dev --bind /dev
mount_in_root /dev/pts --bind /dev/pts
mount_in_root /dev/shm -t tmpfs -o mode=1777 tmpfs
for dir in "${binds[@]}"; do
  mount_in_root "$dir" --bind "$dir"
done
# Name resolution as the host has it, for apt inside.
cp -L /etc/resolv.conf "$root/etc/resolv.conf" 2> /dev/null || true

[ -n "$cwd" ] || cwd=${binds[0]:-/}
# In the background, so that a signal reaches the traps at once; stdin kept.
exec 3<&0
chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "${settings[@]}" \
  sh -c 'cd "$1" && shift && exec "$@"' sh "$cwd" "$@" <&3 &
code=0
wait $! || code=$?
finish "$code"
