// Registration of a new user and maintenance of the logged-in user's profile
// (the one row of table pass) in one window. The save button's caption tells
// the mode: "注册" registers, "保存" maintains.
#pragma once

#include "app/Pop.h"
#include "components/CodeComboBox.h"
#include "platform/data/ADODB.h"
#include "platform/ui/Mask.h"

#include <functional>
#include <memory>
#include <string>

// RegisteredCode is the code that was registered, or empty when the window
// closed without a registration.
using TRegistrationEndEvent = std::function<void(TObject* Sender, const std::string& RegisteredCode)>;

class Tfrmmsgassert : public TfrmPop {
public:
    explicit Tfrmmsgassert(TComponent* AOwner);

    TGroupBox* GroupBox1 = nullptr; // 用户信息
    TEdit* edt_XMFZRXM1 = nullptr;
    TCodeComboBox* ccb_XMFZRXB1 = nullptr;
    TMaskEdit* met_XMFZRCSN1 = nullptr;
    TCodeComboBox* ccb_XMFZRXL1 = nullptr;
    TCodeComboBox* ccb_XMFZRXW1 = nullptr;
    TCodeComboBox* ccb_XMFZRZC1 = nullptr;
    TEdit* edt_XMFZRLXDH1 = nullptr;
    TGroupBox* GroupBox2 = nullptr; // 登陆信息
    TEdit* edt_username = nullptr;
    TGroupBox* GroupBox3 = nullptr; // 密码管理
    TCheckBox* chk_password = nullptr;
    TEdit* edt_passold = nullptr;
    TEdit* edt_passnew1 = nullptr;
    TEdit* edt_passnew2 = nullptr;
    TGroupBox* GroupBox4 = nullptr; // 单位信息
    TEdit* edt_DWMC = nullptr;
    TEdit* edt_DWDZ = nullptr;
    TEdit* edt_YZBM = nullptr;
    TCodeComboBox* ccb_DWLB = nullptr;
    TCodeComboBox* ccb_QYXZ1 = nullptr;
    TCodeComboBox* ccb_QYXZ2 = nullptr;
    TCodeComboBox* ccb_QYXZ3 = nullptr;
    TCodeComboBox* ccb_ZJJGLB = nullptr;
    TCodeComboBox* ccb_YTLX = nullptr;
    TCodeComboBox* ccb_DWSZSDM = nullptr;
    TCodeComboBox* ccb_DWSZXQDM = nullptr;
    TEdit* edt_HTTP = nullptr;
    TGroupBox* GroupBox5 = nullptr; // 单位负责人信息
    TEdit* edt_DWFZR = nullptr;
    TEdit* edt_DWFZRZWZC = nullptr;
    TEdit* edt_DWFZRLXDH = nullptr;
    TButton* btn_save = nullptr;
    TButton* btn_canel = nullptr;

    // The registration's own connection: to the template while the window
    // shows, to the new user's database while registering.
    TADOConnection* RegistrationConnection = nullptr;

    // Fired once when a registration window closes, whichever way it closes,
    // so the login can leave its registration mode.
    TRegistrationEndEvent OnRegistrationEnd;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void btn_saveClick(TObject* Sender);
    void btn_canelClick(TObject* Sender);
    void chk_passwordClick(TObject* Sender);
    void ccb_DWSZSDMChange(TObject* Sender);
    void met_XMFZRCSN1Exit(TObject* Sender);

    // 0 good, 1 new and confirmation differ, 2 one of them empty, 3 the old
    // password is wrong, 4 the old password is missing. Passwords are
    // compared trimmed.
    int checkpassword(const std::string& NewPassword, const std::string& Confirmation, bool Registration);
    void GatherValues();
    void LoadProfile();
    // The ValueColumn of every row of Table in OrderColumn order (XZQHDM:
    // the top-level regions only).
    std::unique_ptr<TStringList> LoadCodeList(TADOConnection* Connection, const std::string& Table,
                                              const std::string& OrderColumn, const std::string& ValueColumn);

    bool IsRegistration() const { return btn_save->Caption() == "注册"; }

private:
    // The values GatherValues collects, ready to bind: text, or Null.
    struct TProfileValues {
        std::string UserCode;
        std::string Password;
        Variant XMFZRXM1, XMFZRXB1, XMFZRCSN1, XMFZRXL1, XMFZRXW1, XMFZRZC1, XMFZRLXDH1;
        Variant DWMC, DWDZ, YZBM, DWLB;
        Variant QYXZ1, QYXZ2, QYXZ3, ZJJGLB, YTLX, DWSZSDM, DWSZXQDM, DWFZR, DWFZRZWZC, DWFZRLXDH, HTTP;
    };

    TADOConnection* CodeConnection() const;
    void ConnectToTemplate();
    void FillCityBox(TADOConnection* Connection);
    void FillDistrictBox(const std::string& CityCode);
    void RegisterUser();
    void SaveProfile();
    // Statements A (person, with the password when NewPassword is set), B
    // and C, in one transaction. Raises on failure, after the rollback.
    void WriteProfile(TADOConnection* Connection, bool Insert, bool NewPassword);
    void Box(const std::string& Text, UINT Icon);

    TProfileValues FValues;
    std::string FRegisteredCode;
    bool FRegistrationEnded = false;
};

extern Tfrmmsgassert* frmmsgassert;
