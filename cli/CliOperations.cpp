#include "CliOperation.h"

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
