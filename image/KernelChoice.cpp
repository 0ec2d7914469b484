#include "KernelChoice.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

std::atomic<bool> g_forcePlain{false};

bool ProcessorHasVectorUnit() {
#if ORVEX_VECTOR_KERNELS
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

bool EnvironmentForcesPlain() {
    const char* value = std::getenv("ORVEX_FORCE_PLAIN");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

bool MachineChoosesVector() {
    static const bool vector = ProcessorHasVectorUnit() && !EnvironmentForcesPlain();
    return vector;
}

}  // namespace

bool UseVectorKernels() {
    return !g_forcePlain.load(std::memory_order_relaxed) && MachineChoosesVector();
}

void ForcePlainKernels(bool force) { g_forcePlain.store(force, std::memory_order_relaxed); }
