#!/usr/bin/env bash
# Checks the player as a user sees it, in a real X window under Xvfb: the
# setup dialog answered with Enter, then screenshots that must change colour
# as the music passes the scene bounds, then Esc, which must end it with 0.
# On a screen of another size the show must still come up full screen with
# no question, its 1920 x 1080 picture scaled across the screen's width.
# Usage: tests/app/window_check.sh BUILD_DIR [SCREEN]   (CTest runs it;
# SCREEN: WIDTHxHEIGHT, 1920x1080 by default)
set -euo pipefail
build="$(cd "${1:-build/default}" && pwd)"
screen=${2:-1920x1080}
shots="$build/window-check-$screen"
rm -rf "$shots" && mkdir -p "$shots"

if [ -z "${WINDOW_CHECK_INNER:-}" ]; then
  export WINDOW_CHECK_INNER=1
  exec timeout 180 xvfb-run -a -s "-screen 0 ${screen}x24" "$0" "$build" "$screen"
fi

fail() {
  echo "window-check: $*" >&2
  echo "window-check: screenshots kept in $shots" >&2
  exit 1
}
shot() { xwd -root -silent | convert xwd:- "$shots/$1.png"; }
# Percentage of the screenshot in exactly this colour.
share() { convert "$shots/$1.png" -fill black +opaque "rgb($2)" -fill white -opaque "rgb($2)" -format "%[fx:int(100*mean)]" info:; }
mean() { convert "$shots/$1.png" -format "%[fx:int(255*mean.r)],%[fx:int(255*mean.g)],%[fx:int(255*mean.b)]" info:; }

cd "$build"
SDL_AUDIODRIVER=dummy ./stormglass > "$shots/player.log" 2>&1 &
player=$!

# The dialog is the only window: wait for it, then press Enter over it (with
# no window manager, focus follows the pointer).
# Listed before it is mapped: wait until it can take the key.
for _ in $(seq 50); do
  line=$(xwininfo -root -tree 2>/dev/null | grep '"Stormglass by Velkaro"' | head -1 || true)
  id=$(awk '{print $1}' <<< "$line")
  if [ -n "$id" ] && xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable'; then
    geometry=$(grep -o '[0-9]*x[0-9]*+[0-9]*+[0-9]*' <<< "$line" | head -1)
    break
  fi
  geometry=
  sleep 0.2
done
[ -n "$geometry" ] || { shot no-dialog; fail "the setup dialog did not appear"; }
IFS='x+' read -r width height left top <<< "$geometry"
shot dialog
xdotool mousemove $((left + width / 2)) $((top + height / 2)) key Return
start=$(date +%s.%N)

at() { sleep "$(echo "$1 - ($(date +%s.%N) - $start)" | bc)"; }
at 5;  shot scene1
at 15; shot scene2
at 25; shot scene3
xwininfo -root -tree | grep -q '"Vexa GL"' && fail "the full-screen question came on a $screen screen"
xdotool key Escape
for _ in $(seq 50); do kill -0 "$player" 2>/dev/null || break; sleep 0.2; done
kill -0 "$player" 2>/dev/null && { kill "$player"; fail "Esc did not end the player"; }
wait "$player" && code=0 || code=$?
[ "$code" -eq 0 ] || fail "the player ended with $code after Esc"

background=$(share scene1 0,0,10)
[ "$background" -ge 20 ] || fail "scene 1 at 5 s shows only $background% of its (0, 0, 10) background"
IFS=, read -r r g b <<< "$(mean scene2)"
[ "$r" -gt 100 ] && [ "$r" -gt $((2 * g)) ] || fail "scene 2 at 15 s is not the red title card (mean $r,$g,$b)"
magenta=$(share scene3 255,0,221)
[ "$magenta" -ge 20 ] || fail "scene 3 at 25 s shows only $magenta% magenta background"
# Scene 3 (magenta, and cubes) reaches both sides of the screen over the
# picture's height, 16:9 and centred: no corner of a bigger picture, and
# black bars above and below it on a taller screen.
IFS=x read -r screen_width screen_height <<< "$screen"
picture_height=$(( (screen_width * 1080 + 960) / 1920 ))
[ "$picture_height" -le "$screen_height" ] || picture_height=$screen_height
bar=$(( (screen_height - picture_height) / 2 ))
black_share() {  # black_share WIDTHxHEIGHT+X+Y: percentage of black pixels there
  convert "$shots/scene3.png" -crop "$1" +repage -fx '(r+g+b)<0.03' -format '%[fx:int(100*mean)]' info:
}
for x in 1 $((screen_width - 2)); do
  black=$(black_share "1x$picture_height+$x+$bar")
  [ "$black" -le 5 ] || fail "scene 3's column x = $x on a $screen screen is $black% black"
done
if [ "$bar" -gt 1 ]; then
  for y in 0 $((screen_height - 1)); do
    [ "$(black_share "${screen_width}x1+0+$y")" -eq 100 ] || fail "no black bar at row $y on a $screen screen"
  done
fi
[ "$(xdpyinfo | sed -n 's/ *dimensions: *\([0-9x]*\) .*/\1/p')" = "$screen" ] || fail "the screen is no longer $screen after Esc"
echo "window-check: dialog, scenes 1-3 and Esc as expected (screenshots in $shots)"
