// Copies a template file, replacing the words below with facts from the list
// of formats, so that files the build installs (the menu entry, the tips)
// name the formats without saying them again:
//   @FORMAT_NAMES@     "BMP, PNG, TIFF, ..."    the formats read
//   @FORMAT_KEYWORDS@  "BMP;PNG;TIFF;..."
//   @MIME_TYPES@       "image/bmp;image/x-bmp;...;"
// Usage: orvex-fill-format-facts TEMPLATE OUTPUT

#include <fstream>
#include <iostream>
#include <sstream>

#include "PictureFormat.h"

namespace {

void Replace(std::string& text, const std::string& word, const std::string& value) {
    for (std::size_t at = text.find(word); at != std::string::npos;
         at = text.find(word, at + value.size()))
        text.replace(at, word.size(), value);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: orvex-fill-format-facts TEMPLATE OUTPUT\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    std::stringstream text;
    text << in.rdbuf();
    if (!in) {
        std::cerr << argv[1] << ": cannot be read\n";
        return 1;
    }
    std::string names, keywords, mimeTypes;
    for (PictureFormat format : PictureFormats()) {
        names += (names.empty() ? "" : ", ") + std::string(FormatName(format));
        keywords += std::string(FormatName(format)) + ";";
        for (const std::string& type : FormatMimeTypes(format)) mimeTypes += type + ";";
    }
    std::string filled = text.str();
    Replace(filled, "@FORMAT_NAMES@", names);
    Replace(filled, "@FORMAT_KEYWORDS@", keywords);
    Replace(filled, "@MIME_TYPES@", mimeTypes);
    std::ofstream out(argv[2]);
    out << filled;
    return out.flush() ? 0 : 1;
}
