// The registry, kept in files below the user's settings folder: one file per
// root key, rewritten whole (temporary file, then rename) under a file lock,
// and read afresh by every operation, so several running copies see each
// other's writes and never leave a torn file. Key and value names compare
// without regard to case and keep the case they were first written with.
#pragma once

#include "platform/rtl/SysUtils.h"

#include <cstdint>
#include <string>

class TStrings;

using HKEY = uint32_t;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;

class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

class TRegistry {
public:
    TRegistry();
    virtual ~TRegistry();

    HKEY RootKey() const { return FRootKey; }
    // Only HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE exist here. Closes the
    // current key.
    void SetRootKey(HKEY Value);

    // Key paths: a leading '\' starts at the root, anything else below the
    // current key. Opening "" opens the current key again.
    bool OpenKey(const std::string& Key, bool CanCreate);
    bool OpenKeyReadOnly(const std::string& Key);
    void CloseKey();
    // The open key's path below the root, without a leading '\' ("" at the root).
    const std::string& CurrentPath() const { return FCurrentPath; }

    bool KeyExists(const std::string& Key);
    // Deletes the key with all keys below it.
    bool DeleteKey(const std::string& Key);
    void GetKeyNames(TStrings* Strings);

    // Values of the current key; the name "" is the key's default value.
    bool ValueExists(const std::string& Name);
    // Size in bytes of the value's data, -1 when it does not exist.
    int GetDataSize(const std::string& Name);
    void GetValueNames(TStrings* Strings);
    bool DeleteValue(const std::string& Name);

    // A missing string value reads as ""; a value of another kind raises
    // ERegistryException.
    std::string ReadString(const std::string& Name);
    void WriteString(const std::string& Name, const std::string& Value);
    // Integers are kept as integers; a missing one raises.
    int32_t ReadInteger(const std::string& Name);
    void WriteInteger(const std::string& Name, int32_t Value);
    bool ReadBool(const std::string& Name);
    void WriteBool(const std::string& Name, bool Value);
    // Answers the bytes copied; 0 for a missing value. A value of another kind,
    // or one larger than BufSize, raises.
    int ReadBinaryData(const std::string& Name, void* Buffer, int BufSize);
    void WriteBinaryData(const std::string& Name, const void* Buffer, int BufSize);

protected:
    // The path of Key below the root, resolved against the current key.
    std::string ResolvePath(const std::string& Key) const;

private:
    HKEY FRootKey = HKEY_CURRENT_USER;
    std::string FCurrentPath;
    bool FKeyOpen = false;
    bool FReadOnly = false;
};

// The registry seen as an ini file: sections are keys below the opened key (a
// leading '\' starts at the root), entries are string values. Integers are
// written as decimal text; reading text that is not a decimal number gives the
// default.
class TRegIniFile : public TRegistry {
public:
    // Opens (creating it) FileName below HKEY_CURRENT_USER; "" stays at the root.
    explicit TRegIniFile(const std::string& FileName = "");

    const std::string& FileName() const { return FFileName; }

    std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default);
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value);
    int32_t ReadInteger(const std::string& Section, const std::string& Ident, int32_t Default);
    void WriteInteger(const std::string& Section, const std::string& Ident, int32_t Value);
    bool ReadBool(const std::string& Section, const std::string& Ident, bool Default);
    void WriteBool(const std::string& Section, const std::string& Ident, bool Value);
    // The value names of a section.
    void ReadSection(const std::string& Section, TStrings* Strings);
    // The keys below the opened key.
    void ReadSections(TStrings* Strings);
    void EraseSection(const std::string& Section);
    void DeleteKey(const std::string& Section, const std::string& Ident);
    using TRegistry::DeleteKey;

private:
    std::string FFileName;
};
