#!/usr/bin/env bash
# One scenario of the Windows build under Wine, as a viewer would meet it,
# on the fixture's virtual displays and prefix (wine_fixture.sh):
#   decoder         the MP3 decoder through Wine's Layer-3 codec against mpg123
#   show            GO!, the scenes in their order and at their times, F2, F4, Esc
#   end             F4, then the show ends by itself at 74 s with exit code 0
#   waveout         the show on the waveOut output (ALSA's null device)
#   dialog-exit     EXIT in the dialog: exit code 0, no window
#   dialog-escape   Esc in the dialog: the same
#   windowed        a 1280 x 1024 screen: Yes to the full-screen question
#   no-fullscreen   the same screen, No: the error box and exit code 1
# Usage: wine_scenario.sh NAME        Env (set by CTest): WINE_WORK, WINE_DIST,
#        WINE_DIALOG_SCRIPT, WINE_DECODE_CHECK
set -euo pipefail
cd "$(dirname "$0")"
# shellcheck source=wine_lib.sh
source ./wine_lib.sh
start_server

# ---- 1. The decoder against mpg123 ----

decoder_check() {
  local check=$WINE_DECODE_CHECK
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
  # The dialog alone, caption and all, for docs/ beside the Linux one.
  xwd -id "$dialog" -silent | convert xwd:- "$work/shots/setup-dialog-windows.png"
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


case "${1:-}" in
  decoder) decoder_check ;;
  show) show_run ;;
  end) end_run ;;
  waveout) waveout_run ;;
  dialog-exit) dialog_exit_run dialog-exit click ;;
  dialog-escape) dialog_exit_run dialog-escape escape ;;
  windowed | no-fullscreen)
    export DISPLAY=$WINE_DISPLAY_SMALL
    question_run "$1" "$([ "$1" = windowed ] && echo yes || echo no)"
    ;;
  *) echo "wine_scenario: unknown scenario \"${1:-}\"" >&2; exit 2 ;;
esac

if [ ${#failures[@]} -gt 0 ]; then
  echo "wine_scenario $1: ${#failures[@]} failure(s):"
  printf '  %s\n' "${failures[@]}"
  echo "screenshots in $work/shots, program output in $work/logs"
  exit 1
fi
say "wine_scenario $1: passed"
