// The data-aware columns that edit text-like values in their own type: the
// memo column (the field's whole text, a cut of it in the cell), the
// currency column (a number, limits that follow the field until set, and a
// display format that follows the locale until set), the time column (the
// time of day, the field's date kept) and the hyperlink column (a link). Each names an editor
// class of its own, the editor controls' class under the column's name.
#pragma once

#include "dbgrid/DBTreeListColumn.h"
#include "editors/CurrencyEdit.h"
#include "editors/HyperLinkEdit.h"
#include "editors/MemoEdit.h"
#include "editors/TimeEdit.h"
#include "platform/ui/Menus.h"

#include <memory>
#include <string>

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
    double MinValue() const;
    void SetMinValue(double Value);
    double MaxValue() const;
    void SetMaxValue(double Value);
    // A limit is written to a form only when it is not 0.
    bool IsMinValueStored() const { return FMinValue != 0.0; }
    bool IsMaxValueStored() const { return FMaxValue != 0.0; }
    bool Nullable() const { return FNullable; }
    void SetNullable(bool Value);
    // Stands for an empty value while Nullable.
    const std::string& NullString() const { return FNullString; }
    void SetNullString(const std::string& Value);
    bool UseThousandSeparator() const { return FUseThousandSeparator; }
    void SetUseThousandSeparator(bool Value) { FUseThousandSeparator = Value; }

private:
    // The bound field's limit: an integer, float or BCD field's, else 0.
    double FieldLimit(bool Max) const;
    // Whether the bound field shows its own text (OnGetText, or a currency
    // flag that is on).
    bool FieldFormatsText() const;

    bool FMinValueAssigned = false;
    bool FMaxValueAssigned = false;
    unsigned FDecimalPlaces = 2;
    std::string FDisplayFormat;
    bool FDisplayFormatAssigned = false;
    double FMinValue = 0.0;
    double FMaxValue = 0.0;
    bool FNullable = false;
    std::string FNullString;
    bool FUseThousandSeparator = false;
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
    virtual void GetExportText(const Variant& Value, bool HTML, std::string& Result) const;
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
