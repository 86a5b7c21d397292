// The real dialogs that Qt provides, run headless: each is read while it is
// up and then cancelled. They speak Chinese and carry their captions.
#include "platform/ui/Dialogs.h"
#include "platform/ui/private/DialogTestHooks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using platform_ui::test::CloseNextDialog;
using platform_ui::test::TShownDialog;

namespace {

TShownDialog Shown(const TDialogRequest& request) {
    TShownDialog shown;
    CloseNextDialog(shown);
    RunDialog(request);
    return shown;
}

bool Shows(const TShownDialog& shown, const std::string& button) {
    return std::find(shown.ButtonTexts.begin(), shown.ButtonTexts.end(), button) != shown.ButtonTexts.end();
}

} // namespace

TEST(QtDialogs, FileDialogsSpeakChineseUnderTheirCaption) {
    struct Case {
        TDialogKind Kind;
        const char* Caption;
        const char* Title;
    } cases[] = {
        {TDialogKind::OpenFile, "", "打开"},
        {TDialogKind::OpenFile, "导入附件", "导入附件"},
        {TDialogKind::SaveFile, "", "另存为"},
        {TDialogKind::SavePicture, "", "另存为"},
        {TDialogKind::SelectFolder, "选择文件夹", "选择文件夹"},
    };
    for (const Case& c : cases) {
        TDialogRequest request;
        request.Kind = c.Kind;
        request.Caption = c.Caption;
        request.Filter = "数据库文件|*.mdb";
        const TShownDialog shown = Shown(request);
        ASSERT_TRUE(shown.Seen) << c.Title;
        EXPECT_EQ(shown.Title, c.Title);
        // Qt's own button, in Qt's own translation.
        EXPECT_TRUE(Shows(shown, "取消")) << c.Title;
    }
}
