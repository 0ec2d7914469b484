// Creation, region of interest, undo and the plain reports.

#include <algorithm>

#include "ArgParse.h"
#include "CliOperation.h"
#include "Message.h"
#include "SampleWindowText.h"
#include "StepsBasic.h"

namespace {

CliOperation Uniform() {
    return {"--uniform", "W,H,LEVEL",
            "new uniform picture of W x H pixels at grey LEVEL (0 .. 255)", kStepNeeds<StepUniform>,
            [](const std::string& arg, std::string& error) -> std::optional<CliAction> {
                const auto v = ParseIntegerList(arg, 3, INT32_MIN, INT32_MAX);
                if (!v || (*v)[0] < 1 || (*v)[1] < 1 || (*v)[2] < 0 || (*v)[2] > 255) {
                    error = "expects W,H,LEVEL with W and H at least 1, LEVEL in 0 .. 255";
                    return std::nullopt;
                }
                const int w = (*v)[0], h = (*v)[1], level = (*v)[2];
                return [=](CliContext& c) { return StepUniform(c.doc, w, h, level); };
            }};
}

CliOperation Roi() {
    return {"--roi", "L,T,R,B",
            "region of interest, displayed coordinates (row 0 at the top); all: the whole picture",
            StepNeeds::Nothing,
            [](const std::string& arg, std::string& error) -> std::optional<CliAction> {
                if (arg == "all")
                    return [](CliContext& c) { return c.doc.GetImage()->SetDefaultRoi(); };
                const auto v = ParseIntegerList(arg, 4, INT32_MIN, INT32_MAX);
                if (!v) {
                    error = "expects four integers L,T,R,B or all";
                    return std::nullopt;
                }
                const CRect r{(*v)[0], (*v)[1], (*v)[2], (*v)[3]};
                return [=](CliContext& c) { return c.doc.GetImage()->SetRoi(r); };
            }};
}

CliOperation Undo() {
    return {"--undo", "", "exchange the picture and its undo copy", kStepNeeds<StepUndo>,
            [](const std::string&, std::string&) -> std::optional<CliAction> {
                return [](CliContext& c) {
                    if (StepUndo(c.doc)) return true;
                    ShowMessage("Undo : nothing to undo");
                    return false;
                };
            }};
}

CliOperation Info() {
    return {
        "--info", "",
        "print width, height, bits per pixel, colour count, the file's pages and, with "
        "the file's own samples kept, their depth (sample: 16-bit unsigned) and window "
        "(window: LOW..HIGH)",
        StepNeeds::Nothing, [](const std::string&, std::string&) -> std::optional<CliAction> {
            return [](CliContext& c) {
                const CImage& image = *c.doc.GetImage();
                const int pages = std::max(c.doc.GetFileInfo().losses.pages, c.doc.GetPageCount());
                c.out << "width: " << image.GetWidth() << "\nheight: " << image.GetHeight()
                      << "\nbits: " << image.GetBitCount() << "\ncolors: " << image.GetNumColors()
                      << "\npages: " << pages << '\n';
                if (const CFileSamples* samples = c.doc.GetSamples()) {
                    const auto window = c.doc.GetWindow();
                    c.out << "sample: " << SampleDepthEnglish(samples->Kind(), samples->Bits())
                          << "\nwindow: "
                          << WindowValues(samples->Kind(), window->first, window->second) << '\n';
                }
                return true;
            };
        }};
}

CliOperation History() {
    return {"--history", "", "print the processing history, one line per step", StepNeeds::Nothing,
            [](const std::string&, std::string&) -> std::optional<CliAction> {
                return [](CliContext& c) {
                    for (const std::string& line : c.doc.GetHistoryLines()) c.out << line << '\n';
                    return true;
                };
            }};
}

// A picture pasted in the desktop program stands in its recipe as this line,
// which is always refused: no other picture can repeat it.
CliOperation Paste() {
    return {"--paste", "", "a picture pasted from the clipboard: refused, it cannot be replayed",
            kStepNeeds<StepPaste>,
            [](const std::string&, std::string& error) -> std::optional<CliAction> {
                error = "a picture pasted from the clipboard cannot be replayed";
                return std::nullopt;
            }};
}

}  // namespace

void AddBasicOperations(std::vector<CliOperation>& table) {
    table.push_back(Uniform());
    CliOperation roi = WithoutUndoCopy(Roi());
    roi.changesPicture = false;
    roi.failureNote = "the region is not inside the picture; the run stopped here";
    roi.pages = CliPageUse::InTurn;
    table.push_back(roi);
    table.push_back(WithoutUndoCopy(Undo()));
    table.push_back(AsReport(Info()));
    CliOperation history = AsReport(History());
    history.pages = CliPageUse::Stack;
    table.push_back(history);
    table.push_back(WithoutUndoCopy(Paste()));
}
