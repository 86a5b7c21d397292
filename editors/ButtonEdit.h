// The button editor: a drop-down editor without a popup that shows a row of
// up to eight buttons from a collection and reports a click on one of them.
// Its text is editable, shown without a caret, or absent (buttons only, then
// the buttons fill the editor). The collection keeps exactly one default
// button when it holds one, and ClickKey clicks the default button.
#pragma once

#include "editors/DropDownEdit.h"
#include "platform/rtl/Collection.h"
#include "platform/ui/Menus.h"
#include "platform/ui/Messages.h"

#include <memory>

class TBitmap;
class TcvEditButtons;

class TcvEditButton : public TCollectionItem {
public:
    // Raises when the collection already holds eight buttons.
    explicit TcvEditButton(TCollection* Collection);
    ~TcvEditButton() override;

    // True clears Default on every other button of the collection first.
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    // Created empty on first read.
    TBitmap* Glyph();
    void SetGlyph(TBitmap* Value);
    TcvEditButtonKind Kind() const { return FKind; }
    void SetKind(TcvEditButtonKind Value);
    bool LeftAlignment() const { return FLeftAlignment; }
    void SetLeftAlignment(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    // 0: the kind's standard width.
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    // The glyph when it holds a picture, else nullptr.
    TBitmap* ShownGlyph() const;

    void Assign(TPersistent* Source) override;
    // Everything but Default back to its default; the glyph is freed.
    virtual void RestoreDefaults();

private:
    friend class TcvEditButtons;

    bool FDefault = false;
    std::unique_ptr<TBitmap> FGlyph;
    TcvEditButtonKind FKind = bkEllipsis;
    bool FLeftAlignment = false;
    bool FVisible = true;
    int FWidth = 0;
};

class TcvEditButtons : public TCollection {
public:
    static constexpr int MaxCount = TcvDropDownEditViewData::MaxButtons;

    // Owner (the editor or a grid column) is not owned.
    TcvEditButtons(TPersistent* Owner, TCollectionItemClass ItemClass);

    TcvEditButton* Add();
    TcvEditButton* GetItem(int Index) const;
    void RestoreDefaults();
    TPersistent* Owner() const override { return FOwner; }

    int VisibleCount() const;
    // The Index-th visible button; nullptr when there is none.
    TcvEditButton* VisibleItem(int Index) const;
    // The collection index of the Index-th visible button; -1 when there is none.
    int VisibleIndexToIndex(int Index) const;

protected:
    // A single button becomes the default, unless the owner is being loaded.
    void Update(TCollectionItem* Item) override;

private:
    TPersistent* FOwner;
};

// The editor's own collection: every change re-lays the editor out.
class TcvInplaceEditButtons : public TcvEditButtons {
public:
    TcvInplaceEditButtons(TPersistent* Owner, TCollectionItemClass ItemClass);

protected:
    void Update(TCollectionItem* Item) override;
};

class TcvButtonEditViewData : public TcvDropDownEditViewData {
public:
    // No text area: the buttons fill the cell.
    bool ButtonsOnly = false;
    TcvEditButtons* EditButtons = nullptr;
};

class TcvButtonEditClassOps : public TcvDropDownEditClassOps {
public:
    std::unique_ptr<TcvEditViewData> CreateViewData() const override;
    // With buttons only the last button takes the width the others leave,
    // and the content is empty.
    void CalcViewInfo(TcvEditViewData& ViewData, bool CalcSize, TcvEditViewInfo& ViewInfo) const override;
    // The visible buttons of the collection, in its order.
    void CalcButtons(TcvDropDownEditViewData& ViewData) const override;
};

class TcvInplaceButtonEdit : public TcvInplaceDropDownEdit {
public:
    enum TViewMode { vmEditable = 0, vmNoCaret = 1, vmButtonsOnly = 2 };

    explicit TcvInplaceButtonEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass());
    ~TcvInplaceButtonEdit() override;

    static const TcvInplaceEditClass& StaticClass();

    TcvInplaceEditButtons* Buttons() const { return FButtons.get(); }
    void SetButtons(TcvEditButtons* Value);
    TShortCut ClickKey() const { return FClickKey; }
    void SetClickKey(TShortCut Value) { FClickKey = Value; }
    // "ExistButtons" as a form stores it: true when the collection holds a
    // button. A form built with it unset loads with no buttons, not with the
    // one the constructor made.
    bool ExistButtons() const { return FButtons->Count() > 0; }
    void SetExistButtons(bool Value) { FButtonsStreamed = Value; }
    int ViewMode() const { return FViewMode; }
    // Recreates the window when the mode changes.
    void SetViewMode(int Value);

    // The button editor's virtual operation: clicks the first visible default button.
    virtual void ClickDefaultButton();

    std::unique_ptr<TcvEditViewData> CreateViewData(bool FromDefinition) override;
    bool HasEditControl() override { return FViewMode == vmEditable; }
    bool CanRestoreText() override { return true; }
    // OnButtonClick with the collection index of a visible button, then DoDropDown.
    void ButtonClick(int Index) override;
    // No drop-down keys here.
    void DropDownKeyDown(Word& Key, TShiftState Shift) override { (void)Key, (void)Shift; }

    void WndProc(TMessage& Message) override;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void Loaded() override;

private:
    std::unique_ptr<TcvInplaceEditButtons> FButtons;
    TShortCut FClickKey = ShortCut(VK_RETURN, {ssCtrl});
    bool FButtonsStreamed = false;
    int FViewMode = vmEditable;
};
