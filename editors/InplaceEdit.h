// The editor base. Every editor is a TcvInplaceEdit, used either in place (a
// child window that a host container creates, moves over the focused cell and
// hides again) or standalone (an ordinary control on a form, optionally bound
// to data through a TcvEditDataDefinition). Which mode is decided per editor
// class, by its TcvInplaceEditClass: one object per editor class that holds
// the operations a host calls without an editor window (layout, painting of a
// cell from a TcvEditViewData, height, cursor) and creates editors.
#pragma once

#include "editors/EditStyle.h"
#include "platform/rtl/Variants.h"
#include "platform/ui/Controls.h"

#include <functional>
#include <memory>
#include <string>

class TBitmap;
class TField;
class TBasicAction;
class TCustomcvContainer;
class TcvInplaceEdit;
class TcvEditDataDefinition;

// A value refused by validation.
class EcvEditInvalidInput : public Exception {
public:
    using Exception::Exception;
};

// Everything needed to lay out and paint one cell without an editor window.
// Editor classes that need more derive from it (their class object makes
// theirs); a host keeps one per column and fills it for every cell.
class TcvEditViewData : public TObject {
public:
    bool Enabled = true;
    bool Focused = false;
    bool Active = false; // mouse inside, or focused and enabled
    TColor BorderColor = clWindowFrame;
    TcvEditBorderStyle BorderStyle = xbs3D;
    TcvEditButtonViewStyle ButtonStyle = btsDefault; // resolved: never btsDefault when made by an editor
    bool ButtonsTransparent = false;
    TcvEditEdges Edges = cvAllEdges;
    bool Shadow = false;
    // The content is painted without filling its background (the editor is
    // not focused and its own highlight flag is on).
    bool UnfocusedHighlight = false;
    TRect EditMargins{};
    TRect Bounds{}; // where the cell is painted
    TAlignment Alignment = taLeftJustify;
    int VerticalTextMode = 0; // 0 top, 1 centred, 2 bottom, 3 word-wrapped from the top
    // The text is drawn in the DC's own background mode (opaquely).
    bool KeepBackgroundMode = false;
    HBRUSH Brush = nullptr;
    COLORREF BackgroundColor = 0;
    HFONT Font = nullptr;
    COLORREF TextColor = 0;
    bool HasEditControl = false;
    Variant Value;
    int TextLength = 0;                // characters painted; 0 = all
    TBitmap* DrawingBitmap = nullptr; // lent by a host while it paints (graphic cells)
    // With MeasureRequest, DrawContent paints nothing and fills the outputs.
    bool MeasureRequest = false;
    int LineCount = 0;
    int TextHeight = 0;
    int LineHeight = 0;
    TCursor Cursor = crDefault;
};

// The layout CalcViewInfo computes.
struct TcvEditViewInfo {
    int BorderWidth = 0;
    int ShadowSize = 0;
    TRect Bounds{};
    TRect Content{};
    bool LeftEdge = false;
    bool TopEdge = false;
    bool RightEdge = false;
    bool BottomEdge = false;
    TRect FrameRect{};  // what the border paints
    TRect ShadowRect{}; // empty without a shadow
};

// The operations of an editor class: they run without an editor object and
// without a window, so a host paints thousands of cells through them cheaply.
// Each editor class has exactly one (see TcvEditorClass below); hosts keep a
// reference per column and create their editor from it.
class TcvInplaceEditClass {
public:
    virtual ~TcvInplaceEditClass() = default;

    // A new editor of this class, owned by AOwner (its host when in place).
    virtual TcvInplaceEdit* CreateEditor(TComponent* AOwner) const = 0;
    // True for in-place classes; the standalone classes answer false.
    virtual bool IsInplace() const { return true; }
    // A new, empty view data of the class's view-data kind (GetViewDataClass).
    virtual std::unique_ptr<TcvEditViewData> CreateViewData() const;
    // The style an editor of this class owns (GetEditStyleClass).
    virtual std::unique_ptr<TcvEditStyle> CreateEditStyle(TcvInplaceEdit* Editor) const;
    // The data definition an editor of this class owns; none in the base.
    virtual std::unique_ptr<TcvEditDataDefinition> CreateDataDefinition() const;
    virtual TAlignment GetDefaultAlignment() const { return taLeftJustify; }

    // Border, content, frame and shadow rectangles from the view data's
    // bounds and style; with CalcSize the bounds are sized to the content.
    virtual void CalcViewInfo(TcvEditViewData& ViewData, bool CalcSize, TcvEditViewInfo& ViewInfo) const;
    // The text height of the view data's font plus the editor's margins.
    virtual int CalcHeight(const TcvEditViewData& ViewData) const;
    // Paints one cell at the view data's bounds: frame and buttons, then the
    // content. With Region, the painted area is removed from it.
    virtual void DrawCell(HDC DC, TcvEditViewData& ViewData, HRGN Region) const;
    // The frame (and, in descendants, the buttons).
    virtual void DrawButtons(HDC DC, const TcvEditViewInfo& ViewInfo, const TcvEditViewData& ViewData) const;
    // The content: the base fills Rect with the view data's brush (nothing
    // when measuring). False makes a measuring host count one line.
    virtual bool DrawContent(HDC DC, const TRect& Rect, TcvEditViewData& ViewData) const;
    virtual TCursor GetCursor(int X, int Y, const TcvEditViewData& ViewData) const;
    // The natural size of the content (a picture's); empty in the base.
    virtual void GetContentSize(const TcvEditViewData& ViewData, TRect& R) const;

    // The region that a cell's frame and shadow cover; nullptr when the frame
    // is a plain full rectangle (no shadow, border of 2 or more, all edges).
    static HRGN CreateBorderRegion(const TcvEditViewInfo& ViewInfo);
};

// The class object of editor class TEditor with the operations of ClassBase:
// TcvEditorClass<TcvInplaceEdit, TcvInplaceEditClass>::Instance().
template <class TEditor, class ClassBase> class TcvEditorClass : public ClassBase {
public:
    static const TcvEditorClass& Instance() {
        static const TcvEditorClass instance;
        return instance;
    }
    TcvInplaceEdit* CreateEditor(TComponent* AOwner) const override { return new TEditor(AOwner); }
};

// The tie between an editor and its data: five call-backs that the editor
// wires to itself, and the questions the editor asks. The base answers as an
// editor without data; the field-backed definitions answer for a field.
class TcvEditDataDefinition : public TPersistent {
public:
    std::function<void()> OnActiveChange;
    std::function<void()> OnDataChange;
    std::function<void(bool& Handled)> OnFocusControl;
    std::function<void()> OnLayoutChange; // the second active-changed call-back
    std::function<void()> OnUpdateData;

    virtual bool BeginEdit() { return true; }
    virtual TAlignment GetAlignment() { return taLeftJustify; }
    virtual std::string GetDisplayFormat() { return {}; }
    virtual Variant GetDisplayValue() { return GetValue(); }
    virtual int GetMaxLength() { return 0; }
    virtual std::string GetEditMask() { return {}; }
    virtual Variant GetValue() { return std::string(); }
    virtual TField* GetField() { return nullptr; }
    virtual double GetMaxValue() { return 0.0; }
    virtual double GetMinValue() { return 0.0; }
    virtual bool GetRequired() { return false; }
    virtual bool IsEditable() { return true; }
    virtual bool IsFloat() { return false; }
    virtual bool GetReadOnly() { return false; }
    virtual bool IsValidChar(char32_t Key) { return (void)Key, true; }
    virtual void MarkModified() {}
    // Fires OnDataChange.
    virtual void DataChanged();
    virtual void SetValue(const Variant& Value) { (void)Value; }
    // Fires OnUpdateData.
    virtual void UpdateData();
    virtual bool ExecuteAction(TBasicAction* Action) { return (void)Action, false; }
    virtual bool UpdateAction(TBasicAction* Action) { return (void)Action, false; }
};

using TcvEditValidateEvent = std::function<void(TObject* Sender, std::string& ErrorText, bool& Accept)>;

// Bits of StoredValues: a property whose bit is set keeps its explicit value
// when the data definition or the host applies defaults again.
constexpr Word cvsvAlignment = 1 << 0;
constexpr Word cvsvMaxLength = 1 << 1;
constexpr Word cvsvEditMask = 1 << 2;
constexpr Word cvsvReadOnly = 1 << 6;

class TcvInplaceEdit : public TWinControl {
public:
    // Class is the editor's class object; each editor class passes its own
    // (descendants default it the same way), since the object decides the
    // mode and the style while the editor is being built.
    explicit TcvInplaceEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass());
    ~TcvInplaceEdit() override;

    static const TcvInplaceEditClass& StaticClass();
    const TcvInplaceEditClass& EditorClass() const { return *FClass; }
    bool IsInplace() const { return FClass->IsInplace(); }
    // The host (the Owner) of an in-place editor; nullptr for a standalone one.
    TCustomcvContainer* GetContainer() const;
    TcvEditDataDefinition* DataDefinition() const { return FDataDefinition.get(); }

    // Published properties.
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    bool ReadOnly() const;
    void SetReadOnly(bool Value);
    TcvEditStyle* Style() const { return FStyle.get(); }
    void SetStyle(TcvEditStyle* Value);
    TcvEditStyleController* StyleController() const { return FStyleController; }
    void SetStyleController(TcvEditStyleController* Value);
    Word StoredValues() const { return FStoredValues; }
    void SetStoredValues(Word Value) { FStoredValues = Value; } // replaces the set whole
    const TRect& EditMargins() const { return FEditMargins; }
    void SetEditMargins(const TRect& Value);
    bool Modified() const { return FModified; }
    // The state a host reads: the editor asks to stay open at a mouse-down on
    // the host (IsStateFlagSet answers it), and mouse-downs on the host are
    // ignored while the editor blocks them.
    void SetKeepOpenFlag(bool Value) { FKeepOpenFlag = Value; }
    bool BlocksHostMouse() const { return FBlocksHostMouse; }
    void SetBlocksHostMouse(bool Value) { FBlocksHostMouse = Value; }
    // Cleared by the host when it sets the editor up; descendants set it
    // while they load a value of their own.
    bool LoadingValue() const { return FLoadingValue; }
    void SetLoadingValue(bool Value) { FLoadingValue = Value; }
    // Set by the host while it takes the editor down: validation then
    // reverts quietly instead of raising.
    bool HostHiding() const { return FHostHiding; }
    void SetHostHiding(bool Value) { FHostHiding = Value; }
    // True while the in-place window is shown by ShowEditorWindow.
    bool EditorShown() const { return FShown; }

    TNotifyEvent OnChange;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TcvEditValidateEvent OnValidate;

    // The host's entry: over Rect (host client coordinates) inflated by 2,
    // shown, focused, all text selected; nothing for an empty Rect or a
    // standalone editor.
    void ShowEditor(const TRect& Rect);
    void ShowOverRect(const TRect& Rect) { ShowEditor(Rect); }
    // Only the place of ShowEditor: over Rect inflated by 2, with the text,
    // caret and selection kept.
    void PlaceOverRect(const TRect& Rect);
    // While the show lock is held, showing skips AfterShowEditor.
    void IncShowLock() { ++FShowLockCount; }
    void DecShowLock() { --FShowLockCount; }

    // Replaces the text when the value may change now; marks it modified in
    // any case.
    void ReplaceText(const std::string& Text);
    // Raises EcvEditInvalidInput (after a beep, with the focus kept) when
    // OnValidate refuses a modified value; nothing while keys are handled.
    virtual void ValidateEdit();

    // The editor's virtual operations, in the order descendants know them.
    virtual void SetEditValue(const Variant& Value);
    virtual void ApplyDefinitionProperties();
    virtual void GetViewValue(Variant& Value, bool FromDefinition);
    virtual Variant GetEditValue();
    virtual void DefinitionDataChanged();
    virtual void DefinitionFocusControl(bool& Handled);
    virtual void DefinitionActiveChanged();
    virtual void DefinitionUpdateData();
    virtual void ExtensionHook() {}
    virtual bool IsValidChar(char32_t Key);
    virtual void Changed();
    // A view data of the class's kind filled from this editor.
    virtual std::unique_ptr<TcvEditViewData> CreateViewData(bool FromDefinition);
    virtual void UpdateActiveState();
    virtual bool CanModify();
    // The keep-open test a host asks at each mouse-down on itself.
    virtual bool IsStateFlagSet() { return FKeepOpenFlag; }
    virtual bool GetModified() { return FModified; }
    virtual bool IsModifyingKey(Word Key, TShiftState Shift);
    // The keys that leave or move the edited row: the editor validates
    // before them and its host's key handling takes them.
    static bool IsRowKey(Word Key);
    virtual bool IsCtrlWithoutAlt();
    virtual bool PaintsContent() { return !HasEditControl(); }
    virtual bool HandlesMouseWheel() { return false; }
    virtual bool WantsTab() { return false; }
    virtual void MoveContainerRow(bool Up);
    virtual void RestoreOriginalText();
    virtual void UpdateFocusState(bool Focused);
    virtual void InternalSetAlignment(TAlignment Value);
    virtual void InternalSetReadOnly(bool Value);
    virtual void SetModified(bool Value) { FModified = Value; }
    virtual void SetMouseInside(bool Value) { FMouseInside = Value; }
    // Re-lays out and repaints.
    virtual void PropertiesChanged();
    virtual void AfterShowEditor() {}
    virtual bool IsEditable();
    virtual bool GetDefaultReadOnly();
    virtual bool IsDataReadOnly();
    virtual void CaretToEnd() {}
    virtual void DoKillFocus(HWND FocusedWindow);
    virtual std::string GetValueText() { return Text(); }
    virtual void HideEditorWindow();
    virtual bool HasEditControl() { return false; }
    virtual bool ValidatesOnEnter() { return false; }
    virtual bool IsFocused() { return Focused(); }
    virtual bool PaintsDisplayValue() { return FDataDefinition != nullptr; }
    virtual bool IsActive() { return FMouseInside || (IsFocused() && Enabled()); }
    virtual bool IsHostOptionSet();
    virtual bool CanRestoreText() { return HasEditControl(); }
    virtual bool IsTextEditor() { return HasEditControl(); }
    virtual void ForwardMouseDown(int X, int Y) { (void)X, (void)Y; }
    virtual void ActivateByClick() {}
    virtual void RestoreDefaults();
    virtual void SelectAllText() {}
    virtual void ShowEditorWindow();

    void WndProc(TMessage& Message) override;
    // An action the control itself does not take goes to the data definition.
    bool ExecuteAction(TBasicAction* Action) override;
    bool UpdateAction(TBasicAction* Action) override;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void DblClick() override;
    void CreateParams(TCreateParams& Params) override;
    void PaintWindow(HDC DC) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;
    // Sizes the window to its content (when AutoSize) and shapes it to its frame.
    void UpdateBounds();
    // Repaints the frame when hot tracking or button transparence shows the
    // active state.
    void RefreshActiveBorder();
    TAlignment DefinitionAlignment() const { return FDefinitionAlignment; }
    // The click that opened the editor at a host client point presses the
    // non-client part it landed on (a button of the cell), as a click there would.
    void PressAtHostPoint(int X, int Y);

    // The editor's own highlight: while it is on and the editor is unfocused,
    // its content is painted without filling the background.
    bool FHighlight = false;

private:
    void InPlaceKeyDown(Word& Key, TShiftState Shift);
    bool AutoSizeInEffect() const { return FAutoSize && !IsInplace(); }
    void PaintNonClient();
    void ExitEditor();

    const TcvInplaceEditClass* FClass;
    bool FFocusedState = false;
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = true;
    TAlignment FDefinitionAlignment = taLeftJustify;
    std::unique_ptr<TcvEditDataDefinition> FDataDefinition;
    int FShowLockCount = 0;
    bool FModified = false;
    TRect FEditMargins{};
    bool FSavedModified = false;
    std::string FSavedText;
    bool FReadOnly = false;
    bool FMouseInside = false;
    std::unique_ptr<TcvEditStyle> FStyle;
    TcvEditStyleController* FStyleController = nullptr;
    bool FShown = false;
    int FKeyHandlingDepth = 0;
    Word FStoredValues = 0;
    DWORD FActivationTime = 0;
    bool FKeepOpenFlag = false;
    bool FBlocksHostMouse = false;
    bool FLoadingValue = false;
    bool FHostHiding = false;
};
