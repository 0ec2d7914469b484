#include <utility>

#include "CliOperation.h"

CliOperation StepOperation(std::string flag, std::string help, bool (*step)(CImageDocument&),
                           StepNeeds needs) {
    return {std::move(flag), "", std::move(help), needs,
            [step](const std::string&, std::string&) -> std::optional<CliAction> {
                return [step](CliContext& c) { return step(c.doc); };
            }};
}

CliOperation WithoutUndoCopy(CliOperation operation) {
    operation.takesUndoCopy = false;
    return operation;
}

const std::vector<CliOperation>& CliOperations() {
    static const std::vector<CliOperation> table = [] {
        std::vector<CliOperation> t;
        AddBasicOperations(t);
        AddImageOperations(t);
        AddFilterOperations(t);
        return t;
    }();
    return table;
}
