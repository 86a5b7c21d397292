// Buttons with pictures: TBitBtn (a push button with a glyph and the standard
// kinds) and TSpeedButton (a windowless, optionally flat button that can stay
// down in a group).
#pragma once

#include "platform/ui/StdCtrls.h"

#include <memory>

class TBitmap;

enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

class TBitBtn : public TButton {
public:
    explicit TBitBtn(TComponent* AOwner);
    ~TBitBtn() override;

    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value);
    // A standard kind sets the caption, the modal result and Default/Cancel.
    TBitBtnKind Kind() const { return FKind; }
    void SetKind(TBitBtnKind Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);

    void Click() override;

protected:
    void Paint() override;

private:
    std::unique_ptr<TBitmap> FGlyph;
    TBitBtnKind FKind = bkCustom;
    TButtonLayout FLayout = blGlyphLeft;
    int FSpacing = 4;
};

class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;

    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    // Buttons with the same non-zero GroupIndex and parent stay down one at a time.
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }

    void Click() override;
    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;

private:
    std::unique_ptr<TBitmap> FGlyph;
    bool FFlat = false;
    int FGroupIndex = 0;
    bool FDown = false;
    bool FAllowAllUp = false;
    bool FPressed = false;
    bool FHot = false;
};
