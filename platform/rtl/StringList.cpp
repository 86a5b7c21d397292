// TStrings over its virtual primitives, and TStringList storing lines with
// their objects. A sorted list keeps locale order (CompareStrings), so Find is
// a binary search.
#include "platform/rtl/StringList.h"

#include <numeric>

#include "platform/rtl/Streams.h"

// ---- TStrings -------------------------------------------------------------------------

void TStrings::Put(int Index, const std::string& S) {
    TObject* object = GetObject(Index);
    TUpdateGuard<TStrings> guard(this);
    Delete(Index);
    InsertObject(Index, S, object);
}

TObject* TStrings::GetObject(int) const {
    return nullptr;
}
void TStrings::PutObject(int, TObject*) {}

int TStrings::Add(const std::string& S) {
    const int index = Count();
    Insert(index, S);
    return index;
}

int TStrings::AddObject(const std::string& S, TObject* AObject) {
    const int index = Add(S);
    PutObject(index, AObject);
    return index;
}

void TStrings::InsertObject(int Index, const std::string& S, TObject* AObject) {
    Insert(Index, S);
    PutObject(Index, AObject);
}

void TStrings::AddStrings(TStrings* Strings) {
    TUpdateGuard<TStrings> guard(this);
    for (int i = 0; i < Strings->Count(); ++i)
        AddObject(Strings->Get(i), Strings->GetObject(i));
}

void TStrings::Exchange(int Index1, int Index2) {
    TUpdateGuard<TStrings> guard(this);
    const std::string s1 = Get(Index1);
    TObject* o1 = GetObject(Index1);
    Put(Index1, Get(Index2));
    PutObject(Index1, GetObject(Index2));
    Put(Index2, s1);
    PutObject(Index2, o1);
}

void TStrings::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    TUpdateGuard<TStrings> guard(this);
    const std::string s = Get(CurIndex);
    TObject* o = GetObject(CurIndex);
    Delete(CurIndex);
    InsertObject(NewIndex, s, o);
}

int TStrings::IndexOf(const std::string& S) const {
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(Get(i), S) == 0) return i;
    return -1;
}

int TStrings::IndexOfName(const std::string& Name) const {
    for (int i = 0; i < Count(); ++i) {
        const std::string line = Get(i);
        const size_t p = line.find(FNameValueSeparator);
        if (p != std::string::npos && CompareStrings(line.substr(0, p), Name) == 0) return i;
    }
    return -1;
}

int TStrings::IndexOfObject(TObject* AObject) const {
    for (int i = 0; i < Count(); ++i)
        if (GetObject(i) == AObject) return i;
    return -1;
}

bool TStrings::Equals(TStrings* Strings) const {
    if (Count() != Strings->Count()) return false;
    for (int i = 0; i < Count(); ++i)
        if (Get(i) != Strings->Get(i)) return false;
    return true;
}

std::string TStrings::Names(int Index) const {
    const std::string line = Get(Index);
    const size_t p = line.find(FNameValueSeparator);
    return p == std::string::npos ? std::string() : line.substr(0, p);
}

std::string TStrings::ValueFromIndex(int Index) const {
    const std::string line = Get(Index);
    const size_t p = line.find(FNameValueSeparator);
    return p == std::string::npos ? std::string() : line.substr(p + 1);
}

std::string TStrings::Values(const std::string& Name) const {
    const int i = IndexOfName(Name);
    return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStrings::SetValues(const std::string& Name, const std::string& Value) {
    int i = IndexOfName(Name);
    if (!Value.empty()) {
        if (i < 0) i = Add("");
        Put(i, Name + FNameValueSeparator + Value);
    } else if (i >= 0) {
        Delete(i);
    }
}

std::string TStrings::Text() const {
    std::string r;
    for (int i = 0; i < Count(); ++i) {
        r += Get(i);
        r += FLineBreak;
    }
    return r;
}

void TStrings::SetText(const std::string& Value) {
    TUpdateGuard<TStrings> guard(this);
    Clear();
    size_t start = 0;
    while (start < Value.size()) {
        size_t end = start;
        while (end < Value.size() && Value[end] != '\r' && Value[end] != '\n')
            ++end;
        Add(Value.substr(start, end - start));
        if (end < Value.size() && Value[end] == '\r') ++end;
        if (end < Value.size() && Value[end] == '\n') ++end;
        start = end;
    }
}

std::string TStrings::GetDelimitedText(char Delim) const {
    if (Count() == 1 && Get(0).empty()) return std::string(2, FQuoteChar);
    std::string r;
    for (int i = 0; i < Count(); ++i) {
        const std::string s = Get(i);
        bool quote = false;
        for (char c : s)
            if (static_cast<unsigned char>(c) <= ' ' || c == FQuoteChar || c == Delim) quote = true;
        if (i > 0) r += Delim;
        r += quote ? AnsiQuotedStr(s, FQuoteChar) : s;
    }
    return r;
}

void TStrings::SetDelimitedText(const std::string& Value, char Delim) {
    TUpdateGuard<TStrings> guard(this);
    Clear();
    auto blank = [](char c) { return c != 0 && static_cast<unsigned char>(c) <= ' '; };
    size_t p = 0;
    while (p < Value.size() && blank(Value[p]))
        ++p;
    while (p < Value.size()) {
        std::string s;
        if (Value[p] == FQuoteChar) {
            s = AnsiExtractQuotedStr(Value, p, FQuoteChar);
        } else {
            const size_t start = p;
            while (p < Value.size() && static_cast<unsigned char>(Value[p]) > ' ' && Value[p] != Delim)
                ++p;
            s = Value.substr(start, p - start);
        }
        Add(s);
        while (p < Value.size() && blank(Value[p]))
            ++p;
        if (p < Value.size() && Value[p] == Delim) {
            if (p + 1 == Value.size()) Add(""); // a trailing delimiter ends with an empty item
            do {
                ++p;
            } while (p < Value.size() && blank(Value[p]));
        }
    }
}

std::string TStrings::CommaText() const {
    return GetDelimitedText(',');
}
void TStrings::SetCommaText(const std::string& Value) {
    SetDelimitedText(Value, ',');
}
std::string TStrings::DelimitedText() const {
    return GetDelimitedText(FDelimiter);
}
void TStrings::SetDelimitedText(const std::string& Value) {
    SetDelimitedText(Value, FDelimiter);
}

void TStrings::BeginUpdate() {
    // The notification goes out before the count rises, so it still reaches OnChanging.
    if (FUpdateCount == 0) SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

void TStrings::Assign(TPersistent* Source) {
    if (auto* strings = dynamic_cast<TStrings*>(Source)) {
        if (strings == this) return;
        TUpdateGuard<TStrings> guard(this);
        Clear();
        AddStrings(strings);
        return;
    }
    TPersistent::Assign(Source);
}

void TStrings::LoadFromFile(const std::string& FileName) {
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&stream);
}

void TStrings::SaveToFile(const std::string& FileName) {
    TFileStream stream(FileName, fmCreate);
    SaveToStream(&stream);
}

void TStrings::LoadFromStream(TStream* Stream) {
    const Int64 size = Stream->Size() - Stream->Position();
    std::string text(size_t(std::max<Int64>(size, 0)), '\0');
    if (!text.empty()) Stream->ReadBuffer(text.data(), Integer(text.size()));
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    SetText(text);
}

void TStrings::SaveToStream(TStream* Stream) {
    const std::string text = Text();
    Stream->WriteBuffer(text.data(), Integer(text.size()));
}

int TStrings::CompareStrings(const std::string& S1, const std::string& S2) const {
    return AnsiCompareText(S1, S2);
}

void TStrings::Error(const std::string& Message, int Data) const {
    std::string text = Message;
    const size_t p = text.find("%d");
    if (p != std::string::npos) text.replace(p, 2, IntToStr(Data));
    throw EStringListError(text);
}

// ---- TStringList ----------------------------------------------------------------------

static const char* const ListIndexError = "List index out of bounds (%d)";
static const char* const ListCapacityError = "List capacity out of bounds (%d)";
static const char* const SortedListError = "Operation not allowed on sorted list";
static const char* const DuplicateString = "String list does not allow duplicates";

TStringList::~TStringList() {
    OnChange = nullptr;
    OnChanging = nullptr;
}

void TStringList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count()) Error(ListIndexError, Index);
}

std::string TStringList::Get(int Index) const {
    CheckIndex(Index);
    return FList[size_t(Index)].FString;
}

void TStringList::Put(int Index, const std::string& S) {
    if (FSorted) Error(SortedListError, 0);
    CheckIndex(Index);
    Changing();
    FList[size_t(Index)].FString = S;
    Changed();
}

TObject* TStringList::GetObject(int Index) const {
    CheckIndex(Index);
    return FList[size_t(Index)].FObject;
}

void TStringList::PutObject(int Index, TObject* AObject) {
    CheckIndex(Index);
    Changing();
    FList[size_t(Index)].FObject = AObject;
    Changed();
}

int TStringList::Add(const std::string& S) {
    return AddObject(S, nullptr);
}

int TStringList::AddObject(const std::string& S, TObject* AObject) {
    int index = Count();
    if (FSorted && Find(S, index)) {
        if (FDuplicates == dupIgnore) return index;
        if (FDuplicates == dupError) Error(DuplicateString, 0);
    }
    InsertItem(index, S, AObject);
    return index;
}

void TStringList::Insert(int Index, const std::string& S) {
    if (FSorted) Error(SortedListError, 0);
    if (Index < 0 || Index > Count()) Error(ListIndexError, Index);
    InsertItem(Index, S, nullptr);
}

void TStringList::InsertItem(int Index, const std::string& S, TObject* AObject) {
    Changing();
    FList.insert(FList.begin() + Index, TStringItem{S, AObject});
    Changed();
}

void TStringList::SetCapacity(int Value) {
    if (Value < Count()) Error(ListCapacityError, Value);
    FList.reserve(size_t(Value));
}

void TStringList::Delete(int Index) {
    CheckIndex(Index);
    Changing();
    FList.erase(FList.begin() + Index);
    Changed();
}

void TStringList::Clear() {
    if (FList.empty()) return;
    Changing();
    FList.clear();
    Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
    if (FSorted) Error(SortedListError, 0);
    CheckIndex(Index1);
    CheckIndex(Index2);
    Changing();
    std::swap(FList[size_t(Index1)], FList[size_t(Index2)]);
    Changed();
}

void TStringList::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    if (FSorted) Error(SortedListError, 0);
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    Changing();
    TStringItem item = std::move(FList[size_t(CurIndex)]);
    FList.erase(FList.begin() + CurIndex);
    FList.insert(FList.begin() + NewIndex, std::move(item));
    Changed();
}

int TStringList::IndexOf(const std::string& S) const {
    if (!FSorted) return TStrings::IndexOf(S);
    int index = -1;
    return Find(S, index) ? index : -1;
}

bool TStringList::Find(const std::string& S, int& Index) const {
    // The first of equal lines, as Duplicates = dupAccept needs.
    int lo = 0, hi = Count() - 1;
    bool found = false;
    while (lo <= hi) {
        const int mid = lo + (hi - lo) / 2;
        const int c = CompareStrings(FList[size_t(mid)].FString, S);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) found = true;
        }
    }
    Index = lo;
    return found;
}

void TStringList::Sort() {
    CustomSort([](TStringList* List, int Index1, int Index2) {
        return List->CompareStrings(List->FList[size_t(Index1)].FString, List->FList[size_t(Index2)].FString);
    });
}

void TStringList::CustomSort(const TStringListSortCompare& Compare) {
    if (Count() < 2) return;
    Changing();
    // Merge sort of indexes (see TList::Sort): safe with any comparator.
    std::vector<int> a(FList.size());
    std::iota(a.begin(), a.end(), 0);
    std::vector<int> b(a.size());
    const size_t n = a.size();
    for (size_t width = 1; width < n; width *= 2) {
        for (size_t lo = 0; lo < n; lo += 2 * width) {
            const size_t mid = std::min(lo + width, n), hi = std::min(lo + 2 * width, n);
            size_t i = lo, j = mid, k = lo;
            while (i < mid && j < hi)
                b[k++] = Compare(this, a[j], a[i]) < 0 ? a[j++] : a[i++];
            while (i < mid)
                b[k++] = a[i++];
            while (j < hi)
                b[k++] = a[j++];
        }
        a.swap(b);
    }
    std::vector<TStringItem> sorted;
    sorted.reserve(n);
    for (int i : a)
        sorted.push_back(std::move(FList[size_t(i)]));
    FList.swap(sorted);
    Changed();
}

void TStringList::SetSorted(bool Value) {
    if (FSorted == Value) return;
    if (Value) Sort();
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
    if (FCaseSensitive == Value) return;
    FCaseSensitive = Value;
    if (FSorted) Sort();
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
    if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::SetUpdateState(bool Updating) {
    if (Updating)
        Changing();
    else
        Changed();
}

int TStringList::CompareStrings(const std::string& S1, const std::string& S2) const {
    return FCaseSensitive ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}
