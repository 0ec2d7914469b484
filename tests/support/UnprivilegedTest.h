#pragma once
// For a GoogleTest body about permissions: under root, the test runs again
// as nobody and its verdict becomes this one's (see Unprivileged.h).

#include <gtest/gtest.h>

#include "Unprivileged.h"

inline std::string CurrentTestName() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(info->test_suite_name()) + "." + info->name();
}

// The first statement of such a test.
#define RUN_AS_NOBODY_WHEN_ROOT()                                                           \
    do {                                                                                    \
        if (!RunningAsRoot()) break;                                                        \
        if (!CanRunAsNobody()) GTEST_SKIP() << "setpriv is missing: cannot test as nobody"; \
        const SUnprivilegedRun run =                                                        \
            RunAsNobody({OwnProgramPath(), "--gtest_filter=" + CurrentTestName()});         \
        EXPECT_TRUE(run.status == 0 &&                                                      \
                    run.output.find("[  PASSED  ] 1 test.") != std::string::npos)           \
            << "as nobody:\n"                                                               \
            << run.output;                                                                  \
        return;                                                                             \
    } while (false)
