// The mid-term check table window driven as the user drives it: a new
// document's defaults and progress controls, its save checks in order, the
// uniqueness of number and name, and the row written.
#include "dbgrid/DBGrid.h"
#include "documents/Zqjcb.h"
#include "platform/ui/Window.h"
#include "editors/CheckEdit.h"
#include "platform/rtl/DateTime.h"
#include "tests/documents/DocumentWorld.h"

#include "platform/ui/Menus.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

class ZqjcbTest : public DocumentWorld, public ::testing::Test {
public:
    ZqjcbTest() { Open(frmMain->ActionZqjcb, frmzqjcb); }
    Tfrmzqjcb* Window() const { return frmzqjcb; }
    // As the exit button does: an abort of the save question ends it quietly.
    void CloseWindow() const {
        try {
            Form->Close();
        } catch (const EAbort&) {
        }
        ProcessMessages();
    }
    TcvCheckEdit* Reason(int Number) const { return Named<TcvCheckEdit>("cvCheckEdit" + std::to_string(Number)); }

    // A new document that passes every check.
    void FillNew(const std::string& Number = "ZQ-001", const std::string& Name = "节水灌溉技术") {
        Act(Form->DataSetInsert2);
        Type("edt_VXMBH", Number);
        Type("edt_XMMC", Name);
        Type("edt_DWMC", "测试单位");
        Type("edt_XMFZRWXMGZSJ", "12");
    }
    // A left click on the first cell of a list row, with Keys held.
    void ClickRow(int Row, WPARAM Keys) const {
        TcvDBGrid* grid = Form->cvDBGrid1;
        const TRect cell = grid->GetCellRect(grid->GetRowNode(Row), 0);
        const TPoint origin = grid->ClientToScreen({0, 0});
        TRect window;
        GetWindowRect(grid->Handle(), window);
        const TPoint point = {(cell.Left + cell.Right) / 2 + origin.X - window.Left,
                              (cell.Top + cell.Bottom) / 2 + origin.Y - window.Top};
        using platform_ui::test::TMouseEventKind;
        platform_ui::test::SendQtMouse(grid->Handle(), TMouseEventKind::Press, point, MK_LBUTTON, Keys | MK_LBUTTON);
        platform_ui::test::SendQtMouse(grid->Handle(), TMouseEventKind::Release, point, MK_LBUTTON, Keys);
        ProcessMessages();
    }
    static std::string ThisYear() {
        Word year = 0, month = 0, day = 0;
        DecodeDate(Date(), year, month, day);
        return std::to_string(year);
    }
};

TEST_F(ZqjcbTest, TheToolBarShowsTheRecordPictures) {
    ExpectRecordPictures(*Form);
}

TEST_F(ZqjcbTest, NewDocumentTakesItsKeyFromTheCounterAndTheCurrentYears) {
    Act(Form->DataSetInsert2);
    EXPECT_EQ(State(), dsInsert);
    EXPECT_EQ(Field("ZQJCBID"), "1");
    EXPECT_EQ(Field("NXMLXID"), "1");
    EXPECT_EQ(Field("XMYJRYZS"), "0");
    EXPECT_EQ(Named<TComboBox>("ComboBox1")->Text(), ThisYear());
    EXPECT_EQ(Named<TComboBox>("ComboBox2")->Text(), ThisYear());
    EXPECT_TRUE(Window()->RadioButton2->Checked());
    for (int i = 1; i <= 6; ++i) {
        EXPECT_FALSE(Reason(i)->Checked()) << i;
        EXPECT_TRUE(Reason(i)->ReadOnly()) << i;
    }
}

TEST_F(ZqjcbTest, DelayReasonsAreWritableOnlyWhileBehindScheduleAndKeepTheirTicks) {
    FillNew();
    Window()->RadioButton3->SetChecked(true);
    ProcessMessages();
    EXPECT_FALSE(Reason(6)->ReadOnly());
    Reason(6)->SetChecked(true);
    Window()->RadioButton1->SetChecked(true);
    ProcessMessages();
    EXPECT_TRUE(Reason(6)->ReadOnly());
    EXPECT_TRUE(Reason(6)->Checked());
    Act(Form->DataSetPost2);
    ASSERT_EQ(State(), dsBrowse) << ::testing::PrintToString(BoxTexts());
    EXPECT_EQ(Shared("select XMJD||','||JDZHYY1||','||JDZHYY6||','||XMKSN from KORIM_NWZQJCB"),
              std::vector<std::string>{"1,0,1," + ThisYear()});
    Act(Form->DataSetRefresh2);
    EXPECT_TRUE(Reason(6)->Checked());
    EXPECT_TRUE(Window()->RadioButton1->Checked());
    EXPECT_TRUE(Reason(6)->ReadOnly());
}

struct TCheckCase {
    const char* Control;
    std::string Text;
    const char* Message; // nullptr: the save passes
    int Page;
};

void PrintTo(const TCheckCase& Case, std::ostream* Out) {
    *Out << Case.Control << (Case.Message ? " refused" : " passes");
}

class ZqjcbCheckTest : public ZqjcbTest, public ::testing::WithParamInterface<TCheckCase> {};

TEST_P(ZqjcbCheckTest, RefusesWithMessagePageAndFocusAndKeepsEditing) {
    const TCheckCase& check = GetParam();
    FillNew();
    if (std::string(check.Control).starts_with("ComboBox"))
        Named<TComboBox>(check.Control)->SetItemIndex(-1);
    else
        Type(check.Control, check.Text);
    Form->PageControl1->SetActivePageIndex(2 - check.Page);
    Act(Form->DataSetPost2);
    if (!check.Message) {
        EXPECT_EQ(State(), dsBrowse) << ::testing::PrintToString(BoxTexts());
        return;
    }
    ASSERT_EQ(BoxTexts(), std::vector<std::string>{check.Message});
    EXPECT_EQ(Dialogs.Boxes()[0].Flags & MB_ICONMASK, UINT(MB_ICONERROR));
    EXPECT_EQ(State(), dsInsert);
    EXPECT_EQ(Form->PageControl1->ActivePageIndex(), check.Page);
    EXPECT_EQ(uitest::FocusedControl(), Named(check.Control));
    EXPECT_TRUE(Shared("select ZQJCBID from KORIM_NWZQJCB").empty());
}

const std::string Chinese300 = [] {
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += "问";
    return text;
}();

INSTANTIATE_TEST_SUITE_P(
    Steps, ZqjcbCheckTest,
    ::testing::Values(TCheckCase{"edt_VXMBH", " ", "请输入项目编号", 0},
                      TCheckCase{"ComboBox1", "", "请输入项目开始年", 0},
                      TCheckCase{"ComboBox2", "", "请输入项目结束年", 0},
                      TCheckCase{"edt_XMMC", "", "请输入项目名称", 0},
                      TCheckCase{"edt_DWMC", "", "请输入项目承担单位", 0},
                      TCheckCase{"edt_XMFZRWXMGZSJ", "", "请输入项目负责人全年为该项目工作时间", 0},
                      TCheckCase{"edt_XMFZRWXMGZSJ", "十二", "输入的项目负责人全年为该项目工作时间不符合要求", 0},
                      TCheckCase{"mem_WTJJJFA", Chinese300, nullptr, 1},
                      TCheckCase{"mem_WTJJJFA", Chinese300 + "问", "项目实施中存在的主要问题及解决方案超长", 1},
                      TCheckCase{"mem_ZGBMYJ", Chinese300.substr(0, 303), "主管部门意见超长", 2},
                      TCheckCase{"cur_XMYJRYZS", "10", "项目研究人员总数不等于各个分项之和", 0}));

TEST_F(ZqjcbTest, StaffTotalMustEqualItsParts) {
    FillNew();
    const std::pair<const char*, const char*> staff[] = {{"cur_XMYJRYZS", "10"}, {"cur_GJZCRS", "3"},
                                                         {"cur_ZJZCRS", "3"},    {"cur_BSRS", "2"},
                                                         {"cur_SSRS", "1"},      {"cur_ZXYJSRS", "1"}};
    for (const auto& [name, value] : staff)
        Type(name, value);
    Act(Form->DataSetPost2);
    EXPECT_EQ(State(), dsBrowse) << ::testing::PrintToString(BoxTexts());
    EXPECT_EQ(Shared("select XMYJRYZS from KORIM_NWZQJCB"), std::vector<std::string>{"10"});
}

TEST_F(ZqjcbTest, NumberAndNameMustBeUniqueEvenWithQuotes) {
    FillNew("ZQ'1", "O'Brien 项目");
    Act(Form->DataSetPost2);
    ASSERT_EQ(State(), dsBrowse) << ::testing::PrintToString(BoxTexts());
    // Editing without changing the number runs no number query.
    Act(Form->DataSetEdit2);
    Act(Form->DataSetPost2);
    EXPECT_EQ(State(), dsBrowse) << ::testing::PrintToString(BoxTexts());

    FillNew("ZQ'1", "另一项目");
    Act(Form->DataSetPost2);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"项目编号已经存在"});
    EXPECT_EQ(State(), dsInsert);
    Type("edt_VXMBH", "ZQ-2");
    Type("edt_XMMC", "O'Brien 项目");
    Act(Form->DataSetPost2);
    EXPECT_EQ(BoxTexts().back(), "项目名称已经存在");
    EXPECT_EQ(State(), dsInsert);
}

TEST_F(ZqjcbTest, ClosingWhileEditingAsksAndCancelKeepsTheWindowEditing) {
    FillNew();
    Dialogs.Answers = {IDCANCEL};
    CloseWindow();
    ASSERT_EQ(Dialogs.Boxes().size(), 1u);
    EXPECT_EQ(Dialogs.Boxes()[0].Text, "保存修改吗？");
    EXPECT_EQ(Dialogs.Boxes()[0].Caption, "中期检查表");
    EXPECT_EQ(Dialogs.Boxes()[0].Flags, UINT(0x43));
    EXPECT_EQ(frmzqjcb, Window());
    EXPECT_EQ(State(), dsInsert);

    // Yes saves; a failing check aborts the close in the same way.
    Type("edt_DWMC", "");
    Dialogs.Answers = {IDYES};
    CloseWindow();
    EXPECT_EQ(BoxTexts().back(), "请输入项目承担单位");
    EXPECT_EQ(State(), dsInsert);
}

TEST_F(ZqjcbTest, MenusFollowRowsAndTheDocumentsOwnAttachmentFolder) {
    auto enabled = [this](TMenuItem* Menu) {
        Form->EnableMenuItems(Menu);
        std::string states;
        for (int i = 0; i < Menu->Count(); ++i)
            states += Menu->Items(i)->Enabled() ? '1' : '0';
        return states;
    };
    // Export, export all, import, separator, attachment export, import, open, delete.
    EXPECT_EQ(enabled(Form->DocumentMenu), "00110000");
    FillNew();
    Act(Form->DataSetPost2);
    EXPECT_EQ(enabled(Form->DocumentMenu), "11110100");
    // Files of another kind's folder under the same key do not count.
    std::filesystem::create_directories(Program.Folder() / "yssq" / "1");
    std::ofstream(Program.Folder() / "yssq" / "1" / "1@a.txt") << "x";
    EXPECT_EQ(enabled(Form->PopupMenu1->Items()), "11110100");
    std::filesystem::create_directories(Program.Folder() / "zqjcb" / "1");
    std::ofstream(Program.Folder() / "zqjcb" / "1" / "1@a.txt") << "x";
    EXPECT_EQ(enabled(Form->PopupMenu1->Items()), "11111111");
}

TEST_F(ZqjcbTest, ExportsSelectedAndAllDocumentsAndImportsThemUnderNewKeys) {
    FillNew("ZQ-1", "第一项");
    Act(Form->DataSetPost2);
    FillNew("ZQ-2", "第二项");
    Act(Form->DataSetPost2);
    std::filesystem::create_directories(Program.Folder() / "zqjcb" / "1");
    std::ofstream(Program.Folder() / "zqjcb" / "1" / "1@报告.txt") << "x";
    const std::string all = (Program.Folder() / "all.zip").string();
    const std::string none = (Program.Folder() / "none.zip").string();

    // Nothing selected: an empty list exports nothing.
    Dialogs.Answers = {IDOK};
    Dialogs.Files = {none};
    Act(Form->ActionOutProject);
    EXPECT_FALSE(std::filesystem::exists(none));
    Dialogs.Answers = {IDOK};
    Dialogs.Files = {all};
    Act(Form->ActionOutAllProject);
    ASSERT_EQ(BoxTexts().back(), "项目导出成功");

    Dialogs.Answers = {IDOK, IDYES, IDYES, IDYES};
    Act(Form->ActionInProject);
    EXPECT_EQ(BoxTexts().back(), "项目导入成功");
    EXPECT_EQ(Shared("select ZQJCBID||','||NXMLXID||','||VXMBH from KORIM_NWZQJCB order by ZQJCBID"),
              (std::vector<std::string>{"1,1,ZQ-1", "2,2,ZQ-2", "3,3,ZQ-1", "4,4,ZQ-2"}));
    EXPECT_TRUE(std::filesystem::exists(Program.Folder() / "zqjcb" / "3" / "3@报告.txt"));
    // Reopened: the newest document is current, and its menus follow it.
    EXPECT_EQ(Field("ZQJCBID"), "4");
    EXPECT_EQ(Form->ADODataSet1->RecordCount(), 4);
}

TEST_F(ZqjcbTest, ExportOfTheSelectedRowsLeavesTheLastOneCurrent) {
    for (const char* number : {"ZQ-1", "ZQ-2", "ZQ-3"}) {
        FillNew(number, std::string("项目") + number);
        Act(Form->DataSetPost2);
    }
    // Rows 0 and 2 of the list (newest first): keys 3 and 1.
    for (int row : {0, 2})
        ClickRow(row, row == 0 ? 0 : MK_CONTROL);
    ASSERT_EQ(Form->cvDBGrid1->SelectedCount(), 2);
    const std::string file = (Program.Folder() / "two.zip").string();
    Dialogs.Answers = {IDOK};
    Dialogs.Files = {file};
    Act(Form->ActionOutProject);
    ASSERT_EQ(BoxTexts().back(), "项目导出成功");
    EXPECT_EQ(Field("ZQJCBID"), "1");

    // The package holds those two: imported, they come as keys 4 and 5.
    Dialogs.Answers = {IDOK, IDYES, IDYES, IDYES};
    Act(Form->ActionInProject);
    EXPECT_EQ(Shared("select VXMBH from KORIM_NWZQJCB where ZQJCBID > 3 order by VXMBH"),
              (std::vector<std::string>{"ZQ-1", "ZQ-3"}));
}

TEST_F(ZqjcbTest, ChineseIsTypedIntoTextAndMemosOnly) {
    const std::pair<const char*, bool> controls[] = {{"edt_XMMC", true},      {"mem_WTJJJFA", true},
                                                     {"cur_XMZJFYS", false},  {"cur_GJZCRS", false},
                                                     {"ComboBox1", false},    {"cvCheckEdit1", false}};
    for (const auto& [name, chinese] : controls)
        EXPECT_EQ(Named(name)->ImeMode() != imDisable, chinese) << name;
}

TEST_F(ZqjcbTest, DocumentMenuMergesBetweenFileAndHelpWhileActive) {
    EXPECT_EQ(frmMain->MainMenu1->Merged(), Form->MainMenu1);
    EXPECT_GT(Form->DocumentMenu->GroupIndex(), frmMain->FileMenu->GroupIndex());
    EXPECT_LT(Form->DocumentMenu->GroupIndex(), frmMain->HelpMenu->GroupIndex());
    EXPECT_EQ(Form->DocumentMenu->Caption(), "中期检查表");
}

} // namespace
