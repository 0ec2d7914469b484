#include "PyErrors.h"

#include <pybind11/eval.h>
#include <pybind11/pybind11.h>

#include <cstring>

CEngineMessages::CEngineMessages()
    : sink_([this](const std::string& text) { text_ += (text_.empty() ? "" : "\n") + text; }) {}

std::string CEngineMessages::Text(const std::string& otherwise) const {
    return text_.empty() ? otherwise : text_;
}

void ThrowValue(const std::string& text) { throw pybind11::value_error(text); }

void RegisterFileError(pybind11::module_& module) {
    // An OSError whose text stays orvex-cli's reason whatever errno and
    // filename hold (an OSError would print "[Errno 2] ...: 'name'" once
    // they are set). Kept for the life of the interpreter, as pybind11 keeps
    // the exception types it registers.
    pybind11::dict scope;
    scope["__name__"] = "orvex";
    pybind11::exec(R"(
class FileError(OSError):
    """A file that cannot be read or written, with orvex-cli's reason."""
    def __str__(self):
        return str(self.args[0]) if self.args else ""
)",
                   scope, scope);
    static const pybind11::handle type = pybind11::object(scope["FileError"]).release();
    module.attr("FileError") = type;
    pybind11::register_exception_translator([](std::exception_ptr thrown) {
        try {
            if (thrown) std::rethrow_exception(thrown);
        } catch (const FileError& failure) {
            const pybind11::object raised = type(failure.what());
            if (!failure.path.empty()) raised.attr("filename") = failure.path;
            if (failure.error != 0) {
                raised.attr("errno") = failure.error;
                raised.attr("strerror") = std::strerror(failure.error);
            }
            PyErr_SetObject(type.ptr(), raised.ptr());
        }
    });
}
