// What the tree list's cell painters work with: the arguments of one cell as
// the row, header and footer painting hand them on.
#pragma once

#include "platform/ui/Graphics.h"

#include <string>

class TcvTreeListNode;

// The kinds of cell the painters draw.
enum TcvTreeListCellKind { ckNode = 0, ckFooter = 1, ckNewItemRow = 2, ckGroupRow = 3 };

// One cell as the area painting passes it to PaintNodeCell, PaintTextCell
// and PaintPreview; colours and brushes come from the per-paint colour rule.
struct TcvTreeListCellPaint {
    TCanvas* Canvas = nullptr;
    TRect Rect;
    TBitmap* WorkBitmap = nullptr;
    TcvTreeListNode* Node = nullptr; // nil for the total footer
    int Column = -1;                 // absolute index
    int FooterIndex = -1;            // a row footer's line, else -1
    bool Selected = false;
    bool Focused = false;
    TColor Color = clWindow;
    TColor TextColor = clWindowText;
    HBRUSH Brush = nullptr;
    bool MultiLine = false;
    TcvTreeListCellKind Kind = ckNode;
    bool LeftEdge = false;  // the first cell of the first band
    bool RightEdge = false; // the last cell of the last band
    TColor ColumnColor = clWindow;
    HBRUSH ColumnBrush = nullptr;
};
