// The engine's object containers. Errors are the framework's list errors.
#include "zip/ObjectList.h"

#include <cstdlib>
#include <cstring>

#include "platform/rtl/Streams.h"

namespace zip {

namespace {
constexpr int MaxListSize = 0x1FFFFFFF;
constexpr const char* SListIndexError = "List index out of bounds (%d)";
constexpr const char* SListCapacityError = "List capacity out of bounds (%d)";
constexpr const char* SNotInList = "tObject %s not in item list";
constexpr const char* SDuplicateObject = "Duplicate Object index";
constexpr const char* SSortedPut = "Cannot <Put> an Object in a sorted list!";
constexpr const char* SNilSource = "Nil Source Class!";
constexpr const char* SSourceNotRegistered = "Source Class <%s> not registered";
constexpr const char* SClassNotRegistered = "Class <%s> not registered";
} // namespace

TObjectList::TObjectList(bool ownsObjects) : FOwnsObjects(ownsObjects) {}

TObjectList::~TObjectList() {
    try {
        Clear();
    } catch (...) {
        // An owned object's destructor does not throw; nothing else can here.
    }
    std::free(FItems);
}

void TObjectList::Error(const std::string& message, int data) const {
    throw EListError(Format(message, data));
}

TObject* TObjectList::Items(int index) const {
    if (index < 0 || index >= FCount) Error(SListIndexError, index);
    return FItems[index];
}

void TObjectList::SetCapacity(int value) {
    if (value < FCount || value >= MaxListSize) Error(SListCapacityError, value);
    if (value == FCapacity) return;
    void* grown = std::realloc(FItems, static_cast<size_t>(value ? value : 1) * sizeof(TObject*));
    if (!grown) throw std::bad_alloc();
    FItems = static_cast<TObject**>(grown);
    FCapacity = value;
}

void TObjectList::Grow() {
    SetCapacity(FCapacity + (FCapacity < 5 ? 4 : FCapacity < 9 ? 8 : 16));
}

void TObjectList::FreeObject(TObject* item) {
    if (FOwnsObjects) delete item;
}

void TObjectList::Put(int index, TObject* item) {
    if (index < 0 || index >= FCount) Error(SListIndexError, index);
    if (FItems[index] != item) FreeObject(FItems[index]);
    FItems[index] = item;
}

int TObjectList::Add(TObject* item) {
    InsertAt(FCount, item);
    return FCount - 1;
}

void TObjectList::Clear() {
    const int count = FCount;
    FCount = 0;
    for (int i = 0; i < count; ++i)
        FreeObject(FItems[i]);
    std::free(FItems);
    FItems = nullptr;
    FCapacity = 0;
}

int TObjectList::IndexOf(TObject* item) const {
    for (int i = 0; i < FCount; ++i)
        if (FItems[i] == item) return i;
    return -1;
}

void TObjectList::Insert(int index, TObject* item) {
    InsertAt(index, item);
}

void TObjectList::InsertAt(int index, TObject* item) {
    if (index < 0 || index > FCount) Error(SListIndexError, index);
    if (FCount == FCapacity) Grow();
    std::memmove(FItems + index + 1, FItems + index, static_cast<size_t>(FCount - index) * sizeof(TObject*));
    FItems[index] = item;
    ++FCount;
}

TObject* TObjectList::Extract(int index) {
    TObject* item = Items(index);
    std::memmove(FItems + index, FItems + index + 1, static_cast<size_t>(FCount - index - 1) * sizeof(TObject*));
    --FCount;
    return item;
}

TObject* TObjectList::First() const {
    return FCount ? FItems[0] : nullptr;
}

TObject* TObjectList::Last() const {
    return FCount ? FItems[FCount - 1] : nullptr;
}

TObject* TObjectList::Neighbour(TObject* item, int distance) const {
    if (!item) return distance >= 0 ? First() : Last();
    const int index = IndexOf(item);
    if (index < 0) throw EListError(Format(SNotInList, item->ClassName()));
    const int target = index + distance;
    return target >= 0 && target < FCount ? FItems[target] : nullptr;
}

void TObjectList::SaveToStream(TStream& stream) const {
    const uint8_t owns = FOwnsObjects ? 1 : 0;
    const int32_t count = FCount;
    stream.WriteBuffer(&owns, 1);
    stream.WriteBuffer(&count, 4);
    for (int i = 0; i < FCount; ++i) {
        if (!FItems[i]) throw EListError(SNilSource);
        throw EListError(Format(SSourceNotRegistered, FItems[i]->ClassName()));
    }
}

void TObjectList::LoadFromStream(TStream& stream) {
    uint8_t owns = 0;
    int32_t count = 0;
    stream.ReadBuffer(&owns, 1);
    stream.ReadBuffer(&count, 4);
    Clear();
    FOwnsObjects = owns != 0;
    if (count <= 0) return;
    uint8_t length = 0;
    stream.ReadBuffer(&length, 1);
    std::string name(length > 63 ? 63 : length, '\0');
    if (!name.empty()) stream.ReadBuffer(name.data(), static_cast<int>(name.size()));
    throw EListError(Format(SClassNotRegistered, name));
}

TSortedObjectList::TSortedObjectList(bool ownsObjects, TDuplicates duplicates)
    : TObjectList(ownsObjects), FDuplicates(duplicates) {}

void TSortedObjectList::Put(int, TObject*) {
    throw EListError(SSortedPut);
}

bool TSortedObjectList::Find(const void* key, int& index) const {
    int low = 0, high = Count() - 1;
    bool found = false;
    while (low <= high) {
        const int mid = (low + high) / 2;
        const int c = Compare(KeyOf(Items(mid)), key);
        if (c < 0) {
            low = mid + 1;
        } else {
            high = mid - 1;
            if (c == 0) found = true; // keep going left so equal keys insert after their run's start
        }
    }
    index = low;
    return found;
}

int TSortedObjectList::Add(TObject* item) {
    int index;
    if (Find(KeyOf(item), index)) {
        if (FDuplicates == dupIgnore) return -1;
        if (FDuplicates == dupError) throw EListError(SDuplicateObject);
        // Equal keys keep the order they were added in.
        while (index < Count() && Compare(KeyOf(Items(index)), KeyOf(item)) == 0)
            ++index;
    }
    InsertAt(index, item);
    return index;
}

int TSortedObjectList::IndexOf(TObject* item) const {
    int index;
    if (!Find(KeyOf(item), index)) return -1;
    for (; index < Count() && Compare(KeyOf(Items(index)), KeyOf(item)) == 0; ++index)
        if (Items(index) == item) return index;
    return -1;
}

void TSortedObjectList::SaveToStream(TStream& stream) const {
    const uint8_t duplicates = FDuplicates;
    stream.WriteBuffer(&duplicates, 1);
    TObjectList::SaveToStream(stream);
}

void TSortedObjectList::LoadFromStream(TStream& stream) {
    uint8_t duplicates = 0;
    stream.ReadBuffer(&duplicates, 1);
    FDuplicates = duplicates <= dupError ? static_cast<TDuplicates>(duplicates) : dupIgnore;
    TObjectList::LoadFromStream(stream);
}

} // namespace zip
