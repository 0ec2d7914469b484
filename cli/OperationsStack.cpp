// The pages of a stack: which ones the next operations run on, and the
// steps that change the stack itself.

#include "ArgParse.h"
#include "CliOperation.h"
#include "Message.h"
#include "StepsStack.h"

namespace {

std::optional<int> PageNumber(const std::string& arg, std::string& error) {
    const auto number = ParseInteger(arg);
    if (!number || *number < 1 || *number > limits::kMaxPages) {
        error = "expects a page number of at least 1";
        return std::nullopt;
    }
    return static_cast<int>(*number);
}

// A page the stack holds; the others are told apart from a damaged file.
bool HasPage(CliContext& c, int number) {
    if (c.doc.FindPage(number) >= 0) return true;
    ShowMessage("page " + std::to_string(number) + " is not among the pages read (--pages)");
    return false;
}

CliOperation Page() {
    return {"--page", "K|all",
            "the following operations run on page K of the stack only, or on all its pages "
            "(the default)",
            StepNeeds::Nothing,
            [](const std::string& arg, std::string& error) -> std::optional<CliAction> {
                if (arg == "all")
                    return [](CliContext& c) {
                        c.allPages = true;
                        c.doc.SetCurrentPage(0);
                        return true;
                    };
                const auto number = PageNumber(arg, error);
                if (!number) return std::nullopt;
                return [number = *number](CliContext& c) {
                    if (!HasPage(c, number)) return false;
                    c.allPages = false;
                    c.doc.SetCurrentPage(c.doc.FindPage(number));
                    return true;
                };
            }};
}

CliOperation Project() {
    return {"--project", "max|min|mean",
            "one page made of the stack's: the brightest, darkest or mean (rounded half up) "
            "value of each pixel through the pages",
            kStepNeeds<StepProject>,
            [](const std::string& arg, std::string& error) -> std::optional<CliAction> {
                if (const auto kind = FindProjectionName(arg))
                    return [kind = *kind](CliContext& c) { return StepProject(c.doc, kind); };
                error = "expects max, min or mean";
                return std::nullopt;
            }};
}

CliOperation ExtractPage() {
    return {"--extract-page", "K", "the stack becomes its page K alone",
            kStepNeeds<StepExtractPage>,
            [](const std::string& arg, std::string& error) -> std::optional<CliAction> {
                const auto number = PageNumber(arg, error);
                if (!number) return std::nullopt;
                return [number = *number](CliContext& c) {
                    return HasPage(c, number) && StepExtractPage(c.doc, number);
                };
            }};
}

CliOperation DeletePage() {
    return {"--delete-page", "K", "page K leaves the stack", kStepNeeds<StepDeletePage>,
            [](const std::string& arg, std::string& error) -> std::optional<CliAction> {
                const auto number = PageNumber(arg, error);
                if (!number) return std::nullopt;
                return [number = *number](CliContext& c) {
                    return HasPage(c, number) && StepDeletePage(c.doc, number);
                };
            }};
}

// The stack's own steps run once and take no undo copy.
CliOperation OnStack(CliOperation operation, bool makesOnePage) {
    operation.pages = CliPageUse::Stack;
    operation.takesUndoCopy = false;
    operation.makesOnePage = makesOnePage;
    return operation;
}

}  // namespace

void AddStackOperations(std::vector<CliOperation>& table) {
    CliOperation page = OnStack(Page(), false);
    page.changesPicture = false;
    table.push_back(page);
    table.push_back(OnStack(Project(), true));
    table.push_back(OnStack(ExtractPage(), true));
    table.push_back(OnStack(DeletePage(), false));
}
