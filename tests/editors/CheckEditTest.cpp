// The check editor: toggling by Space and mouse on a form, in a host, its
// notifications, its styles, and cells painted from view data without a window.
#include "editors/CheckEdit.h"
#include "editors/Container.h"
#include "editors/ExEdtr.h"

#include "platform/ui/Forms.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Window.h"
#include "tests/editors/EditorTestHost.h"
#include "tests/platform/ui/UiTestSupport.h"
#include "tests/platform/ui/WmRecorder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace uitest;
using editortest::CountWindows;
using platform_ui::test::SendQtMouse;
using platform_ui::test::TMouseEventKind;

namespace {

class CheckEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateFormInstance(Form, nullptr);
        Form->SetBounds(20, 20, 300, 200);
        Check = new TcvCheckEdit(Form);
        Check->SetParent(Form);
        Check->SetBounds(10, 10, 120, 24);
        Check->SetCaption("Agree");
        Check->OnClick = [this](TObject*) { Events.push_back("click"); };
        Check->OnChange = [this](TObject*) { Events.push_back("change"); };
        Form->Show();
        SettleActivation();
        Check->SetFocus();
    }
    void TearDown() override { delete Form; }
    void Space(bool Release = true) {
        platform_ui::test::SendQtKey(Check->Handle(), VK_SPACE, 0, " ", Release);
        ProcessMessages();
    }
    void Mouse(TMouseEventKind Kind, TPoint P) {
        SendQtMouse(Check->Handle(), Kind, P, Kind == TMouseEventKind::Move ? 0 : MK_LBUTTON,
                    Kind == TMouseEventKind::Release ? 0 : MK_LBUTTON);
        ProcessMessages();
    }

    cvExEdtr::TUnitScope Unit;
    TForm* Form = nullptr;
    TcvCheckEdit* Check = nullptr;
    std::vector<std::string> Events;
};

TEST_F(CheckEditTest, SpaceCyclesTheStatesOnRelease) {
    struct Case {
        const char* Name;
        bool AllowGrayed;
        Variant Loaded;
        std::vector<TcvCheckBoxState> States; // after each Space
    };
    const Case cases[] = {
        {"two states", false, 0, {cbsChecked, cbsUnchecked}},
        {"three states", true, 0, {cbsGrayed, cbsChecked, cbsUnchecked}},
        {"a loaded grayed value becomes checked", false, 2, {cbsChecked, cbsUnchecked}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Check->SetAllowGrayed(c.AllowGrayed);
        Check->SetEditValue(c.Loaded);
        Check->SetModified(false);
        for (TcvCheckBoxState expected : c.States) {
            Space();
            EXPECT_EQ(Check->State(), expected);
        }
        EXPECT_TRUE(Check->Modified());
        EXPECT_EQ(Check->GetEditValue().AsInteger(), Check->State());
    }

    // Held down: the box shows pushed and the state waits for the release.
    Check->SetChecked(false);
    Space(false);
    EXPECT_TRUE(Check->Pressed());
    EXPECT_EQ(Check->State(), cbsUnchecked);
    Space();
    EXPECT_FALSE(Check->Pressed());
    EXPECT_EQ(Check->State(), cbsChecked) << "one toggle for the one release";
}

TEST_F(CheckEditTest, TheMouseTogglesOnlyWhenReleasedOverTheEditor) {
    const TPoint inside{8, 8}, outside{200, 8};
    Mouse(TMouseEventKind::Press, inside);
    EXPECT_TRUE(Check->Pressed());
    Mouse(TMouseEventKind::Move, outside);
    EXPECT_FALSE(Check->Pressed());
    Mouse(TMouseEventKind::Release, outside);
    EXPECT_EQ(Check->State(), cbsUnchecked);
    EXPECT_TRUE(Events.empty());

    Mouse(TMouseEventKind::Press, inside);
    Mouse(TMouseEventKind::Release, inside);
    EXPECT_EQ(Check->State(), cbsChecked);
    EXPECT_EQ(Events, (std::vector<std::string>{"click", "change"})) << "one click, not a second of the framework's";
    EXPECT_NE(GetCapture(), Check->Handle());

    Check->SetReadOnly(true);
    Events.clear();
    Mouse(TMouseEventKind::Press, inside);
    Mouse(TMouseEventKind::Release, inside);
    Space();
    EXPECT_EQ(Check->State(), cbsChecked) << "read-only ignores toggling";
    EXPECT_TRUE(Events.empty());
}

TEST_F(CheckEditTest, CodeNotifiesButLoadingAValueDoesNot) {
    Check->SetChecked(true);
    EXPECT_EQ(Events, (std::vector<std::string>{"click", "change"}));
    EXPECT_FALSE(Check->Modified()) << "code sets the state without the user's mark";
    Events.clear();
    Check->SetModified(true);
    Check->SetEditValue(std::string("0"));
    EXPECT_EQ(Check->State(), cbsUnchecked);
    EXPECT_TRUE(Events.empty());
    EXPECT_TRUE(Check->Modified()) << "loading keeps the flag as it was";
    Check->SetModified(false);
    Check->SetEditValue(true);
    EXPECT_TRUE(Check->Checked());
    EXPECT_FALSE(Check->Modified());
    EXPECT_TRUE(Events.empty());
}

TEST_F(CheckEditTest, CheckEditorsFollowTheirOwnDefaultStyle) {
    EXPECT_EQ(Check->Style()->BorderStyle(), xbsNone);
    EXPECT_EQ(Check->Style()->ButtonStyle(), bts3D);
    TcvCheckEditStyleController* defaults = cvExEdtr::DefaultCheckStyleController();
    ASSERT_NE(defaults, nullptr);
    defaults->SetButtonStyle(btsSimple);
    EXPECT_EQ(Check->Style()->ButtonStyle(), btsSimple);
    defaults->RestoreDefaults();
    EXPECT_EQ(Check->Style()->ButtonStyle(), bts3D);
    EXPECT_EQ(defaults->BorderStyle(), xbsNone);

    auto* flat = new TcvCheckEditStyleController(Form);
    flat->SetButtonStyle(btsFlat);
    Check->SetStyleController(flat);
    EXPECT_EQ(Check->Style()->ButtonStyle(), btsFlat);
    EXPECT_EQ(Check->Style()->BorderStyle(), xbsNone);
}

// A host that moves its row and lets its editor modify.
class TRowHost : public TCustomcvContainer {
public:
    using TCustomcvContainer::TCustomcvContainer;
    int Row = 5;
    bool CanEditModify() override { return true; }
    bool IsValidEditChar(char32_t) override { return true; }
    void EditorMoveFocusedRow(bool Up) override { Row += Up ? -1 : 1; }
};

TEST_F(CheckEditTest, AHostedEditorTogglesOnItsOpeningClickAndSpace) {
    auto* host = new TRowHost(Form);
    host->SetParent(Form);
    host->SetBounds(0, 40, 280, 120);
    auto* editor = static_cast<TcvInplaceCheckEdit*>(TcvInplaceCheckEdit::StaticClass().CreateEditor(host));
    editor->SetParent(host);
    host->BeginInitEditor();
    editor->SetEditValue(0);
    host->EndInitEditor();
    editor->ShowEditor({10, 10, 40, 28});
    ProcessMessages();

    editor->ActivateByClick();
    EXPECT_EQ(editor->State(), cbsChecked) << "opened by a click, it toggles at once";
    // The Space that opened it arrives as a character only.
    platform_ui::test::SendQtInputMethodCommit(editor->Handle(), " ");
    ProcessMessages();
    EXPECT_EQ(editor->State(), cbsUnchecked);
    struct Case {
        Word Key;
        int Row;
    };
    for (const Case& c : {Case{VK_LEFT, 4}, Case{VK_RIGHT, 5}}) {
        Type(editor, c.Key);
        EXPECT_EQ(host->Row, c.Row);
    }
}

// Cells painted on a memory DC through the class's view data.
class CheckCell : public ::testing::Test {
protected:
    void SetUp() override {
        DC = CreateCompatibleDC(nullptr);
        Bitmap = CreateCompatibleBitmap(nullptr, Size.cx, Size.cy);
        Old = SelectObject(DC, Bitmap);
    }
    void TearDown() override {
        SelectObject(DC, Old);
        DeleteObject(Bitmap);
        DeleteDC(DC);
    }
    std::unique_ptr<TcvCheckEditViewData> Cell(const Variant& Value) {
        std::unique_ptr<TcvEditViewData> data = TcvInplaceCheckEdit::StaticClass().CreateViewData();
        auto cell = std::unique_ptr<TcvCheckEditViewData>(static_cast<TcvCheckEditViewData*>(data.release()));
        cell->BorderStyle = xbsNone;
        cell->ButtonStyle = bts3D;
        cell->Alignment = taCenter;
        cell->Bounds = {0, 0, Size.cx, Size.cy};
        cell->Brush = GetSysColorBrush(COLOR_WINDOW);
        cell->Value = Value;
        return cell;
    }
    std::vector<COLORREF> Paint(TcvCheckEditViewData& Cell) {
        TcvInplaceCheckEdit::StaticClass().DrawCell(DC, Cell, nullptr);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < Size.cy; ++y)
            for (int x = 0; x < Size.cx; ++x)
                pixels.push_back(GetPixel(DC, x, y));
        return pixels;
    }
    std::vector<COLORREF> Paint(const Variant& Value) { return Paint(*Cell(Value)); }
    COLORREF Centre() { return GetPixel(DC, Size.cx / 2, Size.cy / 2); }

    cvExEdtr::TUnitScope Unit;
    const TSize Size{40, 24};
    HDC DC = nullptr;
    HBITMAP Bitmap = nullptr;
    HGDIOBJ Old = nullptr;
};

TEST_F(CheckCell, ValuesPaintTheirStatesWithoutAWindow) {
    const int windowsBefore = CountWindows();
    const std::vector<COLORREF> unchecked = Paint(0), checked = Paint(1), grayed = Paint(2);
    EXPECT_NE(unchecked, checked);
    EXPECT_NE(checked, grayed);
    EXPECT_NE(unchecked, grayed);
    struct Case {
        Variant Value;
        const std::vector<COLORREF>& Looks;
    };
    const Case cases[] = {
        {std::string("1"), checked}, {std::string("0"), unchecked},
        {Null(), unchecked},         {true, checked},
        {false, unchecked},          {7, unchecked},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Paint(c.Value), c.Looks) << VarToStr(c.Value);
    std::unique_ptr<TcvCheckEditViewData> pressed = Cell(1);
    pressed->Pressed = true;
    EXPECT_NE(Paint(*pressed), checked) << "held down, the box shows pushed";
    std::unique_ptr<TcvCheckEditViewData> inactive = Cell(2);
    inactive->NullStyle = nsUnchecked;
    EXPECT_NE(Paint(*inactive), grayed) << "the grayed state drawn without its check";
    EXPECT_EQ(CountWindows(), windowsBefore) << "painting cells makes no window";
}

TEST_F(CheckCell, AGlyphStripShowsTheImageOfTheStateAndPress) {
    const TColor colours[] = {clRed, clGreen, clBlue, clYellow, clAqua, clFuchsia};
    struct Case {
        int GlyphCount;
        Variant Value;
        bool Pressed;
        TColor Shown;
    };
    const Case cases[] = {
        {6, 1, true, clAqua},  // image 4: checked and pressed
        {3, 1, true, clGreen}, // image 1: a three-image strip has no pressed images
        {6, 2, false, clBlue},
        {6, 0, true, clYellow},
    };
    for (const Case& c : cases) {
        TBitmap strip;
        strip.SetSize(10 * c.GlyphCount, 10);
        for (int i = 0; i < c.GlyphCount; ++i) {
            strip.Canvas()->Brush()->SetColor(colours[i]);
            strip.Canvas()->FillRect(Bounds(10 * i, 0, 10, 10));
        }
        strip.SetTransparentColor(clBlack);
        std::unique_ptr<TcvCheckEditViewData> cell = Cell(c.Value);
        cell->Glyph = &strip;
        cell->GlyphCount = c.GlyphCount;
        cell->Pressed = c.Pressed;
        Paint(*cell);
        EXPECT_EQ(Centre(), ColorToRGB(c.Shown)) << c.GlyphCount << " images, value " << VarToStr(c.Value);
    }
}

TEST_F(CheckCell, HeightFitsTheBoxGlyphAndCaption) {
    std::unique_ptr<TcvCheckEditViewData> cell = Cell(0);
    cell->Font = reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    const TcvInplaceEditClass& checkClass = TcvInplaceCheckEdit::StaticClass();
    EXPECT_GE(checkClass.CalcHeight(*cell), cvExEdtr::DefaultCheckHeight());
    TBitmap tall;
    tall.SetSize(60, 40);
    cell->Glyph = &tall;
    EXPECT_GE(checkClass.CalcHeight(*cell), 40);
    cell->Glyph = nullptr;
    cell->Alignment = taLeftJustify;
    cell->Caption = "同意 agree with the terms of the application";
    cell->Bounds = {0, 0, 80, 20};
    const int oneLine = checkClass.CalcHeight(*cell);
    cell->MultiLine = true;
    EXPECT_GT(checkClass.CalcHeight(*cell), oneLine) << "a wrapped caption needs more lines";
}

} // namespace
