#pragma once
// The parts of the `orvex` module, each adding its names.

#include <pybind11/pybind11.h>

#include "PyPicture.h"

void BindPicture(py::module_& module, py::class_<CPyPicture>& picture);
void BindSteps(py::class_<CPyPicture>& picture);
void BindMeasures(py::module_& module, py::class_<CPyPicture>& picture);
void BindRecipes(py::module_& module, py::class_<CPyPicture>& picture);

// A row of the measurement table as a dict of its columns, with the values
// the table would write.
py::dict MeasureRowDict(const CMeasureRow& row);

// A path as the system spells it: str, bytes or any os.PathLike.
std::string FilePath(const py::object& path);
