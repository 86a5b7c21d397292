// TCollection owns a list of TCollectionItem; an item joins its collection when
// created with it and leaves it when freed. Changes reach the collection's
// virtual Update (nullptr meaning "all items") unless an update is open.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/Classes.h"

class TCollection;

class TCollectionItem : public TPersistent {
public:
    explicit TCollectionItem(TCollection* Collection);
    ~TCollectionItem() override;
    TCollectionItem(const TCollectionItem&) = delete;
    TCollectionItem& operator=(const TCollectionItem&) = delete;

    TCollection* Collection() const { return FCollection; }
    // Moves the item into another collection (nullptr: into none).
    virtual void SetCollection(TCollection* Value);
    // Unique within the collection, never reused.
    int ID() const { return FID; }
    // -1 when in no collection.
    int Index() const;
    virtual void SetIndex(int Value);
    // The class name unless a descendant says better.
    virtual std::string DisplayName() const;

protected:
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

// Makes a new item in the given collection: the framework's item class.
using TCollectionItemClass = std::function<TCollectionItem*(TCollection*)>;
template <typename T> TCollectionItemClass CollectionItemClass() {
    return [](TCollection* Collection) -> TCollectionItem* { return new T(Collection); };
}

class TCollection : public TPersistent {
public:
    explicit TCollection(TCollectionItemClass ItemClass);
    ~TCollection() override;
    TCollection(const TCollection&) = delete;
    TCollection& operator=(const TCollection&) = delete;

    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    int Count() const { return int(FItems.size()); }
    // Raises EListError "List index out of bounds (<i>)".
    TCollectionItem* Items(int Index) const;
    void SetItems(int Index, TCollectionItem* Value); // assigns Value to the item
    TCollectionItem* FindItemID(int ID) const;

    // Nested; the outermost EndUpdate sends one Update(nullptr). Prefer
    // TUpdateGuard<TCollection>.
    virtual void BeginUpdate();
    virtual void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // Another collection's items are copied with Assign, one new item each.
    void Assign(TPersistent* Source) override;
    virtual TPersistent* Owner() const { return nullptr; }

protected:
    virtual void Update(TCollectionItem* Item);
    virtual void Notify(TCollectionItem* Item, TCollectionNotification Action);
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item);

    TCollectionItemClass FItemClass;
    std::vector<TCollectionItem*> FItems;
    int FUpdateCount = 0;
    int FNextID = 0;
};
