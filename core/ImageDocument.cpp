#include "ImageDocument.h"

#include <cstdio>

CImageDocument::CImageDocument() { AddHistory(kHistoryTitle); }

bool CImageDocument::AddHistory(const std::string& text) {
    history_ += text;
    history_ += "\r\n";
    return true;
}

std::vector<std::string> CImageDocument::GetHistoryLines() const { return HistoryLinesFrom(0); }

std::vector<std::string> CImageDocument::HistoryLinesFrom(std::size_t start) const {
    std::vector<std::string> lines;
    for (std::size_t end; (end = history_.find("\r\n", start)) != std::string::npos;
         start = end + 2)
        lines.push_back(history_.substr(start, end - start));
    return lines;
}

FileStatus CImageDocument::Open(const std::string& path) {
    fileInfo_ = {};
    return AfterOpen(ReadPictureFile(image_, path, fileInfo_));
}

FileStatus CImageDocument::Open(CByteStream& stream) {
    fileInfo_ = {};
    return AfterOpen(ReadPicture(image_, stream, fileInfo_));
}

void CImageDocument::Adopt(HBLOCK block) {
    fileInfo_ = {};
    image_.SetHandle(std::move(block));
    AfterOpen(FileStatus::Ok);
}

FileStatus CImageDocument::AfterOpen(FileStatus status) {
    if (status == FileStatus::Ok) {
        const CSize size = image_.GetSize();
        AddHistory(FormatHistory("Image : %d x %d", size.cx, size.cy));
        for (const std::string& note : fileInfo_.historyNotes) AddHistory(note);
    }
    historyRecorded_ = history_.size();
    return status;
}

void CImageDocument::SaveBackup() {
    // A copy nobody will use is not taken, and an older one is let go: the
    // copy this step would have made was going to replace it anyway.
    if (undoCopies_)
        image_.SaveBackup();
    else
        image_.DiscardBackup();
}

void CImageDocument::RecordOperation(CRecipeOperation operation, bool done) {
    CRecipe::Entry entry{std::move(operation), done, HistoryLinesFrom(historyRecorded_)};
    historyRecorded_ = history_.size();
    // The region is kept in storage rows; the recipe gives it as displayed.
    const CRect& roi = image_.GetRoi();
    const int width = image_.GetWidth(), height = image_.GetHeight();
    entry.roiIsWhole = roi == CRect{0, 0, width, height};
    entry.roi = {roi.left, height - roi.bottom, roi.right, height - roi.top};
    recipe_.Add(std::move(entry));
}

FileStatus CImageDocument::Save(const std::string& path, PictureFormat format) {
    std::string problem;
    return Save(path, format, problem);
}

FileStatus CImageDocument::Save(const std::string& path, PictureFormat format,
                                std::string& problem) {
    return SavePictureFile(image_, path, format, problem);
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
