// The combo box and the list box: native Qt widgets that keep their items and
// selection in fields while they have no window.
#include "platform/ui/StdCtrls.h"

#include "platform/ui/Graphics.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/private/ControlHost_p.h"
#include "platform/ui/private/StdCtrls_p.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

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

TCustomListBox::TCustomListBox(TComponent* AOwner) : TWinControl(AOwner), FItems(std::make_unique<TStringList>()) {
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    FParentColor = false;
    FColor = clWindow;
    FBrush->SetColor(FColor);
    FItems->OnChange = [this](TObject*) {
        if (FItemIndex >= FItems->Count()) FItemIndex = -1;
        FSelection.resize(static_cast<size_t>(FItems->Count()));
        FillWidget();
    };
}

TCustomListBox::~TCustomListBox() {
    FItems->OnChange = nullptr;
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

void TCustomListBox::CreateWindowHandle(const TCreateParams& Params) {
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
    if (auto* list = WidgetAs<QListWidget>(FHandle)) {
        FItemIndex = list->currentRow();
        FSelection.assign(static_cast<size_t>(list->count()), false);
        for (int i = 0; i < list->count(); ++i)
            FSelection[static_cast<size_t>(i)] = list->item(i)->isSelected();
    }
}

int TCustomListBox::ItemIndex() const {
    if (auto* list = WidgetAs<QListWidget>(FHandle)) return list->currentRow();
    return FItemIndex;
}

void TCustomListBox::SetItemIndex(int Value) {
    if (Value < -1 || Value >= FItems->Count()) Value = -1;
    FItemIndex = Value;
    if (auto* list = WidgetAs<QListWidget>(FHandle)) {
        FFilling = true;
        list->setCurrentRow(Value);
        FFilling = false;
    }
}

void TCustomListBox::SetMultiSelect(bool Value) {
    FMultiSelect = Value;
    if (auto* list = WidgetAs<QListWidget>(FHandle))
        list->setSelectionMode(Value ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

bool TCustomListBox::Selected(int Index) const {
    if (Index < 0 || Index >= FItems->Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    if (auto* list = WidgetAs<QListWidget>(FHandle)) return list->item(Index)->isSelected();
    return Index < static_cast<int>(FSelection.size()) && FSelection[static_cast<size_t>(Index)];
}

void TCustomListBox::SetSelected(int Index, bool Value) {
    if (Index < 0 || Index >= FItems->Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
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

void TCustomListBox::WndProc(TMessage& m) {
    if (m.Msg == WM_GETDLGCODE) {
        m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    }
    TWinControl::WndProc(m);
}
