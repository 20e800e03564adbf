#pragma once
// A stop for the tests of the command's crash safety: when the environment variable
// MERROWKIT_TEST_KILL_AT names a step, the program kills itself with SIGKILL on reaching it, so
// that a test can check what a real kill at that moment leaves behind. Without the variable
// nothing happens. The hooks exist only in a program built with MERROWKIT_TEST_HOOKS (the
// default when the tests are built).
// MERROWKIT_TEST_PLANT_AT=STEP:FILE instead writes FILE on reaching STEP, as a user who saves a
// file into the output folder while the run works.

namespace merrowcli {

void killedAtForTest(const char* step);

// True when MERROWKIT_TEST_NO_EXCHANGE is set: the commit then takes the two-rename path it
// keeps for file systems that cannot swap two folders in one step.
bool exchangeDisabledForTest();

// True when MERROWKIT_TEST_NO_LINK is set: the import then copies the pictures it takes from
// the previous project, as where the file system has no hard links.
bool linkDisabledForTest();

// The pixel budget of a build: MERROWKIT_TEST_PIXEL_BUDGET (bytes) when set to a positive
// number, so that a test can reach the limit with small pictures; else fallback.
long long pixelBudgetForTest(long long fallback);

}  // namespace merrowcli
