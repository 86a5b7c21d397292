// The picture editor: no text, a picture drawn centred, stretched or at its
// own size, cut, copy, paste, delete, load and save by keys, through its
// floating tool window or through a context menu. Its value is the picture's
// blob (PictureValue.h) going in, and the picture's graphic itself, by
// reference, coming out: a grid column paints it without decoding it again.
#pragma once

#include "editors/InplaceEdit.h"
#include "editors/PopupToolBar.h"
#include "platform/ui/Graphics.h"

#include <functional>
#include <memory>
#include <string>

enum TcvGraphicEditTransparency { gtDefault, gtOpaque, gtTransparent };

class TcvGraphicEditViewData : public TcvEditViewData {
public:
    bool Center = true;
    // A host shades a selected cell with SelectionColor.
    bool SelectionShading = false;
    TPicture* Picture = nullptr;
    bool QuickDraw = false;
    COLORREF SelectionColor = 0;
    bool Stretch = false;
    TBitmap* CacheBitmap = nullptr; // composes transparent pictures
};

class TcvGraphicEditClassOps : public TcvInplaceEditClass {
public:
    std::unique_ptr<TcvEditViewData> CreateViewData() const override;
    // The picture placed in the content, over the view data's brush; an empty
    // picture shows the value's text centred, or the brush alone.
    bool DrawContent(HDC DC, const TRect& Rect, TcvEditViewData& ViewData) const override;
    void GetContentSize(const TcvEditViewData& ViewData, TRect& R) const override;

    // Where a PictureWidth x PictureHeight picture goes in Content.
    static TRect PictureRect(const TRect& Content, int PictureWidth, int PictureHeight, bool Stretch, bool Center);
};

// The picture commands the graphic editor and the blob popup share; the
// callers check that the picture may change.
namespace cvPictureCommands {
void Copy(TPicture* Picture);
// Takes the clipboard's picture when it holds Format.
void Paste(TPicture* Picture, UINT Format);
// Through the picture dialogs; an empty Filter: the dialog's own (load) or
// the graphic's (save).
void Load(TPicture* Picture, const std::string& Filter);
void Save(TPicture* Picture, const std::string& Filter);
} // namespace cvPictureCommands

using TcvGraphicEditAssignPictureEvent = std::function<void(TObject* Sender, TPicture*& Picture)>;
using TcvGraphicEditGetGraphicClassEvent = std::function<void(TObject* Sender, TGraphicClass& GraphicClass)>;

class TcvInplaceGraphicEdit : public TcvInplaceEdit {
public:
    explicit TcvInplaceGraphicEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass());
    ~TcvInplaceGraphicEdit() override;

    static const TcvInplaceEditClass& StaticClass();

    // Published properties.
    bool Center() const { return FCenter; }
    void SetCenter(bool Value);
    UINT ClipboardFormat() const { return FClipboardFormat; }
    void SetClipboardFormat(UINT Value) { FClipboardFormat = Value; }
    // The file dialogs' filter; empty: the graphics registry's.
    const std::string& CustomFilter() const { return FCustomFilter; }
    void SetCustomFilter(const std::string& Value) { FCustomFilter = Value; }
    bool DblClickActivate() const { return FDblClickActivate; }
    void SetDblClickActivate(bool Value) { FDblClickActivate = Value; }
    TcvGraphicEditTransparency GraphicTransparency() const { return FGraphicTransparency; }
    void SetGraphicTransparency(TcvGraphicEditTransparency Value);
    TPicture* Picture() const { return FPicture.get(); }
    bool QuickDraw() const { return FQuickDraw; }
    void SetQuickDraw(bool Value) { FQuickDraw = Value; }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);
    TcvPopupToolBarWindow* PopupToolBar() const { return FPopupToolBar.get(); }
    // Switching it off forgets the stored place.
    bool PopupToolbarPosStored() const { return FPopupToolbarPosStored; }
    void SetPopupToolbarPosStored(bool Value);
    // Where the tool window was last placed (screen); (-10000, -10000) when never.
    TPoint StoredToolBarPos() const { return FStoredToolBarPos; }
    void SetStoredToolBarPos(TPoint Value) { FStoredToolBarPos = Value; }
    TcvPopupToolBar* ToolBar() const { return FToolBar; }

    TcvGraphicEditAssignPictureEvent OnAssignPicture;
    TNotifyEvent OnCustomClick;
    TcvGraphicEditGetGraphicClassEvent OnGetGraphicClass;

    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();
    void DeletePicture();
    // Through the picture dialogs.
    void LoadFromFile();
    void SaveToFile();
    // Shows the tool window beside the editor unless the settings ask for the context menu.
    void ShowToolBar();
    // Runs the operation of a tool-bar button or menu item (0 cut ... 5 save, 6 custom).
    void ButtonClick(int Index);

    // The graphic editor's virtual operations.
    virtual void DoCustomClick();
    virtual void DoAssignPicture(TPicture*& APicture);
    // Empty unless OnGetGraphicClass gives one: a blob then loads as a bitmap.
    virtual TGraphicClass GetGraphicClass();

    void SetEditValue(const Variant& Value) override;
    // The picture's graphic as a pointer-sized integer (its address); 0 for none.
    Variant GetEditValue() override;
    std::unique_ptr<TcvEditViewData> CreateViewData(bool FromDefinition) override;
    void DoKillFocus(HWND FocusedWindow) override;

    void WndProc(TMessage& Message) override;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void DblClick() override;

private:
    void PictureChanged(TObject* Sender);
    // The settings, the picture's state and the read-only state into the tool window.
    void TransferSettings();
    void PlaceToolBar();
    void ShowContextMenu(TMessage& Message);

    bool FCenter = true;
    UINT FClipboardFormat;
    std::string FCustomFilter;
    bool FDblClickActivate = true;
    TcvGraphicEditTransparency FGraphicTransparency = gtDefault;
    bool FChangeGuard = false;
    std::unique_ptr<TPicture> FPicture;
    TcvPopupToolBar* FToolBar = nullptr; // owned as a component
    bool FQuickDraw = false;
    TPoint FLastToolBarPos{-10000, -10000};
    bool FStretch = false;
    std::unique_ptr<TBitmap> FCacheBitmap;
    std::unique_ptr<TcvPopupToolBarWindow> FPopupToolBar;
    TPoint FStoredToolBarPos{-10000, -10000};
    bool FPopupToolbarPosStored = true;
};
