#include "ImageDocument.h"

#include <cstdio>

CImageDocument::CImageDocument() : pages_(1) { AddHistory(kHistoryTitle); }

bool CImageDocument::AddHistory(const std::string& text) {
    history_ += text;
    history_ += "\r\n";
    return true;
}

void CImageDocument::CopyHistoryFrom(const CImageDocument& source) {
    history_ = source.history_;
    historyRecorded_ = history_.size();
    recipe_ = source.recipe_;
}

std::vector<std::string> CImageDocument::GetHistoryLines() const { return HistoryLinesFrom(0); }

std::vector<std::string> CImageDocument::HistoryLinesFrom(std::size_t start) const {
    std::vector<std::string> lines;
    for (std::size_t end; (end = history_.find("\r\n", start)) != std::string::npos;
         start = end + 2)
        lines.push_back(history_.substr(start, end - start));
    return lines;
}

FileStatus CImageDocument::Open(const std::string& path, SPageRange range) {
    fileInfo_ = {};
    std::vector<SPicturePage> pages;
    return AfterOpen(ReadPictureFile(pages, path, fileInfo_, range), pages);
}

FileStatus CImageDocument::Open(CByteStream& stream, SPageRange range) {
    fileInfo_ = {};
    std::vector<SPicturePage> pages;
    return AfterOpen(ReadPicture(pages, stream, fileInfo_, range), pages);
}

void CImageDocument::Adopt(HBLOCK block) {
    fileInfo_ = {};
    std::vector<SPicturePage> pages(1);
    pages[0].image->SetHandle(std::move(block));
    AfterOpen(FileStatus::Ok, pages);
}

FileStatus CImageDocument::AfterOpen(FileStatus status, std::vector<SPicturePage>& pages) {
    if (status == FileStatus::Ok) {
        SetPages(std::move(pages));
        const CSize size = GetImage()->GetSize();
        AddHistory(FormatHistory("Image : %d x %d", size.cx, size.cy));
        for (const std::string& note : fileInfo_.historyNotes) AddHistory(note);
    }
    historyRecorded_ = history_.size();
    return status;
}

void CImageDocument::SaveBackup() {
    // A copy nobody will use is not taken, and an older one is let go: the
    // copy this step would have made was going to replace it anyway.
    SPicturePage& page = pages_[current_];
    if (undoCopies_) {
        GetImage()->SaveBackup();
        page.undoSamples = page.samples;
        page.undoWindow = page.window;
    } else {
        GetImage()->DiscardBackup();
        page.undoSamples.reset();
    }
}

std::optional<std::pair<double, double>> CImageDocument::GetWindow() const {
    const SPicturePage& page = pages_[current_];
    if (!page.samples) return std::nullopt;
    return std::pair{page.window.low, page.window.high};
}

void CImageDocument::ExchangeUndoValues() {
    SPicturePage& page = pages_[current_];
    std::swap(page.samples, page.undoSamples);
    std::swap(page.window, page.undoWindow);
}

void CImageDocument::RecordOperation(CRecipeOperation operation, bool done, bool allPages) {
    // The levels no longer come from the file's values: said once, as part
    // of the step that changed them.
    SPicturePage& page = pages_[current_];
    if (done && page.samples && !operation.keepsLevels && !operation.wholeStack) {
        page.samples.reset();
        AddHistory("Valeurs du fichier abandonnées");
    }
    CRecipe::Entry entry{std::move(operation), done, HistoryLinesFrom(historyRecorded_)};
    historyRecorded_ = history_.size();
    // The region is kept in storage rows; the recipe gives it as displayed.
    const CImage& image = *GetImage();
    const CRect& roi = image.GetRoi();
    const int width = image.GetWidth(), height = image.GetHeight();
    entry.roiIsWhole = roi == CRect{0, 0, width, height};
    entry.roi = {roi.left, height - roi.bottom, roi.right, height - roi.top};
    if (GetPageCount() > 1 && !entry.operation.wholeStack)
        entry.page = allPages ? 0 : pages_[current_].number;
    recipe_.Add(std::move(entry));
}

FileStatus CImageDocument::Save(const std::string& path, PictureFormat format) {
    std::string problem;
    return Save(path, format, problem);
}

FileStatus CImageDocument::Save(const std::string& path, PictureFormat format,
                                std::string& problem) {
    return SavePictureFile(pages_, path, format, problem);
}

std::string CImageDocument::SamplesRefusal(PictureFormat format) const {
    const CFileSamples* samples = GetSamples();
    if (samples == nullptr)
        return fileInfo_.losses.Deeper() && GetImage()->GetBitCount() == 8
                   ? "a step changed the levels: the file's own samples are no longer the picture"
                   : "the picture keeps no samples deeper than 8 bits";
    if (GetPageCount() > 1) return "the file's own samples are written a page at a time";
    return FormatSamplesRefusal(format, *samples);
}

FileStatus CImageDocument::SaveSamples(const std::string& path, PictureFormat format,
                                       std::string& problem) {
    problem = SamplesRefusal(format);
    if (!problem.empty()) return FileStatus::Refused;
    return SaveSamplesFile(*GetSamples(), path, format, problem);
}

std::string FormatHistory(const char* format, int a) {
    char text[64];
    std::snprintf(text, sizeof text, format, a);
    return text;
}

std::string FormatHistory(const char* format, int a, int b) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}
