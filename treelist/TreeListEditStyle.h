// TcvTreeListEditStyle: the style every editor hosted by a tree list gets.
// While a value is not set on it, it answers from the tree list's look: no
// border over grid lines, buttons in the look and feel's style.
#pragma once

#include "editors/EditStyle.h"

class TCustomcvTreeList;

class TcvTreeListEditStyle : public TcvEditStyle {
public:
    TcvTreeListEditStyle(TcvInplaceEdit* Editor, TCustomcvTreeList* TreeList)
        : TcvEditStyle(Editor), FTreeList(TreeList) {}

    TCustomcvTreeList* TreeList() const { return FTreeList; }

    TColor GetDefaultBorderColor() const override { return clWindowFrame; }
    // None while the tree list shows grid lines, else a single line.
    TcvEditBorderStyle GetDefaultBorderStyle() const override;
    TcvEditButtonViewStyle GetDefaultButtonStyle() const override;
    TcvEditButtonTransparence GetDefaultButtonTransparence() const override { return ebtNone; }
    TcvEditEdges GetDefaultEdges() const override { return cvAllEdges; }
    bool GetDefaultHotTrack() const override { return false; }
    bool GetDefaultShadow() const override { return false; }

private:
    TCustomcvTreeList* FTreeList;
};
