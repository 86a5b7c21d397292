// The start-up's registry reset, on the file registry of a scratch settings
// folder.
#include "app/RegistryReset.h"

#include "platform/os/Registry.h"
#include "platform/rtl/StringList.h"
#include "tests/platform/os/ScratchHome.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class RegistryResetTest : public ::testing::Test {
protected:
    ScratchHome Home;
    TRegistry Reg;
    void SetUp() override { Reg.SetRootKey(HKEY_LOCAL_MACHINE); }

    std::vector<std::string> ValueNames() {
        TStringList names;
        Reg.GetValueNames(&names);
        std::vector<std::string> result;
        for (int i = 0; i < names.Count(); ++i)
            result.push_back(names.Strings(i));
        return result;
    }
};

TEST_F(RegistryResetTest, AKeyAlreadyResetIsLeftAlone) {
    ASSERT_TRUE(Reg.OpenKey(ProgramRegistryKey, true));
    Reg.WriteString("", "1");
    Reg.WriteString("a", "kept");
    ResetProgramRegistryKey();
    EXPECT_EQ(Reg.ReadString("a"), "kept");
    EXPECT_EQ(ValueNames(), (std::vector<std::string>{"", "a"}));
}

TEST_F(RegistryResetTest, AnyOtherDefaultDeletesEveryValueAndWritesOne) {
    struct Case {
        const char* Name;
        void (*Prepare)(TRegistry&);
    };
    const Case cases[] = {
        {"default 0", [](TRegistry& r) { r.WriteString("", "0"); }},
        {"no default", [](TRegistry&) {}},
        {"default ' 1'", [](TRegistry& r) { r.WriteString("", " 1"); }},
        {"default of another kind", [](TRegistry& r) { r.WriteInteger("", 1); }},
    };
    for (const auto& c : cases) {
        Reg.DeleteKey(ProgramRegistryKey);
        ASSERT_TRUE(Reg.OpenKey(ProgramRegistryKey, true));
        c.Prepare(Reg);
        Reg.WriteString("a", "x");
        Reg.WriteInteger("b", 7);
        ResetProgramRegistryKey();
        EXPECT_EQ(ValueNames(), std::vector<std::string>{""}) << c.Name;
        EXPECT_EQ(Reg.ReadString(""), "1") << c.Name;
    }
}

TEST_F(RegistryResetTest, AMissingKeyIsNotCreated) {
    ResetProgramRegistryKey();
    EXPECT_FALSE(Reg.KeyExists(ProgramRegistryKey));
    EXPECT_FALSE(Reg.KeyExists("\\software"));
}

TEST_F(RegistryResetTest, KeysBelowAndElsewhereAreUntouched) {
    ASSERT_TRUE(Reg.OpenKey("\\software\\Stelvane", true));
    Reg.WriteString("abc", "1");
    ASSERT_TRUE(Reg.OpenKey(std::string(ProgramRegistryKey) + "\\Sub", true));
    Reg.WriteString("s", "x");
    ResetProgramRegistryKey();
    ASSERT_TRUE(Reg.OpenKey(std::string(ProgramRegistryKey) + "\\Sub", false));
    EXPECT_EQ(Reg.ReadString("s"), "x");
    ASSERT_TRUE(Reg.OpenKey("\\software\\Stelvane", false));
    EXPECT_EQ(Reg.ReadString("abc"), "1");
    ASSERT_TRUE(Reg.OpenKey(ProgramRegistryKey, false));
    EXPECT_EQ(Reg.ReadString(""), "1");
}

} // namespace
