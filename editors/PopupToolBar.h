// The picture editor's floating tool window and its settings. The window is a
// small captioned tool window that stays on top and never takes the
// activation: a column or row of flat buttons (cut, copy, paste, delete,
// load, save and an optional custom one) whose states follow the editor's
// picture, its read-only state and the clipboard, which it watches as a
// clipboard viewer. The settings may ask for a context menu instead.
#pragma once

#include "platform/rtl/Classes.h"
#include "platform/ui/Forms.h"

#include <array>
#include <functional>
#include <memory>
#include <string>

class TBitmap;
class TPopupMenu;
class TSpeedButton;
class TcvInplaceEdit;

enum TcvPopupToolBarButton { ptbCut, ptbCopy, ptbPaste, ptbDelete, ptbLoad, ptbSave, ptbCustom };
using TcvPopupToolBarButtons = TSet<TcvPopupToolBarButton>;
enum TcvPopupToolBarAlignment { ptaLeft, ptaRight, ptaTop, ptaBottom };

inline constexpr TcvPopupToolBarButtons StandardToolBarButtons{ptbCut, ptbCopy, ptbPaste, ptbDelete, ptbLoad, ptbSave};

// Whether a picture command (a button's index) can run on a picture in that state.
bool PictureCommandEnabled(int Index, bool PictureEmpty, bool ReadOnly, UINT ClipboardFormat);

// What an editor's tool window shows; Assign copies every field but the owner.
class TcvPopupToolBarWindow : public TPersistent {
public:
    explicit TcvPopupToolBarWindow(TcvInplaceEdit* OwnerEditor = nullptr);
    ~TcvPopupToolBarWindow() override;
    void Assign(TPersistent* Source) override;

    TcvPopupToolBarAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TcvPopupToolBarAlignment Value) { FAlignment = Value; }
    TcvPopupToolBarButtons Buttons() const { return FButtons; }
    void SetButtons(TcvPopupToolBarButtons Value) { FButtons = Value; }
    const std::string& CustomButtonCaption() const { return FCustomButtonCaption; }
    void SetCustomButtonCaption(const std::string& Value) { FCustomButtonCaption = Value; }
    // Made empty on first read; nullptr frees it.
    TBitmap* CustomButtonGlyph();
    void SetCustomButtonGlyph(TBitmap* Value);
    bool HasCustomButtonGlyph() const { return FCustomButtonGlyph != nullptr; }
    TcvInplaceEdit* OwnerEditor() const { return FOwnerEditor; }
    // True: the editor offers a context menu instead of the tool window.
    bool IsPopupMenu() const { return FIsPopupMenu; }
    void SetIsPopupMenu(bool Value);
    bool ShowCaptions() const { return FShowCaptions; }
    void SetShowCaptions(bool Value) { FShowCaptions = Value; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { FVisible = Value; }

    // Told when IsPopupMenu changes (the editor's tool window follows it).
    std::function<void(bool IsPopupMenu)> OnPopupMenuChange;

private:
    TcvPopupToolBarAlignment FAlignment = ptaBottom;
    TcvPopupToolBarButtons FButtons = StandardToolBarButtons;
    std::string FCustomButtonCaption;
    std::unique_ptr<TBitmap> FCustomButtonGlyph;
    TcvInplaceEdit* FOwnerEditor;
    bool FIsPopupMenu = true;
    bool FShowCaptions = true;
    bool FVisible = true;
};

using TcvToolBarButtonClickEvent = std::function<void(TObject* Sender, int Button)>;

class TcvPopupToolBar : public TForm {
public:
    static constexpr int ButtonCount = 7;

    explicit TcvPopupToolBar(TComponent* AOwner);
    ~TcvPopupToolBar() override;

    TSpeedButton* Button(TcvPopupToolBarButton Index) const { return FButtons[Index]; }
    void SetCustomCaption(const std::string& Value);
    void SetCustomGlyph(TBitmap* Value);
    TcvPopupToolBarAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TcvPopupToolBarAlignment Value);
    TcvPopupToolBarButtons Buttons() const { return FButtonSet; }
    void SetButtons(TcvPopupToolBarButtons Value);
    void SetShowCaptions(bool Value);
    bool IsPopupMenu() const { return FIsPopupMenu; }
    void SetIsPopupMenu(bool Value) { FIsPopupMenu = Value; }
    // What the button and item states follow.
    void SetClipboardFormat(UINT Value) { FClipboardFormat = Value; }
    void SetPictureEmpty(bool Value) { FPictureEmpty = Value; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    // Set when the user closed the window; cleared when it is shown again.
    bool ClosedByUser() const { return FClosedByUser; }
    void SetClosedByUser(bool Value) { FClosedByUser = Value; }
    TcvInplaceEdit* OwnerEditor() const { return FOwnerEditor; }
    void SetOwnerEditor(TcvInplaceEdit* Value) { FOwnerEditor = Value; }
    // The context menu, made by the settings transfer while IsPopupMenu.
    TPopupMenu* ContextMenu() const { return FContextMenu; }
    // Makes the context menu on first use and shows the items of Settings.
    void UpdateContextMenu(TcvPopupToolBarWindow& Settings);

    // Sizes the window to the present buttons and places them.
    void LayoutButtons();
    // Enables buttons and menu items by the picture, read-only state and clipboard.
    void UpdateButtonStates();
    // Shows the window at its place without taking the activation.
    void ShowNoActivate();

    TcvToolBarButtonClickEvent OnButtonClick;

    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;

private:
    bool ButtonEnabled(int Index) const;
    void LeaveClipboardChain();
    void ButtonClicked(int Index);

    std::array<TSpeedButton*, ButtonCount> FButtons{};
    std::string FCustomCaption;
    UINT FClipboardFormat;
    TPopupMenu* FContextMenu = nullptr; // owned
    bool FIsPopupMenu = false;
    bool FPictureEmpty = true;
    bool FReadOnly = false;
    bool FClosedByUser = false;
    bool FShowCaptions = true;
    TcvPopupToolBarAlignment FAlignment = ptaRight;
    TcvPopupToolBarButtons FButtonSet = StandardToolBarButtons;
    HWND FNextViewer = nullptr;
    bool FInViewerChain = false;
    TcvInplaceEdit* FOwnerEditor = nullptr;
};
