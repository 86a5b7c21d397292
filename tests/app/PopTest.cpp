// The pop-up base as the user meets it: arrows and Enter walk the controls
// (Enter in an edit moves on instead of reaching it), and PopupOpen follows the window.
#include "app/Flush.h"
#include "app/Msgassert.h"

#include "tests/app/UserWorld.h"

#include <gtest/gtest.h>

using namespace uitest;

TEST(Pop, ArrowsAndEnterWalkTheTabOrder) {
    UserWorld world;
    Tfrmflush* raw = nullptr;
    CreateFormInstance(raw, nullptr);
    std::unique_ptr<Tfrmflush> window(raw);
    EXPECT_TRUE(frmMain->PopupOpen);
    window->Show();
    window->EdtPass->SetFocus();
    ASSERT_EQ(FocusedControl(), window->EdtPass);

    Type(window->EdtPass, VK_DOWN);
    EXPECT_EQ(FocusedControl(), window->btn_ok);
    Type(window->btn_ok, VK_DOWN);
    EXPECT_EQ(FocusedControl(), window->btn_cancel);
    Type(window->btn_cancel, VK_UP);
    Type(window->btn_ok, VK_UP);
    EXPECT_EQ(FocusedControl(), window->EdtPass);

    TypeText(window->EdtPass, "12");
    Type(window->EdtPass, VK_RETURN, "\r");
    EXPECT_EQ(FocusedControl(), window->btn_ok);
    EXPECT_EQ(window->EdtPass->Text(), "12");
    EXPECT_TRUE(world.Dialogs.Boxes().empty()); // nothing was pressed

    window->Close();
    EXPECT_FALSE(frmMain->PopupOpen);
}

TEST(Pop, ThePopUpWindowsSwitchTheirFlatPainterOn) {
    UserWorld world;
    TfrmPop base(nullptr);
    EXPECT_FALSE(base.FlatPainter1->Active());
    Tfrmflush* flush = nullptr;
    CreateFormInstance(flush, nullptr);
    std::unique_ptr<Tfrmflush> flushWindow(flush);
    Tfrmmsgassert* profile = nullptr;
    CreateFormInstance(profile, nullptr);
    std::unique_ptr<Tfrmmsgassert> profileWindow(profile);
    const struct {
        const char* Name;
        TControl* Control;
        bool Hooked;
    } cases[] = {
        {"password edit", flush->EdtPass, true},
        {"button", flush->btn_ok, true},
        {"gauge", flush->Gauge, false},
        {"code combo box", profile->ccb_DWLB, true},
        {"mask edit", profile->met_XMFZRCSN1, true},
        {"check box in a group", profile->chk_password, true},
        {"group box", profile->GroupBox1, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TControlSubClass::Hooked(c.Control), c.Hooked) << c.Name;
}
