// The switch between the vector and the plain kernels: the plain run of these
// tests (ORVEX_FORCE_PLAIN=1) must really run the plain versions.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "KernelChoice.h"

TEST(KernelChoice, EnvironmentAndTestHookForceThePlainVersions) {
    const char* forced = std::getenv("ORVEX_FORCE_PLAIN");
    if (forced != nullptr && std::strcmp(forced, "1") == 0) {
        EXPECT_FALSE(UseVectorKernels());
    }
    const bool chosen = UseVectorKernels();
    ForcePlainKernels(true);
    EXPECT_FALSE(UseVectorKernels());
    ForcePlainKernels(false);
    EXPECT_EQ(UseVectorKernels(), chosen);
#if ORVEX_VECTOR_KERNELS
    if (forced == nullptr) {
        EXPECT_EQ(UseVectorKernels(), __builtin_cpu_supports("avx2") != 0);
    }
#endif
}
