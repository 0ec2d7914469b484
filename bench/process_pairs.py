#!/usr/bin/env python3
"""Whole-process pairs: orvex-cli against a small OpenCV program doing the
same (process/PeerProcess.cpp) on a 16-MP grey picture: read, one
operation, write (the statistics write nothing). Each pair runs the two
commands in turn, after one run of each that is not counted, and prints the
median wall time of each side and their ratio.

    bench/process_pairs.py BUILD_DIR [RUNS]

BUILD_DIR is a Release build with -DORVEX_BENCH=ON (make bench makes one).
"""

import pathlib
import statistics
import subprocess
import sys
import tempfile
import time

import cv2
import numpy

SIDE = 4096  # 16 MP
OPERATIONS = [  # orvex-cli's words, the peer's word
    (["--negative"], "negative"),
    (["--filter", "Lissage Plat 3x3 1"], "filter3"),
    (["--dilate"], "dilate"),
    (["--rotate", "90"], "rotate90"),
    (["--stats"], "stats"),
]
INPUTS = ["bmp", "tif", "png", "jpg"]


def picture():
    """A smooth field with noise on it, as a photograph's levels are: the
    coders neither find it all alike nor all random."""
    y, x = numpy.mgrid[0:SIDE, 0:SIDE]
    field = 128 + 60 * numpy.sin(x / 300.0) * numpy.cos(y / 410.0)
    noise = numpy.random.default_rng(7).normal(0, 6, (SIDE, SIDE))
    return numpy.clip(field + noise, 0, 255).astype(numpy.uint8)


def wall(command):
    start = time.perf_counter()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start


def main():
    build = pathlib.Path(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    cli = build / "cli" / "orvex-cli"
    peer = build / "bench" / "process" / "orvex-peer-process"
    with tempfile.TemporaryDirectory() as folder:
        folder = pathlib.Path(folder)
        levels = picture()
        for extension in INPUTS:
            cv2.imwrite(str(folder / f"in.{extension}"), levels)
        print(f"{'input':6} {'operation':10} {'orvex-cli s':>12} {'peer s':>8} {'ratio':>6}")
        for extension in INPUTS:
            written = "png" if extension == "jpg" else extension
            for words, operation in OPERATIONS:
                source = str(folder / f"in.{extension}")
                ours = [str(cli), source, *words]
                theirs = [str(peer), source, operation]
                if operation != "stats":
                    ours += ["-o", str(folder / f"ours.{written}")]
                    theirs += [str(folder / f"theirs.{written}")]
                wall(ours), wall(theirs)
                pairs = [(wall(ours), wall(theirs)) for _ in range(runs)]
                a = statistics.median(p[0] for p in pairs)
                b = statistics.median(p[1] for p in pairs)
                ratio = statistics.median(p[0] / p[1] for p in pairs)
                print(f"{extension:6} {operation:10} {a:12.3f} {b:8.3f} {ratio:6.2f}", flush=True)


if __name__ == "__main__":
    main()
