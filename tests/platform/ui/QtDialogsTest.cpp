// The real dialogs that Qt provides, run headless: each is read while it is
// up and then cancelled. They speak Chinese and carry their captions.
#include "platform/ui/Colors.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/testhooks/ModalTestHooks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

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

TEST(QtDialogs, MessageBoxHasTheFormsClassicLook) {
    TDialogRequest request;
    request.Kind = TDialogKind::MessageBox;
    request.Caption = "提示";
    request.Text = "数据导入成功!";
    request.Flags = MB_YESNO | MB_ICONQUESTION;
    const TShownDialog shown = Shown(request);
    ASSERT_TRUE(shown.Seen);
    EXPECT_EQ(shown.Title, "提示");
    ASSERT_EQ(shown.ButtonTexts, (std::vector<std::string>{"是(&Y)", "否(&N)"}));
    ASSERT_EQ(shown.DefaultButton, 0);
    const auto rgb = [](int index) {
        const COLORREF c = GetSysColor(index);
        return static_cast<uint32_t>(GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c));
    };
    EXPECT_EQ(shown.Pixel(2, 2), rgb(COLOR_BTNFACE));
    // The plain button: the raised push-button edges of the forms.
    const TRect no = shown.ButtonRects[1];
    const int middle = (no.Top + no.Bottom) / 2;
    EXPECT_EQ(shown.Pixel(no.Left, middle), rgb(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(shown.Pixel(no.Left + 1, middle), rgb(COLOR_3DLIGHT));
    EXPECT_EQ(shown.Pixel(no.Right - 1, middle), rgb(COLOR_3DDKSHADOW));
    EXPECT_EQ(shown.Pixel(no.Right - 2, middle), rgb(COLOR_BTNSHADOW));
    // The default button: framed, its edges one pixel in.
    const TRect yes = shown.ButtonRects[0];
    EXPECT_EQ(shown.Pixel(yes.Left, middle), rgb(COLOR_WINDOWFRAME));
    EXPECT_EQ(shown.Pixel(yes.Left + 1, middle), rgb(COLOR_BTNHIGHLIGHT));
}

TEST(QtDialogs, MessageBoxBreaksLinesWhereWindowsWould) {
    const struct {
        const char* Text;
        const char* Shown;
    } cases[] = {
        {"导入失败\r\n请尝试再次导入", "导入失败\n请尝试再次导入"},
        {"导入失败\r请尝试再次导入", "导入失败\n请尝试再次导入"},
        {"一行\n两行", "一行\n两行"},
    };
    for (const auto& c : cases) {
        TDialogRequest request;
        request.Kind = TDialogKind::MessageBox;
        request.Text = c.Text;
        EXPECT_EQ(Shown(request).Text, c.Shown) << c.Text;
    }
}

TEST(QtDialogs, MessageBoxIsAtLeastAsWideAsItsCaptionAndTitleButtons) {
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    for (const std::string caption : {"提示信息", "提示信息：数据已经全部导入完毕"}) {
        SIZE extent{};
        GetTextExtentPoint32(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
        TDialogRequest request;
        request.Kind = TDialogKind::MessageBox;
        request.Text = "好";
        request.Caption = caption;
        EXPECT_GE(Shown(request).Size.cx, extent.cx + 4 * GetSystemMetrics(SM_CXSIZE)) << caption;
    }
    DeleteDC(dc);
}
