#!/usr/bin/python3
"""The orvex module's speed: the cost of one call on a 1 x 1 picture, then the
steps on a 4096 x 4096 picture of random levels (16.8 MP, the C++ bench's
size) without undo copies, as the C++ rows run, beside the C++ rows of the
last `make bench` run and beside OpenCV's Python module where it is
installed. Run under `make bench`; PYTHONPATH names the module's folder.

Each step is timed as its C++ row times it: a step the row repeats on one
picture is repeated here on one picture (made outside the timing), a step the
row runs on a fresh copy (resize) gets a fresh picture each time, so both
sides find the picture in the same state of the caches and the allocator.

Usage: python_bench.py [BENCH.json] [--repetitions N]
"""

import argparse
import json
import statistics
import sys
import time

import numpy

import orvex

try:
    import cv2
except ImportError:
    cv2 = None

SIDE = 4096
# The C++ row's kernel: flat, divided by its sum.
FLAT = [[1, 1, 1], [1, 1, 1], [1, 1, 1]]
KERNEL = numpy.ones((3, 3), numpy.float32) / 9
ONES = numpy.ones((3, 3), numpy.uint8)

# step, what the picture runs, the C++ row, what OpenCV runs
CASES = [
    ("negative", lambda p: p.negative(undo=False), "Reverse",
     lambda a: cv2.bitwise_not(a)),
    ("flip_h", lambda p: p.flip_h(undo=False), "FlipHorizontal", lambda a: cv2.flip(a, 1)),
    ("flip_v", lambda p: p.flip_v(undo=False), "FlipVertical", lambda a: cv2.flip(a, 0)),
    ("rotate(90)", lambda p: p.rotate(90, undo=False), "Rotate 90",
     lambda a: cv2.rotate(a, cv2.ROTATE_90_CLOCKWISE)),
    ("resize(2048, 2048)", lambda p: p.resize(SIDE // 2, SIDE // 2, undo=False), "Resize 1/2",
     lambda a: cv2.resize(a, (SIDE // 2, SIDE // 2), interpolation=cv2.INTER_NEAREST)),
    ("kernel 3x3", lambda p: p.kernel(FLAT, undo=False), "Filter 3x3",
     lambda a: cv2.filter2D(a, -1, KERNEL)),
    ("dilate", lambda p: p.dilate(undo=False), "MorphoDilate", lambda a: cv2.dilate(a, ONES)),
    ("histogram()", lambda p: p.histogram(), "GenerateHistogram",
     lambda a: cv2.calcHist([a], [0], None, [256], [0, 256])),
    ("measure()", lambda p: p.measure(), "GetMean+GetStdev", lambda a: cv2.meanStdDev(a)),
]


# The C++ rows that load a fresh picture before each run (OursFresh).
FRESH_ROWS = {"Resize 1/2"}


def median_ms(run, prepare, repetitions, fresh=True):
    """Median time of `run(subject)` in milliseconds. The subject comes from
    prepare(), outside the timing: a new one for each run when `fresh`, else
    one for every run. A step repeated on one subject is timed, as the C++
    rows time it, over a batch of calls back to back (about 20 ms), so that
    a single call's wake-up does not stand for the step."""
    times = []
    subject = None
    batch = 1
    for _ in range(repetitions):
        if fresh or subject is None:
            subject = None  # the last one let go before the next is made
            subject = prepare()
            if not fresh:
                start = time.perf_counter()
                run(subject)
                batch = max(1, round(0.02 / max(time.perf_counter() - start, 1e-6)))
        start = time.perf_counter()
        for _ in range(batch):
            run(subject)
        times.append((time.perf_counter() - start) / batch)
    return statistics.median(times) * 1e3


def call_overhead_us(calls=20000, rounds=7):
    """The best time of one negative() on a 1 x 1 picture, in microseconds."""
    best = float("inf")
    for _ in range(rounds):
        picture = orvex.uniform(1, 1, 0)
        step = picture.negative
        start = time.perf_counter()
        for _ in range(calls):
            step(undo=False)
        best = min(best, (time.perf_counter() - start) / calls)
    return best * 1e6


def cpp_rows(path):
    """The C++ medians of `make bench`'s JSON output: {(row, cores): ms}."""
    if not path:
        return {}
    with open(path) as f:
        report = json.load(f)
    rows = {}
    for b in report["benchmarks"]:
        if b.get("aggregate_name") != "median" or not b["name"].startswith("ours/"):
            continue
        # "ours/Resize 1/2/1 core/real_time": a name may hold a slash.
        run = b["run_name"].removeprefix("ours/").removesuffix("/real_time")
        name, cores = run.rsplit("/", 1)
        scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
        rows[(name, cores)] = b["real_time"] * scale
    return rows


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("cpp_json", nargs="?", help="bench.json of the C++ bench")
    parser.add_argument("--repetitions", type=int, default=15)
    args = parser.parse_args()

    overhead = call_overhead_us()
    print(f"one call on a 1 x 1 picture: {overhead:.2f} us (at most 5 us)")

    levels = numpy.random.default_rng(12345).integers(0, 256, (SIDE, SIDE), dtype=numpy.uint8)
    cpp = cpp_rows(args.cpp_json)
    failed = overhead > 5
    for cores, workers in (("1 core", 1), ("all cores", 0)):
        orvex.set_workers(workers)
        if cv2 is not None:
            cv2.setNumThreads(workers if workers else -1)
        print(f"\n{SIDE} x {SIDE}, {cores}: median of {args.repetitions}, ms")
        print(f"{'step':<20}{'python':>10}{'C++':>10}{'ratio':>8}{'cv2':>10}{'ratio':>8}")
        for name, step, row, peer in CASES:
            fresh = row in FRESH_ROWS
            ours = median_ms(step, lambda: orvex.Picture(levels), args.repetitions, fresh)
            line = f"{name:<20}{ours:>10.2f}"
            cpp_ms = next((v for (r, c), v in cpp.items()
                           if r == row and (c == "1 core") == (workers == 1)), None)
            line += f"{cpp_ms:>10.2f}{ours / cpp_ms:>8.2f}" if cpp_ms else f"{'-':>10}{'':>8}"
            if cv2 is not None:
                theirs = median_ms(peer, lambda: levels.copy(), args.repetitions, fresh)
                line += f"{theirs:>10.2f}{ours / theirs:>8.2f}"
            print(line)
    orvex.set_workers(0)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
