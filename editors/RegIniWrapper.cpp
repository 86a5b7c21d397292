// The layout storage wrapper: each operation picks the store's own operation.
#include "editors/RegIniWrapper.h"

#include "platform/os/Registry.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/StringList.h"

#include <algorithm>
#include <vector>

namespace {

template <class... Handlers> struct TOverloaded : Handlers... {
    using Handlers::operator()...;
};
// Spelled out for compilers without aggregate deduction.
template <class... Handlers> TOverloaded(Handlers...) -> TOverloaded<Handlers...>;

// Opens Section below the registry's current key and returns to that key
// when it ends.
class TSectionKey {
public:
    TSectionKey(TRegIniFile& Registry, const std::string& Section, bool CanCreate)
        : FRegistry(Registry), FSaved(Registry.CurrentPath()), FOpen(Registry.OpenKey(Section, CanCreate)) {}
    ~TSectionKey() {
        if (FOpen) FRegistry.OpenKey("\\" + FSaved, false);
    }
    TSectionKey(const TSectionKey&) = delete;
    TSectionKey& operator=(const TSectionKey&) = delete;
    bool Open() const { return FOpen; }

private:
    TRegIniFile& FRegistry;
    std::string FSaved;
    bool FOpen;
};

} // namespace

Integer TcvRegIniWrapper::ReadInteger(const std::string& Section, const std::string& Name, Integer Default) {
    return std::visit(TOverloaded{[&](std::monostate) { return Default; },
                                  [&](auto* store) { return Integer(store->ReadInteger(Section, Name, Default)); }},
                      FStore);
}

void TcvRegIniWrapper::WriteInteger(const std::string& Section, const std::string& Name, Integer Value) {
    std::visit(TOverloaded{[](std::monostate) {}, [&](auto* store) { store->WriteInteger(Section, Name, Value); }},
               FStore);
}

bool TcvRegIniWrapper::ReadBool(const std::string& Section, const std::string& Name, bool Default) {
    return std::visit(TOverloaded{[&](std::monostate) { return Default; },
                                  [&](auto* store) { return store->ReadBool(Section, Name, Default); }},
                      FStore);
}

void TcvRegIniWrapper::WriteBool(const std::string& Section, const std::string& Name, bool Value) {
    std::visit(TOverloaded{[](std::monostate) {}, [&](auto* store) { store->WriteBool(Section, Name, Value); }},
               FStore);
}

void TcvRegIniWrapper::ReadSections(TStrings* Strings) {
    std::visit(TOverloaded{[](std::monostate) {}, [&](auto* store) { store->ReadSections(Strings); }}, FStore);
}

void TcvRegIniWrapper::EraseSection(const std::string& Section) {
    std::visit(TOverloaded{[](std::monostate) {}, [&](auto* store) { store->EraseSection(Section); }}, FStore);
}

int TcvRegIniWrapper::ReadBinaryData(const std::string& Section, const std::string& Name, void* Buffer,
                                     int BufSize) {
    auto* const* registry = std::get_if<TRegIniFile*>(&FStore);
    if (!registry) return 0;
    TSectionKey key(**registry, Section, false);
    if (!key.Open()) return 0;
    const int size = (*registry)->GetDataSize(Name);
    if (size < 0) return 0;
    if (BufSize < 1) return size;
    // The registry reads a value whole; a smaller buffer gets its first bytes.
    std::vector<Byte> data(static_cast<size_t>(size));
    (*registry)->ReadBinaryData(Name, data.data(), size);
    const int count = std::min(size, BufSize);
    std::copy_n(data.begin(), count, static_cast<Byte*>(Buffer));
    return count;
}

void TcvRegIniWrapper::WriteBinaryData(const std::string& Section, const std::string& Name, const void* Buffer,
                                       int Size) {
    auto* const* registry = std::get_if<TRegIniFile*>(&FStore);
    if (!registry) return;
    TSectionKey key(**registry, Section, true);
    if (key.Open()) (*registry)->WriteBinaryData(Name, Buffer, Size);
}

void TcvRegIniWrapper::EraseSectionTree(const std::string& Section) {
    auto* const* ini = std::get_if<TCustomIniFile*>(&FStore);
    if (!ini) return;
    TStringList sections;
    (*ini)->ReadSections(&sections);
    const std::string below = Section + "\\";
    for (int i = 0; i < sections.Count(); ++i) {
        const std::string name = sections.Strings(i);
        if (name == Section || name.compare(0, below.size(), below) == 0) (*ini)->EraseSection(name);
    }
}
