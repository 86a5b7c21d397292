// The data-aware columns that edit text-like values in their own type: the
// memo column (the field's whole text, a cut of it in the cell), the
// currency column (a number, limits that follow the field until set, and a
// display format that follows the locale until set), the time column (the
// time of day, the field's date kept) and the hyperlink column (a link). Each names an editor
// class of its own, the editor controls' class under the column's name.
#pragma once

#include "dbgrid/DBColumnFamilyShared.h"
#include "dbgrid/DBTreeListColumn.h"
#include "editors/CurrencyEdit.h"
#include "editors/HyperLinkEdit.h"
#include "editors/MemoEdit.h"
#include "editors/SpinEdit.h"
#include "editors/TimeEdit.h"
#include "platform/ui/Menus.h"

#include <memory>
#include <string>

class TcvInplaceDBTreeListSpinEdit : public TcvInplaceSpinEdit {
public:
    explicit TcvInplaceDBTreeListSpinEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceSpinEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

// A column's MinValue and MaxValue: each follows the bound field's limit (an
// integer, float or BCD field's; else 0) until it is assigned, and an
// assigned limit stays assigned even when reset to 0.
class TcvColumnValueLimits {
public:
    double Value(bool Max, const TField* Field) const;
    // Nothing when already assigned and equal.
    void SetValue(bool Max, double Value);
    // A limit is written to a form only when it is not 0.
    bool IsStored(bool Max) const { return FValue[Max] != 0.0; }
    // The assigned limits of Source, as assigned ones.
    void Assign(const TcvColumnValueLimits& Source);
    // The stored values become 0; the assigned marks stay.
    void ResetValues() { FValue[0] = FValue[1] = 0.0; }

private:
    bool FAssigned[2]{};
    double FValue[2]{};
};

class TcvInplaceDBTreeListMemoEdit : public TcvInplaceMemoEdit {
public:
    explicit TcvInplaceDBTreeListMemoEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceMemoEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TcvInplaceDBTreeListTimeEdit : public TcvInplaceTimeEdit {
public:
    explicit TcvInplaceDBTreeListTimeEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceTimeEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TcvInplaceDBTreeListHyperLinkEdit : public TcvInplaceHyperLinkEdit {
public:
    explicit TcvInplaceDBTreeListHyperLinkEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceHyperLinkEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TcvInplaceDBTreeListCurrencyEdit : public TcvInplaceCurrencyEdit {
public:
    explicit TcvInplaceDBTreeListCurrencyEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceCurrencyEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

// Filtering is always off; the cell shows the field's text cut to
// MaxDisplayLength characters (a negative length shows it whole).
class TcvDBTreeListMemoColumn : public TcvDBTreeListColumn {
public:
    explicit TcvDBTreeListMemoColumn(TComponent* AOwner);

    // Of its own settings only MaxDisplayLength, ScrollBars and WordWrap
    // are copied and reset.
    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    const TcvInplaceEditClass& GetEditorClass() const override;
    std::string GetDisplayText(TcvTreeListNode* Node) const override;
    // With a field the text is the value's, cut: no OnGetText shapes it.
    bool TextFollowsValue() const override { return Field() || TcvDBTreeListColumn::TextFollowsValue(); }
    std::string GetStoredDisplayText(TcvTreeListNode* Node, const Variant& Value) const override;
    void InitEditor(TcvInplaceEdit* Editor) override;
    // The field's whole text moves between field and editor.
    void InitEditValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) override;
    void ApplyEditorValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) override;
    bool IsValueCurrent(const Variant& Value) const override;
    bool IsMemoColumn() const override { return true; }
    bool CanEditValue() const override { return true; }

    bool HideScrollBars() const { return FHideScrollBars; }
    void SetHideScrollBars(bool Value) { FHideScrollBars = Value; }
    int MaxDisplayLength() const { return FMaxDisplayLength; }
    void SetMaxDisplayLength(int Value) { FMaxDisplayLength = Value; }
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value) { FScrollBars = Value; }
    bool SelectionBar() const { return FSelectionBar; }
    void SetSelectionBar(bool Value);
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value) { FWordWrap = Value; }

private:
    void ResetOwnDefaults();

    bool FHideScrollBars = true;
    int FMaxDisplayLength = 255;
    TScrollStyle FScrollBars = ssNone;
    bool FSelectionBar = false;
    bool FWantReturns = true;
    bool FWantTabs = false;
    bool FWordWrap = true;
};

// Values move as numbers. MinValue and MaxValue follow the bound field's
// limits until assigned; DisplayFormat follows the locale's currency format
// until assigned, and formats the cell text unless the field formats its own.
class TcvDBTreeListCurrencyColumn : public TcvDBTreeListColumn {
public:
    explicit TcvDBTreeListCurrencyColumn(TComponent* AOwner);

    void Assign(TPersistent* Source) override;
    // DecimalPlaces and DisplayFormat back to their defaults; assigned
    // limits stay assigned, now 0; Nullable, NullString and
    // UseThousandSeparator keep their values.
    void RestoreDefaults() override;
    const TcvInplaceEditClass& GetEditorClass() const override;
    // The editor edits the plain number: it gets no display format.
    void InitEditor(TcvInplaceEdit* Editor) override;
    void InitEditValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) override;
    void ApplyEditorValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) override;
    void PrepareViewData(TcvEditViewData& ViewData, const TcvTreeListCellViewData& Cell) override;
    // The locale's decimal separator, else the field's own test.
    bool IsValidEditChar(char32_t Key) const override;
    bool IsValueCurrent(const Variant& Value) const override;
    const TcvInplaceEditClass& GetFilterEditClass() const override;
    void GetFilterEditValue(TcvInplaceEdit* Editor, Variant& Value, std::string& Text) override;
    void SetFilterEditValue(TcvInplaceEdit* Editor, const Variant& Value) override;

    unsigned DecimalPlaces() const { return FDecimalPlaces; }
    void SetDecimalPlaces(unsigned Value) { FDecimalPlaces = Value; }
    // Until set, the locale's default currency format as it stands now, so
    // a change of the regional settings reaches the cells.
    std::string DisplayFormat() const;
    // Marks the format as set: the locale no longer changes it.
    void SetDisplayFormat(const std::string& Value);
    bool IsDisplayFormatStored() const { return FDisplayFormatAssigned; }
    double MinValue() const { return FLimits.Value(false, Field()); }
    void SetMinValue(double Value) { FLimits.SetValue(false, Value); }
    double MaxValue() const { return FLimits.Value(true, Field()); }
    void SetMaxValue(double Value) { FLimits.SetValue(true, Value); }
    bool IsMinValueStored() const { return FLimits.IsStored(false); }
    bool IsMaxValueStored() const { return FLimits.IsStored(true); }
    bool Nullable() const { return FNullable; }
    void SetNullable(bool Value);
    // Stands for an empty value while Nullable.
    const std::string& NullString() const { return FNullString; }
    void SetNullString(const std::string& Value);
    bool UseThousandSeparator() const { return FUseThousandSeparator; }
    void SetUseThousandSeparator(bool Value) { FUseThousandSeparator = Value; }

private:
    // Whether the bound field shows its own text (OnGetText, or a currency
    // flag that is on).
    bool FieldFormatsText() const;

    TcvColumnValueLimits FLimits;
    unsigned FDecimalPlaces = 2;
    std::string FDisplayFormat;
    bool FDisplayFormatAssigned = false;
    bool FNullable = false;
    std::string FNullString;
    bool FUseThousandSeparator = false;
};

// Values move as numbers: floats for a float or BCD field, else integers.
// The limits follow the field as the currency column's do.
class TcvDBTreeListSpinColumn : public TcvDBTreeListColumn {
public:
    explicit TcvDBTreeListSpinColumn(TComponent* AOwner);

    void Assign(TPersistent* Source) override;
    // Assigned limits stay assigned, now 0.
    void RestoreDefaults() override;
    const TcvInplaceEditClass& GetEditorClass() const override;
    void InitEditor(TcvInplaceEdit* Editor) override;
    void InitEditValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) override;
    void ApplyEditorValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) override;
    bool IsValueCurrent(const Variant& Value) const override;
    const TcvInplaceEditClass& GetFilterEditClass() const override;
    void GetFilterEditValue(TcvInplaceEdit* Editor, Variant& Value, std::string& Text) override;
    void SetFilterEditValue(TcvInplaceEdit* Editor, const Variant& Value) override;
    void PrepareViewData(TcvEditViewData& ViewData, const TcvTreeListCellViewData& Cell) override;

    // The spin column's virtual operation: the buttons as the drop-down
    // column shows its button.
    virtual bool ShowsButtonInCell(TcvTreeListNode* Node) const;

    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool Value) { FEditorEnabled = Value; }
    double Increment() const { return FIncrement; }
    void SetIncrement(double Value) { FIncrement = Value; }
    // Written to a form only when it is not 1.
    bool IsIncrementStored() const { return FIncrement != 1.0; }
    double MinValue() const { return FLimits.Value(false, Field()); }
    void SetMinValue(double Value) { FLimits.SetValue(false, Value); }
    double MaxValue() const { return FLimits.Value(true, Field()); }
    void SetMaxValue(double Value) { FLimits.SetValue(true, Value); }
    bool IsMinValueStored() const { return FLimits.IsStored(false); }
    bool IsMaxValueStored() const { return FLimits.IsStored(true); }
    TcvShowButtonStyle ShowButtonStyle() const { return FShowButtonStyle; }
    void SetShowButtonStyle(TcvShowButtonStyle Value);
    bool UseCtrlIncrement() const { return FUseCtrlIncrement; }
    void SetUseCtrlIncrement(bool Value) { FUseCtrlIncrement = Value; }

private:
    bool FEditorEnabled = true;
    double FIncrement = 1.0;
    TcvColumnValueLimits FLimits;
    TcvShowButtonStyle FShowButtonStyle = TcvShowButtonStyle::sbDefault;
    bool FUseCtrlIncrement = false;
};

// Values move as times of day: editing changes the time and keeps the
// field's date.
class TcvDBTreeListTimeColumn : public TcvDBTreeListColumn {
public:
    using TcvDBTreeListColumn::TcvDBTreeListColumn;

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    const TcvInplaceEditClass& GetEditorClass() const override;
    void InitEditor(TcvInplaceEdit* Editor) override;
    void InitEditValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) override;
    void ApplyEditorValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) override;
    bool IsValueCurrent(const Variant& Value) const override;
    const TcvInplaceEditClass& GetFilterEditClass() const override;
    // The filter text is the raw edit text, separators included.
    void GetFilterEditValue(TcvInplaceEdit* Editor, Variant& Value, std::string& Text) override;
    void SetFilterEditValue(TcvInplaceEdit* Editor, const Variant& Value) override;

    cvExEdtr::TcvTimeEditFormat TimeEditFormat() const { return FTimeEditFormat; }
    void SetTimeEditFormat(cvExEdtr::TcvTimeEditFormat Value) { FTimeEditFormat = Value; }
    bool UseCtrlIncrement() const { return FUseCtrlIncrement; }
    void SetUseCtrlIncrement(bool Value) { FUseCtrlIncrement = Value; }

private:
    cvExEdtr::TcvTimeEditFormat FTimeEditFormat = cvExEdtr::tfHourMinSec;
    bool FUseCtrlIncrement = false;
};

// Shows its text as a link: the column's font underlined (in EditFontColor
// while SingleClick opens links from the cell).
class TcvDBTreeListHyperLinkColumn : public TcvDBTreeListColumn {
public:
    explicit TcvDBTreeListHyperLinkColumn(TComponent* AOwner);
    ~TcvDBTreeListHyperLinkColumn() override;

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    // The link font follows the column's font.
    void FontChanged() override;
    const TcvInplaceEditClass& GetEditorClass() const override;
    void InitEditor(TcvInplaceEdit* Editor) override;
    void PrepareViewData(TcvEditViewData& ViewData, const TcvTreeListCellViewData& Cell) override;
    // The link cursor over a cell with text while SingleClick.
    void GetCellCursor(TcvTreeListNode* Node, TCursor& Cursor) const override;
    // For HTML, a link whose address and text are the value's text, escaped
    // so that a value cannot break out of the attribute or the element.
    void GetExportText(const Variant& Value, bool HTML, std::string& Result) const override;
    // Fires OnStartClick.
    virtual void DoStartClick(TObject* Sender);

    TColor EditBackgroundColor() const { return FEditBackgroundColor; }
    void SetEditBackgroundColor(TColor Value);
    TColor EditFontColor() const { return FEditFontColor; }
    void SetEditFontColor(TColor Value);
    bool SingleClick() const { return FSingleClick; }
    void SetSingleClick(bool Value);
    TShortCut StartKey() const { return FStartKey; }
    void SetStartKey(TShortCut Value) { FStartKey = Value; }
    // The cell font: the column's font, underlined.
    TFont* LinkFont() const { return FLinkFont.get(); }

    TNotifyEvent OnStartClick;

private:
    void UpdateLinkFont();

    TColor FEditBackgroundColor = clWhite;
    TColor FEditFontColor = clBlue;
    bool FSingleClick = false;
    TShortCut FStartKey = ShortCut(VK_RETURN, {ssCtrl});
    std::unique_ptr<TFont> FLinkFont;
};
