"""Recipes and files: a session in Python replayed by orvex-cli and by
orvex.Recipe gives the same bytes and history; saves are complete or absent."""

import os

import numpy
import pytest

import orvex
from conftest import DATA, run_cli


def session(picture):
    """Steps of every kind: a region, a palette of its own, a measurement."""
    picture.roi = (2, 3, 15, 12)
    picture.negative()
    picture.filter("Lissage Gaussien 3x3 1")
    picture.roi = None
    colours = numpy.zeros((256, 3), numpy.uint8)
    colours[:, 1] = numpy.arange(256)[::-1]
    picture.palette(colours)
    picture.measure()
    picture.rotate(90)
    picture.threshold(30, 180)


def test_a_python_session_replays_in_orvex_cli_and_in_python(inputs, tmp_path):
    first = orvex.open(inputs[0])
    session(first)
    recipe_path = tmp_path / "session.txt"
    first.recipe(recipe_path)
    assert (tmp_path / "session-1.pal").exists()
    # The same text but for the names the recipe gives itself and its palettes.
    assert recipe_path.read_text().split() == first.recipe().replace("random", "session").split()

    for number, other in enumerate(inputs[1:]):
        out, table = tmp_path / f"cli-{number}.bmp", tmp_path / f"t-{number}.csv"
        history = run_cli(other, "--recipe", recipe_path, "--history", "-o", out, "--table",
                          table).stdout.splitlines()
        picture = orvex.open(other)
        rows = orvex.Recipe.load(recipe_path).apply(picture)
        assert picture.history == history
        picture.save(tmp_path / "python.bmp")
        assert (tmp_path / "python.bmp").read_bytes() == out.read_bytes()
        header, values = table.read_text().splitlines()
        assert [{k: str(v) for k, v in r.items()} for r in rows] == [
            dict(zip(header.split(","), values.split(",")))]


def test_set_levels_makes_the_recipe_unreplayable():
    picture = orvex.uniform(3, 3, 0)
    picture.set_levels(numpy.ones((3, 3), numpy.uint8))
    text = picture.recipe()
    assert "CANNOT BE REPLAYED" in text and "--set-levels" in text
    with pytest.raises(ValueError, match="cannot be replayed"):
        orvex.Recipe.parse(text)


@pytest.mark.parametrize("text,said", [
    ("--negative\n--rotate 45\n", "<recipe>:2: --rotate: rotate expects 90, 180 or 270"),
    ("--threshold 1\n", "<recipe>:1: --threshold: expects LOW,HIGH"),
    ("# a comment\n--info\n", "<recipe>:2: '--info' is no operation"),
    ("--negative 3\n", "<recipe>:1: --negative takes no value"),
    ('--filter "Lissage\n', "<recipe>:1:"),
    ("--recipe other.txt\n", "<recipe>:1: '--recipe'"),
])
def test_a_bad_recipe_line_is_found_before_any_step_runs(text, said):
    with pytest.raises(ValueError) as raised:
        orvex.Recipe.parse(text)
    assert str(raised.value).startswith(said)


def test_recipe_lines_in_every_spelling():
    recipe = orvex.Recipe.parse("--rotate=90\n  --filter 'Lissage Gaussien 3x3 1'  # smooth\n\n")
    assert recipe.operations == [("--rotate", "90"), ("--filter", "Lissage Gaussien 3x3 1")]


@pytest.mark.parametrize("extension", ["bmp", "png", "tif", "pgm", "gif"])
def test_save_writes_what_orvex_cli_writes(extension, random_bmp, tmp_path):
    out = tmp_path / f"cli.{extension}"
    run_cli(random_bmp, "--negative", "-o", out)
    picture = orvex.open(random_bmp)
    picture.negative()
    picture.save(tmp_path / f"python.{extension}")
    assert (tmp_path / f"python.{extension}").read_bytes() == out.read_bytes()
    picture.save(tmp_path / "named", format=extension)
    assert (tmp_path / "named").read_bytes() == out.read_bytes()


def test_a_failed_save_leaves_the_old_file(random_bmp, tmp_path):
    target = tmp_path / "old.pgm"
    target.write_bytes(b"old")
    colour = orvex.open(DATA / "bmpsuite/g/rgb24.bmp")
    with pytest.raises(orvex.FileError):
        colour.save(target)
    assert target.read_bytes() == b"old"
    with pytest.raises(orvex.FileError) as raised:
        orvex.open(random_bmp).save(tmp_path / "missing" / "x.bmp")
    assert "No such file or directory" in str(raised.value)
    with pytest.raises(ValueError, match="no format"):
        orvex.open(random_bmp).save(tmp_path / "x.jpg")
    assert sorted(p.name for p in tmp_path.iterdir()) == ["old.pgm"]
