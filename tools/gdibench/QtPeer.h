// The peer of gdibench: Qt's QPainter::drawText on an image like ours, kept
// apart so that the benchmark itself needs no Qt header.
#pragma once

#include <string>
#include <vector>

struct TTextGrid {
    int columns = 10, rows = 30;
    int cellWidth = 80, cellHeight = 18;
    std::vector<std::string> texts; // UTF-8, taken in turn cell by cell
};

// One pass over every cell of the grid with one open painter, as an item view
// paints a page; `inRect` uses the aligned rectangle form instead of a point.
// Returns the seconds the pass took.
double QtTextPass(const TTextGrid& grid, bool inRect);
