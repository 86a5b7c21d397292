// The registration and profile window. Every value goes into its statement
// as a bound parameter; a registration that fails leaves neither the copied
// database nor the folder made for it.
#include "app/Msgassert.h"

#include "app/ApplicationFolder.h"
#include "app/DataModule.h"
#include "app/FixedCodeLists.h"
#include "app/Main.h"
#include "app/Message.h"
#include "app/UserAccount.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/MessageQueue.h"

#include <filesystem>
#include <initializer_list>
#include <utility>

Tfrmmsgassert* frmmsgassert = nullptr;

namespace {

const char* const TemplateFile = "maindata.mdb";
const char* const BoxCaption = "提示";

const TCodeList EnterpriseSizeCodes = {{"大型企业", "31"}, {"中型企业", "32"}, {"小型企业", "33"}};
const TCodeList EnterpriseKindCodes = {{"星火龙头企业", "34"},
                                       {"民营科技企业", "35"},
                                       {"国家级重点高新技术企业", "36"},
                                       {"省高新技术企业", "37"},
                                       {"其他", "38"}};
Variant TextValue(const std::string& Text) {
    return Variant(Trim(Text));
}

// Codes are numbers in the database; a box whose text is empty, or that has
// no code selected, stores null.
Variant CodeValue(const TCodeComboBox* Box) {
    const std::string code = Box->SelectedCode();
    if (Trim(Box->Text()).empty() || code.empty()) return Variant(Variant::TNullTag{});
    Int64 number = 0;
    if (TryStrToInt64(code, number)) return Variant(number);
    return Variant(code);
}

void Bind(TADOCommand& Command, const char* Name, const Variant& Value) {
    Command.Parameters()->ParamByName(Name)->SetValue(Value);
}

} // namespace

Tfrmmsgassert::Tfrmmsgassert(TComponent* AOwner) : TfrmPop(AOwner) {
    TFormBuilder build(this);
    SetName("frmmsgassert");
    SetBorderStyle(bsDialog);
    SetCaption("信息维护");
    SetClientWidth(600);
    SetClientHeight(530);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };

    // The labels carry no names; nothing refers to them.
    auto label = [&build](TWinControl* parent, int x, int y, const char* text) {
        build.Control<TLabel>(parent, "", {x, y + 4, 100, 13}, text);
    };
    // Every limit is the size of the edit's text column, in GBK bytes.
    auto edit = [&build](TWinControl* parent, const char* name, int x, int y, int width, int maxLength) {
        TEdit* e = build.Control<TEdit>(parent, name, {x, y, width, 21});
        e->SetMaxLength(maxLength);
        e->SetMaxLengthUnit(luGbkBytes);
        return e;
    };
    auto combo = [this, &build](TWinControl* parent, const char* name, int x, int y, int width, TCodeList codes) {
        TCodeComboBox* c = build.Control<TCodeComboBox>(parent, name, {x, y, width, 21});
        for (const auto& [item, code] : codes) {
            c->Items()->Add(item);
            c->codes()->Add(code);
        }
        CodeBox(c);
        return c;
    };

    GroupBox1 = build.Control<TGroupBox>(this, "GroupBox1", {8, 8, 584, 108}, "用户信息");
    label(GroupBox1, 10, 20, "姓名：");
    edt_XMFZRXM1 = edit(GroupBox1, "edt_XMFZRXM1", 70, 20, 110, 20);
    label(GroupBox1, 195, 20, "性别：");
    ccb_XMFZRXB1 = combo(GroupBox1, "ccb_XMFZRXB1", 250, 20, 100, SexCodes);
    label(GroupBox1, 370, 20, "出生年：");
    met_XMFZRCSN1 = build.Control<TMaskEdit>(GroupBox1, "met_XMFZRCSN1", {440, 20, 100, 21});
    met_XMFZRCSN1->SetEditMask("9999年;0;_");
    met_XMFZRCSN1->OnExit = [this](TObject* Sender) { met_XMFZRCSN1Exit(Sender); };
    label(GroupBox1, 10, 52, "学历：");
    ccb_XMFZRXL1 = combo(GroupBox1, "ccb_XMFZRXL1", 70, 52, 110, EducationCodes);
    label(GroupBox1, 195, 52, "学位：");
    ccb_XMFZRXW1 = combo(GroupBox1, "ccb_XMFZRXW1", 250, 52, 100, DegreeCodes);
    label(GroupBox1, 370, 52, "职称：");
    ccb_XMFZRZC1 = combo(GroupBox1, "ccb_XMFZRZC1", 440, 52, 100, TitleCodes);
    label(GroupBox1, 10, 84, "联系电话：");
    edt_XMFZRLXDH1 = edit(GroupBox1, "edt_XMFZRLXDH1", 70, 84, 280, 30);
    DigitsOnly(edt_XMFZRLXDH1);

    GroupBox2 = build.Control<TGroupBox>(this, "GroupBox2", {8, 122, 584, 90}, "登陆信息");
    label(GroupBox2, 10, 20, "用户名：");
    edt_username = edit(GroupBox2, "edt_username", 70, 20, 110, 20);
    // The check box is the box's caption: it carries the text and breaks the
    // frame line where a caption would, so the group draws no text under it.
    GroupBox3 = build.Control<TGroupBox>(GroupBox2, "GroupBox3", {190, 10, 386, 74}, "");
    chk_password = build.Control<TCheckBox>(GroupBox3, "chk_password", {8, 0, 67, 16}, "密码管理");
    chk_password->OnClick = [this](TObject* Sender) { chk_passwordClick(Sender); };
    label(GroupBox3, 8, 20, "原  密码：");
    edt_passold = edit(GroupBox3, "edt_passold", 70, 20, 110, 12);
    label(GroupBox3, 190, 20, "新  密码：");
    edt_passnew1 = edit(GroupBox3, "edt_passnew1", 250, 20, 110, 12);
    label(GroupBox3, 190, 48, "确认密码：");
    edt_passnew2 = edit(GroupBox3, "edt_passnew2", 250, 48, 110, 12);
    for (TEdit* e : {edt_passold, edt_passnew1, edt_passnew2})
        e->SetPasswordChar(U'*');

    GroupBox4 = build.Control<TGroupBox>(this, "GroupBox4", {8, 218, 584, 268}, "单位信息");
    label(GroupBox4, 10, 20, "单位名称：");
    edt_DWMC = edit(GroupBox4, "edt_DWMC", 100, 20, 470, 120);
    label(GroupBox4, 10, 48, "通讯地址：");
    edt_DWDZ = edit(GroupBox4, "edt_DWDZ", 100, 48, 300, 160);
    label(GroupBox4, 410, 48, "邮政编码：");
    edt_YZBM = edit(GroupBox4, "edt_YZBM", 480, 48, 90, 6);
    DigitsOnly(edt_YZBM);
    label(GroupBox4, 10, 76, "单位类型：");
    ccb_DWLB = combo(GroupBox4, "ccb_DWLB", 100, 76, 180, UnitTypeCodes);
    label(GroupBox4, 300, 76, "企业性质1：");
    ccb_QYXZ1 = combo(GroupBox4, "ccb_QYXZ1", 390, 76, 180, EnterpriseSizeCodes);
    label(GroupBox4, 10, 104, "企业性质2：");
    ccb_QYXZ2 = combo(GroupBox4, "ccb_QYXZ2", 100, 104, 180, EnterpriseKindCodes);
    label(GroupBox4, 300, 104, "企业性质3：");
    ccb_QYXZ3 = combo(GroupBox4, "ccb_QYXZ3", 390, 104, 180, EnterpriseKindCodes);
    label(GroupBox4, 10, 132, "中介机构类型：");
    ccb_ZJJGLB = combo(GroupBox4, "ccb_ZJJGLB", 100, 132, 180, AgencyCodes);
    label(GroupBox4, 300, 132, "依托单位类型：");
    ccb_YTLX = combo(GroupBox4, "ccb_YTLX", 390, 132, 180, BaseCodes);
    label(GroupBox4, 10, 160, "单位所在市：");
    ccb_DWSZSDM = combo(GroupBox4, "ccb_DWSZSDM", 100, 160, 180, {});
    ccb_DWSZSDM->OnChange = [this](TObject* Sender) { ccb_DWSZSDMChange(Sender); };
    label(GroupBox4, 300, 160, "单位所在县（区）：");
    ccb_DWSZXQDM = combo(GroupBox4, "ccb_DWSZXQDM", 430, 160, 140, {});
    label(GroupBox4, 10, 188, "单位网址：");
    edt_HTTP = edit(GroupBox4, "edt_HTTP", 100, 188, 470, 60);
    GroupBox5 = build.Control<TGroupBox>(GroupBox4, "GroupBox5", {8, 214, 568, 48}, "单位负责人信息");
    label(GroupBox5, 8, 20, "姓名：");
    edt_DWFZR = edit(GroupBox5, "edt_DWFZR", 50, 20, 100, 20);
    label(GroupBox5, 160, 20, "职务/职称：");
    edt_DWFZRZWZC = edit(GroupBox5, "edt_DWFZRZWZC", 230, 20, 110, 20);
    label(GroupBox5, 350, 20, "电话：");
    edt_DWFZRLXDH = edit(GroupBox5, "edt_DWFZRLXDH", 390, 20, 170, 36);
    DigitsOnly(edt_DWFZRLXDH);

    btn_save = build.Control<TButton>(this, "btn_save", {420, 496, 75, 25}, "保存");
    btn_save->SetHint("保存到本地数据库");
    btn_save->SetShowHint(true);
    btn_save->OnClick = [this](TObject* Sender) { btn_saveClick(Sender); };

    btn_canel = build.Control<TButton>(this, "btn_canel", {505, 496, 75, 25}, "取消");
    btn_canel->SetHint("取消本次操作");
    btn_canel->SetShowHint(true);
    btn_canel->OnClick = [this](TObject* Sender) { btn_canelClick(Sender); };

    RegistrationConnection = build.Component<TADOConnection>("RegistrationConnection");
    RegistrationConnection->SetMode(cmShareDenyNone);
    RegistrationConnection->SetLoginPrompt(false);

    FlatPainter1->SetActive(true);
}

void Tfrmmsgassert::Box(const std::string& Text, UINT Icon) {
    MessageBox(Handle(), Text, BoxCaption, MB_OK | Icon);
}

void Tfrmmsgassert::FormCreate(TObject* Sender) {
    TfrmPop::FormCreate(Sender);
    met_XMFZRCSN1->SetText(FormatDateTime("yyyy", Now()));
}

void Tfrmmsgassert::FormShow(TObject*) {
    ResetImeModes(this);
    if (IsRegistration()) {
        ConnectToTemplate();
        FillCityBox(CodeConnection());
    } else {
        FillCityBox(frmMain->adocon);
        LoadProfile();
    }
}

void Tfrmmsgassert::FormClose(TObject* Sender, TCloseAction& Action) {
    TfrmPop::FormClose(Sender, Action);
    if (!IsRegistration() || FRegistrationEnded) return;
    FRegistrationEnded = true;
    RegistrationConnection->Close();
    Fire(OnRegistrationEnd, this, FRegisteredCode);
}

// The code tables of a registration come from the template; CodeConnection
// opens it again when it is needed.
void Tfrmmsgassert::ConnectToTemplate() {
    RegistrationConnection->Close();
    RegistrationConnection->SetConnectionString(DatabaseConnectionString(ApplicationFolder() + TemplateFile));
}

TADOConnection* Tfrmmsgassert::CodeConnection() const {
    if (!IsRegistration()) return frmMain->adocon;
    if (!RegistrationConnection->Connected()) RegistrationConnection->Open();
    return RegistrationConnection;
}

std::unique_ptr<TStringList> Tfrmmsgassert::LoadCodeList(TADOConnection* Connection, const std::string& Table,
                                                         const std::string& OrderColumn,
                                                         const std::string& ValueColumn) {
    TADOQuery query(nullptr);
    query.SetConnection(Connection);
    if (Table == "XZQHDM")
        query.SQL()->SetText("select * from XZQHDM  where pxzqhid is null order by " + SQLQuotedName(OrderColumn));
    else
        query.SQL()->SetText("select * from " + SQLQuotedName(Table) + " order by " + SQLQuotedName(OrderColumn));
    query.Open();
    auto list = std::make_unique<TStringList>();
    for (; !query.Eof(); query.Next())
        list->Add(query.FieldByName(ValueColumn)->AsString());
    return list;
}

void Tfrmmsgassert::FillCityBox(TADOConnection* Connection) {
    auto codes = LoadCodeList(Connection, "XZQHDM", "DQDM", "DQDM");
    auto names = LoadCodeList(Connection, "XZQHDM", "DQDM", "DQMC");
    ccb_DWSZSDM->SetCodes(codes.get());
    ccb_DWSZSDM->Items()->Assign(names.get());
}

void Tfrmmsgassert::FillDistrictBox(const std::string& CityCode) {
    ccb_DWSZXQDM->Items()->Clear();
    ccb_DWSZXQDM->codes()->Clear();
    TADOQuery query(nullptr);
    query.SetConnection(CodeConnection());
    query.SQL()->SetText("select a.DQDM, a.DQMC from xzqhdm a,(select xzqhid,pxzqhid from xzqhdm where dqdm=:dqdm) b "
                         "where a.pxzqhid=b.xzqhid order by a.dqdm");
    query.Parameters()->ParamByName("dqdm")->SetValue(CityCode);
    query.Open();
    for (; !query.Eof(); query.Next()) {
        ccb_DWSZXQDM->codes()->Add(query.FieldByName("DQDM")->AsString());
        ccb_DWSZXQDM->Items()->Add(query.FieldByName("DQMC")->AsString());
    }
    ccb_DWSZXQDM->SetText("");
}

void Tfrmmsgassert::ccb_DWSZSDMChange(TObject*) {
    const std::string city = ccb_DWSZSDM->SelectedCode();
    if (city.empty()) return;
    FillDistrictBox(city);
}

void Tfrmmsgassert::LoadProfile() {
    TADOQuery query(nullptr);
    query.SetConnection(frmMain->adocon);
    query.SQL()->SetText("select * from pass");
    query.Open();
    if (query.IsEmpty()) return;
    auto text = [&](TCustomEdit* edit, const char* column) { edit->SetText(query.FieldByName(column)->AsString()); };
    auto code = [&](TCodeComboBox* box, const char* column) {
        box->SetItemIndex(box->codes()->IndexOf(query.FieldByName(column)->AsString()));
    };
    text(edt_XMFZRXM1, "XMFZRXM1");
    text(met_XMFZRCSN1, "XMFZRCSN1");
    text(edt_XMFZRLXDH1, "XMFZRLXDH1");
    text(edt_DWMC, "DWMC");
    text(edt_DWDZ, "DWDZ");
    text(edt_YZBM, "YZBM");
    text(edt_DWFZR, "DWFZR");
    text(edt_DWFZRZWZC, "DWFZRZWZC");
    text(edt_DWFZRLXDH, "DWFZRLXDH");
    text(edt_HTTP, "HTTP");
    code(ccb_XMFZRXB1, "XMFZRXB1");
    code(ccb_XMFZRXL1, "XMFZRXL1");
    code(ccb_XMFZRXW1, "XMFZRXW1");
    code(ccb_XMFZRZC1, "XMFZRZC1");
    code(ccb_DWLB, "DWLB");
    code(ccb_QYXZ1, "QYXZ1");
    code(ccb_QYXZ2, "QYXZ2");
    code(ccb_QYXZ3, "QYXZ3");
    code(ccb_ZJJGLB, "ZJJGLB");
    code(ccb_YTLX, "YTLX");
    const std::string city = query.FieldByName("DWSZSDM")->AsString();
    if (!city.empty()) {
        code(ccb_DWSZSDM, "DWSZSDM");
        FillDistrictBox(city);
        code(ccb_DWSZXQDM, "DWSZXQDM");
    }
}

void Tfrmmsgassert::met_XMFZRCSN1Exit(TObject*) {
    const std::string text = Trim(met_XMFZRCSN1->Text());
    if (text.empty()) return;
    Integer year = 0;
    const bool fourDigits = text.size() == 4 && text.find_first_not_of("0123456789") == std::string::npos;
    if (fourDigits && TryStrToInt(text, year) && year >= 1 && year <= 9999) return;
    met_XMFZRCSN1->SetText("");
    Box("日期输入非法", MB_ICONINFORMATION);
    met_XMFZRCSN1->SetFocus();
}

void Tfrmmsgassert::chk_passwordClick(TObject*) {
    const bool open = chk_password->Checked();
    for (TEdit* edit : {edt_passold, edt_passnew1, edt_passnew2}) {
        edit->SetEnabled(open);
        edit->SetColor(open ? clWindow : cl3DLight);
    }
    if (IsRegistration()) {
        edt_passold->SetEnabled(false);
        edt_passold->SetColor(cl3DLight);
    }
}

void Tfrmmsgassert::GatherValues() {
    FValues.UserCode = Trim(edt_username->Text());
    FValues.Password = Trim(edt_passnew1->Text());
    FValues.XMFZRXM1 = TextValue(edt_XMFZRXM1->Text());
    FValues.XMFZRXB1 = CodeValue(ccb_XMFZRXB1);
    FValues.XMFZRCSN1 = TextValue(met_XMFZRCSN1->Text());
    FValues.XMFZRXL1 = CodeValue(ccb_XMFZRXL1);
    FValues.XMFZRXW1 = CodeValue(ccb_XMFZRXW1);
    FValues.XMFZRZC1 = CodeValue(ccb_XMFZRZC1);
    FValues.XMFZRLXDH1 = TextValue(edt_XMFZRLXDH1->Text());
    FValues.DWMC = TextValue(edt_DWMC->Text());
    FValues.DWDZ = TextValue(edt_DWDZ->Text());
    // The postcode is text: "012345" keeps its leading zero.
    const std::string postcode = Trim(edt_YZBM->Text());
    FValues.YZBM = postcode.empty() ? Variant(Variant::TNullTag{}) : Variant(postcode);
    FValues.DWLB = CodeValue(ccb_DWLB);
    FValues.QYXZ1 = CodeValue(ccb_QYXZ1);
    FValues.QYXZ2 = CodeValue(ccb_QYXZ2);
    FValues.QYXZ3 = CodeValue(ccb_QYXZ3);
    FValues.ZJJGLB = CodeValue(ccb_ZJJGLB);
    FValues.YTLX = CodeValue(ccb_YTLX);
    FValues.DWSZSDM = CodeValue(ccb_DWSZSDM);
    FValues.DWSZXQDM = CodeValue(ccb_DWSZXQDM);
    FValues.DWFZR = TextValue(edt_DWFZR->Text());
    FValues.DWFZRZWZC = TextValue(edt_DWFZRZWZC->Text());
    FValues.DWFZRLXDH = TextValue(edt_DWFZRLXDH->Text());
    FValues.HTTP = TextValue(edt_HTTP->Text());
}

int Tfrmmsgassert::checkpassword(const std::string& NewPassword, const std::string& Confirmation, bool Registration) {
    const std::string oldPassword = Trim(edt_passold->Text());
    const std::string newPassword = Trim(NewPassword);
    const std::string confirmation = Trim(Confirmation);
    if (!Registration && oldPassword.empty()) return 4;
    if (newPassword.empty() || confirmation.empty()) return 2;
    if (!Registration && !UserPasswordMatches(frmMain->adocon, frmMain->UserCode, oldPassword)) return 3;
    return newPassword != confirmation ? 1 : 0;
}

void Tfrmmsgassert::WriteProfile(TADOConnection* Connection, bool Insert, bool NewPassword) {
    TADOCommand a(nullptr), b(nullptr), c(nullptr);
    for (TADOCommand* command : {&a, &b, &c})
        command->SetConnection(Connection);
    if (Insert) {
        a.SetCommandText("insert into pass(username,passone,XMFZRXM1,XMFZRXB1,XMFZRCSN1,XMFZRXL1,XMFZRXW1,XMFZRZC1,"
                         "XMFZRLXDH1) values(:username,:passone,:XMFZRXM1,:XMFZRXB1,:XMFZRCSN1,:XMFZRXL1,:XMFZRXW1,"
                         ":XMFZRZC1,:XMFZRLXDH1)");
    } else {
        a.SetCommandText(std::string("update pass set ") + (NewPassword ? "passone=:passone," : "") +
                         "XMFZRXM1=:XMFZRXM1,XMFZRXB1=:XMFZRXB1,XMFZRCSN1=:XMFZRCSN1,XMFZRXL1=:XMFZRXL1,"
                         "XMFZRXW1=:XMFZRXW1,XMFZRZC1=:XMFZRZC1,XMFZRLXDH1=:XMFZRLXDH1 where username=:username");
    }
    Bind(a, "username", FValues.UserCode);
    if (Insert || NewPassword) Bind(a, "passone", FValues.Password);
    Bind(a, "XMFZRXM1", FValues.XMFZRXM1);
    Bind(a, "XMFZRXB1", FValues.XMFZRXB1);
    Bind(a, "XMFZRCSN1", FValues.XMFZRCSN1);
    Bind(a, "XMFZRXL1", FValues.XMFZRXL1);
    Bind(a, "XMFZRXW1", FValues.XMFZRXW1);
    Bind(a, "XMFZRZC1", FValues.XMFZRZC1);
    Bind(a, "XMFZRLXDH1", FValues.XMFZRLXDH1);

    b.SetCommandText("update pass set DWMC=:DWMC,DWDZ=:DWDZ,YZBM=:YZBM,DWLB=:DWLB where username=:username");
    Bind(b, "DWMC", FValues.DWMC);
    Bind(b, "DWDZ", FValues.DWDZ);
    Bind(b, "YZBM", FValues.YZBM);
    Bind(b, "DWLB", FValues.DWLB);
    Bind(b, "username", FValues.UserCode);

    c.SetCommandText("update pass set QYXZ1=:QYXZ1,QYXZ2=:QYXZ2,QYXZ3=:QYXZ3,ZJJGLB=:ZJJGLB,YTLX=:YTLX,"
                     "DWSZSDM=:DWSZSDM,DWSZXQDM=:DWSZXQDM,DWFZR=:DWFZR,DWFZRZWZC=:DWFZRZWZC,DWFZRLXDH=:DWFZRLXDH,"
                     "HTTP=:HTTP where username=:username");
    Bind(c, "QYXZ1", FValues.QYXZ1);
    Bind(c, "QYXZ2", FValues.QYXZ2);
    Bind(c, "QYXZ3", FValues.QYXZ3);
    Bind(c, "ZJJGLB", FValues.ZJJGLB);
    Bind(c, "YTLX", FValues.YTLX);
    Bind(c, "DWSZSDM", FValues.DWSZSDM);
    Bind(c, "DWSZXQDM", FValues.DWSZXQDM);
    Bind(c, "DWFZR", FValues.DWFZR);
    Bind(c, "DWFZRZWZC", FValues.DWFZRZWZC);
    Bind(c, "DWFZRLXDH", FValues.DWFZRLXDH);
    Bind(c, "HTTP", FValues.HTTP);
    Bind(c, "username", FValues.UserCode);

    TTransactionGuard transaction(Connection);
    a.Execute();
    b.Execute();
    c.Execute();
    transaction.Commit();
}

void Tfrmmsgassert::btn_saveClick(TObject*) {
    GatherValues();
    if (IsRegistration())
        RegisterUser();
    else
        SaveProfile();
}

void Tfrmmsgassert::RegisterUser() {
    if (FValues.UserCode.empty()) {
        Box("用户名不能为空，请再次输入", MB_ICONERROR);
        return;
    }
    if (!IsFolderName(FValues.UserCode)) {
        Box("用户名不能包含路径符号（/ \\ ..）或控制字符，请再次输入", MB_ICONERROR);
        return;
    }
    TWaitMessage wait("正在进行注册中，请梢侯。。。");
    switch (checkpassword(edt_passnew1->Text(), edt_passnew2->Text(), true)) {
    case 1:
        Box("两次密码校对不正确，请再次输入", MB_ICONERROR);
        edt_passnew1->SetFocus();
        return;
    case 2:
        Box("密码与确认密码不可为空，请再次输入", MB_ICONERROR);
        edt_passnew1->SetFocus();
        return;
    default:
        break;
    }
    if (!DirectoryExists(UsersFolder())) {
        Box("文件接口错误，请重新运行安装程序", MB_ICONERROR);
        Application->Terminate();
        return;
    }
    const std::string database = UserDatabaseFile(FValues.UserCode);
    const std::string userFolder = ExtractFilePath(database);
    const bool madeFolder = !DirectoryExists(userFolder);
    if (madeFolder && !CreateDir(userFolder)) {
        Box("文件接口错误，请重新运行安装程序", MB_ICONERROR);
        return;
    }
    if (FileExists(database)) {
        Box(std::string(20, ' ') + "此用户名称已经被注册\r\r强烈建议不要强行使用该用户名称做为您的登陆名称",
            MB_ICONINFORMATION);
        return;
    }
    try {
        if (!CopyFile(ApplicationFolder() + TemplateFile, database, true))
            throw EInOutError("cannot copy the template to " + database);
        RegistrationConnection->Close();
        RegistrationConnection->SetConnectionString(DatabaseConnectionString(database));
        RegistrationConnection->Open();
        WriteProfile(RegistrationConnection, true, true);
        RegistrationConnection->Close();
    } catch (const std::exception& e) {
        // Nothing of the attempt stays behind, so the same code can be
        // registered again, and the code boxes read the template again.
        ConnectToTemplate();
        DeleteFile(database);
        if (madeFolder) {
            std::error_code error;
            std::filesystem::remove_all(userFolder, error);
        }
        Box(std::string("注册失败，请再次注册：") + e.what(), MB_ICONERROR);
        return;
    }
    if (frmMain) frmMain->UserCode = FValues.UserCode;
    Box("注册成功,请使用新密码和注册用户登陆", MB_ICONINFORMATION);
    FRegisteredCode = FValues.UserCode;
    Close();
}

void Tfrmmsgassert::SaveProfile() {
    const bool newPassword = chk_password->Checked();
    if (newPassword) {
        switch (checkpassword(edt_passnew1->Text(), edt_passnew2->Text(), false)) {
        case 1:
            Box("新密码与确认密码不符合，请确认填写正确？", MB_ICONERROR);
            return;
        case 2:
            Box("密码与确认密码不可为空，请再次输入？", MB_ICONERROR);
            edt_passnew1->SetFocus();
            return;
        case 3:
            Box("原密码不正确，请确认填写正确？", MB_ICONERROR);
            return;
        case 4:
            Box("原密码未输入，请确认填写原密码？", MB_ICONERROR);
            edt_passold->SetFocus();
            return;
        default:
            break;
        }
    }
    try {
        WriteProfile(frmMain->adocon, false, newPassword);
        Box("数据更新成功", MB_ICONINFORMATION);
    } catch (const std::exception&) {
        Box("数据更新失败", MB_ICONERROR);
    }
}

void Tfrmmsgassert::btn_canelClick(TObject*) {
    Close();
}
