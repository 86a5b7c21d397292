// The record lifecycle of the project application window driven through its
// actions: New, Save, Cancel, Delete, and the guards that keep unsaved input
// from being scrolled, refreshed or closed away.
#include "tests/documents/RequestWorld.h"

#include "platform/rtl/DateTime.h"
#include "platform/ui/Colors.h"
#include "platform/ui/MessageBoxCodes.h"

#include <filesystem>

namespace {

class RequestActionsTest : public ::testing::Test, public RequestWorld {
protected:
    bool Editing() const { return Form->DatasetPost->Enabled() && !Form->DatasetInsert->Enabled(); }
    bool Browsing() const { return !Form->DatasetPost->Enabled() && Form->DatasetInsert->Enabled(); }
    // End in the list: the arrows belong to the window, which walks its
    // controls with them.
    void ListEnd() const {
        Form->cvDBGrid1->SetFocus();
        ProcessMessages();
        uitest::Type(Form->cvDBGrid1, VK_END);
    }
};

TEST_F(RequestActionsTest, NewMakesAnIdPrefillsTheProfileAndStartsEditing) {
    Exec("update pass set XMFZRXM1='王五', XMFZRXB1='2', DWLB='6', DWSZSDM=(select min(DQDM) from xzqhdm where "
         "pxzqhid is null)");
    Type("edt_XMMC", "旧的名称");
    Form->ModifiedFlag = false;
    Form->DatasetInsert->Execute();
    EXPECT_EQ(Form->CurrentId.size(), 10u);
    EXPECT_EQ(Form->CurrentId.substr(0, 6), FormatDateTime("yyyymm", Now()));
    EXPECT_TRUE(Form->CurrentIdIsNew);
    const std::vector<std::pair<const char*, const char*>> shown = {
        {"edt_XMMC", ""},       {"edt_DWMC", "测试单位"}, {"edt_YZBM", "012345"}, {"edt_XMFZRXM1", "王五"},
        {"ccb_XMFZRXB1", "女"}, {"edt_XMZTZ", "0"},       {"edt_CDDWZGZRS", "0"}, {"edt_XMRYZS", "0"},
        {"edt_ZLSQFM", "0"},    {"edt_YTRJF", "0"},       {"edt_XMFZRLXDH2", ""},
    };
    for (const auto& [control, text] : shown)
        EXPECT_EQ(Named(control)->Text(), text) << control;
    EXPECT_GT(Form->ccb_DWSZXQDM->Items()->Count(), 0);
    EXPECT_EQ(Form->ccb_JSLYDM->Color(), cl3DLight);
    EXPECT_TRUE(Form->ModifiedFlag);
    EXPECT_TRUE(Editing());
    EXPECT_EQ(Column("select count(*) from KJJHSB"), std::vector<std::string>{"0"});
}

// The pictures stay on the buttons as the actions follow the dataset's state.
TEST_F(RequestActionsTest, TheToolButtonsKeepTheirRecordPicturesThroughEditing) {
    const auto pictures = [this] {
        std::vector<int> shown;
        for (int i = 0; i < Form->ToolBar2->ButtonCount(); ++i)
            if (Form->ToolBar2->Buttons(i)->Visible()) shown.push_back(Form->ToolBar2->Buttons(i)->ImageIndex());
        return shown;
    };
    const std::vector<int> expected{0, 1, 2, 3, 4, 5, 6};
    EXPECT_EQ(pictures(), expected) << "browsing";
    Form->DatasetInsert->Execute();
    EXPECT_EQ(pictures(), expected) << "editing";
}

TEST_F(RequestActionsTest, SaveStoresTheRowMakesItsFolderAndShowsItInTheList) {
    Insert("2026110001", "早先的项目");
    Refresh();
    FillComplete();
    Form->DatasetPost->Execute();
    EXPECT_EQ(Dialogs.Boxes().back().Text, "数据保存成功");
    EXPECT_EQ(Stored("XMMC"), "节水灌溉技术");
    EXPECT_TRUE(std::filesystem::is_directory(UserFolder + "2026120001"));
    EXPECT_EQ(Form->qry_main->FieldByName("KJJHSBID")->AsString(), "2026120001");
    EXPECT_EQ(Form->LoadedName, "节水灌溉技术");
    EXPECT_TRUE(Browsing());
    EXPECT_FALSE(Form->ModifiedFlag);

    // The stored row is edited, renamed and saved once more.
    Form->DatasetEdit->Execute();
    Type("edt_XMMC", "改名后的项目");
    Form->DatasetPost->Execute();
    EXPECT_EQ(Dialogs.Boxes().back().Text, "数据保存成功");
    EXPECT_EQ(Stored("XMMC"), "改名后的项目");
    EXPECT_EQ(Column("select count(*) from KJJHSB"), std::vector<std::string>{"2"});
}

TEST_F(RequestActionsTest, ARefusedSaveKeepsEditingWithTheInput) {
    FillComplete();
    Empty("edt_XMMC");
    Form->DatasetPost->Execute();
    EXPECT_NE(Dialogs.Boxes().back().Text, "数据保存成功");
    EXPECT_TRUE(Editing());
    EXPECT_TRUE(Form->ModifiedFlag);
    EXPECT_EQ(Named("edt_DWMC")->Text(), "测试单位");
    EXPECT_EQ(Column("select count(*) from KJJHSB"), std::vector<std::string>{"0"});
}

TEST_F(RequestActionsTest, ScrollRefreshAndCloseWaitForSaveOrCancel) {
    Insert("2026120001", "甲");
    Insert("2026120002", "乙");
    Refresh();
    Form->DatasetEdit->Execute();
    Type("edt_DWMC", "改过的单位");
    const std::pair<const char*, std::function<void()>> attempts[] = {
        {"scroll", [this] { ListEnd(); }},
        {"refresh", [this] { Form->DatasetRefresh->Execute(); }},
        {"close",
         [this] {
             Form->tbExit->Click();
             ProcessMessages();
         }},
    };
    for (const auto& [what, attempt] : attempts) {
        SCOPED_TRACE(what);
        const size_t before = Dialogs.Boxes().size();
        attempt();
        EXPECT_EQ(BoxesSince(before), std::vector<std::string>{"请先保存或取消数据"});
        ASSERT_EQ(frmRequest, Form);
        EXPECT_EQ(Form->qry_main->RecNo(), 1);
        EXPECT_EQ(Named("edt_DWMC")->Text(), "改过的单位");
    }
    // Cancelled, the list moves again and loads the row; then the window closes.
    Form->DatasetCancel->Execute();
    EXPECT_TRUE(Browsing());
    EXPECT_EQ(Named("edt_DWMC")->Text(), "改过的单位");
    ListEnd();
    EXPECT_EQ(Form->qry_main->RecNo(), 2);
    EXPECT_EQ(Named("edt_XMMC")->Text(), "乙");
    Form->tbExit->Click();
    ProcessMessages();
    EXPECT_EQ(frmRequest, nullptr);
    Form = nullptr;
}

TEST_F(RequestActionsTest, ClosingTheListWithUnsavedInputAsksWhatToDo) {
    struct TCase {
        const char* What;
        int Answer;
        bool NameGiven;
        bool ListOpen;
        const char* Stored;
    };
    const TCase cases[] = {
        {"cancel keeps the list and the input", IDCANCEL, true, true, "<no row>"},
        {"no closes without saving", IDNO, true, false, "<no row>"},
        {"yes saves", IDYES, true, false, "节水灌溉技术"},
        {"a refused save keeps the list", IDYES, false, true, "<no row>"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        Exec("delete from KJJHSB");
        Form->ModifiedFlag = false;
        Refresh();
        FillComplete();
        if (!c.NameGiven) Empty("edt_XMMC");
        Dialogs.Answers = {c.Answer};
        const size_t before = Dialogs.Boxes().size();
        try {
            Form->qry_main->Close();
        } catch (const EAbort&) {
        }
        ASSERT_GT(Dialogs.Boxes().size(), before);
        EXPECT_EQ(Dialogs.Boxes()[before].Text, "保存修改吗？");
        EXPECT_EQ(Dialogs.Boxes()[before].Caption, "项目申报");
        EXPECT_EQ(Form->qry_main->Active(), c.ListOpen);
        EXPECT_EQ(Stored("XMMC"), c.Stored);
        if (c.ListOpen) {
            EXPECT_EQ(Named("edt_DWMC")->Text(), "测试单位");
        }
        Dialogs.Answers.clear();
    }
}

TEST_F(RequestActionsTest, DeleteRemovesTheRowThenItsFolderOnlyWhenConfirmed) {
    Insert("2026120001", "甲");
    Insert("2026120002", "乙");
    std::filesystem::create_directories(UserFolder + "2026120001/sub");
    Refresh();
    Dialogs.Answers = {IDNO};
    Form->DatasetDelete->Execute();
    EXPECT_EQ(Column("select count(*) from KJJHSB"), std::vector<std::string>{"2"});

    Dialogs.Answers = {IDYES};
    const size_t before = Dialogs.Boxes().size();
    Form->DatasetDelete->Execute();
    EXPECT_EQ(BoxesSince(before), (std::vector<std::string>{"确定删除所选择内容吗？", "数据删除成功"}));
    EXPECT_EQ(Column("select KJJHSBID from KJJHSB"), std::vector<std::string>{"2026120002"});
    EXPECT_FALSE(std::filesystem::exists(UserFolder + "2026120001"));
    EXPECT_EQ(Named("edt_XMMC")->Text(), "乙");
    EXPECT_TRUE(Browsing());
}

} // namespace
