#pragma once
// One picture for Python: a document (picture, undo copy, history, recipe)
// behind a lock, so that calls on one picture run one after another while
// different pictures run in parallel, the interpreter's lock released.
//
// `levels` is a numpy view on the engine's block, no copy. A view keeps the
// block it was made on: before anything changes the picture while a view
// lives, the picture moves to a copy and the view's block stays with the
// views, so an array never changes under its reader nor outlives its rows.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "ImageDocument.h"
#include "MeasureTable.h"
#include "PyErrors.h"
#include "Step.h"

namespace py = pybind11;

// A block that views outlive the picture's use of: empty while the picture
// still holds it, the block itself once the picture has moved on.
struct CKeptBlock {
    HBLOCK block;
};

// Red, green and blue tables of a (256, 3) uint8 array; ValueError for
// anything else.
using PaletteTables = std::array<std::array<std::uint8_t, 256>, 3>;
PaletteTables PaletteTablesOf(const py::object& palette);

class CPyPicture {
public:
    CPyPicture() = default;
    // Views that outlive the picture keep its block.
    ~CPyPicture();
    CPyPicture(const CPyPicture&) = delete;
    CPyPicture& operator=(const CPyPicture&) = delete;

    // orvex.open(path, page): FileError with orvex-cli's reason.
    static std::unique_ptr<CPyPicture> Open(const std::string& path, int page);
    // orvex.Picture(array, palette): a 2-D array of levels or an (h, w, 3)
    // array of RGB colours, copied in.
    static std::unique_ptr<CPyPicture> FromArray(const py::array& array, const py::object& palette);

    int Width();
    int Height();
    int Bits();
    std::vector<std::string> History();
    py::dict Info();
    const std::string& Path() const { return path_; }

    py::array Levels();
    // The file's own samples kept beside the levels, a read-only array of
    // their own dtype viewing them (they never change), or None.
    py::object Values();
    py::array PaletteColours();
    void SetLevels(const py::array& array);
    // The colour table as a JASC palette file; FileError when it cannot be written.
    void SavePalette(const std::string& path);

    // Writes the picture in `format` (a name of the formats list, else the
    // one of the path's extension), complete or not at all; FileError with
    // orvex-cli's reason.
    void Save(const std::string& path, const std::string& format);
    // The recipe of what was done, as the desktop exports it; with a path,
    // written there with its palette files beside it.
    std::string Recipe();
    void WriteRecipe(const std::string& path);

    py::tuple Roi();
    // Nothing: the whole picture. ValueError when the region is not inside it.
    void SetRoi(std::optional<CRect> roi);

    // Runs `step` on the document, the interpreter free meanwhile: what it
    // needs checked first, the undo copy taken or not, the engine's message
    // raised as OperationError when it fails.
    template <typename Step>
    void Run(const char* name, StepNeeds needs, bool undo, Step&& step) {
        Call(name, needs, undo, true, std::forward<Step>(step));
    }
    // The same for a call that only reads the picture (a measurement).
    template <typename Step>
    void Read(const char* name, StepNeeds needs, Step&& step) {
        Call(name, needs, true, false, std::forward<Step>(step));
    }

    // A measurement row (file, step, numbers; with the histogram, its counts).
    CMeasureRow Measure(bool histogram);
    std::vector<std::uint32_t> Histogram();

private:
    template <typename Step>
    void Call(const char* name, StepNeeds needs, bool undo, bool changes, Step&& step) {
        std::string failure;
        {
            py::gil_scoped_release release;
            const std::lock_guard lock(mutex_);
            failure = RunLocked(name, needs, undo, changes, [&] { return step(doc_); });
        }
        if (!failure.empty()) throw OperationError(failure);
    }
    std::string RunLocked(const char* name, StepNeeds needs, bool undo, bool changes,
                          const std::function<bool()>& step);
    // Moves the picture to a copy when views hold its block (see above).
    void LetViewsKeepBlock();

    std::mutex mutex_;
    CImageDocument doc_;
    std::string path_;
    std::weak_ptr<CKeptBlock> views_;
    const CMemBlock* viewedBlock_ = nullptr;
};
