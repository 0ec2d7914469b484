// Measurements: the table's row as a dict, the histogram as an array, rows
// of many pictures for pandas, and the kernel catalogue.

#include <pybind11/stl.h>

#include <charconv>

#include "KernelCatalogue.h"
#include "PyModule.h"

namespace {

// A number of the table's text, whatever the locale.
template <typename Number>
Number TableNumber(const std::string& text) {
    Number value{};
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// Whether the text is an integer: a real column's whole figure ("4095") is
// given as an int, as the table writes it.
bool WholeNumber(const std::string& text) {
    long long value = 0;
    const auto end = text.data() + text.size();
    return std::from_chars(text.data(), end, value).ptr == end;
}

}  // namespace

py::dict MeasureRowDict(const CMeasureRow& row) {
    // The table's columns in its order, with the values it writes in them:
    // text, integers, reals; None where the table's field is empty (a row
    // that says why its file has no measurement holds no number).
    const CMeasureTable table(TableFormat::Csv, !row.histogram.empty());
    py::dict d;
    for (const CMeasureColumn& column : table.ColumnList()) {
        const auto field = column.field(row);
        py::object value = py::none();
        if (field && column.text)
            value = py::str(*field);
        else if (field && column.real && !WholeNumber(*field))
            value = py::float_(TableNumber<double>(*field));
        else if (field)
            value = py::int_(TableNumber<long long>(*field));
        d[py::str(column.name)] = value;
    }
    return d;
}

namespace {

py::dict KernelDict(const CKernelEntry& entry) {
    std::string key = entry.key;
    key.pop_back();  // the final space of every key
    py::list rows;
    for (int y = 0; y < entry.size; ++y) {
        py::list row;
        for (int x = 0; x < entry.size; ++x) row.append(entry.coefficients[y * entry.size + x]);
        rows.append(row);
    }
    py::dict d;
    d["key"] = key;
    d["size"] = entry.size;
    d["coefficients"] = rows;
    d["description"] = entry.description;
    return d;
}

}  // namespace

void BindMeasures(py::module_& module, py::class_<CPyPicture>& picture) {
    picture.def(
        "measure",
        [](CPyPicture& p, bool histogram) { return MeasureRowDict(p.Measure(histogram)); },
        py::arg("histogram") = false,
        "One row of the measurement table as a dict: file, page, step, width, height, pixels, "
        "min, max, sum, mean, sd (the engine's numbers of the levels), value_depth, value_min, "
        "value_max, value_mean, value_sd, value_nan (exact figures of the file's own values "
        "while they are kept, else of the levels; None where not finite), with histogram=True "
        "also h0 .. h255, and error (empty when all went well), as orvex-cli --measure writes "
        "them; recorded in the recipe.");
    picture.def(
        "histogram",
        [](CPyPicture& p) {
            const std::vector<std::uint32_t> counts = p.Histogram();
            py::array_t<std::int64_t> array(256);
            auto out = array.mutable_unchecked<1>();
            for (py::ssize_t level = 0; level < 256; ++level) out(level) = counts[level];
            return array;
        },
        "The 256 counts of the levels in the region of interest, an int64 array.");
    module.def(
        "measure_table",
        [](const py::iterable& items, bool histogram) {
            py::list rows;
            for (const py::handle item : items) {
                if (py::isinstance<CPyPicture>(item)) {
                    rows.append(MeasureRowDict(item.cast<CPyPicture&>().Measure(histogram)));
                    continue;
                }
                const std::string path = FilePath(py::reinterpret_borrow<py::object>(item));
                try {
                    rows.append(MeasureRowDict(CPyPicture::Open(path, 1)->Measure(histogram)));
                } catch (const FileError& failure) {
                    // The file keeps its row, which says why, as in orvex-cli's table.
                    std::string reason = failure.what();
                    if (reason.rfind(path + ": ", 0) == 0) reason.erase(0, path.size() + 2);
                    rows.append(MeasureRowDict(FailedMeasureRow(path, reason)));
                }
            }
            return rows;
        },
        py::arg("items"), py::arg("histogram") = false,
        "One measurement row for each picture or file path, in order: pandas.DataFrame(rows) "
        "is the table orvex-cli --measure --table writes. A file that cannot be read keeps "
        "its row: None in every number and the reason in error.");
    module.def(
        "kernels",
        [] {
            py::list entries;
            for (const CKernelEntry& entry : GetKernelCatalogue())
                entries.append(KernelDict(entry));
            return entries;
        },
        "The catalogue of kernels: key (as filter() takes it), size, coefficients, description.");
}
