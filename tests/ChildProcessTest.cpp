// The net under the sanitized build: a child (the game under test) whose standard error carries a
// sanitizer's report fails the test that started it, whatever its exit status, while other text
// on its standard error does not.

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "support/ChildProcess.h"
#include "support/TempDirectory.h"

namespace {

using namespace std::chrono_literals;

struct ErrorCase {
    const char* name;
    const char* error;
    int status;
    bool report;
};

const ErrorCase kErrorCases[] = {
    {"leak",
     "==7==ERROR: LeakSanitizer: detected memory leaks\n\nDirect leak of 56 byte(s)\n\n"
     "SUMMARY: AddressSanitizer: 56 byte(s) leaked in 1 allocation(s).\n",
     23, true},
    {"undefined behaviour after a failure status",
     "Animator.cpp:40:5: runtime error: signed integer overflow\n"
     "SUMMARY: UndefinedBehaviorSanitizer: undefined-behavior Animator.cpp:40:5 in \n",
     1, true},
    {"the game's own error", "ERROR: no OpenGL 3.3 context\n", 1, false},
    {"a summary that is not a sanitizer's", "SUMMARY: 3 scenes loaded\n", 0, false},
};

TEST(ChildProcessTest, ASanitizerReportOnTheChildsStandardErrorFailsTheTest) {
    for (const ErrorCase& c : kErrorCases) {
        SCOPED_TRACE(c.name);
        TempDirectory temp;
        const auto run = [&] {
            ChildProcess child({{"/bin/sh", "-c", "printf %s \"$1\" >&2; exit \"$2\"", "sh",
                                 c.error, std::to_string(c.status)},
                                {},
                                {},
                                temp.path() / "out.txt",
                                temp.path() / "err.txt"});
            EXPECT_EQ(child.Wait(10s), c.status);
        };
        if (c.report) {
            EXPECT_NONFATAL_FAILURE(run(), "ended with a sanitizer report");
        } else {
            run();
        }
    }
}

}  // namespace
