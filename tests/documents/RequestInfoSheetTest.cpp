// The information sheet: the completeness rule, and a complete application
// typed into the template the build lays out and shown unsaved from a
// temporary folder; the word processor itself reads the values back.
#include "tests/documents/StoredRequestWorld.h"

#include "platform/rtl/FileUtils.h"
#include "tests/app/BuiltProgramFolder.h"
#include "tests/support/ScopedEnvironmentVariable.h"

namespace fs = std::filesystem;

namespace {

class RequestInfoSheetTest : public ::testing::Test, public StoredRequestWorld {
protected:
    TScratchFolder Bin;
    TScopedEnvironmentVariable Path{"PATH"};

    void SetUp() override {
        fs::create_directories(Program.Path() + "worddot");
        fs::copy_file(BuiltProgramFolder() + "worddot/kjprjinfotable.doc",
                      Program.Path() + "worddot/kjprjinfotable.doc");
        // A word processor as the desktop would name one, before the real ones.
        WriteFileContents(Bin / "lowriter", "#!/bin/sh\n");
        fs::permissions(Bin / "lowriter", fs::perms::owner_all);
        Path.Set(Bin.Path() + ":" + std::getenv("PATH"));
    }
    std::string Name(const std::string& SQL) const { return Column(SQL).at(0); }
};

TEST_F(RequestInfoSheetTest, CompletenessFollowsTheRulesOfEachColumn) {
    struct TCase {
        const char* Set;
        bool Complete;
    } const cases[] = {
        {"XMMC=XMMC", true},
        {"ZNDM=''", true},
        {"ZNDM='12345'", false},
        {"ZNDM='123456'", true},
        {"SBNF=' 2026 '", true},
        {"SBNF='202'", false},
        {"JSLYDM='', XKLYDM='01'", true},
        {"JSLYDM='H'", false},
        {"JSLYDM='', XKLYDM=''", false},
        {"JHLBDM=''", false},
        {"ZTC1='', ZTC3='节水'", true},
        {"ZTC1='', ZTC2='', ZTC3=''", false},
        {"DWDZ=null, YZBM=null, XMFZRLXDH1=null, RWSWJM=null", true},
        {"DWMC=''", false},
        {"NLR=null", false},
        {"DWSZXQDM=null", false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Set);
        Exec("create temp table variant as select * from KJJHSB");
        Exec(std::string("update variant set KJJHSBID=2026120099, ") + c.Set);
        Exec("insert into KJJHSB select * from variant");
        Exec("drop table variant");
        EXPECT_EQ(CompletenessCheck("2026120099")->Active(), c.Complete);
        Exec("delete from KJJHSB where KJJHSBID=2026120099");
    }
    // No row: an open, empty query, which is incomplete as well.
    const auto none = CompletenessCheck("2026120098");
    EXPECT_TRUE(none->Active() && none->IsEmpty());
}

TEST_F(RequestInfoSheetTest, ACompleteApplicationIsTypedIntoANewSheetAndShown) {
    Exec("update KJJHSB set XMFZRXB2=1, XMFZRXW2=2, XMFZRCSN2='1955', ZYYJNR=?", {"第一段\n第二段{含括号}"});
    Requery();
    Form->ModifiedFlag = false;
    Form->ActionOpenInfoExecute(nullptr);
    EXPECT_TRUE(Dialogs.Boxes().empty()) << std::get<0>(LastBox());
    EXPECT_FALSE(Form->ModifiedFlag);
    ASSERT_EQ(Shell.Launched.size(), 1u);
    const std::string sheet = Shell.Launched[0];
    EXPECT_EQ(sheet.rfind(GetTempDir(), 0), 0u) << sheet;
    EXPECT_TRUE(fs::is_empty(Folder));
    EXPECT_EQ(std::distance(fs::directory_iterator(Program.Path() + "worddot"), fs::directory_iterator()), 1);
    // The window's technical-field boxes show the application's subdivision.
    const std::string subdivision = Name("select JSLYMC from JSLY where JSLYDM='H01'");
    EXPECT_EQ(Form->ccb_JSLYDM_other->Text(), subdivision);

    const auto text = TextAsTheWordProcessorReadsIt(sheet);
    fs::remove_all(fs::path(sheet).parent_path());
    if (!text) GTEST_SKIP() << "soffice is missing";
    const std::string expected[] = {
        "节水灌溉技术",
        "第一段\n第二段{含括号}",
        "2026年01月 至 2027年12月",
        subdivision,
        Name("select JHMC from JHLB where JHLBDM='01'"),
        Name("select ZGBMMC from ZGBM where ZGBMDM=(select ZGBMDM from KJJHSB)"),
        Name("select DQMC from XZQHDM where DQDM=(select DWSZSDM from KJJHSB)") + " " +
            Name("select DQMC from XZQHDM where DQDM=(select DWSZXQDM from KJJHSB)"),
        "男",
        "研究生",
        "博士",
        "高级",
        "010010",
        "10.5",
    };
    for (const std::string& value : expected)
        EXPECT_NE(text->find(value), std::string::npos) << value << "\n" << *text;
    // The second leader has no name: none of the details are typed.
    for (const char* detail : {"硕士", "1955"})
        EXPECT_EQ(text->find(detail), std::string::npos) << detail;
    EXPECT_EQ(text->find("男"), text->rfind("男"));
}

TEST_F(RequestInfoSheetTest, AnIncompleteApplicationOrAMissingTemplateOpensNothing) {
    Exec("update KJJHSB set DWMC=''");
    Requery();
    Form->ActionOpenInfoExecute(nullptr);
    EXPECT_EQ(LastBox(), WindowBox("项目信息不完整，请保证信息全部填写并保存", MB_ICONINFORMATION));

    fs::remove(Program.Path() + "worddot/kjprjinfotable.doc");
    Form->ActionOpenInfoExecute(nullptr);
    EXPECT_EQ(LastBox(), WindowBox("系统未提供相应任务书模版", MB_ICONQUESTION));
    EXPECT_TRUE(Shell.Launched.empty());
}

} // namespace
