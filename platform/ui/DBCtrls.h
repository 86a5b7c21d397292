// The popup data list: the list a lookup drop-down opens under its edit. It
// shows the list fields of a dataset's records and selects a record by its
// key. It is a popup that never takes the activation or the focus: the
// drop-down that owns it passes it the keys (WM_KEYDOWN) and the wheel
// (WM_MOUSEWHEEL) it gets. The mouse is its own: a press selects the row
// under it, and while the button is held the selection follows the pointer
// (beyond the top or bottom row the rows scroll); OnMouseUp tells the owner
// that a choice was made. A vertical scroll bar shows which records are in
// view while they do not all fit.
#pragma once

#include "platform/rtl/Variants.h"
#include "platform/ui/Controls.h"

#include <memory>
#include <string>
#include <vector>

class TDataSet;
class TDataSource;
class TField;
class TPopupDataListLink;

class TPopupDataList : public TCustomControl {
public:
    explicit TPopupDataList(TComponent* AOwner);
    ~TPopupDataList() override;

    // The records listed; the list follows the dataset's cursor.
    TDataSource* ListSource() const;
    void SetListSource(TDataSource* Value);
    // The field whose value is the key, and the fields shown (names separated
    // by ";", each in a column of its own); names are case-insensitive.
    const std::string& KeyField() const { return FKeyField; }
    void SetKeyField(const std::string& Value);
    const std::string& ListField() const { return FListField; }
    void SetListField(const std::string& Value);
    // The key of the selected record (Null: none). Setting it moves the
    // dataset to the record with that key, when there is one, and selects it.
    const Variant& KeyValue() const { return FKeyValue; }
    void SetKeyValue(const Variant& Value);
    // The rows shown, kept within 1..100; the height follows.
    int RowCount() const { return FRowCount; }
    void SetRowCount(int Value);
    // The height of a row: the font's height and a pixel above and below.
    int RowHeight();

    // The wheel scrolls the rows by the desktop's wheel lines, WM_VSCROLL
    // (the scroll bar, or a drop-down passing its wheel on) as its code says;
    // the selection stays.
    void WndProc(TMessage& Message) override;

protected:
    // The height the frame adds to the rows: by default what the styles of
    // CreateParams give; a list that draws a frame of its own answers its size.
    virtual int GetBorderSize();
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Paint() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void FontChanged() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TPopupDataListLink;
    TDataSet* ListDataSet() const;
    TField* FindKeyField() const;
    std::vector<TField*> ListFields() const;
    // The dataset's current record becomes the selected one.
    void SelectCurrent();
    // Moves the dataset so that the row shown at Row (0: the first) becomes current.
    void SelectRow(int Row);
    // Scrolls the rows by Distance records without changing the selection.
    void ScrollBy(int Distance);
    void UpdateHeight();
    void ListLinkChanged();
    // The record shown in the first row, counted from 0.
    int TopRow() const;
    void UpdateScrollBar();

    std::unique_ptr<TPopupDataListLink> FListLink;
    std::string FKeyField;
    std::string FListField;
    Variant FKeyValue = Null();
    int FRowCount = 7;
    int FWheelDelta = 0;
    bool FTracking = false; // the left button went down in the list and is held
};
