// The standard controls. Edits, memos, combo and list boxes show native Qt
// widgets (text editing, input methods and the clipboard come from Qt);
// labels, buttons, check boxes, radio buttons and group boxes paint themselves
// with GDI in the classic look.
#pragma once

#include "platform/rtl/StringList.h"
#include "platform/ui/Controls.h"

#include <functional>
#include <memory>
#include <string>

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
// What an edit's MaxLength counts: characters, or bytes of code page 936
// (GBK: two for a Chinese character), as the database's text sizes do.
enum TLengthUnit { luCharacters, luGbkBytes };

struct DRAWITEMSTRUCT;

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* AOwner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    // The control that an accelerator ("&N") in the caption focuses.
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);

    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;
    void TextChanged() override;
    void FontChanged() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void AdjustBounds();
    UINT TextFlags() const;

    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FAutoSize = true;
    bool FWordWrap = false;
    bool FTransparent = false;
    bool FShowAccelChar = true;
    TWinControl* FFocusControl = nullptr;
};

// An edit's or memo's widget signals a change of its text for the user's
// typing and for text put in by code alike. Typing is reported at once, inside
// the exception boundary (nothing may reach Qt); text put in by code is
// reported once those Qt calls have returned, so the code that made the change
// sees what OnChange throws.
class TWidgetTextChanges {
public:
    // Runs Put (Qt calls that may change the text); true when the text changed.
    bool PutByCode(const std::function<void()>& Put);
    // The widget's change signal: runs UserChange unless code is putting text in.
    void Signalled(const std::function<void()>& UserChange);

private:
    bool FPutting = false;
    bool FChanged = false;
};

// A one-line edit on a QLineEdit. Modified is set by the user's editing only:
// text put in by code clears it, as WM_SETTEXT does.
class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* AOwner);

    // Typing and pasting stop at MaxLength (0: no limit), counted in
    // MaxLengthUnit. In GBK bytes, a paste that would go over is cut at a whole
    // character within the limit and text set as a new value is taken whole.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    TLengthUnit MaxLengthUnit() const { return FMaxLengthUnit; }
    void SetMaxLengthUnit(TLengthUnit Value);
    char32_t PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char32_t Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }

    // Selection in characters (not bytes) of Text.
    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    std::string SelText() const;
    void SetSelText(const std::string& Value);
    void SelectAll();
    void Clear() { SetText(""); }
    void ClearSelection() { SetSelText(""); }
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();

    void WndProc(TMessage& Message) override;

    TNotifyEvent OnChange;

protected:
    void CreateWindowHandle(const TCreateParams& Params) override;
    std::string GetText() const override;
    void SetTextBuf(const std::string& Value) override;
    void SaveWindowState() override;
    void ColorChanged() override;
    void FontChanged() override;
    void DoEnter() override;
    virtual void Change();

    // How text put in by code counts: a new value clears Modified; an edit of
    // the text (replacing the selection, cut, paste) sets it; the text given
    // back to a window made anew touches neither Modified nor OnChange.
    enum class TTextPut { NewValue, Edit, Restore };
    // Put makes the change: Qt calls on the window, or FText without one.
    void PutText(TTextPut Kind, const std::function<void()>& Put);

private:
    TWidgetTextChanges FWidgetChanges;
    int FMaxLength = 0;
    TLengthUnit FMaxLengthUnit = luCharacters;
    char32_t FPasswordChar = 0;
    bool FReadOnly = false;
    TEditCharCase FCharCase = ecNormal;
    bool FAutoSelect = true;
    TBorderStyle FBorderStyle = bsSingle;
    bool FModified = false;
    int FSelStart = 0;
    int FSelLength = 0;
};

class TEdit : public TCustomEdit {
public:
    using TCustomEdit::TCustomEdit;
};

class TMemoStrings;

// A multi-line edit on a QPlainTextEdit; Lines is the text line by line.
class TCustomMemo : public TWinControl {
public:
    explicit TCustomMemo(TComponent* AOwner);
    ~TCustomMemo() override;

    TStrings* Lines() const;
    void SetLines(TStrings* Value);
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    // Typing, input-method commits and pasting stop at MaxLength (0: no
    // limit), counted in MaxLengthUnit, as in an edit.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value) { FMaxLength = Value; }
    TLengthUnit MaxLengthUnit() const { return FMaxLengthUnit; }
    void SetMaxLengthUnit(TLengthUnit Value) { FMaxLengthUnit = Value; }
    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    void SelectAll();
    void Clear() { SetText(""); }

    void WndProc(TMessage& Message) override;

    TNotifyEvent OnChange;

protected:
    void CreateWindowHandle(const TCreateParams& Params) override;
    std::string GetText() const override;
    void SetTextBuf(const std::string& Value) override;
    void SaveWindowState() override;
    void ColorChanged() override;
    void FontChanged() override;
    // Holds the characters and line breaks that would go over MaxLength.
    void DefaultHandler(TMessage& Message) override;
    virtual void Change();

private:
    friend class TMemoStrings;
    // The part of Inserted (lines broken by "\r\n") that fits within
    // MaxLength in place of the selection, cut at a whole character.
    std::string FittingInsertion(const std::string& Inserted) const;
    std::unique_ptr<TMemoStrings> FLines;
    bool FWantReturns = true;
    bool FWantTabs = false;
    bool FWordWrap = true;
    TScrollStyle FScrollBars = ssNone;
    bool FReadOnly = false;
    int FMaxLength = 0;
    TLengthUnit FMaxLengthUnit = luCharacters;
    TWidgetTextChanges FWidgetChanges;
};

class TMemo : public TCustomMemo {
public:
    using TCustomMemo::TCustomMemo;
};

// The base of push buttons, check boxes and radio buttons: they paint
// themselves and answer accelerators.
class TButtonControl : public TCustomControl {
public:
    explicit TButtonControl(TComponent* AOwner);
    void WndProc(TMessage& Message) override;

protected:
    void TextChanged() override;
    // Draws the caption (with its "&" underline) into Rect with Flags.
    void DrawCaption(TRect Rect, UINT Flags);
    // A check box's or radio button's mark (MarkState: DrawFrameControl's
    // DFCS_ bits) beside its caption, the mark on the right for
    // taLeftJustify, and the focus rectangle round the caption.
    void PaintMarkAndCaption(TAlignment Alignment, UINT MarkState);
};

class TButton : public TButtonControl {
public:
    explicit TButton(TComponent* AOwner);

    // Enter presses the default button unless another button has the focus.
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    // Esc presses the cancel button.
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    // Closes a modal form with this result when clicked.
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int Value) { FModalResult = Value; }

    void Click() override;
    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;
    bool IsActiveDefault() const;
    // The push button round Content: the active default's frame, the raised or
    // pushed face, then Content drawn into the face, then the focus rectangle.
    void PaintButton(const std::function<void(const TRect& Face)>& Content);

private:
    bool FDefault = false;
    bool FCancel = false;
    int FModalResult = 0;
    bool FPressed = false; // mouse or space held down over the button
};

class TCustomCheckBox : public TButtonControl {
public:
    explicit TCustomCheckBox(TComponent* AOwner);

    // Setting Checked fires OnClick as a user's click does.
    bool Checked() const { return FState == cbChecked; }
    void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState Value);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;
    virtual void Toggle();

private:
    TCheckBoxState FState = cbUnchecked;
    bool FAllowGrayed = false;
    TAlignment FAlignment = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
public:
    using TCustomCheckBox::TCustomCheckBox;
};

class TRadioButton : public TButtonControl {
public:
    explicit TRadioButton(TComponent* AOwner);

    // Checking one unchecks its siblings; fires OnClick.
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;

private:
    bool FChecked = false;
    TAlignment FAlignment = taRightJustify;
};

// A framed container with a caption; its OnExit fires when the focus leaves
// the group for a control outside it.
class TCustomGroupBox : public TCustomControl {
public:
    explicit TCustomGroupBox(TComponent* AOwner);
    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;
    void TextChanged() override;
    void AdjustClientRect(TRect& Rect) override;
};

class TGroupBox : public TCustomGroupBox {
public:
    using TCustomGroupBox::TCustomGroupBox;
};

// Drop-down and drop-down-list combo boxes on a QComboBox.
class TCustomComboBox : public TWinControl {
public:
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;

    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    int ItemIndex() const;
    void SetItemIndex(int Value);
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool Sorted() const { return FItems->Sorted(); }
    void SetSorted(bool Value) { FItems->SetSorted(Value); }
    bool DroppedDown() const;
    void SetDroppedDown(bool Value);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value) { FCharCase = Value; }
    void Clear();
    void SelectAll();

    void WndProc(TMessage& Message) override;

    // Typing in the edit part or choosing an item.
    TNotifyEvent OnChange;
    // The user chose an item from the list.
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

protected:
    void CreateWindowHandle(const TCreateParams& Params) override;
    std::string GetText() const override;
    void SetTextBuf(const std::string& Value) override;
    void SaveWindowState() override;
    void ColorChanged() override;
    void FontChanged() override;
    virtual void Change();
    virtual void Select();

private:
    void ItemsChanged();
    void FillWidget();

    TComboBoxStyle FStyle = csDropDown;
    std::unique_ptr<TStringList> FItems;
    int FItemIndex = -1;
    int FDropDownCount = 8;
    int FMaxLength = 0;
    TEditCharCase FCharCase = ecNormal;
    bool FFilling = false;
};

class TComboBox : public TCustomComboBox {
public:
    using TCustomComboBox::TCustomComboBox;
};

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
// The bits of ODS_* (ListBoxWindow.h), in their order.
enum TOwnerDrawStateItem { odSelected, odGrayed, odDisabled, odChecked, odFocused };
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;
using TDrawItemEvent = std::function<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = std::function<void(TWinControl* Control, int Index, int& Height)>;

// A list box: a QListWidget in the standard style; in the owner-draw styles
// the owner-drawn list box window (ListBoxWindow.h), whose items the control
// measures and draws on Canvas. The owner-drawn list selects one item.
class TCustomListBox : public TWinControl {
public:
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;

    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    int ItemIndex() const;
    void SetItemIndex(int Value);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool Selected(int Index) const;
    void SetSelected(int Index, bool Value);
    int SelCount() const;
    bool Sorted() const { return FItems->Sorted(); }
    void SetSorted(bool Value) { FItems->SetSorted(Value); }
    int Count() const { return FItems->Count(); }
    void Clear() { FItems->Clear(); }

    // A change of style recreates the window.
    TListBoxStyle Style() const { return FStyle; }
    void SetStyle(TListBoxStyle Value);
    // The height of a fixed-height item, and where a variable item's
    // measuring starts.
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int Value);
    // A fixed-height list shortens itself to whole items.
    bool IntegralHeight() const { return FIntegralHeight; }
    void SetIntegralHeight(bool Value);
    // The first item shown.
    int TopIndex() const;
    void SetTopIndex(int Value);
    // The item at a client point; beyond the items -1 with Existing, else Count.
    int ItemAtPos(TPoint Pos, bool Existing) const;
    // Client coordinates of an item (an empty rectangle for a bad index).
    TRect ItemRect(int Index) const;
    // The owner-draw styles draw their items on it.
    TCanvas* Canvas() const { return FCanvas.get(); }

    void WndProc(TMessage& Message) override;

    // Drawing an item: the canvas comes with the list's font and brush, in
    // the highlight colours when the item is selected; unset, the item's text
    // is written.
    TDrawItemEvent OnDrawItem;
    // Measuring a variable item: Height comes in as ItemHeight.
    TMeasureItemEvent OnMeasureItem;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWindowHandle(const TCreateParams& Params) override;
    void SaveWindowState() override;
    void FontChanged() override;
    virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
    virtual void MeasureItem(int Index, int& Height);

private:
    bool OwnerDrawn() const { return FStyle != lbStandard; }
    bool HasOwnerDrawnWindow() const { return OwnerDrawn() && HandleAllocated(); }
    void FillWidget();
    void FillWindow();
    void DrawItemMessage(const DRAWITEMSTRUCT& Draw);

    std::unique_ptr<TStringList> FItems;
    std::unique_ptr<TCanvas> FCanvas;
    std::vector<bool> FSelection; // kept while there is no window
    int FItemIndex = -1;
    bool FMultiSelect = false;
    bool FFilling = false;
    TListBoxStyle FStyle = lbStandard;
    int FItemHeight = 16;
    bool FIntegralHeight = false;
};

class TListBox : public TCustomListBox {
public:
    using TCustomListBox::TCustomListBox;
};
