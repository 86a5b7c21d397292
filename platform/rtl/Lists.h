// TList (non-owning pointers) and TObjectList (owns its objects by default).
// Indexes are checked: a bad one raises EListError "List index out of bounds (<i>)".
#pragma once

#include <functional>
#include <vector>

#include "platform/rtl/Classes.h"

// Negative when Item1 sorts before Item2.
using TListSortCompare = std::function<int(void* Item1, void* Item2)>;

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

class TList : public TObject {
public:
    TList() = default;
    ~TList() override;
    TList(const TList&) = delete;
    TList& operator=(const TList&) = delete;

    int Add(void* Item);
    void Insert(int Index, void* Item);
    void Delete(int Index);
    // Index the item had, or -1.
    int Remove(void* Item);
    // Takes the item out without freeing it; nullptr when absent.
    void* Extract(void* Item);
    int IndexOf(void* Item) const;
    void Exchange(int Index1, int Index2);
    void Move(int CurIndex, int NewIndex);
    int Count() const { return int(FList.size()); }
    void SetCount(int NewCount);
    void* Items(int Index) const;
    void SetItems(int Index, void* Item);
    void* First() const { return Items(0); }
    void* Last() const { return Items(Count() - 1); }
    void Clear();
    // Removes the nullptr entries.
    void Pack();
    // Stable merge sort. An inconsistent comparator yields some order of the
    // same items; it never reads outside the list and always ends.
    void Sort(const TListSortCompare& Compare);

protected:
    virtual void Notify(void* Ptr, TListNotification Action);
    void CheckIndex(int Index) const;

private:
    std::vector<void*> FList;
};

class TObjectList : public TList {
public:
    explicit TObjectList(bool AOwnsObjects = true) : FOwnsObjects(AOwnsObjects) {}
    ~TObjectList() override;

    int Add(TObject* AObject) { return TList::Add(AObject); }
    void Insert(int Index, TObject* AObject) { TList::Insert(Index, AObject); }
    int Remove(TObject* AObject) { return TList::Remove(AObject); }
    TObject* Extract(TObject* Item) { return static_cast<TObject*>(TList::Extract(Item)); }
    int IndexOf(TObject* AObject) const { return TList::IndexOf(AObject); }
    TObject* Items(int Index) const { return static_cast<TObject*>(TList::Items(Index)); }
    void SetItems(int Index, TObject* AObject) { TList::SetItems(Index, AObject); }
    TObject* First() const { return Items(0); }
    TObject* Last() const { return Items(Count() - 1); }

    bool OwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

protected:
    void Notify(void* Ptr, TListNotification Action) override;

private:
    bool FOwnsObjects;
};
