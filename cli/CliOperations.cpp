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

CliOperation AsReport(CliOperation operation) {
    operation.takesUndoCopy = false;
    operation.report = true;
    operation.changesPicture = false;
    operation.pages = CliPageUse::InTurn;
    return operation;
}

const CliOperation* FindOperation(const std::string& flag) {
    for (const CliOperation& op : CliOperations())
        if (op.flag == flag) return &op;
    return nullptr;
}

const std::vector<CliOperation>& CliOperations() {
    static const std::vector<CliOperation> table = [] {
        std::vector<CliOperation> t;
        AddBasicOperations(t);
        AddImageOperations(t);
        AddValueOperations(t);
        AddFilterOperations(t);
        AddMeasureOperations(t);
        AddStackOperations(t);
        return t;
    }();
    return table;
}
