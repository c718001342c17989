#!/usr/bin/env bash
# The Wine scenarios' shared fixture. setup: two virtual screens of our own
# (1920 x 1080, and 1280 x 1024 for the full-screen question), a fresh 32-bit
# prefix and a Wine server kept up between runs; their state in
# WORK/state.sh. cleanup: stops them.
# Usage: wine_fixture.sh setup|cleanup WORK DIST
set -euo pipefail
action=$1 work=$2 dist=$3

stop_all() {
  [ -f "$work/state.sh" ] || return 0
  # shellcheck disable=SC1091
  source "$work/state.sh"
  WINEPREFIX=$work/prefix wineserver -k > /dev/null 2>&1 || true
  kill $WINE_XVFB_PIDS 2> /dev/null || true
  rm -f "$work/state.sh"
}

# start_display SIZE: a new screen; Xvfb picks a free display number and
# writes it to fd 3. Detached, so that it outlives this script.
start_display() {
  local number_file=$work/logs/display-$1 number=
  setsid Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3> "$number_file" < /dev/null \
    > "$work/logs/xvfb-$1.log" 2>&1 &
  echo "$!" >> "$work/logs/xvfb.pids"
  for _ in $(seq 100); do
    number=$(tr -dc 0-9 < "$number_file")
    [ -n "$number" ] && DISPLAY=":$number" xdotool getdisplaygeometry > /dev/null 2>&1 && break
    number=
    sleep 0.1
  done
  [ -n "$number" ] || { echo "wine_fixture: could not start Xvfb ($1)" >&2; exit 1; }
  echo ":$number"
}

case $action in
  cleanup)
    stop_all
    exit 0
    ;;
  setup) ;;
  *) echo "usage: wine_fixture.sh setup|cleanup WORK DIST" >&2; exit 2 ;;
esac

for tool in wine wineboot wineserver Xvfb xdotool xwd convert lame mpg123 sox; do
  command -v "$tool" > /dev/null || { echo "wine_fixture: $tool is not installed (scripts/install-deps.sh windows)" >&2; exit 1; }
done
[ -f "$dist/stormglass.exe" ] || { echo "wine_fixture: no stormglass.exe in $dist: run scripts/windows-build.sh" >&2; exit 1; }
stop_all
rm -rf "$work"
mkdir -p "$work/logs" "$work/shots" "$work/audio"
unset WINEPREFIX
large=$(start_display 1920x1080)
small=$(start_display 1280x1024)
cat > "$work/state.sh" <<STATE
WINE_DISPLAY_LARGE=$large
WINE_DISPLAY_SMALL=$small
WINE_XVFB_PIDS="$(tr '\n' ' ' < "$work/logs/xvfb.pids")"
STATE
export DISPLAY=$large WINEPREFIX=$work/prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineserver -p 600 > /dev/null 2>&1 < /dev/null || true
timeout 180 wineboot -i > "$work/logs/wineboot.log" 2>&1 < /dev/null || { cat "$work/logs/wineboot.log"; exit 1; }
echo "wine_fixture: displays $large and $small, prefix $WINEPREFIX"
