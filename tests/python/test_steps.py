"""Every step from Python gives orvex-cli's picture and history lines."""

import numpy
import pytest

import orvex
from conftest import run_cli, same_picture

KERNEL = [[1, 2, 1], [0, -3, 0], [-1, 5, -1]]

# (what Python calls, what orvex-cli is given)
STEPS = [
    (lambda p: p.negative(), ["--negative"]),
    (lambda p: p.flip_h(), ["--flip-h"]),
    (lambda p: p.flip_v(), ["--flip-v"]),
    (lambda p: p.rotate(90), ["--rotate", "90"]),
    (lambda p: p.rotate(270), ["--rotate", "270"]),
    (lambda p: p.resize(50, 23), ["--resize", "50,23"]),
    (lambda p: p.palette_bar(), ["--palette-bar"]),
    (lambda p: p.palette("heat"), ["--palette", "heat"]),
    (lambda p: p.threshold(40, 200), ["--threshold", "40,200"]),
    (lambda p: p.adaptive(0.7), ["--adaptive", "0.7"]),
    (lambda p: p.dynamic("power:3"), ["--dynamic", "power:3"]),
    (lambda p: p.dynamic("log"), ["--dynamic", "log"]),
    (lambda p: p.filter("Lissage Gaussien 3x3 1"), ["--filter", "Lissage Gaussien 3x3 1"]),
    (lambda p: p.kernel(KERNEL), ["--kernel", "3:1,2,1,0,-3,0,-1,5,-1"]),
    (lambda p: p.contours(), ["--contours"]),
    (lambda p: p.dilate(), ["--dilate"]),
    (lambda p: p.erode(), ["--erode"]),
    (lambda p: p.open(), ["--open"]),
    (lambda p: p.close(), ["--close"]),
    (lambda p: p.perspective("cloud", amplitude=40, border=5, background=90),
     ["--perspective", "cloud:40,5,30,30,90,255"]),
    (lambda p: p.perspective(), ["--perspective", "gradient"]),
    (lambda p: (setattr(p, "roi", (3, 2, 10, 7)), p.negative(), p.filter("Laplacien 3x3 Contraste 4")),
     ["--roi", "3,2,10,7", "--negative", "--filter", "Laplacien 3x3 Contraste 4"]),
    (lambda p: (p.negative(), p.rotate(180), p.undo()),
     ["--negative", "--rotate", "180", "--undo"]),
]


@pytest.mark.parametrize("step,cli_args", STEPS, ids=[" ".join(s[1]) for s in STEPS])
def test_step_equals_cli(step, cli_args, inputs, tmp_path):
    for number, path in enumerate(inputs):
        out = tmp_path / f"{number}.bmp"
        history = run_cli(path, *cli_args, "--history", "-o", out).stdout.splitlines()
        picture = orvex.open(path)
        step(picture)
        assert picture.history == history
        assert same_picture(picture, orvex.open(out))
        picture.save(tmp_path / "python.bmp")
        assert (tmp_path / "python.bmp").read_bytes() == out.read_bytes()


def test_grey_of_a_colour_picture_equals_cli(tmp_path):
    from conftest import DATA
    path = DATA / "bmpsuite/g/rgb24.bmp"
    picture = orvex.open(path)
    assert picture.bits == 24
    picture.grey()
    history = run_cli(path, "--grey", "--history", "-o", tmp_path / "g.bmp").stdout.splitlines()
    assert picture.history == history
    assert same_picture(picture, orvex.open(tmp_path / "g.bmp"))


def test_measure_and_histogram_equal_cli(random_bmp, tmp_path):
    picture = orvex.open(random_bmp)
    picture.roi = (5, 6, 40, 30)
    row = picture.measure(histogram=True)
    table = tmp_path / "t.csv"
    run_cli(random_bmp, "--roi", "5,6,40,30", "--measure-histogram", "--table", table)
    header, values = table.read_text().splitlines()
    expected = dict(zip(header.split(","), values.split(",")))
    assert {k: str(v) for k, v in row.items()} == expected
    counts = run_cli(random_bmp, "--roi", "5,6,40,30", "--histogram").stdout.split()
    assert picture.histogram().tolist() == [int(c) for c in counts[1::2]]
    assert picture.histogram().dtype == numpy.int64


def test_measure_table_rows_in_order(inputs):
    made = orvex.Picture(numpy.full((2, 3), 9, numpy.uint8))
    rows = orvex.measure_table([inputs[0], made, str(inputs[1]), "no-such.png"])
    assert [r["file"] for r in rows] == [str(inputs[0]), "", str(inputs[1]), "no-such.png"]
    assert rows[1]["mean"] == 9 and rows[1]["pixels"] == 6
    # A file that cannot be read keeps its row, which says why, as orvex-cli's does.
    assert rows[3]["error"] == "No such file or directory" and rows[3]["mean"] is None
    assert all(not r["error"] for r in rows[:3])
    # A second measurement of the same picture is its step 2, as in a table.
    assert made.measure()["step"] == 2


def test_undo_false_takes_no_copy():
    picture = orvex.uniform(4, 4, 10)
    picture.negative(undo=False)
    with pytest.raises(orvex.OperationError, match="nothing to undo"):
        picture.undo()
    assert picture.levels[0, 0] == 245


def test_many_calls_keep_every_history_line_and_recipe_line():
    picture = orvex.uniform(3, 2, 7)
    for _ in range(501):
        picture.negative(undo=False)
    assert picture.history[2:] == ["Inverse"] * 501
    assert picture.recipe().count("\n--negative ") == 501
    assert picture.levels[0, 0] == 248


def test_kernels_catalogue_keys_work_with_filter():
    kernels = orvex.kernels()
    assert len(kernels) == 80
    picture = orvex.uniform(9, 9, 100)
    for entry in kernels[:: 13]:
        assert len(entry["coefficients"]) == entry["size"]
        picture.filter(entry["key"], undo=False)


def test_a_page_of_a_stack_equals_cli(tmp_path):
    from conftest import DATA
    path = DATA / "formats/gif-3frames.gif"
    picture = orvex.open(path, page=2)
    out = tmp_path / "page2.bmp"
    history = run_cli(path, "--pages", "2", "--history", "-o", out).stdout.splitlines()
    assert picture.history == history
    assert same_picture(picture, orvex.open(out))
    with pytest.raises(orvex.FileError):
        orvex.open(path, page=9)
