"""What the tests of the orvex module share: orvex-cli to compare with, the
test pictures, and a picture of random levels made with Pillow."""

import os
import pathlib
import subprocess

import numpy
import pytest
from PIL import Image

import orvex

DATA = pathlib.Path(os.environ.get("ORVEX_TESTDATA", pathlib.Path(__file__).parents[1] / "data"))
CLI = os.environ.get("ORVEX_CLI", "orvex-cli")


def run_cli(*args, check=True):
    """orvex-cli with `args`; its standard output."""
    done = subprocess.run([CLI, *map(str, args)], capture_output=True, text=True)
    if check and done.returncode != 0:
        raise AssertionError(f"orvex-cli {' '.join(map(str, args))}: {done.stderr}")
    return done


@pytest.fixture(scope="session")
def random_bmp(tmp_path_factory):
    """A 67 x 41 picture of random levels (odd sizes: rows are padded)."""
    path = tmp_path_factory.mktemp("pictures") / "random.bmp"
    levels = numpy.random.default_rng(7).integers(0, 256, (41, 67), dtype=numpy.uint8)
    Image.fromarray(levels, "L").save(path)
    return path


@pytest.fixture(scope="session")
def inputs(random_bmp):
    """Pictures of several shapes and palettes the steps are compared on."""
    return [random_bmp, DATA / "bmpsuite/g/pal8-0.bmp", DATA / "formats/png-grey8.png"]


def same_picture(a, b):
    """Whether two pictures hold the same levels, colours and size."""
    return (a.width, a.height, a.bits) == (b.width, b.height, b.bits) and numpy.array_equal(
        a.levels, b.levels) and numpy.array_equal(a.palette(), b.palette())


__all__ = ["DATA", "CLI", "run_cli", "same_picture", "orvex"]
