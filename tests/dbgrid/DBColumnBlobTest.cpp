// The blob column hands its memo settings to the editor it configures: the
// popup's memo of a real grid's cell takes the column's character case.
#include "tests/dbgrid/ShownGrid.h"

#include "dbgrid/GridColumns.h"
#include "editors/BlobEdit.h"

#include <gtest/gtest.h>

TEST(DBColumnBlobTest, ThePopupsMemoTakesTheColumnsCharCase) {
    gridtest::TShownGrid grid(3, 200, {});
    auto* column = static_cast<TcvDBGridBlobColumn*>(
        grid.Grid->CreateColumn(TcvColumnClassOf<TcvDBGridBlobColumn>::Instance()));
    column->SetBandIndex(0);
    column->SetFieldName("Note");
    column->SetBlobKind(bkMemo);
    column->SetMemoCharCase(ecUpperCase);
    grid.Grid->SetFocusedColumn(0);
    grid.Grid->ShowEditor();
    ProcessMessages();
    auto* editor = dynamic_cast<TcvInplaceBlobEdit*>(grid.Grid->InplaceEditor());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->MemoCharCase(), ecUpperCase);
    editor->DropDown();
    ProcessMessages();
    ASSERT_NE(editor->BlobPopup(), nullptr);
    EXPECT_EQ(editor->BlobPopup()->Text(), "NOTE 1 ");
}
