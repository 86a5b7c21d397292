// The single-instance probe: one copy holds the title, a later one posts its
// message there and learns that it must end.
#include "platform/os/SingleInstance.h"

#include "tests/platform/os/ScratchHome.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr uint32_t ActivateMessage = 0x1400;

class SingleInstanceTest : public ::testing::Test {
protected:
    ScratchHome Home; // the instance name depends on it, so runs never meet
    const std::string Title = "Corvanta2.0";
};

TEST_F(SingleInstanceTest, WithNobodyListeningThePostFindsNoCopy) {
    EXPECT_FALSE(PostToRunningInstance(Title, ActivateMessage));
}

TEST_F(SingleInstanceTest, TheSecondCopyPostsToTheFirstAndCannotClaimTheTitle) {
    TSingleInstance first(Title);
    std::vector<uint32_t> received;
    first.OnMessage = [&](uint32_t msg) { received.push_back(msg); };
    ASSERT_TRUE(first.Listen());

    TSingleInstance second(Title);
    EXPECT_FALSE(second.Listen());
    EXPECT_FALSE(second.Listening());
    EXPECT_TRUE(PostToRunningInstance(Title, ActivateMessage));
    EXPECT_EQ(first.ProcessMessages(2000), 1);
    EXPECT_EQ(received, std::vector<uint32_t>{ActivateMessage});
    EXPECT_EQ(first.ProcessMessages(0), 0);
}

TEST_F(SingleInstanceTest, TheTitleIsFreeAgainOnceTheFirstCopyEnds) {
    {
        TSingleInstance first(Title);
        ASSERT_TRUE(first.Listen());
    }
    EXPECT_FALSE(PostToRunningInstance(Title, ActivateMessage));
    TSingleInstance next(Title);
    EXPECT_TRUE(next.Listen());
}

TEST_F(SingleInstanceTest, OtherTitlesAndOtherSettingsFoldersDoNotMeet) {
    TSingleInstance first(Title);
    ASSERT_TRUE(first.Listen());
    EXPECT_FALSE(PostToRunningInstance("Another", ActivateMessage));
    {
        ScratchHome elsewhere;
        EXPECT_FALSE(PostToRunningInstance(Title, ActivateMessage));
        TSingleInstance separate(Title);
        EXPECT_TRUE(separate.Listen());
    }
    EXPECT_TRUE(PostToRunningInstance(Title, ActivateMessage));
}

TEST_F(SingleInstanceTest, AProcessStartedLaterReachesTheRunningOne) {
    TSingleInstance first(Title);
    uint32_t received = 0;
    first.OnMessage = [&](uint32_t msg) { received = msg; };
    ASSERT_TRUE(first.Listen());
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TSingleInstance mine(Title);
        const bool mustEnd = !mine.Listen() && PostToRunningInstance(Title, ActivateMessage);
        _exit(mustEnd ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(first.ProcessMessages(2000), 1);
    EXPECT_EQ(received, ActivateMessage);
}

} // namespace
