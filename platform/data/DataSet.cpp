// The dataset: states, cursor, record-buffer windows of the data links, the
// edit cycle with its events in the framework's order, bookmarks, Locate and
// the filter. Records are in memory; descendants fill them and write back.
#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/data/DB.h"
#include "platform/data/FilterExpression.h"

namespace {

TBookmarkStr EncodeBookmark(Int64 Id) {
    TBookmarkStr result(8, '\0');
    for (int i = 7; i >= 0; --i) {
        result[i] = char(Id & 0xFF);
        Id >>= 8;
    }
    return result;
}

Int64 DecodeBookmark(const TBookmarkStr& Bookmark) {
    if (Bookmark.size() != 8) return 0;
    Int64 id = 0;
    for (unsigned char c : Bookmark)
        id = (id << 8) | c;
    return id;
}

std::vector<std::string> SplitFieldNames(const std::string& Names) {
    std::vector<std::string> result;
    size_t start = 0;
    for (;;) {
        size_t end = Names.find(';', start);
        std::string name = Trim(Names.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (!name.empty()) result.push_back(name);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return result;
}

bool IsTextType(TFieldType T) {
    return T == ftString || T == ftFixedChar || T == ftWideString || T == ftMemo || T == ftFmtMemo;
}

bool IsNumberType(TFieldType T) {
    return T == ftSmallint || T == ftInteger || T == ftWord || T == ftFloat || T == ftCurrency || T == ftBCD ||
           T == ftAutoInc || T == ftLargeint;
}

bool IsDateType(TFieldType T) {
    return T == ftDate || T == ftTime || T == ftDateTime;
}

bool IsBlank(const Variant& V) {
    return V.IsNull() || V.IsEmpty();
}

// A search key turned once into the form its field compares in.
struct TSearchKey {
    const TField* Field;
    enum { skBlank, skText, skValue, skNever } Kind;
    std::string Text;
    Variant Value;
};

TSearchKey PrepareKey(const TField* Field, const Variant& Key, TLocateOptions Options) {
    TSearchKey result{Field, TSearchKey::skValue, {}, {}};
    if (IsBlank(Key)) {
        result.Kind = TSearchKey::skBlank;
        return result;
    }
    TFieldType t = Field->DataType();
    try {
        if (IsTextType(t) || (Key.VarType() == varString && !IsNumberType(t) && !IsDateType(t) && t != ftBoolean)) {
            result.Kind = TSearchKey::skText;
            result.Text = Options.Contains(loCaseInsensitive) ? AnsiUpperCase(Key.AsString()) : Key.AsString();
        } else if (t == ftBCD) {
            // Money compares exactly, as Currency.
            result.Value =
                Variant::FromCurrency(Key.VarType() == varString ? StrToCurr(Key.AsString()) : Key.AsCurrency());
        } else if (IsNumberType(t)) {
            result.Value = Variant(Key.VarType() == varString ? StrToFloat(Key.AsString()) : Key.AsFloat());
        } else if (IsDateType(t)) {
            TDateTime d = 0;
            if (Key.VarType() == varString) {
                std::string s = Trim(Key.AsString());
                if (!TryStrToDateTime(s, d) && !TryStrToDate(s, d)) result.Kind = TSearchKey::skNever;
            } else {
                d = Key.AsDateTime();
            }
            result.Value = Variant::FromDateTime(d);
        } else if (t == ftBoolean) {
            result.Value = Variant(Key.AsBoolean());
        } else {
            result.Value = Key;
        }
    } catch (const EConvertError&) {
        // A key that cannot take the field's type matches no record.
        result.Kind = TSearchKey::skNever;
    }
    return result;
}

bool KeyMatches(const TSearchKey& Key, const Variant& V, TLocateOptions Options) {
    switch (Key.Kind) {
    case TSearchKey::skBlank:
        return IsBlank(V);
    case TSearchKey::skNever:
        return false;
    case TSearchKey::skText: {
        if (IsBlank(V)) return false;
        std::string s = Options.Contains(loCaseInsensitive) ? AnsiUpperCase(V.AsString()) : V.AsString();
        if (Options.Contains(loPartialKey)) return s.compare(0, Key.Text.size(), Key.Text) == 0;
        return s == Key.Text;
    }
    case TSearchKey::skValue:
        return !IsBlank(V) && VarCompare(V, Key.Value) == 0;
    }
    return false;
}

// Hands out memory from blocks that are never freed before the whole pool
// goes. Touching fresh memory costs a page fault per page, which for a large
// result outweighs reading the rows, so blocks double from small up to one
// huge page and then stay there; once the pool holds a few of them, blocks
// are aligned and advised so that each faults in at once. A huge page is
// resident whole, so a pool takes them only where its tail is a small part
// of what it holds.
class TRecordPool : public std::pmr::memory_resource {
public:
    TRecordPool() = default;
    TRecordPool(const TRecordPool&) = delete;
    TRecordPool& operator=(const TRecordPool&) = delete;
    ~TRecordPool() override {
        for (const TBlock& block : FBlocks)
            munmap(block.Start, block.Size);
    }

private:
    static constexpr size_t FirstBlock = size_t(1) << 16;
    static constexpr size_t HugePage = size_t(1) << 21;
    static constexpr size_t HugePagesFrom = 2 * HugePage; // bytes the pool holds first

    struct TBlock {
        char* Start;
        size_t Size;
    };

    // Size bytes; with Huge, a whole number of huge pages on a huge page's
    // boundary, so the kernel can back them with huge pages.
    static char* MapBlock(size_t Size, bool Huge) {
        size_t mapped = Huge ? Size + HugePage : Size;
        void* p = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) throw std::bad_alloc();
        char* start = static_cast<char*>(p);
        if (!Huge) return start;
        char* aligned = reinterpret_cast<char*>((reinterpret_cast<uintptr_t>(start) + HugePage - 1) & ~(HugePage - 1));
        if (aligned != start) munmap(start, size_t(aligned - start));
        munmap(aligned + Size, size_t(start + mapped - (aligned + Size)));
        madvise(aligned, Size, MADV_HUGEPAGE);
        return aligned;
    }

    void* do_allocate(size_t Bytes, size_t Alignment) override {
        size_t start = (FUsed + Alignment - 1) & ~(Alignment - 1);
        if (FBlocks.empty() || start + Bytes > FBlocks.back().Size) {
            size_t size = FBlocks.empty() ? FirstBlock : std::min(FBlocks.back().Size * 2, HugePage);
            size = std::max(size, (Bytes + FirstBlock - 1) / FirstBlock * FirstBlock);
            FBlocks.push_back({MapBlock(size, FMapped >= HugePagesFrom && size % HugePage == 0), size});
            FMapped += size;
            start = 0;
        }
        FUsed = start + Bytes;
        return FBlocks.back().Start + start;
    }
    void do_deallocate(void*, size_t, size_t) override {}
    bool do_is_equal(const std::pmr::memory_resource& Other) const noexcept override { return this == &Other; }

    std::vector<TBlock> FBlocks;
    size_t FUsed = 0;   // of the last block
    size_t FMapped = 0; // of all blocks
};

} // namespace

std::unique_ptr<std::pmr::memory_resource> NewRecordMemoryPool() {
    return std::make_unique<TRecordPool>();
}

TDataSet::TDataSet(TComponent* AOwner) : TComponent(AOwner) {}

TDataSet::~TDataSet() {
    // Descendants have closed already (CloseForDestroy); let go of the rest
    // here, while this object is still whole.
    Destroying();
    for (TDataSource* source : std::vector<TDataSource*>(FDataSources)) {
        source->FDataSet = nullptr;
        source->UpdateState();
    }
    FDataSources.clear();
    DestroyDefaultFields();
    for (TField* field : FFields)
        field->FDataSet = nullptr;
    FFields.clear();
}

void TDataSet::CloseForDestroy() {
    if (!Active()) return;
    SetState(dsInactive);
    CloseCursor();
}

void TDataSet::Loaded() {
    TComponent::Loaded();
    if (FStreamedActive) SetActive(true);
}

void TDataSet::DatabaseError(const std::string& Message) const {
    throw EDatabaseError(Name().empty() ? Message : Name() + ": " + Message);
}

void TDataSet::CheckActive() const {
    if (!Active()) DatabaseError("Cannot perform this operation on a closed dataset");
}

void TDataSet::CheckInactive() const {
    if (Active()) DatabaseError("Cannot perform this operation on an open dataset");
}

void TDataSet::CheckCanModify() const {
    if (!CanModify()) DatabaseError("Cannot modify a read-only dataset");
}

// ---- Opening and closing ----------------------------------------------------

void TDataSet::SetActive(bool Value) {
    if (ComponentState().Contains(csLoading)) {
        FStreamedActive = Value;
        return;
    }
    if (Value == Active()) return;
    if (Value) {
        DoBeforeOpen();
        OpenCursor();
        SetState(dsBrowse);
        DoAfterOpen();
        if (!IsEmpty()) DoAfterScroll();
    } else {
        DoBeforeClose();
        SetState(dsInactive);
        CloseCursor();
        DoAfterClose();
    }
}

void TDataSet::OpenCursor() {
    try {
        FFieldDefs.clear();
        FRecords.clear();
        FRecordMemory.reset();
        InternalOpen();
        CreateFields();
        BindFields();
        RebuildView();
    } catch (...) {
        CloseCursor();
        throw;
    }
    FCurrent = FView.empty() ? -1 : 0;
    FActivePosition = FCurrent;
    FBOF = true;
    FEOF = FView.empty();
    ++FChangeCount;
}

std::pmr::memory_resource* TDataSet::RecordMemory() {
    if (!FRecordMemory) FRecordMemory = NewRecordMemoryPool();
    return FRecordMemory.get();
}

void TDataSet::CloseCursor() {
    FEditBuffer.reset();
    InternalClose();
    FRecords.clear();
    FRecordMemory.reset();
    FView.clear();
    FPositions.clear();
    FPositionsValid = false;
    FFilterExpression.reset();
    DestroyDefaultFields();
    for (TField* field : FFields)
        field->FFieldNo = -1;
    FCurrent = FActivePosition = -1;
    FBOF = FEOF = true;
    ++FChangeCount;
}

void TDataSet::CreateFields() {
    if (!FFields.empty()) return;
    FDefaultFields = true;
    for (size_t i = 0; i < FFieldDefs.size(); ++i) {
        const TFieldDef& def = FFieldDefs[i];
        TField* field = CreateFieldOfType(this, def.DataType);
        // A join may repeat a column name; the copies get a suffix.
        std::string name = def.Name;
        for (int n = 1; FindField(name); ++n)
            name = def.Name + "_" + IntToStr(n);
        field->FFieldName = name;
        field->FDefaultField = true;
        AddField(field);
        field->FFieldNo = Integer(i);
    }
}

void TDataSet::BindFields() {
    for (TField* field : FFields) {
        if (field->FFieldKind != fkData) continue;
        Integer column = field->FFieldNo;
        if (!field->FDefaultField) {
            auto def = std::find_if(FFieldDefs.begin(), FFieldDefs.end(),
                                    [field](const TFieldDef& D) { return SameText(D.Name, field->FFieldName); });
            if (def == FFieldDefs.end()) DatabaseError("Field '" + field->FFieldName + "' not found");
            column = Integer(def - FFieldDefs.begin());
        }
        const TFieldDef& def = FFieldDefs[column];
        field->FFieldNo = column;
        if (IsTextType(field->FDataType) && def.Size > 0) field->FSize = def.Size;
        field->FRequired = field->FRequired || def.Required;
        field->FReadOnly = field->FReadOnly || def.ReadOnly;
        if (auto* bcd = dynamic_cast<TBCDField*>(field); bcd && field->FDefaultField) {
            bcd->FSize = def.Size;
            if (def.Precision > 0) bcd->SetPrecision(def.Precision);
            bcd->SetCurrency(def.Currency);
        }
    }
}

void TDataSet::DestroyDefaultFields() {
    if (!FDefaultFields) return;
    FDefaultFields = false;
    for (TField* field : std::vector<TField*>(FFields))
        if (field->FDefaultField) delete field;
}

void TDataSet::AddField(TField* Field) {
    FFields.push_back(Field);
    Field->FDataSet = this;
}

void TDataSet::RemoveField(TField* Field) {
    FFields.erase(std::remove(FFields.begin(), FFields.end(), Field), FFields.end());
    Field->FDataSet = nullptr;
    Field->FFieldNo = -1;
}

void TDataSet::MoveField(TField* Field, Integer NewIndex) {
    auto it = std::find(FFields.begin(), FFields.end(), Field);
    if (it == FFields.end()) return;
    FFields.erase(it);
    NewIndex = std::clamp<Integer>(NewIndex, 0, Integer(FFields.size()));
    FFields.insert(FFields.begin() + NewIndex, Field);
    if (Active()) DataEvent(deLayoutChange);
}

TField* TDataSet::FindField(const std::string& FieldName) const {
    for (TField* field : FFields)
        if (SameText(field->FFieldName, FieldName)) return field;
    return nullptr;
}

TField* TDataSet::FieldByName(const std::string& FieldName) const {
    TField* field = FindField(FieldName);
    if (!field) DatabaseError("Field '" + FieldName + "' not found");
    return field;
}

// ---- States and notifications -----------------------------------------------

void TDataSet::SetState(TDataSetState Value) {
    if (FState == Value) return;
    FState = Value;
    FModified = false;
    DataEvent(deUpdateState);
}

void TDataSet::ChangeState(TDataSetState Value, TWindowRule Rule) {
    bool changed = FState != Value;
    FState = Value;
    if (changed) FModified = false;
    PlaceLinkWindows(Rule);
    if (changed) DataEvent(deUpdateState);
}

void TDataSet::DataEvent(TDataEvent Event, void* Info) {
    bool notify = FDisableCount == 0;
    if (Event == deFieldChange && static_cast<TField*>(Info)->FFieldKind == fkData) FModified = true;
    if (Event == deLayoutChange && !notify) FEnableEvent = deLayoutChange;
    if (!notify) return;
    for (TDataSource* source : std::vector<TDataSource*>(FDataSources))
        if (std::find(FDataSources.begin(), FDataSources.end(), source) != FDataSources.end())
            source->DataEvent(Event, Info);
}

void TDataSet::DisableControls() {
    if (FDisableCount == 0) {
        FDisableState = FState;
        FEnableEvent = deDataSetChange;
    }
    ++FDisableCount;
}

void TDataSet::EnableControls() {
    if (FDisableCount == 0 || --FDisableCount != 0) return;
    if (FDisableState != FState) DataEvent(deUpdateState);
    if (FDisableState != dsInactive && FState != dsInactive) DataEvent(FEnableEvent);
}

std::vector<TDataLink*> TDataSet::ActiveLinks() const {
    std::vector<TDataLink*> links;
    for (TDataSource* source : FDataSources)
        for (TDataLink* link : source->FDataLinks)
            if (link->FActive) links.push_back(link);
    return links;
}

void TDataSet::PlaceLinkWindows(TWindowRule Rule) {
    for (TDataLink* link : ActiveLinks())
        PlaceLinkWindow(link, Rule);
}

// The window always holds the current record and, where the records allow,
// is full: a window that would run past the last record slides back.
void TDataSet::PlaceLinkWindow(TDataLink* Link, TWindowRule Rule) const {
    Integer count = ViewCount();
    Integer size = std::max<Integer>(1, Link->FBufferCount);
    Integer top = Link->FFirstRecord;
    if (count == 0 || FCurrent < 0) {
        top = 0;
    } else {
        switch (Rule) {
        case TWindowRule::First:
            top = FCurrent;
            break;
        case TWindowRule::Last:
            top = FCurrent - size + 1;
            break;
        case TWindowRule::Center:
            top = FCurrent - (size - 1) / 2;
            break;
        case TWindowRule::Keep:
            break;
        }
        if (FCurrent < top) top = FCurrent;
        if (FCurrent > top + size - 1) top = FCurrent - size + 1;
        if (top + size > count) top = count - size;
        if (top < 0) top = 0;
    }
    Link->FScrollDistance = top - Link->FFirstRecord;
    Link->FFirstRecord = top;
}

// ---- The view ---------------------------------------------------------------

Integer TDataSet::ViewCount() const {
    return Integer(FView.size()) + (FState == dsInsert ? 1 : 0);
}

TRecordBuffer* TDataSet::ViewRecord(Integer Position) const {
    if (Position < 0 || Position >= ViewCount()) return nullptr;
    if (FState == dsInsert) {
        if (Position == FInsertPosition) return FEditBuffer.get();
        if (Position > FInsertPosition) --Position;
    }
    return FView[Position];
}

const TRecordBuffer* TDataSet::ActiveBuffer() const {
    if (FState == dsInactive) return nullptr;
    if ((FState == dsEdit || FState == dsInsert) && FActivePosition == FCurrent) return FEditBuffer.get();
    return ViewRecord(FActivePosition);
}

Integer TDataSet::PositionOf(Int64 Id) const {
    if (!FPositionsValid) {
        FPositions.clear();
        FPositions.reserve(FView.size());
        for (size_t i = 0; i < FView.size(); ++i)
            FPositions.emplace(FView[i]->Id, Integer(i));
        FPositionsValid = true;
    }
    auto it = FPositions.find(Id);
    return it == FPositions.end() ? -1 : it->second;
}

void TDataSet::ParseFilter(const std::string& Text) {
    if (Text.empty()) {
        FFilterExpression.reset();
        return;
    }
    FFilterExpression =
        std::make_unique<TFilterExpression>(Text, [this](const std::string& Name) { return FindField(Name); });
}

void TDataSet::RebuildView() {
    FView.clear();
    FPositionsValid = false;
    if (FFiltered && !FFilterText.empty() && !FFilterExpression) ParseFilter(FFilterText);
    if (!FFiltered || !FFilterExpression) {
        FView.reserve(FRecords.size());
        for (auto& record : FRecords)
            FView.push_back(record.get());
        return;
    }
    const TRecordBuffer* current = nullptr;
    TFilterExpression::TFieldValue valueOf = [this, &current](const TField* Field) {
        return FieldValueOf(Field, current);
    };
    bool caseInsensitive = FFilterOptions.Contains(foCaseInsensitive);
    for (auto& record : FRecords) {
        current = record.get();
        if (FFilterExpression->Evaluate(valueOf, caseInsensitive)) FView.push_back(record.get());
    }
}

Variant TDataSet::FieldValueOf(const TField* Field, const TRecordBuffer* Record) const {
    if (!Record) return Null();
    if (Field->FFieldKind == fkLookup) {
        TDataSet* source = Field->FLookupDataSet;
        if (!source || !source->Active()) return Null();
        std::vector<Variant> keys;
        for (const std::string& name : SplitFieldNames(Field->FKeyFields))
            keys.push_back(FieldValueOf(FieldByName(name), Record));
        return source->Lookup(Field->FLookupKeyFields, keys, Field->FLookupResultField);
    }
    return Record->Value(Field->FFieldNo);
}

void TDataSet::SetFieldValue(TField* Field, const Variant& Value) {
    if (FState != dsEdit && FState != dsInsert) DatabaseError("Dataset not in edit or insert mode");
    if (Field->FFieldKind != fkData || Field->FFieldNo < 0 || Field->FReadOnly)
        DatabaseError("Field '" + Field->DisplayName() + "' cannot be modified");
    Variant old = FEditBuffer->Value(Field->FFieldNo);
    FEditBuffer->SetValue(Field->FFieldNo, Value);
    try {
        Field->DoValidate();
    } catch (...) {
        FEditBuffer->SetValue(Field->FFieldNo, old);
        throw;
    }
    DataEvent(deFieldChange, Field);
    Field->DoChange();
}

// ---- Cursor -----------------------------------------------------------------

void TDataSet::First() {
    CheckBrowseMode();
    DoBeforeScroll();
    FCurrent = FActivePosition = FView.empty() ? -1 : 0;
    FBOF = true;
    FEOF = FView.empty();
    PlaceLinkWindows(TWindowRule::First);
    DataEvent(deDataSetChange);
    DoAfterScroll();
}

void TDataSet::Last() {
    CheckBrowseMode();
    DoBeforeScroll();
    FCurrent = FActivePosition = Integer(FView.size()) - 1;
    FBOF = FView.empty();
    FEOF = true;
    PlaceLinkWindows(TWindowRule::Last);
    DataEvent(deDataSetChange);
    DoAfterScroll();
}

Integer TDataSet::MoveBy(Integer Distance) {
    CheckBrowseMode();
    Integer result = 0;
    DoBeforeScroll();
    if ((Distance > 0 && !FEOF) || (Distance < 0 && !FBOF)) {
        FBOF = FEOF = false;
        Int64 target = Int64(FCurrent) + Distance;
        if (target >= Int64(FView.size())) {
            target = Int64(FView.size()) - 1;
            FEOF = true;
        }
        if (target < 0) {
            target = 0;
            FBOF = true;
        }
        result = Integer(target) - FCurrent;
        FCurrent = FActivePosition = Integer(target);
        PlaceLinkWindows(TWindowRule::Keep);
        DataEvent(deDataSetScroll);
        DoAfterScroll();
    }
    return result;
}

void TDataSet::JumpTo(Integer Position) {
    FCurrent = FActivePosition = Position;
    FBOF = FEOF = false;
    PlaceLinkWindows(TWindowRule::Center);
    DataEvent(deDataSetChange);
    DoAfterScroll();
}

Integer TDataSet::RecNo() const {
    if (FState == dsInactive) return -1;
    const TRecordBuffer* buffer = ActiveBuffer();
    if (!buffer || (FState == dsInsert && buffer == FEditBuffer.get())) return -1;
    Integer position = FActivePosition;
    if (FState == dsInsert && position > FInsertPosition) --position;
    return position + 1;
}

void TDataSet::SetRecNo(Integer Value) {
    CheckBrowseMode();
    if (FView.empty()) return;
    Value = std::clamp<Integer>(Value, 1, Integer(FView.size()));
    if (Value - 1 == FCurrent) return;
    DoBeforeScroll();
    JumpTo(Value - 1);
}

Integer TDataSet::RecordCount() const {
    CheckActive();
    return Integer(FView.size());
}

// ---- Bookmarks --------------------------------------------------------------

TBookmarkStr TDataSet::Bookmark() const {
    const TRecordBuffer* buffer = ActiveBuffer();
    if (!buffer || (FState == dsInsert && buffer == FEditBuffer.get())) return TBookmarkStr();
    return EncodeBookmark(buffer->Id);
}

bool TDataSet::BookmarkValid(const TBookmarkStr& Value) const {
    Int64 id = DecodeBookmark(Value);
    return Active() && id != 0 && PositionOf(id) >= 0;
}

void TDataSet::GotoBookmark(const TBookmarkStr& Value) {
    if (Value.empty()) return;
    CheckBrowseMode();
    Int64 id = DecodeBookmark(Value);
    Integer position = id != 0 ? PositionOf(id) : -1;
    if (position < 0) DatabaseError("Record not found");
    DoBeforeScroll();
    JumpTo(position);
}

int TDataSet::CompareBookmarks(const TBookmarkStr& Bookmark1, const TBookmarkStr& Bookmark2) const {
    auto key = [this](const TBookmarkStr& B) -> std::pair<int, Int64> {
        if (B.empty()) return {0, 0};
        Int64 id = DecodeBookmark(B);
        Integer position = id != 0 && Active() ? PositionOf(id) : -1;
        if (position >= 0) return {1, position};
        return {2, id};
    };
    auto a = key(Bookmark1), b = key(Bookmark2);
    return a < b ? -1 : (b < a ? 1 : 0);
}

// ---- Searching --------------------------------------------------------------

Integer TDataSet::FindRecord(const std::string& KeyFields, const std::vector<Variant>& KeyValues,
                             TLocateOptions Options) const {
    std::vector<std::string> names = SplitFieldNames(KeyFields);
    if (names.empty() || names.size() != KeyValues.size()) DatabaseError("Key fields and key values do not correspond");
    std::vector<TSearchKey> keys;
    for (size_t i = 0; i < names.size(); ++i)
        keys.push_back(PrepareKey(FieldByName(names[i]), KeyValues[i], Options));
    for (size_t position = 0; position < FView.size(); ++position) {
        const TRecordBuffer* record = FView[position];
        bool match = true;
        for (const TSearchKey& key : keys)
            if (!KeyMatches(key, FieldValueOf(key.Field, record), Options)) {
                match = false;
                break;
            }
        if (match) return Integer(position);
    }
    return -1;
}

bool TDataSet::Locate(const std::string& KeyFields, const Variant& KeyValue, TLocateOptions Options) {
    return Locate(KeyFields, std::vector<Variant>{KeyValue}, Options);
}

bool TDataSet::Locate(const std::string& KeyFields, const std::vector<Variant>& KeyValues, TLocateOptions Options) {
    CheckBrowseMode();
    DoBeforeScroll();
    Integer position = FindRecord(KeyFields, KeyValues, Options);
    if (position < 0) return false;
    JumpTo(position);
    return true;
}

Variant TDataSet::Lookup(const std::string& KeyFields, const Variant& KeyValue, const std::string& ResultFields) const {
    return Lookup(KeyFields, std::vector<Variant>{KeyValue}, ResultFields);
}

Variant TDataSet::Lookup(const std::string& KeyFields, const std::vector<Variant>& KeyValues,
                         const std::string& ResultFields) const {
    if (!Active()) return Null();
    Integer position = FindRecord(KeyFields, KeyValues, TLocateOptions());
    if (position < 0) return Null();
    return FieldValueOf(FieldByName(ResultFields), FView[position]);
}

// ---- Editing ----------------------------------------------------------------

void TDataSet::CheckBrowseMode() {
    CheckActive();
    DataEvent(deCheckBrowseMode);
    if (FState == dsEdit || FState == dsInsert) {
        UpdateRecord();
        if (FModified)
            Post();
        else
            Cancel();
    }
}

void TDataSet::UpdateRecord() {
    if (FState != dsEdit && FState != dsInsert) DatabaseError("Dataset not in edit or insert mode");
    DataEvent(deUpdateRecord);
}

void TDataSet::BeginInsertAppend() {
    CheckBrowseMode();
    CheckCanModify();
    DoBeforeInsert();
    DoBeforeScroll();
    FEditBuffer = TRecordBuffer::Create();
    FEditBuffer->Id = NewRecordId();
    std::string blank;
    for (size_t c = 0; c < FFieldDefs.size(); ++c)
        TRecordBuffer::PackValue(blank, Null());
    FEditBuffer->SetPackedValues(blank);
}

void TDataSet::EndInsertAppend() {
    ++FChangeCount;
    try {
        DoOnNewRecord();
    } catch (...) {
        FEditBuffer.reset();
        FCurrent = FActivePosition = std::min(FInsertPosition, Integer(FView.size()) - 1);
        ChangeState(dsBrowse, TWindowRule::Keep);
        DataEvent(deDataSetChange);
        throw;
    }
    FModified = false;
    DataEvent(deDataSetChange);
    DoAfterInsert();
    DoAfterScroll();
}

void TDataSet::Insert() {
    BeginInsertAppend();
    FInsertPosition = std::max<Integer>(FCurrent, 0);
    FCurrent = FActivePosition = FInsertPosition;
    ChangeState(dsInsert, TWindowRule::Keep);
    EndInsertAppend();
}

void TDataSet::Append() {
    BeginInsertAppend();
    FInsertPosition = Integer(FView.size());
    FCurrent = FActivePosition = FInsertPosition;
    FBOF = false;
    FEOF = true;
    ChangeState(dsInsert, TWindowRule::Last);
    EndInsertAppend();
}

void TDataSet::Edit() {
    if (FState == dsEdit || FState == dsInsert) return;
    CheckActive();
    if (FView.empty()) {
        Insert();
        return;
    }
    CheckBrowseMode();
    CheckCanModify();
    DoBeforeEdit();
    FEditBuffer = TRecordBuffer::Create(*FView[FCurrent]);
    FActivePosition = FCurrent;
    ChangeState(dsEdit, TWindowRule::Keep);
    DataEvent(deRecordChange);
    DoAfterEdit();
}

void TDataSet::CheckRequiredFields() const {
    for (TField* field : FFields) {
        if (!field->FRequired || field->FReadOnly || field->FFieldKind != fkData || field->FFieldNo < 0) continue;
        if (IsBlank(FEditBuffer->Value(field->FFieldNo))) {
            field->FocusControl();
            DatabaseError("Field '" + field->DisplayName() + "' must have a value");
        }
    }
}

void TDataSet::Post() {
    UpdateRecord();
    DataEvent(deCheckBrowseMode);
    DoBeforePost();
    CheckRequiredFields();
    if (FState == dsEdit) {
        TRecordBuffer* old = FView[FCurrent];
        InternalPost(old, *FEditBuffer);
        old->AssignValues(*FEditBuffer);
    } else {
        InternalPost(nullptr, *FEditBuffer);
        TRecordBuffer* record = FEditBuffer.get();
        auto before = FRecords.end();
        if (size_t(FInsertPosition) < FView.size()) {
            const TRecordBuffer* next = FView[FInsertPosition];
            before = std::find_if(FRecords.begin(), FRecords.end(), [next](auto& R) { return R.get() == next; });
        }
        FRecords.insert(before, std::move(FEditBuffer));
        FView.insert(FView.begin() + FInsertPosition, record);
        FPositionsValid = false;
    }
    FEditBuffer.reset();
    FActivePosition = FCurrent;
    FBOF = FEOF = false;
    ++FChangeCount;
    ChangeState(dsBrowse, TWindowRule::Keep);
    DataEvent(deDataSetChange);
    DoAfterPost();
}

void TDataSet::Cancel() {
    if (FState != dsEdit && FState != dsInsert) return;
    DataEvent(deCheckBrowseMode);
    DoBeforeCancel();
    bool wasInsert = FState == dsInsert;
    if (wasInsert) DoBeforeScroll();
    FEditBuffer.reset();
    if (wasInsert) FCurrent = std::min(FInsertPosition, Integer(FView.size()) - 1);
    FActivePosition = FCurrent;
    FBOF = FEOF = FView.empty();
    ++FChangeCount;
    ChangeState(dsBrowse, TWindowRule::Keep);
    DataEvent(deDataSetChange);
    DoAfterCancel();
    if (wasInsert) DoAfterScroll();
}

void TDataSet::Delete() {
    CheckActive();
    if (FState == dsInsert || FState == dsSetKey) {
        Cancel();
        return;
    }
    if (FView.empty()) DatabaseError("Cannot perform this operation on an empty dataset");
    DataEvent(deCheckBrowseMode);
    DoBeforeDelete();
    DoBeforeScroll();
    TRecordBuffer* record = FView[FCurrent];
    InternalDelete(*record);
    FView.erase(FView.begin() + FCurrent);
    FRecords.erase(std::find_if(FRecords.begin(), FRecords.end(), [record](auto& R) { return R.get() == record; }));
    FPositionsValid = false;
    FEditBuffer.reset();
    FCurrent = FActivePosition = std::min(FCurrent, Integer(FView.size()) - 1);
    FBOF = FEOF = FView.empty();
    ++FChangeCount;
    ChangeState(dsBrowse, TWindowRule::Keep);
    DataEvent(deDataSetChange);
    DoAfterDelete();
    DoAfterScroll();
}

void TDataSet::Refresh() {
    CheckBrowseMode();
    Int64 currentId = FCurrent >= 0 ? FView[FCurrent]->Id : 0;
    InternalRefresh();
    RebuildView();
    Integer position = currentId != 0 ? PositionOf(currentId) : -1;
    if (position < 0) position = std::min(FCurrent, Integer(FView.size()) - 1);
    if (position < 0 && !FView.empty()) position = 0;
    FCurrent = FActivePosition = position;
    FBOF = FEOF = FView.empty();
    ++FChangeCount;
    PlaceLinkWindows(TWindowRule::Keep);
    DataEvent(deDataSetChange);
}

// ---- Filter -----------------------------------------------------------------

void TDataSet::SetFilter(const std::string& Value) {
    if (Value == FFilterText) return;
    if (Active() && FFiltered) {
        CheckBrowseMode();
        ParseFilter(Value);
        FFilterText = Value;
        FilterChanged();
    } else {
        FFilterText = Value;
        FFilterExpression.reset();
    }
}

void TDataSet::SetFiltered(bool Value) {
    if (Value == FFiltered) return;
    if (Active()) {
        CheckBrowseMode();
        if (Value) ParseFilter(FFilterText);
        FFiltered = Value;
        FilterChanged();
    } else {
        FFiltered = Value;
    }
}

void TDataSet::SetFilterOptions(TFilterOptions Value) {
    if (Value == FFilterOptions) return;
    FFilterOptions = Value;
    if (Active() && FFiltered) {
        CheckBrowseMode();
        FilterChanged();
    }
}

// The current record stays current when the filter still shows it; else
// the first record becomes current.
void TDataSet::FilterChanged() {
    DoBeforeScroll();
    Int64 currentId = FCurrent >= 0 ? FView[FCurrent]->Id : 0;
    RebuildView();
    Integer position = currentId != 0 ? PositionOf(currentId) : -1;
    bool kept = position >= 0;
    if (!kept) position = FView.empty() ? -1 : 0;
    FCurrent = FActivePosition = position;
    FBOF = !kept;
    FEOF = FView.empty();
    ++FChangeCount;
    PlaceLinkWindows(kept ? TWindowRule::Keep : TWindowRule::First);
    DataEvent(deDataSetChange);
    DoAfterScroll();
}

// ---- Events -----------------------------------------------------------------

#define CORVANTA_DATASET_EVENT(Name)                                                                                   \
    void TDataSet::Do##Name() {                                                                                        \
        if (Name) Name(this);                                                                                          \
    }
CORVANTA_DATASET_EVENT(BeforeOpen)
CORVANTA_DATASET_EVENT(AfterOpen)
CORVANTA_DATASET_EVENT(BeforeClose)
CORVANTA_DATASET_EVENT(AfterClose)
CORVANTA_DATASET_EVENT(BeforeInsert)
CORVANTA_DATASET_EVENT(AfterInsert)
CORVANTA_DATASET_EVENT(BeforeEdit)
CORVANTA_DATASET_EVENT(AfterEdit)
CORVANTA_DATASET_EVENT(BeforePost)
CORVANTA_DATASET_EVENT(AfterPost)
CORVANTA_DATASET_EVENT(BeforeCancel)
CORVANTA_DATASET_EVENT(AfterCancel)
CORVANTA_DATASET_EVENT(BeforeDelete)
CORVANTA_DATASET_EVENT(AfterDelete)
CORVANTA_DATASET_EVENT(BeforeScroll)
CORVANTA_DATASET_EVENT(AfterScroll)
CORVANTA_DATASET_EVENT(OnNewRecord)
#undef CORVANTA_DATASET_EVENT

// ---- Guards -----------------------------------------------------------------

TDisableControlsScope::TDisableControlsScope(TDataSet* DataSet) : FEnableControls(DisableControls(DataSet)) {}

TDisableControlsScope::TEnableControls TDisableControlsScope::DisableControls(TDataSet* DataSet) {
    DataSet->DisableControls();
    return {DataSet};
}

void TDisableControlsScope::TEnableControls::operator()() const {
    DataSet->EnableControls();
}

TActiveRecordScope::TActiveRecordScope(TDataLink* Link, Integer Row) : FLink(Link), FSaved(Link->ActiveRecord()) {
    FLink->SetActiveRecord(Row);
}

TActiveRecordScope::~TActiveRecordScope() {
    FLink->SetActiveRecord(FSaved);
}
