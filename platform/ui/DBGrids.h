// The plain data grid of the code tables: columns bound to fields by name,
// titles, whole-row selection, read-only browsing with the dataset's cursor,
// confirmed deletion (Ctrl+Del) and a hook to draw cells. Its vertical scroll
// bar stands for the record number: minimum 1, a page of the visible rows,
// position RecNo; the bar and the mouse wheel move the dataset.
#pragma once

#include "platform/rtl/Collection.h"
#include "platform/ui/Controls.h"

#include <memory>
#include <string>

class TDataSource;
class TDataSet;
class TField;
class TDBGrid;
class TGridDataLink;

class TColumnTitle {
public:
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value) { FCaption = Value; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value) { FAlignment = Value; }

private:
    std::string FCaption;
    TAlignment FAlignment = taLeftJustify;
};

class TColumn : public TCollectionItem {
public:
    explicit TColumn(TCollection* Collection);

    const std::string& FieldName() const { return FFieldName; }
    void SetFieldName(const std::string& Value);
    // The field of the grid's dataset with that name (nullptr when none).
    TField* Field() const;
    TColumnTitle* Title() { return &FTitle; }
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    TDBGrid* Grid() const;

private:
    std::string FFieldName;
    TColumnTitle FTitle;
    int FWidth = 64;
    TAlignment FAlignment = taLeftJustify;
    bool FVisible = true;
};

class TDBGridColumns : public TCollection {
public:
    explicit TDBGridColumns(TDBGrid* Grid);
    TColumn* Add() { return static_cast<TColumn*>(TCollection::Add()); }
    TColumn* Items(int Index) const { return static_cast<TColumn*>(TCollection::Items(Index)); }
    TDBGrid* Grid() const { return FGrid; }
    TPersistent* Owner() const override;

protected:
    void Update(TCollectionItem* Item) override;

private:
    TDBGrid* FGrid;
};

enum TDBGridOption {
    dgEditing,
    dgAlwaysShowEditor,
    dgTitles,
    dgIndicator,
    dgColumnResize,
    dgColLines,
    dgRowLines,
    dgTabs,
    dgRowSelect,
    dgAlwaysShowSelection,
    dgConfirmDelete,
    dgCancelOnExit,
    dgMultiSelect
};
using TDBGridOptions = TSet<TDBGridOption>;

enum TGridDrawStateItem { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TSet<TGridDrawStateItem>;

using TDrawColumnCellEvent =
    std::function<void(TObject* Sender, const TRect& Rect, int DataCol, TColumn* Column, TGridDrawState State)>;

class TDBGrid : public TCustomControl {
public:
    explicit TDBGrid(TComponent* AOwner);
    ~TDBGrid() override;

    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* Value);
    TDataSet* DataSet() const;
    TDBGridColumns* Columns() const { return FColumns.get(); }
    TDBGridOptions Options() const { return FOptions; }
    void SetOptions(TDBGridOptions Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int Value);
    // Draws a cell as the grid would: the field's text in the column's alignment.
    void DefaultDrawColumnCell(const TRect& Rect, int DataCol, TColumn* Column, TGridDrawState State);
    // The visible rows the grid shows at once.
    int VisibleRowCount() const;
    // The data row at a client point (-1 for none), counted from the first shown.
    int RowAt(int Y) const;

    void WndProc(TMessage& Message) override;

    // Runs for every data cell instead of the default drawing; meanwhile the
    // dataset's fields read the row being drawn, and Canvas draws into the cell.
    TDrawColumnCellEvent OnDrawColumnCell;

protected:
    void CreateWnd() override;
    void Paint() override;
    void Resize() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    friend class TGridDataLink;
    int TitleHeight() const;
    int IndicatorWidth() const;
    // The link's window and the scroll bar follow the rows that fit.
    void UpdateRows();
    void UpdateScrollBar();
    void AcquireFocus();
    void Scroll(int Code);
    void WheelTurned(int Delta);
    void DeleteCurrent();

    std::unique_ptr<TGridDataLink> FLink;
    std::unique_ptr<TDBGridColumns> FColumns;
    TDBGridOptions FOptions{dgEditing,  dgTitles, dgIndicator,     dgColumnResize, dgColLines,
                            dgRowLines, dgTabs,   dgConfirmDelete, dgCancelOnExit};
    bool FReadOnly = false;
    int FDefaultRowHeight = 18;
    int FWheelDelta = 0; // the part of a notch not yet acted on (touch pads turn in small steps)
};
