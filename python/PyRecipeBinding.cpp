// Files and recipes: Picture.save, Picture.recipe and orvex.Recipe.

#include "PyModule.h"
#include "PyRecipe.h"

void BindRecipes(py::module_& module, py::class_<CPyPicture>& picture) {
    picture.def(
        "save",
        [](CPyPicture& p, const py::object& path, const std::optional<std::string>& format) {
            p.Save(FilePath(path), format.value_or(""));
        },
        py::arg("path"), py::arg("format") = py::none(),
        "Writes the picture, in the format of the path's extension as orvex-cli -o does, or "
        "in `format` (bmp, png, tif, pgm, ppm, pbm, gif). Complete or not at all: a failed "
        "save leaves the old file as it was. orvex.FileError with orvex-cli's reason.");
    picture.def(
        "recipe",
        [](CPyPicture& p, const py::object& path) -> py::object {
            if (path.is_none()) return py::str(p.Recipe());
            p.WriteRecipe(FilePath(path));
            return py::none();
        },
        py::arg("path") = py::none(),
        "The recipe of what was done, one orvex-cli operation a line, the same text as the "
        "desktop program exports. With a path, it is written there, with the palette files it "
        "names beside it.");

    py::class_<CPyRecipe>(module, "Recipe",
                          "A recipe: orvex-cli operations, one a line, every line checked when "
                          "it is read.")
        .def_static(
            "load", [](const py::object& path) { return CPyRecipe::Load(FilePath(path)); },
            py::arg("path"),
            "Reads a recipe file; palette files it names are taken from its folder.")
        .def_static(
            "parse",
            [](const std::string& text, const py::object& folder) {
                return CPyRecipe::Parse(text, "<recipe>", FilePath(folder));
            },
            py::arg("text"), py::arg("folder") = ".",
            "A recipe from its text; palette files it names are taken from `folder`.")
        .def_property_readonly("text", &CPyRecipe::Text)
        .def_property_readonly(
            "operations",
            [](const CPyRecipe& r) {
                py::list operations;
                for (const CPyRecipe::Line& line : r.Lines())
                    operations.append(py::make_tuple(line.flag, line.argument));
                return operations;
            },
            "The operations in order, as (flag, argument) pairs.")
        .def("__len__", [](const CPyRecipe& r) { return r.Lines().size(); })
        .def(
            "apply",
            [](const CPyRecipe& r, CPyPicture& picture, bool undo) {
                py::list rows;
                for (const CMeasureRow& row : r.Apply(picture, undo))
                    rows.append(MeasureRowDict(row));
                return rows;
            },
            py::arg("picture"), py::kw_only(), py::arg("undo") = true,
            "Runs the recipe on the picture, step after step, as orvex-cli --recipe does; the "
            "rows its --measure lines made.");
}
