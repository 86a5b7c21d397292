// The image column follows its image lists: a change of a list repaints the
// grid, and a freed list is forgotten, also when it served as both lists.
#include "tests/dbgrid/ShownGrid.h"

#include "dbgrid/GridColumns.h"
#include "platform/ui/ImageList.h"

#include <gtest/gtest.h>

namespace {

class ImageColumnGrid : public gridtest::TShownGrid {
public:
    ImageColumnGrid() : TShownGrid(3, 200, {}) {
        Column = static_cast<TcvDBGridImageColumn*>(
            Grid->CreateColumn(TcvColumnClassOf<TcvDBGridImageColumn>::Instance()));
        Column->SetBandIndex(0);
        Column->SetFieldName("Done");
        UpdateWindow(Grid->Handle());
    }
    bool RepaintPending() const {
        TRect r;
        return GetUpdateRect(Grid->Handle(), &r, false);
    }
    TcvDBGridImageColumn* Column = nullptr;
};

TEST(DBColumnImageTest, AChangedImageListRepaintsTheGrid) {
    for (const bool large : {false, true}) {
        SCOPED_TRACE(large ? "large images" : "images");
        ImageColumnGrid grid;
        TImageList list(nullptr);
        large ? grid.Column->SetLargeImages(&list) : grid.Column->SetImages(&list);
        UpdateWindow(grid.Grid->Handle());
        ASSERT_FALSE(grid.RepaintPending());
        list.SetBkColor(clRed);
        EXPECT_TRUE(grid.RepaintPending());
        // A list no longer used changes nothing in the grid.
        large ? grid.Column->SetLargeImages(nullptr) : grid.Column->SetImages(nullptr);
        UpdateWindow(grid.Grid->Handle());
        list.SetBkColor(clBlue);
        EXPECT_FALSE(grid.RepaintPending());
    }
}

TEST(DBColumnImageTest, AFreedListIsDroppedEvenWhenItServedAsBoth) {
    ImageColumnGrid grid;
    auto list = std::make_unique<TImageList>(nullptr);
    grid.Column->SetImages(list.get());
    grid.Column->SetLargeImages(list.get());
    grid.Column->SetImages(nullptr);
    list.reset();
    EXPECT_EQ(grid.Column->LargeImages(), nullptr);
}

} // namespace
