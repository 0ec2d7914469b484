// The file's own values: the window that makes the levels from them.

#include "CliOperation.h"
#include "StepsValues.h"

namespace {

CliOperation Window() {
    return {"--window", "LOW,HIGH|auto|saturate:P",
            "the levels made again from the file's own samples (a grey file deeper than 8 "
            "bits) by the window LOW .. HIGH, in the file's values; auto: its least to its "
            "greatest sample, as at opening; saturate:P: P % of the samples (0 .. 50) left "
            "below LOW and as many above HIGH",
            kStepNeeds<StepWindow>,
            [](const std::string& arg, std::string& error) -> std::optional<CliAction> {
                const auto choice = ParseWindowArgument(arg);
                if (!choice) {
                    error =
                        "expects LOW,HIGH (two numbers, LOW <= HIGH), auto or saturate:P "
                        "(P 0 .. 50)";
                    return std::nullopt;
                }
                return
                    [choice = *choice](CliContext& c) { return StepChosenWindow(c.doc, choice); };
            }};
}

}  // namespace

void AddValueOperations(std::vector<CliOperation>& table) { table.push_back(Window()); }
