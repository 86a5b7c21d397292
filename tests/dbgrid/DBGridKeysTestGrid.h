// A grid set up as the document windows set it (whole rows, several rows
// selectable, default OptionsDB) showing ID, Name and Qty of a GridFixture
// table, driven by real keys and clicks. Message boxes
// are answered by a hook that records what they asked.
#pragma once

#include "platform/ui/Dialogs.h"
#include "platform/ui/testhooks/WmTestHooks.h"
#include "tests/dbgrid/ShownGrid.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace gridtest {

class GridInput : public ::testing::Test {
protected:
    // Rows records; Prepare changes the options before the data arrives.
    void Open(int Rows, const std::function<void(TcvDBGrid&)>& Prepare = {}) {
        Shown.reset(); // the grid goes before the data it shows
        Shown = std::make_unique<TShownGrid>(Rows, 200, std::initializer_list<const char*>{"ID", "Name", "Qty"},
                                             [&Prepare](TcvDBGrid& grid) {
                                                 grid.SetOptionsView(grid.OptionsView() + edgoRowSelect);
                                                 grid.SetOptionsBehavior(grid.OptionsBehavior() + edgoMultiSelect +
                                                                         edgoAutoSort);
                                                 if (Prepare) Prepare(grid);
                                             });
        Grid = Shown->Grid;
        Data = &Shown->Data;
        Grid->SetFocus();
        ProcessMessages();
    }
    // Edits by key: whole rows off, so Up, Down and Ins reach the dataset.
    static void CellEditing(TcvDBGrid& Grid) { Grid.SetOptionsView(Grid.OptionsView() - edgoRowSelect); }

    void Key(Word Vk, WPARAM Keys = 0) {
        platform_ui::test::SendQtKey(Grid->Handle(), Vk, Keys, "");
        ProcessMessages();
    }
    // A left click on a row's first cell.
    void Click(int Row, WPARAM Keys = 0) {
        const TRect r = Grid->GetCellRect(Grid->GetRowNode(Row), 0);
        const TPoint origin = Grid->ClientToScreen({0, 0});
        TRect window;
        GetWindowRect(Grid->Handle(), window);
        const TPoint p = {(r.Left + r.Right) / 2 + origin.X - window.Left, (r.Top + r.Bottom) / 2 + origin.Y - window.Top};
        using platform_ui::test::TMouseEventKind;
        platform_ui::test::SendQtMouse(Grid->Handle(), TMouseEventKind::Press, p, MK_LBUTTON, Keys | MK_LBUTTON);
        platform_ui::test::SendQtMouse(Grid->Handle(), TMouseEventKind::Release, p, MK_LBUTTON, Keys);
        ProcessMessages();
    }
    // The export loop of the document windows: every selected row's ID,
    // read with the dataset moved onto it.
    std::string ExportedIds() {
        std::string ids;
        for (int i = 0; i < Grid->SelectedCount(); ++i) {
            Data->Query->SetBookmark(Grid->GetSelectedRow(i));
            ids += (ids.empty() ? "" : " ") + std::to_string(Data->CurrentId());
        }
        return ids;
    }
    // IDs First..Last joined as ExportedIds joins them.
    static std::string Ids(int First, int Last) {
        std::string ids;
        for (int id = First; id <= Last; ++id)
            ids += (ids.empty() ? "" : " ") + std::to_string(id);
        return ids;
    }
    std::string BookmarkOfId(int Id) {
        const std::string current = Data->Query->Bookmark();
        Data->Query->Locate("ID", Id, {});
        const std::string bookmark = Data->Query->Bookmark();
        Data->Query->GotoBookmark(current);
        return bookmark;
    }

    std::unique_ptr<TShownGrid> Shown;
    TGridData* Data = nullptr;
    TcvDBGrid* Grid = nullptr;
    // The boxes asked for; each is answered with Answer.
    std::vector<TDialogRequest> Boxes;
    int Answer = IDOK;
    TDialogHookScope Dialogs{[this](const TDialogRequest& Request) {
        Boxes.push_back(Request);
        TDialogAnswer answer;
        answer.Result = Answer;
        return answer;
    }};
};

} // namespace gridtest
