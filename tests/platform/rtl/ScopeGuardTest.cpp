// The scope guard: its end action runs however the scope is left, and an end
// action that fails during unwinding never replaces the exception in flight.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/rtl/ScopeGuard.h"

namespace {

TEST(ScopeGuardTest, EndActionRunsOnceOnReturnAndOnException) {
    int ends = 0;
    {
        TScopeGuard guard([&] { ++ends; });
    }
    EXPECT_EQ(ends, 1);
    try {
        TScopeGuard guard([&] { ++ends; });
        throw std::runtime_error("body");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(ends, 2);
}

TEST(ScopeGuardTest, FailingEndActionPropagatesOnlyWhenTheScopeIsLeftNormally) {
    EXPECT_THROW({ TScopeGuard guard([] { throw std::runtime_error("end"); }); }, std::runtime_error);

    std::string reported;
    try {
        TScopeGuard guard([] { throw std::logic_error("end"); });
        throw std::runtime_error("body");
    } catch (const std::exception& e) {
        reported = e.what();
    }
    EXPECT_EQ(reported, "body");
}

// A destructor that runs while an exception unwinds may hold a guard of its
// own: that guard's scope is left normally, so its failure reaches the
// destructor, which must not let anything out.
struct TCleanupInDestructor {
    std::string& Seen;
    ~TCleanupInDestructor() {
        try {
            TScopeGuard guard([] { throw std::logic_error("inner end"); });
        } catch (const std::logic_error& e) {
            Seen = e.what();
        }
    }
};

TEST(ScopeGuardTest, GuardInsideAnUnwindingDestructorSeesItsOwnScope) {
    std::string seen;
    std::string reported;
    try {
        TCleanupInDestructor cleanup{seen};
        throw std::runtime_error("body");
    } catch (const std::runtime_error& e) {
        reported = e.what();
    }
    EXPECT_EQ(seen, "inner end");
    EXPECT_EQ(reported, "body");
}

} // namespace
