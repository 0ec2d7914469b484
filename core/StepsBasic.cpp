#include "StepsBasic.h"

bool StepUniform(CImageDocument& doc, int width, int height, int level) {
    CImage& image = *doc.GetImage();
    image.SaveBackup();
    const bool created = image.CreateEmptyImage(width, height, static_cast<std::uint8_t>(level));
    doc.AddHistory(FormatHistory("Image uniforme(%d,%d)", width, height));
    return created;
}

bool StepUndo(CImageDocument& doc) {
    CImage& image = *doc.GetImage();
    if (!image.HasBackup()) return false;
    image.Undo();
    return true;
}
