// The acceptance certificate window: a new certificate's defaults and lists,
// its save checks (lengths, leaders' birth dates, the staff sum and the money
// sums compared exactly at four decimals).
#include "documents/SubTableBase.h"
#include "documents/Yszs.h"
#include "editors/InplaceEdit.h"
#include "platform/rtl/DateTime.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/SystemMetrics.h"
#include "tests/app/WhenModal.h"
#include "tests/documents/DocumentWorld.h"

#include <gtest/gtest.h>

namespace {

class YszsTest : public DocumentWorld, public ::testing::Test {
public:
    // A stored certificate is current when the window opens.
    YszsTest() {
        Data.ADOConnection1->Execute("insert into KORIM_YSZSBNB (NXMLXID, XMBH, XMMC) values (100, 'OLD', '旧项目')");
        Open(frmMain->ActionYszs, frmyszs);
    }
    void FillNew() {
        Act(Form->DataSetInsert2);
        Form->ADODataSet1->FieldByName("JHLBID")->SetAsInteger(1);
        const std::pair<const char*, const char*> typed[] = {{"edt_YSWH", "验字1号"},
                                                             {"edt_XMBH", "YZ-1"},
                                                             {"edt_XMMC", "验收项目"},
                                                             {"edt_CJDW", "参加单位"},
                                                             {"edt_ZZYSBM", "科技局"}};
        for (const auto& [name, text] : typed)
            Type(name, text);
    }
};

TEST_F(YszsTest, NewCertificateHasTodayTheCurrentYearAndMonthAndNoListItems) {
    Act(Form->DataSetInsert2);
    Word year = 0, month = 0, day = 0;
    DecodeDate(Date(), year, month, day);
    EXPECT_EQ(Form->ADODataSet1->FieldByName("YSRQ")->AsDateTime(), Date());
    EXPECT_EQ(Form->ADODataSet1->FieldByName("TBSJ")->AsDateTime(), Date());
    EXPECT_EQ(Named<TComboBox>("ComboBox4")->Text(), std::to_string(year));
    EXPECT_EQ(Named<TComboBox>("ComboBox7")->Text(), std::to_string(month));
    for (int i : {1, 2, 3, 8, 12, 13, 14, 19})
        EXPECT_EQ(Named<TComboBox>("ComboBox" + std::to_string(i))->ItemIndex(), -1) << i;
    EXPECT_EQ(Named<TComboBox>("ComboBox2")->Items()->Count(), 14);
    EXPECT_EQ(Named<TComboBox>("ComboBox3")->Items()->Count(), 13);
}

TEST_F(YszsTest, EveryResultFormShowsWholeInItsBox) {
    TBitmap measure;
    for (int i = 8; i <= 12; ++i) {
        auto* box = Named<TComboBox>("ComboBox" + std::to_string(i));
        measure.Canvas()->Font()->Assign(box->Font());
        // What the closed box shows beside its button and within its frame.
        const int room = box->Width() - GetSystemMetrics(SM_CXVSCROLL) - 2 * GetSystemMetrics(SM_CXEDGE) - 4;
        for (int item = 0; item < box->Items()->Count(); ++item)
            EXPECT_LE(measure.Canvas()->TextWidth(box->Items()->Get(item)), room)
                << box->Name() << ": " << box->Items()->Get(item);
    }
}

struct TCertificateCase {
    std::vector<std::pair<const char*, std::string>> Typed;
    const char* Message; // nullptr: the save passes
    const char* Focused;
    int Page;
};

void PrintTo(const TCertificateCase& Case, std::ostream* Out) {
    *Out << (Case.Message ? Case.Focused : "passes");
}

class YszsCheckTest : public YszsTest, public ::testing::WithParamInterface<TCertificateCase> {};

TEST_P(YszsCheckTest, ChecksInOrder) {
    const TCertificateCase& check = GetParam();
    FillNew();
    for (const auto& [name, text] : check.Typed)
        Type(name, text);
    Act(Form->DataSetPost2);
    if (!check.Message) {
        EXPECT_EQ(State(), dsBrowse) << ::testing::PrintToString(BoxTexts());
        return;
    }
    ASSERT_EQ(BoxTexts(), std::vector<std::string>{check.Message});
    EXPECT_EQ(State(), dsInsert);
    EXPECT_EQ(Form->PageControl1->ActivePageIndex(), check.Page);
    EXPECT_EQ(uitest::FocusedControl(), Named(check.Focused));
}

std::string Repeated(const char* Text, int Count) {
    std::string text;
    for (int i = 0; i < Count; ++i)
        text += Text;
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Steps, YszsCheckTest,
    ::testing::Values(
        TCertificateCase{{{"edt_CJDW", Repeated("单", 100)}}, nullptr, "", 0},
        TCertificateCase{{{"edt_CJDW", Repeated("单", 101)}}, "参加单位超长", "edt_CJDW", 0},
        TCertificateCase{{{"edt_XMFZRCSN1", " "}, {"edt_XMFZRCSY1", ""}}, nullptr, "", 0},
        TCertificateCase{{{"edt_XMFZRCSY1", "13"}}, "输入的第一位项目负责人的出生月不符合要求", "edt_XMFZRCSY1", 1},
        TCertificateCase{{{"edt_XMFZRCSN2", "一九"}}, "输入的第二位项目负责人的出生年不符合要求", "edt_XMFZRCSN2", 1},
        TCertificateCase{
            {{"cur_XMYFRYZS", "3"}, {"cur_XMRYBSS", "2"}}, "项目研发人员总数不等于各个分项之和", "cur_XMYFRYZS", 1},
        TCertificateCase{
            {{"cur_XMZJF", "100"}, {"cur_GJBK", "50"}, {"cur_SBK", "30"}, {"cur_BMBK", "20"}}, nullptr, "", 0},
        TCertificateCase{{{"cur_XMZJF", "100"}, {"cur_GJBK", "50"}, {"cur_SBK", "30"}, {"cur_BMBK", "19"}},
                         "项目实际到位总经费不等于各个分项之和",
                         "cur_XMZJF",
                         1},
        TCertificateCase{{{"cur_XMZJF", "100.5"}, {"cur_GJBK", "50.25"}, {"cur_QT", "50.25"}}, nullptr, "", 0},
        TCertificateCase{{{"cur_XMJFZZC", "0.3"}, {"cur_SBGZF", "0.1"}, {"cur_GLF", "0.2"}}, nullptr, "", 0},
        TCertificateCase{{{"cur_XMJFZZC", "0.3"}, {"cur_SBGZF", "0.1001"}, {"cur_GLF", "0.1999"}}, nullptr, "", 0},
        TCertificateCase{{{"cur_XMJFZZC", "0.3"}, {"cur_SBGZF", "0.1"}, {"cur_GLF", "0.1999"}},
                         "项目经费支出合计不等于各个分项之和",
                         "cur_XMJFZZC",
                         2}));

TEST_F(YszsTest, MoneyIsTypedToFourDecimalsAndStoredSo) {
    FillNew();
    struct TCase {
        const char* Editor;
        const char* Typed;
        const char* Text;
        int Beeps;
    } const cases[] = {
        {"cur_GJBK", "12.3456", "12.3456", 0},
        {"cur_SBK", "0.0001", "0.0001", 0},
        {"cur_SXBK", "1.23456", "1.2345", 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Editor);
        uitest::DialogRecorder beeps;
        Type(c.Editor, c.Typed);
        EXPECT_EQ(Named(c.Editor)->Text(), c.Text);
        EXPECT_EQ(beeps.Count(TDialogKind::Beep), c.Beeps);
    }
    Type("cur_XMZJF", "13.5802");
    Act(Form->DataSetPost2);
    ASSERT_EQ(State(), dsBrowse) << ::testing::PrintToString(BoxTexts());
    EXPECT_EQ(Shared("select GJBK || '|' || SBK || '|' || SXBK from KORIM_YSZSBNB where XMBH = 'YZ-1'"),
              std::vector<std::string>{"12.3456|0.0001|1.2345"});
}

TEST_F(YszsTest, StaffEditorChecksInOrderAndKeepsEducationInJSZC) {
    Data.ADOConnection1->Execute("insert into KORIM_YSXMRYBNB (RYID, NXMLXID, XM) values (50, 100, 'seed')");
    std::vector<std::string> refusals;
    WhenModal editing([] { return dynamic_cast<TfrmYSXMRYB*>(Screen->ActiveForm()) != nullptr; },
                      [this, &refusals] {
                          auto* staff = dynamic_cast<TfrmYSXMRYB*>(Screen->ActiveForm());
                          auto type = [staff](const char* Name, const std::string& Text) {
                              auto* edit = staff->Named(Name);
                              edit->SetFocus();
                              staff->Named<TcvInplaceEdit>(Name)->SelectAllText();
                              if (Text.empty()) uitest::Type(edit, VK_DELETE);
                              for (char c : Text)
                                  uitest::Type(edit, 0, std::string(1, c));
                          };
                          auto post = [&] {
                              const size_t before = Dialogs.Boxes().size();
                              Act(staff->DataSetPost2);
                              refusals.push_back(Dialogs.Boxes().size() > before ? Dialogs.Boxes().back().Text
                                                                                 : "saved");
                          };
                          Act(staff->DataSetInsert2);
                          type("edt_XM", "Wang");
                          post();
                          staff->ComboBox1->SetItemIndex(0);
                          type("edt_CSNF", "abc");
                          post();
                          type("edt_CSNF", "1970");
                          type("edt_CSYF", "13");
                          post();
                          type("edt_CSYF", "0");
                          post();
                          type("edt_CSYF", "");
                          staff->ComboBox2->SetItemIndex(1);
                          staff->ComboBox3->SetItemIndex(1);
                          post();
                          staff->Close();
                      });
    Named<TButton>("BitBtn3")->Click();
    ProcessMessages();
    EXPECT_EQ(refusals, (std::vector<std::string>{"请选择性别", "输入的出生年不符合要求", "输入的出生月不符合要求",
                                                  "输入的出生月不符合要求", "saved"}));
    EXPECT_EQ(Shared("select NXMLXID||','||RYID||','||XB||','||JSZC||','||XL from KORIM_YSXMRYBNB where XM='Wang'"),
              std::vector<std::string>{"100,1,男,本科生,中级"});
}

} // namespace
