#include "StepsBasic.h"

static bool RunUniform(CImageDocument& doc, int width, int height, int level) {
    CImage& image = *doc.GetImage();
    image.SaveBackup();
    const bool created = image.CreateEmptyImage(width, height, static_cast<std::uint8_t>(level));
    doc.AddHistory(FormatHistory("Image uniforme(%d,%d)", width, height));
    return created;
}
const SStep<int, int, int> StepUniform{&RunUniform, StepNeeds::Nothing};

static bool RunUndo(CImageDocument& doc) {
    CImage& image = *doc.GetImage();
    if (!image.HasBackup()) return false;
    image.Undo();
    return true;
}
const SStep<> StepUndo{&RunUndo, StepNeeds::Nothing};
