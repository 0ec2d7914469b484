#pragma once
// The parts of the `orvex` module, each adding its names.

#include <pybind11/pybind11.h>

#include "PyPicture.h"

void BindPicture(py::module_& module, py::class_<CPyPicture>& picture);
void BindSteps(py::class_<CPyPicture>& picture);
void BindMeasures(py::module_& module, py::class_<CPyPicture>& picture);
