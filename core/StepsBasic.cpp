#include "StepsBasic.h"

#include <string>

#include "LevelRows.h"
#include "Message.h"

bool StepUniform(CImageDocument& doc, int width, int height, int level) {
    CImage& image = *doc.GetImage();
    doc.SaveBackup();
    const bool created = image.CreateEmptyImage(width, height, static_cast<std::uint8_t>(level));
    doc.AddHistory(FormatHistory("Image uniforme(%d,%d)", width, height));
    doc.RecordOperation({.flag = "--uniform",
                         .argument = std::to_string(width) + "," + std::to_string(height) + "," +
                                     std::to_string(level),
                         .resetsRoi = true},
                        created);
    return created;
}

bool StepUndo(CImageDocument& doc) {
    CImage& image = *doc.GetImage();
    if (!image.HasBackup()) return false;
    image.Undo();
    doc.ExchangeUndoValues();
    doc.RecordOperation({.flag = "--undo", .resetsRoi = true, .keepsLevels = true}, true);
    return true;
}

bool StepPaste(CImageDocument& doc, HBLOCK block) {
    if (!block) return false;
    doc.GetImage()->SetHandle(std::move(block));
    doc.RecordOperation({.flag = "--paste",
                         .resetsRoi = true,
                         .notReplayable = "a picture pasted from the clipboard, which "
                                          "another picture cannot repeat"},
                        true);
    return true;
}

bool StepSetLevels(CImageDocument& doc, std::span<const std::uint8_t> levels) {
    CImage& image = *doc.GetImage();
    const CStoredRows rows = image.GetStoredRows();
    if (rows.bits == nullptr || rows.bitCount != 8 ||
        levels.size() != static_cast<std::size_t>(rows.width) * rows.height) {
        ShowMessage("Set levels : the levels do not fit the picture");
        return false;
    }
    doc.SaveBackup();
    const bool done = CopyRowsFromTop(image, levels);
    doc.AddHistory("Niveaux remplacés");
    doc.RecordOperation({.flag = "--set-levels",
                         .notReplayable = "levels set by a program, which another picture "
                                          "cannot repeat"},
                        done);
    return done;
}
