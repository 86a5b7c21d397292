// Dataset actions without a data source of their own run on the data source
// of the focused grid; an action aimed at another source is not the grid's.
#include "tests/dbgrid/ShownGrid.h"

#include "platform/ui/DBActns.h"
#include "platform/ui/Focus.h"
#include "platform/ui/StdCtrls.h"

#include <gtest/gtest.h>

namespace {

using namespace gridtest;

TEST(DBGridActions, AnActionWithoutSourceRunsOnTheFocusedGridsSource) {
    TShownGrid shown(5, 200, {"ID", "Name"});
    auto* other = new TEdit(shown.Form.get());
    other->SetParent(shown.Form.get());
    other->SetBounds(410, 0, 80, 20);
    TDataSetEdit edit(shown.Form.get());
    TDataSetDelete del(shown.Form.get());

    SetFocus(other->Handle());
    edit.Update();
    EXPECT_FALSE(edit.Enabled()) << "a plain control offers no data source";
    EXPECT_FALSE(edit.Execute());

    SetFocus(shown.Grid->Handle());
    edit.Update();
    EXPECT_TRUE(edit.Enabled());
    EXPECT_TRUE(edit.Execute());
    EXPECT_EQ(shown.Data.Query->State(), dsEdit);
    edit.Update();
    EXPECT_FALSE(edit.Enabled()) << "already editing";
    shown.Data.Query->Cancel();

    shown.Data.Query->MoveBy(2);
    EXPECT_TRUE(del.Execute());
    EXPECT_EQ(shown.Data.Query->RecordCount(), 4);
    EXPECT_FALSE(shown.Data.Query->Locate("ID", 3, {}));
}

TEST(DBGridActions, AnActionAimedAtAnotherSourceIsNotTheGrids) {
    TShownGrid shown(3, 200, {"ID"});
    TDataSource elsewhere(nullptr);
    TDataSetEdit edit(shown.Form.get());
    edit.SetDataSource(&elsewhere);
    EXPECT_FALSE(shown.Grid->ExecuteAction(&edit));
    EXPECT_FALSE(shown.Grid->UpdateAction(&edit));
    EXPECT_EQ(shown.Data.Query->State(), dsBrowse);
    edit.SetDataSource(shown.Data.Source.get());
    EXPECT_TRUE(shown.Grid->ExecuteAction(&edit));
    EXPECT_EQ(shown.Data.Query->State(), dsEdit);
    shown.Data.Query->Cancel();
}

} // namespace
