// The program's icon: the application's is the module's MAINICON (the test
// program's mainicon.ico: 16, 32 and 48 pixels), every top-level window gives
// the desktop all its sizes, and a new application icon reaches shown windows.
#include "platform/rtl/Streams.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Resources.h"
#include "platform/ui/testhooks/DesktopTestHooks.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using platform_ui::test::WindowIconSizes;

TEST(UiApplicationIcon, EveryWindowShowsTheMainIconAndAChangeReachesShownWindows) {
    ASSERT_NE(Application->Icon()->Handle(), nullptr);
    EXPECT_EQ(Application->Icon()->Width(), 32);

    TForm* form = nullptr;
    std::unique_ptr<TForm> owner(CreateFormInstance(form, nullptr));
    form->Show();
    ProcessMessages();
    EXPECT_EQ(WindowIconSizes(form->Handle()), (std::vector<int>{16, 32, 48}));

    // A picture of one size, read as an icon.
    TBitmap picture;
    picture.SetSize(8, 8);
    TMemoryStream stream;
    picture.SaveToStream(&stream);
    stream.SetPosition(0);
    TIcon single;
    single.LoadFromStream(&stream);
    Application->Icon()->Assign(&single);
    EXPECT_EQ(WindowIconSizes(form->Handle()), std::vector<int>{8});

    Application->Icon()->SetHandle(LoadIcon(HInstance, "MAINICON"));
    EXPECT_EQ(WindowIconSizes(form->Handle()), (std::vector<int>{16, 32, 48}));
}

} // namespace
