// The login dialog. Every typed value reaches SQL as a bound parameter, and
// passwords are compared trimmed, as registration stores them.
#include "app/Login.h"

#include "app/ApplicationFolder.h"
#include "app/DataModule.h"
#include "app/Flush.h"
#include "app/Main.h"
#include "app/Message.h"
#include "app/Msgassert.h"
#include "app/OneUseForm.h"
#include "app/UserAccount.h"
#include "platform/os/Registry.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"


TfrmLogin* frmLogin = nullptr;

namespace {

const char* const BoxCaption = "提示";
const char* const PictureFile = "pictures/login.jpg";
constexpr int PasswordLength = 12;
constexpr int MaxAttempts = 3;

} // namespace

TfrmLogin::TfrmLogin(TComponent* AOwner) : TForm(AOwner) {
    TFormBuilder build(this);
    SetName("frmLogin");
    SetBorderStyle(bsDialog);
    SetCaption("系统登录");
    SetPosition(poScreenCenter);
    SetClientWidth(400);
    SetClientHeight(190);
    SetKeyPreview(true);
    SetVisible(false);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
    OnKeyDown = [this](TObject* Sender, Word& Key, TShiftState Shift) { FormKeyDown(Sender, Key, Shift); };
    OnKeyPress = [this](TObject* Sender, char32_t& Key) { FormKeyPress(Sender, Key); };

    Image1 = build.Control<TImage>(this, "Image1", {0, 0, 130, 190});
    Image1->SetStretch(true);
    // A missing picture leaves the strip empty; the login still works.
    if (const std::string picture = ApplicationFolder() + PictureFile; FileExists(picture))
        Image1->Picture()->LoadFromFile(picture);

    Label1 = build.Control<TLabel>(this, "Label1", {150, 44, 60, 13}, "用户名：");
    EdtCode = build.Control<TEdit>(this, "EdtCode", {215, 40, 160, 21});
    EdtCode->SetTabOrder(0);
    Label2 = build.Control<TLabel>(this, "Label2", {150, 84, 60, 13}, "口  令：");
    EdtPass = build.Control<TEdit>(this, "EdtPass", {215, 80, 160, 21});
    EdtPass->SetMaxLength(PasswordLength);
    EdtPass->SetPasswordChar(U'*');
    EdtPass->SetTabOrder(1);

    BtnOk = build.Control<TButton>(this, "BtnOk", {150, 140, 70, 25}, "登录");
    BtnOk->SetTabOrder(2);
    BtnOk->OnClick = [this](TObject* Sender) { BtnOkClick(Sender); };
    btnreg = build.Control<TButton>(this, "btnreg", {228, 140, 70, 25}, "注册");
    btnreg->SetTabOrder(3);
    btnreg->OnClick = [this](TObject* Sender) { btnregClick(Sender); };
    BtnCancel = build.Control<TButton>(this, "BtnCancel", {306, 140, 70, 25}, "取消");
    BtnCancel->SetTabOrder(4);
    BtnCancel->OnClick = [this](TObject* Sender) { BtnCancelClick(Sender); };

    FlatPainter1 = build.Component<TFlatPainter>("FlatPainter1");
    FlatPainter1->SetFlatControls({xcEdit, xcButton});
    FlatPainter1->SetActive(true);

    Connection = build.Component<TADOConnection>("Connection");
    Connection->SetMode(cmShareDenyNone);
    Connection->SetLoginPrompt(false);

    SetActiveControl(EdtCode);
}

void TfrmLogin::FormCreate(TObject*) {
    FailCount = 1;
    CreateDir(ApplicationFolder() + "user");
}

void TfrmLogin::FormClose(TObject*, TCloseAction&) {
    if (LoginResult != "OK") Application->Terminate();
    Connection->Close();
}

void TfrmLogin::FormKeyDown(TObject*, Word& Key, TShiftState) {
    if (Key != VK_UP && Key != VK_DOWN) return;
    SelectNext(ActiveControl(), Key == VK_DOWN, true);
    Key = 0;
}

void TfrmLogin::FormKeyPress(TObject*, char32_t& Key) {
    if (Key != U'\r') return;
    Key = 0;
    if (Trim(EdtCode->Text()).empty()) {
        EdtCode->SetFocus();
        MessageBox(Handle(), "请输入登录用户名称", BoxCaption, MB_OK | MB_ICONINFORMATION);
    } else if (Trim(EdtPass->Text()).empty()) {
        EdtPass->SetFocus();
        MessageBox(Handle(), "请输入登录口令", BoxCaption, MB_OK | MB_ICONINFORMATION);
    } else {
        BtnOk->Click();
    }
}

void TfrmLogin::BtnOkClick(TObject*) {
    // The code names the user's folder, so blanks around it are no part of it.
    const std::string userCode = Trim(EdtCode->Text());
    if (userCode.empty()) {
        MessageBox(Handle(), "请输入用户名称", BoxCaption, MB_OK | MB_ICONINFORMATION);
        EdtCode->SetFocus();
        return;
    }
    TWaitMessage wait("正在连接数据库中，请梢侯。。。");
    LoginResult = "error";
    Connection->Close();
    frmMain->UserDbPath = UserDatabaseFile(userCode);
    ConnectionString = DatabaseConnectionString(frmMain->UserDbPath);
    try {
        Connection->SetConnectionString(ConnectionString);
        Connection->SetLoginPrompt(false);
        Connection->Open();
    } catch (const std::exception&) {
        if (MessageBox(wait.Handle(), "未发现注册用户，是否开始注册", BoxCaption, MB_YESNO | MB_ICONINFORMATION) !=
            IDYES) {
            Connection->Close();
            return;
        }
        btnregClick(BtnOk);
    }
    if (!Connection->Connected()) return;

    TADOQuery count(nullptr);
    count.SetConnection(Connection);
    count.SQL()->SetText("select count(username) from pass where username=:username");
    count.Parameters()->ParamByName("username")->SetValue(userCode);
    count.Open();
    if (count.Fields()[0]->AsInteger() == 0) {
        MessageBox(Handle(), "您错误了使用其他存在的数据库来替代了本地数据库！", BoxCaption, MB_OK | MB_ICONERROR);
        return;
    }
    if (Mode == "注册") return;

    if (!UserPasswordMatches(Connection, userCode, EdtPass->Text())) {
        wait.Close();
        WrongPassword();
        return;
    }
    LoginResult = "OK";
    frmMain->UserCode = userCode;
    wait.Close();
    UpdateOnFirstLogin(userCode);
    Close();
}

void TfrmLogin::WrongPassword() {
    MessageBox(Handle(), "密码错误，请输入正确密码重新登陆\r尝试登陆数据库" + std::to_string(FailCount) + "次",
               BoxCaption, MB_OK | MB_ICONINFORMATION);
    ++FailCount;
    if (FailCount > MaxAttempts) {
        MessageBox(Handle(), "尝试登陆数据库超过" + std::to_string(FailCount - 1) + "次\r应用程序将关闭", BoxCaption,
                   MB_OK | MB_ICONERROR);
        Close();
    }
}

void TfrmLogin::UpdateOnFirstLogin(const std::string& UserCode) {
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKey(UpdatedUsersRegistryKey, false)) return;
    try {
        if (registry.ReadString(UserCode) == "1") return;
    } catch (const ERegistryException&) {
        // A value of another kind is no record of an update: run it.
    }
    {
        Tfrmflush* flush = nullptr;
        TOneUseForm update(flush);
        update->EdtPass->SetEnabled(false);
        update->Show();
        bool updated = false;
        try {
            updated = update->DoFlush(Connection);
        } catch (const std::exception&) {
        }
        // A failed update still counts as run: the user is told to update
        // from the main window rather than asked again at every login.
        if (!updated)
            MessageBox(update->Handle(), "自动数据更新失败，请在主界面中进行再次更新", BoxCaption,
                       MB_OK | MB_ICONINFORMATION);
        update->Close();
    }
    registry.WriteString(UserCode, "1");
}

void TfrmLogin::btnregClick(TObject*) {
    frmMain->UserDbPath = UsersFolder();
    // However the registration ends, even before its window could show, the
    // login leaves registration mode, so the next attempt is not stopped
    // silently.
    struct TModeReset {
        std::string& Mode;
        ~TModeReset() { Mode = "runend"; }
    } modeReset{Mode};
    TOneUseForm window(frmmsgassert);
    Tfrmmsgassert& registration = *window;
    registration.SetCaption("用户注册");
    registration.edt_username->SetText(EdtCode->Text());
    registration.btn_save->SetCaption("注册");
    registration.OnRegistrationEnd = [this](TObject*, const std::string& RegisteredCode) {
        if (!RegisteredCode.empty()) EdtCode->SetText(RegisteredCode);
    };
    Mode = "注册";
    registration.chk_passwordClick(registration.chk_password);
    registration.chk_password->SetChecked(true);
    registration.ShowModal();
}

void TfrmLogin::BtnCancelClick(TObject*) {
    Close();
}
