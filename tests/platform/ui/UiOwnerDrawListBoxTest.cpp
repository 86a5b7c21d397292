// The owner-drawn list box: items measured and drawn on its canvas, their
// rectangles and hit test, the scroll bar and the integral height, the
// prefix search of LB_SELECTSTRING, and the popup use: a top-level list that
// shows its selection as focused while the form's edit keeps the keyboard.
#include "UiTestSupport.h"

#include "platform/ui/Colors.h"
#include "platform/ui/Forms.h"
#include "platform/ui/ListBoxWindow.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Painting.h"
#include "platform/ui/ScrollBar.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace uitest;
using namespace platform_ui::test;

namespace {

// Item i is 10 + 4 * i pixels high.
int VariableHeight(int Index) {
    return 10 + 4 * Index;
}

struct ListWorld {
    TForm* Form = nullptr;
    TEdit* Edit = nullptr;
    TListBox* List = nullptr;
    std::vector<std::pair<int, TOwnerDrawState>> Drawn;

    explicit ListWorld(TListBoxStyle Style, int Height = 120) {
        CreateFormInstance(Form, nullptr);
        Form->SetBounds(100, 100, 300, 260);
        Edit = new TEdit(Form);
        Edit->SetParent(Form);
        Edit->SetBounds(8, 8, 120, 21);
        List = new TListBox(Form);
        List->SetStyle(Style);
        List->SetParent(Form);
        List->SetBounds(8, 40, 150, Height);
        List->OnMeasureItem = [](TWinControl*, int Index, int& ItemHeight) { ItemHeight = VariableHeight(Index); };
        List->OnDrawItem = [this](TWinControl*, int Index, TRect Rect, TOwnerDrawState State) {
            Drawn.emplace_back(Index, State);
            List->Canvas()->FillRect(Rect);
        };
    }
    ~ListWorld() { delete Form; }

    void Fill(int Items) {
        for (int i = 0; i < Items; ++i)
            List->Items()->Add("item " + std::to_string(i));
    }
    // The state the item had when it was last drawn.
    TOwnerDrawState LastState(int Index) const {
        for (auto it = Drawn.rbegin(); it != Drawn.rend(); ++it)
            if (it->first == Index) return it->second;
        return {};
    }
    void Repaint() {
        Drawn.clear();
        InvalidateRect(List->Handle(), nullptr, true);
        UpdateWindow(List->Handle());
    }
    bool HasScrollBar() const { return List->ClientWidth() < List->Width() - 4; }
};

// A pixel of the backing image at a client point.
uint32_t ClientPixel(TWinControl* Control, TPoint At) {
    const TPoint screen = Control->ClientToScreen(At);
    TRect window;
    GetWindowRect(Control->Handle(), window);
    return BackingPixel(Control->Handle(), screen.X - window.Left, screen.Y - window.Top);
}

uint32_t Rgb(TColor Color) {
    const COLORREF c = ColorToRGB(Color);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

} // namespace

TEST(UiOwnerDrawListBox, VariableItemsAreMeasuredOnceAndLaidOutByTheirHeights) {
    ListWorld w(lbOwnerDrawVariable);
    w.Form->Show();
    w.Fill(4);
    int top = 0;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(w.List->ItemRect(i), Rect(0, top, w.List->ClientWidth(), top + VariableHeight(i))) << i;
        top += VariableHeight(i);
    }
    const struct {
        TPoint At;
        bool Existing;
        int Item;
    } hits[] = {
        {{5, 0}, true, 0},          {{5, 9}, true, 0},           {{5, 10}, true, 1},
        {{5, top - 1}, true, 3},    {{5, top + 2}, true, -1},    {{5, top + 2}, false, 4},
        {{5, -3}, false, -1}, // outside the client area
    };
    for (const auto& h : hits)
        EXPECT_EQ(w.List->ItemAtPos(h.At, h.Existing), h.Item) << h.At.Y << " existing " << h.Existing;
}

TEST(UiOwnerDrawListBox, TheSelectedItemDrawsHighlightedAndFocusedWithTheFocus) {
    ListWorld w(lbOwnerDrawFixed);
    w.List->OnDrawItem = nullptr; // the default drawing: fill and text
    w.Fill(3);
    w.Form->Show();
    w.List->SetItemIndex(1);
    UpdateWindow(w.List->Handle());
    const TRect item = w.List->ItemRect(1);
    EXPECT_EQ(ClientPixel(w.List, {item.Right - 3, item.Top + 2}), Rgb(clHighlight));
    EXPECT_EQ(ClientPixel(w.List, {item.Right - 3, item.Bottom + 2}), Rgb(clWindow));

    w.List->OnDrawItem = [&w](TWinControl*, int Index, TRect, TOwnerDrawState State) {
        w.Drawn.emplace_back(Index, State);
    };
    w.Repaint();
    EXPECT_TRUE(w.LastState(1).Contains(odSelected));
    EXPECT_FALSE(w.LastState(1).Contains(odFocused));
    EXPECT_TRUE(w.LastState(0).Empty());
    w.List->SetFocus();
    w.Repaint();
    EXPECT_TRUE(w.LastState(1).Contains(odFocused));
}

TEST(UiOwnerDrawListBox, ABarShowsWhileTheItemsDoNotFitAndTheSelectionStaysInView) {
    ListWorld w(lbOwnerDrawFixed, 84);
    w.List->SetItemHeight(16);
    w.Form->Show();
    w.Fill(4);
    EXPECT_FALSE(w.HasScrollBar()) << "four rows of 16 fit into 80";
    w.Fill(8);
    EXPECT_TRUE(w.HasScrollBar());
    TScrollInfo info;
    info.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(w.List->Handle(), SB_VERT, info));
    EXPECT_EQ(info.nMax, 11);
    EXPECT_EQ(info.nPage, 5u);

    const struct {
        int Selected;
        int Top;
    } steps[] = {{11, 7}, {3, 3}, {0, 0}, {6, 2}};
    for (const auto& s : steps) {
        w.List->SetItemIndex(s.Selected);
        EXPECT_EQ(w.List->TopIndex(), s.Top) << s.Selected;
    }
    SendMessage(w.List->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(w.List->TopIndex(), 7) << "the last page is full";
    EXPECT_EQ(GetScrollPos(w.List->Handle(), SB_VERT), 7);
}

TEST(UiOwnerDrawListBox, TheClientSizeLeavesTheFrameAndTheBar) {
    ListWorld w(lbOwnerDrawFixed);
    w.Fill(30);
    w.Form->Show();
    w.List->SetClientHeight(80);
    w.List->SetClientWidth(100);
    EXPECT_EQ(w.List->ClientHeight(), 80);
    EXPECT_EQ(w.List->ClientWidth(), 100);
    EXPECT_TRUE(w.HasScrollBar());
}

TEST(UiOwnerDrawListBox, IntegralHeightCutsAFixedListToWholeItems) {
    for (const bool integral : {false, true}) {
        ListWorld w(lbOwnerDrawFixed, 110);
        w.List->SetIntegralHeight(integral);
        w.List->SetItemHeight(16);
        w.Form->Show();
        EXPECT_EQ(w.List->ClientHeight() % 16 == 0, integral) << w.List->ClientHeight();
    }
}

TEST(UiOwnerDrawListBox, SelectStringFindsThePrefixAfterTheStartWrapping) {
    const struct {
        WPARAM Before;
        const char* Text;
        LRESULT Found;
    } cases[] = {
        {65535, "ap", 0},   // the whole list from the top
        {0, "AP", 1},       // after Apple: apricot, case ignored
        {1, "ap", 0},       // past the end, on from the top
        {WPARAM(-1), "b", 2},
        {65535, "北", 3},
        {65535, "北京市", LB_ERR},
        {65535, "x", LB_ERR},
    };
    ListWorld w(lbOwnerDrawVariable);
    for (const char* item : {"Apple", "apricot", "Banana", "北京", "北海"})
        w.List->Items()->Add(item);
    w.Form->Show();
    for (const auto& c : cases) {
        w.List->SetItemIndex(4);
        EXPECT_EQ(SendMessage(w.List->Handle(), LB_SELECTSTRING, c.Before, reinterpret_cast<LPARAM>(c.Text)), c.Found)
            << c.Before << " " << c.Text;
        EXPECT_EQ(w.List->ItemIndex(), c.Found == LB_ERR ? 4 : c.Found) << "a miss keeps the selection";
    }
}

// A popup list: top-level from the start, told it has the focus by its own
// default procedure, so its selection looks focused while the edit types.
class TTestPopupList : public TListBox {
public:
    using TListBox::TListBox;

protected:
    void CreateParams(TCreateParams& Params) override {
        TListBox::CreateParams(Params);
        Params.Style = (Params.Style & ~(WS_CHILD | WS_BORDER)) | WS_POPUP;
        Params.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    }
    void CreateWnd() override {
        TListBox::CreateWnd();
        TMessage focus{WM_SETFOCUS, 0, 0, 0};
        DefaultHandler(focus);
    }
};

TEST(UiOwnerDrawListBox, APopupListTakesClicksButNeitherActivationNorFocus) {
    ListWorld w(lbOwnerDrawVariable);
    auto* popup = new TTestPopupList(w.Form);
    popup->SetStyle(lbOwnerDrawVariable);
    popup->SetTabStop(false);
    popup->SetVisible(false);
    popup->SetParent(w.Edit);
    std::vector<std::pair<int, TOwnerDrawState>> drawn;
    popup->OnDrawItem = [&](TWinControl*, int Index, TRect Rect, TOwnerDrawState State) {
        drawn.emplace_back(Index, State);
        popup->Canvas()->FillRect(Rect);
    };
    for (const char* item : {"一", "二", "三"})
        popup->Items()->Add(item);
    w.Form->Show();
    w.Edit->SetFocus();
    ProcessMessages();
    const TPoint below = w.Edit->ClientToScreen({0, w.Edit->Height()});
    SetWindowPos(popup->Handle(), HWND_TOP, below.X, below.Y, 120, 60, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ProcessMessages();
    EXPECT_EQ(GetParent(popup->Handle()), w.Edit->Handle()) << "owned by the edit, not its child";
    EXPECT_FALSE(GetWindowLong(popup->Handle(), GWL_STYLE) & WS_CHILD);

    const TRect second = popup->ItemRect(1);
    Click(popup, {5, second.Top + 2});
    EXPECT_EQ(popup->ItemIndex(), 1);
    EXPECT_EQ(GetActiveWindow(), w.Form->Handle());
    EXPECT_EQ(GetFocus(), w.Edit->Handle());
    drawn.clear();
    InvalidateRect(popup->Handle(), nullptr, true);
    UpdateWindow(popup->Handle());
    ASSERT_FALSE(drawn.empty());
    bool focusedSelection = false;
    for (const auto& [index, state] : drawn)
        if (index == 1) focusedSelection = state.Contains(odSelected) && state.Contains(odFocused);
    EXPECT_TRUE(focusedSelection);
}
