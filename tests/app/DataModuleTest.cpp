// The data module on a scratch program folder holding a fresh copy of the
// shared database template: the connection and the id counter.
#include "app/DataModule.h"

#include "tests/app/ScratchProgramFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

class DataModuleTest : public ::testing::Test {
protected:
    ScratchProgramFolder Program{"voltrane.mdb"};

    // The value SYS_MaxID holds for Name, or -1 when it has no row.
    static Integer StoredMaxID(TDM& dm, const std::string& name) {
        TADOQuery query(nullptr);
        query.SetConnection(dm.ADOConnection1);
        query.SQL()->SetText("SELECT CurrentMaxID FROM SYS_MaxID WHERE TableName = :Name");
        query.Parameters()->ParamByName("Name")->SetValue(name);
        query.Open();
        return query.IsEmpty() ? -1 : query.Fields()[0]->AsInteger();
    }
};

TEST_F(DataModuleTest, CreationConnectsTheProgramFoldersSharedDatabase) {
    TDM dm(nullptr);
    EXPECT_TRUE(dm.ADOConnection1->Connected());
    EXPECT_FALSE(dm.ADOConnection1->LoginPrompt());
    EXPECT_EQ(fs::path(dm.ADOConnection1->DatabaseFileName()), Program.Folder() / "voltrane.mdb");
    EXPECT_EQ(dm.ADOQuery1->Connection(), dm.ADOConnection1);
    EXPECT_EQ(dm.FindComponent("cvEditStyleController1"), dm.cvEditStyleController1);
    EXPECT_EQ(dm.cvEditStyleController1->BorderStyle(), xbsFlat);
    EXPECT_EQ(dm.FindComponent("cvCheckEditStyleController1"), dm.cvCheckEditStyleController1);
    EXPECT_EQ(dm.cvCheckEditStyleController1->ButtonStyle(), btsFlat);
    EXPECT_EQ(dm.cvCheckEditStyleController1->BorderStyle(), xbsNone);
    dm.DataModuleDestroy(&dm);
    EXPECT_FALSE(dm.ADOConnection1->Connected());
}

TEST_F(DataModuleTest, AMissingSharedDatabaseFailsTheCreation) {
    fs::remove(Program.Folder() / "voltrane.mdb");
    EXPECT_THROW(TDM dm(nullptr), Exception);
    EXPECT_FALSE(fs::exists(Program.Folder() / "voltrane.mdb")); // and nothing was made in its place
}

TEST_F(DataModuleTest, GetMaxIdStartsAtOneAndStoresTwo) {
    TDM dm(nullptr);
    EXPECT_EQ(dm.GetMaxID("KORIM_NWZQJCB"), 1);
    EXPECT_EQ(StoredMaxID(dm, "KORIM_NWZQJCB"), 2);
    EXPECT_EQ(dm.GetMaxID("KORIM_NWZQJCB"), 2);
    EXPECT_EQ(StoredMaxID(dm, "KORIM_NWZQJCB"), 3);
}

TEST_F(DataModuleTest, GetMaxIdHandsOutTheStoredValueAndAddsOne) {
    TDM dm(nullptr);
    dm.ADOConnection1->Execute("INSERT INTO SYS_MaxID(TableName, CurrentMaxID) VALUES ('KORIM_YSSQNB', 41)");
    EXPECT_EQ(dm.GetMaxID("KORIM_YSSQNB"), 41);
    EXPECT_EQ(StoredMaxID(dm, "KORIM_YSSQNB"), 42);
}

TEST_F(DataModuleTest, GetMaxIdCountsEachNameOnItsOwn) {
    TDM dm(nullptr);
    struct Step {
        const char* Name;
        Integer Expected;
    };
    const Step steps[] = {
        {"KORIM_YSSQNB", 1},
        {"KORIM_SQJJZBNB", 1},
        {"KORIM_YSSQNB", 2},
        {"KORIM_YSSQNB", 3},
        {"KORIM_SQJJZBNB", 2},
        // Counter names compare without case, so a differently written name
        // never restarts a counter at 1 and hands out a used key.
        {"korim_yssqnb", 4},
    };
    for (const auto& step : steps)
        EXPECT_EQ(dm.GetMaxID(step.Name), step.Expected) << step.Name;
}

TEST_F(DataModuleTest, ANameWithQuotesIsStoredAsTextAndRunsNothing) {
    TDM dm(nullptr);
    const std::string name = "x'); DELETE FROM SYS_MaxID; --'";
    dm.GetMaxID("KORIM_YSZSBNB");
    EXPECT_EQ(dm.GetMaxID(name), 1);
    EXPECT_EQ(dm.GetMaxID(name), 2);
    EXPECT_EQ(StoredMaxID(dm, name), 3);
    EXPECT_EQ(StoredMaxID(dm, "KORIM_YSZSBNB"), 2);
}

TEST_F(DataModuleTest, GetMaxIdInsideACallersTransactionGoesWithIt) {
    TDM dm(nullptr);
    dm.ADOConnection1->BeginTrans();
    EXPECT_EQ(dm.GetMaxID("T"), 1);
    EXPECT_EQ(dm.GetMaxID("T"), 2);
    EXPECT_TRUE(dm.ADOConnection1->InTransaction());
    dm.ADOConnection1->RollbackTrans();
    EXPECT_EQ(StoredMaxID(dm, "T"), -1);
    EXPECT_EQ(dm.GetMaxID("T"), 1);
}

TEST_F(DataModuleTest, TwoConnectionsTakingTurnsShareOneSequence) {
    TDM first(nullptr);
    TDM second(nullptr);
    std::vector<Integer> ids;
    for (int i = 0; i < 5; ++i) {
        ids.push_back(first.GetMaxID("T"));
        ids.push_back(second.GetMaxID("T"));
    }
    EXPECT_EQ(ids, (std::vector<Integer>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

// Several processes draw from one counter at the same time; each id must be
// handed out exactly once (the read and the update used to be two separate
// statements, so two processes could read the same value).
TEST_F(DataModuleTest, ProcessesDrawingAtOnceNeverGetTheSameId) {
    constexpr int processes = 4;
    constexpr int idsEach = 40;
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    std::vector<pid_t> children;
    for (int p = 0; p < processes; ++p) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(pipeEnds[0]);
            int status = 0;
            try {
                TDM dm(nullptr);
                for (int i = 0; i < idsEach; ++i) {
                    const Integer id = dm.GetMaxID("KORIM_NWZQJCB");
                    if (write(pipeEnds[1], &id, sizeof id) != sizeof id) status = 2;
                }
            } catch (...) {
                status = 1;
            }
            _exit(status);
        }
        children.push_back(child);
    }
    close(pipeEnds[1]);
    std::vector<Integer> ids;
    for (Integer id; read(pipeEnds[0], &id, sizeof id) == sizeof id;)
        ids.push_back(id);
    close(pipeEnds[0]);
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::set<Integer> distinct(ids.begin(), ids.end());
    EXPECT_EQ(ids.size(), size_t(processes * idsEach));
    EXPECT_EQ(distinct.size(), ids.size());
    EXPECT_EQ(*distinct.begin(), 1);
    EXPECT_EQ(*distinct.rbegin(), processes * idsEach);
}

} // namespace
