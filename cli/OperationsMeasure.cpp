// Measurements as a table (--measure, --measure-histogram) and the histogram
// drawn as a picture (--histogram-plot).

#include <cerrno>
#include <filesystem>

#include "CliOperation.h"
#include "FileReason.h"
#include "HistogramPlot.h"
#include "Message.h"
#include "PictureFile.h"
#include "StepsMeasure.h"

namespace {

CliOperation Measure(std::string flag, std::string help, bool histogram) {
    CliOperation operation{
        std::move(flag), "", std::move(help), kStepNeeds<StepMeasure>,
        [histogram](const std::string&, std::string&) -> std::optional<CliAction> {
            return [histogram](CliContext& c) {
                std::vector<CMeasureRow> rows;
                if (!StepMeasurePages(c.doc, histogram, c.allPages, rows)) return false;
                for (CMeasureRow& row : rows) {
                    row.file = c.input;
                    c.rows.text += c.rows.table->Row(row);
                }
                return true;
            };
        }};
    operation.takesUndoCopy = false;
    operation.changesPicture = false;
    operation.fillsTable = true;
    operation.pages = CliPageUse::Stack;
    return operation;
}

// Where the plot of `input` goes: the named file, or in a batch
// STEM.histogram.png in the named folder.
std::string PlotPath(const std::string& named, const std::string& input, bool intoFolder) {
    if (!intoFolder) return named;
    return (std::filesystem::path(named) / std::filesystem::path(input).stem()).string() +
           ".histogram.png";
}

CliOperation HistogramPlot() {
    CliOperation operation{
        "--histogram-plot", "FILE.png",
        "write the histogram drawn as a PNG picture (several inputs: a folder, STEM.histogram.png)",
        StepNeeds::FullPalette,
        [](const std::string& named, std::string&) -> std::optional<CliAction> {
            return [named](CliContext& c) {
                CImage plot;
                if (!DrawHistogramPlot(*c.doc.GetImage(), c.plotSize, plot)) return false;
                const std::string path = PlotPath(named, c.input, c.intoFolder);
                std::string problem;
                errno = 0;
                const FileStatus status = SavePictureFile(plot, path, PictureFormat::Png, problem);
                if (status == FileStatus::Ok) return true;
                ShowMessage(path + ": " + FileFailure(status, errno, problem));
                return false;
            };
        }};
    operation.argumentIsFile = true;
    operation.takesUndoCopy = false;
    operation.changesPicture = false;
    operation.pages = CliPageUse::Stack;
    return operation;
}

}  // namespace

void AddMeasureOperations(std::vector<CliOperation>& table) {
    table.push_back(
        Measure("--measure",
                "add a row to the --table (one a page): file, page, step, width, height, "
                "pixels, min, max, sum, mean (the integer mean; sum / pixels is the exact "
                "one), sd",
                false));
    table.push_back(
        Measure("--measure-histogram", "the same row, then h0 .. h255, the histogram", true));
    table.push_back(HistogramPlot());
}
