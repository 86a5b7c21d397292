// Registry files: "<settings folder>/HKEY_CURRENT_USER.reg" and
// "HKEY_LOCAL_MACHINE.reg", plain text so a developer can read them:
//   [\software\Corvanta2.0]
//   =s:1                      (the default value)
//   Count=i:42
//   Layout=b:0a0b
// Keys are written depth first, each as "[path]" followed by its values;
// '%', control characters and the characters that would end a name are
// written as %XX. A sibling ".lock" file serialises the processes.
#include "platform/os/Registry.h"

#include "platform/os/ConfigFolder.h"
#include "platform/rtl/StringList.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr char KindString = 's';
constexpr char KindInteger = 'i';
constexpr char KindBinary = 'b';

struct RegValue {
    std::string Name;
    char Kind = KindString;
    std::string Data; // text, decimal digits or raw bytes by kind
};

struct RegKey {
    std::string Name;
    std::vector<RegValue> Values;
    std::vector<RegKey> Keys; // kept in name order, as the system registry lists them
};

// Key and value names compare as the system registry does: letters without regard to case.
bool SameName(const std::string& a, const std::string& b) {
    return SameText(a, b);
}
bool NameLess(const std::string& a, const std::string& b) {
    return CompareText(a, b) < 0;
}

std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path + '\\') {
        if (c != '\\') {
            part += c;
        } else if (!part.empty()) {
            parts.push_back(part);
            part.clear();
        }
    }
    return parts;
}

std::string JoinPath(const std::vector<std::string>& parts) {
    std::string path;
    for (const auto& part : parts)
        path += (path.empty() ? "" : "\\") + part;
    return path;
}

// --- file format ---

std::string Escape(const std::string& text, const char* special) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F || c == '%' || std::strchr(special, c)) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += char(c);
        }
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
            out += char(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string ToHex(const std::string& bytes) {
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += hex[c >> 4];
        out += hex[c & 15];
    }
    return out;
}

std::string FromHex(const std::string& text) {
    std::string out;
    for (size_t i = 0; i + 1 < text.size(); i += 2)
        out += char(HexDigit(text[i]) * 16 + HexDigit(text[i + 1]));
    return out;
}

const char* const KeyNameSpecials = "[]\\";
const char* const ValueNameSpecials = "=[;";

void WriteKey(std::ostream& out, const RegKey& key, const std::string& path) {
    if (!path.empty() || !key.Values.empty()) out << '[' << (path.empty() ? "\\" : path) << "]\n";
    for (const auto& value : key.Values) {
        out << Escape(value.Name, ValueNameSpecials) << '=' << value.Kind << ':'
            << (value.Kind == KindBinary ? ToHex(value.Data) : Escape(value.Data, "")) << '\n';
    }
    for (const auto& sub : key.Keys)
        WriteKey(out, sub, path + '\\' + Escape(sub.Name, KeyNameSpecials));
}

RegKey* FindKey(RegKey& root, const std::vector<std::string>& parts) {
    RegKey* key = &root;
    for (const auto& part : parts) {
        auto found = std::find_if(key->Keys.begin(), key->Keys.end(),
                                  [&](const RegKey& sub) { return SameName(sub.Name, part); });
        if (found == key->Keys.end()) return nullptr;
        key = &*found;
    }
    return key;
}

// Creates what is missing; answers whether anything was.
RegKey& CreateKey(RegKey& root, const std::vector<std::string>& parts, bool& created) {
    RegKey* key = &root;
    for (const auto& part : parts) {
        auto found = std::find_if(key->Keys.begin(), key->Keys.end(),
                                  [&](const RegKey& sub) { return SameName(sub.Name, part); });
        if (found == key->Keys.end()) {
            auto place =
                std::upper_bound(key->Keys.begin(), key->Keys.end(), part,
                                 [](const std::string& name, const RegKey& sub) { return NameLess(name, sub.Name); });
            found = key->Keys.insert(place, RegKey{part, {}, {}});
            created = true;
        }
        key = &*found;
    }
    return *key;
}

void ParseInto(RegKey& root, std::istream& in) {
    RegKey* key = &root;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            const size_t end = line.rfind(']');
            if (end == std::string::npos) continue;
            std::vector<std::string> parts;
            for (const auto& part : SplitPath(line.substr(1, end - 1)))
                parts.push_back(Unescape(part));
            bool created = false;
            key = &CreateKey(root, parts, created);
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string::npos || equals + 2 >= line.size() || line[equals + 2] != ':') continue;
        RegValue value{Unescape(line.substr(0, equals)), line[equals + 1], line.substr(equals + 3)};
        if (value.Kind == KindBinary) {
            value.Data = FromHex(value.Data);
        } else if (value.Kind == KindString || value.Kind == KindInteger) {
            value.Data = Unescape(value.Data);
        } else {
            continue;
        }
        key->Values.push_back(std::move(value));
    }
}

std::string RootFileStem(HKEY root) {
    return root == HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

// One root's file, loaded under its lock; the lock holds until destruction.
// Readers share the lock, a writer has it alone from load to rename, so no
// write between another process's read and write is lost.
class RegistryFile {
public:
    RegistryFile(HKEY root, bool forWriting) {
        const std::string folder = UserConfigFolder();
        FPath = folder + RootFileStem(root) + ".reg";
        std::error_code error;
        if (forWriting) fs::create_directories(folder, error);
        if (!fs::is_directory(folder, error)) return; // nothing stored yet
        FLock = open((folder + RootFileStem(root) + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (FLock >= 0) flock(FLock, forWriting ? LOCK_EX : LOCK_SH);
        std::ifstream in(FPath, std::ios::binary);
        if (in) ParseInto(FRoot, in);
    }
    ~RegistryFile() {
        if (FLock >= 0) close(FLock); // releases the lock
    }
    RegistryFile(const RegistryFile&) = delete;
    RegistryFile& operator=(const RegistryFile&) = delete;

    RegKey& Root() { return FRoot; }
    RegKey* Find(const std::string& path) { return FindKey(FRoot, SplitPath(path)); }

    bool Save() {
        if (FLock < 0) return false;
        std::ostringstream text;
        text << "; Corvanta registry\n";
        WriteKey(text, FRoot, "");
        const std::string temporary = FPath + ".tmp" + std::to_string(getpid());
        {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            out << text.str();
            out.flush();
            if (!out) {
                std::remove(temporary.c_str());
                return false;
            }
        }
        return std::rename(temporary.c_str(), FPath.c_str()) == 0;
    }

private:
    std::string FPath;
    int FLock = -1;
    RegKey FRoot;
};

RegValue* FindValue(RegKey* key, const std::string& name) {
    if (!key) return nullptr;
    auto found = std::find_if(key->Values.begin(), key->Values.end(),
                              [&](const RegValue& value) { return SameName(value.Name, name); });
    return found == key->Values.end() ? nullptr : &*found;
}

[[noreturn]] void RaiseInvalidType(const std::string& name) {
    throw ERegistryException("Invalid data type for '" + name + "'");
}

[[noreturn]] void RaiseGetFailed(const std::string& name) {
    throw ERegistryException("Failed to get data for '" + name + "'");
}

[[noreturn]] void RaiseSetFailed(const std::string& name) {
    throw ERegistryException("Failed to set data for '" + name + "'");
}

// A value as stored, or null when the key or the value is missing.
std::unique_ptr<RegValue> ReadValue(HKEY root, const std::string& keyPath, const std::string& name) {
    RegistryFile file(root, false);
    RegValue* value = FindValue(file.Find(keyPath), name);
    return value ? std::make_unique<RegValue>(*value) : nullptr;
}

void StoreValue(HKEY root, const std::string& keyPath, const std::string& name, char kind, std::string data) {
    RegistryFile file(root, true);
    RegKey* key = file.Find(keyPath);
    if (!key) RaiseSetFailed(name); // deleted meanwhile, by us or another copy
    if (RegValue* value = FindValue(key, name)) {
        value->Kind = kind;
        value->Data = std::move(data);
    } else {
        key->Values.push_back(RegValue{name, kind, std::move(data)});
    }
    if (!file.Save()) RaiseSetFailed(name);
}

void ListNames(TStrings* strings, const std::vector<std::string>& names) {
    strings->Clear();
    for (const auto& name : names)
        strings->Add(name);
}

std::vector<std::string> KeyNames(HKEY root, const std::string& keyPath) {
    RegistryFile file(root, false);
    std::vector<std::string> names;
    if (RegKey* key = file.Find(keyPath)) {
        for (const auto& sub : key->Keys)
            names.push_back(sub.Name);
    }
    return names;
}

std::vector<std::string> ValueNames(HKEY root, const std::string& keyPath) {
    RegistryFile file(root, false);
    std::vector<std::string> names;
    if (RegKey* key = file.Find(keyPath)) {
        for (const auto& value : key->Values)
            names.push_back(value.Name);
    }
    return names;
}

bool KeyExistsAt(HKEY root, const std::string& keyPath) {
    RegistryFile file(root, false);
    return file.Find(keyPath) != nullptr;
}

bool CreateKeyAt(HKEY root, const std::string& keyPath) {
    RegistryFile file(root, true);
    bool created = false;
    CreateKey(file.Root(), SplitPath(keyPath), created);
    return !created || file.Save();
}

bool DeleteKeyAt(HKEY root, const std::string& keyPath) {
    std::vector<std::string> parts = SplitPath(keyPath);
    if (parts.empty()) return false; // the root itself stays
    const std::string last = parts.back();
    parts.pop_back();
    RegistryFile file(root, true);
    RegKey* parent = FindKey(file.Root(), parts);
    if (!parent) return false;
    auto found = std::find_if(parent->Keys.begin(), parent->Keys.end(),
                              [&](const RegKey& sub) { return SameName(sub.Name, last); });
    if (found == parent->Keys.end()) return false;
    parent->Keys.erase(found);
    return file.Save();
}

bool DeleteValueAt(HKEY root, const std::string& keyPath, const std::string& name) {
    RegistryFile file(root, true);
    RegKey* key = file.Find(keyPath);
    if (!key) return false;
    auto found = std::find_if(key->Values.begin(), key->Values.end(),
                              [&](const RegValue& value) { return SameName(value.Name, name); });
    if (found == key->Values.end()) return false;
    key->Values.erase(found);
    return file.Save();
}

} // namespace

// --- TRegistry ---

TRegistry::TRegistry() = default;
TRegistry::~TRegistry() = default;

void TRegistry::SetRootKey(HKEY Value) {
    if (Value != HKEY_CURRENT_USER && Value != HKEY_LOCAL_MACHINE)
        throw ERegistryException("Unknown root key " + std::to_string(Value));
    CloseKey();
    FRootKey = Value;
}

std::string TRegistry::ResolvePath(const std::string& Key) const {
    if (!Key.empty() && Key[0] == '\\') return JoinPath(SplitPath(Key));
    return JoinPath(SplitPath(FCurrentPath + '\\' + Key));
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate) {
    const std::string path = ResolvePath(Key);
    if (!(CanCreate ? CreateKeyAt(FRootKey, path) : KeyExistsAt(FRootKey, path))) return false;
    FCurrentPath = path;
    FKeyOpen = true;
    FReadOnly = false;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& Key) {
    if (!OpenKey(Key, false)) return false;
    FReadOnly = true;
    return true;
}

void TRegistry::CloseKey() {
    FCurrentPath.clear();
    FKeyOpen = false;
    FReadOnly = false;
}

bool TRegistry::KeyExists(const std::string& Key) {
    return KeyExistsAt(FRootKey, ResolvePath(Key));
}

bool TRegistry::DeleteKey(const std::string& Key) {
    return DeleteKeyAt(FRootKey, ResolvePath(Key));
}

void TRegistry::GetKeyNames(TStrings* Strings) {
    ListNames(Strings, FKeyOpen ? KeyNames(FRootKey, FCurrentPath) : std::vector<std::string>{});
}

bool TRegistry::ValueExists(const std::string& Name) {
    return FKeyOpen && ReadValue(FRootKey, FCurrentPath, Name);
}

int TRegistry::GetDataSize(const std::string& Name) {
    auto value = FKeyOpen ? ReadValue(FRootKey, FCurrentPath, Name) : nullptr;
    if (!value) return -1;
    return value->Kind == KindInteger ? int(sizeof(int32_t)) : int(value->Data.size());
}

void TRegistry::GetValueNames(TStrings* Strings) {
    ListNames(Strings, FKeyOpen ? ValueNames(FRootKey, FCurrentPath) : std::vector<std::string>{});
}

bool TRegistry::DeleteValue(const std::string& Name) {
    return FKeyOpen && !FReadOnly && DeleteValueAt(FRootKey, FCurrentPath, Name);
}

std::string TRegistry::ReadString(const std::string& Name) {
    auto value = FKeyOpen ? ReadValue(FRootKey, FCurrentPath, Name) : nullptr;
    if (!value) return "";
    if (value->Kind != KindString) RaiseInvalidType(Name);
    return value->Data;
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value) {
    if (!FKeyOpen || FReadOnly) RaiseSetFailed(Name);
    StoreValue(FRootKey, FCurrentPath, Name, KindString, Value);
}

int32_t TRegistry::ReadInteger(const std::string& Name) {
    auto value = FKeyOpen ? ReadValue(FRootKey, FCurrentPath, Name) : nullptr;
    if (!value) RaiseGetFailed(Name);
    int32_t result = 0;
    if (value->Kind != KindInteger || !TryStrToInt(value->Data, result)) RaiseInvalidType(Name);
    return result;
}

void TRegistry::WriteInteger(const std::string& Name, int32_t Value) {
    if (!FKeyOpen || FReadOnly) RaiseSetFailed(Name);
    StoreValue(FRootKey, FCurrentPath, Name, KindInteger, std::to_string(Value));
}

bool TRegistry::ReadBool(const std::string& Name) {
    return ReadInteger(Name) != 0;
}

void TRegistry::WriteBool(const std::string& Name, bool Value) {
    WriteInteger(Name, Value ? 1 : 0);
}

int TRegistry::ReadBinaryData(const std::string& Name, void* Buffer, int BufSize) {
    auto value = FKeyOpen ? ReadValue(FRootKey, FCurrentPath, Name) : nullptr;
    if (!value) return 0;
    if (value->Kind != KindBinary || int(value->Data.size()) > BufSize) RaiseInvalidType(Name);
    std::copy(value->Data.begin(), value->Data.end(), static_cast<char*>(Buffer));
    return int(value->Data.size());
}

void TRegistry::WriteBinaryData(const std::string& Name, const void* Buffer, int BufSize) {
    if (!FKeyOpen || FReadOnly || BufSize < 0) RaiseSetFailed(Name);
    const char* bytes = static_cast<const char*>(Buffer);
    StoreValue(FRootKey, FCurrentPath, Name, KindBinary, std::string(bytes, bytes + BufSize));
}

// --- TRegIniFile ---

TRegIniFile::TRegIniFile(const std::string& FileName) : FFileName(FileName) {
    SetRootKey(HKEY_CURRENT_USER);
    OpenKey(FileName, true);
}

std::string TRegIniFile::ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) {
    auto value = ReadValue(RootKey(), ResolvePath(Section), Ident);
    if (!value) return Default;
    if (value->Kind != KindString) RaiseInvalidType(Ident);
    return value->Data;
}

void TRegIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
    const std::string path = ResolvePath(Section);
    if (!CreateKeyAt(RootKey(), path)) throw ERegistryException("Failed to create key " + Section);
    StoreValue(RootKey(), path, Ident, KindString, Value);
}

int32_t TRegIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int32_t Default) {
    auto value = ReadValue(RootKey(), ResolvePath(Section), Ident);
    int32_t result = Default;
    if (value && value->Kind != KindBinary && TryStrToInt(value->Data, result)) return result;
    return Default;
}

void TRegIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int32_t Value) {
    WriteString(Section, Ident, std::to_string(Value));
}

bool TRegIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TRegIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
    WriteInteger(Section, Ident, Value ? 1 : 0);
}

void TRegIniFile::ReadSection(const std::string& Section, TStrings* Strings) {
    ListNames(Strings, ValueNames(RootKey(), ResolvePath(Section)));
}

void TRegIniFile::ReadSections(TStrings* Strings) {
    GetKeyNames(Strings);
}

void TRegIniFile::EraseSection(const std::string& Section) {
    TRegistry::DeleteKey(Section);
}

void TRegIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
    DeleteValueAt(RootKey(), ResolvePath(Section), Ident);
}
