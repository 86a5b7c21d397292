// Dialog components through the hook, the gauge's painting, the clipboard,
// glyph and speed buttons, radio groups, timers, the tray icon and the
// dataset actions enabled by their dataset's state.
#include "UiTestSupport.h"

#include "platform/data/ADODB.h"
#include "platform/data/DB.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/Clipbrd.h"
#include "platform/ui/DBActns.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/ExtDlgs.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Gauges.h"
#include "platform/ui/ShellAPI.h"
#include "platform/ui/Timers.h"
#include "platform/ui/Window.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/SqliteFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace uitest;
using platform_ui::test::SendQtMouse;
using platform_ui::test::TMouseEventKind;

TEST(UiComponents, OpenDialogTakesTheChosenFilesAndKeepsThemOnCancel) {
    DialogRecorder dialogs;
    TOpenDialog dialog(nullptr);
    dialog.SetFilter("Word 文档|*.doc|所有文件|*.*");
    dialog.SetOptions(dialog.Options() + ofAllowMultiSelect);
    dialog.SetTitle("导入附件");
    dialogs.Files = {"/tmp/a.doc", "/tmp/b.doc"};
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), "/tmp/a.doc");
    ASSERT_EQ(dialog.Files()->Count(), 2);
    EXPECT_EQ(dialog.Files()->Get(1), "/tmp/b.doc");
    const TDialogRequest& asked = dialogs.Requests.back();
    EXPECT_EQ(asked.Kind, TDialogKind::OpenFile);
    EXPECT_TRUE(asked.MultiSelect);
    EXPECT_EQ(asked.Caption, "导入附件");
    EXPECT_EQ(asked.Filter, "Word 文档|*.doc|所有文件|*.*");

    dialogs.Answers = {IDCANCEL};
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), "/tmp/a.doc");

    TSaveDialog save(nullptr);
    dialogs.Files = {"/tmp/out.zip"};
    EXPECT_TRUE(save.Execute());
    EXPECT_EQ(dialogs.Requests.back().Kind, TDialogKind::SaveFile);
    std::string folder = "/tmp";
    dialogs.Files = {"/tmp/chosen"};
    EXPECT_TRUE(SelectDirectory("选择文件夹", "", folder));
    EXPECT_EQ(folder, "/tmp/chosen");
    TOpenPictureDialog picture(nullptr);
    EXPECT_NE(picture.Filter().find("jpg"), std::string::npos);
    picture.Execute();
    EXPECT_EQ(dialogs.Requests.back().Kind, TDialogKind::OpenPicture);
}

TEST(UiComponents, GaugeFillsItsShareAndWritesThePercentage) {
    TForm* form = nullptr;
    CreateFormInstance(form, nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 200, 60);
    auto* gauge = new TGauge(form);
    gauge->SetParent(form);
    gauge->SetBounds(0, 0, 200, 24);
    gauge->SetBorderStyle(bsNone);
    gauge->SetShowText(false);
    gauge->SetForeColor(clNavy);
    gauge->SetBackColor(16706763);
    const struct {
        int Progress;
        int Percent;
    } cases[] = {{0, 0}, {33, 33}, {100, 100}, {150, 100}, {-5, 0}};
    for (const auto& c : cases) {
        gauge->SetProgress(c.Progress);
        EXPECT_EQ(gauge->PercentDone(), c.Percent) << c.Progress;
    }
    gauge->SetProgress(50);
    form->Show();
    form->Repaint();
    const HWND wnd = form->Handle();
    const TPoint origin = form->ClientToScreen(Point(0, 0));
    TRect window;
    GetWindowRect(wnd, window);
    const int dx = origin.X - window.Left, dy = origin.Y - window.Top;
    EXPECT_EQ(platform_ui::test::BackingPixel(wnd, dx + 10, dy + 12), 0x000080u);  // navy, 0xRRGGBB
    EXPECT_EQ(platform_ui::test::BackingPixel(wnd, dx + 190, dy + 12), 0xCBECFEu); // the back colour
    delete form;
}

TEST(UiComponents, ClipboardCarriesChineseText) {
    Clipboard()->SetAsText("项目申报 2024");
    EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_EQ(Clipboard()->AsText(), "项目申报 2024");
}

TEST(UiComponents, SpeedButtonsOfAGroupStayDownOneAtATime) {
    TForm* form = nullptr;
    CreateFormInstance(form, nullptr);
    std::vector<TSpeedButton*> buttons;
    for (int i = 0; i < 3; ++i) {
        auto* b = new TSpeedButton(form);
        b->SetParent(form);
        b->SetGroupIndex(1);
        buttons.push_back(b);
    }
    buttons[0]->Click();
    buttons[2]->Click();
    EXPECT_FALSE(buttons[0]->Down());
    EXPECT_TRUE(buttons[2]->Down());
    buttons[2]->Click(); // stays down: the group may not be all up
    EXPECT_TRUE(buttons[2]->Down());
    buttons[2]->SetAllowAllUp(true);
    buttons[2]->Click();
    EXPECT_FALSE(buttons[2]->Down());
    delete form;
}

TEST(UiComponents, SpeedButtonFaceIsRaisedOrFlatUntilThePointerComes) {
    TForm* form = nullptr;
    CreateFormInstance(form, nullptr);
    form->SetColor(clAqua); // shows through a flat button
    auto* button = new TSpeedButton(form);
    button->SetParent(form);
    button->SetBounds(10, 10, 60, 24);
    button->SetColor(clBtnFace);
    form->Show();
    const HWND wnd = form->Handle();
    const TPoint origin = form->ClientToScreen(Point(0, 0));
    TRect window;
    GetWindowRect(wnd, window);
    // The button's left edge, halfway down, in the form's window coordinates.
    const int x = origin.X - window.Left + 10, y = origin.Y - window.Top + 22;
    constexpr int Behind = -1;
    const auto rgb = [](int index) {
        const COLORREF c = index == Behind ? ColorToRGB(clAqua) : GetSysColor(index);
        return static_cast<uint32_t>(GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c));
    };
    const struct {
        const char* Name;
        bool Flat;
        bool Hot;
        bool Pressed;
        int Edge;
    } cases[] = {
        {"raised", false, false, false, COLOR_BTNHIGHLIGHT},
        {"raised, pressed", false, true, true, COLOR_3DDKSHADOW},
        {"flat", true, false, false, Behind},
        {"flat under the pointer", true, true, false, COLOR_BTNHIGHLIGHT},
        {"flat, pressed", true, true, true, COLOR_BTNSHADOW},
        {"flat, the pointer gone", true, false, false, Behind},
    };
    // The real pointer, moved over the button or off it to the form.
    const TPoint over = Point(x + 30, y), off = Point(x + 100, y);
    for (const auto& c : cases) {
        button->SetFlat(c.Flat);
        SendQtMouse(wnd, TMouseEventKind::Move, c.Hot ? over : off, 0, 0);
        if (c.Pressed) SendQtMouse(wnd, TMouseEventKind::Press, over, MK_LBUTTON, MK_LBUTTON);
        form->Repaint();
        EXPECT_EQ(platform_ui::test::BackingPixel(wnd, x, y), rgb(c.Edge)) << c.Name;
        if (c.Pressed) SendQtMouse(wnd, TMouseEventKind::Release, off, MK_LBUTTON, 0);
    }
    delete form;
}

TEST(UiComponents, BitBtnKindsCloseModalFormsWithTheirResult) {
    TForm* form = nullptr;
    CreateFormInstance(form, nullptr);
    auto* ok = new TBitBtn(form);
    ok->SetParent(form);
    ok->SetKind(bkOK);
    EXPECT_TRUE(ok->Default());
    EXPECT_EQ(ok->ModalResult(), mrOk);
    auto* cancel = new TBitBtn(form);
    cancel->SetParent(form);
    cancel->SetKind(bkCancel);
    EXPECT_TRUE(cancel->Cancel());
    SetTimer(nullptr, 0, 10, [&](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        Type(ok, VK_RETURN, "\r");
    });
    EXPECT_EQ(form->ShowModal(), mrOk);
    delete form;
}

TEST(UiComponents, RadioGroupReportsTheClickedItem) {
    TForm* form = nullptr;
    CreateFormInstance(form, nullptr);
    auto* group = new TRadioGroup(form);
    group->SetParent(form);
    group->SetBounds(8, 8, 200, 100);
    for (const char* item : {"甲", "乙", "丙"})
        group->Items()->Add(item);
    int clicks = 0;
    group->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    Click(group->Buttons(1));
    EXPECT_EQ(group->ItemIndex(), 1);
    EXPECT_EQ(clicks, 1);
    group->SetItemIndex(2); // by code: no click
    EXPECT_TRUE(group->Buttons(2)->Checked());
    EXPECT_FALSE(group->Buttons(1)->Checked());
    EXPECT_EQ(clicks, 1);
    delete form;
}

TEST(UiComponents, TimerTicksWhileEnabled) {
    TTimer timer(nullptr);
    int ticks = 0;
    timer.SetInterval(5);
    timer.OnTimer = [&](TObject*) {
        if (++ticks == 3) timer.SetEnabled(false);
    };
    RunModalLoop([&] { return !timer.Enabled(); });
    EXPECT_EQ(ticks, 3);
}

TEST(UiComponents, TrayIconReportsWhenThereIsNoNotificationArea) {
    NOTIFYICONDATA data;
    data.hWnd = Application->Handle();
    data.uID = 1;
    data.uFlags = NIF_TIP | NIF_MESSAGE;
    data.uCallbackMessage = 0x0800;
    std::strcpy(data.szTip, "Corvanta2.0");
    const bool added = Shell_NotifyIcon(NIM_ADD, &data);
    EXPECT_EQ(added, NotifyIconAvailable());
    EXPECT_EQ(Shell_NotifyIcon(NIM_MODIFY, &data), added);
    EXPECT_EQ(Shell_NotifyIcon(NIM_DELETE, &data), added);
    EXPECT_FALSE(Shell_NotifyIcon(NIM_DELETE, &data));
}

TEST(UiComponents, DatasetActionsFollowTheDatasetState) {
    const TScratchFolder folder;
    const std::string file = folder / "actions.mdb";
    RunSql(file, "create table T (ID integer primary key, NAME varchar(20))");
    TADOConnection connection(nullptr);
    connection.SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file + ";");
    connection.SetLoginPrompt(false);
    connection.Open();
    TADOQuery query(nullptr);
    query.SetConnection(&connection);
    query.SQL()->SetText("select * from T");
    TDataSource source(nullptr);
    source.SetDataSet(&query);
    TDataSetInsert insert(nullptr);
    TDataSetEdit edit(nullptr);
    TDataSetDelete del(nullptr);
    TDataSetPost post(nullptr);
    TDataSetCancel cancel(nullptr);
    TDataSetRefresh refresh(nullptr);
    std::vector<TDataSetAction*> all = {&insert, &edit, &del, &post, &cancel, &refresh};
    for (auto* a : all)
        a->SetDataSource(&source);
    auto states = [&] {
        std::string s;
        for (auto* a : all)
            s += a->Enabled() ? '1' : '0';
        return s;
    };
    EXPECT_EQ(states(), "000000"); // closed
    query.Open();
    EXPECT_EQ(states(), "110001"); // open and empty: nothing to delete
    ASSERT_TRUE(insert.Execute());
    EXPECT_EQ(query.State(), dsInsert);
    EXPECT_EQ(states(), "000111"); // refresh stays available while the dataset is open
    query.FieldByName("ID")->SetAsInteger(1);
    query.FieldByName("NAME")->SetAsString("甲");
    ASSERT_TRUE(post.Execute());
    EXPECT_EQ(states(), "111001");
    // A handler of its own replaces the dataset operation.
    int handled = 0;
    del.OnExecute = [&](TObject*) { ++handled; };
    EXPECT_TRUE(del.Execute());
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(query.RecordCount(), 1);
    query.Close();
    connection.Close();
}
