// Ends the test program right after the summary. The platform's Qt application
// object is destroyed at exit after Qt's input-device registry, which crashes a
// program whose tests have all passed; leaving without static destructors keeps
// the verdict as the exit status.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

class ExitAfterSummary : public ::testing::EmptyTestEventListener {
    void OnTestProgramEnd(const ::testing::UnitTest& unit) override {
        std::fflush(nullptr);
        std::_Exit(unit.Passed() ? 0 : 1);
    }
};

const bool installed = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new ExitAfterSummary);
    return true;
}();

} // namespace
