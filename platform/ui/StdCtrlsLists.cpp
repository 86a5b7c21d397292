// The combo box and the list box: native Qt widgets that keep their items and
// selection in fields while they have no window; an owner-drawn list box
// lends its canvas to each item's measuring and drawing.
#include "platform/ui/StdCtrls.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/ListBoxWindow.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/private/ControlHost_p.h"
#include "platform/ui/private/Controls_p.h"
#include "platform/ui/private/StdCtrls_p.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include <algorithm>

using namespace platform_ui;

TCustomComboBox::TCustomComboBox(TComponent* AOwner) : TWinControl(AOwner), FItems(std::make_unique<TStringList>()) {
    SetBounds(0, 0, 145, 21);
    SetTabStop(true);
    FParentColor = false;
    FColor = clWindow;
    FBrush->SetColor(FColor);
    FItems->OnChange = [this](TObject*) { ItemsChanged(); };
}

TCustomComboBox::~TCustomComboBox() {
    FItems->OnChange = nullptr;
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    RecreateWnd();
}

void TCustomComboBox::FillWidget() {
    auto* box = WidgetAs<QComboBox>(FHandle);
    if (!box) return;
    FFilling = true;
    box->clear();
    for (int i = 0; i < FItems->Count(); ++i)
        box->addItem(ToQString(FItems->Get(i)));
    box->setCurrentIndex(FItemIndex < FItems->Count() ? FItemIndex : -1);
    if (FStyle != csDropDownList && box->lineEdit()) box->lineEdit()->setText(ToQString(FText));
    FFilling = false;
}

void TCustomComboBox::ItemsChanged() {
    if (auto* box = WidgetAs<QComboBox>(FHandle)) {
        // Keep the typed text and the selection as far as they still fit.
        FText = GetText();
        FItemIndex = box->currentIndex();
        if (FItemIndex >= FItems->Count()) FItemIndex = -1;
        FillWidget();
    } else if (FItemIndex >= FItems->Count()) {
        FItemIndex = -1;
    }
}

void TCustomComboBox::CreateWindowHandle(const TCreateParams& Params) {
    CreateControlWindow(this, Params, [this](HWND, const TCreateStruct&) -> QWidget* {
        auto* box = new QComboBox;
        box->setEditable(FStyle == csDropDown || FStyle == csSimple);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMaxVisibleItems(FDropDownCount);
        QObject::connect(box, &QComboBox::activated, SignalContext(this), [this](int index) {
            if (FFilling) return;
            RunGuarded([this, index] {
                FItemIndex = index;
                Click();
                Select();
            });
        });
        return box;
    });
    if (auto* box = WidgetAs<QComboBox>(FHandle)) {
        FillWidget();
        if (QLineEdit* edit = box->lineEdit()) {
            if (FMaxLength > 0) edit->setMaxLength(FMaxLength);
            QObject::connect(edit, &QLineEdit::textEdited, SignalContext(this), [this] {
                if (!FFilling) RunGuarded([this] { Change(); });
            });
        }
    }
    ShowEditColors(this);
}

void TCustomComboBox::ColorChanged() {
    TWinControl::ColorChanged();
    ShowEditColors(this);
}

void TCustomComboBox::FontChanged() {
    TWinControl::FontChanged();
    ShowEditColors(this);
}

void TCustomComboBox::SaveWindowState() {
    if (auto* box = WidgetAs<QComboBox>(FHandle)) {
        FItemIndex = box->currentIndex();
        FText = GetText();
    }
}

int TCustomComboBox::ItemIndex() const {
    if (auto* box = WidgetAs<QComboBox>(FHandle)) return box->currentIndex();
    return FItemIndex;
}

void TCustomComboBox::SetItemIndex(int Value) {
    if (Value < -1 || Value >= FItems->Count()) Value = -1;
    FItemIndex = Value;
    FText = Value >= 0 ? FItems->Get(Value) : std::string();
    if (auto* box = WidgetAs<QComboBox>(FHandle)) {
        FFilling = true;
        box->setCurrentIndex(Value);
        if (Value < 0 && box->lineEdit()) box->lineEdit()->clear();
        FFilling = false;
    }
}

std::string TCustomComboBox::GetText() const {
    if (auto* box = WidgetAs<QComboBox>(FHandle)) {
        if (box->lineEdit()) return FromQString(box->lineEdit()->text());
        return FromQString(box->currentText());
    }
    return FText;
}

void TCustomComboBox::SetTextBuf(const std::string& Value) {
    const std::string text = ApplyCase(Value, FCharCase);
    const int index = FItems->IndexOf(text);
    if (FStyle == csDropDownList) {
        // The list style shows only items: text that is none selects nothing.
        SetItemIndex(index);
        return;
    }
    FText = text;
    FItemIndex = index;
    if (auto* box = WidgetAs<QComboBox>(FHandle)) {
        FFilling = true;
        box->setCurrentIndex(index);
        if (box->lineEdit()) box->lineEdit()->setText(ToQString(text));
        FFilling = false;
    }
}

void TCustomComboBox::SetDropDownCount(int Value) {
    FDropDownCount = Value;
    if (auto* box = WidgetAs<QComboBox>(FHandle)) box->setMaxVisibleItems(Value);
}

void TCustomComboBox::SetMaxLength(int Value) {
    FMaxLength = Value;
    if (auto* box = WidgetAs<QComboBox>(FHandle); box && box->lineEdit())
        box->lineEdit()->setMaxLength(Value > 0 ? Value : 32767);
}

bool TCustomComboBox::DroppedDown() const {
    auto* box = WidgetAs<QComboBox>(FHandle);
    return box && box->view() && box->view()->isVisible();
}

void TCustomComboBox::SetDroppedDown(bool Value) {
    auto* box = WidgetAs<QComboBox>(Handle());
    if (!box) return;
    if (Value) {
        Fire(OnDropDown, this);
        box->showPopup();
    } else {
        box->hidePopup();
        Fire(OnCloseUp, this);
    }
}

void TCustomComboBox::Clear() {
    FItems->Clear();
    SetItemIndex(-1);
    FText.clear();
}

void TCustomComboBox::SelectAll() {
    if (auto* box = WidgetAs<QComboBox>(FHandle); box && box->lineEdit()) box->lineEdit()->selectAll();
}

void TCustomComboBox::Change() {
    Fire(OnChange, this);
}

void TCustomComboBox::Select() {
    if (!Fire(OnSelect, this)) Change();
}

void TCustomComboBox::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_GETDLGCODE:
        m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (FStyle == csDropDownList ? 0 : DLGC_HASSETSEL);
        if (DroppedDown()) m.Result |= DLGC_WANTALLKEYS;
        return;
    case WM_CHAR:
        m.WParam = ApplyCase(static_cast<char32_t>(m.WParam), FCharCase);
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        TWinControl::WndProc(m);
        ShowEditColors(this);
        return;
    default:
        break;
    }
    TWinControl::WndProc(m);
}

// ---- TCustomListBox ---------------------------------------------------------

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TStringList>()), FCanvas(std::make_unique<TCanvas>()) {
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    FParentColor = false;
    FColor = clWindow;
    FBrush->SetColor(FColor);
    FItems->OnChange = [this](TObject*) {
        if (FItemIndex >= FItems->Count()) FItemIndex = -1;
        FSelection.resize(static_cast<size_t>(FItems->Count()));
        if (OwnerDrawn())
            FillWindow();
        else
            FillWidget();
    };
}

TCustomListBox::~TCustomListBox() {
    FItems->OnChange = nullptr;
}

void TCustomListBox::SetStyle(TListBoxStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    RecreateWnd();
}

void TCustomListBox::SetItemHeight(int Value) {
    if (Value <= 0 || FItemHeight == Value) return;
    FItemHeight = Value;
    if (FStyle == lbOwnerDrawFixed && HandleAllocated())
        SendMessage(FHandle, LB_SETITEMHEIGHT, 0, Value);
    else if (FStyle == lbOwnerDrawVariable)
        FillWindow();
}

void TCustomListBox::SetIntegralHeight(bool Value) {
    if (FIntegralHeight == Value) return;
    FIntegralHeight = Value;
    if (OwnerDrawn()) RecreateWnd();
}

void TCustomListBox::FillWidget() {
    auto* list = WidgetAs<QListWidget>(FHandle);
    if (!list) return;
    FFilling = true;
    const int current = list->count() ? list->currentRow() : FItemIndex;
    list->clear();
    for (int i = 0; i < FItems->Count(); ++i)
        list->addItem(ToQString(FItems->Get(i)));
    list->setCurrentRow(current < FItems->Count() ? current : -1);
    FFilling = false;
}

// The window measures each item as it is added; selection and top item stay
// as far as they still fit.
void TCustomListBox::FillWindow() {
    if (!HasOwnerDrawnWindow()) return;
    const int current = static_cast<int>(SendMessage(FHandle, LB_GETCURSEL, 0, 0));
    const int top = TopIndex();
    SendMessage(FHandle, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < FItems->Count(); ++i)
        SendMessage(FHandle, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(FItems->Get(i).c_str()));
    SendMessage(FHandle, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
    SendMessage(FHandle, LB_SETCURSEL, static_cast<WPARAM>(current < FItems->Count() ? current : -1), 0);
}

void TCustomListBox::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    if (!OwnerDrawn()) return;
    Params.WinClassName = ListBoxWindowClassName;
    Params.Style |= WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS |
                    (FStyle == lbOwnerDrawVariable ? LBS_OWNERDRAWVARIABLE : LBS_OWNERDRAWFIXED) |
                    (FIntegralHeight ? 0 : LBS_NOINTEGRALHEIGHT);
    Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWindowHandle(const TCreateParams& Params) {
    if (OwnerDrawn()) {
        CreateControlWindow(this, Params);
        if (FStyle == lbOwnerDrawFixed) SendMessage(FHandle, LB_SETITEMHEIGHT, 0, FItemHeight);
        FillWindow();
        SendMessage(FHandle, LB_SETCURSEL, static_cast<WPARAM>(FItemIndex), 0);
        return;
    }
    CreateControlWindow(this, Params, [this](HWND, const TCreateStruct&) -> QWidget* {
        auto* list = new QListWidget;
        list->setSelectionMode(FMultiSelect ? QAbstractItemView::ExtendedSelection
                                            : QAbstractItemView::SingleSelection);
        QObject::connect(list, &QListWidget::itemSelectionChanged, SignalContext(this), [this] {
            if (!FFilling) RunGuarded([this] { Click(); });
        });
        return list;
    });
    FillWidget();
    if (auto* list = WidgetAs<QListWidget>(FHandle)) {
        FFilling = true;
        list->setCurrentRow(FItemIndex);
        for (int i = 0; i < list->count() && i < static_cast<int>(FSelection.size()); ++i)
            if (FSelection[static_cast<size_t>(i)]) list->item(i)->setSelected(true);
        FFilling = false;
    }
}

void TCustomListBox::SaveWindowState() {
    if (HasOwnerDrawnWindow()) FItemIndex = static_cast<int>(SendMessage(FHandle, LB_GETCURSEL, 0, 0));
    if (auto* list = WidgetAs<QListWidget>(FHandle)) {
        FItemIndex = list->currentRow();
        FSelection.assign(static_cast<size_t>(list->count()), false);
        for (int i = 0; i < list->count(); ++i)
            FSelection[static_cast<size_t>(i)] = list->item(i)->isSelected();
    }
}

void TCustomListBox::FontChanged() {
    TWinControl::FontChanged();
    if (FStyle == lbOwnerDrawVariable) FillWindow();
}

int TCustomListBox::ItemIndex() const {
    if (HasOwnerDrawnWindow()) return static_cast<int>(SendMessage(FHandle, LB_GETCURSEL, 0, 0));
    if (auto* list = WidgetAs<QListWidget>(FHandle)) return list->currentRow();
    return FItemIndex;
}

void TCustomListBox::SetItemIndex(int Value) {
    if (Value < -1 || Value >= FItems->Count()) Value = -1;
    FItemIndex = Value;
    if (HasOwnerDrawnWindow()) SendMessage(FHandle, LB_SETCURSEL, static_cast<WPARAM>(Value), 0);
    if (auto* list = WidgetAs<QListWidget>(FHandle)) {
        FFilling = true;
        list->setCurrentRow(Value);
        FFilling = false;
    }
}

int TCustomListBox::TopIndex() const {
    if (HasOwnerDrawnWindow()) return static_cast<int>(SendMessage(FHandle, LB_GETTOPINDEX, 0, 0));
    if (auto* list = WidgetAs<QListWidget>(FHandle)) return std::max(0, list->indexAt(QPoint(0, 0)).row());
    return 0;
}

void TCustomListBox::SetTopIndex(int Value) {
    if (HasOwnerDrawnWindow()) SendMessage(FHandle, LB_SETTOPINDEX, static_cast<WPARAM>(std::max(0, Value)), 0);
    if (auto* list = WidgetAs<QListWidget>(FHandle); list && Value >= 0 && Value < list->count())
        list->scrollToItem(list->item(Value), QAbstractItemView::PositionAtTop);
}

int TCustomListBox::ItemAtPos(TPoint Pos, bool Existing) const {
    if (!PtInRect(ClientRect(), Pos)) return -1;
    int index = -1;
    if (HasOwnerDrawnWindow()) {
        const auto found = static_cast<uintptr_t>(SendMessage(FHandle, LB_ITEMFROMPOINT, 0, PointToLParam(Pos)));
        if (HiWord(found) == 0) index = LoWord(found);
    } else if (auto* list = WidgetAs<QListWidget>(FHandle)) {
        index = list->indexAt(list->viewport()->mapFrom(list, QPoint(Pos.X, Pos.Y))).row();
    }
    if (index >= 0) return index;
    return Existing ? -1 : Count();
}

TRect TCustomListBox::ItemRect(int Index) const {
    TRect r{};
    if (HasOwnerDrawnWindow()) {
        SendMessage(FHandle, LB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r));
    } else if (auto* list = WidgetAs<QListWidget>(FHandle); list && Index >= 0 && Index < list->count()) {
        const QRect item = list->visualItemRect(list->item(Index));
        const QPoint at = list->viewport()->mapTo(list, item.topLeft());
        r = Bounds(at.x(), at.y(), item.width(), item.height());
    }
    return r;
}

void TCustomListBox::SetMultiSelect(bool Value) {
    FMultiSelect = Value;
    if (auto* list = WidgetAs<QListWidget>(FHandle))
        list->setSelectionMode(Value ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

bool TCustomListBox::Selected(int Index) const {
    if (Index < 0 || Index >= FItems->Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    if (OwnerDrawn()) return ItemIndex() == Index;
    if (auto* list = WidgetAs<QListWidget>(FHandle)) return list->item(Index)->isSelected();
    return Index < static_cast<int>(FSelection.size()) && FSelection[static_cast<size_t>(Index)];
}

void TCustomListBox::SetSelected(int Index, bool Value) {
    if (Index < 0 || Index >= FItems->Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    if (OwnerDrawn()) {
        if (Value)
            SetItemIndex(Index);
        else if (ItemIndex() == Index)
            SetItemIndex(-1);
        return;
    }
    FSelection.resize(static_cast<size_t>(FItems->Count()));
    FSelection[static_cast<size_t>(Index)] = Value;
    if (auto* list = WidgetAs<QListWidget>(FHandle)) {
        FFilling = true;
        list->item(Index)->setSelected(Value);
        FFilling = false;
    }
}

int TCustomListBox::SelCount() const {
    int count = 0;
    for (int i = 0; i < FItems->Count(); ++i)
        if (Selected(i)) ++count;
    return count;
}

void TCustomListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
    if (Fire(OnDrawItem, this, Index, Rect, State)) return;
    FCanvas->FillRect(Rect);
    if (Index < Count()) FCanvas->TextOut(Rect.Left + 2, Rect.Top, FItems->Get(Index));
}

void TCustomListBox::MeasureItem(int Index, int& Height) {
    Fire(OnMeasureItem, this, Index, Height);
}

void TCustomListBox::DrawItemMessage(const DRAWITEMSTRUCT& Draw) {
    const auto state = TOwnerDrawState::FromBits(LoWord(Draw.itemState));
    TCanvasOnDC bound(*FCanvas, Draw.hDC, Font(), Color());
    if (state.Contains(odSelected)) {
        FCanvas->Brush()->SetColor(clHighlight);
        FCanvas->Font()->SetColor(clHighlightText);
    }
    if (static_cast<int>(Draw.itemID) < Count())
        DrawItem(static_cast<int>(Draw.itemID), Draw.rcItem, state);
    else
        FCanvas->FillRect(Draw.rcItem);
    if (state.Contains(odFocused)) DrawFocusRect(Draw.hDC, &Draw.rcItem);
}

void TCustomListBox::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_GETDLGCODE:
        m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    case CN_MEASUREITEM: {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
        int height = FItemHeight;
        HDC dc = CreateCompatibleDC(nullptr);
        {
            TCanvasOnDC bound(*FCanvas, dc, Font(), Color());
            MeasureItem(static_cast<int>(measure->itemID), height);
        }
        DeleteDC(dc);
        measure->itemHeight = static_cast<UINT>(std::max(height, 1));
        return;
    }
    case CN_DRAWITEM:
        DrawItemMessage(*reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam));
        return;
    case CN_CTLCOLORLISTBOX:
        m.Result = reinterpret_cast<LRESULT>(Brush()->Handle());
        return;
    case CN_COMMAND:
        if (HiWord(m.WParam) == LBN_SELCHANGE) Click();
        return;
    default:
        break;
    }
    TWinControl::WndProc(m);
}
