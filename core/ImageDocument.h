#pragma once
// The GUI-free half of a document: a stack of one or more pages of one size
// and depth, and its processing history. Each page is one engine picture
// with its own block, undo copy and region of interest; GetImage() is the
// current page, so every step runs on a page as on a single picture.
//
// The desktop document and orvex-cli both hold one of these, so the history
// lines, the undo copies and the engine calls of every command are made in
// one place (the Step functions) whichever front end runs them.

#include <functional>
#include <optional>
#include <string>
#include <utility>
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

    // The current page.
    CImage* GetImage() { return pages_[current_].image.get(); }
    const CImage* GetImage() const { return pages_[current_].image.get(); }

    // --- The file's own values -------------------------------------------
    // The current page's samples as the file holds them, kept while its
    // levels come from them by a window; null for an 8-bit picture and once
    // a step changed the levels otherwise (the history says "Valeurs du
    // fichier abandonnées"; undoing that step brings them back).
    const CFileSamples* GetSamples() const { return pages_[current_].samples.get(); }
    // The ends of the window the current page's levels were made by from
    // its samples, as the file holds them; nothing without samples.
    std::optional<std::pair<double, double>> GetWindow() const;
    // The window becomes `window`, the levels having been made by it (see
    // StepWindow).
    void SetWindow(SSampleWindow window) { pages_[current_].window = window; }
    // Exchanges the current page's samples and window with those kept with
    // its undo copy, as undo exchanges the picture and its copy.
    void ExchangeUndoValues();

    // --- The stack (DocumentPages.cpp) -------------------------------------
    int GetPageCount() const { return static_cast<int>(pages_.size()); }
    // The current page's index, from 0; paging writes no history.
    int GetCurrentPage() const { return current_; }
    void SetCurrentPage(int index);
    const std::vector<SPicturePage>& GetPages() const { return pages_; }
    // The index of the page numbered `number` in its file, or -1.
    int FindPage(int number) const;
    // The stack becomes `pages` (at least one, all of one size and depth),
    // the first of them current.
    void SetPages(std::vector<SPicturePage> pages);
    // Takes the page at `index` out of the stack (which keeps one at least).
    SPicturePage RemovePage(int index);
    // Whether every page has the size and depth of the first.
    bool PagesAgree() const;
    // "Pages 1 à N", naming the first and last pages by their numbers.
    std::string PagesLine() const;

    // Runs `step` on the current page, or with `allPages` on every page:
    // then each page in a document of its own, in parallel over pages, the
    // engine's messages of every page shown once afterwards on this thread;
    // the history gets the step's own lines, then PagesLine(). A step that
    // fails on any page, or that would leave pages of differing sizes,
    // leaves every page as it was (from the undo copies it took).
    bool RunOnPages(bool allPages, const std::function<bool(CImageDocument&)>& step);

    // The history and recipe of `source`, for a document made from its pages
    // (a page extracted, a projection): its steps, then this one's.
    void CopyHistoryFrom(const CImageDocument& source);

    // Appends one line, ended by CR LF.
    bool AddHistory(const std::string& text);
    // The whole history, each line ended by CR LF.
    const std::string& GetHistory() const { return history_; }
    std::vector<std::string> GetHistoryLines() const;

    // Reads a picture file into the picture and records "Image : %d x %d",
    // then what the reader noted (a 16-bit window, a page). A file that
    // cannot be read leaves the document as it was; for a BMP file the
    // engine has said why, for the other formats GetFileInfo().problem does.
    // `pages`: the file's pages to read (the first by default).
    FileStatus Open(const std::string& path, SPageRange pages = {});
    // The same from a stream (standard input).
    FileStatus Open(CByteStream& stream, SPageRange pages = {});
    // A picture made by a program rather than read: the block becomes the
    // one page and the history starts as for a file, "Image : %d x %d".
    void Adopt(HBLOCK block);
    // What the last Open found: the file's format and the reader's notes.
    const SPictureFileInfo& GetFileInfo() const { return fileInfo_; }
    // Writes every page in `format` (several only in a format that holds
    // pages); a failed or refused save leaves the old file intact
    // (`problem` says why a format refused the picture).
    FileStatus Save(const std::string& path, PictureFormat format = PictureFormat::Bmp);
    FileStatus Save(const std::string& path, PictureFormat format, std::string& problem);

    // Why the picture cannot be written as the file's own samples in
    // `format` (no samples kept, a step changed the levels, a stack, a format
    // that cannot hold them), in English; empty when it can.
    std::string SamplesRefusal(PictureFormat format) const;
    // Writes the current page's kept samples as they are; Refused with
    // `problem` (SamplesRefusal) otherwise.
    FileStatus SaveSamples(const std::string& path, PictureFormat format, std::string& problem);

    // The undo copy a step takes before it changes the picture. orvex-cli
    // turns copies off for the steps whose copy no later --undo can use; the
    // desktop program always keeps them.
    void SaveBackup();
    void SetUndoCopies(bool take) { undoCopies_ = take; }

    // Called by each step once it is done: records the operation that repeats
    // it, with the history lines it added and the region of interest it saw.
    // `allPages`: it ran on every page of the stack, else on the current one.
    void RecordOperation(CRecipeOperation operation, bool done, bool allPages = false);
    const CRecipe& GetRecipe() const { return recipe_; }

private:
    std::vector<std::string> HistoryLinesFrom(std::size_t offset) const;
    FileStatus AfterOpen(FileStatus status, std::vector<SPicturePage>& pages);
    bool RunOnEveryPage(const std::function<bool(CImageDocument&)>& step);
    // What a step run on every page adds: `run`'s history lines and recipe
    // entry (the current page's), then PagesLine().
    void TakeStepFrom(const CImageDocument& run, bool done);

    std::vector<SPicturePage> pages_;
    int current_ = 0;
    SPictureFileInfo fileInfo_;
    std::string history_;
    std::size_t historyRecorded_ = 0;  // history text already given to a step
    CRecipe recipe_;
    bool undoCopies_ = true;
};

// printf-style formatting of a history line.
std::string FormatHistory(const char* format, int a);
std::string FormatHistory(const char* format, int a, int b);
