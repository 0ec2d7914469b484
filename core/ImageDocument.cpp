#include "ImageDocument.h"

#include <cstdio>

CImageDocument::CImageDocument() { AddHistory(kHistoryTitle); }

bool CImageDocument::AddHistory(const std::string& text) {
    history_ += text;
    history_ += "\r\n";
    return true;
}

std::vector<std::string> CImageDocument::GetHistoryLines() const {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = history_.find("\r\n", start)) != std::string::npos;
         start = end + 2)
        lines.push_back(history_.substr(start, end - start));
    return lines;
}

FileStatus CImageDocument::Open(const std::string& path) {
    const FileStatus status = ReadBmpFile(image_, path);
    if (status == FileStatus::Ok) {
        const CSize size = image_.GetSize();
        AddHistory(FormatHistory("Image : %d x %d", size.cx, size.cy));
    }
    return status;
}

FileStatus CImageDocument::Save(const std::string& path) { return SaveBmpFile(image_, path); }

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
