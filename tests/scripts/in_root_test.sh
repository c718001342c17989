#!/usr/bin/env bash
# in-root.sh on a small root that borrows the host's /usr: the command's exit
# code and clean environment, and above all that nothing outlives a run (no
# mount, no process left in the root), however it ends. A mount left behind
# would let the next `rm -rf` of a root reach into the folders bound in it.
# Usage: in_root_test.sh PATH/TO/in-root.sh
set -uo pipefail
in_root=$1
[ "$(id -u)" -eq 0 ] && unshare --mount --propagation private true 2> /dev/null ||
  { echo "needs root and a private mount namespace (not to be had inside a chroot): skipped"; exit 77; }

root=$(mktemp -d)
bound=$(mktemp -d)
trap 'rm -rf "$root" "$bound"' EXIT
mkdir -p "$root/etc"
for dir in bin lib lib64 sbin; do ln -s "usr/$dir" "$root/$dir"; done
touch "$bound/keep"
failures=0
check() {  # check WHAT CONDITION...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}
run() { bash "$in_root" "$root" --bind /usr --bind "$bound" "$@"; }
left_in_root() {
  local proc
  for proc in /proc/[0-9]*; do
    [ "$(readlink "$proc/root" 2> /dev/null)" = "$root" ] && return 0
  done
  return 1
}
mounts_under_root() { grep -q " $root[/ ]" /proc/self/mountinfo; }
nothing_left() { ! left_in_root && ! mounts_under_root && [ -f "$bound/keep" ]; }

code=0
LEAK=1 run --env SETTING=on -- sh -c \
  'test -r /proc/self/status && test -d /dev/shm && [ "$SETTING" = on ] && [ -z "${LEAK:-}" ] && [ "$PWD" = /usr ] && exit 7' || code=$?
check "the command's exit code, /proc and /dev/shm mounted, a clean environment, the first bound folder" [ "$code" = 7 ]

run -- sh -c 'setsid sleep 300 > /dev/null 2>&1 & true'
check "a process the command left in the root is stopped; no mount is left" nothing_left

bash "$in_root" "$root" --bind /usr --cwd / -- sh -c 'setsid sleep 300 > /dev/null 2>&1 & exec sleep 300' &
pid=$!
sleep 1
kill -TERM "$pid"
code=0
wait "$pid" || code=$?
check "SIGTERM ends the run with 143" [ "$code" = 143 ]
check "after SIGTERM no process or mount is left" nothing_left

code=0
bash "$in_root" "$bound" -- true 2> /dev/null || code=$?
check "a folder that is no root is refused" [ "$code" != 0 ]

[ "$failures" = 0 ]
