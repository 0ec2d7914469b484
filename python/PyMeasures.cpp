// Measurements: the table's row as a dict, the histogram as an array, rows
// of many pictures for pandas, and the kernel catalogue.

#include <pybind11/stl.h>

#include <map>

#include "KernelCatalogue.h"
#include "PyModule.h"

py::dict MeasureRowDict(const CMeasureRow& row) {
    const CImageStatistics& s = row.statistics;
    // The table's columns in its order, with the values it writes in them.
    const std::map<std::string, py::object> values{
        {"file", py::str(row.file)},      {"page", py::int_(row.page)},
        {"step", py::int_(row.step)},     {"width", py::int_(row.width)},
        {"height", py::int_(row.height)}, {"pixels", py::int_(s.pixels)},
        {"min", py::int_(s.minimum)},     {"max", py::int_(s.maximum)},
        {"sum", py::int_(s.sum)},         {"mean", py::int_(static_cast<int>(s.mean))},
        {"sd", py::float_(s.stdev)},      {"error", py::str(row.error)}};
    // A row that says why its file has no measurement holds no number.
    const bool failed = !row.error.empty();
    py::dict d;
    for (const std::string& column : MeasureColumns())
        if (const auto value = values.find(column); value != values.end())
            d[py::str(column)] =
                failed && column != "file" && column != "error" ? py::none() : value->second;
    for (std::size_t level = 0; level < row.histogram.size(); ++level)
        d[py::str("h" + std::to_string(level))] = row.histogram[level];
    // As in the table, the reason a file failed comes last.
    if (d.contains("error")) d["error"] = d.attr("pop")("error");
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
        "One row of the measurement table as a dict: file, step, width, height, pixels, min, "
        "max, sum, mean, sd (with histogram=True also h0 .. h255), error (empty when all went "
        "well). The engine's own numbers, "
        "as orvex-cli --measure writes them; recorded in the recipe.");
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
