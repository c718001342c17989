#!/usr/bin/env bash
# Runs the Windows build under Wine on a virtual display and checks it the
# way a viewer would see it, driving it with xdotool by screen position:
#
#  1. the MP3 decoder through Wine's MPEG Layer-3 codec, against the mpg123
#     program's decoding of the same files (length, alignment, samples);
#  2. the show: GO! in the setup dialog, the scenes in their order and at
#     their times (the timeline follows the music, which plays in real time
#     on the silent output since Wine has no sound card here), F2 bringing
#     scene 2 back, F4 then scene 5, Esc ending with exit code 0;
#  3. the show ending by itself at 74 seconds, with exit code 0;
#  4. EXIT in the dialog, and 5. Esc in the dialog: exit code 0, no window;
#  6. the show on the waveOut output, with ALSA's null device for a card;
#  7. on a screen without 1920 × 1080, Yes to the full-screen question: the
#     show in a window; 8. No: the error box, exit code 1, no window.
#
# Usage: scripts/wine-test.sh [DIST]
#   DIST: a folder with stormglass.exe and datas/ (as windows-build.sh makes);
#   without it the build runs first and its dist/ folder is used.
# Environment: STORMGLASS_WINDOWS_BUILD (default build/windows) holds the
# Wine prefix, the screenshots and logs under wine-test/; the decoder check
# uses acm_decode_check.exe from there (skipped when absent).
# Needs: wine (32-bit), Xvfb, xdotool, xwd, ImageMagick, lame, mpg123, sox.
set -euo pipefail
cd "$(dirname "$0")/.."
unset WINEPREFIX  # ours is made below
root=$PWD
win_build=${STORMGLASS_WINDOWS_BUILD:-build/windows}
case $win_build in /*) ;; *) win_build=$root/$win_build ;; esac

if [ $# -ge 1 ]; then
  dist=$(cd "$1" && pwd)
else
  bash scripts/windows-build.sh
  dist=$win_build/dist
fi
[ -f "$dist/stormglass.exe" ] || { echo "wine-test: no stormglass.exe in $dist" >&2; exit 1; }

for tool in wine wineboot wineserver Xvfb xdotool xwd convert lame mpg123 sox; do
  command -v "$tool" > /dev/null || { echo "wine-test: $tool is not installed" >&2; exit 1; }
done

# shellcheck source=../tests/wine/shot_check.sh
source "$root/tests/wine/shot_check.sh"

work=$win_build/wine-test
rm -rf "$work"
mkdir -p "$work/shots" "$work/logs" "$work/audio"
started=$(date +%s.%N)
failures=()

now() { awk -v s="$started" -v n="$(date +%s.%N)" 'BEGIN { printf "%.1f", n - s }'; }
minus() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", a - b }'; }
say() { echo "[$(now) s] $*"; }
fail() {
  say "FAIL: $*"
  failures+=("$*")
}

# ---- Displays of our own, and a fresh 32-bit prefix ----

xvfb_pids=()
cleanup() {
  # Only our own prefix's server, never one of the user's.
  [ -n "${WINEPREFIX:-}" ] && wineserver -k > /dev/null 2>&1 || true
  local p
  for p in "${xvfb_pids[@]}"; do kill "$p" 2> /dev/null || true; done
}
trap cleanup EXIT

# start_display WIDTHxHEIGHT: a new virtual screen of that size becomes
# DISPLAY; Xvfb picks a free display number itself and writes it to fd 3.
start_display() {
  local number_file=$work/logs/display-${#xvfb_pids[@]} number=
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3> "$number_file" > "$work/logs/xvfb-${#xvfb_pids[@]}.log" 2>&1 &
  xvfb_pids+=("$!")
  for _ in $(seq 100); do
    number=$(tr -dc 0-9 < "$number_file")
    [ -n "$number" ] && DISPLAY=":$number" xdotool getdisplaygeometry > /dev/null 2>&1 && break
    number=
    sleep 0.1
  done
  [ -n "$number" ] || { echo "wine-test: could not start Xvfb" >&2; exit 1; }
  export DISPLAY=":$number"
}
start_display 1920x1080

export WINEPREFIX=$work/prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# One server kept up for all runs, so that later starts take seconds.
start_server() { wineserver -p 600 > /dev/null 2>&1 || true; }

say "display $DISPLAY ($(xdotool getdisplaygeometry)); creating the Wine prefix"
start_server
timeout 180 wineboot -i > "$work/logs/wineboot.log" 2>&1 || { cat "$work/logs/wineboot.log"; fail "wineboot -i"; exit 1; }
say "prefix ready"

# ---- Helpers for the runs ----

shot() {  # shot NAME: a screenshot; prints its path
  local file=$work/shots/$1.png
  xwd -root -silent | convert xwd:- "$file"
  echo "$file"
}

find_window() {  # find_window NAME: the id of a visible window with exactly that title
  xdotool search --onlyvisible --name "^$1\$" 2> /dev/null | head -n 1
}

wait_window() {  # wait_window NAME SECONDS: prints the id once it shows
  local deadline=$((SECONDS + $2)) id
  while [ $SECONDS -lt $deadline ]; do
    id=$(find_window "$1")
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.25
  done
  return 1
}

running() { kill -0 "$1" 2> /dev/null; }

# error_box NAME: when one of the program's message boxes is up, keeps a
# picture of it (its own contents: under Wine the full-screen window may
# cover it on screen) as shots/NAME-box.png and says so.
error_box() {
  local title id
  for title in ERROR Error "SHUTDOWN ERROR"; do
    id=$(find_window "$title")
    [ -n "$id" ] || continue
    xwd -id "$id" -silent | convert xwd:- "$work/shots/$1-box.png"
    say "a message box \"$title\" is up: see shots/$1-box.png"
    return 0
  done
  return 1
}

# windows: the visible windows with a title, for the log.
windows() {
  local id
  for id in $(xdotool search --onlyvisible --name . 2> /dev/null); do
    echo "\"$(xdotool getwindowname "$id")\" $(xdotool getwindowgeometry "$id" | sed -n 's/.*Geometry: //p')"
  done | grep -v '"Default IME"' | tr '\n' ' '
}

# wait_exit PID SECONDS: sets exit_code (124 when it still runs) and
# saw_window (whether a show window was up meanwhile). Not in a subshell:
# only this shell can collect its child's exit code.
wait_exit() {
  local deadline=$((SECONDS + $2))
  saw_window=
  while running "$1" && [ $SECONDS -lt $deadline ]; do
    [ -n "$(find_window TVK)" ] && saw_window=1
    sleep 0.2
  done
  exit_code=124
  running "$1" && return
  exit_code=0
  wait "$1" || exit_code=$?
}

# exits_cleanly LABEL SECONDS WHEN: waits for the program; true when it
# ended with 0 within SECONDS, else a failure that says WHEN ("after Esc").
exits_cleanly() {
  local label=$1 seconds=$2 when=$3
  wait_exit "$pid" "$seconds"
  if [ "$exit_code" = 124 ]; then
    shot "$label-still-running" > /dev/null
    fail "$label: still running $seconds s $when"
  elif [ "$exit_code" != 0 ]; then
    fail "$label: exit code $exit_code $when"
  fi
  [ "$exit_code" = 0 ]
}

stop_program() {  # whatever is left of a run
  [ -n "${pid:-}" ] && running "$pid" && kill "$pid" 2> /dev/null
  wineserver -k > /dev/null 2>&1 || true
  wineserver -w > /dev/null 2>&1 || true
  start_server
  pid=
}

# start_program RUN: starts the exe in its folder and waits for the dialog,
# trying a second time if it does not come. Sets pid and dialog.
start_program() {
  local attempt
  for attempt in 1 2; do
    # shellcheck disable=SC2086  # program_env is a list of assignments
    (cd "$dist" && exec env ${program_env:-} wine stormglass.exe) > "$work/logs/$1.log" 2>&1 &
    pid=$!
    if dialog=$(wait_window "Stormglass by Velkaro" 60); then
      say "$1: dialog up (window $dialog)"
      return 0
    fi
    say "$1: no dialog after 60 s (attempt $attempt); windows: $(windows)"
    shot "$1-no-dialog-$attempt" > /dev/null
    stop_program
  done
  return 1
}

# The dialog's buttons, from its client rectangle: 151 × 151 dialog units,
# GO! at 17,129 and EXIT at 17,107, each 58 × 14.
button_point() {  # button_point go|exit: prints "X Y" on the screen
  local X Y WIDTH HEIGHT WINDOW SCREEN cy
  eval "$(xdotool getwindowgeometry --shell "$dialog")"
  if [ "$1" = go ]; then cy=136; else cy=114; fi
  echo "$((X + WIDTH * 46 / 151)) $((Y + HEIGHT * cy / 151))"
}

press_in_dialog() {  # press_in_dialog go|exit
  local point
  point=$(button_point "$1")
  say "clicking ${1^^} at $point"
  # shellcheck disable=SC2086
  xdotool mousemove $point click 1
}

# After GO!: answers the full-screen question with Yes should it come, then
# waits for the show's window. Sets window.
wait_show_window() {
  local deadline=$((SECONDS + 60)) box
  while [ $SECONDS -lt $deadline ]; do
    window=$(find_window TVK)
    [ -n "$window" ] && return 0
    box=$(find_window "Vexa GL")
    if [ -n "$box" ]; then
      say "the full-screen question came: answering Yes (windowed)"
      eval "$(xdotool getwindowgeometry --shell "$box")"
      xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) key Return
    fi
    if [ -n "$(find_window "Stormglass by Velkaro")" ] && [ $((deadline - SECONDS)) -lt 50 ] && [ -z "${retried_go:-}" ]; then
      # The click missed: the default button is GO!, so Return presses it.
      retried_go=1
      say "the dialog is still up: pressing Return in it"
      press_key_over "$dialog" Return
    fi
    sleep 0.25
  done
  error_box show-window || true
  say "no show window; windows: $(windows)"
  return 1
}

press_key_over() {  # press_key_over WINDOW KEY: keys go where the pointer is
  local X Y WIDTH HEIGHT WINDOW SCREEN
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) key "$2"
}

# wait_scene N SECONDS NAME: polls the screen until scene N shows and keeps
# that screenshot as shots/NAME.png. Sets seen_at, the time of the capture
# that showed it, and missed_at, the time of the last capture before it that
# did not (or of the start of the wait): the scene came in between.
wait_scene() {
  local scene=$1 deadline=$((SECONDS + $2)) name=$3 taken
  missed_at=$(now)
  seen_at=
  while [ $SECONDS -lt $deadline ]; do
    running "$pid" || { say "the program ended while waiting for scene $scene"; return 1; }
    error_box "$name" && return 1
    taken=$(now)
    xwd -root -silent > "$work/poll.xwd"
    convert "xwd:$work/poll.xwd" -sample 192x108 "$work/poll.png"
    if scene_matches "$scene" "$work/poll.png"; then
      convert "xwd:$work/poll.xwd" "$work/shots/$name.png"
      seen_at=$taken
      return 0
    fi
    missed_at=$taken
  done
  convert "xwd:$work/poll.xwd" "$work/shots/$name-not-seen.png"
  say "scene $scene not seen within $2 s; last screenshot: $(describe "$work/poll.png"); windows: $(windows)"
  return 1
}

# expect_duration NAME SECONDS START_MISSED START_SEEN END_MISSED END_SEEN:
# a scene that began between the two start captures and ended between the
# two end captures must have lasted SECONDS, within what a capture takes.
expect_duration() {
  local shortest longest
  shortest=$(awk -v a="$5" -v b="$4" 'BEGIN { printf "%.1f", a - b - 0.5 }')
  longest=$(awk -v a="$6" -v b="$3" 'BEGIN { printf "%.1f", a - b + 0.5 }')
  if awk -v d="$2" -v l="$shortest" -v h="$longest" 'BEGIN { exit !(d >= l && d <= h) }'; then
    say "show: $1 lasted between $shortest and $longest s (music: $2 s)"
  else
    fail "show: $1 lasted between $shortest and $longest s, not $2 s of music"
  fi
}

# ---- 1. The decoder against mpg123 ----

decoder_check() {
  local check=$win_build/acm_decode_check.exe
  if [ ! -f "$check" ]; then
    say "decoder: $check not built; skipped"
    return
  fi
  cp "$check" "$work/audio/"
  (
    cd "$work/audio"
    # A known signal: a sweep on the left, a tone on the right.
    sox -n -r 44100 -c 2 -b 16 sweep.wav synth 2.5 sine 300-3000 sine 440 gain -3
    sox -n -r 22050 -c 1 -b 16 low.wav synth 3.3 sine 200-2000 gain -3
    lame --quiet -b 128 sweep.wav cbr.mp3
    lame --quiet -V 2 sweep.wav vbr.mp3
    lame --quiet -t -b 128 sweep.wav untagged.mp3
    lame --quiet -b 64 low.wav mpeg2.mp3
  )
  local cases=(
    "cbr.mp3 stereo" "cbr.mp3 mono" "cbr.mp3 raw" "vbr.mp3 stereo" "untagged.mp3 stereo" "mpeg2.mp3 mono"
  )
  if [ -f "$dist/datas/Brassvale.mp3" ]; then
    cp "$dist/datas/Brassvale.mp3" "$work/audio/"
    cases+=("Brassvale.mp3 mono")
  else
    fail "decoder: $dist/datas/Brassvale.mp3 is missing"
  fi
  local entry file mode reference code
  for entry in "${cases[@]}"; do
    read -r file mode <<< "$entry"
    reference=${file%.mp3}-$mode.raw
    case $mode in
      stereo) mpg123 -q -s "$work/audio/$file" > "$work/audio/$reference" ;;
      mono) mpg123 -q -m -s "$work/audio/$file" > "$work/audio/$reference" ;;
      raw) mpg123 -q --no-gapless -s "$work/audio/$file" > "$work/audio/$reference" ;;
    esac
    code=0
    (cd "$work/audio" && timeout 60 wine acm_decode_check.exe "$file" "$reference" "$mode") \
      > "$work/logs/decode-$file-$mode.log" 2>&1 || code=$?
    sed 's/^/    /' "$work/logs/decode-$file-$mode.log" | tr -d '\r'
    [ "$code" = 0 ] || fail "decoder: $file ($mode) differs from mpg123 (exit $code)"
  done
}

# ---- 2. The show ----

show_run() {
  start_program show || { fail "show: the dialog never appeared"; return; }
  shot show-dialog > /dev/null
  press_in_dialog go
  retried_go=
  wait_show_window || { shot show-no-window > /dev/null; fail "show: no TVK window after GO!"; stop_program; return; }
  say "show: window up (window $window)"
  xdotool mousemove 960 540

  local m1 s1 m2 s2 m3 s3 m4 s4
  wait_scene 1 40 scene1 || { fail "show: scene 1 never showed"; stop_program; return; }
  m1=$missed_at s1=$seen_at
  say "show: scene 1 by $s1 s"
  wait_scene 2 25 scene2 || { fail "show: scene 2 did not follow scene 1"; stop_program; return; }
  m2=$missed_at s2=$seen_at
  say "show: scene 2 from between $m2 and $s2 s"
  wait_scene 3 25 scene3 || { fail "show: scene 3 did not follow scene 2"; stop_program; return; }
  m3=$missed_at s3=$seen_at
  say "show: scene 3 from between $m3 and $s3 s"
  wait_scene 4 20 scene4 || { fail "show: scene 4 did not follow scene 3"; stop_program; return; }
  m4=$missed_at s4=$seen_at
  say "show: scene 4 from between $m4 and $s4 s"
  # The music plays in real time, so the scenes last their share of it.
  expect_duration "scene 2" 10.8 "$m2" "$s2" "$m3" "$s3"
  expect_duration "scene 3" 7.4 "$m3" "$s3" "$m4" "$s4"
  # Scene 1 was on screen by s1, with the music past 0: scene 2 came at most
  # 10.8 s later.
  awk -v a="$m2" -v b="$s1" 'BEGIN { exit !(a - b <= 10.8 + 0.5) }' ||
    fail "show: scene 1 was still up $(minus "$m2" "$s1") s after it was first seen"

  say "show: F2"
  press_key_over "$window" F2
  if wait_scene 2 5 f2-scene2; then say "show: scene 2 again by $seen_at s"; else fail "show: F2 did not bring scene 2 back"; fi
  say "show: F4 (62 s: scene 5 from 63.5 s)"
  press_key_over "$window" F4
  if wait_scene 5 8 f4-scene5; then say "show: scene 5 by $seen_at s"; else fail "show: scene 5 did not come after F4"; fi

  say "show: Esc"
  press_key_over "$window" Escape
  exits_cleanly show 20 "after Esc" && say "show: ended with exit code 0 after Esc"
  [ -z "$(find_window TVK)" ] || fail "show: the window outlived the process"
  stop_program
}

# ---- 3. The end of the show ----

end_run() {
  local t0
  start_program end || { fail "end: the dialog never appeared"; return; }
  press_in_dialog go
  retried_go=
  wait_show_window || { shot end-no-window > /dev/null; fail "end: no TVK window after GO!"; stop_program; return; }
  wait_scene 1 40 end-scene1 || { fail "end: scene 1 never showed"; stop_program; return; }
  say "end: F4, then 12 s of music to the end at 74 s"
  press_key_over "$window" F4
  t0=$SECONDS
  if exits_cleanly end 40 "after F4"; then
    if [ $((SECONDS - t0)) -lt 9 ]; then
      fail "end: ended $((SECONDS - t0)) s after F4, before the music reached 74 s"
    else
      say "end: ended by itself $((SECONDS - t0)) s after F4, exit code 0"
    fi
  fi
  stop_program
}

# ---- 4 and 5. Leaving from the dialog ----

dialog_exit_run() {  # dialog_exit_run NAME click|escape
  local name=$1 how=$2
  start_program "$name" || { fail "$name: the dialog never appeared"; return; }
  if [ "$how" = click ]; then
    press_in_dialog exit
  else
    say "$name: Esc in the dialog"
    press_key_over "$dialog" Escape
  fi
  exits_cleanly "$name" 20 "after leaving the dialog" && say "$name: ended with exit code 0"
  [ -z "$saw_window" ] || fail "$name: a show window appeared"
  stop_program
}

# ---- 6. Sound through waveOut ----

# With ALSA's null device as the default, Wine's waveOut opens, so the show
# runs on the waveOut output instead of the silent one. Wine then takes the
# audio faster than real time (so the music and the show race ahead): only
# the order of the scenes and the end by itself are checked, and the speed
# is reported.
waveout_run() {
  local home=$work/alsa-null s2
  mkdir -p "$home"
  printf 'pcm.!default {\n  type null\n}\nctl.!default {\n  type hw\n  card 0\n}\n' > "$home/.asoundrc"
  program_env="HOME=$home"
  start_program waveout || { fail "waveout: the dialog never appeared"; program_env=; return; }
  program_env=
  press_in_dialog go
  retried_go=
  wait_show_window || { shot waveout-no-window > /dev/null; fail "waveout: no TVK window after GO!"; stop_program; return; }
  wait_scene 2 40 waveout-scene2 || { fail "waveout: scene 2 never showed"; stop_program; return; }
  s2=$seen_at
  wait_scene 3 20 waveout-scene3 || { fail "waveout: scene 3 did not follow scene 2"; stop_program; return; }
  if exits_cleanly waveout 90 "after scene 3 showed"; then
    say "waveout: ended by itself with exit code 0; 63.2 s of music from scene 2 to the end took" \
      "$(minus "$(now)" "$s2") s of wall time"
  fi
  stop_program
}

# ---- 7 and 8. A screen without 1920 × 1080: the full-screen question ----

# question_run NAME yes|no: GO!, then the answer to the question.
question_run() {
  local name=$1 answer=$2 box error
  start_program "$name" || { fail "$name: the dialog never appeared"; return; }
  press_in_dialog go
  if ! box=$(wait_window "Vexa GL" 30); then
    shot "$name-no-question" > /dev/null
    fail "$name: no full-screen question on a $(xdotool getdisplaygeometry | tr ' ' x) screen"
    stop_program
    return
  fi
  shot "$name-question" > /dev/null
  if [ "$answer" = yes ]; then
    say "$name: answering Yes (the default button)"
    press_key_over "$box" Return
    if ! window=$(wait_window TVK 30); then
      shot "$name-no-window" > /dev/null
      fail "$name: no window after Yes"
      stop_program
      return
    fi
    say "$name: windowed: $(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p') at $(xdotool getwindowgeometry "$window" | sed -n 's/.*Position: \([0-9,]*\).*/\1/p')"
    if wait_scene 1 40 "$name-scene1"; then say "$name: scene 1 by $seen_at s"; else fail "$name: scene 1 never showed"; fi
    press_key_over "$window" Escape
    wait_exit "$pid" 20
    [ "$exit_code" = 0 ] || fail "$name: exit code $exit_code after Esc"
    [ "$exit_code" = 0 ] && say "$name: ended with exit code 0 after Esc"
  else
    say "$name: answering No"
    press_key_over "$box" n
    if error=$(wait_window ERROR 15); then
      shot "$name-error" > /dev/null
      say "$name: \"Program Will Now Close.\" box up; OK"
      press_key_over "$error" Return
    else
      fail "$name: no error box after No"
    fi
    wait_exit "$pid" 20
    # A start that failed reports it in the exit code (the program's own
    # kStartupFailureExitCode), with no window made.
    [ "$exit_code" = 1 ] || fail "$name: exit code $exit_code after No, not 1"
    [ "$exit_code" = 1 ] && say "$name: ended with exit code 1"
    [ -z "$saw_window" ] || fail "$name: a show window appeared"
  fi
  stop_program
}

say "== decoder"
decoder_check
say "== show"
show_run
say "== end of the show"
end_run
say "== the show on the waveOut output (ALSA's null device)"
waveout_run
say "== EXIT in the dialog"
dialog_exit_run dialog-exit click
say "== Esc in the dialog"
dialog_exit_run dialog-escape escape
start_display 1280x1024
say "== the full-screen question on a 1280 x 1024 screen ($DISPLAY): Yes"
question_run windowed yes
say "== the full-screen question: No"
question_run no-fullscreen no

rm -f "$work/poll.xwd" "$work/poll.png"
if [ ${#failures[@]} -gt 0 ]; then
  echo
  echo "wine-test: ${#failures[@]} failure(s):"
  printf '  %s\n' "${failures[@]}"
  echo "screenshots in $work/shots:"
  ls -1 "$work/shots" | sed 's/^/  /'
  echo "program output in $work/logs"
  exit 1
fi
say "wine-test: all checks passed (screenshots in $work/shots)"
