// TList and TObjectList. Notify sees every item that enters or leaves, so
// TObjectList frees exactly what it deletes.
#include "platform/rtl/Lists.h"

#include <algorithm>

TList::~TList() {
    Clear();
}

void TList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
}

int TList::Add(void* Item) {
    FList.push_back(Item);
    if (Item) Notify(Item, lnAdded);
    return Count() - 1;
}

void TList::Insert(int Index, void* Item) {
    if (Index < 0 || Index > Count()) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    FList.insert(FList.begin() + Index, Item);
    if (Item) Notify(Item, lnAdded);
}

void TList::Delete(int Index) {
    CheckIndex(Index);
    void* item = FList[size_t(Index)];
    FList.erase(FList.begin() + Index);
    if (item) Notify(item, lnDeleted);
}

int TList::Remove(void* Item) {
    const int index = IndexOf(Item);
    if (index >= 0) Delete(index);
    return index;
}

void* TList::Extract(void* Item) {
    const int index = IndexOf(Item);
    if (index < 0) return nullptr;
    FList.erase(FList.begin() + index);
    Notify(Item, lnExtracted);
    return Item;
}

int TList::IndexOf(void* Item) const {
    const auto it = std::find(FList.begin(), FList.end(), Item);
    return it == FList.end() ? -1 : int(it - FList.begin());
}

void TList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    std::swap(FList[size_t(Index1)], FList[size_t(Index2)]);
}

void TList::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    void* item = FList[size_t(CurIndex)];
    FList.erase(FList.begin() + CurIndex);
    FList.insert(FList.begin() + NewIndex, item);
}

void TList::SetCount(int NewCount) {
    if (NewCount < 0) throw EListError("List count out of bounds (" + IntToStr(NewCount) + ")");
    while (Count() > NewCount)
        Delete(Count() - 1);
    FList.resize(size_t(NewCount), nullptr);
}

void* TList::Items(int Index) const {
    CheckIndex(Index);
    return FList[size_t(Index)];
}

void TList::SetItems(int Index, void* Item) {
    CheckIndex(Index);
    void* old = FList[size_t(Index)];
    if (old == Item) return;
    FList[size_t(Index)] = Item;
    if (old) Notify(old, lnDeleted);
    if (Item) Notify(Item, lnAdded);
}

void TList::Clear() {
    // Take the items out first: a Notify may look at the list.
    std::vector<void*> items;
    items.swap(FList);
    for (void* item : items)
        if (item) Notify(item, lnDeleted);
}

void TList::Pack() {
    FList.erase(std::remove(FList.begin(), FList.end(), nullptr), FList.end());
}

void TList::Sort(const TListSortCompare& Compare) {
    // Bottom-up merge sort on a copy: every index stays within its run, each
    // pass halves the number of runs, so any comparator ends in bounds.
    std::vector<void*> a = FList;
    std::vector<void*> b(a.size());
    const size_t n = a.size();
    for (size_t width = 1; width < n; width *= 2) {
        for (size_t lo = 0; lo < n; lo += 2 * width) {
            const size_t mid = std::min(lo + width, n);
            const size_t hi = std::min(lo + 2 * width, n);
            size_t i = lo, j = mid, k = lo;
            while (i < mid && j < hi)
                b[k++] = Compare(a[j], a[i]) < 0 ? a[j++] : a[i++];
            while (i < mid)
                b[k++] = a[i++];
            while (j < hi)
                b[k++] = a[j++];
        }
        a.swap(b);
    }
    FList.swap(a);
}

void TList::Notify(void*, TListNotification) {}

TObjectList::~TObjectList() {
    Clear();
}

void TObjectList::Notify(void* Ptr, TListNotification Action) {
    if (FOwnsObjects && Action == lnDeleted) delete static_cast<TObject*>(Ptr);
}
