// Cells of the editor classes a grid column holds, painted from the view data
// their editors make: what a cell shows, and that painting makes no window.
#include "editors/CurrencyEdit.h"
#include "editors/MemoEdit.h"
#include "tests/editors/EditorTestHost.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

using namespace editortest;

namespace {

class EditorCell : public CellImage {
protected:
    EditorCell() {
        Width = 90;
        Height = 60;
    }
    // Ink (anything but the cell's background) in a band of rows of the content.
    bool InkInRows(int Top, int Bottom, COLORREF Background) {
        for (int y = Top; y < Bottom; ++y)
            for (int x = 3; x < Width - 3; ++x)
                if (GetPixel(DC, x, y) != Background) return true;
        return false;
    }
};

TEST_F(EditorCell, ViewDataShowsTheEditorsValueAndPaintsWithoutAWindow) {
    struct Case {
        const char* What;
        std::function<TcvInplaceEdit*(TComponent* Owner)> Make;
        const char* Shown;
        bool Wraps;
    };
    const std::string note = "一行写不下的备注在单元格里折行";
    const Case cases[] = {
        {"a word-wrapped memo",
         [&](TComponent* Owner) {
             auto* memo = new TcvInplaceMemoEdit(Owner);
             memo->SetEditValue(note);
             return memo;
         },
         note.c_str(), true},
        {"a currency through its display format",
         [](TComponent* Owner) {
             auto* currency = new TcvInplaceCurrencyEdit(Owner);
             currency->SetDisplayFormat(",0.00");
             currency->SetEditValue(1234.5);
             return currency;
         },
         "1,234.50", false},
    };
    for (const Case& c : cases) {
        TComponent owner(nullptr);
        TcvInplaceEdit* editor = c.Make(&owner);
        editor->SetBounds(0, 0, Width, Height);
        std::unique_ptr<TcvEditViewData> cell = editor->CreateViewData(false);
        EXPECT_EQ(VarToStr(cell->Value), c.Shown) << c.What;
        cell->BorderStyle = xbsNone; // as a grid paints its cells: only the content shows

        const int windowsBefore = CountWindows();
        const TcvInplaceEditClass& editorClass = editor->EditorClass();
        cell->MeasureRequest = true;
        editorClass.DrawCell(DC, *cell, nullptr);
        EXPECT_EQ(cell->LineCount > 1, c.Wraps) << c.What;
        const int lineBottom = 2 + cell->LineHeight;
        cell->MeasureRequest = false;
        editorClass.DrawCell(DC, *cell, nullptr);
        EXPECT_EQ(CountWindows(), windowsBefore) << c.What << ": painting a cell makes no window";
        EXPECT_TRUE(InkInRows(2, Height - 2, cell->BackgroundColor)) << c.What;
        if (c.Wraps) {
            EXPECT_TRUE(InkInRows(lineBottom, Height - 2, cell->BackgroundColor)) << c.What << ": line two";
        }
    }
}

} // namespace
