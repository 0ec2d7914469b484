#pragma once
// The steps with their arguments checked, ready to run on a picture: the
// methods of orvex.Picture and the lines of a recipe both make them here, so
// a step accepts the same arguments, with the same words when it refuses
// one, whichever way it is asked. Making an action raises ValueError for a
// bad argument; running it raises what the step raises.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Mask.h"
#include "PyPicture.h"
#include "StepsFilter.h"

struct SActionRun {
    bool undo = true;                          // take the undo copy
    std::vector<CMeasureRow>* rows = nullptr;  // where measurements go
};
using PictureAction = std::function<void(CPyPicture&, SActionRun&)>;

// A step without argument.
template <auto Step>
PictureAction StepAction(const char* name) {
    return [name](CPyPicture& p, SActionRun& run) {
        p.Run(name, kStepNeeds<Step>, run.undo, [](CImageDocument& doc) { return Step(doc); });
    };
}

PictureAction UniformAction(long long width, long long height, long long level);
PictureAction RoiAction(std::optional<CRect> roi);  // nothing: the whole picture
PictureAction UndoAction();
PictureAction RotateAction(long long angle);
PictureAction ResizeAction(long long width, long long height);
PictureAction ThresholdAction(long long low, long long high);
// --window's spelling: "LOW,HIGH", "auto" or "saturate:P".
PictureAction WindowAction(const std::string& ends);
PictureAction AdaptiveAction(float k);
PictureAction DynamicAction(const std::string& curve);
PictureAction PaletteAction(const std::string& name);
PictureAction CustomPaletteAction(const PaletteTables& tables);
PictureAction PaletteFileAction(const std::string& path);
PictureAction FilterAction(const std::string& key);
// A kernel of side 3, 5 or 7, its values row by row.
PictureAction KernelAction(const std::vector<std::vector<long long>>& rows);
PictureAction PerspectiveAction(const std::string& mode, const PerspectiveParams& params);
PictureAction MeasureAction(bool histogram);

// Runs `action` alone.
void RunAction(CPyPicture& picture, const PictureAction& action, bool undo);
