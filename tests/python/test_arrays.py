"""Pictures as numpy arrays: views without copies that keep their levels,
pictures made from arrays of any layout, levels and palettes set."""

import gc

import numpy
import pytest

import orvex

rng = numpy.random.default_rng(11)


def address(array):
    return array.__array_interface__["data"][0]


def test_levels_is_a_read_only_view_on_the_picture():
    levels = rng.integers(0, 256, (5, 7), dtype=numpy.uint8)
    picture = orvex.Picture(levels)
    view = picture.levels
    assert view.dtype == numpy.uint8 and view.shape == (5, 7)
    assert numpy.array_equal(view, levels)  # row 0 at the top
    assert not view.flags.writeable and not view.flags.owndata
    with pytest.raises(ValueError):
        view[0, 0] = 1
    # No copy: each call shows the same memory, the picture's own.
    assert address(picture.levels) == address(view)
    assert numpy.asarray(picture).__array_interface__["data"][0] == address(view)


def test_a_view_keeps_the_levels_it_was_made_from():
    picture = orvex.uniform(6, 4, 30)
    before = picture.levels
    picture.negative()
    assert (before == 30).all() and (picture.levels == 225).all()
    after_negative = picture.levels
    picture.rotate(90)  # a new block
    picture.undo()
    assert (after_negative == 225).all() and picture.levels.shape == (4, 6)
    del picture
    gc.collect()
    # The picture is gone; its views still own their rows.
    assert before.sum() == 30 * 24 and after_negative.sum() == 225 * 24


def test_colour_levels_are_red_first():
    colours = rng.integers(0, 256, (3, 5, 3), dtype=numpy.uint8)
    picture = orvex.Picture(colours)
    assert picture.bits == 24
    assert numpy.array_equal(picture.levels, colours)


@pytest.mark.parametrize("make", [
    lambda a: a,
    lambda a: numpy.asfortranarray(a),
    lambda a: a[::-1, ::2],
    lambda a: a.T,
], ids=["C", "F", "strided", "transposed"])
def test_picture_from_any_layout(make):
    source = make(rng.integers(0, 256, (9, 14), dtype=numpy.uint8))
    assert numpy.array_equal(orvex.Picture(source).levels, source)


def test_picture_with_a_palette():
    palette = rng.integers(0, 256, (256, 3), dtype=numpy.uint8)
    picture = orvex.Picture(numpy.zeros((2, 2), numpy.uint8), palette)
    assert numpy.array_equal(picture.palette(), palette)
    assert picture.history == ["IMAGE BITMAP - HISTORIQUE", "Image : 2 x 2"]


def test_set_levels_goes_through_the_undo_copy():
    picture = orvex.uniform(3, 2, 5)
    new = numpy.arange(6, dtype=numpy.uint8).reshape(2, 3)
    picture.set_levels(numpy.asfortranarray(new))
    assert numpy.array_equal(picture.levels, new)
    assert picture.history[-1] == "Niveaux remplacés"
    picture.undo()
    assert (picture.levels == 5).all()


@pytest.mark.parametrize("bad", [
    numpy.zeros((2, 2), numpy.uint8),
    numpy.zeros((2, 3), numpy.int16),
    numpy.zeros((2, 3, 1), numpy.uint8),
])
def test_set_levels_refuses_another_shape_or_type(bad):
    picture = orvex.uniform(3, 2, 5)
    with pytest.raises(ValueError):
        picture.set_levels(bad)
    assert picture.history == ["IMAGE BITMAP - HISTORIQUE", "Image uniforme(3,2)"]


def test_custom_palette_from_an_array():
    picture = orvex.uniform(2, 2, 0)
    colours = numpy.zeros((256, 3), numpy.uint8)
    colours[:, 0] = numpy.arange(256)
    picture.palette(colours)
    assert numpy.array_equal(picture.palette(), colours)
    assert picture.history[-1] == "Palette personalisée"


def test_roi_is_given_row_0_at_the_top():
    picture = orvex.uniform(10, 8, 0)
    picture.roi = (1, 2, 5, 3)
    assert picture.roi == (1, 2, 5, 3)
    picture.negative()
    assert numpy.argwhere(picture.levels == 255).min(axis=0).tolist() == [2, 1]
    picture.roi = None
    assert picture.roi == (0, 0, 10, 8)
