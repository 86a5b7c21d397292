// TCollection and TCollectionItem: the collection owns its items; an item
// leaves its collection when freed, so either side may be deleted first.
#include "platform/rtl/Collection.h"

#include <algorithm>

// ---- TCollectionItem ------------------------------------------------------------------

TCollectionItem::TCollectionItem(TCollection* Collection) {
    SetCollection(Collection);
}

TCollectionItem::~TCollectionItem() {
    if (FCollection) FCollection->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* Value) {
    if (FCollection == Value) return;
    if (FCollection) FCollection->RemoveItem(this);
    if (Value) Value->InsertItem(this);
}

int TCollectionItem::Index() const {
    if (!FCollection) return -1;
    const auto& items = FCollection->FItems;
    const auto it = std::find(items.begin(), items.end(), this);
    return it == items.end() ? -1 : int(it - items.begin());
}

void TCollectionItem::SetIndex(int Value) {
    const int current = Index();
    if (current < 0 || current == Value) return;
    auto& items = FCollection->FItems;
    if (Value < 0 || Value >= int(items.size())) throw EListError("List index out of bounds (" + IntToStr(Value) + ")");
    items.erase(items.begin() + current);
    items.insert(items.begin() + Value, this);
    Changed(true);
}

std::string TCollectionItem::DisplayName() const {
    return ClassName();
}

void TCollectionItem::Changed(bool AllItems) {
    if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(AllItems ? nullptr : this);
}

// ---- TCollection ----------------------------------------------------------------------

TCollection::TCollection(TCollectionItemClass ItemClass) : FItemClass(std::move(ItemClass)) {}

TCollection::~TCollection() {
    // Free the items without calling virtual Update on a half-destroyed collection.
    ++FUpdateCount;
    while (!FItems.empty()) {
        TCollectionItem* item = FItems.back();
        FItems.pop_back();
        item->FCollection = nullptr;
        delete item;
    }
}

TCollectionItem* TCollection::Add() {
    return FItemClass(this);
}

TCollectionItem* TCollection::Insert(int Index) {
    TCollectionItem* item = Add();
    item->SetIndex(Index);
    return item;
}

void TCollection::Delete(int Index) {
    TCollectionItem* item = Items(Index);
    Notify(item, cnDeleting);
    delete item;
}

void TCollection::Clear() {
    if (FItems.empty()) return;
    TUpdateGuard<TCollection> guard(this);
    while (!FItems.empty())
        delete FItems.back();
}

TCollectionItem* TCollection::Items(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FItems[size_t(Index)];
}

void TCollection::SetItems(int Index, TCollectionItem* Value) {
    Items(Index)->Assign(Value);
}

TCollectionItem* TCollection::FindItemID(int ID) const {
    for (TCollectionItem* item : FItems)
        if (item->FID == ID) return item;
    return nullptr;
}

void TCollection::BeginUpdate() {
    ++FUpdateCount;
}

void TCollection::EndUpdate() {
    if (FUpdateCount > 0) --FUpdateCount;
    Changed();
}

void TCollection::Assign(TPersistent* Source) {
    if (auto* source = dynamic_cast<TCollection*>(Source)) {
        if (source == this) return;
        TUpdateGuard<TCollection> guard(this);
        Clear();
        for (TCollectionItem* item : source->FItems)
            Add()->Assign(item);
        return;
    }
    TPersistent::Assign(Source);
}

void TCollection::Update(TCollectionItem*) {}
void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

void TCollection::Changed() {
    if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* Item) {
    FItems.push_back(Item);
    Item->FCollection = this;
    Item->FID = FNextID++;
    Notify(Item, cnAdded);
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
    Notify(Item, cnExtracting);
    const auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it != FItems.end()) FItems.erase(it);
    Item->FCollection = nullptr;
    Changed();
}
