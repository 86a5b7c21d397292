// The editor base in a small test host: key routing (which keys the host
// gets, Escape restoring, validation refusing), showing over a cell, height
// and frame painting from view data without any window, and styles.
#include "tests/editors/EditorTestHost.h"

#include "platform/rtl/Utf8.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Painting.h"
#include "platform/ui/Window.h"
#include "tests/platform/ui/UiTestSupport.h"
#include "tests/platform/ui/WmRecorder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace uitest;
using namespace editortest;

namespace {

// A text-like editor: printable characters it accepts are appended.
class TTestEditor : public TcvInplaceEdit {
public:
    explicit TTestEditor(TComponent* AOwner) : TcvInplaceEdit(AOwner, StaticClass()) {}
    static const TcvInplaceEditClass& StaticClass() {
        return TcvEditorClass<TTestEditor, TcvInplaceEditClass>::Instance();
    }
    bool HasEditControl() override { return true; }

protected:
    void KeyPress(char32_t& Key) override {
        TcvInplaceEdit::KeyPress(Key);
        if (Key < 0x20) return;
        SetText(Text() + Utf8FromCodePoint(Key));
        SetModified(true);
        Changed();
    }
};

struct Keystroke {
    Word Key;
    const char* Text;
};

TEST(InplaceEdit, HostedKeysGoWhereTheyBelong) {
    struct Case {
        const char* Name;
        std::vector<Keystroke> Keys;
        bool HostModifies;
        bool Refuse;
        std::vector<std::string> HostCalls;
        std::string Text;
        bool Modified;
        int Row;
        int Beeps;
        int Boxes;
    };
    const Case cases[] = {
        {"a letter types and the host hears it", {{'A', "a"}}, true, false, {"key 41", "char a"}, "olda", true, 5, 0,
         0},
        {"Down moves the host's row", {{VK_DOWN, ""}}, true, false, {"key 28"}, "old", false, 6, 0, 0},
        {"Enter goes to the host and types nothing", {{VK_RETURN, "\r"}}, true, false, {"key 0D"}, "old", false, 5, 0,
         0},
        {"Escape restores the text and the flag, then the host has it",
         {{'B', "b"}, {VK_ESCAPE, "\x1b"}},
         true,
         false,
         {"key 42", "char b", "key 1B", "char \x1b"},
         "old",
         false,
         5,
         0,
         0},
        {"a refused character beeps", {{'3', "#"}}, true, false, {"key 33", "char #"}, "old", false, 5, 1, 0},
        {"Delete is swallowed while the host cannot modify", {{VK_DELETE, ""}}, false, false, {}, "old", false, 5, 0,
         0},
        {"a refused value beeps, raises and the row stays",
         {{'C', "c"}, {VK_DOWN, ""}},
         true,
         true,
         {"key 43", "char c"},
         "oldc",
         true,
         5,
         1,
         1},
        {"an unmodified value is not validated", {{VK_DOWN, ""}}, true, true, {"key 28"}, "old", false, 6, 0, 0},
    };
    for (const Case& c : cases) {
        HostedEditor h(TTestEditor::StaticClass());
        DialogRecorder dialogs;
        h.Host->Modifiable = c.HostModifies;
        h.Editor->OnValidate = [&](TObject*, std::string&, bool& Accept) { Accept = !c.Refuse; };
        h.Open("old");
        WmRecorder recorder;
        const TWindowProcedureId hook = PushWindowProc(h.Editor->Handle(), [&](HWND w, TMessage& m) {
            recorder.Records.push_back({w, m.Msg, platform_ui::test::CurrentMessageWasPosted(), m.WParam, m.LParam});
            CallNextWindowProc(w, hook, m);
        });
        for (const Keystroke& k : c.Keys)
            Type(h.Editor, k.Key, k.Text);
        RemoveWindowProc(h.Editor->Handle(), hook);
        EXPECT_EQ(h.Host->Calls, c.HostCalls) << c.Name;
        EXPECT_EQ(h.Editor->Text(), c.Text) << c.Name;
        EXPECT_EQ(h.Editor->GetModified(), c.Modified) << c.Name;
        EXPECT_EQ(h.Host->Row, c.Row) << c.Name;
        EXPECT_EQ(dialogs.Count(TDialogKind::Beep), c.Beeps) << c.Name;
        EXPECT_EQ(dialogs.Count(TDialogKind::MessageBox), c.Boxes) << c.Name;
        if (c.Boxes) {
            EXPECT_EQ(dialogs.Boxes()[0].Text, "Invalid input value. Use escape key to abandon changes.") << c.Name;
            EXPECT_EQ(GetFocus(), h.Editor->Handle()) << c.Name << ": the focus stays";
        }
        // Enter's character is taken off the queue before it arrives.
        if (c.Keys[0].Key == VK_RETURN) {
            recorder.Expect({Posted(WM_KEYDOWN, VK_RETURN), Posted(WM_KEYUP, VK_RETURN)}, c.Name);
            EXPECT_TRUE(recorder.Of(WM_CHAR).empty()) << c.Name;
        }
    }
}

TEST(InplaceEdit, ShowEditorPlacesTheWindowAroundTheCell) {
    HostedEditor h(TTestEditor::StaticClass());
    h.Editor->ShowEditor({});
    EXPECT_FALSE(h.Editor->EditorShown()) << "an empty cell shows nothing";
    h.Editor->ShowEditor({10, 10, 60, 28});
    EXPECT_EQ(h.Editor->BoundsRect(), Bounds(8, 8, 54, 22));
    EXPECT_TRUE(IsWindowVisible(h.Editor->Handle()));
    EXPECT_EQ(GetFocus(), h.Editor->Handle());
    EXPECT_EQ(h.Form->ActiveControl(), h.Host) << "the host stays the form's active control";
    h.Editor->HideEditorWindow();
    EXPECT_FALSE(IsWindowVisible(h.Editor->Handle()));
}

TEST_F(CellImage, SingleBorderWithoutTopEdgePaintsThreeStripsAndNoWindow) {
    const int windowsBefore = CountWindows();
    const TcvInplaceEditClass& editorClass = TTestEditor::StaticClass();
    std::unique_ptr<TcvEditViewData> cell = editorClass.CreateViewData();
    cell->BorderStyle = xbsSingle;
    cell->BorderColor = 0x000000;
    cell->Edges = {edgLeft, edgRight, edgBottom};
    cell->Bounds = {0, 0, 40, 30};
    cell->Brush = Blue;
    editorClass.DrawCell(DC, *cell, nullptr);
    EXPECT_EQ(CountWindows(), windowsBefore) << "painting a cell makes no window";
    // The frame lies one pixel inside the content's 2-pixel margin.
    struct Probe {
        const char* What;
        int X, Y;
        COLORREF Colour;
    };
    const Probe probes[] = {
        {"left strip", 1, 15, 0x000000},   {"right strip", 38, 15, 0x000000}, {"bottom strip", 20, 28, 0x000000},
        {"no top line", 20, 1, 0xFFFFFF},  {"left strip reaches the top", 1, 2, 0x000000},
        {"content", 20, 15, 0xFF0000},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(GetPixel(DC, p.X, p.Y), p.Colour) << p.What;
}

TEST(InplaceEdit, CalcHeightAddsTheEditorsMargins) {
    LOGFONT description;
    description.lfHeight = 13; // cell height
    description.lfFaceName = "宋体";
    HFONT font = CreateFontIndirect(description);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRIC metrics;
    GetTextMetrics(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    ASSERT_EQ(metrics.tmHeight, 13);
    const TcvInplaceEditClass& editorClass = TTestEditor::StaticClass();
    std::unique_ptr<TcvEditViewData> cell = editorClass.CreateViewData();
    cell->Font = font;
    EXPECT_EQ(editorClass.CalcHeight(*cell), 16);
    DeleteObject(font);
}

TEST(EditStyle, ValuesFollowTheControllerUntilSetOnTheEditor) {
    HostedEditor h(TTestEditor::StaticClass());
    TcvEditStyleController controller(nullptr);
    TcvEditStyle* style = h.Editor->Style();
    EXPECT_EQ(style->BorderStyle(), xbs3D) << "the defaults";
    EXPECT_TRUE(style->Edges() == cvAllEdges);
    h.Editor->SetStyleController(&controller);
    int refreshes = 0;
    controller.OnStyleChanged = [&](TObject*, TObject* Link) { refreshes += Link == h.Editor; };
    controller.SetShadow(true);
    EXPECT_EQ(refreshes, 1);
    EXPECT_TRUE(style->Shadow());
    {
        TUpdateGuard<TcvStyleController> update(controller);
        controller.SetBorderStyle(xbsFlat);
        controller.SetHotTrack(true);
        EXPECT_EQ(refreshes, 1) << "nothing while updating";
    }
    EXPECT_EQ(refreshes, 2) << "once at the end";
    style->SetBorderStyle(xbsFlat); // what it shows already, yet now its own
    controller.SetBorderStyle(xbsThick);
    EXPECT_EQ(style->BorderStyle(), xbsFlat);
    style->RestoreDefaults();
    EXPECT_EQ(style->BorderStyle(), xbsThick);
}

TEST(EditStyle, AFreedControllerLeavesItsEditorsOnTheDefault) {
    HostedEditor h(TTestEditor::StaticClass());
    auto* controller = new TcvEditStyleController(nullptr);
    controller->SetBorderStyle(xbsFlat);
    h.Editor->SetStyleController(controller);
    EXPECT_EQ(h.Editor->Style()->BorderStyle(), xbsFlat);
    delete controller;
    EXPECT_EQ(h.Editor->StyleController(), nullptr);
    EXPECT_EQ(h.Editor->Style()->BorderStyle(), xbs3D);
}

} // namespace
