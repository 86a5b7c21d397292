// Menu items, main and popup menus. The main menu's bar is drawn with GDI in
// its form's non-client area; dropped-down and popup menus are Qt menus built
// from the items for the time they show.
#include "platform/ui/Menus.h"

#include "platform/ui/ActnList.h"
#include "platform/ui/Colors.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Input.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Painting.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Window.h"
#include "platform/ui/private/ControlHost_p.h"
#include "platform/ui/private/GdiObjects_p.h"
#include "platform/ui/private/MessageQueue_p.h"
#include "platform/ui/private/QtApplication_p.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QWidgetAction>

#include <algorithm>
#include <map>

using namespace platform_ui;

// ---- Shortcuts --------------------------------------------------------------

TShortCut ShortCut(Word Key, TShiftState Shift) {
    TShortCut result = static_cast<TShortCut>(Key & 0xFF);
    if (Shift.Contains(ssShift)) result |= scShift;
    if (Shift.Contains(ssCtrl)) result |= scCtrl;
    if (Shift.Contains(ssAlt)) result |= scAlt;
    return result;
}

TShortCut ShortCutFromMessage(const TMessage& m) {
    return ShortCut(static_cast<Word>(m.WParam), KeyDataToShiftState(m.LParam));
}

std::string ShortCutToText(TShortCut Value) {
    const Word key = Value & 0xFF;
    std::string name;
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        name = std::string(1, static_cast<char>(key));
    else if (key >= VK_F1 && key <= VK_F12)
        name = "F" + std::to_string(key - VK_F1 + 1);
    else {
        static const std::map<Word, const char*> names = {
            {VK_BACK, "BkSp"},  {VK_TAB, "Tab"},     {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"}, {VK_SPACE, "Space"},
            {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},   {VK_END, "End"},      {VK_HOME, "Home"},  {VK_LEFT, "Left"},
            {VK_UP, "Up"},      {VK_RIGHT, "Right"}, {VK_DOWN, "Down"},    {VK_INSERT, "Ins"}, {VK_DELETE, "Del"}};
        auto it = names.find(key);
        if (it == names.end()) return {};
        name = it->second;
    }
    std::string text;
    if (Value & scShift) text += "Shift+";
    if (Value & scCtrl) text += "Ctrl+";
    if (Value & scAlt) text += "Alt+";
    return text + name;
}

// ---- TMenuItem --------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
    if (FAction) FAction->UnregisterClient(this);
    if (FParent) FParent->Remove(this);
    // Sub-items owned by someone else stay alive, only unhooked; our own go.
    for (TMenuItem* item : std::vector<TMenuItem*>(FItems)) {
        item->FParent = nullptr;
        if (!item->Owner()) delete item;
    }
}

void TMenuItem::Changed() {
    if (TMenu* menu = GetParentMenu()) menu->MenuChanged();
}

void TMenuItem::SetCaption(const std::string& Value) {
    if (FCaption == Value) return;
    FCaption = Value;
    Changed();
}

void TMenuItem::SetChecked(bool Value) {
    if (FChecked == Value) return;
    FChecked = Value;
    // Radio items of one group exclude each other.
    if (Value && FRadioItem && FParent)
        for (TMenuItem* other : FParent->FItems)
            if (other != this && other->FRadioItem && other->FGroupIndex == FGroupIndex) other->FChecked = false;
    Changed();
}

void TMenuItem::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    Changed();
}

void TMenuItem::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    Changed();
}

void TMenuItem::SetDefault(bool Value) {
    if (FDefault == Value) return;
    if (Value && FParent)
        for (TMenuItem* other : FParent->FItems)
            other->FDefault = false;
    FDefault = Value;
    Changed();
}

void TMenuItem::SetGroupIndex(Byte Value) {
    if (FGroupIndex == Value) return;
    FGroupIndex = Value;
    Changed();
}

void TMenuItem::SetImageIndex(int Value) {
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    Changed();
}

void TMenuItem::SetSubMenuImages(TCustomImageList* Value) {
    if (FSubMenuImages == Value) return;
    if (FSubMenuImages) FSubMenuImages->RemoveFreeNotification(this);
    FSubMenuImages = Value;
    if (Value) Value->FreeNotification(this);
    Changed();
}

TBitmap* TMenuItem::Bitmap() {
    if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
    return FBitmap.get();
}

void TMenuItem::SetAction(TBasicAction* Value) {
    if (RelinkAction(FAction, Value, this) && Value) ActionChange(Value);
}

void TMenuItem::ActionChange(TBasicAction* Sender) {
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (!action) return;
    FCaption = action->Caption();
    FEnabled = action->Enabled();
    FVisible = action->Visible();
    FChecked = action->Checked();
    FHint = action->Hint();
    FShortCut = action->ShortCut();
    FImageIndex = action->ImageIndex();
    Changed();
}

void TMenuItem::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FAction) FAction = nullptr;
    if (Operation == opRemove && AComponent == FSubMenuImages) FSubMenuImages = nullptr;
}

TMenuItem* TMenuItem::Items(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FItems[static_cast<size_t>(Index)];
}

int TMenuItem::MenuIndex() const {
    return FParent ? FParent->IndexOf(const_cast<TMenuItem*>(this)) : -1;
}

void TMenuItem::Add(TMenuItem* Item) {
    Insert(Count(), Item);
}

void TMenuItem::Insert(int Index, TMenuItem* Item) {
    if (Item->FParent) throw EInvalidOperation("Menu inserted twice");
    Index = std::clamp(Index, 0, Count());
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    Changed();
}

void TMenuItem::Remove(TMenuItem* Item) {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it == FItems.end()) return;
    FItems.erase(it);
    Item->FParent = nullptr;
    Changed();
}

void TMenuItem::Delete(int Index) {
    Remove(Items(Index));
}

void TMenuItem::Clear() {
    while (!FItems.empty()) {
        TMenuItem* item = FItems.back();
        Remove(item);
        delete item;
    }
}

int TMenuItem::IndexOf(TMenuItem* Item) const {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* item = this;
    while (item->FParent)
        item = item->FParent;
    return item->FMenu;
}

void TMenuItem::Click() {
    if (!FEnabled) return;
    if (!Fire(OnClick, this) && FAction) FAction->Execute();
}

// ---- TMenu ------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr)) {
    FItems->FMenu = this;
}

TMenu::~TMenu() {
    FItems->FMenu = nullptr;
}

void TMenu::SetImages(TCustomImageList* Value) {
    FImages = Value;
    MenuChanged();
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == reinterpret_cast<TComponent*>(FImages)) FImages = nullptr;
    if (AComponent == FMergedMenu) FMergedMenu = nullptr;
}

void TMenu::MenuChanged() {}

std::vector<TMenuItem*> TMenu::ShownItems() const {
    // Both lists in GroupIndex order; where the merged menu has a group, its
    // items stand in place of ours.
    const std::vector<TMenuItem*>& own = FItems->FItems;
    const std::vector<TMenuItem*> none;
    const std::vector<TMenuItem*>& merged = FMergedMenu ? FMergedMenu->FItems->FItems : none;
    std::vector<TMenuItem*> result;
    size_t i = 0, j = 0;
    while (i < merged.size() || j < own.size()) {
        const int mi = i < merged.size() ? merged[i]->GroupIndex() : 256;
        const int oj = j < own.size() ? own[j]->GroupIndex() : 256;
        const int group = std::min(mi, oj);
        if (mi <= oj)
            while (i < merged.size() && merged[i]->GroupIndex() == group)
                result.push_back(merged[i++]);
        else
            while (j < own.size() && own[j]->GroupIndex() == group)
                result.push_back(own[j++]);
        while (i < merged.size() && merged[i]->GroupIndex() <= group)
            ++i;
        while (j < own.size() && own[j]->GroupIndex() <= group)
            ++j;
    }
    return result;
}

TMenuItem* TMenu::FindShortCut(TShortCut Value) const {
    std::function<TMenuItem*(TMenuItem*)> find = [&](TMenuItem* item) -> TMenuItem* {
        if (item->ShortCut() == Value && Value != scNone) return item;
        for (TMenuItem* sub : item->FItems)
            if (TMenuItem* found = find(sub)) return found;
        return nullptr;
    };
    for (TMenuItem* item : ShownItems())
        if (TMenuItem* found = find(item)) return found;
    return nullptr;
}

bool TMenu::IsShortCut(TMessage& Message) {
    const TShortCut sc = ShortCutFromMessage(Message);
    TMenuItem* item = FindShortCut(sc);
    if (!item) return false;
    // Parents first, so a handler that fills a sub-menu runs before its item.
    std::vector<TMenuItem*> chain;
    for (TMenuItem* p = item; p && p->Parent(); p = p->Parent())
        chain.insert(chain.begin(), p);
    try {
        for (TMenuItem* p : chain) {
            if (auto* action = p->Action()) action->Update();
            if (!p->Enabled()) return true;
            if (p == item)
                p->Click();
            else
                Fire(p->OnClick, p);
        }
    } catch (const std::exception& e) {
        Application->HandleException(e);
    }
    return true;
}

// ---- Tracking a drop-down ---------------------------------------------------

namespace {

bool IsOwnerDrawn(TMenuItem* item) {
    TMenu* menu = item->GetParentMenu();
    return menu && menu->OwnerDraw() && item->OnDrawItem;
}

// The picture of an owner-drawn item, drawn by its hook on a bitmap.
QImage DrawnItem(TMenuItem* item, TSize size, bool selected) {
    TBitmap bitmap;
    bitmap.SetSize(size.cx, size.cy);
    TCanvas* canvas = bitmap.Canvas();
    canvas->Brush()->SetColor(selected ? clHighlight : clMenu);
    canvas->FillRect(Rect(0, 0, size.cx, size.cy));
    Fire(item->OnDrawItem, item, canvas, Rect(0, 0, size.cx, size.cy), selected);
    return bitmap.Handle() ? bitmap.Handle()->image.convertToFormat(QImage::Format_RGB32) : QImage();
}

TSize MeasuredItem(TMenuItem* item) {
    // The default size is what a plain item of that caption would take.
    TBitmap bitmap;
    bitmap.SetSize(1, 1);
    TSize size{bitmap.Canvas()->TextWidth(item->Caption()) + 40, GetSystemMetrics(SM_CYMENU)};
    Fire(item->OnMeasureItem, item, bitmap.Canvas(), size.cx, size.cy);
    return size;
}

// An owner-drawn entry of a dropped-down menu: it shows what the item's
// hook draws, highlighted under the pointer, and chooses the item on release.
class OwnerDrawnEntry : public QWidget {
public:
    OwnerDrawnEntry(TMenuItem* item, QMenu* menu, TMenuItem** chosen)
        : FItem(item), FMenu(menu), FChosen(chosen), FSize(MeasuredItem(item)) {
        setMouseTracking(true);
        setFixedSize(FSize.cx, FSize.cy);
        setEnabled(item->Enabled());
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        // A failing owner-drawn item is reported after Qt's paint, not inside it.
        ReportFailuresLater later;
        RunGuarded([&] { painter.drawImage(0, 0, DrawnItem(FItem, FSize, underMouse() && isEnabled())); });
    }
    void enterEvent(QEnterEvent*) override { update(); }
    void leaveEvent(QEvent*) override { update(); }
    void mouseReleaseEvent(QMouseEvent*) override {
        if (!isEnabled()) return;
        *FChosen = FItem;
        FMenu->close();
    }

private:
    TMenuItem* FItem;
    QMenu* FMenu;
    TMenuItem** FChosen;
    TSize FSize;
};

// The first entry the user can choose, or nullptr.
QAction* FirstChoosable(QMenu& menu) {
    for (QAction* action : menu.actions())
        if (!action->isSeparator() && action->isEnabled()) return action;
    return nullptr;
}

TMenuItem* TrackWithQt(TMenuItem* parent, TPoint screenPoint, bool selectFirst) {
    EnsureQtApplication();
    QMenu menu;
    TMenuItem* ownerDrawnChoice = nullptr;
    std::map<QAction*, TMenuItem*> items;
    std::function<void(QMenu*, TMenuItem*)> fill = [&](QMenu* target, TMenuItem* from) {
        for (int i = 0; i < from->Count(); ++i) {
            TMenuItem* item = from->Items(i);
            if (!item->Visible()) continue;
            if (item->IsLine()) {
                target->addSeparator();
                continue;
            }
            QString text = ToQString(item->Caption());
            if (item->ShortCut() != scNone) text += "\t" + ToQString(ShortCutToText(item->ShortCut()));
            if (item->Count() > 0) {
                QMenu* sub = target->addMenu(text);
                sub->setEnabled(item->Enabled());
                fill(sub, item);
                continue;
            }
            if (IsOwnerDrawn(item)) {
                auto* entry = new QWidgetAction(target);
                entry->setDefaultWidget(new OwnerDrawnEntry(item, &menu, &ownerDrawnChoice));
                target->addAction(entry);
                continue;
            }
            QAction* action = target->addAction(text);
            action->setEnabled(item->Enabled());
            action->setCheckable(item->Checked());
            action->setChecked(item->Checked());
            if (item->Default()) {
                QFont f = action->font();
                f.setBold(true);
                action->setFont(f);
            }
            items[action] = item;
        }
    };
    fill(&menu, parent);
    // A menu opened from the keyboard starts on its first item, so Enter
    // chooses it and the arrows move on from there.
    if (selectFirst)
        QObject::connect(&menu, &QMenu::aboutToShow, &menu, [&menu] { menu.setActiveAction(FirstChoosable(menu)); });
    QAction* chosen = menu.exec(QPoint(screenPoint.X, screenPoint.Y));
    if (ownerDrawnChoice) return ownerDrawnChoice;
    auto it = items.find(chosen);
    return it == items.end() ? nullptr : it->second;
}

TMenuTracker& Tracker() {
    static TMenuTracker tracker;
    return tracker;
}

TMenuItem* Track(TMenuItem* parent, TPoint screenPoint, bool selectFirst = false) {
    CancelCaptureOutside(nullptr);
    if (Tracker()) return Tracker()(parent, screenPoint);
    return TrackWithQt(parent, screenPoint, selectFirst);
}

} // namespace

TMenuTracker SetMenuTracker(TMenuTracker tracker) {
    TMenuTracker previous = std::move(Tracker());
    Tracker() = std::move(tracker);
    return previous;
}

// ---- TMainMenu --------------------------------------------------------------

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

TMainMenu::~TMainMenu() {
    if (FWindow && FWindow->Menu() == this) FWindow->SetMenu(nullptr);
}

void TMainMenu::Merge(TMainMenu* Menu) {
    if (Menu == this) return;
    if (FMergedMenu) FMergedMenu->RemoveFreeNotification(this);
    FMergedMenu = Menu;
    if (Menu) Menu->FreeNotification(this);
    MenuChanged();
}

void TMainMenu::Unmerge(TMainMenu* Menu) {
    if (!Menu || FMergedMenu != Menu) return;
    Menu->RemoveFreeNotification(this);
    FMergedMenu = nullptr;
    MenuChanged();
}

TMainMenu* TMainMenu::Merged() const {
    return static_cast<TMainMenu*>(FMergedMenu);
}

void TMainMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TMenu::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FWindow) FWindow = nullptr;
}

void TMainMenu::MenuChanged() {
    if (FWindow && FWindow->HandleAllocated()) DrawMenuBar(FWindow->Handle());
}

namespace {
constexpr int MenuItemPadding = 8; // on each side of a caption in the bar
}

std::vector<TRect> TMainMenu::BarItemRects(HDC DC, const TRect& Bar, const std::vector<TMenuItem*>& Items) const {
    std::vector<TRect> rects;
    int x = Bar.Left;
    for (TMenuItem* item : Items) {
        if (!item->Visible()) {
            rects.push_back({});
            continue;
        }
        TRect r = Rect(0, 0, 0, 0);
        DrawText(DC, item->Caption(), &r, DT_SINGLELINE | DT_CALCRECT);
        int width = r.Width() + 2 * MenuItemPadding;
        if (IsOwnerDrawn(item)) width = MeasuredItem(item).cx;
        rects.push_back(Rect(x, Bar.Top, x + width, Bar.Bottom - 1));
        x += width;
    }
    return rects;
}

void TMainMenu::PaintBar(HDC DC, const TRect& Bar, TFont* Font) {
    const int saved = SaveDC(DC);
    TRect fill = Bar;
    FillRect(DC, &fill, GetSysColorBrush(COLOR_MENU));
    SelectObject(DC, Font->Handle());
    SetBkMode(DC, TRANSPARENT);
    const auto items = ShownItems();
    const auto rects = BarItemRects(DC, Bar, items);
    for (size_t i = 0; i < items.size(); ++i) {
        if (!items[i]->Visible()) continue;
        TRect r = rects[i];
        const bool open = items[i] == FOpenItem;
        if (IsOwnerDrawn(items[i])) {
            TCanvas canvas;
            canvas.SetHandle(DC);
            canvas.Font()->Assign(Font);
            canvas.Brush()->SetColor(clMenu);
            Fire(items[i]->OnDrawItem, items[i], &canvas, r, open);
            canvas.SetHandle(nullptr);
            continue;
        }
        if (open) {
            TRect edge = r;
            DrawEdge(DC, &edge, BDR_SUNKENOUTER, BF_RECT);
            OffsetRect(r, 1, 1);
        }
        SetTextColor(DC, GetSysColor(items[i]->Enabled() ? COLOR_MENUTEXT : COLOR_GRAYTEXT));
        DrawText(DC, items[i]->Caption(), &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
    RestoreDC(DC, saved);
}

void TMainMenu::ClickBar(HWND Wnd, const TRect& Bar, TPoint WindowPoint, TFont* Font) {
    OpenBarItem(Wnd, Bar, Font, false, [&](TMenuItem*, const TRect& r) { return PtInRect(r, WindowPoint); });
}

bool TMainMenu::OpenBarAccelerator(HWND Wnd, const TRect& Bar, char32_t Key, TFont* Font) {
    return OpenBarItem(Wnd, Bar, Font, true,
                       [&](TMenuItem* item, const TRect&) { return IsAccel(Key, item->Caption()); });
}

void TMainMenu::SetOpenItem(HWND Wnd, TMenuItem* Item) {
    FOpenItem = Item;
    // At once: the drop-down's own loop runs before the next paint would.
    RedrawWindow(Wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
}

bool TMainMenu::OpenBarItem(HWND Wnd, const TRect& Bar, TFont* Font, bool FromKeyboard,
                            const std::function<bool(TMenuItem*, const TRect&)>& Match) {
    HDC dc = GetWindowDC(Wnd);
    SelectObject(dc, Font->Handle());
    const auto items = ShownItems();
    const auto rects = BarItemRects(dc, Bar, items);
    ReleaseDC(Wnd, dc);
    for (size_t i = 0; i < items.size(); ++i) {
        if (!items[i]->Visible() || !Match(items[i], rects[i])) continue;
        TMenuItem* item = items[i];
        if (!item->Enabled()) return true;
        const bool clicked = Fire(item->OnClick, item); // lets the handler fill the drop-down
        if (item->Count() == 0) {
            if (!clicked && item->Action()) item->Action()->Execute();
            return true;
        }
        TRect window;
        GetWindowRect(Wnd, window);
        TMenuItem* chosen = nullptr;
        {
            SetOpenItem(Wnd, item);
            struct TClosedAgain {
                TMainMenu* Menu;
                HWND Wnd;
                ~TClosedAgain() { Menu->SetOpenItem(Wnd, nullptr); }
            } closedAgain{this, Wnd};
            chosen = Track(item, Point(window.Left + rects[i].Left, window.Top + rects[i].Bottom), FromKeyboard);
        }
        if (chosen) chosen->Click();
        return true;
    }
    return false;
}

bool DrawMenuBar(HWND Wnd) {
    // The bar is in the non-client area.
    return RedrawWindow(Wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

// ---- TPopupMenu -------------------------------------------------------------

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::Popup(int X, int Y) {
    Fire(OnPopup, this);
    // Linked actions bring their items up to date first.
    std::function<void(TMenuItem*)> update = [&](TMenuItem* item) {
        for (int i = 0; i < item->Count(); ++i) {
            if (TBasicAction* action = item->Items(i)->Action()) action->Update();
            update(item->Items(i));
        }
    };
    update(Items());
    if (TMenuItem* chosen = Track(Items(), Point(X, Y))) chosen->Click();
}
