#include "LossNote.h"

#include <vector>

#include "SampleWindowText.h"

std::string LossNote(const SPictureLosses& losses, int firstPage) {
    std::vector<std::string> parts;
    if (losses.pages > losses.pagesKept)
        parts.push_back(losses.pagesKept == 1
                            ? "only page " + std::to_string(firstPage) + " of " +
                                  std::to_string(losses.pages) + " is written"
                            : "only " + std::to_string(losses.pagesKept) + " pages of " +
                                  std::to_string(losses.pages) + " are written");
    if (losses.Deeper()) {
        const char* kind = losses.sampleKind == SampleKind::Signed  ? " signed"
                           : losses.sampleKind == SampleKind::Float ? " floating-point"
                                                                    : "";
        parts.push_back(std::to_string(losses.sampleBits) + "-bit" + kind +
                        " samples are written as their 8-bit window " + WindowValues(losses));
    }
    if (losses.alpha) parts.push_back("its transparency is not written");
    std::string note;
    for (const std::string& part : parts) note += (note.empty() ? "" : "; ") + part;
    return note;
}
