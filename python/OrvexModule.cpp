// The `orvex` module: Orvex's engine, steps and measurements for Python.

#include <pybind11/pybind11.h>

#include "Parallel.h"
#include "PyModule.h"

PYBIND11_MODULE(orvex, module) {
    module.doc() =
        "Orvex's engine for Python: pictures as numpy arrays, the steps of orvex-cli as "
        "methods, with the same results and the same history, measurements and recipes.\n\n"
        "    import orvex\n"
        "    p = orvex.open('cells.png')\n"
        "    p.negative()\n"
        "    p.measure()['mean'], p.levels.shape\n";
    RegisterFileError(module);
    py::register_exception<OperationError>(module, "OperationError", PyExc_RuntimeError);

    py::class_<CPyPicture> picture(module, "Picture",
                                   "One picture with its undo copy, history and recipe.");
    BindPicture(module, picture);
    BindSteps(picture);
    BindMeasures(module, picture);
    BindRecipes(module, picture);

    module.def("set_workers", &SetWorkerCount, py::arg("count"),
               "Threads each heavy step uses; 0, the default, is one a core.");
    module.def("workers", &GetWorkerCount, "The worker count set by set_workers (0: one a core).");
}
