// The main window's user state, which the pop-up, data-update and code-table
// windows read and write: the logged-in user, that user's database and its
// connection adocon. The window itself (menus, task bar, tray, wallpaper) is
// built around this state.
#pragma once

#include "platform/data/ADODB.h"
#include "platform/ui/Forms.h"

#include <string>

class TfrmMain : public TForm {
public:
    explicit TfrmMain(TComponent* AOwner);

    // Share-deny-none, no login prompt; opened after the login.
    TADOConnection* adocon = nullptr;

    std::string UserConnectionString;
    // The user's database file; while a registration from the login is
    // open, the user folder's parent (program folder + "user/").
    std::string UserDbPath;
    std::string UserCode;
    // True while a pop-up window is open.
    bool PopupOpen = false;
};

extern TfrmMain* frmMain;
