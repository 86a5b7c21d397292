// The registry in files: keys, values of each kind, case rules, persistence
// between objects and processes, and the registry-ini view.
#include "platform/os/Registry.h"

#include "platform/rtl/StringList.h"
#include "tests/platform/os/ScratchHome.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::string> ToVector(const TStrings& list) {
    std::vector<std::string> names;
    for (int i = 0; i < list.Count(); ++i)
        names.push_back(list.Strings(i));
    return names;
}

std::vector<std::string> ValueNamesOf(TRegistry& reg) {
    TStringList list;
    reg.GetValueNames(&list);
    return ToVector(list);
}

std::vector<std::string> KeyNamesOf(TRegistry& reg) {
    TStringList list;
    reg.GetKeyNames(&list);
    return ToVector(list);
}

class RegistryTest : public ::testing::Test {
protected:
    ScratchHome Home;
    TRegistry Reg;
    void SetUp() override { Reg.SetRootKey(HKEY_LOCAL_MACHINE); }
};

TEST_F(RegistryTest, OpeningWithoutCreateLeavesAMissingKeyMissing) {
    EXPECT_FALSE(Reg.OpenKey("\\software\\Corvanta2.0", false));
    EXPECT_FALSE(Reg.KeyExists("\\software\\Corvanta2.0"));
    EXPECT_FALSE(Reg.KeyExists("\\software"));
    EXPECT_EQ(Reg.CurrentPath(), "");
}

TEST_F(RegistryTest, KeyNamesIgnoreCaseAndKeepTheFirstSpelling) {
    ASSERT_TRUE(Reg.OpenKey("\\Software\\Corvanta2.0", true));
    EXPECT_EQ(Reg.CurrentPath(), "Software\\Corvanta2.0");
    Reg.CloseKey();
    ASSERT_TRUE(Reg.OpenKey("\\SOFTWARE\\corvanta2.0", false));
    ASSERT_TRUE(Reg.OpenKey("\\software", false));
    EXPECT_EQ(KeyNamesOf(Reg), std::vector<std::string>{"Corvanta2.0"});
    EXPECT_TRUE(Reg.KeyExists("CORVANTA2.0"));
}

TEST_F(RegistryTest, KeyNamesWithTheFilesOwnMarkersSurviveAFreshObject) {
    ASSERT_TRUE(Reg.OpenKey("\\odd]name\\[50%]\\用户", true));
    Reg.WriteString("v", "x");
    TRegistry other;
    other.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(other.OpenKey("\\odd]name\\[50%]", false));
    EXPECT_EQ(KeyNamesOf(other), std::vector<std::string>{"用户"});
    ASSERT_TRUE(other.OpenKey("用户", false));
    EXPECT_EQ(other.ReadString("v"), "x");
}

TEST_F(RegistryTest, RelativePathsStartAtTheOpenKey) {
    ASSERT_TRUE(Reg.OpenKey("\\a", true));
    ASSERT_TRUE(Reg.OpenKey("b\\c", true));
    EXPECT_EQ(Reg.CurrentPath(), "a\\b\\c");
    EXPECT_TRUE(Reg.KeyExists("\\a\\b"));
    ASSERT_TRUE(Reg.OpenKey("", false));
    EXPECT_EQ(Reg.CurrentPath(), "a\\b\\c");
    Reg.CloseKey();
    EXPECT_TRUE(Reg.KeyExists("a\\b\\c")); // relative to the root once closed
}

TEST_F(RegistryTest, ValuesOfEveryKindSurviveInAFreshObject) {
    const std::string awkward = "第一行\r\n=%41[x];\t末尾";
    const std::string bytes("\0\x01\xff\n%", 5);
    ASSERT_TRUE(Reg.OpenKey("\\software\\test", true));
    Reg.WriteString("", "1");
    Reg.WriteString("[odd=name;%]", awkward);
    Reg.WriteInteger("Count", -42);
    Reg.WriteBool("Flag", true);
    Reg.WriteBinaryData("Blob", bytes.data(), int(bytes.size()));

    TRegistry other;
    other.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(other.OpenKey("\\software\\test", false));
    EXPECT_EQ(other.ReadString(""), "1");
    EXPECT_EQ(other.ReadString("[ODD=NAME;%]"), awkward);
    EXPECT_EQ(other.ReadInteger("count"), -42);
    EXPECT_TRUE(other.ReadBool("Flag"));
    EXPECT_EQ(other.GetDataSize("Blob"), 5);
    char buffer[8] = {};
    EXPECT_EQ(other.ReadBinaryData("Blob", buffer, sizeof buffer), 5);
    EXPECT_EQ(std::string(buffer, 5), bytes);
    EXPECT_EQ(ValueNamesOf(other), (std::vector<std::string>{"", "[odd=name;%]", "Count", "Flag", "Blob"}));
}

TEST_F(RegistryTest, RewritingAValueKeepsItsPlaceAndItsNameSpelling) {
    ASSERT_TRUE(Reg.OpenKey("\\k", true));
    Reg.WriteString("Alpha", "1");
    Reg.WriteString("Beta", "2");
    Reg.WriteString("ALPHA", "3");
    EXPECT_EQ(ValueNamesOf(Reg), (std::vector<std::string>{"Alpha", "Beta"}));
    EXPECT_EQ(Reg.ReadString("alpha"), "3");
}

TEST_F(RegistryTest, ReadsOfTheWrongKindOrMissingIntegersRaise) {
    ASSERT_TRUE(Reg.OpenKey("\\k", true));
    Reg.WriteInteger("Number", 7);
    Reg.WriteString("Text", "7");
    char small[2];
    Reg.WriteBinaryData("Blob", "abc", 3);

    EXPECT_EQ(Reg.ReadString("Missing"), "");
    EXPECT_EQ(Reg.ReadBinaryData("Missing", small, sizeof small), 0);
    EXPECT_EQ(Reg.GetDataSize("Missing"), -1);
    EXPECT_THROW(Reg.ReadInteger("Missing"), ERegistryException);
    EXPECT_THROW(Reg.ReadString("Number"), ERegistryException);
    EXPECT_THROW(Reg.ReadInteger("Text"), ERegistryException);
    EXPECT_THROW(Reg.ReadBinaryData("Text", small, sizeof small), ERegistryException);
    EXPECT_THROW(Reg.ReadBinaryData("Blob", small, sizeof small), ERegistryException);
}

TEST_F(RegistryTest, DeleteValueAndDeleteKeyWithEverythingBelow) {
    ASSERT_TRUE(Reg.OpenKey("\\top\\mid\\leaf", true));
    Reg.WriteString("v", "x");
    Reg.CloseKey();
    ASSERT_TRUE(Reg.OpenKey("\\top", false));
    Reg.WriteString("a", "1");
    EXPECT_TRUE(Reg.DeleteValue("A"));
    EXPECT_FALSE(Reg.DeleteValue("a"));
    EXPECT_FALSE(Reg.ValueExists("a"));

    EXPECT_TRUE(Reg.DeleteKey("MID"));
    EXPECT_FALSE(Reg.KeyExists("\\top\\mid\\leaf"));
    EXPECT_FALSE(Reg.DeleteKey("mid"));
    EXPECT_TRUE(Reg.KeyExists("\\top"));
}

TEST_F(RegistryTest, AKeyOpenedReadOnlyRefusesWrites) {
    ASSERT_TRUE(Reg.OpenKey("\\k", true));
    Reg.WriteString("v", "before");
    Reg.CloseKey();
    ASSERT_TRUE(Reg.OpenKeyReadOnly("\\k"));
    EXPECT_EQ(Reg.ReadString("v"), "before");
    EXPECT_THROW(Reg.WriteString("v", "after"), ERegistryException);
    EXPECT_FALSE(Reg.DeleteValue("v"));
    EXPECT_EQ(Reg.ReadString("v"), "before");
}

TEST_F(RegistryTest, WritingToAKeyDeletedByAnotherObjectRaises) {
    ASSERT_TRUE(Reg.OpenKey("\\k", true));
    TRegistry other;
    other.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(other.DeleteKey("\\k"));
    EXPECT_FALSE(Reg.ValueExists("v"));
    EXPECT_THROW(Reg.WriteString("v", "x"), ERegistryException);
    EXPECT_FALSE(Reg.KeyExists("\\k"));
}

TEST_F(RegistryTest, TheTwoRootsAreSeparate) {
    ASSERT_TRUE(Reg.OpenKey("\\shared", true));
    Reg.WriteString("v", "machine");
    TRegistry user; // HKEY_CURRENT_USER by default
    EXPECT_EQ(user.RootKey(), HKEY_CURRENT_USER);
    EXPECT_FALSE(user.KeyExists("\\shared"));
    EXPECT_THROW(user.SetRootKey(0x80000000), ERegistryException);
}

// Each child adds its own values under one lock-free-looking loop; with the
// file lock held from load to rename no child's write is lost.
TEST_F(RegistryTest, ConcurrentWritersFromSeveralProcessesLoseNothing) {
    constexpr int writers = 4;
    constexpr int valuesEach = 25;
    std::vector<pid_t> children;
    for (int w = 0; w < writers; ++w) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            TRegistry reg;
            reg.SetRootKey(HKEY_LOCAL_MACHINE);
            if (!reg.OpenKey("\\race", true)) _exit(1);
            for (int i = 0; i < valuesEach; ++i)
                reg.WriteInteger("w" + std::to_string(w) + "_" + std::to_string(i), i);
            _exit(0);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    ASSERT_TRUE(Reg.OpenKey("\\race", false));
    EXPECT_EQ(ValueNamesOf(Reg).size(), size_t(writers * valuesEach));
    EXPECT_EQ(Reg.ReadInteger("w3_24"), 24);
}

// --- the registry seen as an ini file ---

class RegIniFileTest : public ::testing::Test {
protected:
    ScratchHome Home;
};

TEST_F(RegIniFileTest, IntegersAndBooleansAreStoredAsDecimalText) {
    TRegIniFile ini("\\Layouts");
    ini.WriteInteger("\\Layouts\\Grid", "Width", 120);
    ini.WriteBool("\\Layouts\\Grid", "Visible", true);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Layouts\\Grid", false));
    EXPECT_EQ(reg.ReadString("Width"), "120");
    EXPECT_EQ(reg.ReadString("Visible"), "1");
    EXPECT_EQ(ini.ReadInteger("\\Layouts\\Grid", "Width", 0), 120);
    EXPECT_TRUE(ini.ReadBool("\\Layouts\\Grid", "Visible", false));
}

TEST_F(RegIniFileTest, MissingOrNonDecimalValuesGiveTheDefault) {
    TRegIniFile ini("Layouts");
    ini.WriteString("Grid", "Text", "12px");
    ini.WriteString("Grid", "Blank", "");
    EXPECT_EQ(ini.ReadInteger("Grid", "Text", -1), -1);
    EXPECT_EQ(ini.ReadInteger("Grid", "Blank", 5), 5);
    EXPECT_EQ(ini.ReadInteger("Grid", "Missing", 9), 9);
    EXPECT_EQ(ini.ReadInteger("NoSuchSection", "Width", 3), 3);
    EXPECT_TRUE(ini.ReadBool("Grid", "Missing", true));
    EXPECT_EQ(ini.ReadString("Grid", "Missing", "dflt"), "dflt");
    EXPECT_FALSE(ini.KeyExists("NoSuchSection")); // reading creates nothing
}

TEST_F(RegIniFileTest, SectionsAreKeysBelowTheOpenedOne) {
    TRegIniFile ini("\\Software\\App");
    ini.WriteInteger("Band0", "ID", 0);
    ini.WriteInteger("Band1", "ID", 1);
    ini.WriteInteger("Band1", "Width", 80);
    TStringList sections;
    ini.ReadSections(&sections);
    EXPECT_EQ(ToVector(sections), (std::vector<std::string>{"Band0", "Band1"}));
    TStringList names;
    ini.ReadSection("Band1", &names);
    EXPECT_EQ(ToVector(names), (std::vector<std::string>{"ID", "Width"}));

    ini.DeleteKey("Band1", "ID");
    EXPECT_EQ(ini.ReadInteger("Band1", "ID", -1), -1);
    ini.EraseSection("Band0");
    ini.ReadSections(&sections);
    EXPECT_EQ(ToVector(sections), std::vector<std::string>{"Band1"});
}

} // namespace
