// The control hierarchy: TControl (bounds, alignment, colours, fonts, mouse
// events), TWinControl (a window of the window manager, children, tab order,
// focus and keys), TCustomControl (paints itself on a canvas) and
// TGraphicControl (no window; painted by its parent). Messages reach a control
// through WindowProc, which defaults to WndProc: one switch over messages per
// class, anything unhandled ending in DefaultHandler.
#pragma once

#include "platform/rtl/Classes.h"
#include "platform/ui/Colors.h"
#include "platform/ui/WinTypes.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Raised for operations a control cannot do in its state ("Cannot focus a
// disabled or invisible window") and when a window cannot be made.
#define CORVANTA_UI_EXCEPTION(Name)                                                                                    \
    class Name : public Exception {                                                                                    \
    public:                                                                                                            \
        using Exception::Exception;                                                                                    \
    }

class TFont;
class TCanvas;
class TBrush;
class TPopupMenu;
class TBasicAction;
class TWinControl;
class TCustomForm;
class TDragObject;
class TDragImageList;

CORVANTA_UI_EXCEPTION(EInvalidOperation);
CORVANTA_UI_EXCEPTION(EOutOfResources);

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// dmAutomatic starts a drag with every left-button press; dmManual leaves the
// start to the control's own code (BeginDrag).
enum TDragMode { dmManual, dmAutomatic };
// What a drag-over tells the control under the pointer.
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };

// Cursor ids: the standard shapes are negative, custom ones registered in
// Screen->Cursors are positive.
using TCursor = int16_t;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;
constexpr TCursor crSize = crSizeAll;

enum TControlStyleItem {
    csAcceptsControls,
    csCaptureMouse,
    csDesignInteractive,
    csClickEvents,
    csFramed,
    csSetCaption,
    csOpaque,
    csDoubleClicks,
    csFixedWidth,
    csFixedHeight,
    csNoDesignVisible,
    csReplicatable,
    csNoStdEvents,
    csDisplayDragImage,
    csReflector,
    csActionClient,
    csMenuEvents
};
using TControlStyle = TSet<TControlStyleItem>;

enum TControlStateItem {
    csLButtonDown,
    csClicked,
    csPalette,
    csReadingState,
    csAlignmentNeeded,
    csFocusing,
    csCreating,
    csPaintCopy,
    csCustomPaint,
    csDestroyingHandle,
    csDocking,
    // The window is being destroyed only to be made again (RecreateWnd).
    csRecreating
};
using TControlState = TSet<TControlStateItem>;

// Input-method state of a window: the free-text fields keep it on, digit,
// amount, mask and code fields turn it off.
enum TImeMode {
    imDisable,
    imClose,
    imOpen,
    imDontCare,
    imSAlpha,
    imAlpha,
    imHira,
    imSKata,
    imKata,
    imChinese,
    imSHanguel,
    imHanguel
};

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle; // controls use bsNone and bsSingle

using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;
// Key is the typed character as a code point; setting it to 0 swallows it.
using TKeyPressEvent = std::function<void(TObject* Sender, char32_t& Key)>;
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TWndMethod = std::function<void(TMessage& Message)>;
// Source is the dragged control, or the drag object when the source made its own.
using TDragOverEvent =
    std::function<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TStartDragEvent = std::function<void(TObject* Sender, TDragObject*& DragObject)>;
// Target is the control that took the drop, nullptr when the drag was cancelled or refused.
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;

// Shift, Ctrl and Alt as the input read so far left them: the one reader of
// the modifier keys.
TShiftState KeyboardShiftState();

// The shift state of key and mouse messages.
TShiftState KeyDataToShiftState(LPARAM KeyData);
TShiftState KeysToShiftState(WPARAM Keys);

// What CreateWnd hands to the window manager; CreateParams fills it.
struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    HWND WndParent = nullptr;
    std::string WinClassName;
    UINT WindowClassStyle = 0;
};

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
    // The client area in client coordinates.
    virtual TRect ClientRect() const;
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }
    virtual void SetClientWidth(int Value);
    virtual void SetClientHeight(int Value);
    TPoint ClientOrigin() const;

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);

    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);

    // Caption and Text are one string, as in the class framework.
    std::string Caption() const { return GetText(); }
    void SetCaption(const std::string& Value) { SetText(Value); }
    std::string Text() const { return GetText(); }
    void SetText(const std::string& Value);

    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value) { FShowHint = Value; }
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);

    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
    TControlState ControlState() const { return FControlState; }
    void SetControlState(TControlState Value) { FControlState = Value; }

    TBasicAction* Action() const { return FAction; }
    void SetAction(TBasicAction* Value);
    // Called by the linked action whenever one of its properties changes.
    virtual void ActionChange(TBasicAction* Sender, bool CheckDefaults);
    // An action offered to the control: runs or updates on the control when
    // the action handles it. True when taken.
    virtual bool ExecuteAction(TBasicAction* Action);
    virtual bool UpdateAction(TBasicAction* Action);

    virtual void Invalidate();
    virtual void Update();
    virtual void Repaint();
    void Refresh() { Repaint(); }
    void BringToFront();
    void SendToBack();

    TPoint ClientToScreen(const TPoint& Point) const;
    TPoint ScreenToClient(const TPoint& Point) const;

    // Sends a message to this control at once, through WindowProc.
    LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    // The current message handler; a subclass stores the old one and chains to it.
    TWndMethod WindowProc;
    virtual void WndProc(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);

    // Fires the click (or executes the linked action).
    virtual void Click();
    virtual void DblClick();

    // Dragging inside the program (see Drag.h). BeginDrag starts a drag from
    // this control with the pointer where it is now: at once when Immediate,
    // else once the pointer has moved Threshold pixels (-1: 5) in X or Y. The
    // drag ends with the button's release (a drop), Escape or a lost capture.
    TDragMode DragMode() const { return FDragMode; }
    void SetDragMode(TDragMode Value) { FDragMode = Value; }
    // The cursor while the control under the pointer accepts this control's drag.
    TCursor DragCursor() const { return FDragCursor; }
    void SetDragCursor(TCursor Value) { FDragCursor = Value; }
    void BeginDrag(bool Immediate, int Threshold = -1);
    bool Dragging() const;
    void EndDrag(bool Drop);
    // The drop of an accepted drag onto this control; fires OnDragDrop.
    virtual void DragDrop(TObject* Source, int X, int Y);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnResize;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TStartDragEvent OnStartDrag;
    TEndDragEvent OnEndDrag;

protected:
    virtual std::string GetText() const { return FText; }
    // Stores the text; windowed controls pass it on to their window.
    virtual void SetTextBuf(const std::string& Value);
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void Resize();
    virtual void RequestAlign();
    virtual void VisibleChanged();
    virtual void EnabledChanged();
    // Colour and font changes; the parent's reach children through CM_PARENT*.
    virtual void ColorChanged();
    virtual void FontChanged();
    virtual void TextChanged();
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;
    // Draws a graphic control into DC (origin at its top-left corner).
    virtual void PaintGraphic(HDC DC);
    // The drag protocol: the start may hand over a drag object of its own
    // (fires OnStartDrag); DragOver answers whether a drop here is welcome (no
    // OnDragOver: refused); the end fires OnEndDrag. GetDragImages gives the
    // picture that follows the pointer (nullptr: only the cursor changes).
    virtual void DoStartDrag(TDragObject*& DragObject);
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    virtual void DoEndDrag(TObject* Target, int X, int Y);
    virtual TDragImageList* GetDragImages() { return nullptr; }

    std::string FText;
    TColor FColor = clWindow;
    bool FParentColor = true;
    bool FParentFont = true;
    TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    TControlState FControlState;

private:
    friend class TWinControl;
    friend class TDragControlObject;
    friend struct DragProtocol;
    void HandleMouse(TMessage& Message);
    // CM_DRAG: dmFindTarget answers the control at the point, the others go to
    // the record's target.
    void HandleDragMessage(TMessage& Message);
    void DoDragMsg(TMessage& Message);

    TWinControl* FParent = nullptr;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    TAlign FAlign = alNone;
    bool FVisible = true;
    bool FEnabled = true;
    std::unique_ptr<TFont> FFont;
    TCursor FCursor = crDefault;
    std::string FHint;
    bool FShowHint = false;
    TPopupMenu* FPopupMenu = nullptr;
    TBasicAction* FAction = nullptr;
    TDragMode FDragMode = dmManual;
    TCursor FDragCursor = crDrag;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    // The window; asking for it creates it (and the parent's first).
    HWND Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded();
    // Destroys the window and creates it again from CreateParams, children too.
    void RecreateWnd();

    int ControlCount() const { return static_cast<int>(FControls.size() + FWinControls.size()); }
    TControl* Controls(int Index) const;
    // The topmost visible graphic child at a client point (enabled ones only
    // unless AllowDisabled); nullptr when none.
    TControl* ControlAtPos(const TPoint& Pos, bool AllowDisabled) const;
    bool ContainsControl(TControl* Control) const;

    // Whether painters that share the window's paint (the MDI wallpaper) draw
    // through one off-screen bitmap with the control's own painting.
    bool DoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool Value) { FDoubleBuffered = Value; }
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value);
    int TabOrder() const;
    void SetTabOrder(int Value);
    // Windowed children in tab order, recursively (containers before their contents).
    void GetTabOrderList(std::vector<TWinControl*>& List) const;
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent) const;
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);

    // The window's frame and bars stay: its size is the client size plus them.
    void SetClientWidth(int Value) override;
    void SetClientHeight(int Value) override;
    virtual bool CanFocus() const;
    bool Focused() const;
    virtual void SetFocus();
    // Visible here and in every parent, with a window.
    bool Showing() const;

    TImeMode ImeMode() const { return FImeMode; }
    void SetImeMode(TImeMode Value);
    // The 3-D look: a sunken edge round edits and memos, else a single line.
    // A change sends CM_CTL3DCHANGED (edits and memos make their window again)
    // and CM_PARENTCTL3DCHANGED to the children, which follow while ParentCtl3D.
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value);
    bool ParentCtl3D() const { return FParentCtl3D; }
    void SetParentCtl3D(bool Value);
    TBrush* Brush() const { return FBrush.get(); }

    TRect ClientRect() const override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Invalidate() override;
    void Update() override;
    void Repaint() override;
    void WndProc(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

    // Lays the aligned children out again.
    void Realign();
    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();

    // Draws the control and its children into an image file (PNG by the
    // extension), headless; for tests and screenshots.
    bool SaveImage(const std::string& FileName);

    // Shortcuts of popup menus up the parent chain and of the form (and the
    // MDI frame's); the application's loop asks before the key is delivered.
    bool IsMenuKey(TMessage& Message);

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;

protected:
    virtual void CreateParams(TCreateParams& Params);
    // Creates the window: CreateParams, CreateWindowHandle, then the children's.
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& Params);
    virtual void DestroyWnd();
    virtual void DestroyWindowHandle();
    // Reads what the window holds (text, state) before it goes, after FText
    // took the text: a control that keeps its text otherwise stores it here.
    virtual void SaveWindowState() {}
    void CreateHandle();
    virtual void KeyDown(Word& Key, TShiftState Shift);
    virtual void KeyUp(Word& Key, TShiftState Shift);
    virtual void KeyPress(char32_t& Key);
    virtual void DoEnter();
    virtual void DoExit();
    // The form's KeyPreview and OnKeyDown / OnKeyPress; true when swallowed.
    bool DoKeyDown(TMessage& Message);
    bool DoKeyUp(TMessage& Message);
    // The form first when it previews keys, then this control.
    bool DoKeyEvent(TMessage& Message, void (TWinControl::*Handler)(Word&, TShiftState));
    bool DoKeyPress(TMessage& Message);
    virtual void AlignControls(TControl* AControl, TRect& Rect);
    // The part of the client area that aligned children share.
    virtual void AdjustClientRect(TRect& Rect) { (void)Rect; }
    // Paints the window's own content into DC; the default lets DefaultHandler do it.
    virtual void PaintWindow(HDC DC);
    void PaintControls(HDC DC);
    void PaintHandler(TMessage& Message);
    void SetTextBuf(const std::string& Value) override;
    std::string GetText() const override;
    void ColorChanged() override;
    void VisibleChanged() override;
    void EnabledChanged() override;
    void FontChanged() override;
    // Children see their parent's colour and font through these.
    void NotifyControls(UINT Msg);
    virtual void InsertControl(TControl* AControl);
    virtual void RemoveControl(TControl* AControl);
    // Sends the message to every child, stopping at the first that answers.
    void Broadcast(TMessage& Message);
    void UpdateControlState();
    void Loaded() override;
    // Takes the bounds the window manager gave the window.
    void UpdateBoundsFromWindow();

    HWND FHandle = nullptr;
    std::unique_ptr<TBrush> FBrush;
    // The window's class procedure below ours is the native widget's.
    bool FNativeWindow = false;
    // A window of a class registered outside the controls (the edit window):
    // its class procedure lies below ours, and DefaultHandler passes to it.
    std::function<void(HWND, TMessage&)> FClassProcedure;

private:
    friend class TControl;
    friend struct ControlWindowAccess;
    void ApplyImeMode();
    bool WantsKey(Word Key);

    std::vector<TControl*> FControls;       // graphic children
    std::vector<TWinControl*> FWinControls; // windowed children
    std::vector<TWinControl*> FTabList;     // windowed children in tab order
    bool FTabStop = false;
    bool FDoubleBuffered = false;
    TImeMode FImeMode = imDontCare;
    bool FCtl3D = true;
    bool FParentCtl3D = true;
    int FAlignLevel = 0;
    bool FAligning = false;
    bool FSettingBounds = false;
};

// Paints itself with Canvas in Paint.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCanvas* Canvas() const { return FCanvas.get(); }

protected:
    virtual void Paint();
    void PaintWindow(HDC DC) override;

private:
    std::unique_ptr<TCanvas> FCanvas;
};

// A control without a window: its parent paints it and passes it mouse input.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TCanvas* Canvas() const { return FCanvas.get(); }

protected:
    virtual void Paint();
    void PaintGraphic(HDC DC) override;

private:
    std::unique_ptr<TCanvas> FCanvas;
};

// The control behind a window (nullptr for windows that are not controls).
TWinControl* FindControl(HWND Wnd);
// The form a control sits on (nullptr when it sits on none).
TCustomForm* GetParentForm(const TControl* Control);

// What CM_HINTSHOW carries in lParam before a control's hint shows. The
// control may change the text and place; answering non-zero shows nothing.
struct THintInfo {
    TControl* HintControl = nullptr;
    TPoint HintPos{};   // screen: the hint shows just below and right of it
    TPoint CursorPos{}; // the pointer, in HintControl's client coordinates
    TRect CursorRect{}; // the hint stays while the pointer is inside (client coordinates)
    std::string HintStr;
};
