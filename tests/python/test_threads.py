"""Threads: the interpreter runs on while a step computes, pictures are
processed in parallel, and calls on one picture are serialized."""

import threading

import numpy

import orvex


def test_the_interpreter_runs_while_a_step_computes():
    picture = orvex.uniform(1500, 1500, 90)
    done = threading.Event()

    def work():
        for _ in range(3):
            picture.filter("Lissage Gaussien 7x7 1", undo=False)
        done.set()

    worker = threading.Thread(target=work)
    ticks = 0
    worker.start()
    while not done.is_set():
        ticks += 1
    worker.join()
    assert ticks > 1000


def test_two_threads_process_pictures_at_once():
    rng = numpy.random.default_rng(5)
    sources = [rng.integers(0, 256, (300, 211), dtype=numpy.uint8) for _ in range(4)]

    def process(levels):
        picture = orvex.Picture(levels)
        picture.filter("Lissage Gaussien 3x3 1")
        picture.dilate()
        picture.rotate(90)
        return picture.levels

    expected = [process(s) for s in sources]
    results = [None] * len(sources)

    def worker(first):
        for i in range(first, len(sources), 2):
            results[i] = process(sources[i])

    threads = [threading.Thread(target=worker, args=(k,)) for k in range(2)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert all(numpy.array_equal(a, b) for a, b in zip(results, expected))


def test_calls_on_one_picture_are_serialized():
    picture = orvex.uniform(64, 64, 0)

    def negatives():
        for _ in range(50):
            picture.negative()
            picture.levels

    threads = [threading.Thread(target=negatives) for _ in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert picture.history.count("Inverse") == 200
    assert (picture.levels == 0).all()  # an even number of negatives
