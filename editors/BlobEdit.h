// The blob editor: a cell that shows an icon for its blob's kind (or its
// text), and a sizeable popup that edits the blob as a memo (the edit window)
// or shows it as a picture, with OK and Cancel (or Close alone when read-only)
// in a strip of its own non-client area beside its size grip. OLE and other
// binary blobs get no popup.
#pragma once

#include "editors/DropDownEdit.h"
#include "editors/PopupControl.h"
#include "platform/ui/Graphics.h"

#include <functional>
#include <memory>
#include <string>

class TImageList;
class TField;
class TPopupMenu;
class TcvEditWindowMenu;

// Effective kinds of a blob.
enum TcvBlobKindValue : Byte { bkvMemo, bkvPicture, bkvOle, bkvBinary };
// What a column asks for; bkAuto follows the field.
enum TcvBlobKind { bkAuto, bkBlob, bkMemo, bkPict, bkOle };
enum TcvBlobPaintStyle { bpsDefault, bpsIcon, bpsText };

namespace cvDBEdtr {
// The effective kind of a column's BlobKind for Field (bkAuto: by the field's blob type).
Byte ResolveBlobKind(TcvBlobKind Kind, const TField* Field);
// Writes Value into Field: a blob field takes its bytes as they are, an
// empty value clears the field.
void AssignValueToField(TField* Field, const Variant& Value);
} // namespace cvDBEdtr

class TcvBlobEditViewData : public TcvDropDownEditViewData {
public:
    Byte BlobKind = bkvMemo;
    Byte PaintStyle = bpsIcon;
    TImageList* Images = nullptr; // the blob icons, only for bpsIcon
    bool BlobEmpty = true;
};

class TcvBlobEditClassOps : public TcvDropDownEditClassOps {
public:
    std::unique_ptr<TcvEditViewData> CreateViewData() const override;
    // With icons, the kind's icon centred (one less when empty); else the text.
    bool DrawContent(HDC DC, const TRect& Rect, TcvEditViewData& ViewData) const override;
    // OLE and binary blobs have no button.
    void CalcButtons(TcvDropDownEditViewData& ViewData) const override;
    // The icon of a kind: 1, 3, 5, 7 for binary, memo, picture, OLE; one less when empty.
    static int IconIndex(Byte BlobKind, bool Empty);
};

// The buttons of the popup's strip.
enum TcvBlobPopupButton { bpbOK, bpbCancel, bpbClose };
using TcvBlobPopupButtons = TSet<TcvBlobPopupButton>;

class TCustomcvBlobPopup : public TcvInplacePopupControl {
public:
    explicit TCustomcvBlobPopup(TComponent* AOwner);
    ~TCustomcvBlobPopup() override;

    Byte Kind() const { return FKind; }
    void SetKind(Byte Value); // 0 memo, 1 picture; recreates the window
    bool ReadOnly() const { return FReadOnly; }
    // Close alone when read-only, else OK and Cancel.
    void SetReadOnly(bool Value);
    bool Sizeable() const { return FSizeable; }
    void SetSizeable(bool Value);
    bool AlwaysSave() const { return FAlwaysSave; }
    void SetAlwaysSave(bool Value) { FAlwaysSave = Value; }
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    // Off: scroll bars stay, disabled, while there is nothing to scroll.
    bool HideScrollBars() const { return FHideScrollBars; }
    void SetHideScrollBars(bool Value);
    bool OEMConvert() const { return FOEMConvert; }
    void SetOEMConvert(bool Value);
    // A strip at the memo's left where a click selects the whole line.
    bool SelectionBar() const { return FSelectionBar; }
    void SetSelectionBar(bool Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    // Off: Tab leaves the popup and moves the host's row (in place).
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    TPicture* Picture();
    // Scaled into the client area, else shown at its size and scrolled.
    bool PictureAutoSize() const { return FPictureAutoSize; }
    void SetPictureAutoSize(bool Value);
    // The picture's scroll position, pixels.
    int HorzOffset() const { return FHorzOffset; }
    int VertOffset() const { return FVertOffset; }
    void SetHorzOffset(int Value) { SetOffset(true, Value); }
    void SetVertOffset(int Value) { SetOffset(false, Value); }
    // 0 the graphic's own, 1 opaque, 2 transparent.
    Byte Transparency() const { return FTransparency; }
    void SetTransparency(Byte Value);
    UINT ClipboardFormat() const { return FClipboardFormat; }
    void SetClipboardFormat(UINT Value) { FClipboardFormat = Value; }
    // The picture dialogs' filter; empty: the dialogs' own.
    const std::string& PictureFilter() const { return FPictureFilter; }
    void SetPictureFilter(const std::string& Value) { FPictureFilter = Value; }
    // A picture menu command: 0 cut, 1 copy, 2 paste, 3 delete, 4 load, 5 save.
    void PictureCommand(int Index);
    TcvBlobPopupButtons Buttons() const { return FButtons; }
    int GripCorner() const { return FGripCorner; }
    int StripHeight() const { return FStripHeight; }
    bool OKEnabled() const { return FOKEnabled; }
    bool Closed() const { return FClosed; }
    // The memo's modified state (the window's while it exists), or the picture's.
    bool Modified();
    void SetModified(bool Value);
    // The smallest outer size: the strip's buttons and grips, and three scroll-bar heights.
    TSize MinimumSize();
    // The strip button under a screen point: 0 OK, 1 Cancel, 2 Close, -1 none.
    int ButtonAt(TPoint ScreenPoint);
    // Where button Index lies (window coordinates); empty when absent.
    TRect ButtonRect(int Index);
    // Places the popup under the editor's lower-left corner P (screen) at W x H,
    // opening left or above where the work area asks, grip away from the editor.
    void Place(TPoint P, int W, int H, const TRect& EditorRect);

    TNotifyEvent OnChange;
    TNotifyEvent OnAccept;
    TNotifyEvent OnClosed;

    // The popup's virtual operations.
    virtual void ClosePopup(int Mode); // 0 OK, 1 Cancel, 2 Close
    virtual void DoChange();
    // The memo's text in the char case, its selection kept.
    virtual void ApplyCharCase();
    virtual void DoClosed();
    virtual void DoAccept();
    virtual void LimitText(int Value);
    virtual int GetSelLength();
    virtual int GetSelStart();
    // The whole selection, however long it is.
    virtual std::string GetSelText();
    virtual void SetSelLength(int Value);
    virtual void SetSelStart(int Value);

    void HidePopup() override;
    void ShowPopup() override;
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Paint() override;

private:
    struct TStripMetrics {
        int FrameWidth, GripWidth, Margin, Gap, ButtonHeight, ButtonWidth, ButtonCount;
    };
    TStripMetrics Metrics();
    bool IsMemo() const { return FKind == bkvMemo; }
    int BorderWidth() const;
    void PaintStrip();
    void UpdatePressedLook(TPoint ScreenPoint);
    void StopTracking();
    void PictureChanged();
    // The graphic takes the transparency; no change of the picture's.
    void ApplyTransparency();
    // Not read-only, and the editor may still change its value.
    bool MayChangePicture();
    void ShowContextMenu(TMessage& Message);
    bool HandlePopupKey(TMessage& Message);
    // The present strip button whose caption's accelerator is Key; -1 none.
    int AcceleratorButton(Word Key) const;
    // The graphic while it scrolls: a picture view with a window, not scaled, not empty.
    TGraphic* ScrolledGraphic() const;
    void UpdateScrollBars();
    void SetOffset(bool Horizontal, int Value);
    // A scroll bar's SB_ code Code applied to the offset.
    void ScrollPicture(bool Horizontal, int Code);
    // No band is left beyond the picture's right and bottom edges.
    void PullOffsetsBack();

    Byte FKind = bkvMemo;
    bool FOKEnabled = false;
    int FStripHeight = 26;
    bool FPressedLook = false;
    TcvBlobPopupButtons FButtons{bpbOK, bpbCancel};
    bool FCreating = false;
    int FPressedButton = -1;
    bool FModified = false;
    bool FReadOnly = false;
    bool FSizeable = false;
    int FGripCorner = 0;
    bool FTracking = false;
    bool FAlwaysSave = true;
    std::string FSavedText;
    bool FClosed = false;
    TEditCharCase FCharCase = ecNormal;
    bool FApplyingCharCase = false;
    int FMaxLength = 0;
    bool FHideScrollBars = true;
    bool FOEMConvert = false;
    TScrollStyle FScrollBars = ssNone;
    bool FSelectionBar = true;
    bool FWantReturns = true;
    bool FWantTabs = true;
    bool FWordWrap = true;
    bool FPictureAutoSize = false;
    Byte FTransparency = 0;
    bool FApplyingTransparency = false;
    int FHorzOffset = 0;
    int FVertOffset = 0;
    std::unique_ptr<TPicture> FPicture;
    std::unique_ptr<TBitmap> FCacheBitmap; // composes a transparent picture
    std::unique_ptr<TPopupMenu> FContextMenu; // the picture's, rebuilt at each showing
    std::unique_ptr<TcvEditWindowMenu> FMemoMenu;
    UINT FClipboardFormat;
    std::string FPictureFilter;
};

using TcvBlobAssignPictureEvent = std::function<void(TObject* Sender, TPicture*& Picture)>;
using TcvBlobGetGraphicClassEvent = std::function<void(TObject* Sender, TGraphicClass& GraphicClass)>;

class TcvInplaceBlobEdit : public TcvInplaceDropDownEdit {
public:
    explicit TcvInplaceBlobEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass());
    ~TcvInplaceBlobEdit() override;

    static const TcvInplaceEditClass& StaticClass();

    const std::string& BlobValue() const { return FBlobValue; }
    // Stored while the host fills the editor, else only when the value may change.
    void SetBlobValue(const std::string& Value);
    Byte BlobKind() const { return FBlobKind; }
    void SetBlobKind(Byte Value);
    TcvBlobPaintStyle BlobPaintStyle() const { return FBlobPaintStyle; }
    void SetBlobPaintStyle(TcvBlobPaintStyle Value);
    int PopupWidth() const { return FPopupWidth; }
    int PopupHeight() const { return FPopupHeight; }
    bool SizeablePopup() const { return FSizeablePopup; }
    void SetSizeablePopup(bool Value) { FSizeablePopup = Value; }
    bool AlwaysSaveText() const { return FAlwaysSaveText; }
    void SetAlwaysSaveText(bool Value) { FAlwaysSaveText = Value; }
    TEditCharCase MemoCharCase() const { return FMemoCharCase; }
    void SetMemoCharCase(TEditCharCase Value) { FMemoCharCase = Value; }
    bool MemoHideScrollBars() const { return FMemoHideScrollBars; }
    void SetMemoHideScrollBars(bool Value) { FMemoHideScrollBars = Value; }
    bool MemoOEMConvert() const { return FMemoOEMConvert; }
    void SetMemoOEMConvert(bool Value) { FMemoOEMConvert = Value; }
    bool MemoSelectionBar() const { return FMemoSelectionBar; }
    void SetMemoSelectionBar(bool Value) { FMemoSelectionBar = Value; }
    int MemoMaxLength() const { return FMemoMaxLength; }
    void SetMemoMaxLength(int Value) { FMemoMaxLength = Value; }
    TScrollStyle MemoScrollBars() const { return FMemoScrollBars; }
    void SetMemoScrollBars(TScrollStyle Value) { FMemoScrollBars = Value; }
    bool MemoWantReturns() const { return FMemoWantReturns; }
    void SetMemoWantReturns(bool Value) { FMemoWantReturns = Value; }
    bool MemoWantTabs() const { return FMemoWantTabs; }
    void SetMemoWantTabs(bool Value) { FMemoWantTabs = Value; }
    bool MemoWordWrap() const { return FMemoWordWrap; }
    void SetMemoWordWrap(bool Value) { FMemoWordWrap = Value; }
    bool PictureAutoSize() const { return FPictureAutoSize; }
    void SetPictureAutoSize(bool Value) { FPictureAutoSize = Value; }
    const std::string& PictureFilter() const { return FPictureFilter; }
    void SetPictureFilter(const std::string& Value) { FPictureFilter = Value; }
    Byte PictureTransparency() const { return FPictureTransparency; }
    void SetPictureTransparency(Byte Value) { FPictureTransparency = Value; }
    // Pictures get a context menu; with the extra items it also loads and saves.
    bool ShowPicturePopup() const { return FShowPicturePopup; }
    void SetShowPicturePopup(bool Value) { FShowPicturePopup = Value; }
    bool ShowExPopupItems() const { return FShowExPopupItems; }
    void SetShowExPopupItems(bool Value) { FShowExPopupItems = Value; }
    // Writes the text without it counting as the user's.
    void SetTextNoChange(const std::string& Value);
    TCustomcvBlobPopup* BlobPopup() const { return FPopup.get(); }

    TcvBlobAssignPictureEvent OnAssignPicture;
    TcvBlobGetGraphicClassEvent OnGetGraphicClass;
    TNotifyEvent OnPopupSize;

    // The blob editor's virtual operations.
    virtual bool IsValueEmpty(const Variant& Value);
    virtual void DoAssignPicture(TPicture*& APicture);
    virtual TGraphicClass GetGraphicClass();
    virtual void SetPopupSize(int Width, int Height);
    // Takes the popup's content as the blob value.
    virtual void ApplyPopupValue();

    void SetEditValue(const Variant& Value) override;
    Variant GetEditValue() override;
    std::unique_ptr<TcvEditViewData> CreateViewData(bool FromDefinition) override;
    bool HasEditControl() override { return false; }
    void DropDown() override;

    void WndProc(TMessage& Message) override;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;

private:
    std::unique_ptr<TCustomcvBlobPopup> FPopup;
    std::string FBlobValue;
    Byte FBlobKind = bkvMemo;
    TcvBlobPaintStyle FBlobPaintStyle = bpsIcon;
    int FPopupWidth = 200;
    int FPopupHeight = 140;
    bool FSizeablePopup = true;
    bool FAlwaysSaveText = true;
    TEditCharCase FMemoCharCase = ecNormal;
    bool FMemoHideScrollBars = true;
    int FMemoMaxLength = 0;
    bool FMemoOEMConvert = false;
    TScrollStyle FMemoScrollBars = ssNone;
    bool FMemoSelectionBar = true;
    bool FMemoWantReturns = true;
    bool FMemoWantTabs = true;
    bool FMemoWordWrap = true;
    bool FPictureAutoSize = true;
    std::string FPictureFilter;
    Byte FPictureTransparency = 0;
    bool FShowPicturePopup = true;
    bool FShowExPopupItems = true;
    TGraphicClass FGraphicClass;
    std::unique_ptr<TPicture> FPicture; // for GetEditValue
};
