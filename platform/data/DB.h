// Datasets, fields, data sources and data links: the cursor and notification
// model that every data-aware control is written against. A dataset holds its
// records in memory; descendants (ADODB.h) fill them and write changes back.
//
// Each data link sees a window of BufferCount consecutive records that always
// holds the current record and is as full as the dataset allows. Relative
// moves scroll the window minimally (DataSetScrolled with the shift of its
// top, positive toward EOF); jumps and re-syncs place it anew (DataSetChanged):
// First puts its top on the first record, Last its bottom on the last record,
// the other jumps (GotoBookmark, Locate, RecNo) centre the current record, and
// Post, Cancel, Delete, Insert and Refresh keep its top where it was.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <memory_resource>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variants.h"

class TDataSet;
class TDataSource;
class TDataLink;
class TField;
class TFilterExpression;

// The framework's order of field types; other code indexes tables by it.
enum TFieldType {
    ftUnknown,
    ftString,
    ftSmallint,
    ftInteger,
    ftWord,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftBCD,
    ftDate,
    ftTime,
    ftDateTime,
    ftBytes,
    ftVarBytes,
    ftAutoInc,
    ftBlob,
    ftMemo,
    ftGraphic,
    ftFmtMemo,
    ftParadoxOle,
    ftDBaseOle,
    ftTypedBinary,
    ftCursor,
    ftFixedChar,
    ftWideString,
    ftLargeint,
    ftADT,
    ftArray,
    ftReference,
    ftDataSet,
    ftOraBlob,
    ftOraClob,
    ftVariant,
    ftInterface,
    ftIDispatch,
    ftGuid,
    ftTimeStamp,
    ftFMTBcd
};

enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };

enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey };

// What a dataset tells its data sources and links. The Info pointer of
// DataEvent is the TField* for deFieldChange/deRecordChange (nullptr: the
// whole record) and a TField** for deFocusControl.
enum TDataEvent {
    deFieldChange,
    deRecordChange,
    deDataSetChange,
    deDataSetScroll,
    deLayoutChange,
    deUpdateRecord,
    deUpdateState,
    deCheckBrowseMode,
    dePropertyChange,
    deFieldListChange,
    deFocusControl
};

enum TLocateOption { loCaseInsensitive, loPartialKey };
using TLocateOptions = TSet<TLocateOption>;

enum TFilterOption { foCaseInsensitive, foNoPartialCompare };
using TFilterOptions = TSet<TFilterOption>;

// A bookmark: an opaque, binary-safe string naming one record of one dataset.
using TBookmarkStr = std::string;

using TDataSetNotifyEvent = std::function<void(TDataSet* DataSet)>;
using TFieldNotifyEvent = std::function<void(TField* Sender)>;
using TFieldGetTextEvent = std::function<void(TField* Sender, std::string& Text, bool DisplayText)>;
using TFieldSetTextEvent = std::function<void(TField* Sender, const std::string& Text)>;
using TDataChangeEvent = std::function<void(TObject* Sender, TField* Field)>;

// One column of a result, as the dataset found it.
struct TFieldDef {
    std::string Name;
    TFieldType DataType = ftUnknown;
    Integer Size = 0;
    Integer Precision = 0;
    bool Required = false;
    bool ReadOnly = false;
    bool Currency = false;
};

class TRecordBuffer;

// Gives a record back: a pooled record's memory goes with its pool.
struct TRecordDeleter {
    void operator()(TRecordBuffer* Record) const;
};
using TRecordPtr = std::unique_ptr<TRecordBuffer, TRecordDeleter>;

// One record: its identity (the bookmark) and its values in column order,
// packed one after another into one block (a kind byte, then the value's own
// bytes), so a row holds little more than its data. The records of a loaded
// result live in one memory pool per load (see RecordMemory), header and
// values side by side: a hundred thousand small allocations cost more than
// reading, and every byte of fresh memory a load touches costs time.
class TRecordBuffer {
public:
    // A record on the heap.
    static TRecordPtr Create();
    // A heap copy of Other's identity and values.
    static TRecordPtr Create(const TRecordBuffer& Other);
    // A record whose header and Packed values lie in Pool and go when the
    // pool goes; values set later lie on the heap, so edits never grow it.
    static TRecordPtr CreateInPool(std::pmr::memory_resource* Pool, std::string_view Packed);
    TRecordBuffer(const TRecordBuffer&) = delete;
    TRecordBuffer& operator=(const TRecordBuffer&) = delete;

    Int64 Id = 0;

    // Null past the last value.
    Variant Value(Integer Column) const;
    // A column past the last gets Unassigned values before it.
    void SetValue(Integer Column, const Variant& Value);
    // Adds Value's packed form to the end of Packed.
    static void PackValue(std::string& Packed, const Variant& Value);
    // PackValue of a text, without a Variant in between.
    static void PackText(std::string& Packed, std::string_view Text);
    // Takes values packed by PackValue, sized exactly.
    void SetPackedValues(std::string_view Packed);
    void AssignValues(const TRecordBuffer& Other) { SetPackedValues(Other.PackedValues()); }

private:
    friend struct TRecordDeleter;
    explicit TRecordBuffer(bool InPool) noexcept : FInPool(InPool) {}
    ~TRecordBuffer();

    std::string_view PackedValues() const { return {FPacked, FSize}; }
    // Where the value of Column starts, or FSize past the last.
    size_t OffsetOf(Integer Column) const;

    // Four fields in 24 bytes: a large result holds one header per row.
    char* FPacked = nullptr;
    uint32_t FSize = 0;
    bool FInPool;             // the header lies in a pool
    bool FOwnsValues = false; // FPacked is a heap block of this record's own
};

// ---- Fields -----------------------------------------------------------------

class TField : public TComponent {
public:
    explicit TField(TComponent* AOwner);
    ~TField() override;

    TDataSet* DataSet() const { return FDataSet; }
    void SetDataSet(TDataSet* Value);
    const std::string& FieldName() const { return FFieldName; }
    void SetFieldName(const std::string& Value);
    std::string DisplayLabel() const { return FDisplayLabel.empty() ? FFieldName : FDisplayLabel; }
    void SetDisplayLabel(const std::string& Value);
    std::string DisplayName() const { return DisplayLabel(); }
    TFieldType DataType() const { return FDataType; }
    TFieldKind FieldKind() const { return FFieldKind; }
    void SetFieldKind(TFieldKind Value) { FFieldKind = Value; }
    // 1-based column of the result the field reads; 0 for lookup fields.
    Integer FieldNo() const { return FFieldNo + 1; }
    Integer Size() const { return FSize; }
    void SetSize(Integer Value) { FSize = Value; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    // Position in the dataset's Fields; setting it moves the field.
    Integer Index() const;
    void SetIndex(Integer Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    bool Required() const { return FRequired; }
    void SetRequired(bool Value) { FRequired = Value; }
    bool CanModify() const;
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    Integer DisplayWidth() const;
    void SetDisplayWidth(Integer Value);
    const std::string& EditMask() const { return FEditMask; }
    void SetEditMask(const std::string& Value) { FEditMask = Value; }
    // The column the filter texts name instead of the field, when set.
    const std::string& Origin() const { return FOrigin; }
    void SetOrigin(const std::string& Value) { FOrigin = Value; }
    virtual bool IsBlob() const { return false; }
    virtual bool IsValidChar(char32_t Ch) const;

    // DisplayText is what a grid shows, Text what an editor edits; both go
    // through OnGetText when it is set. SetText goes through OnSetText, else
    // parses with the field's own conversion and raises on bad input.
    std::string DisplayText() const;
    std::string Text() const;
    // The display text of a record whose value is Value, as DisplayText
    // gives it without OnGetText (a handler reads the record itself); so a
    // control keeping a record's values can make its texts when shown.
    std::string DisplayTextOf(const Variant& Value) const { return GetText(Value, true); }
    void SetText(const std::string& Value);

    virtual std::string AsString() const;
    virtual void SetAsString(const std::string& Value);
    virtual Integer AsInteger() const;
    virtual void SetAsInteger(Integer Value);
    virtual double AsFloat() const;
    virtual void SetAsFloat(double Value);
    virtual Int64 AsCurrency() const; // scaled by CurrencyScale
    virtual void SetAsCurrency(Int64 Value);
    virtual TDateTime AsDateTime() const;
    virtual void SetAsDateTime(TDateTime Value);
    virtual bool AsBoolean() const;
    virtual void SetAsBoolean(bool Value);
    // Reads follow the data links' active record; writes need the edit or
    // insert state and always reach the current record.
    Variant Value() const;
    void SetValue(const Variant& Value);
    Variant AsVariant() const { return Value(); }
    void SetAsVariant(const Variant& Value) { SetValue(Value); }
    bool IsNull() const;
    void Clear();
    // Asks the data links to focus the control that edits this field.
    void FocusControl();

    // Lookup fields (fkLookup): the value of LookupResultField in the record
    // of LookupDataSet whose LookupKeyFields equal this record's KeyFields.
    TDataSet* LookupDataSet() const { return FLookupDataSet; }
    void SetLookupDataSet(TDataSet* Value);
    const std::string& LookupKeyFields() const { return FLookupKeyFields; }
    void SetLookupKeyFields(const std::string& Value) { FLookupKeyFields = Value; }
    const std::string& LookupResultField() const { return FLookupResultField; }
    void SetLookupResultField(const std::string& Value) { FLookupResultField = Value; }
    const std::string& KeyFields() const { return FKeyFields; }
    void SetKeyFields(const std::string& Value) { FKeyFields = Value; }
    bool Lookup() const { return FFieldKind == fkLookup; }

    TFieldGetTextEvent OnGetText;
    TFieldSetTextEvent OnSetText;
    TFieldNotifyEvent OnValidate;
    TFieldNotifyEvent OnChange;

protected:
    TField(TComponent* AOwner, TFieldType DataType);
    // The text of a record holding Value (Null and Unassigned give the
    // empty text, unless the field says otherwise); DisplayText chooses the
    // display form.
    virtual std::string GetText(const Variant& Value, bool DisplayText) const;
    // Turns a value into the field's own type; raises EConvertError.
    virtual Variant ConvertValue(const Variant& Value) const;
    virtual void DoGetText(std::string& Text, bool DisplayText) const;
    virtual void DoValidate();
    virtual void DoChange();
    // Tells the data links that the field's look changed.
    void PropertyChanged();
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TDataSet;
    TDataSet* FDataSet = nullptr;
    std::string FFieldName;
    std::string FDisplayLabel;
    TFieldType FDataType = ftUnknown;
    TFieldKind FFieldKind = fkData;
    Integer FFieldNo = -1;
    Integer FSize = 0;
    bool FVisible = true;
    bool FReadOnly = false;
    bool FRequired = false;
    TAlignment FAlignment = taLeftJustify;
    Integer FDisplayWidth = 0;
    std::string FEditMask;
    std::string FOrigin;
    TDataSet* FLookupDataSet = nullptr;
    std::string FLookupKeyFields;
    std::string FLookupResultField;
    std::string FKeyFields;
    bool FDefaultField = false;
};

class TStringField : public TField {
public:
    explicit TStringField(TComponent* AOwner);
    std::string AsString() const override;
    void SetAsString(const std::string& Value) override;

protected:
    Variant ConvertValue(const Variant& Value) const override;
};

// Numbers right-aligned; DisplayFormat/EditFormat are FormatFloat masks.
class TNumericField : public TField {
public:
    const std::string& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const std::string& Value);
    const std::string& EditFormat() const { return FEditFormat; }
    void SetEditFormat(const std::string& Value);

protected:
    TNumericField(TComponent* AOwner, TFieldType DataType);
    // The format mask that applies to the requested text form ("" = none).
    const std::string& FormatFor(bool DisplayText) const;

private:
    std::string FDisplayFormat;
    std::string FEditFormat;
};

class TIntegerField : public TNumericField {
public:
    explicit TIntegerField(TComponent* AOwner);
    Integer MinValue() const { return FMinValue; }
    void SetMinValue(Integer Value) { FMinValue = Value; }
    Integer MaxValue() const { return FMaxValue; }
    void SetMaxValue(Integer Value) { FMaxValue = Value; }
    bool IsValidChar(char32_t Ch) const override;
    std::string AsString() const override;
    void SetAsString(const std::string& Value) override;

protected:
    TIntegerField(TComponent* AOwner, TFieldType DataType, Integer Low, Integer High);
    std::string GetText(const Variant& Value, bool DisplayText) const override;
    Variant ConvertValue(const Variant& Value) const override;
    virtual Variant Stored(Integer Value) const { return Variant(Value); }

private:
    Integer FMinValue = 0;
    Integer FMaxValue = 0;
    Integer FLow;
    Integer FHigh;
};

class TSmallintField : public TIntegerField {
public:
    explicit TSmallintField(TComponent* AOwner);

protected:
    Variant Stored(Integer Value) const override { return Variant(int16_t(Value)); }
};

class TFloatField : public TNumericField {
public:
    explicit TFloatField(TComponent* AOwner);
    bool Currency() const { return FCurrency; }
    void SetCurrency(bool Value);
    double MinValue() const { return FMinValue; }
    void SetMinValue(double Value) { FMinValue = Value; }
    double MaxValue() const { return FMaxValue; }
    void SetMaxValue(double Value) { FMaxValue = Value; }
    // Significant digits of the general format (default 15).
    Integer Precision() const { return FPrecision; }
    void SetPrecision(Integer Value);
    bool IsValidChar(char32_t Ch) const override;
    std::string AsString() const override;
    void SetAsString(const std::string& Value) override;

protected:
    TFloatField(TComponent* AOwner, TFieldType DataType);
    std::string GetText(const Variant& Value, bool DisplayText) const override;
    Variant ConvertValue(const Variant& Value) const override;

private:
    bool FCurrency = false;
    double FMinValue = 0;
    double FMaxValue = 0;
    Integer FPrecision = 15;
};

class TCurrencyField : public TFloatField {
public:
    explicit TCurrencyField(TComponent* AOwner);
};

// Fixed-point amounts held as Currency (4 decimals); Size is the number of
// decimals the column declares.
class TBCDField : public TNumericField {
public:
    explicit TBCDField(TComponent* AOwner);
    bool Currency() const { return FCurrency; }
    void SetCurrency(bool Value);
    double MinValue() const { return FMinValue; }
    void SetMinValue(double Value) { FMinValue = Value; }
    double MaxValue() const { return FMaxValue; }
    void SetMaxValue(double Value) { FMaxValue = Value; }
    Integer Precision() const { return FPrecision; }
    void SetPrecision(Integer Value) { FPrecision = Value; }
    bool IsValidChar(char32_t Ch) const override;
    std::string AsString() const override;
    void SetAsString(const std::string& Value) override;

protected:
    std::string GetText(const Variant& Value, bool DisplayText) const override;
    Variant ConvertValue(const Variant& Value) const override;

private:
    bool FCurrency = false;
    double FMinValue = 0;
    double FMaxValue = 0;
    Integer FPrecision = 19;
};

class TBooleanField : public TField {
public:
    explicit TBooleanField(TComponent* AOwner);
    // "True;False" by default: the texts of the two values.
    std::string DisplayValues() const;
    void SetDisplayValues(const std::string& Value);
    std::string AsString() const override;
    void SetAsString(const std::string& Value) override;

protected:
    std::string GetText(const Variant& Value, bool DisplayText) const override;
    Variant ConvertValue(const Variant& Value) const override;

private:
    std::string FTrueText = "True";
    std::string FFalseText = "False";
};

class TDateTimeField : public TField {
public:
    explicit TDateTimeField(TComponent* AOwner);
    // A FormatDateTime mask for DisplayText ("" = the short date, and the
    // time when it is not midnight).
    const std::string& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const std::string& Value);
    std::string AsString() const override;
    void SetAsString(const std::string& Value) override;

protected:
    std::string GetText(const Variant& Value, bool DisplayText) const override;
    Variant ConvertValue(const Variant& Value) const override;

private:
    std::string FDisplayFormat;
};

// Binary data held in a string; DisplayText names the kind, "(BLOB)" when a
// value is present and "(Blob)" when not.
using TBlobType = TFieldType; // ftBlob .. ftTypedBinary

class TBlobField : public TField {
public:
    explicit TBlobField(TComponent* AOwner);
    bool IsBlob() const override { return true; }
    // What the bytes hold: ftBlob, ftMemo, ftGraphic, ...
    TBlobType BlobType() const { return DataType(); }
    std::string AsString() const override;
    void SetAsString(const std::string& Value) override;

protected:
    TBlobField(TComponent* AOwner, TFieldType DataType);
    std::string GetText(const Variant& Value, bool DisplayText) const override;
    Variant ConvertValue(const Variant& Value) const override;
};

class TMemoField : public TBlobField {
public:
    explicit TMemoField(TComponent* AOwner);
};

class TGraphicField : public TBlobField {
public:
    explicit TGraphicField(TComponent* AOwner);
};

// A fresh memory pool for the values of a loaded result.
std::unique_ptr<std::pmr::memory_resource> NewRecordMemoryPool();

// Creates the field class that suits a field type (TStringField for unknown ones).
TField* CreateFieldOfType(TComponent* AOwner, TFieldType DataType);

// ---- Data links and sources -----------------------------------------------

class TDataLink : public TPersistent {
public:
    TDataLink();
    ~TDataLink() override;

    TDataSource* DataSource() const { return FDataSource; }
    void SetDataSource(TDataSource* Value);
    TDataSet* DataSet() const;
    bool Active() const { return FActive; }
    bool Editing() const { return FEditing; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool VisualControl() const { return FVisualControl; }
    void SetVisualControl(bool Value) { FVisualControl = Value; }
    // Puts the dataset into edit state through the data source (AutoEdit);
    // returns Editing.
    bool Edit();
    // Asks this link to write its control's value into the fields.
    void UpdateRecord();

    // The window: BufferCount records starting at the dataset record that
    // the link shows first. Growing it fetches after the window, then before
    // it; the current record stays and nobody is notified.
    Integer BufferCount() const { return FBufferCount; }
    void SetBufferCount(Integer Value);
    Integer RecordCount() const;
    // The current record's row in the window. Setting it points every field
    // read of the dataset at that row, without moving the cursor and without
    // notifications; restore it after reading.
    Integer ActiveRecord() const;
    void SetActiveRecord(Integer Value);

protected:
    virtual void ActiveChanged() {}
    virtual void DataSetChanged();
    virtual void DataSetScrolled(Integer Distance);
    virtual void RecordChanged(TField* Field);
    virtual void UpdateData() {}
    virtual void LayoutChanged();
    virtual void EditingChanged() {}
    virtual void FocusControl(TField*& Field);

private:
    friend class TDataSource;
    friend class TDataSet;
    void DataEvent(TDataEvent Event, void* Info);
    void UpdateState();
    void SetActive(bool Value);
    void SetEditing(bool Value);

    TDataSource* FDataSource = nullptr;
    Integer FFirstRecord = 0; // dataset position of the window's first row
    Integer FBufferCount = 1;
    Integer FScrollDistance = 0;
    bool FActive = false;
    bool FEditing = false;
    bool FReadOnly = false;
    bool FUpdating = false;
    bool FVisualControl = false;
};

class TDataSource : public TComponent {
public:
    explicit TDataSource(TComponent* AOwner);
    ~TDataSource() override;

    TDataSet* DataSet() const { return FDataSet; }
    void SetDataSet(TDataSet* Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool AutoEdit() const { return FAutoEdit; }
    void SetAutoEdit(bool Value) { FAutoEdit = Value; }
    TDataSetState State() const { return FState; }
    // Edit of the dataset when AutoEdit is set and it is browsing.
    void Edit();
    const std::vector<TDataLink*>& DataLinks() const { return FDataLinks; }

    TNotifyEvent OnStateChange;
    TDataChangeEvent OnDataChange;
    TNotifyEvent OnUpdateData;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual void DoStateChange();
    virtual void DoDataChange(TField* Field);
    virtual void DoUpdateData();

private:
    friend class TDataSet;
    friend class TDataLink;
    void DataEvent(TDataEvent Event, void* Info);
    void UpdateState();
    void SetState(TDataSetState Value);

    TDataSet* FDataSet = nullptr;
    std::vector<TDataLink*> FDataLinks;
    TDataSetState FState = dsInactive;
    bool FEnabled = true;
    bool FAutoEdit = true;
};

// ---- Datasets ---------------------------------------------------------------

class TDataSet : public TComponent {
public:
    explicit TDataSet(TComponent* AOwner);
    ~TDataSet() override;

    bool Active() const { return FState != dsInactive; }
    void SetActive(bool Value);
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }
    TDataSetState State() const { return FState; }
    bool Modified() const { return FModified; }
    virtual bool CanModify() const { return true; }

    // Cursor. BOF and EOF are both true on an empty dataset; First sets BOF,
    // Last sets EOF, Next on the last record sets EOF without moving.
    bool Bof() const { return FBOF; }
    bool Eof() const { return FEOF; }
    void First();
    void Last();
    void Next() { MoveBy(1); }
    void Prior() { MoveBy(-1); }
    // Returns the number of records moved (negative toward BOF).
    Integer MoveBy(Integer Distance);
    // 1-based; -1 in the insert state and when there is no record.
    Integer RecNo() const;
    void SetRecNo(Integer Value);
    Integer RecordCount() const;
    bool IsEmpty() const { return ViewCount() == 0; }
    bool IsSequenced() const { return true; }

    // Bookmarks stay valid while their record exists, whatever else is
    // deleted, and compare in dataset order (a total order: records no
    // longer present sort after the present ones).
    TBookmarkStr Bookmark() const;
    void SetBookmark(const TBookmarkStr& Value) { GotoBookmark(Value); }
    bool BookmarkValid(const TBookmarkStr& Value) const;
    void GotoBookmark(const TBookmarkStr& Value);
    int CompareBookmarks(const TBookmarkStr& Bookmark1, const TBookmarkStr& Bookmark2) const;

    // Key fields are separated by ';', one value per field. A text key
    // matches a number equal to its value ("42" finds 42).
    bool Locate(const std::string& KeyFields, const Variant& KeyValue, TLocateOptions Options);
    bool Locate(const std::string& KeyFields, const std::vector<Variant>& KeyValues, TLocateOptions Options);
    // The ResultFields value of the matching record, or Null; never moves.
    Variant Lookup(const std::string& KeyFields, const Variant& KeyValue, const std::string& ResultFields) const;
    Variant Lookup(const std::string& KeyFields, const std::vector<Variant>& KeyValues,
                   const std::string& ResultFields) const;

    const std::vector<TField*>& Fields() const { return FFields; }
    Integer FieldCount() const { return Integer(FFields.size()); }
    // Case-insensitive; FieldByName raises "Field '<name>' not found".
    TField* FindField(const std::string& FieldName) const;
    TField* FieldByName(const std::string& FieldName) const;
    const std::vector<TFieldDef>& FieldDefs() const { return FFieldDefs; }

    void Insert();
    void Append();
    void Edit();
    void Post();
    void Cancel();
    // The next record becomes current; the previous one when the last was deleted.
    void Delete();
    // Reads the records again, keeping the current record where possible.
    void Refresh();
    // Asks the data links to write their controls' values (raises outside edit/insert).
    void UpdateRecord();
    void CheckBrowseMode();

    // Grows with every change to the records that a data link may have
    // read: a record posted, deleted or given up (Cancel), an insert's new
    // record, the records read again (Open, Refresh) or filtered anew.
    // Moves and jumps leave it, so a control that keeps the records' values
    // tells a jump from a change.
    Int64 ChangeCount() const { return FChangeCount; }

    // Controls hear nothing while disabled; the outermost EnableControls
    // sends one catch-up notification. Prefer TDisableControlsScope.
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return FDisableCount != 0; }

    // The filter is parsed when set and evaluated per record in memory.
    const std::string& Filter() const { return FFilterText; }
    void SetFilter(const std::string& Value);
    bool Filtered() const { return FFiltered; }
    void SetFiltered(bool Value);
    TFilterOptions FilterOptions() const { return FFilterOptions; }
    void SetFilterOptions(TFilterOptions Value);

    TDataSetNotifyEvent BeforeOpen;
    TDataSetNotifyEvent AfterOpen;
    TDataSetNotifyEvent BeforeClose;
    TDataSetNotifyEvent AfterClose;
    TDataSetNotifyEvent BeforeInsert;
    TDataSetNotifyEvent AfterInsert;
    TDataSetNotifyEvent BeforeEdit;
    TDataSetNotifyEvent AfterEdit;
    TDataSetNotifyEvent BeforePost;
    TDataSetNotifyEvent AfterPost;
    TDataSetNotifyEvent BeforeCancel;
    TDataSetNotifyEvent AfterCancel;
    TDataSetNotifyEvent BeforeDelete;
    TDataSetNotifyEvent AfterDelete;
    TDataSetNotifyEvent BeforeScroll;
    TDataSetNotifyEvent AfterScroll;
    TDataSetNotifyEvent OnNewRecord;

protected:
    // Descendants fill FieldDefs and the records here.
    virtual void InternalOpen() = 0;
    virtual void InternalClose() {}
    // Write a posted record (Old is nullptr for a new one); may update New
    // with values the store assigned.
    virtual void InternalPost(const TRecordBuffer* Old, TRecordBuffer& New) = 0;
    virtual void InternalDelete(const TRecordBuffer& Record) = 0;
    // Fresh records for Refresh; records keep their Id where the descendant
    // recognises them.
    virtual void InternalRefresh() = 0;

    virtual void DoBeforeOpen();
    virtual void DoAfterOpen();
    virtual void DoBeforeClose();
    virtual void DoAfterClose();
    virtual void DoBeforeInsert();
    virtual void DoAfterInsert();
    virtual void DoBeforeEdit();
    virtual void DoAfterEdit();
    virtual void DoBeforePost();
    virtual void DoAfterPost();
    virtual void DoBeforeCancel();
    virtual void DoAfterCancel();
    virtual void DoBeforeDelete();
    virtual void DoAfterDelete();
    virtual void DoBeforeScroll();
    virtual void DoAfterScroll();
    virtual void DoOnNewRecord();

    void Loaded() override;
    void CheckActive() const;
    void CheckInactive() const;
    [[noreturn]] void DatabaseError(const std::string& Message) const;

    // For descendants filling and re-reading records.
    void ClearFieldDefs() { FFieldDefs.clear(); }
    void AddFieldDef(const TFieldDef& Def) { FFieldDefs.push_back(Def); }
    std::deque<TRecordPtr>& Records() { return FRecords; }
    Int64 NewRecordId() { return ++FLastId; }
    // The pool for the values of the records being loaded; replacing all
    // records starts a new pool with NewRecordMemory after the old records are gone.
    std::pmr::memory_resource* RecordMemory();
    void NewRecordMemory(std::unique_ptr<std::pmr::memory_resource> Memory) { FRecordMemory = std::move(Memory); }

public:
    // Closes without BeforeClose/AfterClose, for destructors and for owners
    // that are going away.
    void CloseForDestroy();

private:
    friend class TField;
    friend class TDataSource;
    friend class TDataLink;
    enum class TWindowRule { Keep, First, Last, Center };

    void OpenCursor();
    void CloseCursor();
    void CreateFields();
    void DestroyDefaultFields();
    void BindFields();
    void AddField(TField* Field);
    void RemoveField(TField* Field);
    void MoveField(TField* Field, Integer NewIndex);
    void SetState(TDataSetState Value);
    // Sets the state, places the link windows by Rule, then tells the links.
    void ChangeState(TDataSetState Value, TWindowRule Rule);
    void DataEvent(TDataEvent Event, void* Info = nullptr);
    void PlaceLinkWindows(TWindowRule Rule);
    void PlaceLinkWindow(TDataLink* Link, TWindowRule Rule) const;
    std::vector<TDataLink*> ActiveLinks() const;
    void BeginInsertAppend();
    void EndInsertAppend();
    void CheckCanModify() const;
    void CheckRequiredFields() const;
    void RebuildView();
    void JumpTo(Integer Position);
    void FilterChanged();
    void ParseFilter(const std::string& Text);

    // The records that cursor positions count, with the new record of the
    // insert state in its place.
    Integer ViewCount() const;
    TRecordBuffer* ViewRecord(Integer Position) const;
    Integer PositionOf(Int64 Id) const;
    // The record field reads see: the data links' active record.
    const TRecordBuffer* ActiveBuffer() const;
    Variant FieldValueOf(const TField* Field, const TRecordBuffer* Record) const;
    void SetFieldValue(TField* Field, const Variant& Value);
    // Position in the view of the first record whose KeyFields match, or -1.
    Integer FindRecord(const std::string& KeyFields, const std::vector<Variant>& KeyValues,
                       TLocateOptions Options) const;

    TDataSetState FState = dsInactive;
    std::vector<TField*> FFields;
    std::vector<TFieldDef> FFieldDefs;
    std::vector<TDataSource*> FDataSources;
    std::unique_ptr<std::pmr::memory_resource> FRecordMemory;
    std::deque<TRecordPtr> FRecords;                       // every record, in result order
    std::vector<TRecordBuffer*> FView;                     // the records the filter lets through
    mutable std::unordered_map<Int64, Integer> FPositions; // Id -> position in FView
    mutable bool FPositionsValid = false;
    TRecordPtr FEditBuffer;       // the record being edited or inserted
    Integer FCurrent = -1;        // cursor position in the view
    Integer FActivePosition = -1; // the position field reads see
    Integer FInsertPosition = 0;
    Int64 FLastId = 0;
    Int64 FChangeCount = 0;
    bool FBOF = true;
    bool FEOF = true;
    bool FModified = false;
    bool FDefaultFields = false;
    bool FStreamedActive = false;
    Integer FDisableCount = 0;
    TDataSetState FDisableState = dsInactive;
    TDataEvent FEnableEvent = deDataSetChange;
    std::string FFilterText;
    bool FFiltered = false;
    TFilterOptions FFilterOptions;
    std::unique_ptr<TFilterExpression> FFilterExpression;
};

// DisableControls for its lifetime; EnableControls runs as TScopeGuard runs
// its end action.
class TDisableControlsScope {
public:
    explicit TDisableControlsScope(TDataSet* DataSet);

private:
    struct TEnableControls {
        TDataSet* DataSet;
        void operator()() const;
    };
    static TEnableControls DisableControls(TDataSet* DataSet);
    TScopeGuard<TEnableControls> FEnableControls;
};

// Points a data link's active record at Row for its lifetime and puts the
// previous one back, also when an exception passes.
class TActiveRecordScope {
public:
    TActiveRecordScope(TDataLink* Link, Integer Row);
    ~TActiveRecordScope();
    TActiveRecordScope(const TActiveRecordScope&) = delete;
    TActiveRecordScope& operator=(const TActiveRecordScope&) = delete;

private:
    TDataLink* FLink;
    Integer FSaved;
};
