#pragma once
// The GUI-free half of a document: one picture and its processing history.
//
// The desktop document and orvex-cli both hold one of these, so the history
// lines, the undo copies and the engine calls of every command are made in
// one place (the Step functions) whichever front end runs them.

#include <string>
#include <vector>

#include "Image.h"
#include "PictureFile.h"
#include "Recipe.h"
#include "RecipeOperation.h"

class CImageDocument {
public:
    static constexpr const char* kHistoryTitle = "IMAGE BITMAP - HISTORIQUE";

    CImageDocument();
    CImageDocument(const CImageDocument&) = delete;
    CImageDocument& operator=(const CImageDocument&) = delete;

    CImage* GetImage() { return &image_; }
    const CImage* GetImage() const { return &image_; }

    // Appends one line, ended by CR LF.
    bool AddHistory(const std::string& text);
    // The whole history, each line ended by CR LF.
    const std::string& GetHistory() const { return history_; }
    std::vector<std::string> GetHistoryLines() const;

    // Reads a picture file into the picture and records "Image : %d x %d",
    // then what the reader noted (a 16-bit window, a page). A file that
    // cannot be read leaves the document as it was; for a BMP file the
    // engine has said why, for the other formats GetFileInfo().problem does.
    FileStatus Open(const std::string& path);
    // The same from a stream (standard input).
    FileStatus Open(CByteStream& stream);
    // A picture made by a program rather than read: the block becomes the
    // picture and the history starts as for a file, "Image : %d x %d".
    void Adopt(HBLOCK block);
    // What the last Open found: the file's format and the reader's notes.
    const SPictureFileInfo& GetFileInfo() const { return fileInfo_; }
    // Writes the picture in `format`; a failed or refused save leaves the
    // old file intact (`problem` says why a format refused the picture).
    FileStatus Save(const std::string& path, PictureFormat format = PictureFormat::Bmp);
    FileStatus Save(const std::string& path, PictureFormat format, std::string& problem);

    // The undo copy a step takes before it changes the picture. orvex-cli
    // turns copies off for the steps whose copy no later --undo can use; the
    // desktop program always keeps them.
    void SaveBackup();
    void SetUndoCopies(bool take) { undoCopies_ = take; }

    // Called by each step once it is done: records the operation that repeats
    // it, with the history lines it added and the region of interest it saw.
    void RecordOperation(CRecipeOperation operation, bool done);
    const CRecipe& GetRecipe() const { return recipe_; }

private:
    std::vector<std::string> HistoryLinesFrom(std::size_t offset) const;
    FileStatus AfterOpen(FileStatus status);

    CImage image_;
    SPictureFileInfo fileInfo_;
    std::string history_;
    std::size_t historyRecorded_ = 0;  // history text already given to a step
    CRecipe recipe_;
    bool undoCopies_ = true;
};

// printf-style formatting of a history line.
std::string FormatHistory(const char* format, int a);
std::string FormatHistory(const char* format, int a, int b);
