#include "PyErrors.h"

#include <pybind11/pybind11.h>

CEngineMessages::CEngineMessages()
    : sink_([this](const std::string& text) { text_ += (text_.empty() ? "" : "\n") + text; }) {}

std::string CEngineMessages::Text(const std::string& otherwise) const {
    return text_.empty() ? otherwise : text_;
}

void ThrowValue(const std::string& text) { throw pybind11::value_error(text); }
