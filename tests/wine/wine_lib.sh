# Helpers of the Wine scenarios (sourced by wine_scenario.sh): the fixture's
# state, screenshots, windows by title, the program's runs and its dialog
# driven by screen position with xdotool, and the scenes told by colour.
# shellcheck source=shot_check.sh
source "$(dirname "${BASH_SOURCE[0]}")/shot_check.sh"

# The fixture's displays, prefix and server (wine_fixture.sh wrote them).
# shellcheck disable=SC1091
source "$WINE_WORK/state.sh"
export WINEPREFIX=$WINE_WORK/prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY=$WINE_DISPLAY_LARGE
work=$WINE_WORK
dist=$WINE_DIST
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

# One server kept up for all runs, so that later starts take seconds.
start_server() { wineserver -p 600 > /dev/null 2>&1 || true; }

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

# The dialog's buttons where the template puts them: the dialog script the
# build writes from the table gives the dialog's size and each button's
# rectangle in dialog units, scaled here to the dialog's client area.
button_point() {  # button_point go|exit: prints "X Y" on the screen
  local X Y WIDTH HEIGHT WINDOW SCREEN text rect dialog_size
  eval "$(xdotool getwindowgeometry --shell "$dialog")"
  if [ "$1" = go ]; then text='"GO!"'; else text='"EXIT"'; fi
  dialog_size=$(sed -n 's/^[0-9]* DIALOGEX [0-9]*, [0-9]*, \([0-9]*\), \([0-9]*\)$/\1 \2/p' "$WINE_DIALOG_SCRIPT")
  rect=$(grep "CONTROL $text," "$WINE_DIALOG_SCRIPT" | awk -F', *' '{print $(NF-3), $(NF-2), $(NF-1), $NF}')
  read -r dw dh <<< "$dialog_size"
  read -r bx by bw bh <<< "$rect"
  echo "$((X + WIDTH * (2 * bx + bw) / (2 * dw))) $((Y + HEIGHT * (2 * by + bh) / (2 * dh)))"
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
      press_key_over "$box" Return
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

# press_key_over WINDOW KEY: the window gets the X focus first, as a window
# manager would give it. Without a manager, keys go where the pointer is, and
# one CI run that way lost F2, F4 and Esc while the show played on; focusing
# the window makes Wine activate it before the key arrives.
press_key_over() {
  local X Y WIDTH HEIGHT WINDOW SCREEN
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool windowfocus "$1" 2> /dev/null || say "could not focus window $1"
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

