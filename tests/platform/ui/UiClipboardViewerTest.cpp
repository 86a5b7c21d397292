// The clipboard-viewer chain: every change of the system clipboard, also one
// made by another program straight through Qt, reaches each viewer once in
// chain order; leaving the chain relinks it; the picture format follows any
// picture on the clipboard.
#include "platform/ui/Clipbrd.h"
#include "platform/ui/testhooks/ClipboardTestHooks.h"
#include "tests/platform/ui/WmRecorder.h"

#include <map>

namespace {

// Viewers that behave as the chain asks: each passes WM_DRAWCLIPBOARD to its
// next one and mends its link on WM_CHANGECBCHAIN.
class ViewerChain : public ::testing::Test {
protected:
    void SetUp() override {
        Recorder.Handler = [this](HWND w, TMessage& m) {
            if (m.Msg == WM_DRAWCLIPBOARD) {
                if (Next[w]) SendMessage(Next[w], m.Msg, m.WParam, m.LParam);
                return true;
            }
            if (m.Msg == WM_CHANGECBCHAIN) {
                if (reinterpret_cast<HWND>(m.WParam) == Next[w])
                    Next[w] = reinterpret_cast<HWND>(m.LParam);
                else if (Next[w])
                    SendMessage(Next[w], m.Msg, m.WParam, m.LParam);
                return true;
            }
            return false;
        };
        for (HWND& w : Viewers) {
            w = Recorder.Create(WS_POPUP, {0, 0, 10, 10});
            Next[w] = SetClipboardViewer(w);
        }
        Recorder.Clear();
    }
    void TearDown() override {
        for (HWND w : Viewers)
            if (!Left.count(w)) Leave(w);
    }
    void Leave(HWND w) {
        ChangeClipboardChain(w, Next[w]);
        Left[w] = true;
    }
    std::vector<HWND> Told() const {
        std::vector<HWND> told;
        for (const WmRecord& r : Recorder.Of(WM_DRAWCLIPBOARD))
            told.push_back(r.Wnd);
        return told;
    }

    WmRecorder Recorder;
    HWND Viewers[3]{};
    std::map<HWND, HWND> Next;
    std::map<HWND, bool> Left;
};

TEST_F(ViewerChain, JoiningTellsTheNewViewerAndAnswersThePreviousFirst) {
    EXPECT_EQ(GetClipboardViewer(), Viewers[2]);
    EXPECT_EQ(Next[Viewers[2]], Viewers[1]);
    EXPECT_EQ(Next[Viewers[1]], Viewers[0]);
}

TEST_F(ViewerChain, EveryChangeReachesEachViewerOnceNewestFirst) {
    const std::vector<HWND> order{Viewers[2], Viewers[1], Viewers[0]};
    struct Case {
        const char* What;
        std::function<void()> Change;
    } cases[] = {
        {"another program's picture", [] { platform_ui::test::CopyPictureFromOtherProgram(4, 3, 0x00FF00); }},
        {"another program's text", [] { platform_ui::test::CopyTextFromOtherProgram("外部"); }},
        {"our own text", [] { Clipboard()->SetAsText("ours"); }},
    };
    for (const Case& c : cases) {
        Recorder.Clear();
        c.Change();
        EXPECT_EQ(Told(), order) << c.What;
    }
}

TEST_F(ViewerChain, LeavingRelinksTheChain) {
    struct Case {
        const char* What;
        int Leaving;
        std::vector<int> ToldAfter;
        int ToldOfLeaving; // -1: nobody
    } cases[] = {
        {"the middle one", 1, {2, 0}, 2},
        {"the first one", 2, {0}, -1},
    };
    for (const Case& c : cases) {
        Recorder.Clear();
        Leave(Viewers[c.Leaving]);
        const auto changes = Recorder.Of(WM_CHANGECBCHAIN);
        if (c.ToldOfLeaving < 0) {
            EXPECT_TRUE(changes.empty()) << c.What;
        } else {
            ASSERT_FALSE(changes.empty()) << c.What;
            EXPECT_EQ(changes.front().Wnd, Viewers[c.ToldOfLeaving]) << c.What;
            EXPECT_EQ(changes.front().WParam, reinterpret_cast<WPARAM>(Viewers[c.Leaving])) << c.What;
        }
        Recorder.Clear();
        Clipboard()->SetAsText(c.What);
        std::vector<HWND> expected;
        for (int i : c.ToldAfter)
            expected.push_back(Viewers[i]);
        EXPECT_EQ(Told(), expected) << c.What;
    }
}

TEST(ClipboardFormats, ThePictureFormatFollowsAnyPicture) {
    EXPECT_GE(CF_PICTURE, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormat("Picture"), CF_PICTURE);
    EXPECT_NE(RegisterClipboardFormat("Another format"), CF_PICTURE);

    platform_ui::test::CopyPictureFromOtherProgram(2, 2, 0xFF0000);
    EXPECT_TRUE(Clipboard()->HasFormat(CF_PICTURE));
    EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
    platform_ui::test::CopyTextFromOtherProgram("text");
    EXPECT_FALSE(Clipboard()->HasFormat(CF_PICTURE));
    EXPECT_FALSE(Clipboard()->HasFormat(CF_BITMAP));
}

} // namespace
