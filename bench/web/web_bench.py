#!/usr/bin/env python3
"""The page against the desktop, in one run on this machine: the whole show
rendered frame-exact (virtual clock, offline audio, nothing written) in
headless Chromium (SwiftShader) and by the native capture tool (llvmpipe)
at the same size and rate, as a ratio of their frame times; the page's
start-up to its first frame; the download.

Usage: bench/web/web_bench.py --dist build/web/dist --capture build/bench/stormglass-capture
       [--size 640x360] [--fps 30]
"""
import argparse
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "web"))
import chromium_page  # noqa: E402

SHOW_SECONDS = 74.0


def page_run(dist, size, fps):
    width, height = (int(v) for v in size.split("x"))
    page = chromium_page.Page(width, height)
    try:
        with chromium_page.served(dist) as url:
            started = time.time()
            page.open(url + "index.html?lockstep=%d&size=%s&shots=0,%g" % (fps, size, SHOW_SECONDS),
                      chromium_page.FRAME_COLLECTOR)
            page.wait_for("Module.exitCode !== undefined", 900)
            wall = time.time() - started
            frames = chromium_page.frames_of(page)
            if page.errors or len(frames) != 2:
                raise RuntimeError("the page failed: %s" % page.errors)
        return frames[0]["at"] / 1000.0, (frames[1]["at"] - frames[0]["at"]) / 1000.0 / frames[1]["index"], wall
    finally:
        page.close()


def native_run(capture, size, fps):
    with tempfile.TemporaryDirectory() as work:
        started = time.time()
        subprocess.run([capture, "--fps", str(fps), "--size", size, "--contact-sheet",
                        os.path.join(work, "sheet.png"), "--quiet"], check=True)
        return (time.time() - started) / (SHOW_SECONDS * fps)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dist", required=True)
    parser.add_argument("--capture", required=True)
    parser.add_argument("--size", default="640x360")
    parser.add_argument("--fps", type=int, default=30)
    args = parser.parse_args()
    download = sum(os.path.getsize(os.path.join(args.dist, f)) for f in os.listdir(args.dist))
    first_frame, page_frame, _ = page_run(args.dist, args.size, args.fps)
    native_frame = native_run(args.capture, args.size, args.fps)
    print("| The page against the desktop, %s at %d fps, whole show frame-exact | |" % (args.size, args.fps))
    print("| frame time in headless Chromium (SwiftShader) | %.2f ms |" % (page_frame * 1000))
    print("| frame time of the capture tool (llvmpipe, contact sheet only) | %.2f ms |" % (native_frame * 1000))
    print("| ratio, page / desktop | %.2f × |" % (page_frame / native_frame))
    print("| page start-up to its first frame (load, unpack, decode, init) | %.2f s |" % first_frame)
    print("| download (build/web/dist) | %.1f MB |" % (download / 1e6))
    return 0


if __name__ == "__main__":
    sys.exit(main())
