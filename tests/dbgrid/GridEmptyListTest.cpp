// A grid whose list becomes empty (reopened, requeried or first opened
// empty) while it is shown keeps its one empty node instead of focusing the
// node before the first.
#include "tests/dbgrid/ShownGrid.h"

#include <gtest/gtest.h>

namespace {

TEST(GridOverAnEmptyList, ReopenedRequeriedOrFirstOpenedEmptyKeepsOneNode) {
    gridtest::TShownGrid shown(1, 200, {"ID", "Name"});
    shown.Data.Connection->Execute("delete from T");
    shown.Data.Query->Requery();
    ProcessMessages();
    EXPECT_EQ(shown.Grid->Count(), 1);
    shown.Data.Query->Close();
    shown.Data.Query->Open();
    ProcessMessages();
    EXPECT_EQ(shown.Grid->Count(), 1);
}

} // namespace
