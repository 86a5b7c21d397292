// Saving a project application: the stored row read back from the database,
// the name that must be unique, a new application whose id was taken, and
// texts that are no numbers.
#include "tests/documents/RequestWorld.h"

#include "platform/rtl/DateTime.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/MessageBoxCodes.h"

namespace {

class RequestSaveTest : public ::testing::Test, public RequestWorld {};

TEST_F(RequestSaveTest, NewApplicationStoresEveryColumnGroupWithNullsForEmptyNumbers) {
    FillComplete("张's 项目");
    Check("ChkBox_qyxz_my");
    Check("ChkBox_qyxz_mid");
    ASSERT_TRUE(Form->SaveApplication()) << (Dialogs.Boxes().empty() ? "" : Dialogs.Boxes().back().Text);
    const std::vector<std::pair<const char*, const char*>> expected = {
        {"projectLevelID", "1"}, {"XMMC", "张's 项目"}, {"YZBM", "010010"},  {"KSSJN", "2026"},     {"KSSJY", "01"},
        {"JSSJN", "2027"},       {"JSSJY", "12"},       {"JSLYDM", "H01"},   {"JHLBDM", "01"},      {"ZNDM", ""},
        {"QYXZ1", "32"},         {"QYXZ2", "35"},       {"QYXZ3", "<null>"}, {"ZJJGLB", "<null>"},  {"XMFZRXM2", ""},
        {"XMFZRXB2", "<null>"},  {"YQNXZLS", "10.5"},   {"HTTP", ""},        {"CJDW1XZ", "<null>"}, {"YQCG1", "<null>"},
        {"XKLYDM", ""},
    };
    for (const auto& [column, value] : expected)
        EXPECT_EQ(Stored(column), value) << column;
}

TEST_F(RequestSaveTest, StoredRowIsUpdatedAndKeepsItsNameWithoutAskingForIt) {
    FillComplete();
    ASSERT_TRUE(Form->SaveApplication());
    Form->LoadedName = "节水灌溉技术";
    Type("edt_DWMC", "改名单位");
    Type("edt_YZBM", "000001");
    ASSERT_TRUE(Form->SaveApplication());
    EXPECT_EQ(Column("select count(*) from KJJHSB"), std::vector<std::string>{"1"});
    EXPECT_EQ(Stored("DWMC"), "改名单位");
    EXPECT_EQ(Stored("YZBM"), "000001");
    EXPECT_EQ(Stored("KSSJY"), "01");
    EXPECT_EQ(Stored("projectLevelID"), "1");
}

TEST_F(RequestSaveTest, ANameAlreadyUsedIsRefusedEvenWithAQuoteInIt) {
    FillComplete("张's 项目");
    ASSERT_TRUE(Form->SaveApplication());
    struct TCase {
        const char* Name;
        const char* Id;
        bool New;
    };
    // A new row always asks; a stored row asks only when renamed.
    for (const TCase& c : {TCase{"张's 项目", "2026120002", true}, TCase{"张's 项目", "2026120003", false}}) {
        SCOPED_TRACE(c.Id);
        Exec("insert into KJJHSB(KJJHSBID, XMMC) values(2026120003, '别的项目')");
        Form->CurrentId = c.Id;
        Form->CurrentIdIsNew = c.New;
        Form->LoadedName = "别的项目";
        Type("edt_XMMC", c.Name);
        Form->pgc_main->SetActivePageIndex(2);
        const size_t before = Dialogs.Boxes().size();
        EXPECT_FALSE(Form->SaveApplication());
        ASSERT_EQ(Dialogs.Boxes().size(), before + 1);
        EXPECT_EQ(Dialogs.Boxes().back().Text, "项目名称已经存在");
        EXPECT_EQ(Dialogs.Boxes().back().Flags & MB_ICONMASK, MB_ICONERROR);
        EXPECT_EQ(Form->pgc_main->ActivePageIndex(), 0);
        EXPECT_EQ(uitest::FocusedControl(), Form->edt_XMMC);
        EXPECT_EQ(Form->edt_XMMC->SelLength(), 6);
        EXPECT_EQ(Stored("XMMC", "2026120003"), "别的项目");
        Exec("delete from KJJHSB where KJJHSBID=2026120003");
    }
    EXPECT_EQ(Column("select count(*) from KJJHSB"), std::vector<std::string>{"1"});
}

TEST_F(RequestSaveTest, ANewApplicationWhoseIdWasTakenIsInsertedUnderAFreshId) {
    Exec("insert into KJJHSB(KJJHSBID, XMMC) values(2026120001, '别人的项目')");
    FillComplete();
    ASSERT_TRUE(Form->SaveApplication());
    EXPECT_EQ(Stored("XMMC"), "别人的项目");
    EXPECT_NE(Form->CurrentId, "2026120001");
    EXPECT_EQ(Form->CurrentId.substr(0, 6), FormatDateTime("yyyymm", Now()));
    EXPECT_EQ(Stored("XMMC", Form->CurrentId), "节水灌溉技术");
    EXPECT_FALSE(Form->CurrentIdIsNew);
}

TEST_F(RequestSaveTest, ATextThatIsNoNumberStopsTheSaveAtItsField) {
    struct TCase {
        const char* Edit;
        const char* Typed;
        int Page;
    };
    // Typed without leaving the field, so no exit rule mends it first. The
    // first is read by the gathering, the second already by the sum rule.
    for (const TCase& c : {TCase{"edt_YQNXZLS", "-", 1}, TCase{"edt_XMZTZ", "-", 2}}) {
        SCOPED_TRACE(c.Edit);
        FillComplete();
        Type(c.Edit, c.Typed);
        const size_t before = Dialogs.Boxes().size();
        EXPECT_FALSE(Form->SaveApplication());
        ASSERT_EQ(Dialogs.Boxes().size(), before + 1);
        EXPECT_NE(Dialogs.Boxes().back().Text.find(c.Typed), std::string::npos) << Dialogs.Boxes().back().Text;
        EXPECT_EQ(Form->pgc_main->ActivePageIndex(), c.Page);
        EXPECT_EQ(uitest::FocusedControl(), Named(c.Edit));
        EXPECT_EQ(Column("select count(*) from KJJHSB"), std::vector<std::string>{"0"});
    }
}

TEST_F(RequestSaveTest, NewIdsTakeTheLowestFreeSuffixOfACrowdedMonthAndStopWhenItIsFull) {
    const std::string month = FormatDateTime("yyyymm", Now());
    Exec("with recursive n(i) as (select 0 union all select i + 1 from n where i < 9999) "
         "insert into KJJHSB(KJJHSBID) select ? * 10000 + i from n where i <> 42",
         {StrToInt64(month)});
    EXPECT_EQ(Form->MakeApplicationId(), month + "0042");
    Exec("insert into KJJHSB(KJJHSBID) values(?)", {StrToInt64(month + "0042")});
    EXPECT_EQ(Form->MakeApplicationId(), "");
    ASSERT_FALSE(Dialogs.Boxes().empty());
    EXPECT_EQ(Dialogs.Boxes().back().Text, "本月可用的项目编号已用完");
}

} // namespace
