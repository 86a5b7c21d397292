// The month calendar the date editor drops down: TCustomcvCalendar (a popup
// with a selected range of days), TcvGridDatePopup (one month as a grid of
// 6 x 7 days under a caption with month arrows, optional Today and Clear
// buttons; its selection is always one day, or none after Clear) and
// TAMonthListBox, the scrolling list of months the caption opens while it
// is pressed. Dates are whole days; NullDate stands for no date.
#pragma once

#include "editors/ExEdtr.h"
#include "editors/PopupControl.h"
#include "platform/rtl/Classes.h"

class TcvGridDatePopup;

class TCustomcvCalendar : public TcvInplacePopupControl {
public:
    // The shown month, the anchor and the end are today.
    explicit TCustomcvCalendar(TComponent* AOwner);

    TDateTime FirstDate() const { return FFirstDate; }

    // The first and last days the calendar shows.
    virtual TDateTime GetFirstDate();
    virtual TDateTime GetLastDate();
    virtual TDateTime GetLastMonthDate() = 0;
    // The earlier and the later end of the selection; NullDate when there is none.
    virtual TDateTime GetSelStart();
    virtual TDateTime GetSelFinish();
    virtual void SetFirstDate(TDateTime Value);
    // Selects the one day D (NullDate: no selection).
    virtual void SetSelectDate(TDateTime D);
    // Moves the selection's end to D, keeping it in view, and repaints at once.
    virtual void SetSelFinish(TDateTime D);
    virtual void MakeSelectionVisible() = 0;
    // The day under a client point; NullDate where there is none.
    virtual TDateTime DateAtPos(TPoint P) = 0;

    // Set by the date editor; fired when the user has chosen.
    TNotifyEvent OnDateSelected;

protected:
    virtual void DoDateSelected();
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;

    TDateTime FPreviousSelection = NullDate; // the selection start when the last press began
    // Set for good: one more pixel of caption and a clBtnFace background for selected days.
    bool FSelectedFaceLook = true;
    TDateTime FFirstDate;
    TDateTime FSelAnchor;
    TDateTime FSelEnd;
};

// The list of seven months shown over the date popup's caption while the
// mouse button is held; dragging above or below it scrolls it, faster the
// further away the pointer is.
class TAMonthListBox : public TCustomControl {
public:
    // Popup is owner and owner window; the list takes its font.
    explicit TAMonthListBox(TcvGridDatePopup* Popup);
    ~TAMonthListBox() override;

    TDateTime TopDate() const { return FTopDate; }
    void SetTopDate(TDateTime Value); // the first of a month
    int ItemIndex() const { return FItemIndex; }
    // The selected row's month; NullDate when no row is selected.
    TDateTime SelectedDate() const;
    // The running scroll timer's id: 5 + the step (-4..4, never 0); 0 when none runs.
    UINT_PTR ScrollTimerId() const { return FScrollTimerId; }

    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void MouseMove(TShiftState Shift, int X, int Y) override;

private:
    void SetItemIndex(int Value);
    void StopScrollTimer();
    TRect ItemRect(int Index) const;

    TcvGridDatePopup* FPopup;
    TDateTime FTopDate = NullDate;
    int FItemHeight = 0;
    int FItemIndex = -1;
    UINT_PTR FScrollTimerId = 0;
};

class TcvGridDatePopup : public TCustomcvCalendar {
public:
    // The shown month is the current one; call SetFirstDate and SetSelectDate
    // before showing.
    explicit TcvGridDatePopup(TComponent* AOwner);
    ~TcvGridDatePopup() override;

    bool ShowToday() const { return FShowToday; }
    void SetShowToday(bool Value);
    bool ShowClear() const { return FShowClear; }
    void SetShowClear(bool Value);
    bool HasButtons() const { return FShowToday || FShowClear; }
    // Sizes the window to the metrics of its font (and its frame, once it has a window).
    void AdjustSize();

    TDateTime GetFirstDate() override;
    TDateTime GetLastDate() override;
    TDateTime GetLastMonthDate() override;
    void SetFirstDate(TDateTime Value) override;
    void SetSelFinish(TDateTime D) override;
    void MakeSelectionVisible() override;
    TDateTime DateAtPos(TPoint P) override;
    // Hides and tells the editor (CM_POPUPCLOSED); ends any press first.
    void HidePopup() override;

    // The layout the month list follows.
    int ColumnWidth() const { return FColumnWidth; }
    int CaptionHeight() const { return FCaptionHeight; }
    // Where the buttons are painted and pressed (client coordinates).
    TRect TodayRect() const;
    TRect ClearRect() const;
    // The month list while the caption is pressed, else nullptr.
    TAMonthListBox* MonthList() const { return FMonthList; }

    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Paint() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    enum { LeftArrowTimer = 1, RightArrowTimer = 2 };
    struct TDateButton {
        bool Pressed = false;
        bool Inside = false;
    };

    void CalcMetrics();
    TRect LeftArrowRect() const;
    TRect RightArrowRect() const;
    TRect MonthCaptionRect() const;
    int ButtonRowTop() const;
    void ShowMonth(int Delta);
    void StopArrowTimer();
    void FreeMonthList();
    void OpenMonthList();
    void TrackButton(TDateButton& Button, const TRect& R, TPoint P);
    void CloseAndSelect(TPoint P);
    void PaintCaption(HDC DC, HRGN Remainder);
    void PaintDayNames(HDC DC, HRGN Remainder);
    void PaintDays(HDC DC, HRGN Remainder, TDateTime Today);
    void PaintButtons(HDC DC, HRGN Remainder);
    void PaintButton(HDC DC, const TRect& R, const char* Caption, bool Pushed);

    int FColumnWidth = 0;
    int FMargin = 0;
    int FRowHeight = 0;
    int FCaptionHeight = 0;
    int FDayNameHeight = 0;
    int FTodayWidth = 0;
    int FClearWidth = 0;
    int FButtonOffset = 0;
    int FButtonHeight = 0;
    int FButtonRowHeight = 0;
    TAMonthListBox* FMonthList = nullptr;
    UINT_PTR FArrowTimer = 0;
    TDateButton FToday;
    TDateButton FClear;
    bool FShowToday = true;
    bool FShowClear = false;
    bool FDoubleClicked = false;
};
