// The zip engine's own object containers (not the framework's TObjectList):
// an owning list with the engine's growth steps, and a sorted variant kept in
// order by a binary search, the base of the entry list TSortedZip. A list
// streams its objects when they are components of classes in the platform's
// class registry, and is stored as the binary property "ObjectContainer" when
// a component publishes it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Classes.h"

class TStream;

namespace zip {

class TObjectList : public TPersistent {
public:
    explicit TObjectList(bool ownsObjects = true);
    ~TObjectList() override;
    TObjectList(const TObjectList&) = delete;
    TObjectList& operator=(const TObjectList&) = delete;

    int Count() const { return FCount; }
    int Capacity() const { return FCapacity; }
    bool OwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool value) { FOwnsObjects = value; }
    TObject* Items(int index) const;

    virtual void Put(int index, TObject* item);
    virtual int Add(TObject* item);
    // Count and capacity 0; owned objects are freed.
    virtual void Clear();
    virtual int IndexOf(TObject* item) const;
    virtual void Insert(int index, TObject* item);
    // The object stream: the owns flag (1 byte), the count (4 bytes, little-endian), then per
    // object its class name (a length byte and at most 63 characters) and its component stream.
    // Saving raises EListError "Nil Source Class!" for a nil item and "Source Class <name> not
    // registered" for one that is no component of a registered class, writing nothing then.
    // Loading makes each object of its registered class and reads its stream into it; a name
    // not registered raises EClassNotFound "Class <name> not registered", damaged bytes
    // EReadError, and either leaves the list as it was. The loaded objects are the list's to
    // free only when the stream says it owns them.
    virtual void LoadFromStream(TStream& stream);
    virtual void SaveToStream(TStream& stream) const;
    virtual TObject* First() const;
    virtual TObject* Last() const;
    // The item distance places after item (before it when negative); nil gives the first or the last.
    virtual TObject* Neighbour(TObject* item, int distance) const;
    // Takes the item out without freeing it.
    TObject* Extract(int index);

protected:
    [[noreturn]] virtual void Error(const std::string& message, int data) const;
    virtual void Grow();
    virtual void FreeObject(TObject* item);
    void SetCapacity(int value);
    void InsertAt(int index, TObject* item);
    // Whether a loaded object may join the list; a list of one kind of object says no to others.
    virtual bool CanHold(const TObject&) const { return true; }
    // Puts the loaded objects in place of the items through Add, or, when an Add raises, frees
    // them and leaves the items as they were.
    void ReplaceItems(bool ownsObjects, std::vector<std::unique_ptr<TObject>>& loaded);

private:
    TObject** FItems = nullptr;
    int FCount = 0;
    int FCapacity = 0;
    bool FOwnsObjects;
};

enum TDuplicates : uint8_t { dupIgnore = 0, dupAccept = 1, dupError = 2 };

class TSortedObjectList : public TObjectList {
public:
    explicit TSortedObjectList(bool ownsObjects = true, TDuplicates duplicates = dupIgnore);

    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates value) { FDuplicates = value; }

    void Put(int index, TObject* item) override;
    // Inserts at the sorted position; a duplicate is ignored (-1), inserted, or raises, by Duplicates.
    int Add(TObject* item) override;
    int IndexOf(TObject* item) const override;
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) const override;

    virtual const void* KeyOf(TObject* item) const { return item; }
    virtual int Compare(const void* key1, const void* key2) const = 0;
    // True with the index of an equal item, else false with the insertion index.
    virtual bool Find(const void* key, int& index) const;

private:
    TDuplicates FDuplicates;
};

} // namespace zip
