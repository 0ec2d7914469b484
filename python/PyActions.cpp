#include "PyActions.h"

#include <cstdint>

#include "FileReason.h"
#include "KernelCatalogue.h"
#include "OperationForms.h"
#include "PaletteFile.h"
#include "StepsBasic.h"
#include "StepsImage.h"
#include "StepsMeasure.h"
#include "StepsValues.h"

namespace {

void CheckRange(const std::string& what, long long value, long long low, long long high) {
    if (value < low || value > high)
        ThrowValue(what + " must lie in " + std::to_string(low) + " .. " + std::to_string(high) +
                   ", not " + std::to_string(value));
}

PictureAction CustomPalette(const CPaletteColors& colors) {
    return [colors](CPyPicture& p, SActionRun& run) {
        p.Run("palette", kStepNeeds<StepCustomPalette>, run.undo, [&](CImageDocument& doc) {
            return StepCustomPalette(doc, colors.red.data(), colors.green.data(),
                                     colors.blue.data());
        });
    };
}

}  // namespace

PictureAction UniformAction(long long width, long long height, long long level) {
    CheckRange("the width", width, 1, INT32_MAX);
    CheckRange("the height", height, 1, INT32_MAX);
    CheckRange("the level", level, 0, 255);
    const int w = static_cast<int>(width), h = static_cast<int>(height),
              l = static_cast<int>(level);
    return [=](CPyPicture& p, SActionRun& run) {
        p.Run("uniform", kStepNeeds<StepUniform>, run.undo,
              [=](CImageDocument& doc) { return StepUniform(doc, w, h, l); });
    };
}

PictureAction RoiAction(std::optional<CRect> roi) {
    return [roi](CPyPicture& p, SActionRun&) { p.SetRoi(roi); };
}

PictureAction UndoAction() {
    return [](CPyPicture& p, SActionRun&) {
        p.Run("undo", kStepNeeds<StepUndo>, false, [](CImageDocument& doc) {
            if (StepUndo(doc)) return true;
            ShowMessage("Undo : nothing to undo");
            return false;
        });
    };
}

PictureAction RotateAction(long long angle) {
    if (angle != 90 && angle != 180 && angle != 270)
        ThrowValue("rotate expects 90, 180 or 270, not " + std::to_string(angle));
    const int a = static_cast<int>(angle);
    return [a](CPyPicture& p, SActionRun& run) {
        p.Run("rotate", kStepNeeds<StepRotate>, run.undo,
              [a](CImageDocument& doc) { return StepRotate(doc, a); });
    };
}

PictureAction ResizeAction(long long width, long long height) {
    CheckRange("the width", width, 1, INT32_MAX);
    CheckRange("the height", height, 1, INT32_MAX);
    const int w = static_cast<int>(width), h = static_cast<int>(height);
    return [=](CPyPicture& p, SActionRun& run) {
        p.Run("resize", kStepNeeds<StepResize>, run.undo,
              [=](CImageDocument& doc) { return StepResize(doc, w, h); });
    };
}

PictureAction ThresholdAction(long long low, long long high) {
    CheckRange("low", low, 0, 255);
    CheckRange("high", high, 0, 255);
    if (low > high) ThrowValue("threshold expects low <= high");
    const int l = static_cast<int>(low), h = static_cast<int>(high);
    return [=](CPyPicture& p, SActionRun& run) {
        p.Run("threshold", kStepNeeds<StepManualThreshold>, run.undo,
              [=](CImageDocument& doc) { return StepManualThreshold(doc, l, h); });
    };
}

PictureAction WindowAction(const std::string& ends) {
    const auto choice = ParseWindowArgument(ends);
    if (!choice)
        ThrowValue("window expects low <= high, \"auto\" or \"saturate:P\" with P 0 .. 50");
    return [choice = *choice](CPyPicture& p, SActionRun& run) {
        p.Run("window", kStepNeeds<StepWindow>, run.undo,
              [&](CImageDocument& doc) { return StepChosenWindow(doc, choice); });
    };
}

PictureAction AdaptiveAction(float k) {
    return [k](CPyPicture& p, SActionRun& run) {
        p.Run("adaptive", kStepNeeds<StepAdaptiveThreshold>, run.undo,
              [k](CImageDocument& doc) { return StepAdaptiveThreshold(doc, k); });
    };
}

PictureAction DynamicAction(const std::string& curve) {
    const auto choice = ParseToneCurveArgument(curve);
    if (!choice)
        ThrowValue(
            "dynamic expects linear, inverse, sqrt, power:G, root:G, exp or log, "
            "G in 1 .. 99, not '" +
            curve + "'");
    return [c = *choice](CPyPicture& p, SActionRun& run) {
        p.Run("dynamic", kStepNeeds<StepToneCurve>, run.undo,
              [c](CImageDocument& doc) { return StepToneCurve(doc, c.curveType, c.gamma); });
    };
}

PictureAction PaletteAction(const std::string& name) {
    const auto kind = FindPaletteName(name);
    if (!kind)
        ThrowValue("palette expects grey, rainbow, heat, metal or binary, not '" + name + "'");
    return [k = *kind](CPyPicture& p, SActionRun& run) {
        p.Run("palette", kStepNeeds<StepPalette>, run.undo,
              [k](CImageDocument& doc) { return StepPalette(doc, k); });
    };
}

PictureAction CustomPaletteAction(const PaletteTables& tables) {
    CPaletteColors colors;
    colors.red = tables[0], colors.green = tables[1], colors.blue = tables[2];
    return CustomPalette(colors);
}

PictureAction PaletteFileAction(const std::string& path) {
    // The file is read when the step runs, as orvex-cli reads it.
    return [path](CPyPicture& p, SActionRun& run) {
        CPaletteColors colors;
        std::string failure;
        {
            const CEngineMessages messages;
            if (!WithFileReason(path, "not a JASC palette file",
                                [&] { return ReadPaletteFile(path, colors); }))
                failure = messages.Text(path + ": not a JASC palette file");
        }
        if (!failure.empty()) throw FileError(failure);
        CustomPalette(colors)(p, run);
    };
}

PictureAction FilterAction(const std::string& key) {
    const CKernelEntry* entry = FindKernel(key + " ");
    if (entry == nullptr) ThrowValue("no such kernel in the catalogue: '" + key + "'");
    return [mask = MakeKernelMask(*entry)](CPyPicture& p, SActionRun& run) {
        p.Run("filter", kStepNeeds<StepFilter>, run.undo,
              [&](CImageDocument& doc) { return StepFilter(doc, mask); });
    };
}

PictureAction KernelAction(const std::vector<std::vector<long long>>& rows) {
    const std::size_t side = rows.size();
    if (side != 3 && side != 5 && side != 7)
        ThrowValue("a kernel is 3 x 3, 5 x 5 or 7 x 7, not " + std::to_string(side) + " rows");
    std::int8_t cells[49] = {};
    for (std::size_t y = 0; y < side; ++y) {
        if (rows[y].size() != side) ThrowValue("a kernel is square: as many values a row as rows");
        for (std::size_t x = 0; x < side; ++x) {
            CheckRange("a kernel value", rows[y][x], kMinKernelValue, kMaxKernelValue);
            cells[y * side + x] = static_cast<std::int8_t>(rows[y][x]);
        }
    }
    return [mask = MakeMask(static_cast<int>(side), cells)](CPyPicture& p, SActionRun& run) {
        p.Run("kernel", kStepNeeds<StepFilter>, run.undo,
              [&](CImageDocument& doc) { return StepFilter(doc, mask); });
    };
}

PictureAction PerspectiveAction(const std::string& mode, const PerspectiveParams& params) {
    const auto m = FindPerspectiveModeName(mode);
    if (!m) ThrowValue("perspective mode is gradient or cloud, not '" + mode + "'");
    return [m = *m, params](CPyPicture& p, SActionRun& run) {
        p.Run("perspective", kStepNeeds<StepPerspective>, run.undo,
              [&](CImageDocument& doc) { return StepPerspective(doc, m, params); });
    };
}

PictureAction MeasureAction(bool histogram) {
    return [histogram](CPyPicture& p, SActionRun& run) {
        CMeasureRow row = p.Measure(histogram);
        if (run.rows != nullptr) run.rows->push_back(std::move(row));
    };
}

void RunAction(CPyPicture& picture, const PictureAction& action, bool undo) {
    SActionRun run{undo};
    action(picture, run);
}
