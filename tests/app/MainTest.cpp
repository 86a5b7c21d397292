// The main window as the program's main form: one document window per class
// with its task button, the Close item, the exit that keeps the program open
// while a document window refuses to close, the shortcuts, help, the tray
// and the maintenance menu with the forced update.
#include "app/Main.h"

#include "app/About.h"
#include "app/Code.h"
#include "app/DataModule.h"
#include "app/Flush.h"
#include "app/Msgassert.h"
#include "platform/os/Shell.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/ShellAPI.h"
#include "platform/ui/testhooks/DesktopTestHooks.h"
#include "tests/app/ScratchProgramFolder.h"
#include "tests/app/WhenModal.h"
#include "tests/platform/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Captions of the document windows in the order they were closed.
std::vector<std::string> closedDocuments;

// A document window as the later ones behave: freed when closed, telling the
// main window; Refuse keeps it open (unsaved data), Abort stands for its own
// question answered Cancel.
class TTestDocument : public TForm {
public:
    explicit TTestDocument(TComponent* AOwner) : TForm(AOwner) {
        SetFormStyle(fsMDIChild);
        SetCaption("文档");
        OnClose = [this](TObject*, TCloseAction& Action) {
            if (Abort) throw EAbort("");
            if (Refuse) {
                Action = caNone;
                return;
            }
            Action = caFree;
            closedDocuments.push_back(Caption());
            frmMain->ChildClosed(this);
        };
    }
    bool Refuse = false;
    bool Abort = false;
};

class TOtherDocument : public TTestDocument {
public:
    explicit TOtherDocument(TComponent* AOwner) : TTestDocument(AOwner) { SetCaption("其他"); }
};

class TDerivedDocument : public TTestDocument {
public:
    explicit TDerivedDocument(TComponent* AOwner) : TTestDocument(AOwner) { SetCaption("派生"); }
};

TTestDocument* frmTest = nullptr;
TOtherDocument* frmOther = nullptr;
TDerivedDocument* frmDerived = nullptr;

class MainTest : public ::testing::Test {
protected:
    void SetUp() override {
        closedDocuments.clear();
        PreviousLauncher = SetShellLauncher([this](const std::string& Target) {
            Launched.push_back(Target);
            return SE_SUCCESS;
        });
        ASSERT_EQ(Application->MainForm(), nullptr);
        Application->CreateForm(frmMain);
        frmMain->Show();
        ProcessMessages();
    }
    void TearDown() override {
        delete frmMain;
        frmMain = nullptr;
        ProcessMessages();
        SetShellLauncher(PreviousLauncher);
        platform_ui::test::SetNotifyAreaExists(false);
    }
    static void OpenAll() {
        frmMain->OpenChild(frmTest, frmMain);
        frmMain->OpenChild(frmOther, frmMain);
        frmMain->OpenChild(frmDerived, frmMain);
        ProcessMessages();
    }
    static std::vector<std::string> TaskCaptions() {
        std::vector<std::string> captions;
        for (int i = 0; i < frmMain->TaskBar->ButtonCount(); ++i)
            captions.push_back(frmMain->TaskBar->Buttons(i)->Caption());
        return captions;
    }

    ScratchProgramFolder Program;
    uitest::DialogRecorder Dialogs;
    std::vector<std::string> Launched;
    TShellLauncher PreviousLauncher;
};

TEST_F(MainTest, OpenChildKeepsOneMaximisedWindowPerExactClassWithItsTaskButton) {
    EXPECT_FALSE(frmMain->TaskBar->Visible());
    EXPECT_FALSE(frmMain->N7->Enabled());

    frmMain->OpenChild(frmTest, frmMain);
    TTestDocument* first = frmTest;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->WindowState(), wsMaximized);
    EXPECT_TRUE(frmMain->TaskBar->Visible());
    EXPECT_TRUE(frmMain->N7->Enabled());

    // A second request brings the same window back, maximised again.
    first->SetWindowState(wsMinimized);
    frmTest = nullptr;
    frmMain->OpenChild(frmTest, frmMain);
    EXPECT_EQ(frmTest, first);
    EXPECT_EQ(first->WindowState(), wsMaximized);
    EXPECT_EQ(frmMain->MDIChildCount(), 1);

    // A descendant is a class of its own.
    frmMain->OpenChild(frmOther, frmMain);
    frmMain->OpenChild(frmDerived, frmMain);
    frmMain->OpenChild(frmOther, frmMain);
    EXPECT_EQ(frmMain->MDIChildCount(), 3);
    EXPECT_EQ(TaskCaptions(), (std::vector<std::string>{"文档", "其他", "派生"}));
    for (int i = 0; i < frmMain->TaskBar->ButtonCount(); ++i) {
        const int image = frmMain->TaskBar->Buttons(i)->ImageIndex();
        EXPECT_GE(image, 0);
        EXPECT_LT(image, frmMain->ImageList1->Count());
    }

    // A window's button brings it forward.
    frmMain->TaskBar->Buttons(0)->Click();
    ProcessMessages();
    EXPECT_EQ(frmMain->ActiveMDIChild(), first);
    EXPECT_TRUE(frmMain->TaskBar->Buttons(0)->Down());
}

TEST_F(MainTest, TheCloseItemClosesTheActiveWindowAndIsDisabledWithTheLast) {
    OpenAll();
    for (int left = 2; left >= 0; --left) {
        ASSERT_TRUE(frmMain->N7->Enabled());
        frmMain->N7->Click();
        ProcessMessages();
        EXPECT_EQ(frmMain->MDIChildCount(), left);
        EXPECT_EQ(frmMain->TaskBar->ButtonCount(), left);
    }
    EXPECT_FALSE(frmMain->N7->Enabled());
    EXPECT_EQ(closedDocuments.size(), 3u);

    // With nothing open the action does nothing.
    frmMain->ActionCloseExecute(frmMain);
    EXPECT_EQ(frmMain->MDIChildCount(), 0);
}

TEST_F(MainTest, ExitAsksAndClosesTheDocumentsFromTheLastIndexOnlyWhileEachCloses) {
    struct Case {
        const char* name;
        int answer;    // to "您真的要退出系统吗？"
        int refusing;  // index of the window that stays open, or -1
        bool aborting; // it refuses by its own Cancel (an abort) rather than by unsaved data
        bool canClose;
        std::vector<std::string> closed;
    };
    const Case cases[] = {
        {"Cancel keeps everything", IDCANCEL, -1, false, false, {}},
        // Index 0 is the top window, the one opened last.
        {"OK closes from the last index down", IDOK, -1, false, true, {"文档", "其他", "派生"}},
        {"unsaved data keeps the program", IDOK, 1, false, false, {"文档"}},
        {"the window's own Cancel keeps the program", IDOK, 1, true, false, {"文档"}},
        {"the last window asked refusing still keeps it", IDOK, 0, false, false, {"文档", "其他"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        closedDocuments.clear();
        Dialogs.Requests.clear();
        OpenAll();
        if (c.refusing >= 0) {
            auto* refusing = static_cast<TTestDocument*>(frmMain->MDIChildren(c.refusing));
            refusing->Refuse = !c.aborting;
            refusing->Abort = c.aborting;
        }
        Dialogs.Answers = {c.answer};

        EXPECT_EQ(frmMain->CloseQuery(), c.canClose);
        ProcessMessages();

        ASSERT_EQ(Dialogs.Boxes().size(), 1u);
        EXPECT_EQ(Dialogs.Boxes()[0].Text, "您真的要退出系统吗？");
        EXPECT_EQ(Dialogs.Boxes()[0].Caption, "提示");
        EXPECT_EQ(Dialogs.Boxes()[0].Flags & MB_TYPEMASK, static_cast<UINT>(MB_OKCANCEL));
        EXPECT_EQ(closedDocuments, c.closed);
        const int open = frmMain->MDIChildCount();
        EXPECT_EQ(open, 3 - static_cast<int>(c.closed.size()));
        EXPECT_EQ(frmMain->TaskBar->ButtonCount(), open);
        for (int i = 0; i < open; ++i) {
            auto* document = static_cast<TTestDocument*>(frmMain->MDIChildren(i));
            document->Refuse = document->Abort = false;
        }
        for (int i = frmMain->MDIChildCount() - 1; i >= 0; --i)
            frmMain->MDIChildren(i)->Close();
        ProcessMessages();
    }
}

TEST_F(MainTest, ShortcutsOpenHelpAndAboutAndLeaveTheDocumentActionsOff) {
    std::ofstream(Program.Path() + "thelp.html") << "<html></html>";
    bool aboutShown = false;
    WhenModal closeAbout([&] {
        aboutShown = dlgAbout && dlgAbout->Modal();
        if (dlgAbout) dlgAbout->Button1->Click();
    });
    uitest::Type(frmMain, VK_F1);
    uitest::Type(frmMain, 'A', "", MK_CONTROL);
    EXPECT_EQ(Launched, std::vector<std::string>{Program.Path() + "thelp.html"});
    EXPECT_TRUE(aboutShown);
    EXPECT_EQ(dlgAbout, nullptr);

    for (Word key = VK_F2; key <= VK_F5; ++key)
        uitest::Type(frmMain, key);
    EXPECT_EQ(frmMain->MDIChildCount(), 0);
    for (TAction* document : {frmMain->ActionRequest, frmMain->ActionZqjcb, frmMain->ActionYssq, frmMain->ActionYszs})
        EXPECT_FALSE(document->Enabled());
}

TEST_F(MainTest, AMissingHelpFileIsReportedAndNothingStarts) {
    frmMain->SpeedButton5->Click();
    EXPECT_TRUE(Launched.empty());
    ASSERT_EQ(Dialogs.Boxes().size(), 1u);
    EXPECT_EQ(Dialogs.Boxes()[0].Text, "没有找到文件");
}

TEST_F(MainTest, TheLeftStripsButtonsShowTheirGlyphs) {
    frmMain->Panel2->Repaint();
    const HWND strip = frmMain->Panel2->Handle();
    // Inside each glyph, centred on its button: the help button's blue disc,
    // the exit button's red arrow (0xRRGGBB).
    const struct {
        TSpeedButton* Button;
        TPoint InGlyph;
        uint32_t Rgb;
    } cases[] = {{frmMain->SpeedButton5, {3, 4}, 0x0000FF}, {frmMain->SpeedButton6, {12, 7}, 0xFF0000}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.Button->Caption(), "");
        const int x = c.Button->Left() + (c.Button->Width() - 16) / 2 + c.InGlyph.X;
        const int y = c.Button->Top() + (c.Button->Height() - 16) / 2 + c.InGlyph.Y;
        EXPECT_EQ(platform_ui::test::BackingPixel(strip, x, y), c.Rgb) << c.Button->Name();
    }
}

TEST_F(MainTest, MinimisingHidesToTheTrayOnlyWhereANotificationAreaExists) {
    struct Case {
        bool area;
        bool hidden;
    };
    for (const Case c : {Case{true, true}, Case{false, false}}) {
        SCOPED_TRACE(c.area ? "with a notification area" : "without one");
        platform_ui::test::SetNotifyAreaExists(c.area);
        EXPECT_TRUE(frmMain->MenuItem1->Visible()); // shown once the main window was

        Application->Minimize();
        EXPECT_EQ(frmMain->Visible(), !c.hidden);

        frmMain->MenuItem1->Click();
        EXPECT_TRUE(frmMain->Visible());
    }
}

TEST_F(MainTest, TheTrayIconShowsTheProgramsIconAndADoubleClickBringsTheMainWindowBack) {
    platform_ui::test::SetNotifyAreaExists(true);
    frmMain->TrayIcon1->SetIconVisible(true);
    const NOTIFYICONDATA* icon = platform_ui::test::FindNotifyIcon(frmMain->TrayIcon1->Handle(), 1);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(platform_ui::test::DesktopIconSizes(icon->hIcon), (std::vector<int>{16, 32, 48}));
    EXPECT_EQ(frmMain->Image1->Picture()->Width(), 16) << "the top strip's small picture";

    Application->Minimize();
    ASSERT_FALSE(frmMain->Visible());
    platform_ui::test::ActivateNotifyIcon(frmMain->TrayIcon1->Handle(), 1,
                                          platform_ui::test::TTrayActivation::DoubleClick);
    ProcessMessages();
    EXPECT_TRUE(frmMain->Visible());
}

TEST_F(MainTest, TheBuiltProgramFolderHasTheHelpPageAndTheWallpaperTile) {
    EXPECT_TRUE(fs::is_regular_file(BuiltProgramFolder() + "thelp.html"));
    fs::create_directories(Program.Folder() / "pictures");
    fs::copy_file(BuiltProgramFolder() + "pictures/wallpaper.jpg", Program.Folder() / "pictures/wallpaper.jpg");

    TfrmMain* main = nullptr;
    std::unique_ptr<TfrmMain> window(CreateFormInstance(main, nullptr));
    EXPECT_EQ(window->MDIWallpaper1->Picture()->Width(), 19);
    EXPECT_EQ(window->MDIWallpaper1->Picture()->Height(), 28);
    EXPECT_EQ(window->MDIWallpaper1->Client(), window.get());
}

// The maintenance menu reaches the profile, the code tables and the forced
// update on the user's own database.
TEST_F(MainTest, TheMaintenanceMenuShowsItsWindowsModallyOnTheUsersDatabase) {
    const std::string folder = Program.Path() + "user/u001/";
    fs::create_directories(folder);
    fs::copy_file(Program.Path() + "maindata.mdb", folder + "maindata.mdb");
    frmMain->UserCode = "u001";
    frmMain->UserDbPath = folder + "maindata.mdb";
    frmMain->adocon->SetConnectionString(DatabaseConnectionString(frmMain->UserDbPath));
    frmMain->adocon->Open();
    frmMain->adocon->Execute("insert into pass(username,passone) values('u001','secret')");

    struct Case {
        TAction* action;
        std::function<bool(TCustomForm*)> isItsWindow;
    };
    const Case cases[] = {
        {frmMain->ActionInfo,
         [](TCustomForm* form) {
             auto* profile = dynamic_cast<Tfrmmsgassert*>(form);
             return profile && !profile->edt_username->Enabled() && profile->edt_username->Text() == "u001" &&
                    !profile->IsRegistration();
         }},
        {frmMain->ActionCode, [](TCustomForm* form) { return dynamic_cast<TfrmCode*>(form) != nullptr; }},
        {frmMain->ActionUpdate, [](TCustomForm* form) { return dynamic_cast<Tfrmflush*>(form) != nullptr; }},
    };
    std::vector<TBasicAction*> inMenu;
    for (int i = 0; i < frmMain->MaintainMenu->Count(); ++i)
        inMenu.push_back(frmMain->MaintainMenu->Items(i)->Action());
    for (int i = 0; i < 3; ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.action->Caption());
        EXPECT_EQ(inMenu.at(i), c.action);
        bool shown = false;
        WhenModal closeIt([&] {
            TCustomForm* form = Screen->ActiveForm();
            shown = form && form->Modal() && c.isItsWindow(form);
            if (form && form != frmMain) form->SetModalResult(mrCancel);
        });
        frmMain->MaintainMenu->Items(i)->Click();
        EXPECT_TRUE(shown);
        EXPECT_FALSE(frmMain->PopupOpen);
    }
    EXPECT_TRUE(frmMain->adocon->Connected());
}

} // namespace
