// Start-up steps shared by main and the tests.
#include "app/Startup.h"

#include "app/DataModule.h"
#include "app/Login.h"
#include "app/Main.h"
#include "app/Message.h"
#include "app/OneUseForm.h"
#include "app/Progress.h"
#include "app/RegistryReset.h"
#include "platform/os/Shell.h"
#include "platform/os/SingleInstance.h"
#include "platform/rtl/DateTime.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/MessageQueue.h"

bool AnotherCopyRunning() {
    return PostToRunningInstance(ProgramTitle, AnotherCopyMessage);
}

void CreateProgramWindows() {
    Application->SetTitle(ProgramTitle);
    Application->CreateForm(frmMain);
    Application->CreateForm(frmMessage);
    Application->CreateForm(frmProgress);
    Application->CreateForm(DM);
    // Opening a document waits a few seconds for the desktop's answer: the
    // windows keep painting meanwhile, and no click starts something else.
    SetShellIdle([] {
        TInputHoldBack hold(Application->Handle());
        ProcessMessages();
    });
}

bool RunLogin() {
    TOneUseForm login(frmLogin);
    ResetProgramRegistryKey();
    frmLogin->ShowModal();
    if (frmLogin->LoginResult != "OK") return false;
    StartUserSession(frmLogin->ConnectionString, frmLogin->EdtCode->Text());
    return true;
}

void StartUserSession(const std::string& ConnectionString, const std::string& UserCode) {
    frmMain->UserConnectionString = ConnectionString;
    frmMain->adocon->SetConnectionString(ConnectionString);
    frmMain->adocon->SetLoginPrompt(false);
    frmMain->adocon->Open();
    frmMain->StatusBar1->Panels()->Items(0)->SetText("当前用户：" + UserCode);
    frmMain->StatusBar1->Panels()->Items(1)->SetText("登陆日期：" + DateToStr(Date()));
}

void FreeProgramWindows() {
    delete frmMessage;
    frmMessage = nullptr;
    delete frmProgress;
    frmProgress = nullptr;
    delete frmMain;
    frmMain = nullptr;
    delete DM;
    DM = nullptr;
}
