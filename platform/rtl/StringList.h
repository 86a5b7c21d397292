// TStrings (the abstract list of lines with an object per line, used by the
// controls for their items) and TStringList (the concrete, optionally sorted
// list). Lines are UTF-8; comparisons follow CaseSensitive (false by default).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/Classes.h"

class TStream;

class TStrings : public TPersistent {
public:
    ~TStrings() override = default;

    // The primitives a descendant provides.
    virtual int Count() const = 0;
    virtual std::string Get(int Index) const = 0;
    virtual void Put(int Index, const std::string& S);
    virtual TObject* GetObject(int Index) const;
    virtual void PutObject(int Index, TObject* AObject);
    virtual void Insert(int Index, const std::string& S) = 0;
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;

    std::string Strings(int Index) const { return Get(Index); }
    void SetStrings(int Index, const std::string& S) { Put(Index, S); }
    TObject* Objects(int Index) const { return GetObject(Index); }
    void SetObjects(int Index, TObject* AObject) { PutObject(Index, AObject); }

    virtual int Add(const std::string& S);
    virtual int AddObject(const std::string& S, TObject* AObject);
    void InsertObject(int Index, const std::string& S, TObject* AObject);
    void AddStrings(TStrings* Strings);
    virtual void Exchange(int Index1, int Index2);
    virtual void Move(int CurIndex, int NewIndex);
    virtual int IndexOf(const std::string& S) const;
    int IndexOfName(const std::string& Name) const;
    int IndexOfObject(TObject* AObject) const;
    bool Equals(TStrings* Strings) const;

    // name=value lines. SetValues with an empty value deletes the line.
    std::string Names(int Index) const;
    std::string Values(const std::string& Name) const;
    void SetValues(const std::string& Name, const std::string& Value);
    std::string ValueFromIndex(int Index) const;
    char NameValueSeparator() const { return FNameValueSeparator; }
    void SetNameValueSeparator(char Value) { FNameValueSeparator = Value; }

    // Text ends every line with LineBreak (CR LF by default); SetText breaks
    // at CR LF, CR or LF, and a final break adds no empty line.
    virtual std::string Text() const;
    virtual void SetText(const std::string& Value);
    const std::string& LineBreak() const { return FLineBreak; }
    void SetLineBreak(const std::string& Value) { FLineBreak = Value; }

    // Items separated by Delimiter; an item holding a character <= ' ', the
    // quote or the delimiter is quoted. Reading also splits at unquoted blanks.
    std::string CommaText() const;
    void SetCommaText(const std::string& Value);
    std::string DelimitedText() const;
    void SetDelimitedText(const std::string& Value);
    char Delimiter() const { return FDelimiter; }
    void SetDelimiter(char Value) { FDelimiter = Value; }
    char QuoteChar() const { return FQuoteChar; }
    void SetQuoteChar(char Value) { FQuoteChar = Value; }

    // Nested; the outermost pair brackets the change notifications. Prefer
    // TUpdateGuard<TStrings>.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    void Assign(TPersistent* Source) override;

    // UTF-8 files (a byte-order mark is skipped). Errors raise EFOpenError /
    // EFCreateError with the file name.
    virtual void LoadFromFile(const std::string& FileName);
    virtual void SaveToFile(const std::string& FileName);
    virtual void LoadFromStream(TStream* Stream);
    virtual void SaveToStream(TStream* Stream);

protected:
    // Called by the outermost BeginUpdate (true) and EndUpdate (false).
    virtual void SetUpdateState(bool Updating);
    // Compares two lines as IndexOf does; TStrings is case-insensitive.
    virtual int CompareStrings(const std::string& S1, const std::string& S2) const;
    [[noreturn]] void Error(const std::string& Message, int Data) const;

private:
    std::string GetDelimitedText(char Delimiter) const;
    void SetDelimitedText(const std::string& Value, char Delimiter);

    int FUpdateCount = 0;
    char FDelimiter = ',';
    char FQuoteChar = '"';
    char FNameValueSeparator = '=';
    std::string FLineBreak = sLineBreak;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList;
using TStringListSortCompare = std::function<int(TStringList* List, int Index1, int Index2)>;

class TStringList : public TStrings {
public:
    TStringList() = default;
    ~TStringList() override;

    int Count() const override { return int(FList.size()); }
    std::string Get(int Index) const override;
    void Put(int Index, const std::string& S) override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* AObject) override;
    // On a sorted list Add places the line in order and honours Duplicates
    // (dupError raises EStringListError "String list does not allow duplicates");
    // Insert, Put, Exchange and Move raise "Operation not allowed on sorted list".
    int Add(const std::string& S) override;
    int AddObject(const std::string& S, TObject* AObject) override;
    void Insert(int Index, const std::string& S) override;
    void Delete(int Index) override;
    void Clear() override;
    void Exchange(int Index1, int Index2) override;
    void Move(int CurIndex, int NewIndex) override;
    int IndexOf(const std::string& S) const override;

    // Binary search of a sorted list: true when found; Index is the line or
    // where it would go.
    virtual bool Find(const std::string& S, int& Index) const;
    virtual void Sort();
    // Bounds-safe like TList::Sort; the comparator sees the list as it was.
    virtual void CustomSort(const TStringListSortCompare& Compare);

    // Room for lines before the list reallocates; a capacity below Count
    // raises EStringListError "List capacity out of bounds (%d)".
    int Capacity() const { return int(FList.capacity()); }
    void SetCapacity(int Value);

    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value);

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual void Changed();
    virtual void Changing();
    void SetUpdateState(bool Updating) override;
    // Locale comparison, with or without case as CaseSensitive says.
    int CompareStrings(const std::string& S1, const std::string& S2) const override;
    void InsertItem(int Index, const std::string& S, TObject* AObject);

private:
    struct TStringItem {
        std::string FString;
        TObject* FObject = nullptr;
    };
    void CheckIndex(int Index) const;
    std::vector<TStringItem> FList;
    bool FSorted = false;
    bool FCaseSensitive = false;
    TDuplicates FDuplicates = dupIgnore;
};
