// TcvTreeListCellViewData: the tree list's one description of the cell being
// painted or measured. The painter refills it for every cell and a column
// turns it into its editor class's view data; it is valid only during one
// painting or measuring call.
#pragma once

#include "platform/ui/Graphics.h"

#include <string>

class TcvTreeListNode;

struct TcvTreeListCellViewData {
    HBRUSH Brush = nullptr;
    HFONT Font = nullptr;
    TColor Color = clWindow;
    TColor TextColor = clWindowText;
    TAlignment Alignment = taLeftJustify;
    std::string Text;
    int HighlightLength = 0; // leading characters in the search highlight; 0 outside it
    bool Selected = false;
    bool InvertedSelection = false;
    bool LeftEdge = false;  // the row's first cell
    bool RightEdge = false; // the row's last cell
    bool MultiLine = false;
    bool SearchHighlight = false; // this pass paints the search highlight
    bool EndEllipsis = false;
    TcvTreeListNode* Node = nullptr; // nullptr when measuring a text without a row
    bool NewItemRowIdle = false;     // a new-item row cell while nothing is inserted
    TColor SelectionColor = clHighlight;
    HBRUSH ColumnBrush = nullptr;
    TColor ColumnColor = clWindow;
    bool Hot = false;
    TRect Bounds{}; // the cell at the origin grown by 2 pixels
};
