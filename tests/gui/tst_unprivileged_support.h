#pragma once
// For a Qt Test function about permissions: under root, the function runs
// again as nobody and its verdict becomes this one's (see Unprivileged.h).

#include <QtTest>

#include "Unprivileged.h"

// The first statement of such a test function.
#define RUN_AS_NOBODY_WHEN_ROOT()                                                          \
    do {                                                                                   \
        if (!RunningAsRoot()) break;                                                       \
        if (!CanRunAsNobody()) QSKIP("setpriv is missing: cannot test as nobody");         \
        const std::string function = QTest::currentTestFunction();                         \
        const SUnprivilegedRun run = RunAsNobody({OwnProgramPath(), function});            \
        const std::string passed =                                                         \
            std::string("PASS   : ") + metaObject()->className() + "::" + function + "()"; \
        QVERIFY2(run.status == 0 && run.output.find(passed) != std::string::npos,          \
                 run.output.c_str());                                                      \
        return;                                                                            \
    } while (false)
