// Test entry point: the host program is the one under tests/data/program, so the template
// search finds the test pictures (and no folder named by MERROWKIT_TEMPLATE_DIR), and every
// document made by a test is released at the end.

#include <gtest/gtest.h>
#include <stdlib.h>

#include "host/dom/DocumentRegistry.h"
#include "host/dom/XmlOutputFileGlue.h"
#include "host/framework/AppFramework.h"

int main(int argc, char** argv) {
    merrowhost::setProgramPath(MERROWKIT_TEST_PROGRAM);
    // Only the test's own template folders, also for the programs the tests run.
    unsetenv(merrowhost::kTemplateDirVariable);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    merrowhost::releaseAllDocuments();
    return result;
}
