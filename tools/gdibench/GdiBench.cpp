// gdibench: short single-line DrawText and ExtTextOut calls, a grid page of them
// (30 rows of 10 cells) into a 32-bit memory bitmap, beside Qt's QPainter::drawText
// of the same texts on an image of the same size, timed in turns.
// Usage: gdibench [pages]    (run with QT_QPA_PLATFORM=offscreen without a display)
#include "QtPeer.h"

#include "platform/ui/Gdi.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

double Seconds(const std::function<void()>& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A 32-bit memory DC over the whole grid with the program's default font.
class TGridDC {
public:
    explicit TGridDC(const TTextGrid& grid) : FGrid(grid) {
        FDC = CreateCompatibleDC(nullptr);
        FBitmap = CreateBitmap(grid.columns * grid.cellWidth, grid.rows * grid.cellHeight, 1, 32, nullptr);
        FOldBitmap = SelectObject(FDC, FBitmap);
        FOldFont = SelectObject(FDC, GetStockObject(DEFAULT_GUI_FONT));
        SetTextColor(FDC, RGB(0, 0, 0));
        SetBkMode(FDC, TRANSPARENT);
    }
    ~TGridDC() {
        SelectObject(FDC, FOldFont);
        SelectObject(FDC, FOldBitmap);
        DeleteObject(FBitmap);
        DeleteDC(FDC);
    }
    TGridDC(const TGridDC&) = delete;
    TGridDC& operator=(const TGridDC&) = delete;

    // One pass over every cell: DrawText vertically centred, or ExtTextOut clipped to the cell.
    double Pass(bool extTextOut) {
        RECT all{0, 0, FGrid.columns * FGrid.cellWidth, FGrid.rows * FGrid.cellHeight};
        FillRect(FDC, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        TEXTMETRIC tm;
        GetTextMetrics(FDC, &tm);
        return Seconds([&] {
            size_t next = 0;
            for (int row = 0; row < FGrid.rows; ++row)
                for (int column = 0; column < FGrid.columns; ++column) {
                    const std::string& text = FGrid.texts[next++ % FGrid.texts.size()];
                    RECT cell{column * FGrid.cellWidth, row * FGrid.cellHeight, (column + 1) * FGrid.cellWidth,
                              (row + 1) * FGrid.cellHeight};
                    if (extTextOut)
                        ExtTextOut(FDC, cell.Left, cell.Top + (FGrid.cellHeight - tm.tmHeight) / 2, ETO_CLIPPED, &cell,
                                   text.c_str(), static_cast<int>(text.size()), nullptr);
                    else
                        DrawText(FDC, text, &cell, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
                }
        });
    }

private:
    const TTextGrid& FGrid;
    HDC FDC = nullptr;
    HBITMAP FBitmap = nullptr;
    HGDIOBJ FOldBitmap = nullptr, FOldFont = nullptr;
};

} // namespace

int main(int argc, char** argv) {
    const int pages = argc > 1 ? std::max(1, std::atoi(argv[1])) : 40;
    TTextGrid grid;
    grid.texts = {"项目名称", "P000123", "1,234.50", "2024-10-15", "张三", "已审核", "Organisation 17", "备注：无"};
    TGridDC dc(grid); // first: it brings up the Qt application the peer's fonts need
    const int calls = grid.rows * grid.columns;

    struct TBest {
        double drawText = 1e30, extTextOut = 1e30, qtPoint = 1e30, qtRect = 1e30;
    } best;
    for (int page = 0; page < pages; ++page) {
        best.drawText = std::min(best.drawText, dc.Pass(false));
        best.extTextOut = std::min(best.extTextOut, dc.Pass(true));
        best.qtPoint = std::min(best.qtPoint, QtTextPass(grid, false));
        best.qtRect = std::min(best.qtRect, QtTextPass(grid, true));
    }
    auto perCall = [calls](double seconds) { return seconds * 1e6 / calls; };
    std::printf("short single-line text, %d calls a page, best of %d pages (us per call)\n", calls, pages);
    std::printf("  %-34s %8.2f\n", "Qt drawText(point, text)", perCall(best.qtPoint));
    std::printf("  %-34s %8.2f\n", "Qt drawText(rect, flags, text)", perCall(best.qtRect));
    std::printf("  %-34s %8.2f  %.2fx Qt point\n", "DrawText DT_SINGLELINE|DT_VCENTER", perCall(best.drawText),
                best.drawText / best.qtPoint);
    std::printf("  %-34s %8.2f  %.2fx Qt point\n", "ExtTextOut ETO_CLIPPED", perCall(best.extTextOut),
                best.extTextOut / best.qtPoint);
    return 0;
}
