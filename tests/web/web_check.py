#!/usr/bin/env python3
"""The page in headless Chromium against the native program.

  frames   deterministic frames (virtual clock, offline audio) at 320 x 180,
           one per scene and per picture of scene 4, against the native
           capture tool's at the same times: the background (the commonest
           colour) exactly, and the mean absolute difference under a bound
  keys     F2 brings scene 2, Esc ends the program with 0
  end      the show ends by itself at 74 s of its clock, with 0
  dialog   in real time: the setup dialog drawn in the page; clicking its
           GO! starts the show and the sound; Esc ends it with 0, "Play
           again" brings the dialog back, and a tap on GO! starts it again
  address  a size of 0 or beyond WebGL's, too many keys or a shot that is no
           time are refused with 2 before the show starts
  busy     in real time, with the main thread busy 120 ms of every 500: the
           sound's sink finds no block empty, fed by messages and, with the
           page cross-origin isolated, through its shared ring

Any error on the page fails. Usage:
  web_check.py SCENARIO --dist build/web/dist [--capture stormglass-capture --work DIR]
"""
import argparse
import collections
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import busy_audio  # noqa: E402
import chromium_page  # noqa: E402

WIDTH, HEIGHT, FPS = 320, 180, 10
# One time per scene, and one per picture sliding in over scene 4 (29-63.5 s).
SHOT_TIMES = [5.0, 15.0, 25.0, 31.0, 36.0, 41.0, 46.0, 51.0, 56.0, 61.0, 68.0]
# Mean absolute difference (0-255 per channel) allowed between the page's
# frame and the desktop's: texture filtering and wide lines are rasterised
# by another renderer (SwiftShader against llvmpipe), so edges and mipmap
# blends differ by a few levels; a wrong texture, colour or blend gives tens.
MEAN_BOUND = 4.0


def run_page(dist, query, until, seconds):
    page = chromium_page.Page(WIDTH, HEIGHT)
    try:
        with chromium_page.served(dist) as url:
            page.open(url + "index.html?" + query, chromium_page.FRAME_COLLECTOR)
            done = page.wait_for(until, seconds)
            frames = chromium_page.frames_of(page)
            exit_code = page.evaluate("typeof Module === 'undefined' || Module.exitCode === undefined ? null : Module.exitCode")
        return done, frames, exit_code, page.errors
    finally:
        page.close()


def flipped(rgb, width, height):
    row = width * 3
    return b"".join(rgb[(height - 1 - y) * row:(height - y) * row] for y in range(height))


def native_frame(frames_dir, index):
    path = os.path.join(frames_dir, "frame_%06d.png" % index)
    return subprocess.run(["ffmpeg", "-loglevel", "error", "-i", path, "-f", "rawvideo", "-pix_fmt", "rgb24", "-"],
                          check=True, stdout=subprocess.PIPE).stdout


def commonest(rgb):
    return collections.Counter(rgb[i:i + 3] for i in range(0, len(rgb), 3)).most_common(1)[0][0]


def check_frames(args):
    frames_dir = os.path.join(args.work, "native")
    os.makedirs(frames_dir, exist_ok=True)
    subprocess.run([args.capture, "--fps", str(FPS), "--size", "%dx%d" % (WIDTH, HEIGHT), "--frames", frames_dir,
                    "--to", str(SHOT_TIMES[-1] + 0.5), "--quiet"], check=True)
    shots = ",".join("%g" % t for t in SHOT_TIMES)
    done, frames, _, errors = run_page(args.dist, "lockstep=%d&size=%dx%d&shots=%s&keys=%g:Esc" % (
        FPS, WIDTH, HEIGHT, shots, SHOT_TIMES[-1] + 0.5), "window.sgFrames.length >= %d || Module.exitCode !== undefined"
        % len(SHOT_TIMES), 240)
    failures = ["page error: %s" % e for e in errors]
    if len(frames) != len(SHOT_TIMES):
        failures.append("the page handed %d frames, not %d" % (len(frames), len(SHOT_TIMES)))
    for frame in frames:
        web = flipped(frame["rgb"], frame["width"], frame["height"])
        native = native_frame(frames_dir, frame["index"])
        mean = sum(abs(a - b) for a, b in zip(web, native)) / len(native)
        background_web, background_native = commonest(web), commonest(native)
        print("t=%5.1f s (frame %4d): background page %s desktop %s, mean difference %.2f" % (
            frame["seconds"], frame["index"], tuple(background_web), tuple(background_native), mean))
        with open(os.path.join(args.work, "page_%06d.rgb" % frame["index"]), "wb") as out:
            out.write(web)
        if background_web != background_native:
            failures.append("t=%g s: background %s, not %s" % (frame["seconds"], tuple(background_web),
                                                               tuple(background_native)))
        if mean > MEAN_BOUND:
            failures.append("t=%g s: mean difference %.2f over %.1f" % (frame["seconds"], mean, MEAN_BOUND))
    return failures


def check_keys(args):
    # F2 at 1 s jumps to 17.6 s of music: scene 2's red title card by 2 s.
    done, frames, exit_code, errors = run_page(args.dist, "lockstep=30&size=%dx%d&keys=1:F2,3:Esc&shots=2.0" % (
        WIDTH, HEIGHT), "Module.exitCode !== undefined", 120)
    failures = ["page error: %s" % e for e in errors]
    if not done or exit_code != 0:
        failures.append("Esc did not end the program with 0 (exit code %s)" % exit_code)
    if len(frames) != 1:
        return failures + ["no frame at 2 s"]
    rgb = frames[0]["rgb"]
    red = sum(rgb[0::3]) / (len(rgb) / 3)
    green = sum(rgb[1::3]) / (len(rgb) / 3)
    print("after F2: mean red %.0f, green %.0f" % (red, green))
    if not (red > 100 and red > 2 * green):
        failures.append("F2 did not bring scene 2 (mean red %.0f, green %.0f)" % (red, green))
    return failures


def check_end(args):
    done, frames, exit_code, errors = run_page(args.dist, "lockstep=30&size=64x36&shots=73.9,74.0,74.1",
                                               "Module.exitCode !== undefined", 240)
    failures = ["page error: %s" % e for e in errors]
    times = [round(f["seconds"], 3) for f in frames]
    print("last frames at %s s, exit code %s" % (times, exit_code))
    if not done or exit_code != 0:
        failures.append("the show did not end by itself with 0 (exit code %s)" % exit_code)
    if times != [73.9, 74.0]:
        failures.append("frames at %s s: the show should end on its frame at 74 s" % times)
    return failures


def play_again(page):
    """After the end, "Play again" brings the setup dialog back."""
    rect = page.evaluate("(() => { const r = document.getElementById('again').getBoundingClientRect();"
                         " return [r.left, r.top, r.width, r.height]; })()")
    if not rect or rect[2] == 0:
        return ["no \"Play again\" after the end"]
    page.click(rect[0] + rect[2] / 2, rect[1] + rect[3] / 2)
    shown = page.wait_for("document.getElementById('dialog') && "
                          "document.getElementById('dialog').style.display === 'block'", 60)
    if not shown:
        return ["\"Play again\" did not bring the setup dialog back"]
    # This time GO! is tapped, as on a touch screen.
    left, top, width, height = page.evaluate(
        "(() => { const r = document.getElementById('dialog').getBoundingClientRect();"
        " return [r.left, r.top, r.width, r.height]; })()")
    page.tap(left + (17 + 29) * width / 151, top + (129 + 7) * height / 151)
    if not page.wait_for("document.getElementById('canvas').style.visibility === 'visible'", 30):
        return ["a tap on GO! did not open the show"]
    return []


def check_dialog(args):
    page = chromium_page.Page(800, 600)
    failures = []
    try:
        with chromium_page.served(args.dist) as url:
            page.open(url + "index.html")
            if not page.wait_for("document.getElementById('dialog').style.display === 'block'", 60):
                return ["the setup dialog did not appear"] + page.errors
            left, top, width, height = page.evaluate(
                "(() => { const r = document.getElementById('dialog').getBoundingClientRect();"
                " return [r.left, r.top, r.width, r.height]; })()")
            # GO! is at 17, 129 (58 x 14) of the dialog's 151 x 151 units.
            page.click(left + (17 + 29) * width / 151, top + (129 + 7) * height / 151)
            if not page.wait_for("document.getElementById('canvas').style.visibility === 'visible'", 30):
                failures.append("GO! did not open the show")
            state = page.wait_for("Module.sgAudio && Module.sgAudio.context && "
                                  "Module.sgAudio.context.state === 'running' && Module.sgAudio.played > 0", 20)
            print("after GO!: dialog %dx%d, sound %s" % (width, height, "playing" if state else "silent"))
            if not state:
                failures.append("GO! did not start the sound")
            page.key("Escape", 27)
            if page.wait_for("Module.exitCode === 0", 20) is None:
                failures.append("Esc did not end the show with 0")
            failures += play_again(page)
    finally:
        page.close()
    return failures + ["page error: %s" % e for e in page.errors]


def check_address(args):
    too_many_keys = ",".join(["1:F1"] * 5000)
    failures = []
    for query in ["lockstep=10&size=0x0", "lockstep=10&size=100000x100000", "lockstep=10&size=64x36&keys=" +
                  too_many_keys, "lockstep=10&size=64x36&shots=2,soon"]:
        done, frames, exit_code, errors = run_page(args.dist, query, "Module.exitCode !== undefined", 30)
        # The refusal is written to standard error, which the page reports as errors.
        print("%s...: exit code %s, %s" % (query[:40], exit_code, " / ".join(errors)))
        if exit_code != 2 or frames:
            failures.append("%s...: exit code %s and %d frames, not 2 and none" % (query[:40], exit_code, len(frames)))
    return failures


def check_busy(args):
    failures = []
    for isolated, seconds, mode in [(False, 20.0, "messages"), (True, 10.0, "ring")]:
        result = busy_audio.measure(args.dist, isolated=isolated, seconds=seconds)
        print(busy_audio.describe(result))
        failures += ["page error: %s" % e for e in result.get("errors", [])]
        if "failure" in result:
            failures.append(result["failure"])
        elif result["mode"] != mode or result["empty"] != 0:
            failures.append("%s: %d empty blocks in the %s sink" % (mode, result["empty"], result["mode"]))
    return failures


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("scenario", choices=["frames", "keys", "end", "dialog", "address", "busy"])
    parser.add_argument("--dist", required=True)
    parser.add_argument("--capture")
    parser.add_argument("--work", default="web-check")
    args = parser.parse_args()
    os.makedirs(args.work, exist_ok=True)
    failures = {"frames": check_frames, "keys": check_keys, "end": check_end, "dialog": check_dialog,
                "address": check_address, "busy": check_busy}[args.scenario](args)
    for failure in failures:
        print("web-check: " + failure, file=sys.stderr)
    print("web-check: %s %s" % (args.scenario, "failed" if failures else "as on the desktop"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
