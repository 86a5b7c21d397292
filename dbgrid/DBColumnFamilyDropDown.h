// The data-aware drop-down columns: the drop-down column's shared popup and
// button settings, and the date column, whose values move as dates.
#pragma once

#include "dbgrid/DBTreeListColumn.h"
#include "editors/DateEdit.h"
#include "editors/DropDownEdit.h"

#include <memory>

class TBitmap;

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

// Where the cell paints the drop-down button. Scoped: the spin editor's
// buttons already name an sbNone.
enum class TcvShowButtonStyle { sbDefault, sbAlways, sbNone };

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
    // The popup settings, and the editor's close-up and button click routed
    // to DoCloseUp and DoEditButtonClick.
    void InitEditor(TcvInplaceEdit* Editor) override;
    // The filter editor keeps the settings but not the routing.
    void InitFilterEdit(TcvInplaceEdit* Editor) override;
    void PrepareViewData(TcvEditViewData& ViewData, const TcvTreeListCellViewData& Cell) override;
    bool HasEditButton() const override { return true; }

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
