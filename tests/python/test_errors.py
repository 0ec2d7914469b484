"""Failures are Python exceptions with orvex-cli's reasons; nothing crashes
the interpreter, whatever the input."""

import errno

import numpy
import pytest

import orvex
from conftest import DATA, run_cli


@pytest.mark.parametrize("name", [
    "formats/bad-png-grey8-cut.png", "formats/bad-pgm-huge.pgm", "formats/bad-gif-palette8-cut.gif",
    "bmpsuite/b/reallybig.bmp", "formats/README.md", "no-such-file.png",
])
def test_unreadable_file_raises_file_error_with_the_cli_reason(name):
    path = DATA / name
    with pytest.raises(orvex.FileError) as raised:
        orvex.open(path)
    assert isinstance(raised.value, OSError)
    said = run_cli(path, "--info", check=False).stderr.strip().splitlines()[-1]
    assert said == f"orvex-cli: {raised.value}"
    assert raised.value.filename == str(path)
    # Only the system's failures carry its error number.
    assert (raised.value.errno == errno.ENOENT) == (name == "no-such-file.png")


@pytest.mark.parametrize("call", [
    lambda p: p.threshold(10, 256),
    lambda p: p.threshold(200, 100),
    lambda p: p.rotate(45),
    lambda p: p.resize(0, 3),
    lambda p: p.dynamic("power:100"),
    lambda p: p.filter("Lissage Gaussien 3x3 9"),
    lambda p: p.kernel([[1, 2], [3, 4]]),
    lambda p: p.kernel([[0, 0, 0], [0, 100, 0], [0, 0, 0]]),
    lambda p: p.palette("purple"),
    lambda p: p.perspective("wave"),
    lambda p: setattr(p, "roi", (1, 2, 3)),
    lambda p: orvex.open(DATA / "bmpsuite/g/pal8-0.bmp", page=0),
])
def test_bad_argument_raises_value_error_and_changes_nothing(call):
    picture = orvex.uniform(5, 5, 1)
    with pytest.raises(ValueError):
        call(picture)
    assert picture.history == ["IMAGE BITMAP - HISTORIQUE", "Image uniforme(5,5)"]


def test_engine_refusals_are_operation_errors():
    flat = orvex.uniform(4, 4, 250)
    with pytest.raises(orvex.OperationError, match="nothing to undo"):
        flat.undo()
    noisy = orvex.Picture(numpy.tile(numpy.array([0, 255], numpy.uint8), (4, 2)))
    with pytest.raises(orvex.OperationError, match="Invalid threshold"):
        noisy.adaptive(5)
    colour = orvex.Picture(numpy.zeros((2, 2, 3), numpy.uint8))
    with pytest.raises(orvex.OperationError, match="needs an 8-bit picture"):
        colour.negative()
    with pytest.raises(orvex.OperationError):
        orvex.open(DATA / "bmpsuite/g/pal4.bmp").levels


def test_random_arrays_and_arguments_never_crash():
    rng = numpy.random.default_rng(3)
    dtypes = [numpy.uint8, numpy.int8, numpy.float32, numpy.uint16, bool]
    calls = [
        lambda p, v: p.rotate(int(v)), lambda p, v: p.resize(int(v), int(v) % 7),
        lambda p, v: p.threshold(int(v), int(v) + 3), lambda p, v: p.adaptive(float(v)),
        lambda p, v: p.dynamic(f"root:{int(v)}"), lambda p, v: setattr(p, "roi", (v, 0, v + 2, 2)),
        lambda p, v: p.kernel(numpy.full((3, 3), v)), lambda p, v: p.perspective(amplitude=int(v)),
        lambda p, v: p.set_levels(numpy.full((p.height, p.width), v % 256, numpy.uint8)),
        lambda p, v: p.undo(), lambda p, v: p.palette(numpy.full((256, 3), v % 256, numpy.uint8)),
    ]
    made = 0
    for _ in range(300):
        shape = tuple(int(s) for s in rng.integers(0, 7, rng.choice([0, 1, 2, 2, 2, 3])))
        array = (rng.random(shape) * 300).astype(dtypes[rng.integers(len(dtypes))])
        try:
            picture = orvex.Picture(array)
        except (ValueError, TypeError, orvex.OperationError):
            continue
        made += 1
        for _ in range(4):
            value = int(rng.integers(-400, 400))
            try:
                calls[rng.integers(len(calls))](picture, value)
            except (ValueError, orvex.OperationError, TypeError):
                pass
        assert picture.levels.shape[:2] == (picture.height, picture.width)
    assert made > 15
