#include "CRunOptions.h"

CRunOptions& CRunOptions::Get() {
    static CRunOptions options;
    return options;
}
