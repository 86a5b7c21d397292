// The data-aware drop-down columns: the drop-down column's shared popup and
// button settings; the date column (values move as dates), the button,
// image, pick, calculator, lookup (values move as keys) and MRU columns.
#pragma once

#include "dbgrid/DBColumnFamilyShared.h"
#include "dbgrid/DBTreeListColumn.h"
#include "editors/ButtonEdit.h"
#include "editors/CalcEdit.h"
#include "editors/DateEdit.h"
#include "editors/DropDownEdit.h"
#include "editors/ImageEdit.h"
#include "editors/LookupEdit.h"
#include "editors/PickEdit.h"
#include "platform/ui/Menus.h"

#include <memory>

class TBitmap;
class TChangeLink;
class TCustomImageList;
class TStringList;

class TcvInplaceDBTreeListDropDownEdit : public TcvInplaceDropDownEdit {
public:
    explicit TcvInplaceDBTreeListDropDownEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceDropDownEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TcvInplaceDBTreeListDateEdit : public TcvInplaceDateEdit {
public:
    explicit TcvInplaceDBTreeListDateEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceDateEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TcvInplaceDBTreeListButtonEdit : public TcvInplaceButtonEdit {
public:
    explicit TcvInplaceDBTreeListButtonEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceButtonEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TcvInplaceDBTreeListImageEdit : public TcvInplaceImageEdit {
public:
    explicit TcvInplaceDBTreeListImageEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceImageEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TcvInplaceDBTreeListPickEdit : public TcvInplacePickEdit {
public:
    explicit TcvInplaceDBTreeListPickEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplacePickEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TcvInplaceDBTreeListCalcEdit : public TcvInplaceCalcEdit {
public:
    explicit TcvInplaceDBTreeListCalcEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceCalcEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TcvInplaceDBTreeListLookupEdit : public TcvInplaceLookupEdit {
public:
    explicit TcvInplaceDBTreeListLookupEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceLookupEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TcvInplaceDBTreeListMRUEdit : public TcvInplaceMRUEdit {
public:
    explicit TcvInplaceDBTreeListMRUEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceMRUEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

// The settings every drop-down column hands to its editor, and the cell
// button: painted only while the grid shows buttons always, then in every row
// (sbAlways) or in the focused row (sbDefault).
class TcvDBTreeListDropDownColumn : public TcvDBTreeListColumn {
public:
    explicit TcvDBTreeListDropDownColumn(TComponent* AOwner);
    ~TcvDBTreeListDropDownColumn() override;

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    const TcvInplaceEditClass& GetEditorClass() const override;
    // The popup settings, the editor's close-up and button click routed to
    // DoCloseUp and DoEditButtonClick, and its buttons shown as
    // ShowsEditButton says.
    void InitEditor(TcvInplaceEdit* Editor) override;
    // The filter editor keeps the settings but not the routing.
    void InitFilterEdit(TcvInplaceEdit* Editor) override;
    void PrepareViewData(TcvEditViewData& ViewData, const TcvTreeListCellViewData& Cell) override;
    bool HasEditButton() const override { return true; }
    // Never with the editor disabled or sbNone; always with sbAlways; else Default.
    bool ShowsEditButton(bool Default) const override;

    // The drop-down column's virtual operations.
    virtual void DoCloseUp(TObject* Sender, Variant& Value, bool& Accept);
    // Fires OnEditButtonClick with the column as sender.
    virtual void DoEditButtonClick(TObject* Sender, int AbsoluteIndex);
    virtual bool ShowsButtonInCell(TcvTreeListNode* Node) const;

    TcvShowButtonStyle ShowButtonStyle() const { return FShowButtonStyle; }
    void SetShowButtonStyle(TcvShowButtonStyle Value);
    // Made empty on first read.
    TBitmap* ButtonGlyph() const;
    // nullptr or an empty bitmap drops the glyph; else a copy is kept.
    void SetButtonGlyph(TBitmap* Value);
    int DropDownRows() const { return FDropDownRows; }
    void SetDropDownRows(int Value) { FDropDownRows = Value; }
    int DropDownWidth() const { return FDropDownWidth; }
    void SetDropDownWidth(int Value) { FDropDownWidth = Value; }
    // Published by the image and lookup columns and kept with their forms
    // and layouts; the open list takes DropDownWidth.
    int ListWidth() const { return FListWidth; }
    void SetListWidth(int Value) { FListWidth = Value; }
    bool ImmediateDropDown() const { return FImmediateDropDown; }
    void SetImmediateDropDown(bool Value) { FImmediateDropDown = Value; }
    bool ImmediatePopup() const { return FImmediatePopup; }
    void SetImmediatePopup(bool Value) { FImmediatePopup = Value; }
    TAlignment PopupAlignment() const { return FPopupAlignment; }
    void SetPopupAlignment(TAlignment Value) { FPopupAlignment = Value; }
    TcvPopupBorder PopupBorder() const { return FPopupBorder; }
    void SetPopupBorder(TcvPopupBorder Value) { FPopupBorder = Value; }

    TNotifyEvent OnEditButtonClick;

private:
    bool HasButtonGlyph() const;

    TcvShowButtonStyle FShowButtonStyle = TcvShowButtonStyle::sbDefault;
    mutable std::unique_ptr<TBitmap> FButtonGlyph;
    int FDropDownRows = 7;
    int FDropDownWidth = 0;
    int FListWidth = 0;
    bool FImmediateDropDown = false;
    bool FImmediatePopup = false;
    TAlignment FPopupAlignment = taLeftJustify;
    TcvPopupBorder FPopupBorder = pbDefault;
};

// Values move as dates; a Null field is the editor's null date.
class TcvDBTreeListDateColumn : public TcvDBTreeListDropDownColumn {
public:
    explicit TcvDBTreeListDateColumn(TComponent* AOwner);

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    const TcvInplaceEditClass& GetEditorClass() const override;
    void InitEditor(TcvInplaceEdit* Editor) override;
    void InitEditValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) override;
    // The null date clears the field.
    void ApplyEditorValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) override;
    // A Null field is current for the null date's number.
    bool IsValueCurrent(const Variant& Value) const override;
    const TcvInplaceEditClass& GetFilterEditClass() const override;
    void InitFilterEdit(TcvInplaceEdit* Editor) override;
    // The null date filters for Null.
    void GetFilterEditValue(TcvInplaceEdit* Editor, Variant& Value, std::string& Text) override;
    void SetFilterEditValue(TcvInplaceEdit* Editor, const Variant& Value) override;

    // Fires OnDateValidateInput with the column as sender; the handler may
    // mend the date, the message and the error flag.
    virtual void DoDateValidateInput(TObject* Sender, const std::string& Text, TDateTime& Date, std::string& ErrorText,
                                     bool& Error);

    TDateButtons DateButtons() const { return FDateButtons; }
    void SetDateButtons(TDateButtons Value) { FDateButtons = Value; }
    TDateOnError DateOnError() const { return FDateOnError; }
    void SetDateOnError(TDateOnError Value) { FDateOnError = Value; }
    bool DateValidation() const { return FDateValidation; }
    void SetDateValidation(bool Value) { FDateValidation = Value; }
    bool SaveTime() const { return FSaveTime; }
    void SetSaveTime(bool Value) { FSaveTime = Value; }
    bool UseEditMask() const { return FUseEditMask; }
    void SetUseEditMask(bool Value) { FUseEditMask = Value; }

    TcvDateValidateInput OnDateValidateInput;

private:
    TDateButtons FDateButtons{btnToday, btnClear};
    TDateOnError FDateOnError = deToday;
    bool FDateValidation = false;
    bool FSaveTime = true;
    bool FUseEditMask = false;
};

enum TcvEditButtonStyle { ebsSimple, ebsEllipsis, ebsDown, ebsGlyph };

// Edit buttons of its own (one ellipsis button at first); ButtonOnly shows
// only the buttons, HideEditCursor the text without a caret.
class TcvDBTreeListButtonColumn : public TcvDBTreeListDropDownColumn {
public:
    explicit TcvDBTreeListButtonColumn(TComponent* AOwner);
    ~TcvDBTreeListButtonColumn() override;

    void Assign(TPersistent* Source) override;
    // One default button again.
    void RestoreDefaults() override;
    const TcvInplaceEditClass& GetEditorClass() const override;
    void InitEditor(TcvInplaceEdit* Editor) override;
    void PrepareViewData(TcvEditViewData& ViewData, const TcvTreeListCellViewData& Cell) override;
    // Fires OnButtonClick.
    virtual void DoButtonClick(TObject* Sender, int AbsoluteIndex);

    bool ButtonOnly() const { return FButtonOnly; }
    void SetButtonOnly(bool Value) { FButtonOnly = Value; }
    TcvEditButtons* Buttons() const { return FButtons.get(); }
    void SetButtons(TcvEditButtons* Value);
    TcvEditButtonStyle EditButtonStyle() const { return FEditButtonStyle; }
    // ebsSimple empties the buttons; the others keep one button of their kind.
    void SetEditButtonStyle(TcvEditButtonStyle Value);
    TShortCut ClickKey() const { return FClickKey; }
    void SetClickKey(TShortCut Value) { FClickKey = Value; }
    TBitmap* Glyph() const { return FGlyph.get(); }
    // A copy, also into the first button.
    void SetGlyph(TBitmap* Value);
    bool HideEditCursor() const { return FHideEditCursor; }
    void SetHideEditCursor(bool Value) { FHideEditCursor = Value; }

    TcvButtonClickEvent OnButtonClick;

private:
    void ResetButtons();

    bool FButtonOnly = false;
    std::unique_ptr<TcvEditButtons> FButtons;
    TcvEditButtonStyle FEditButtonStyle = ebsEllipsis;
    TShortCut FClickKey = ShortCut(VK_RETURN, {ssCtrl});
    std::unique_ptr<TBitmap> FGlyph;
    bool FHideEditCursor = false;
};

// A value stands for an image and a description: its index in Values picks
// the description and (the same index, or with DefaultImages off the
// number in ImageIndexes) the image.
class TcvDBTreeListImageColumn : public TcvDBTreeListDropDownColumn {
public:
    explicit TcvDBTreeListImageColumn(TComponent* AOwner);
    ~TcvDBTreeListImageColumn() override;

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    const TcvInplaceEditClass& GetEditorClass() const override;
    void InitEditor(TcvInplaceEdit* Editor) override;
    void PrepareViewData(TcvEditViewData& ViewData, const TcvTreeListCellViewData& Cell) override;
    void DoCloseUp(TObject* Sender, Variant& Value, bool& Accept) override;
    const TcvInplaceEditClass& GetFilterEditClass() const override;
    // A text that is not among Values (or has no image) filters for Null.
    void GetFilterEditValue(TcvInplaceEdit* Editor, Variant& Value, std::string& Text) override;
    TcvFilterOperatorCodes GetFilterOperators() const override;
    // The value's description.
    void ConvertDisplayText(const Variant& Value, std::string& Text) const override;
    // The value's text through ConvertDisplayText.
    void GetExportText(const Variant& Value, bool HTML, std::string& Result) const override;

    // The value's description, or the value itself when it has none.
    std::string DescriptionOf(const std::string& Value) const;
    // The value's index in Values (-1: none) and its image index.
    void FindValue(const std::string& Value, int& DescriptionIndex, int& ImageIndex) const;

    bool DefaultImages() const { return FDefaultImages; }
    void SetDefaultImages(bool Value);
    TStrings* Descriptions() const;
    void SetDescriptions(TStrings* Value);
    TStrings* ImageIndexes() const;
    void SetImageIndexes(TStrings* Value);
    TStrings* Values() const;
    void SetValues(TStrings* Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TCustomImageList* LargeImages() const { return FLargeImages; }
    void SetLargeImages(TCustomImageList* Value);
    bool Incremental() const { return FIncremental; }
    void SetIncremental(bool Value) { FIncremental = Value; }
    bool MultiLineText() const { return FMultiLineText; }
    void SetMultiLineText(bool Value);
    bool ShowDescription() const { return FShowDescription; }
    void SetShowDescription(bool Value);

    TcvCloseUpEvent OnCloseUp;

protected:
    // A removed image list is forgotten.
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // Stores Value in Flag and repaints when it differs.
    void SetPaintFlag(bool& Flag, bool Value);
    // The cells repaint whenever the new list changes.
    void ReplaceImageList(TCustomImageList*& Target, TChangeLink* Link, TCustomImageList* Value);

    bool FDefaultImages = true;
    std::unique_ptr<TStringList> FDescriptions;
    std::unique_ptr<TStringList> FImageIndexes;
    std::unique_ptr<TStringList> FValues;
    TCustomImageList* FImages = nullptr;
    TCustomImageList* FLargeImages = nullptr;
    std::unique_ptr<TChangeLink> FImagesChangeLink;
    std::unique_ptr<TChangeLink> FLargeImagesChangeLink;
    bool FIncremental = false;
    bool FMultiLineText = false;
    bool FShowDescription = false;
};

class TcvDBTreeListPickColumn : public TcvDBTreeListDropDownColumn {
public:
    explicit TcvDBTreeListPickColumn(TComponent* AOwner);
    ~TcvDBTreeListPickColumn() override;

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    const TcvInplaceEditClass& GetEditorClass() const override;
    void InitEditor(TcvInplaceEdit* Editor) override;
    void DoCloseUp(TObject* Sender, Variant& Value, bool& Accept) override;
    // A pick editor with the same items.
    const TcvInplaceEditClass& GetFilterEditClass() const override;

    bool CanDeleteText() const { return FCanDeleteText; }
    void SetCanDeleteText(bool Value) { FCanDeleteText = Value; }
    bool DropDownListStyle() const { return FDropDownListStyle; }
    void SetDropDownListStyle(bool Value) { FDropDownListStyle = Value; }
    TStrings* Items() const;
    void SetItems(TStrings* Value);
    bool ItemsSorted() const { return FItemsSorted; }
    void SetItemsSorted(bool Value) { FItemsSorted = Value; }
    bool Revertable() const { return FRevertable; }
    void SetRevertable(bool Value) { FRevertable = Value; }

    TcvCloseUpEvent OnCloseUp;

private:
    bool FCanDeleteText = false;
    bool FDropDownListStyle = false;
    std::unique_ptr<TStringList> FItems;
    bool FItemsSorted = false;
    bool FRevertable = false;
};

class TcvDBTreeListCalcColumn : public TcvDBTreeListDropDownColumn {
public:
    using TcvDBTreeListDropDownColumn::TcvDBTreeListDropDownColumn;

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    const TcvInplaceEditClass& GetEditorClass() const override;
    void InitEditor(TcvInplaceEdit* Editor) override;
    const TcvInplaceEditClass& GetFilterEditClass() const override;

    bool BeepOnError() const { return FBeepOnError; }
    void SetBeepOnError(bool Value) { FBeepOnError = Value; }
    TcvButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TcvButtonStyle Value) { FButtonStyle = Value; }
    int Precision() const { return FPrecision; }
    void SetPrecision(int Value) { FPrecision = Value; }
    bool QuickClose() const { return FQuickClose; }
    void SetQuickClose(bool Value) { FQuickClose = Value; }
    bool ShowButtonFrame() const { return FShowButtonFrame; }
    void SetShowButtonFrame(bool Value) { FShowButtonFrame = Value; }

private:
    bool FBeepOnError = true;
    TcvButtonStyle FButtonStyle = bsStandard;
    int FPrecision = 13;
    bool FQuickClose = false;
    bool FShowButtonFrame = false;
};

// Lists the lookup field's list; the filter works on key values.
class TcvDBTreeListLookupColumn : public TcvDBTreeListDropDownColumn {
public:
    using TcvDBTreeListDropDownColumn::TcvDBTreeListDropDownColumn;

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    const TcvInplaceEditClass& GetEditorClass() const override;
    void InitEditor(TcvInplaceEdit* Editor) override;
    void DoCloseUp(TObject* Sender, Variant& Value, bool& Accept) override;
    const TcvInplaceEditClass& GetFilterEditClass() const override;
    // The text may be typed without a bound lookup field.
    void InitFilterEdit(TcvInplaceEdit* Editor) override;
    void GetFilterEditValue(TcvInplaceEdit* Editor, Variant& Value, std::string& Text) override;
    void SetFilterEditValue(TcvInplaceEdit* Editor, const Variant& Value) override;
    // The key the node's record held; Null when none was stored.
    void GetNodeValue(TcvTreeListNode* Node, Variant& Value) const override;
    TcvFilterOperatorCodes GetFilterOperators() const override;

    bool CanDeleteText() const { return FCanDeleteText; }
    void SetCanDeleteText(bool Value) { FCanDeleteText = Value; }
    TShortCut ClearKey() const { return FClearKey; }
    void SetClearKey(TShortCut Value) { FClearKey = Value; }
    const std::string& ListFieldName() const { return FListFieldName; }
    void SetListFieldName(const std::string& Value) { FListFieldName = Value; }
    int ListFieldIndex() const { return FListFieldIndex; }
    void SetListFieldIndex(int Value) { FListFieldIndex = Value; }

    TcvCloseUpEvent OnCloseUp;

private:
    bool FCanDeleteText = false;
    TShortCut FClearKey = 0;
    std::string FListFieldName;
    int FListFieldIndex = 0;
};

// A pick column whose editor keeps its items most recently used first;
// the column takes them back after each edit.
class TcvDBTreeListMRUColumn : public TcvDBTreeListPickColumn {
public:
    explicit TcvDBTreeListMRUColumn(TComponent* AOwner);

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    const TcvInplaceEditClass& GetEditorClass() const override;
    void InitEditor(TcvInplaceEdit* Editor) override;
    void ApplyEditorValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) override;
    // Fires OnButtonClick.
    virtual void DoButtonClick(TObject* Sender);

    int MaxItemCount() const { return FMaxItemCount; }
    void SetMaxItemCount(int Value) { FMaxItemCount = Value; }
    bool ShowEllipsis() const { return FShowEllipsis; }
    void SetShowEllipsis(bool Value);

    TNotifyEvent OnButtonClick;

private:
    int FMaxItemCount = 7;
    bool FShowEllipsis = true;
};
