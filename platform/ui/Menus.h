// Menus: TMenuItem trees, the form's main menu (drawn in the form's non-client
// area, merged with the active MDI child's by GroupIndex) and popup menus.
// Shortcuts are matched here for the forms' key handling.
#pragma once

#include "platform/ui/Controls.h"

#include <memory>
#include <string>
#include <vector>

class TCustomForm;
class TBitmap;
class TCustomImageList;

// A key with its modifiers: the virtual key in the low byte.
using TShortCut = Word;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;
TShortCut ShortCut(Word Key, TShiftState Shift);
// The shortcut a WM_KEYDOWN / WM_SYSKEYDOWN stands for.
TShortCut ShortCutFromMessage(const TMessage& Message);
// "Ctrl+A", "F2", "Shift+Del"...
std::string ShortCutToText(TShortCut Value);

class TMenu;

using TMenuMeasureItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;
using TMenuDrawItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)>;

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    // A caption of "-" makes a separator.
    bool IsLine() const { return FCaption == "-"; }
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value) { FRadioItem = Value; }
    Byte GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(Byte Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value) { FShortCut = Value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // The images of this item's sub-items, in place of the menu's.
    TCustomImageList* SubMenuImages() const { return FSubMenuImages; }
    void SetSubMenuImages(TCustomImageList* Value);
    // The item's own glyph, for when no image list gives one; made on first use.
    TBitmap* Bitmap();
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    TBasicAction* Action() const { return FAction; }
    void SetAction(TBasicAction* Value);
    // Takes the linked action's caption, state, shortcut and image.
    void ActionChange(TBasicAction* Sender);

    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int Index) const;
    TMenuItem* Parent() const { return FParent; }
    int MenuIndex() const;
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    void Remove(TMenuItem* Item);
    void Delete(int Index);
    void Clear();
    int IndexOf(TMenuItem* Item) const;
    TMenu* GetParentMenu() const;

    // Runs OnClick, or the action when there is no handler.
    virtual void Click();

    TNotifyEvent OnClick;
    // Owner-drawn items: the size and the drawing of the item.
    TMenuMeasureItemEvent OnMeasureItem;
    TMenuDrawItemEvent OnDrawItem;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TMenu;
    void Changed();

    std::string FCaption;
    bool FChecked = false;
    bool FEnabled = true;
    bool FVisible = true;
    bool FDefault = false;
    bool FRadioItem = false;
    Byte FGroupIndex = 0;
    TShortCut FShortCut = scNone;
    int FImageIndex = -1;
    TCustomImageList* FSubMenuImages = nullptr;
    std::unique_ptr<TBitmap> FBitmap;
    std::string FHint;
    TBasicAction* FAction = nullptr;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr; // set on the root item
    std::vector<TMenuItem*> FItems;
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;

    TMenuItem* Items() const { return FItems.get(); }
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value) { FOwnerDraw = Value; }
    // Fires the enabled, visible item (or its action) whose shortcut the key is.
    bool IsShortCut(TMessage& Message);
    // The item with that shortcut, merged items included.
    TMenuItem* FindShortCut(TShortCut Value) const;
    // The top-level items as shown: merged items replace the groups they share.
    std::vector<TMenuItem*> ShownItems() const;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual void MenuChanged();
    TMenu* FMergedMenu = nullptr; // a main menu's merged MDI child menu

private:
    friend class TMenuItem;
    std::unique_ptr<TMenuItem> FItems;
    TCustomImageList* FImages = nullptr;
    bool FOwnerDraw = false;
};

class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* AOwner);
    ~TMainMenu() override;

    bool AutoMerge() const { return FAutoMerge; }
    void SetAutoMerge(bool Value) { FAutoMerge = Value; }
    // Shows Menu's items among this menu's, by GroupIndex, until Unmerge.
    void Merge(TMainMenu* Menu);
    void Unmerge(TMainMenu* Menu);
    TMainMenu* Merged() const;

protected:
    void MenuChanged() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TCustomForm;
    // The bar in the form's non-client area.
    void PaintBar(HDC DC, const TRect& Bar, TFont* Font);
    void ClickBar(HWND Wnd, const TRect& Bar, TPoint WindowPoint, TFont* Font);
    // Alt with a letter opens the top item whose caption marks that letter.
    bool OpenBarAccelerator(HWND Wnd, const TRect& Bar, char32_t Key, TFont* Font);
    // Opens the first item that Match accepts; one opened from the keyboard
    // starts on its first entry.
    bool OpenBarItem(HWND Wnd, const TRect& Bar, TFont* Font, bool FromKeyboard,
                     const std::function<bool(TMenuItem*, const TRect&)>& Match);
    // The item whose drop-down is open shows its title pressed.
    void SetOpenItem(HWND Wnd, TMenuItem* Item);
    std::vector<TRect> BarItemRects(HDC DC, const TRect& Bar, const std::vector<TMenuItem*>& Items) const;

    bool FAutoMerge = true;
    TCustomForm* FWindow = nullptr;
    TMenuItem* FOpenItem = nullptr;
};

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;

    // Fires OnPopup, then shows the menu at a screen point and waits for a
    // choice; the chosen item's Click runs after the menu has closed.
    virtual void Popup(int X, int Y);
    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool Value) { FAutoPopup = Value; }
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* Value) { FPopupComponent = Value; }

    TNotifyEvent OnPopup;

private:
    bool FAutoPopup = true;
    TComponent* FPopupComponent = nullptr;
};

// Paints the menu bar of Wnd (a form's window) again, as its items or their
// drawing changed.
bool DrawMenuBar(HWND Wnd);

// Runs a menu item's popup (its sub-items) at a screen point; answers the
// chosen item, or nullptr. Tests replace it to choose without a window.
using TMenuTracker = std::function<TMenuItem*(TMenuItem* Parent, TPoint ScreenPoint)>;
TMenuTracker SetMenuTracker(TMenuTracker Tracker);
