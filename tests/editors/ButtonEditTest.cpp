// The button editor hosted in the test container and driven through real
// input: mouse clicks on its buttons, ClickKey, the drop-down keys that do
// nothing here, the collection's rules (eight at most, one default, an empty
// stored collection), and buttons-only cells painted from view data.
#include "editors/ButtonEdit.h"
#include "tests/editors/EditorTestHost.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Window.h"
#include "platform/ui/testhooks/WmTestHooks.h"
#include "tests/platform/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace uitest;
using namespace editortest;
using platform_ui::test::SendQtMouse;
using platform_ui::test::TMouseEventKind;

namespace {

struct HostedButtonEdit : HostedEditor {
    TcvInplaceButtonEdit* Edit;
    std::vector<int> Clicks; // collection indexes reported
    int DropDowns = 0;
    HostedButtonEdit() : HostedEditor(TcvInplaceButtonEdit::StaticClass()) {
        Edit = static_cast<TcvInplaceButtonEdit*>(Editor);
        Edit->OnButtonClick = [this](TObject*, int Index) { Clicks.push_back(Index); };
        Edit->OnDropDown = [this](TObject*) { ++DropDowns; };
    }
    // The rectangle of a visible button in the editor's window coordinates.
    TRect Button(int VisibleIndex) {
        std::unique_ptr<TcvEditViewData> cell = Edit->CreateViewData(false);
        TcvEditViewInfo info;
        Edit->EditorClass().CalcViewInfo(*cell, false, info);
        TRect found{};
        TcvDropDownEditClassOps::ForEachButtonRect(info, *cell, [&](int Index, const TRect& R) {
            if (Index == VisibleIndex) found = R;
            return true;
        });
        return found;
    }
    void ClickButton(int VisibleIndex) {
        const TRect r = Button(VisibleIndex);
        const TPoint at{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
        SendQtMouse(Edit->Handle(), TMouseEventKind::Move, at, 0, 0);
        SendQtMouse(Edit->Handle(), TMouseEventKind::Press, at, MK_LBUTTON, MK_LBUTTON);
        ProcessMessages();
        SendQtMouse(Edit->Handle(), TMouseEventKind::Release, at, MK_LBUTTON, 0);
        ProcessMessages();
    }
};

TEST(ButtonEdit, ANewEditorHasOneDefaultEllipsisButtonThatCtrlEnterClicks) {
    HostedButtonEdit h;
    h.Open("text");
    ASSERT_EQ(h.Edit->Buttons()->Count(), 1);
    const TcvEditButton* button = h.Edit->Buttons()->GetItem(0);
    EXPECT_TRUE(button->Default());
    EXPECT_TRUE(button->Visible());
    EXPECT_EQ(button->Kind(), bkEllipsis);

    Type(h.Edit, VK_RETURN, "\r", MK_CONTROL);
    EXPECT_EQ(h.Clicks, std::vector<int>{0});
    EXPECT_EQ(h.DropDowns, 1);
    EXPECT_EQ(h.Edit->Text(), "text") << "no character typed";
    EXPECT_TRUE(h.Host->Calls.empty()) << "the key went no further";

    h.Edit->SetReadOnly(true);
    Type(h.Edit, VK_RETURN, "\r", MK_CONTROL);
    EXPECT_EQ(h.Clicks, std::vector<int>{0}) << "a read-only editor clicks nothing";
}

TEST(ButtonEdit, AClickReportsTheCollectionIndexOfTheShownButton) {
    HostedButtonEdit h;
    h.Edit->Buttons()->Add();
    h.Edit->Buttons()->Add()->SetKind(bkDown);
    h.Edit->Buttons()->GetItem(0)->SetVisible(false);
    h.Open("text");
    // Visible index -> collection index.
    const struct {
        int Visible;
        int Reported;
    } cases[] = {{0, 1}, {1, 2}};
    for (const auto& c : cases) {
        h.Clicks.clear();
        h.ClickButton(c.Visible);
        EXPECT_EQ(h.Clicks, std::vector<int>{c.Reported}) << "visible button " << c.Visible;
    }
    EXPECT_EQ(h.DropDowns, 2) << "every click runs the drop-down hook";
    EXPECT_EQ(h.Edit->Text(), "text");
}

TEST(ButtonEdit, DropDownKeysHaveNoMeaningHere) {
    struct Case {
        const char* Name;
        Word Key;
        const char* Text;
        WPARAM Keys;
    };
    const Case cases[] = {
        {"Alt+Down", VK_DOWN, "", MK_ALT},
        {"F4", VK_F4, "", 0},
    };
    for (const Case& c : cases) {
        HostedButtonEdit h;
        h.Open("text");
        Type(h.Edit, c.Key, c.Text, c.Keys);
        EXPECT_EQ(h.DropDowns, 0) << c.Name;
        EXPECT_TRUE(h.Clicks.empty()) << c.Name;
        EXPECT_FALSE(h.Edit->DroppedDown()) << c.Name;
    }
}

TEST(ButtonEdit, TheCollectionHoldsEightButtonsAndOneDefault) {
    TcvEditButtons buttons(nullptr, CollectionItemClass<TcvEditButton>());
    buttons.Add();
    EXPECT_TRUE(buttons.GetItem(0)->Default()) << "a single button is the default";
    for (int i = 1; i < TcvEditButtons::MaxCount; ++i)
        buttons.Add();
    try {
        buttons.Add();
        FAIL() << "a ninth button";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Too many buttons ( >= 8)");
    }
    EXPECT_EQ(buttons.Count(), 8);

    buttons.GetItem(5)->SetDefault(true);
    for (int i = 0; i < buttons.Count(); ++i)
        EXPECT_EQ(buttons.GetItem(i)->Default(), i == 5) << i;

    buttons.GetItem(2)->SetWidth(30);
    buttons.GetItem(2)->SetVisible(false);
    buttons.RestoreDefaults();
    EXPECT_EQ(buttons.GetItem(2)->Width(), 0);
    EXPECT_TRUE(buttons.GetItem(2)->Visible());
    EXPECT_TRUE(buttons.GetItem(5)->Default()) << "restoring leaves the default";
}

TEST(ButtonEdit, AFormStoredWithoutButtonsLoadsWithNone) {
    for (bool stored : {false, true}) {
        TForm* form = nullptr;
        CreateFormInstance(form, nullptr);
        TcvInplaceButtonEdit* edit = nullptr;
        {
            TComponentLoading loading(form);
            edit = static_cast<TcvInplaceButtonEdit*>(TcvInplaceButtonEdit::StaticClass().CreateEditor(form));
            if (stored) edit->SetExistButtons(true);
        }
        EXPECT_EQ(edit->Buttons()->Count(), stored ? 1 : 0) << stored;
        EXPECT_EQ(edit->ExistButtons(), stored);
        if (stored) {
            EXPECT_TRUE(edit->Buttons()->GetItem(0)->Default());
        }
        delete form;
    }
}

class ButtonEditCell : public CellImage {
protected:
    ButtonEditCell() {
        Width = 90;
        Height = 22;
    }
};

TEST_F(ButtonEditCell, ButtonsOnlyFillTheCellWithoutAWindow) {
    const int windowsBefore = CountWindows();
    const TcvInplaceEditClass& editorClass = TcvInplaceButtonEdit::StaticClass();
    TcvInplaceButtonEdit* source = nullptr;
    {
        // The collection of an editor that is never shown.
        TForm* form = nullptr;
        CreateFormInstance(form, nullptr);
        source = static_cast<TcvInplaceButtonEdit*>(editorClass.CreateEditor(form));
        source->Buttons()->Add()->SetWidth(20);
        source->Buttons()->Add()->SetLeftAlignment(true);
        const int windows = CountWindows();
        int inside = 0; // the cell inside its frame: content and buttons
        for (bool buttonsOnly : {false, true}) {
            std::unique_ptr<TcvEditViewData> data = editorClass.CreateViewData();
            auto& cell = static_cast<TcvButtonEditViewData&>(*data);
            cell.EditButtons = source->Buttons();
            cell.ButtonsOnly = buttonsOnly;
            cell.BorderStyle = xbsNone;
            cell.ButtonStyle = bts3D;
            cell.Bounds = {0, 0, Width, Height};
            cell.Brush = Blue;
            cell.BackgroundColor = 0xFF0000;
            const TRect all{0, 0, Width, Height};
            FillRect(DC, &all, White);
            editorClass.DrawCell(DC, cell, nullptr);

            TcvEditViewInfo info;
            editorClass.CalcViewInfo(cell, false, info);
            int covered = 0;
            TcvDropDownEditClassOps::ForEachButtonRect(info, cell, [&](int, const TRect& R) {
                covered += R.Width();
                return true;
            });
            if (buttonsOnly) {
                EXPECT_EQ(info.Content.Width(), 0);
                EXPECT_EQ(covered, inside) << "the last button takes what the others leave";
                EXPECT_NE(GetPixel(DC, Width - 30, Height / 2), 0xFF0000u) << "no content shows";
            } else {
                inside = covered + info.Content.Width();
                EXPECT_EQ(GetPixel(DC, info.Content.Left + 2, Height / 2), 0xFF0000u) << "the content between";
            }
        }
        EXPECT_EQ(CountWindows(), windows);
        delete form;
    }
    EXPECT_EQ(CountWindows(), windowsBefore);
}

} // namespace
