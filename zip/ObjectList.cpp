// The engine's object containers. Errors are the framework's list errors.
#include "zip/ObjectList.h"

#include <cstdlib>
#include <cstring>

#include "platform/rtl/ComponentStreaming.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/TaggedValues.h"

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
constexpr const char* SCannotHold = "A %s cannot hold a %s";
constexpr size_t MaxStreamedClassName = 63;

// Objects hold lists whose objects hold lists: each nesting is a stream inside a stream, kept as
// shallow as the component streams themselves so that hostile bytes cannot exhaust the stack.
class TNestingGuard {
public:
    explicit TNestingGuard(bool reading) {
        if (++Depth() > MaxComponentStreamDepth) {
            --Depth();
            if (reading) ReadError();
            throw EWriteError("Stream write error");
        }
    }
    ~TNestingGuard() { --Depth(); }
    TNestingGuard(const TNestingGuard&) = delete;
    TNestingGuard& operator=(const TNestingGuard&) = delete;

private:
    static int& Depth() {
        static thread_local int depth = 0;
        return depth;
    }
};

void RegisterObjectContainer() {
    TPropertyTableOf<TObjectList>()
        .Binary(
            "ObjectContainer", [](TObjectList* List) { return List->Count() >= 1; },
            [](TObjectList* List, TStream* Stream) { List->SaveToStream(*Stream); },
            [](TObjectList* List, TStream* Stream) { List->LoadFromStream(*Stream); })
        .Register();
}

} // namespace

TObjectList::TObjectList(bool ownsObjects) : FOwnsObjects(ownsObjects) {
    static const bool registered = (RegisterObjectContainer(), true);
    (void)registered;
}

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
    const TNestingGuard nesting(false);
    // Made whole in memory first, so a refused object leaves nothing written.
    TMemoryStream bytes;
    const uint8_t header[5] = {static_cast<uint8_t>(FOwnsObjects ? 1 : 0), static_cast<uint8_t>(FCount),
                               static_cast<uint8_t>(FCount >> 8), static_cast<uint8_t>(FCount >> 16),
                               static_cast<uint8_t>(FCount >> 24)};
    bytes.WriteBuffer(header, 5);
    for (int i = 0; i < FCount; ++i) {
        TObject* item = FItems[i];
        if (!item) throw EListError(SNilSource);
        const std::string name = item->ClassName();
        auto* component = dynamic_cast<TComponent*>(item);
        const TComponentClass* registered = component ? GetClass(name) : nullptr;
        if (!registered || registered->Type() != typeid(*item) || name.size() > MaxStreamedClassName)
            throw EListError(Format(SSourceNotRegistered, name));
        const auto length = static_cast<uint8_t>(name.size());
        bytes.WriteBuffer(&length, 1);
        bytes.WriteBuffer(name.data(), length);
        WriteComponent(&bytes, component);
    }
    stream.WriteBuffer(bytes.Memory(), static_cast<Integer>(bytes.Size()));
}

void TObjectList::LoadFromStream(TStream& stream) {
    const TNestingGuard nesting(true);
    uint8_t header[5];
    stream.ReadBuffer(header, 5);
    const int32_t count = static_cast<int32_t>(header[1] | header[2] << 8 | header[3] << 16 |
                                               static_cast<uint32_t>(header[4]) << 24);
    // Each object takes a name and a component stream, so a count beyond the bytes left is damage.
    if (count < 0 || count > stream.Size() - stream.Position()) ReadError();
    std::vector<std::unique_ptr<TObject>> loaded;
    for (int32_t i = 0; i < count; ++i) {
        uint8_t length = 0;
        stream.ReadBuffer(&length, 1);
        if (length == 0 || length > MaxStreamedClassName) ReadError();
        std::string name(length, '\0');
        stream.ReadBuffer(name.data(), length);
        const TComponentClass* registered = GetClass(name);
        if (!registered) throw EClassNotFound(Format(SClassNotRegistered, name));
        std::unique_ptr<TComponent> object(registered->Create(nullptr));
        ReadComponent(&stream, object.get());
        loaded.push_back(std::move(object));
    }
    ReplaceItems(header[0] != 0, loaded);
}

void TObjectList::ReplaceItems(bool ownsObjects, std::vector<std::unique_ptr<TObject>>& loaded) {
    TObject** oldItems = FItems;
    const int oldCount = FCount, oldCapacity = FCapacity;
    const bool oldOwns = FOwnsObjects;
    FItems = nullptr;
    FCount = FCapacity = 0;
    FOwnsObjects = ownsObjects;
    try {
        for (std::unique_ptr<TObject>& object : loaded) {
            if (!CanHold(*object)) throw EListError(Format(SCannotHold, ClassName(), object->ClassName()));
            if (Add(object.get()) >= 0) object.release(); // an ignored duplicate stays with loaded
        }
    } catch (...) {
        for (int i = 0; i < FCount; ++i)
            delete FItems[i];
        std::free(FItems);
        FItems = oldItems;
        FCount = oldCount;
        FCapacity = oldCapacity;
        FOwnsObjects = oldOwns;
        throw;
    }
    for (int i = 0; oldOwns && i < oldCount; ++i)
        delete oldItems[i];
    std::free(oldItems);
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
    TMemoryStream bytes;
    const uint8_t duplicates = FDuplicates;
    bytes.WriteBuffer(&duplicates, 1);
    TObjectList::SaveToStream(bytes);
    stream.WriteBuffer(bytes.Memory(), static_cast<Integer>(bytes.Size()));
}

void TSortedObjectList::LoadFromStream(TStream& stream) {
    uint8_t duplicates = 0;
    stream.ReadBuffer(&duplicates, 1);
    if (duplicates > dupError) ReadError();
    // The loaded objects are added under the stream's rule; a failed load keeps the old one.
    const TDuplicates before = FDuplicates;
    FDuplicates = static_cast<TDuplicates>(duplicates);
    try {
        TObjectList::LoadFromStream(stream);
    } catch (...) {
        FDuplicates = before;
        throw;
    }
}

} // namespace zip
