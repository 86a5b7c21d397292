// Ini files: [Section] and Key=Value lines in UTF-8. Section names are taken
// exactly as written (a name may start with '\' and hold '\'); sections and
// keys are found without case; the order of sections and keys is kept, and
// so are comment lines. Files are written atomically: a temporary file in
// the same folder, then a rename.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Classes.h"

class TStrings;

class TCustomIniFile : public TObject {
public:
    explicit TCustomIniFile(std::string FileName) : FFileName(std::move(FileName)) {}
    const std::string& FileName() const { return FFileName; }

    virtual std::string ReadString(const std::string& Section, const std::string& Ident,
                                   const std::string& Default) = 0;
    virtual void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) = 0;
    // Decimal, or hexadecimal after "0x"; anything else gives Default.
    Integer ReadInteger(const std::string& Section, const std::string& Ident, Integer Default);
    void WriteInteger(const std::string& Section, const std::string& Ident, Integer Value);
    // Any integer other than 0 is true; written as "1" or "0".
    bool ReadBool(const std::string& Section, const std::string& Ident, bool Default);
    void WriteBool(const std::string& Section, const std::string& Ident, bool Value);

    virtual void ReadSection(const std::string& Section, TStrings* Strings) = 0; // the keys
    virtual void ReadSections(TStrings* Strings) = 0;
    virtual void ReadSectionValues(const std::string& Section, TStrings* Strings) = 0; // Key=Value lines
    bool SectionExists(const std::string& Section);
    virtual bool ValueExists(const std::string& Section, const std::string& Ident);
    virtual void DeleteKey(const std::string& Section, const std::string& Ident) = 0;
    virtual void EraseSection(const std::string& Section) = 0;
    virtual void UpdateFile() = 0;

private:
    std::string FFileName;
};

struct TIniContent;

// The whole file in memory: read when created, written by UpdateFile only.
class TMemIniFile : public TCustomIniFile {
public:
    explicit TMemIniFile(const std::string& FileName);
    ~TMemIniFile() override;

    std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) override;
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) override;
    void ReadSection(const std::string& Section, TStrings* Strings) override;
    void ReadSections(TStrings* Strings) override;
    void ReadSectionValues(const std::string& Section, TStrings* Strings) override;
    void DeleteKey(const std::string& Section, const std::string& Ident) override;
    void EraseSection(const std::string& Section) override;
    // Raises EFCreateError when the file cannot be written.
    void UpdateFile() override;

protected:
    void LoadFromFile();
    std::unique_ptr<TIniContent> FContent;
};

// Every read sees the file as it is now, every change is written at once.
class TIniFile : public TMemIniFile {
public:
    explicit TIniFile(const std::string& FileName) : TMemIniFile(FileName) {}

    std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) override;
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) override;
    void ReadSection(const std::string& Section, TStrings* Strings) override;
    void ReadSections(TStrings* Strings) override;
    void ReadSectionValues(const std::string& Section, TStrings* Strings) override;
    void DeleteKey(const std::string& Section, const std::string& Ident) override;
    void EraseSection(const std::string& Section) override;
    // Nothing is pending; kept for callers written for either class.
    void UpdateFile() override {}

private:
    void Refresh();
};
