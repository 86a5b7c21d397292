// The main of every test program. It sets the environment the tests rely on
// before anything runs, so a test program behaves the same under CTest and
// when started by hand: headless Qt, and where the sources and the built
// program folder lie.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("CORVANTA_TEST_SOURCE_DIR", CORVANTA_TEST_SOURCE_DIR, 0);
    setenv("CORVANTA_PROGRAM_DIR", CORVANTA_PROGRAM_DIR, 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
