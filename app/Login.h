// The login dialog shown before the main window: it opens the entered user's
// own database, checks that it is that user's and that the password matches,
// offers a registration when no database exists, runs the user's first data
// update on this machine and allows three wrong passwords.
#pragma once

#include "components/FlatPainter.h"
#include "platform/data/ADODB.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

#include <string>

// One value per user code; "1" once that user's data update has run here.
inline constexpr const char* UpdatedUsersRegistryKey = "\\software\\Stelvane";

class TfrmLogin : public TForm {
public:
    explicit TfrmLogin(TComponent* AOwner);

    TImage* Image1 = nullptr;
    TLabel* Label1 = nullptr; // 用户名：
    TLabel* Label2 = nullptr; // 口  令：
    TEdit* EdtCode = nullptr;
    TEdit* EdtPass = nullptr;
    TButton* BtnOk = nullptr;
    TButton* btnreg = nullptr;
    TButton* BtnCancel = nullptr;
    TFlatPainter* FlatPainter1 = nullptr;

    // "error" from the start of each attempt, "OK" after a successful one.
    std::string LoginResult;
    TADOConnection* Connection = nullptr;
    std::string ConnectionString;
    // The number the next wrong-password message shows.
    int FailCount = 1;
    // "注册" while a registration started here is open, "runend" after it.
    std::string Mode;

    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void FormKeyPress(TObject* Sender, char32_t& Key);
    void BtnOkClick(TObject* Sender);
    void btnregClick(TObject* Sender);
    void BtnCancelClick(TObject* Sender);

private:
    void WrongPassword();
    void UpdateOnFirstLogin(const std::string& UserCode);
};

extern TfrmLogin* frmLogin;
