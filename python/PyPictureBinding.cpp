// orvex.open, orvex.uniform and the picture's own attributes.

#include <pybind11/stl.h>

#include "PyActions.h"
#include "PyModule.h"

namespace {

void SetRoi(CPyPicture& picture, const py::object& roi) {
    if (roi.is_none() || (py::isinstance<py::str>(roi) && roi.cast<std::string>() == "all"))
        return picture.SetRoi(std::nullopt);
    const auto v = roi.cast<std::vector<int>>();
    if (v.size() != 4) ThrowValue("roi is (left, top, right, bottom), None or \"all\"");
    picture.SetRoi(CRect{v[0], v[1], v[2], v[3]});
}

}  // namespace

std::string FilePath(const py::object& path) {
    return py::bytes(py::module_::import("os").attr("fsencode")(path));
}

void BindPicture(py::module_& module, py::class_<CPyPicture>& picture) {
    module.def(
        "open",
        [](const py::object& path, int page) { return CPyPicture::Open(FilePath(path), page); },
        py::arg("path"), py::arg("page") = 1,
        "Reads a picture file (BMP, PNG, TIFF, JPEG, PGM/PPM/PBM, GIF; the format from "
        "its first bytes). orvex.FileError, an OSError, with orvex-cli's reason when it "
        "cannot be read.");
    module.def(
        "uniform",
        [](long long width, long long height, long long level) {
            const PictureAction action = UniformAction(width, height, level);
            auto picture = std::make_unique<CPyPicture>();
            RunAction(*picture, action, true);
            return picture;
        },
        py::arg("width"), py::arg("height"), py::arg("level") = 0,
        "A new picture of one grey level 0 .. 255: \"Image uniforme(w,h)\".");

    picture.def(py::init(&CPyPicture::FromArray), py::arg("array"), py::arg("palette") = py::none(),
                "A picture made from a 2-D uint8 array of levels (row 0 at the top) with an "
                "optional (256, 3) palette, or from an (h, w, 3) uint8 array of RGB colours. "
                "The pixels are copied in.");
    picture.def_property_readonly("width", &CPyPicture::Width);
    picture.def_property_readonly("height", &CPyPicture::Height);
    picture.def_property_readonly("bits", &CPyPicture::Bits,
                                  "Bits a pixel, as orvex-cli --info says: 8 for levels.");
    picture.def_property_readonly("history", &CPyPicture::History,
                                  "The processing history, one line a step.");
    picture.def_property_readonly(
        "info", &CPyPicture::Info,
        "What the file held: format, pages, sample_bits, sample_kind, sample_depth (\"12\", "
        "\"16s\", \"32f\" while the file's own samples are kept, else None), window (the "
        "ends the levels come from, for deeper samples), alpha, lossy, colors, notes.");
    picture.def_property_readonly(
        "values", &CPyPicture::Values,
        "The file's own samples, kept beside the levels of a grey file deeper than 8 bits: a "
        "read-only array (height, width), row 0 at the top, of their own dtype (uint16, int16, "
        "uint32, int32 or float32) holding the file's values unscaled. None for an 8-bit "
        "picture, and once a step other than a window changed the levels (undoing it brings "
        "them back).");
    picture.def_property_readonly(
        "levels", &CPyPicture::Levels,
        "The levels, a read-only uint8 array (height, width), row 0 at the top: a view on the "
        "picture's own memory, no copy. It keeps the levels it was made on: steps that follow "
        "do not change it. A 24-bit picture gives (height, width, 3), red first.");
    picture.def_property("roi", &CPyPicture::Roi, &SetRoi,
                         "The region of interest (left, top, right, bottom), row 0 at the top; "
                         "None or \"all\" sets the whole picture.");
    picture.def("set_levels", &CPyPicture::SetLevels, py::arg("array"),
                "Copies a uint8 array of the picture's shape into its levels, through the undo "
                "copy: \"Niveaux remplacés\". A recipe with this step cannot be replayed.");
    picture.def(
        "__array__",
        [](CPyPicture& p, const py::object& dtype, const py::object&) {
            py::array levels = p.Levels();
            if (dtype.is_none()) return levels;
            return py::array(levels.attr("astype")(dtype));
        },
        py::arg("dtype") = py::none(), py::arg("copy") = py::none());
    picture.def("__repr__", [](CPyPicture& p) {
        return "<orvex.Picture " + std::to_string(p.Width()) + " x " + std::to_string(p.Height()) +
               ", " + std::to_string(p.Bits()) + " bits>";
    });
}
