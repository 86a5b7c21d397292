// TcvRegIniWrapper: one object through which the tree list and the grid save
// and load their layouts, either in the registry (a TRegIniFile) or in an ini
// file on disk or in memory (TIniFile, TMemIniFile). It forwards each call to
// the store it holds; the caller creates, assigns and frees the store.
#pragma once

#include "platform/rtl/Classes.h"

#include <string>
#include <variant>

class TCustomIniFile;
class TRegIniFile;
class TStrings;

class TcvRegIniWrapper : public TObject {
public:
    TcvRegIniWrapper() = default;

    // The store; not owned. Nothing is forwarded while none is set.
    void SetStore(TRegIniFile* Store) { FStore = Store; }
    void SetStore(TCustomIniFile* Store) { FStore = Store; }

    Integer ReadInteger(const std::string& Section, const std::string& Name, Integer Default);
    void WriteInteger(const std::string& Section, const std::string& Name, Integer Value);
    bool ReadBool(const std::string& Section, const std::string& Name, bool Default);
    void WriteBool(const std::string& Section, const std::string& Name, bool Value);
    void ReadSections(TStrings* Strings);
    void EraseSection(const std::string& Section);

    // Registry only (0 or nothing for ini stores): the binary value Name of the
    // key Section below the current key. With BufSize below 1 the answer is the
    // value's size, otherwise up to BufSize bytes are copied and counted; 0 when
    // the key or the value is missing. The current key is kept.
    int ReadBinaryData(const std::string& Section, const std::string& Name, void* Buffer, int BufSize);
    void WriteBinaryData(const std::string& Section, const std::string& Name, const void* Buffer, int Size);
    // Whether WriteBinaryData stores anything: only the registry does.
    bool KeepsBinaryData() const { return std::holds_alternative<TRegIniFile*>(FStore); }

    // Ini stores only: erases Section and every section below it, that is
    // whose name begins with Section followed by '\' (case-sensitive).
    void EraseSectionTree(const std::string& Section);

private:
    std::variant<std::monostate, TRegIniFile*, TCustomIniFile*> FStore;
};
