// Measurements as a table (--measure, --measure-histogram) and the histogram
// drawn as a picture (--histogram-plot).

#include <cctype>
#include <cerrno>
#include <filesystem>

#include "AtomicFileWrite.h"
#include "CliOperation.h"
#include "FileReason.h"
#include "HistogramPlot.h"
#include "Message.h"
#include "PictureFile.h"
#include "PictureFormat.h"
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

bool IsSvgName(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".svg";
}

// Where the plot of `input` goes: the named file, or in a batch
// STEM.histogram.png in the named folder (the plot is written in the format
// that keeps any picture).
std::string PlotPath(const std::string& named, const std::string& input, bool intoFolder) {
    if (!intoFolder) return named;
    return (std::filesystem::path(named) / std::filesystem::path(input).stem()).string() +
           ".histogram" + FormatExtension(KeptFormat({}));
}

// The plot of the current picture, titled with its file's name, as a PNG
// picture or, for a name ending in .svg, as SVG.
bool WritePlot(CliContext& c, const std::string& path) {
    const std::string title = std::filesystem::path(c.input).filename().string();
    std::string problem;
    errno = 0;
    FileStatus status = FileStatus::Ok;
    if (IsSvgName(path)) {
        std::string svg;
        if (!HistogramPlotSvg(*c.doc.GetImage(), c.plotSize, title, svg)) return false;
        const AtomicWriteResult written = WriteFileAtomically(
            path, [&](CByteStream& out) { return out.Write(svg.data(), svg.size()); });
        if (written == AtomicWriteResult::Ok) return true;
        status = written == AtomicWriteResult::CannotCreate ? FileStatus::CannotOpen
                                                            : FileStatus::WriteError;
    } else {
        CImage plot;
        if (!DrawHistogramPlot(*c.doc.GetImage(), c.plotSize, title, plot)) return false;
        status = SavePictureFile(plot, path, KeptFormat({}), problem);
        if (status == FileStatus::Ok) return true;
    }
    ShowMessage(path + ": " + FileFailure(status, errno, problem));
    return false;
}

CliOperation HistogramPlot() {
    CliOperation operation{
        "--histogram-plot", std::string("FILE") + FormatExtension(KeptFormat({})),
        std::string("write the histogram drawn as a figure: a ") + FormatName(KeptFormat({})) +
            " picture, or SVG when FILE ends in .svg (several inputs: a folder, STEM.histogram" +
            FormatExtension(KeptFormat({})) + ")",
        StepNeeds::FullPalette,
        [](const std::string& named, std::string&) -> std::optional<CliAction> {
            return [named](CliContext& c) {
                return WritePlot(c, PlotPath(named, c.input, c.intoFolder));
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
                "add a row to the --table (one a page): " + JoinWords(MeasureColumns(), ", ") +
                    "; mean: the integer mean (sum / pixels is the exact one); "
                    "sd: the root mean square deviation from mean, as the statistics "
                    "dialog shows it; value_depth .. value_nan: exact figures of the file's "
                    "own values (12, 16s, 32f ...), or of the levels (8): the mean from exact "
                    "sums, value_sd as numpy's std, NaN left out and counted; "
                    "error: why the file failed, empty when all "
                    "went well (its row has no numbers)",
                false));
    table.push_back(Measure("--measure-histogram",
                            "the same row with h0 .. h255, the histogram, before error", true));
    table.push_back(HistogramPlot());
}
