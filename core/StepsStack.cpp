#include "StepsStack.h"

#include <optional>
#include <string>

#include "Message.h"

namespace {

struct SProjectionWords {
    ProjectionKind kind;
    const char* name;
    const char* history;
};

constexpr SProjectionWords kProjections[] = {
    {ProjectionKind::Maximum, "max", "Projection maximum"},
    {ProjectionKind::Minimum, "min", "Projection minimum"},
    {ProjectionKind::Mean, "mean", "Projection moyenne"},
};

const SProjectionWords& WordsOf(ProjectionKind kind) {
    for (const SProjectionWords& words : kProjections)
        if (words.kind == kind) return words;
    return kProjections[0];
}

// The page numbered `number`, or -1 with the engine's kind of message.
int PageIndex(const CImageDocument& doc, int number, const char* operation) {
    const int index = doc.FindPage(number);
    if (index < 0) ShowMessage(std::string(operation) + " : pas de page " + std::to_string(number));
    return index;
}

}  // namespace

const char* ProjectionName(ProjectionKind kind) { return WordsOf(kind).name; }

std::optional<ProjectionKind> FindProjectionName(const std::string& name) {
    for (const SProjectionWords& words : kProjections)
        if (name == words.name) return words.kind;
    return std::nullopt;
}

bool StepProject(CImageDocument& doc, ProjectionKind kind) {
    return StepProjectPages(doc, kind, doc.GetPages());
}

bool StepProjectPages(CImageDocument& doc, ProjectionKind kind,
                      std::span<const SPicturePage> pages) {
    doc.AddHistory(WordsOf(kind).history);
    SPicturePage projected;
    const bool done = ProjectPages(pages, kind, *projected.image);
    if (done) {
        std::vector<SPicturePage> pages;
        pages.push_back(std::move(projected));
        doc.SetPages(std::move(pages));
    }
    doc.RecordOperation({.flag = "--project",
                         .argument = ProjectionName(kind),
                         .resetsRoi = true,
                         .wholeStack = true},
                        done);
    return done;
}

bool StepExtractPage(CImageDocument& doc, int number) {
    doc.AddHistory(FormatHistory("Extraction de la page %d", number));
    const int index = PageIndex(doc, number, "Extraction");
    if (index >= 0) {
        std::vector<SPicturePage> pages;
        pages.push_back(doc.RemovePage(index));
        doc.SetPages(std::move(pages));
    }
    doc.RecordOperation({.flag = "--extract-page",
                         .argument = std::to_string(number),
                         .resetsRoi = true,
                         .wholeStack = true},
                        index >= 0);
    return index >= 0;
}

bool StepDeletePage(CImageDocument& doc, int number) {
    doc.AddHistory(FormatHistory("Suppression de la page %d", number));
    int index = PageIndex(doc, number, "Suppression");
    if (index >= 0 && doc.GetPageCount() == 1) {
        ShowMessage("Suppression : une pile garde au moins une page");
        index = -1;
    }
    if (index >= 0) doc.RemovePage(index);
    doc.RecordOperation(
        {.flag = "--delete-page", .argument = std::to_string(number), .wholeStack = true},
        index >= 0);
    return index >= 0;
}

bool StepAssemble(CImageDocument& doc, std::vector<SPicturePage> pictures) {
    const int count = static_cast<int>(pictures.size());
    doc.AddHistory(FormatHistory("Pile de %d images", count));
    bool done = count > 0;
    for (int i = 0; done && i < count; ++i) {
        const CImage& page = *pictures[static_cast<std::size_t>(i)].image;
        const CImage& first = *pictures.front().image;
        if (!page.IsValid() || page.GetSize() != first.GetSize() ||
            page.GetBitCount() != first.GetBitCount()) {
            ShowMessage("Pile : l'image " + std::to_string(i + 1) +
                        " n'a pas la taille et la profondeur de la première");
            done = false;
        }
        pictures[static_cast<std::size_t>(i)].number = i + 1;
    }
    if (done) doc.SetPages(std::move(pictures));
    doc.RecordOperation({.flag = "--stack-from",
                         .resetsRoi = true,
                         .wholeStack = true,
                         .notReplayable = "pictures assembled into a stack, which a recipe does "
                                          "not name"},
                        done);
    return done;
}
