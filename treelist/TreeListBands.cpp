// Bands and their collection. A band's position is the columns' BandIndex,
// so every move rewrites the columns' band indexes directly (without their
// notifications) before the collection relays the control out once.
#include "treelist/TreeListBands.h"

#include "treelist/TreeListControl.h"

#include <algorithm>

namespace {

bool ControlBusy(const TCustomcvTreeListControl* Control) {
    const TComponentState state = Control->ComponentState();
    return state.Contains(csDestroying) || state.Contains(csUpdating) || state.Contains(csLoading);
}

} // namespace

// The item joins its collection only once it is a complete band: the
// collection's update reads the bands' pins.
TcvTreeListBand::TcvTreeListBand(TCollection* Collection) : TCollectionItem(nullptr) {
    SetCollection(Collection);
}

TcvTreeListBand::~TcvTreeListBand() {
    TCustomcvTreeListControl* control = TreeList();
    if (control && !ControlBusy(control)) {
        const int index = Index();
        for (TcvTreeListColumn* column : control->FColumns)
            if (column->FBandIndex == index)
                column->FBandIndex = -1;
            else if (column->FBandIndex > index)
                --column->FBandIndex;
    }
    SetCollection(nullptr);
}

TCustomcvTreeListControl* TcvTreeListBand::TreeList() const {
    const auto* bands = dynamic_cast<const TcvTreeListBands*>(Collection());
    return bands ? bands->TreeList() : nullptr;
}

void TcvTreeListBand::RestoreDefaults() {
    FAlignment = taCenter;
    FFixed = bfNone;
    FMinWidth = 30;
    FOnlyOwnColumns = false;
    FSizing = true;
    FWidth = 250;
}

void TcvTreeListBand::Assign(TPersistent* Source) {
    const auto* source = dynamic_cast<TcvTreeListBand*>(Source);
    if (!source) {
        TCollectionItem::Assign(Source);
        return;
    }
    const auto copy = [&] {
        RestoreDefaults();
        SetAlignment(source->FAlignment);
        SetCaption(source->FCaption);
        SetFixed(source->FFixed);
        SetMinWidth(source->FMinWidth);
        SetOnlyOwnColumns(source->FOnlyOwnColumns);
        SetSizing(source->FSizing);
        SetVisible(source->FVisible);
        SetWidth(source->FWidth);
    };
    if (!Collection()) return copy();
    TUpdateGuard<TCollection> update(Collection());
    copy();
}

void TcvTreeListBand::SetIndex(int Value) {
    if (!Collection()) return;
    Value = std::clamp(Value, 0, Collection()->Count() - 1);
    const int old = Index();
    if (FFixed != bfNone || Value == old) return;
    // The bands between the two positions shift by one towards the old one.
    if (TCustomcvTreeListControl* control = TreeList()) {
        for (TcvTreeListColumn* column : control->FColumns) {
            int& band = column->FBandIndex;
            if (band == old)
                band = Value;
            else if (band > old && band <= Value)
                --band;
            else if (band >= Value && band < old)
                ++band;
        }
    }
    TCollectionItem::SetIndex(Value);
}

void TcvTreeListBand::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    Changed(false);
}

void TcvTreeListBand::SetCaption(const std::string& Value) {
    if (Value == FCaption) return;
    FCaption = Value;
    Changed(false);
}

void TcvTreeListBand::SetDisableCustomizing(bool Value) {
    if (Value == FDisableCustomizing) return;
    FDisableCustomizing = Value;
    Changed(false);
}

void TcvTreeListBand::SetSizing(bool Value) {
    if (Value == FSizing) return;
    FSizing = Value;
    Changed(false);
}

void TcvTreeListBand::SetFixed(TcvGridBandFixed Value) {
    if (Value == FFixed) return;
    FFixed = bfNone; // so that the band may move
    auto* bands = dynamic_cast<TcvTreeListBands*>(Collection());
    if (Value != bfNone && bands) {
        for (int i = 0; i < bands->Count(); ++i)
            if (bands->Items(i)->FFixed == Value) bands->Items(i)->FFixed = bfNone;
        SetIndex(Value == bfLeft ? 0 : bands->Count() - 1);
    }
    if (FVisible) FFixed = Value;
    Changed(false);
}

void TcvTreeListBand::SetMinWidth(int Value) {
    FMinWidth = std::max(Value, 0);
    SetWidth(FWidth);
}

void TcvTreeListBand::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    if (!Value) FFixed = bfNone;
    Changed(true);
}

void TcvTreeListBand::SetWidth(int Value) {
    Value = std::max(Value, FMinWidth);
    if (Value == FWidth) {
        const TCustomcvTreeListControl* control = TreeList();
        if (control && control->IsBandHeaderWidth()) Changed(true);
        return;
    }
    FWidth = Value;
    Changed(true);
}

int TcvTreeListBand::VisibleIndex() const {
    const TCustomcvTreeListControl* control = TreeList();
    return control ? control->Bands()->GetVisibleIndex(Index()) : -1;
}

int TcvTreeListBand::GetColumnCountInBandRow(int Row) const {
    const TCustomcvTreeListControl* control = TreeList();
    return control ? control->GetColumnCountInBandRow(VisibleIndex(), Row) : 0;
}

int TcvTreeListBand::GetColumnAt(int Row, int Position) const {
    const TCustomcvTreeListControl* control = TreeList();
    return control ? control->GetColumnAt(VisibleIndex(), Row, Position) : -1;
}

int TcvTreeListBand::GetBandRowCountOf() const {
    const TCustomcvTreeListControl* control = TreeList();
    return control ? control->GetBandRowCountOf(VisibleIndex()) : 0;
}

// Collection -----------------------------------------------------------------------

TcvTreeListBands::TcvTreeListBands() : TCollection(CollectionItemClass<TcvTreeListBand>()) {}

TPersistent* TcvTreeListBands::Owner() const {
    return FTreeList;
}

int TcvTreeListBands::VisibleCount() const {
    int count = 0;
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Visible()) ++count;
    return count;
}

TcvTreeListBand* TcvTreeListBands::VisibleItems(int VisibleIndex) const {
    const int index = GetAbsoluteIndex(VisibleIndex);
    return index >= 0 ? Items(index) : nullptr;
}

int TcvTreeListBands::GetVisibleIndex(int Index) const {
    if (Index < 0 || Index >= Count() || !Items(Index)->Visible()) return -1;
    int visible = 0;
    for (int i = 0; i < Index; ++i)
        if (Items(i)->Visible()) ++visible;
    return visible;
}

int TcvTreeListBands::GetAbsoluteIndex(int VisibleIndex) const {
    if (VisibleIndex < 0) return -1;
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Visible() && VisibleIndex-- == 0) return i;
    return -1;
}

bool TcvTreeListBands::PinsValid() const {
    const int last = VisibleCount() - 1;
    int lefts = 0;
    int rights = 0;
    for (int i = 0; i < Count(); ++i) {
        const TcvGridBandFixed fixed = Items(i)->Fixed();
        if (fixed == bfLeft && (++lefts > 1 || GetVisibleIndex(i) != 0)) return false;
        if (fixed == bfRight && (++rights > 1 || GetVisibleIndex(i) != last)) return false;
    }
    return true;
}

void TcvTreeListBands::CheckFixedBands() {
    if (PinsValid()) return;
    TcvTreeListBand* left = nullptr;
    TcvTreeListBand* right = nullptr;
    for (int i = 0; i < Count(); ++i) {
        TcvTreeListBand* band = Items(i);
        if (band->Fixed() == bfLeft && !left) left = band;
        if (band->Fixed() == bfRight && !right) right = band;
    }
    TUpdateGuard<TCollection> update(this);
    for (int i = 0; i < Count(); ++i)
        Items(i)->SetFixed(bfNone);
    if (left) left->SetFixed(bfLeft);
    if (right) right->SetFixed(bfRight);
}

void TcvTreeListBands::Update(TCollectionItem* Item) {
    (void)Item;
    if (!FTreeList) return;
    if (Count() != 1) FTreeList->FDefaultLayout = false;
    if (FTreeList->ComponentState().Contains(csLoading)) return;
    FTreeList->ClearCache();
    CheckFixedBands();
    FTreeList->UpdateHeaderLayout();
}
