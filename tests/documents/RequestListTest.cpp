// The project application list: what the grid paints in its number and star
// columns, the menu items that follow the current row, the menus that stand
// in the main window's bar, and the forced update that reopens the list.
#include "tests/app/WhenModal.h"
#include "tests/documents/RequestWorld.h"

#include "app/Flush.h"
#include "platform/ui/Colors.h"
#include "platform/ui/Painting.h"

#include <filesystem>
#include <fstream>
#include <map>

namespace {

class RequestListTest : public ::testing::Test, public RequestWorld {
protected:
    struct TPaintedCell {
        std::string Text;
        TColor Colour;
    };
    // Paints the grid and returns its cells by (row, column), as the
    // window's handler left them.
    std::map<std::pair<int, int>, TPaintedCell> PaintedCells() {
        std::map<std::pair<int, int>, TPaintedCell> cells;
        auto handler = Form->cvDBGrid1->OnCustomDrawCell;
        Form->cvDBGrid1->OnCustomDrawCell = [&](TObject* Sender, TCanvas* ACanvas, const TRect& ARect,
                                                TcvTreeListNode* ANode, TcvTreeListColumn* AColumn, bool ASelected,
                                                bool AFocused, bool ANewItemRow, std::string& AText, TColor& AColor,
                                                TFont* AFont, TAlignment& AAlignment, bool& ADone) {
            handler(Sender, ACanvas, ARect, ANode, AColumn, ASelected, AFocused, ANewItemRow, AText, AColor, AFont,
                    AAlignment, ADone);
            cells[{ANode->Index(), AColumn->GetIndex()}] = {AText, ACanvas->Font()->Color()};
        };
        InvalidateRect(Form->cvDBGrid1->Handle(), nullptr, true);
        UpdateWindow(Form->cvDBGrid1->Handle());
        Form->cvDBGrid1->OnCustomDrawCell = handler;
        return cells;
    }
    std::vector<bool> Enabled(const std::vector<const char*>& Items) const {
        std::vector<bool> enabled;
        for (const char* item : Items)
            enabled.push_back(Named<TMenuItem>(item)->Enabled());
        return enabled;
    }
};

TEST_F(RequestListTest, EveryRowPaintsItsOwnRedNumberAndABlueStarForATaskBook) {
    Insert("2026120001", "有任务书", "2026120001@科技项目设计书.doc");
    // A category that the code tables no longer hold is still listed.
    Insert("2026120002", "无任务书", "", "99");
    Insert("2026120003", "空任务书名");
    Exec("update KJJHSB set RWSWJM=null where KJJHSBID=2026120003");
    Refresh();
    ASSERT_EQ(Form->qry_main->RecordCount(), 3);
    Form->qry_main->Last();
    const auto cells = PaintedCells();
    const std::map<std::pair<int, int>, std::string> expected = {
        {{0, 0}, "1"}, {{1, 0}, "2"}, {{2, 0}, "3"}, {{0, 1}, "★"}, {{1, 1}, ""}, {{2, 1}, ""}, {{0, 2}, "有任务书"},
    };
    for (const auto& [cell, text] : expected) {
        SCOPED_TRACE(testing::Message() << "row " << cell.first << " column " << cell.second);
        ASSERT_TRUE(cells.count(cell));
        EXPECT_EQ(cells.at(cell).Text, text);
    }
    EXPECT_EQ(cells.at({1, 0}).Colour, clRed);
    EXPECT_EQ(cells.at({1, 1}).Colour, clBlue);
    // Painting left the list where it was.
    EXPECT_EQ(Form->qry_main->RecNo(), 3);
    EXPECT_EQ(Form->CurrentId, "2026120003");
}

TEST_F(RequestListTest, MenuItemsFollowTheListTheTaskBookAndTheAttachments) {
    const std::vector<const char*> main = {"N10", "N11", "N12", "N14", "N15", "N16",
                                           "N17", "N26", "N27", "N28", "N29", "N34"};
    const std::vector<const char*> popup = {"N1", "N2",  "N3",  "N5",  "N6",  "N7",
                                            "N8", "N21", "N22", "N23", "N24", "N32"};
    struct TCase {
        const char* What;
        std::function<void()> Arrange;
        std::vector<bool> Expected;
    };
    const std::string folder = UserFolder + "2026120001/";
    const TCase cases[] = {
        {"an empty list", [] {}, {0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1}},
        {"a row without task book or files", [&] { Insert("2026120001", "甲"); }, {1, 1, 1, 0, 1, 0, 0, 0, 1, 0, 0, 1}},
        {"the task book and the transfer files are no attachments",
         [&] {
             Exec("update KJJHSB set RWSWJM='2026120001@科技项目设计书.doc'");
             std::filesystem::create_directories(folder);
             for (const char* name : {"2026120001@科技项目设计书.doc", "iodata.mdb", "iodata.ldb"})
                 std::ofstream(folder + name) << "x";
         },
         {1, 1, 1, 0, 1, 0, 0, 1, 0, 1, 1, 1}},
        {"an attachment in a sub-folder",
         [&] {
             std::filesystem::create_directories(folder + "sub");
             std::ofstream(folder + "sub/2026120001@plan.xls") << "x";
         },
         {1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 1}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        c.Arrange();
        Refresh();
        Form->RefreshMainMenu();
        EXPECT_EQ(Enabled(main), c.Expected);
        Form->PopupMenu1Popup(Form->PopupMenu1);
        EXPECT_EQ(Enabled(popup), c.Expected);
    }
}

TEST_F(RequestListTest, TheWindowsMenusStandInTheMainBarWithTheForcedUpdate) {
    EXPECT_EQ(Form->N9->GroupIndex(), 3);
    EXPECT_EQ(Form->N18->GroupIndex(), 3);
    ASSERT_EQ(Form->N18->Count(), 3);
    EXPECT_EQ(Form->N18->Items(2)->Action(), Form->ActionUpdate);
    EXPECT_EQ(Form->N18->Items(2)->Caption(), "强制更新");
    EXPECT_EQ(Form->PopupMenu1->Items()->Count(), Form->N9->Count());
    EXPECT_EQ(frmMain->MainMenu1->Merged(), Form->MainMenu1);
}

TEST_F(RequestListTest, AForcedUpdateFromEitherMenuReopensTheList) {
    Insert("2026120001", "甲");
    Refresh();
    int opened = 0;
    Form->qry_main->AfterOpen = [&opened](TDataSet*) { ++opened; };
    for (TMenuItem* item : {Form->N18->Items(2), frmMain->MaintainMenu->Items(2)}) {
        SCOPED_TRACE(item->Caption());
        opened = 0;
        WhenModal update([] {
            auto* flush = dynamic_cast<Tfrmflush*>(Screen->ActiveForm());
            flush->EdtPass->SetText("secret");
            flush->btn_okClick(flush->btn_ok);
        });
        item->Click();
        ProcessMessages();
        EXPECT_EQ(Dialogs.Boxes().back().Text, "数据强制更新成功！");
        EXPECT_EQ(opened, 1);
        EXPECT_TRUE(Form->qry_main->Active());
        EXPECT_EQ(Form->qry_main->RecordCount(), 1);
        EXPECT_EQ(Form->CurrentId, "2026120001");
    }
}

} // namespace
