"""The page's sound while its main thread is kept busy on purpose: a busy
loop of BUSY_MS every EVERY_MS while the show plays in real time. Counts the
blocks the sound's sink found empty, and compares the position the program
reads with the one its sink's own record and the context's output timestamp
give (the frame at the speakers). Shared by the web test and the bench."""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import chromium_page  # noqa: E402

BUSY_MS, EVERY_MS = 120, 500

# Before the page's scripts: the busy loop, and a sampler of the position
# read (the mixer's device clock) beside the frame at the speakers.
PRELUDE = """
window.sgBusy = () => setInterval(() => { const end = performance.now() + %d; while (performance.now() < end) {} }, %d);
window.sgSamples = [];
window.sgSample = () => setInterval(() => {
  const audio = Module.sgAudio, context = audio.context, stamp = context.getOutputTimestamp();
  const speaker = (stamp.contextTime + (performance.now() - stamp.performanceTime) / 1000) * context.sampleRate;
  window.sgSamples.push([audio.heard() + audio.base, speaker, speaker - audio.idle - audio.played]);
}, 50);
""" % (BUSY_MS, EVERY_MS)
# As on a browser without AudioWorklet: the script processor plays.
WITHOUT_WORKLET = "delete window.AudioWorkletNode;"


def start_show(page):
    """Clicks the setup dialog's GO! and waits for the sound; None or what failed."""
    if not page.wait_for("document.getElementById('dialog').style.display === 'block'", 60):
        return "the setup dialog did not appear"
    page.click(*chromium_page.centre(chromium_page.go_rect(chromium_page.rect_of(page, "#dialog"))))
    if not page.wait_for("Module.sgAudio.running && Module.sgAudio.played > 0", 30):
        return "GO! did not start the sound"
    return None


def truth(trace, speaker, block):
    """The frame heard at context frame `speaker`, from the sink's record of
    (context frame, frames consumed before, music frames) per block of
    `block` frames; None outside the record."""
    low, high = 0, len(trace) // 3 - 1
    if high < 0 or speaker < trace[0]:
        return None
    while low < high:
        middle = (low + high + 1) // 2
        if trace[3 * middle] <= speaker:
            low = middle
        else:
            high = middle - 1
    frame, before, music = trace[3 * low:3 * low + 3]
    if speaker >= frame + block:
        return None
    return before + min(speaker - frame, music)


def trace_of(page):
    if page.evaluate("Module.sgAudio.mode") == "script":
        return page.evaluate("Module.sgAudio.trace")
    page.evaluate("Module.sgAudio.node.port.postMessage({report: true})")
    return page.wait_for("Module.sgAudio.traced", 10)


def measure(dist, worklet=True, isolated=False, seconds=20.0, seeks=0):
    """Plays `seconds` under the busy loop: a dict of the sink's mode, the
    empty blocks and the position's error in ms, or of what failed."""
    page = chromium_page.Page(800, 600)
    try:
        with chromium_page.served(dist, isolated=isolated) as url:
            page.open(url + "index.html", PRELUDE + ("" if worklet else WITHOUT_WORKLET))
            failure = start_show(page)
            if failure:
                return {"failure": failure, "errors": page.errors}
            page.evaluate("Module.sgAudio.mode === 'script' ? (Module.sgAudio.trace = [])"
                          " : Module.sgAudio.node.port.postMessage({trace: true})")
            page.evaluate("window.sgBusy(), window.sgSample(), 0")
            # Seeks along the way (F4, 62 s): how long what was queued still plays.
            cuts = []
            for _ in range(seeks):
                time.sleep(seconds / (seeks + 1))
                page.key("F4", 115)
                page.wait_for("Module.sgAudio.lastCutMs !== undefined", 5)
                cuts.append(page.evaluate("Module.sgAudio.lastCutMs"))
                page.evaluate("Module.sgAudio.lastCutMs = undefined")
            time.sleep(seconds / (seeks + 1))
            trace = trace_of(page) or []
            samples = page.evaluate("window.sgSamples")
            result = page.evaluate("(({mode, empty, rate, longestWaitMs, context}) => ({mode, empty, rate,"
                                   " longest: longestWaitMs,"
                                   " latency: 1000 * ((context.baseLatency || 0) + (context.outputLatency || 0)),"
                                   " isolated: self.crossOriginIsolated}))(Module.sgAudio)")
            page.key("Escape", 27)
            page.wait_for("Module.exitCode !== undefined", 20)
        errors = []
        # The context's frames that played no music: a sink that counts no
        # empty blocks of its own (the script processor) shows them as the
        # music falling behind the context's clock.
        if len(samples) > 20:
            behind = [s[2] for s in samples]
            result["silence_ms"] = (min(behind[-10:]) - min(behind[:10])) * 1000.0 / result["rate"]
        for heard, speaker, _ in samples:
            true_frame = truth(trace, speaker, 2048 if result["mode"] == "script" else 128)
            if true_frame is not None:
                errors.append((heard - true_frame) * 1000.0 / result["rate"])
        result["errors"] = page.errors
        result["cuts_ms"] = [c for c in cuts if c is not None]
        result["samples"] = len(errors)
        if errors:
            ordered = sorted(abs(e) for e in errors)
            result["mean_ms"] = sum(errors) / len(errors)
            result["mean_abs_ms"] = sum(ordered) / len(ordered)
            result["p95_abs_ms"] = ordered[int(0.95 * (len(ordered) - 1))]
            result["max_abs_ms"] = ordered[-1]
        return result
    finally:
        page.close()


def describe(result):
    if "failure" in result:
        return "failed: %s" % result["failure"]
    text = "%s sink%s: %d empty blocks" % (result["mode"], " (isolated)" if result.get("isolated") else "",
                                          result["empty"])
    if result.get("longest"):
        text += ", top-ups at most %.0f ms apart" % result["longest"]
    if "silence_ms" in result:
        text += ", the music fell %.0f ms behind the context's clock" % result["silence_ms"]
    if result["samples"]:
        text += ("; position minus heard over %d reads: mean %+.1f ms, mean |error| %.1f ms, p95 %.1f ms, max %.1f ms"
                 % (result["samples"], result["mean_ms"], result["mean_abs_ms"], result["p95_abs_ms"],
                    result["max_abs_ms"]))
    if result.get("cuts_ms"):
        text += ("; after a seek what was queued still played %s ms (the context's own latency: %.1f ms)"
                 % (", ".join("%.1f" % c for c in result["cuts_ms"]), result["latency"]))
    return text
