// The MDI main window: the logged-in user's state and database connection,
// which the pop-up, data-update and code-table windows read and write, the
// menus that open the document windows, the task bar of their buttons, the
// tray icon the program hides to when minimised, and the wallpaper behind the
// documents.
#pragma once

#include "components/MDIWallpaper.h"
#include "components/TaskBar.h"
#include "components/TrayIcon.h"
#include "platform/data/ADODB.h"
#include "platform/ui/ActnList.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Menus.h"

#include <random>
#include <string>
#include <typeinfo>

class TfrmMain : public TForm {
public:
    explicit TfrmMain(TComponent* AOwner);
    // Takes its minimise handler back from the application.
    ~TfrmMain() override;

    // Share-deny-none, no login prompt; opened after the login.
    TADOConnection* adocon = nullptr;

    std::string UserConnectionString;
    // The user's database file; while a registration from the login is
    // open, the user folder's parent (program folder + "user/").
    std::string UserDbPath;
    std::string UserCode;
    // True while a pop-up window is open.
    bool PopupOpen = false;
    // After a forced update replaced the user's database: the windows whose
    // lists stood on the old file open them again.
    TNotifyEvent OnUserDatabaseReopened;

    TPanel* Panel1 = nullptr; // top strip
    TImage* Image1 = nullptr;
    TTaskBar* TaskBar = nullptr;
    TPanel* Panel2 = nullptr; // left strip
    TImage* Image2 = nullptr;
    TSpeedButton* SpeedButton5 = nullptr; // help
    TSpeedButton* SpeedButton6 = nullptr; // exit
    // Panels: the user, the login date, a fixed text.
    TStatusBar* StatusBar1 = nullptr;
    TMDIWallpaper* MDIWallpaper1 = nullptr;
    TImageList* ImageList1 = nullptr;
    TTrayIcon* TrayIcon1 = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;
    TMenuItem* MenuItem1 = nullptr; // 显示主窗口
    TMenuItem* MenuItem3 = nullptr; // 关闭

    TActionList* ActionList1 = nullptr;
    TAction* ActionRequest = nullptr;
    TAction* ActionZqjcb = nullptr;
    TAction* ActionYssq = nullptr;
    TAction* ActionYszs = nullptr;
    TAction* ActionClose = nullptr;
    TAction* ActionExit = nullptr;
    TAction* ActionInfo = nullptr;
    TAction* ActionCode = nullptr;
    TAction* ActionUpdate = nullptr;

    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* FileMenu = nullptr;     // 文件(&A)
    TMenuItem* N7 = nullptr;           // 关闭
    TMenuItem* MaintainMenu = nullptr; // 维护
    TMenuItem* HelpMenu = nullptr;     // 帮助(&H)
    TMenuItem* N12 = nullptr;          // 帮助
    TMenuItem* N11 = nullptr;          // 关于

    // Shows the open document window of exactly class T (maximised again when
    // minimised) or creates one, maximised, with its task-bar button. Form
    // holds the window before the window's own OnCreate runs.
    template <class T> void OpenChild(T*& Form, TComponent* Owner) {
        const int imageIndex = RandomImageIndex();
        if (TCustomForm* open = FindChild(typeid(T))) {
            ShowChild(open);
            Form = static_cast<T*>(open);
            return;
        }
        CreateFormInstance(Form, Owner);
        ChildCreated(Form, imageIndex);
    }
    // Every document window calls this from its close handler, while it is
    // still an MDI child.
    void ChildClosed(TCustomForm* Form);

    void AppMinimize(TObject* Sender);
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    // Asks before ending; on OK closes the document windows from the last to
    // the first and ends only when each of them closed.
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void ActionCloseExecute(TObject* Sender);
    void ActionExitExecute(TObject* Sender);
    void ActionInfoExecute(TObject* Sender);
    void ActionCodeExecute(TObject* Sender);
    void ActionUpdateExecute(TObject* Sender);
    void N11Click(TObject* Sender);
    void N12Click(TObject* Sender);
    void SpeedButton5Click(TObject* Sender);
    void SpeedButton6Click(TObject* Sender);
    void MenuItem1Click(TObject* Sender);
    void MenuItem3Click(TObject* Sender);

private:
    int RandomImageIndex();
    TCustomForm* FindChild(const std::type_info& FormClass) const;
    void ShowChild(TCustomForm* Form);
    void ChildCreated(TCustomForm* Form, int ImageIndex);
    void ShowHelp();

    // The window whose ChildClosed came last: a document window that left
    // it out while being closed refused to close.
    TCustomForm* FLastClosedChild = nullptr;
    std::minstd_rand FRandom{std::random_device{}()};
};

extern TfrmMain* frmMain;
