"""The file's own values: kept as the file holds them, measured as numpy
measures them, windowed as the reader rounds."""

import numpy
import pytest
from PIL import Image

import orvex
from conftest import run_cli


def deep_file(path, dtype):
    """A 29 x 37 TIFF of random samples of `dtype` (a float one with NaN)."""
    rng = numpy.random.default_rng(3)
    if dtype == "float32":
        samples = rng.normal(5, 100, (29, 37)).astype(numpy.float32)
        samples[3, 4] = samples[20, 0] = numpy.nan
    else:
        info = numpy.iinfo(dtype)
        samples = rng.integers(info.min, info.max, (29, 37), dtype=dtype, endpoint=True)
    Image.fromarray(samples).save(path)
    return samples


@pytest.mark.parametrize("dtype, depth", [("uint16", "16"), ("int32", "32s"), ("float32", "32f")])
def test_values_are_the_files_samples_measured_as_numpy_does(tmp_path, dtype, depth):
    samples = deep_file(tmp_path / "deep.tif", dtype)
    p = orvex.open(str(tmp_path / "deep.tif"))
    values = p.values
    assert values.dtype == samples.dtype and not values.flags.writeable
    numpy.testing.assert_array_equal(values, samples)
    assert p.info["sample_depth"] == depth
    row = p.measure()
    numbers = samples[~numpy.isnan(samples)] if dtype == "float32" else samples
    numbers = numbers.astype(numpy.float64)
    assert row["value_depth"] == depth
    assert (row["value_min"], row["value_max"]) == (numbers.min(), numbers.max())
    assert row["value_mean"] == pytest.approx(numbers.mean(), rel=1e-9)
    assert row["value_sd"] == pytest.approx(numbers.std(), rel=1e-9)
    assert row["value_nan"] == samples.size - numbers.size
    assert list(row)[-1] == "error"


def test_a_window_levels_as_the_reader_rounds_and_undo_brings_it_back(tmp_path):
    samples = deep_file(tmp_path / "deep.tif", "uint16")
    p = orvex.open(str(tmp_path / "deep.tif"))
    opened = p.levels.copy()
    low = numpy.percentile(samples, 0.35, method="lower")
    high = numpy.percentile(samples, 99.65, method="higher")
    p.window(saturate=0.35)
    assert p.info["window"] == (low, high)
    v = numpy.clip(samples.astype(numpy.int64), low, high) - int(low)
    span = int(high - low)
    numpy.testing.assert_array_equal(p.levels, (2 * v * 255 + span) // (2 * span))
    assert p.history[-1] == f"Image 16 bits : fenêtre {int(low)}..{int(high)}"
    p.undo()
    numpy.testing.assert_array_equal(p.levels, opened)
    # A step that changes the levels lets the samples go; its undo brings them back.
    p.negative()
    assert p.values is None and p.history[-1] == "Valeurs du fichier abandonnées"
    p.undo()
    numpy.testing.assert_array_equal(p.values, samples)


def test_an_8_bit_picture_has_no_values_and_measures_its_levels(random_bmp):
    p = orvex.open(str(random_bmp))
    assert p.values is None
    with pytest.raises(orvex.OperationError, match="needs the file's own samples"):
        p.window()
    row = p.measure()
    levels = numpy.asarray(Image.open(random_bmp), dtype=numpy.float64)
    assert row["value_depth"] == "8" and row["value_nan"] == 0
    assert row["value_mean"] == pytest.approx(levels.mean(), rel=1e-12)
    assert row["value_sd"] == pytest.approx(levels.std(), rel=1e-12)


def test_depth_keep_writes_the_samples_as_they_are(tmp_path):
    samples = numpy.random.default_rng(5).integers(0, 4096, (23, 31)).astype(numpy.uint16)
    deep = tmp_path / "deep12.pgm"
    deep.write_bytes(b"P5\n31 23\n4095\n" + samples.astype(">u2").tobytes())
    for extension in ["tif", "png", "pgm"]:
        out = tmp_path / f"out.{extension}"
        # A window is no change of the samples.
        run_cli(deep, "--window", "100,200", "--depth", "keep", "-o", out)
        if extension != "pgm":
            numpy.testing.assert_array_equal(numpy.asarray(Image.open(out)), samples)
    # Pillow scales a PGM to its maximum: the bytes are read as they are.
    assert (tmp_path / "out.pgm").read_bytes() == deep.read_bytes()
    floats = deep_file(tmp_path / "float.tif", "float32")
    run_cli(tmp_path / "float.tif", "--depth", "keep", "-o", tmp_path / "copy.tif")
    numpy.testing.assert_array_equal(numpy.asarray(Image.open(tmp_path / "copy.tif")), floats)
    # Refused with the reason, nothing written.
    for args, said in [((tmp_path / "float.tif", "-o", tmp_path / "f.png"),
                        "PNG files cannot hold the file's own 32-bit floating-point samples"),
                       ((deep, "--negative", "-o", tmp_path / "f.png"),
                        "a step changed the levels")]:
        done = run_cli(*args, "--depth", "keep", check=False)
        assert done.returncode == 1 and said in done.stderr
        assert not (tmp_path / "f.png").exists()
