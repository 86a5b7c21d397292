// Ends the test program as soon as the tests are done. The Qt application
// object is a function-local static, destroyed at exit after Qt's registry of
// input devices, which the headless platform fills once a window has been
// shown; its destruction then crashes a program whose tests all passed. Until
// that object is made to outlive exit, the program leaves without running the
// static destructors, with the tests' verdict as its status.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

// gtest announces the end to its listeners in reverse order, so this one,
// appended before gtest adds its printer, hears it after the summary.
class WmExitListener : public ::testing::EmptyTestEventListener {
    void OnTestProgramEnd(const ::testing::UnitTest& unit) override {
        std::fflush(nullptr);
        std::_Exit(unit.Passed() ? 0 : 1);
    }
};

const bool installed = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new WmExitListener);
    return true;
}();

} // namespace
