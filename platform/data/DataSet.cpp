// The dataset: states, cursor, record-buffer windows of the data links, the
// edit cycle with its events in the framework's order, bookmarks, Locate and
// the filter. Records are in memory; descendants fill them and write back.
#include <sys/mman.h>

#include <algorithm>
#include <cstring>

#include "platform/data/DB.h"
#include "platform/data/FilterExpression.h"

namespace {

TBookmarkStr EncodeBookmark(Int64 Id) {
    TBookmarkStr Result(8, '\0');
    for (int i = 7; i >= 0; --i) {
        Result[i] = char(Id & 0xFF);
        Id >>= 8;
    }
    return Result;
}

Int64 DecodeBookmark(const TBookmarkStr& Bookmark) {
    if (Bookmark.size() != 8) return 0;
    Int64 Id = 0;
    for (unsigned char C : Bookmark)
        Id = (Id << 8) | C;
    return Id;
}

std::vector<std::string> SplitFieldNames(const std::string& Names) {
    std::vector<std::string> Result;
    size_t Start = 0;
    for (;;) {
        size_t End = Names.find(';', Start);
        std::string Name = Trim(Names.substr(Start, End == std::string::npos ? std::string::npos : End - Start));
        if (!Name.empty()) Result.push_back(Name);
        if (End == std::string::npos) break;
        Start = End + 1;
    }
    return Result;
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
    TSearchKey Result{Field, TSearchKey::skValue, {}, {}};
    if (IsBlank(Key)) {
        Result.Kind = TSearchKey::skBlank;
        return Result;
    }
    TFieldType T = Field->DataType();
    try {
        if (IsTextType(T) || (Key.VarType() == varString && !IsNumberType(T) && !IsDateType(T) && T != ftBoolean)) {
            Result.Kind = TSearchKey::skText;
            Result.Text = Options.Contains(loCaseInsensitive) ? AnsiUpperCase(Key.AsString()) : Key.AsString();
        } else if (T == ftBCD) {
            // Money compares exactly, as Currency.
            Result.Value =
                Variant::FromCurrency(Key.VarType() == varString ? StrToCurr(Key.AsString()) : Key.AsCurrency());
        } else if (IsNumberType(T)) {
            Result.Value = Variant(Key.VarType() == varString ? StrToFloat(Key.AsString()) : Key.AsFloat());
        } else if (IsDateType(T)) {
            TDateTime D = 0;
            if (Key.VarType() == varString) {
                std::string S = Trim(Key.AsString());
                if (!TryStrToDateTime(S, D) && !TryStrToDate(S, D)) Result.Kind = TSearchKey::skNever;
            } else {
                D = Key.AsDateTime();
            }
            Result.Value = Variant::FromDateTime(D);
        } else if (T == ftBoolean) {
            Result.Value = Variant(Key.AsBoolean());
        } else {
            Result.Value = Key;
        }
    } catch (const EConvertError&) {
        // A key that cannot take the field's type matches no record.
        Result.Kind = TSearchKey::skNever;
    }
    return Result;
}

bool KeyMatches(const TSearchKey& Key, const Variant& V, TLocateOptions Options) {
    switch (Key.Kind) {
    case TSearchKey::skBlank:
        return IsBlank(V);
    case TSearchKey::skNever:
        return false;
    case TSearchKey::skText: {
        if (IsBlank(V)) return false;
        std::string S = Options.Contains(loCaseInsensitive) ? AnsiUpperCase(V.AsString()) : V.AsString();
        if (Options.Contains(loPartialKey)) return S.compare(0, Key.Text.size(), Key.Text) == 0;
        return S == Key.Text;
    }
    case TSearchKey::skValue:
        return !IsBlank(V) && VarCompare(V, Key.Value) == 0;
    }
    return false;
}

// Hands out whole blocks of memory whose pages are mapped in at once: a
// large result touches tens of megabytes, and faulting them in page by page
// costs more than reading the rows.
class TPrefaultedPages : public std::pmr::memory_resource {
    void* do_allocate(size_t Bytes, size_t Alignment) override {
        if (Bytes < MinimumBlock) return std::pmr::new_delete_resource()->allocate(Bytes, Alignment);
        void* P = mmap(nullptr, Bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
        if (P == MAP_FAILED) throw std::bad_alloc();
        return P;
    }
    void do_deallocate(void* P, size_t Bytes, size_t Alignment) override {
        if (Bytes < MinimumBlock)
            std::pmr::new_delete_resource()->deallocate(P, Bytes, Alignment);
        else
            munmap(P, Bytes);
    }
    bool do_is_equal(const std::pmr::memory_resource& Other) const noexcept override { return this == &Other; }

public:
    static constexpr size_t MinimumBlock = 1 << 20;
};

TPrefaultedPages PrefaultedPages;

} // namespace

std::unique_ptr<std::pmr::memory_resource> NewRecordMemoryPool() {
    // Start at a block worth mapping; the pool doubles from there.
    return std::make_unique<std::pmr::monotonic_buffer_resource>(TPrefaultedPages::MinimumBlock, &PrefaultedPages);
}

TDataSet::TDataSet(TComponent* AOwner) : TComponent(AOwner) {}

TDataSet::~TDataSet() {
    // Descendants have closed already (CloseForDestroy); let go of the rest
    // here, while this object is still whole.
    Destroying();
    for (TDataSource* Source : std::vector<TDataSource*>(FDataSources)) {
        Source->FDataSet = nullptr;
        Source->UpdateState();
    }
    FDataSources.clear();
    DestroyDefaultFields();
    for (TField* Field : FFields)
        Field->FDataSet = nullptr;
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
    for (TField* Field : FFields)
        Field->FFieldNo = -1;
    FCurrent = FActivePosition = -1;
    FBOF = FEOF = true;
}

void TDataSet::CreateFields() {
    if (!FFields.empty()) return;
    FDefaultFields = true;
    for (size_t i = 0; i < FFieldDefs.size(); ++i) {
        const TFieldDef& Def = FFieldDefs[i];
        TField* Field = CreateFieldOfType(this, Def.DataType);
        // A join may repeat a column name; the copies get a suffix.
        std::string Name = Def.Name;
        for (int n = 1; FindField(Name); ++n)
            Name = Def.Name + "_" + IntToStr(n);
        Field->FFieldName = Name;
        Field->FDefaultField = true;
        AddField(Field);
        Field->FFieldNo = Integer(i);
    }
}

void TDataSet::BindFields() {
    for (TField* Field : FFields) {
        if (Field->FFieldKind != fkData) continue;
        Integer Column = Field->FFieldNo;
        if (!Field->FDefaultField) {
            auto Def = std::find_if(FFieldDefs.begin(), FFieldDefs.end(),
                                    [Field](const TFieldDef& D) { return SameText(D.Name, Field->FFieldName); });
            if (Def == FFieldDefs.end()) DatabaseError("Field '" + Field->FFieldName + "' not found");
            Column = Integer(Def - FFieldDefs.begin());
        }
        const TFieldDef& Def = FFieldDefs[Column];
        Field->FFieldNo = Column;
        if (IsTextType(Field->FDataType) && Def.Size > 0) Field->FSize = Def.Size;
        Field->FRequired = Field->FRequired || Def.Required;
        Field->FReadOnly = Field->FReadOnly || Def.ReadOnly;
        if (auto* Bcd = dynamic_cast<TBCDField*>(Field); Bcd && Field->FDefaultField) {
            Bcd->FSize = Def.Size;
            if (Def.Precision > 0) Bcd->SetPrecision(Def.Precision);
            Bcd->SetCurrency(Def.Currency);
        }
    }
}

void TDataSet::DestroyDefaultFields() {
    if (!FDefaultFields) return;
    FDefaultFields = false;
    for (TField* Field : std::vector<TField*>(FFields))
        if (Field->FDefaultField) delete Field;
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
    auto It = std::find(FFields.begin(), FFields.end(), Field);
    if (It == FFields.end()) return;
    FFields.erase(It);
    NewIndex = std::clamp<Integer>(NewIndex, 0, Integer(FFields.size()));
    FFields.insert(FFields.begin() + NewIndex, Field);
    if (Active()) DataEvent(deLayoutChange);
}

TField* TDataSet::FindField(const std::string& FieldName) const {
    for (TField* Field : FFields)
        if (SameText(Field->FFieldName, FieldName)) return Field;
    return nullptr;
}

TField* TDataSet::FieldByName(const std::string& FieldName) const {
    TField* Field = FindField(FieldName);
    if (!Field) DatabaseError("Field '" + FieldName + "' not found");
    return Field;
}

// ---- States and notifications -----------------------------------------------

void TDataSet::SetState(TDataSetState Value) {
    if (FState == Value) return;
    FState = Value;
    FModified = false;
    DataEvent(deUpdateState);
}

void TDataSet::ChangeState(TDataSetState Value, TWindowRule Rule) {
    bool Changed = FState != Value;
    FState = Value;
    if (Changed) FModified = false;
    PlaceLinkWindows(Rule);
    if (Changed) DataEvent(deUpdateState);
}

void TDataSet::DataEvent(TDataEvent Event, void* Info) {
    bool Notify = FDisableCount == 0;
    if (Event == deFieldChange && static_cast<TField*>(Info)->FFieldKind == fkData) FModified = true;
    if (Event == deLayoutChange && !Notify) FEnableEvent = deLayoutChange;
    if (!Notify) return;
    for (TDataSource* Source : std::vector<TDataSource*>(FDataSources))
        if (std::find(FDataSources.begin(), FDataSources.end(), Source) != FDataSources.end())
            Source->DataEvent(Event, Info);
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
    std::vector<TDataLink*> Links;
    for (TDataSource* Source : FDataSources)
        for (TDataLink* Link : Source->FDataLinks)
            if (Link->FActive) Links.push_back(Link);
    return Links;
}

void TDataSet::PlaceLinkWindows(TWindowRule Rule) {
    for (TDataLink* Link : ActiveLinks())
        PlaceLinkWindow(Link, Rule);
}

// The window always holds the current record and, where the records allow,
// is full: a window that would run past the last record slides back.
void TDataSet::PlaceLinkWindow(TDataLink* Link, TWindowRule Rule) const {
    Integer Count = ViewCount();
    Integer Size = std::max<Integer>(1, Link->FBufferCount);
    Integer Top = Link->FFirstRecord;
    if (Count == 0 || FCurrent < 0) {
        Top = 0;
    } else {
        switch (Rule) {
        case TWindowRule::First:
            Top = FCurrent;
            break;
        case TWindowRule::Last:
            Top = FCurrent - Size + 1;
            break;
        case TWindowRule::Center:
            Top = FCurrent - (Size - 1) / 2;
            break;
        case TWindowRule::Keep:
            break;
        }
        if (FCurrent < Top) Top = FCurrent;
        if (FCurrent > Top + Size - 1) Top = FCurrent - Size + 1;
        if (Top + Size > Count) Top = Count - Size;
        if (Top < 0) Top = 0;
    }
    Link->FScrollDistance = Top - Link->FFirstRecord;
    Link->FFirstRecord = Top;
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
    auto It = FPositions.find(Id);
    return It == FPositions.end() ? -1 : It->second;
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
        for (auto& Record : FRecords)
            FView.push_back(Record.get());
        return;
    }
    const TRecordBuffer* Current = nullptr;
    TFilterExpression::TFieldValue ValueOf = [this, &Current](const TField* Field) {
        return FieldValueOf(Field, Current);
    };
    bool CaseInsensitive = FFilterOptions.Contains(foCaseInsensitive);
    for (auto& Record : FRecords) {
        Current = Record.get();
        if (FFilterExpression->Evaluate(ValueOf, CaseInsensitive)) FView.push_back(Record.get());
    }
}

Variant TDataSet::FieldValueOf(const TField* Field, const TRecordBuffer* Record) const {
    if (!Record) return Null();
    if (Field->FFieldKind == fkLookup) {
        TDataSet* Source = Field->FLookupDataSet;
        if (!Source || !Source->Active()) return Null();
        std::vector<Variant> Keys;
        for (const std::string& Name : SplitFieldNames(Field->FKeyFields))
            Keys.push_back(FieldValueOf(FieldByName(Name), Record));
        return Source->Lookup(Field->FLookupKeyFields, Keys, Field->FLookupResultField);
    }
    if (Field->FFieldNo < 0 || size_t(Field->FFieldNo) >= Record->Values.size()) return Null();
    return Record->Values[Field->FFieldNo];
}

void TDataSet::SetFieldValue(TField* Field, const Variant& Value) {
    if (FState != dsEdit && FState != dsInsert) DatabaseError("Dataset not in edit or insert mode");
    if (Field->FFieldKind != fkData || Field->FFieldNo < 0 || Field->FReadOnly)
        DatabaseError("Field '" + Field->DisplayName() + "' cannot be modified");
    Variant& Slot = FEditBuffer->Values[Field->FFieldNo];
    Variant Old = Slot;
    Slot = Value;
    try {
        Field->DoValidate();
    } catch (...) {
        Slot = Old;
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
    Integer Result = 0;
    DoBeforeScroll();
    if ((Distance > 0 && !FEOF) || (Distance < 0 && !FBOF)) {
        FBOF = FEOF = false;
        Int64 Target = Int64(FCurrent) + Distance;
        if (Target >= Int64(FView.size())) {
            Target = Int64(FView.size()) - 1;
            FEOF = true;
        }
        if (Target < 0) {
            Target = 0;
            FBOF = true;
        }
        Result = Integer(Target) - FCurrent;
        FCurrent = FActivePosition = Integer(Target);
        PlaceLinkWindows(TWindowRule::Keep);
        DataEvent(deDataSetScroll);
        DoAfterScroll();
    }
    return Result;
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
    const TRecordBuffer* Buffer = ActiveBuffer();
    if (!Buffer || (FState == dsInsert && Buffer == FEditBuffer.get())) return -1;
    Integer Position = FActivePosition;
    if (FState == dsInsert && Position > FInsertPosition) --Position;
    return Position + 1;
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
    const TRecordBuffer* Buffer = ActiveBuffer();
    if (!Buffer || (FState == dsInsert && Buffer == FEditBuffer.get())) return TBookmarkStr();
    return EncodeBookmark(Buffer->Id);
}

bool TDataSet::BookmarkValid(const TBookmarkStr& Value) const {
    Int64 Id = DecodeBookmark(Value);
    return Active() && Id != 0 && PositionOf(Id) >= 0;
}

void TDataSet::GotoBookmark(const TBookmarkStr& Value) {
    if (Value.empty()) return;
    CheckBrowseMode();
    Int64 Id = DecodeBookmark(Value);
    Integer Position = Id != 0 ? PositionOf(Id) : -1;
    if (Position < 0) DatabaseError("Record not found");
    DoBeforeScroll();
    JumpTo(Position);
}

int TDataSet::CompareBookmarks(const TBookmarkStr& Bookmark1, const TBookmarkStr& Bookmark2) const {
    auto Key = [this](const TBookmarkStr& B) -> std::pair<int, Int64> {
        if (B.empty()) return {0, 0};
        Int64 Id = DecodeBookmark(B);
        Integer Position = Id != 0 && Active() ? PositionOf(Id) : -1;
        if (Position >= 0) return {1, Position};
        return {2, Id};
    };
    auto A = Key(Bookmark1), B = Key(Bookmark2);
    return A < B ? -1 : (B < A ? 1 : 0);
}

// ---- Searching --------------------------------------------------------------

Integer TDataSet::FindRecord(const std::string& KeyFields, const std::vector<Variant>& KeyValues,
                             TLocateOptions Options) const {
    std::vector<std::string> Names = SplitFieldNames(KeyFields);
    if (Names.empty() || Names.size() != KeyValues.size()) DatabaseError("Key fields and key values do not correspond");
    std::vector<TSearchKey> Keys;
    for (size_t i = 0; i < Names.size(); ++i)
        Keys.push_back(PrepareKey(FieldByName(Names[i]), KeyValues[i], Options));
    for (size_t Position = 0; Position < FView.size(); ++Position) {
        const TRecordBuffer* Record = FView[Position];
        bool Match = true;
        for (const TSearchKey& Key : Keys)
            if (!KeyMatches(Key, FieldValueOf(Key.Field, Record), Options)) {
                Match = false;
                break;
            }
        if (Match) return Integer(Position);
    }
    return -1;
}

bool TDataSet::Locate(const std::string& KeyFields, const Variant& KeyValue, TLocateOptions Options) {
    return Locate(KeyFields, std::vector<Variant>{KeyValue}, Options);
}

bool TDataSet::Locate(const std::string& KeyFields, const std::vector<Variant>& KeyValues, TLocateOptions Options) {
    CheckBrowseMode();
    DoBeforeScroll();
    Integer Position = FindRecord(KeyFields, KeyValues, Options);
    if (Position < 0) return false;
    JumpTo(Position);
    return true;
}

Variant TDataSet::Lookup(const std::string& KeyFields, const Variant& KeyValue, const std::string& ResultFields) const {
    return Lookup(KeyFields, std::vector<Variant>{KeyValue}, ResultFields);
}

Variant TDataSet::Lookup(const std::string& KeyFields, const std::vector<Variant>& KeyValues,
                         const std::string& ResultFields) const {
    if (!Active()) return Null();
    Integer Position = FindRecord(KeyFields, KeyValues, TLocateOptions());
    if (Position < 0) return Null();
    return FieldValueOf(FieldByName(ResultFields), FView[Position]);
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
    FEditBuffer = std::make_unique<TRecordBuffer>();
    FEditBuffer->Id = NewRecordId();
    FEditBuffer->Values.assign(FFieldDefs.size(), Null());
}

void TDataSet::EndInsertAppend() {
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
    FEditBuffer = std::make_unique<TRecordBuffer>(*FView[FCurrent]);
    FActivePosition = FCurrent;
    ChangeState(dsEdit, TWindowRule::Keep);
    DataEvent(deRecordChange);
    DoAfterEdit();
}

void TDataSet::CheckRequiredFields() const {
    for (TField* Field : FFields) {
        if (!Field->FRequired || Field->FReadOnly || Field->FFieldKind != fkData || Field->FFieldNo < 0) continue;
        if (IsBlank(FEditBuffer->Values[Field->FFieldNo])) {
            Field->FocusControl();
            DatabaseError("Field '" + Field->DisplayName() + "' must have a value");
        }
    }
}

void TDataSet::Post() {
    UpdateRecord();
    DataEvent(deCheckBrowseMode);
    DoBeforePost();
    CheckRequiredFields();
    if (FState == dsEdit) {
        TRecordBuffer* Old = FView[FCurrent];
        InternalPost(Old, *FEditBuffer);
        Old->Values = std::move(FEditBuffer->Values);
    } else {
        InternalPost(nullptr, *FEditBuffer);
        TRecordBuffer* Record = FEditBuffer.get();
        auto Before = FRecords.end();
        if (size_t(FInsertPosition) < FView.size()) {
            const TRecordBuffer* Next = FView[FInsertPosition];
            Before = std::find_if(FRecords.begin(), FRecords.end(), [Next](auto& R) { return R.get() == Next; });
        }
        FRecords.insert(Before, std::move(FEditBuffer));
        FView.insert(FView.begin() + FInsertPosition, Record);
        FPositionsValid = false;
    }
    FEditBuffer.reset();
    FActivePosition = FCurrent;
    FBOF = FEOF = false;
    ChangeState(dsBrowse, TWindowRule::Keep);
    DataEvent(deDataSetChange);
    DoAfterPost();
}

void TDataSet::Cancel() {
    if (FState != dsEdit && FState != dsInsert) return;
    DataEvent(deCheckBrowseMode);
    DoBeforeCancel();
    bool WasInsert = FState == dsInsert;
    if (WasInsert) DoBeforeScroll();
    FEditBuffer.reset();
    if (WasInsert) FCurrent = std::min(FInsertPosition, Integer(FView.size()) - 1);
    FActivePosition = FCurrent;
    FBOF = FEOF = FView.empty();
    ChangeState(dsBrowse, TWindowRule::Keep);
    DataEvent(deDataSetChange);
    DoAfterCancel();
    if (WasInsert) DoAfterScroll();
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
    TRecordBuffer* Record = FView[FCurrent];
    InternalDelete(*Record);
    FView.erase(FView.begin() + FCurrent);
    FRecords.erase(std::find_if(FRecords.begin(), FRecords.end(), [Record](auto& R) { return R.get() == Record; }));
    FPositionsValid = false;
    FEditBuffer.reset();
    FCurrent = FActivePosition = std::min(FCurrent, Integer(FView.size()) - 1);
    FBOF = FEOF = FView.empty();
    ChangeState(dsBrowse, TWindowRule::Keep);
    DataEvent(deDataSetChange);
    DoAfterDelete();
    DoAfterScroll();
}

void TDataSet::Refresh() {
    CheckBrowseMode();
    Int64 CurrentId = FCurrent >= 0 ? FView[FCurrent]->Id : 0;
    InternalRefresh();
    RebuildView();
    Integer Position = CurrentId != 0 ? PositionOf(CurrentId) : -1;
    if (Position < 0) Position = std::min(FCurrent, Integer(FView.size()) - 1);
    if (Position < 0 && !FView.empty()) Position = 0;
    FCurrent = FActivePosition = Position;
    FBOF = FEOF = FView.empty();
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
    Int64 CurrentId = FCurrent >= 0 ? FView[FCurrent]->Id : 0;
    RebuildView();
    Integer Position = CurrentId != 0 ? PositionOf(CurrentId) : -1;
    bool Kept = Position >= 0;
    if (!Kept) Position = FView.empty() ? -1 : 0;
    FCurrent = FActivePosition = Position;
    FBOF = !Kept;
    FEOF = FView.empty();
    PlaceLinkWindows(Kept ? TWindowRule::Keep : TWindowRule::First);
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
