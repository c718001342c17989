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
  touch    on a phone: the touch strip comes with the show, goes by itself
           and comes back on a tap; its "62 s" lands the music there, then
           "Sample" and "Leave" (0, and "Play again")
  phones   on three phone viewports: the dialog fits, its buttons are big
           enough to tap, nothing scrolls sideways, GO! starts the show (the
           dialogs as shown are left in the work folder)

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
from chromium_page import centre, go_rect, rect_of  # noqa: E402

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


# The touch scenario's phone: width and height in CSS pixels, device pixel ratio.
PHONE = (390, 844, 3)
STRIP_LABELS = ["6.8 s", "17.6 s", "59.5 s", "62 s", "90 s", "105 s", "129.02 s", "155.87 s", "Sample", "Leave"]
STRIP_SHOWN = "!document.getElementById('strip').hidden"


def tap_centre(page, rect):
    page.tap(*centre(rect))


def inside(rect, width, height):
    return rect[2] > 0 and rect[0] >= 0 and rect[1] >= 0 and rect[0] + rect[2] <= width and rect[1] + rect[3] <= height


def tap_go(page):
    """Taps the setup dialog's GO!: False when no dialog or no show came."""
    if not page.wait_for("document.getElementById('dialog').style.display === 'block'", 60):
        return False
    tap_centre(page, go_rect(rect_of(page, "#dialog")))
    return bool(page.wait_for("document.getElementById('canvas').style.visibility === 'visible'", 30))


def play_again(page):
    """After the end, "Play again" brings the setup dialog back."""
    rect = rect_of(page, "#again")
    if not rect or rect[2] == 0:
        return ["no \"Play again\" after the end"]
    page.click(*centre(rect))
    # This time GO! is tapped, as on a touch screen.
    if not tap_go(page):
        return ["\"Play again\" and a tap on GO! did not open the show"]
    return []


def check_dialog(args):
    page = chromium_page.Page(800, 600)
    failures = []
    try:
        with chromium_page.served(args.dist) as url:
            page.open(url + "index.html")
            if not page.wait_for("document.getElementById('dialog').style.display === 'block'", 60):
                return ["the setup dialog did not appear"] + page.errors
            dialog = rect_of(page, "#dialog")
            page.click(*centre(go_rect(dialog)))
            if not page.wait_for("document.getElementById('canvas').style.visibility === 'visible'", 30):
                failures.append("GO! did not open the show")
            if page.evaluate(STRIP_SHOWN):
                failures.append("a touch strip on a page with no touch screen")
            state = page.wait_for("Module.sgAudio && Module.sgAudio.context && "
                                  "Module.sgAudio.context.state === 'running' && Module.sgAudio.played > 0", 20)
            print("after GO!: dialog %dx%d, sound %s" % (dialog[2], dialog[3], "playing" if state else "silent"))
            if not state:
                failures.append("GO! did not start the sound")
            page.key("Escape", 27)
            if page.wait_for("Module.exitCode === 0", 20) is None:
                failures.append("Esc did not end the show with 0")
            failures += play_again(page)
    finally:
        page.close()
    return failures + ["page error: %s" % e for e in page.errors]


def press_strip(page, label):
    """Taps the strip's button with this label, bringing the strip up first."""
    if not page.evaluate(STRIP_SHOWN):
        page.tap(PHONE[0] / 2, PHONE[1] / 2)
        page.wait_for(STRIP_SHOWN, 3)
    tap_centre(page, rect_of(page, "#strip button:nth-child(%d)" % (STRIP_LABELS.index(label) + 1)))


def check_strip(page):
    failures = []
    if not page.wait_for(STRIP_SHOWN, 5):
        failures.append("no touch strip when the show started")
    if not page.wait_for("document.getElementById('strip').hidden", 6):
        failures.append("the strip did not go by itself")
    page.tap(PHONE[0] / 2, PHONE[1] / 2)
    if not page.wait_for(STRIP_SHOWN, 3):
        return failures + ["a tap on the show did not bring the strip back"]
    buttons = page.evaluate("[...document.querySelectorAll('#strip button')].map((b) => "
                            "[b.textContent, b.getBoundingClientRect().height])")
    strip = rect_of(page, "#strip")
    print("strip: %s" % ", ".join("%s (%.0f px)" % (label, height) for label, height in buttons))
    if [label for label, _ in buttons] != STRIP_LABELS:
        failures.append("the strip's buttons are %s" % [label for label, _ in buttons])
    if min(height for _, height in buttons) < 40:
        failures.append("strip buttons under 40 px tall")
    if strip[1] < PHONE[1] / 2 < strip[1] + strip[3]:
        failures.append("the strip covers the middle of the show")
    return failures


def check_touch(args):
    page = chromium_page.Page(*PHONE[:2])
    failures = []
    try:
        with chromium_page.served(args.dist) as url:
            page.emulate_phone(*PHONE)
            page.open(url + "index.html")
            if not tap_go(page):
                return ["a tap on GO! did not start the show"] + page.errors
            failures += check_strip(page)
            press_strip(page, "62 s")
            # The first position after the jump: F3's 59.5 s would reach 62 s
            # too, a little later.
            landed = page.wait_for("Module.sgMusicSeconds() > 30 && Module.sgMusicSeconds()", 5)
            print("after \"62 s\": music at %s s" % landed)
            if not landed or not 62 <= landed < 63.5:
                failures.append("\"62 s\" took the music to %s s" % landed)
            press_strip(page, "Sample")
            press_strip(page, "Leave")
            if page.wait_for("Module.exitCode === 0", 20) is None:
                failures.append("\"Leave\" did not end the show with 0")
            if not page.wait_for("document.getElementById('again').style.display === 'block' && "
                                 "document.getElementById('strip').hidden", 5):
                failures.append("no \"Play again\" without the strip after the end")
            else:
                tap_centre(page, rect_of(page, "#again"))
                if not tap_go(page):
                    failures.append("taps on \"Play again\" and GO! did not start the show again")
    finally:
        page.close()
    return failures + ["page error: %s" % e for e in page.errors]


# Portrait, landscape (turned to portrait and back while the dialog shows), a
# tablet.
PHONES = [(360, 740, 3), (844, 390, 3), (820, 1180, 2)]


def check_phone_dialog(page, width, height):
    failures = []
    dialog = rect_of(page, "#dialog")
    go = go_rect(dialog)
    page_width = page.evaluate("document.documentElement.scrollWidth")
    print("%dx%d: dialog %.0f x %.0f CSS px, buttons %.1f px tall" % (width, height, dialog[2], dialog[3], go[3]))
    if not inside(go, width, height):
        failures.append("%dx%d: GO! at %s, outside the viewport" % (width, height, go))
    if go[3] < 30:
        failures.append("%dx%d: buttons %.1f px tall, too small to tap" % (width, height, go[3]))
    if page_width > width:
        failures.append("%dx%d: the page is %d px wide: it scrolls sideways" % (width, height, page_width))
    return failures


def check_phones(args):
    page = chromium_page.Page(*PHONES[0][:2])
    failures = []
    try:
        with chromium_page.served(args.dist) as url:
            for width, height, ratio in PHONES:
                page.emulate_phone(width, height, ratio)
                page.open(url + "index.html")
                if not page.wait_for("document.getElementById('dialog').style.display === 'block'", 60):
                    failures.append("%dx%d: no setup dialog" % (width, height))
                    continue
                failures += check_phone_dialog(page, width, height)
                with open(os.path.join(args.work, "dialog-%dx%d.png" % (width, height)), "wb") as out:
                    out.write(page.screenshot())
                if width > height:
                    page.emulate_phone(height, width, ratio)
                    if not page.wait_for("(() => { const r = document.getElementById('dialog')"
                                         ".getBoundingClientRect(); return r.right <= %d && r.bottom <= %d; })()"
                                         % (height, width), 5):
                        failures.append("rotated to %dx%d, the dialog no longer fits" % (height, width))
                    page.emulate_phone(width, height, ratio)
                if not tap_go(page):
                    failures.append("%dx%d: a tap on GO! did not start the show" % (width, height))
                    continue
                if not inside(rect_of(page, "#canvas"), width, height):
                    failures.append("%dx%d: the show at %s, outside the viewport" % (
                        width, height, rect_of(page, "#canvas")))
                # The touch strip comes up where GO! was: the same tap must not press it.
                playing = page.wait_for("Module.sgMusicSeconds() > 1 && Module.sgMusicSeconds() < 30", 10)
                if not playing or page.evaluate("Module.exitCode !== undefined"):
                    failures.append("%dx%d: the show did not play on after GO! (music at %s s)" % (
                        width, height, page.evaluate("Module.sgMusicSeconds()")))
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
    parser.add_argument("scenario",
                        choices=["frames", "keys", "end", "dialog", "address", "busy", "touch", "phones"])
    parser.add_argument("--dist", required=True)
    parser.add_argument("--capture")
    parser.add_argument("--work", default="web-check")
    args = parser.parse_args()
    os.makedirs(args.work, exist_ok=True)
    failures = {"frames": check_frames, "keys": check_keys, "end": check_end, "dialog": check_dialog,
                "address": check_address, "busy": check_busy, "touch": check_touch,
                "phones": check_phones}[args.scenario](args)
    for failure in failures:
        print("web-check: " + failure, file=sys.stderr)
    print("web-check: %s %s" % (args.scenario, "failed" if failures else "as on the desktop"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
