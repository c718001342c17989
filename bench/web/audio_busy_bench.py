#!/usr/bin/env python3
"""The page's sound under a busy main thread (a 120-ms busy loop every
500 ms while the show plays in real time), in one run on this machine: the
script processor (AudioWorklet hidden from the page), the worklet fed by
messages, and the worklet fed through a shared ring (the page served
cross-origin isolated). For each: the blocks the sink found empty, and the
position the program reads against the frame at the speakers, and how
long what was queued still plays after three seeks (F4) with the worklet.

Usage: bench/web/audio_busy_bench.py --dist build/web/dist [--seconds 20]
"""
import argparse
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "web"))
import busy_audio  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dist", required=True)
    parser.add_argument("--seconds", type=float, default=20.0)
    args = parser.parse_args()
    print("busy loop: %d ms every %d ms, %g s of the show in real time" % (busy_audio.BUSY_MS, busy_audio.EVERY_MS,
                                                                        args.seconds))
    for worklet, isolated in [(False, False), (True, False), (True, True)]:
        result = busy_audio.measure(args.dist, worklet=worklet, isolated=isolated, seconds=args.seconds,
                                     seeks=3 if worklet else 0)
        print(busy_audio.describe(result))
        for error in result.get("errors", []):
            print("  page error: %s" % error)
    return 0


if __name__ == "__main__":
    sys.exit(main())
