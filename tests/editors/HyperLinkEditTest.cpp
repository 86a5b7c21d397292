// The hyperlink editor: which texts the shell may open, the start key, the
// clicks that open a link in place and on a form, OnStartClick, and cells
// painted with the link font and the hand cursor without a window.
#include "editors/HyperLinkEdit.h"
#include "tests/editors/EditorTestHost.h"

#include "editors/ExEdtr.h"
#include "platform/os/Shell.h"
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

// Records what would be opened instead of starting a program.
class LauncherLog {
public:
    LauncherLog()
        : FPrevious(SetShellLauncher([this](const std::string& Target) {
              Opened.push_back(Target);
              return SE_SUCCESS;
          })) {}
    ~LauncherLog() { SetShellLauncher(FPrevious); }
    LauncherLog(const LauncherLog&) = delete;
    LauncherLog& operator=(const LauncherLog&) = delete;
    std::vector<std::string> Opened;

private:
    TShellLauncher FPrevious;
};

TEST(HyperLinkEdit, TheShellGetsWebAndMailAddressesOnly) {
    const struct {
        const char* Text;
        const char* Opened; // "" opens nothing
    } cases[] = {
        {"http://www.example.cn/a?b=1", "http://www.example.cn/a?b=1"},
        {"HTTPS://example.cn", "HTTPS://example.cn"},
        {"ftp://files.example.cn/x.zip", "ftp://files.example.cn/x.zip"},
        {"mailto:info@example.cn", "mailto:info@example.cn"},
        {"  http://example.cn  ", "http://example.cn"},
        {"www.example.cn", "http://www.example.cn"},
        {"www.example.cn/news/1.html", "http://www.example.cn/news/1.html"},
        {"http://", ""},
        {"file:///etc/passwd", ""},
        {"javascript:alert(1)", ""},
        {"/usr/bin/xterm", ""},
        {"C:\\Windows\\notepad.exe", ""},
        {"notepad.exe", ""},
        {"www.", ""},
        {"www.example.cn; rm -rf ~", ""},
        {"http://example.cn second", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TcvInplaceHyperLinkEdit::ShellAddress(c.Text), c.Opened) << c.Text;
        HostedEditor h(TcvInplaceHyperLinkEdit::StaticClass());
        h.Open(c.Text);
        LauncherLog log;
        static_cast<TcvInplaceHyperLinkEdit*>(h.Editor)->DoStart();
        const std::vector<std::string> expected =
            *c.Opened ? std::vector<std::string>{c.Opened} : std::vector<std::string>{};
        EXPECT_EQ(log.Opened, expected) << c.Text;
    }
}

TEST(HyperLinkEdit, OnStartClickTakesEveryStartEvenOfAnEmptyText) {
    HostedEditor h(TcvInplaceHyperLinkEdit::StaticClass());
    auto* edit = static_cast<TcvInplaceHyperLinkEdit*>(h.Editor);
    h.Open("");
    LauncherLog log;
    int starts = 0;
    edit->OnStartClick = [&](TObject* Sender) {
        EXPECT_EQ(Sender, edit);
        ++starts;
    };
    edit->DoStart();
    edit->SetText("www.example.cn");
    edit->DoStart();
    EXPECT_EQ(starts, 2);
    EXPECT_TRUE(log.Opened.empty());
}

TEST(HyperLinkEdit, CtrlEnterOpensAndTypesNothing) {
    HostedEditor h(TcvInplaceHyperLinkEdit::StaticClass());
    h.Open("www.example.cn");
    LauncherLog log;
    Type(h.Editor, VK_RETURN, "\r", MK_CONTROL);
    EXPECT_EQ(log.Opened, std::vector<std::string>{"http://www.example.cn"});
    EXPECT_EQ(h.Editor->Text(), "www.example.cn");
    EXPECT_TRUE(h.Host->Calls.empty()) << "the key went no further";
}

TEST(HyperLinkEdit, WhichClicksOpenTheLink) {
    using Standalone = TStandaloneClass<TcvInplaceHyperLinkEdit, TcvHyperLinkEditClassOps>;
    struct Case {
        const char* Name;
        bool InPlace;
        bool SingleClick;
        bool ReadOnly;
        int AfterClick;       // starts after one click
        int AfterDoubleClick; // starts after a further double click: it opens once, never twice
    };
    const Case cases[] = {
        {"in place a single click opens", true, false, false, 1, 1},
        {"on a form an editable one needs a double click", false, false, false, 0, 1},
        {"on a form a read-only one opens on a click", false, false, true, 1, 1},
        {"SingleClick on a form", false, true, false, 1, 1},
    };
    for (const Case& c : cases) {
        int starts = 0;
        const auto count = [&](TObject*) { ++starts; };
        const auto click = [&](TWinControl* Edit, bool Double) {
            const TPoint at{8, 6};
            if (Double) {
                SendQtMouse(Edit->Handle(), TMouseEventKind::DoubleClick, at, MK_LBUTTON, MK_LBUTTON);
                SendQtMouse(Edit->Handle(), TMouseEventKind::Release, at, MK_LBUTTON, 0);
                ProcessMessages();
            } else {
                Click(Edit, at);
            }
        };
        const auto run = [&](TcvInplaceHyperLinkEdit* Edit) {
            Edit->OnStartClick = count;
            Edit->SetSingleClick(c.SingleClick);
            Edit->SetReadOnly(c.ReadOnly);
            click(Edit, false);
            EXPECT_EQ(starts, c.AfterClick) << c.Name;
            click(Edit, true);
            EXPECT_EQ(starts, c.AfterDoubleClick) << c.Name;
        };
        if (c.InPlace) {
            HostedEditor h(TcvInplaceHyperLinkEdit::StaticClass());
            h.Open("www.example.cn");
            run(static_cast<TcvInplaceHyperLinkEdit*>(h.Editor));
        } else {
            EditorOnForm<TcvInplaceHyperLinkEdit> f(Standalone::Instance());
            f.Edit->SetText("www.example.cn");
            run(f.Edit);
        }
    }
}

class HyperLinkCell : public CellImage {
protected:
    HyperLinkCell() {
        Width = 80;
        Height = 22;
    }
};

TEST_F(HyperLinkCell, CellsPaintInTheLinkColourWithTheHandCursor) {
    cvExEdtr::TUnitScope unit;
    HostedEditor h(TcvInplaceHyperLinkEdit::StaticClass());
    auto* edit = static_cast<TcvInplaceHyperLinkEdit*>(h.Editor);
    h.Host->BeginInitEditor();
    edit->SetEditValue(std::string("MMMMMMMM"));
    h.Host->EndInitEditor();
    edit->SetEditFontColor(clRed);
    const int windows = CountWindows();
    std::unique_ptr<TcvEditViewData> data = edit->CreateViewData(false);
    data->Bounds = {0, 0, Width, Height};
    data->BorderStyle = xbsNone;
    data->Brush = White;
    data->BackgroundColor = 0xFFFFFF;
    const TcvInplaceEditClass& editorClass = edit->EditorClass();
    editorClass.DrawCell(DC, *data, nullptr);
    EXPECT_EQ(CountWindows(), windows);
    EXPECT_TRUE(edit->LinkFont()->Style().Contains(fsUnderline));
    EXPECT_EQ(edit->LinkFont()->Color(), clRed);
    int red = 0;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            if (GetPixel(DC, x, y) == 0x0000FF) ++red;
    EXPECT_GT(red, 0) << "the text in the link colour";
    EXPECT_EQ(editorClass.GetCursor(5, 5, *data), cvExEdtr::crcvHandPoint);
    static_cast<TcvHyperLinkEditViewData&>(*data).LinkActive = false;
    EXPECT_NE(editorClass.GetCursor(5, 5, *data), cvExEdtr::crcvHandPoint);
}

} // namespace
