#!/usr/bin/env bash
# The picture against the sound heard, as a viewer gets them: the release
# player under Xvfb at 1920 x 1080 playing through a PulseAudio null sink,
# GO! pressed, recorded by sync_recorder (the sink's monitor in 5-ms blocks
# and a strip of the screen some 200 times a second, on one clock). Each run
# reports picture minus sound at the cuts to scenes 2-5, and the intervals
# between frames on the screen over 10 s of scene 4. Runs alternate between
# positions from SDL's buffer alone (STORMGLASS_SYNC=off), with the frame's
# time to the screen and the server's latency counted (the default), and
# that without waiting for the refresh (STORMGLASS_VSYNC=0).
#
# Usage: bench/sync/sync_bench.sh [RUNS]   (default 5; about 70 s a run and mode)
#        Env: BENCH_BUILD_DIR (default build/bench), SYNC_MODES (default
#             "off on novsync"), SYNC_SERVER_LATENCY_MS (the server holds this
#             much of the player's sound, as a Bluetooth or network sink
#             would: libpulse's PULSE_LATENCY_MSEC; default as the player asks)
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
runs=${1:-5}
build=${BENCH_BUILD_DIR:-build/bench}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
cuts=(10.8 21.6 29 63.5)
read -r -a modes <<< "${SYNC_MODES:-off on novsync}"
server_latency=()
[ -n "${SYNC_SERVER_LATENCY_MS:-}" ] && server_latency=(PULSE_LATENCY_MSEC="$SYNC_SERVER_LATENCY_MS")
record_seconds=67

cmake --preset bench -B "$build" > /dev/null
cmake --build "$build" -j "$(nproc)" --target stormglass sync_recorder > /dev/null

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2> /dev/null || true; done
  wait 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A sound server of our own, on a private socket, with one null sink.
export HOME=$work XDG_RUNTIME_DIR=$work PULSE_RUNTIME_PATH=$work
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disable-shm=yes -L "module-null-sink sink_name=stormglass" \
  -L "module-native-protocol-unix auth-anonymous=1 socket=$work/native" 2> "$work/pulse.log" &
pids+=($!)
export PULSE_SERVER=unix:$work/native SDL_AUDIODRIVER=pulseaudio
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp 2> "$work/xvfb.log" &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do
  pactl list short sinks 2> /dev/null | grep -q stormglass && xdpyinfo > /dev/null 2>&1 && break
  sleep 0.2
done

# one_run MODE: prints the recorder's lines for one show
one_run() {
  local sync=on vsync=1
  [ "$1" = off ] && sync=off
  [ "$1" = novsync ] && vsync=0
  (cd "$build" && exec env "${server_latency[@]}" STORMGLASS_SYNC=$sync STORMGLASS_VSYNC=$vsync ./stormglass) > "$work/player.log" 2>&1 &
  local player=$!
  for _ in $(seq 100); do xdotool search --name "Stormglass by Velkaro" > /dev/null 2>&1 && break; sleep 0.2; done
  xdotool mousemove 960 540
  "$build/bench/sync/sync_recorder" stormglass.monitor "$record_seconds" "$build/datas/Brassvale.mp3" "${cuts[@]}" p35 \
    > "$work/run.txt" &
  local recorder=$!
  sleep 0.5
  xdotool key Return
  wait "$recorder" || true
  xdotool key Escape 2> /dev/null || true
  sleep 1
  kill "$player" 2> /dev/null || true
  wait "$player" 2> /dev/null || true
  cat "$work/run.txt"
}

results=$work/results.txt
for run in $(seq "$runs"); do
  for mode in "${modes[@]}"; do
    echo "sync-bench: run $run, $mode ..." >&2
    one_run "$mode" > "$work/lines.txt"
    cat "$work/lines.txt" >&2
    sed -n "s/^cut \([0-9.]*\) picture-minus-sound \([-+0-9]*\) ms.*/$mode \1 \2/p" "$work/lines.txt" >> "$results"
    sed -n "s/^pacing [0-9]* frames: mean \([0-9.]*\) ms, sd \([0-9.]*\), median \([0-9.]*\).*p95 \([0-9.]*\).*/$mode \1 \2 \3 \4/p" \
      "$work/lines.txt" >> "$work/pacing.txt"
  done
done

echo
echo "Picture minus sound at each cut, in ms (positive: the picture is late), over $runs runs${SYNC_SERVER_LATENCY_MS:+, the server holding ${SYNC_SERVER_LATENCY_MS} ms}:"
echo
echo "| cut (music s) | SDL's buffer only (STORMGLASS_SYNC=off) | mean | spread | screen and server counted | mean | spread |"
echo "|---:|---|---:|---:|---|---:|---:|"
for cut in "${cuts[@]}"; do
  row="| $cut"
  for sync in off on; do
    values=$(awk -v s="$sync" -v c="$cut" '$1 == s && $2 == c { print $3 }' "$results")
    row+=" | $(echo $values | sed 's/ /, /g')"
    row+=" | $(awk '{ t += $1; n++ } END { if (n) printf "%+.0f", t / n }' <<< "$values")"
    row+=" | $(awk 'NR == 1 { lo = hi = $1 } { if ($1 < lo) lo = $1; if ($1 > hi) hi = $1 } END { if (NR) print hi - lo }' <<< "$values")"
  done
  echo "$row |"
done

echo
echo "Frame intervals on the screen over 10 s of scene 4, in ms (mean of the runs):"
echo
echo "| | mean | sd | median | p95 |"
echo "|---|---:|---:|---:|---:|"
for mode in on novsync; do
  awk -v m="$mode" '$1 == m { a += $2; b += $3; c += $4; d += $5; n++ }
    END { if (n) printf "| %s | %.1f | %.1f | %.1f | %.1f |\n", (m == "on" ? "swap interval 1" : "STORMGLASS_VSYNC=0"), a/n, b/n, c/n, d/n }' \
    "$work/pacing.txt"
done
