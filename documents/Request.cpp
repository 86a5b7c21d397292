// The project application window's controls: building the pages from the
// field tables, the code lists, the cascades, the check-box groups, loading
// a stored row and the routines that walk every control of the pages.
#include "documents/Request.h"

#include "app/FixedCodeLists.h"
#include "app/Main.h"
#include "documents/RequestFields.h"
#include "platform/data/ADODB.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Colors.h"
#include "platform/ui/Dialogs.h"

#include <functional>
#include <utility>

TfrmRequest* frmRequest = nullptr;

namespace {

const char* const DigitCharacters = "0123456789";
const char* const AmountCharacters = "0123456789-.";

const TCodeList UnitKindCodes = {{"北京大学", "11"},     {"清华大学", "12"},   {"中国科技大学", "13"},
                                 {"其他高校", "14"},     {"中科院单位", "21"}, {"国防和军口单位", "22"},
                                 {"其他科研单位", "23"}, {"企业", "31"},       {"其他", "32"}};

// Items and codes that are part of the form, by box.
const std::pair<const char*, const TCodeList*> FixedLists[] = {
    {"ccb_DWLB", &UnitTypeCodes},    {"ccb_ZJJGLB", &AgencyCodes},      {"ccb_YTLX", &BaseCodes},
    {"ccb_CJDW1XZ", &UnitKindCodes}, {"ccb_CJDW2XZ", &UnitKindCodes},   {"ccb_CJDW3XZ", &UnitKindCodes},
    {"ccb_XMFZRXB1", &SexCodes},     {"ccb_XMFZRXL1", &EducationCodes}, {"ccb_XMFZRXW1", &DegreeCodes},
    {"ccb_XMFZRZC1", &TitleCodes},   {"ccb_XMFZRXB2", &SexCodes},       {"ccb_XMFZRXL2", &EducationCodes},
    {"ccb_XMFZRXW2", &DegreeCodes},  {"ccb_XMFZRZC2", &TitleCodes},
};

// The boxes of the enterprise sizes, of which at most one is checked.
const char* const SizeBoxes[] = {"ChkBox_qyxz_big", "ChkBox_qyxz_mid", "ChkBox_qyxz_little"};

const char* const DistrictQuery = "select * from xzqhdm a,(select xzqhid,pxzqhid from xzqhdm where dqdm=:dqdm) b "
                                  "where a.pxzqhid=b.xzqhid order by dqdm";

void FillCodes(TCodeComboBox* Box, TCodeList Codes) {
    for (const auto& [item, code] : Codes) {
        Box->Items()->Add(item);
        Box->codes()->Add(code);
    }
}

// Visits every control below Container that has no children of its own;
// windowed controls that have children are walked into.
void ForEachField(TWinControl* Container, const std::function<void(TControl*)>& Visit) {
    for (int i = 0; i < Container->ControlCount(); ++i) {
        TControl* control = Container->Controls(i);
        auto* windowed = dynamic_cast<TWinControl*>(control);
        if (windowed && windowed->ControlCount() > 0)
            ForEachField(windowed, Visit);
        else
            Visit(control);
    }
}

void SetAvailable(TWinControl* Control, bool Available) {
    Control->SetEnabled(Available);
    Control->SetColor(Available ? clWindow : cl3DLight);
}

} // namespace

TfrmRequest::TfrmRequest(TComponent* AOwner) : TfrmRequestBase(AOwner) {
    BuildForm();
}

TfrmRequest::~TfrmRequest() {
    // The main window opens a new one after this one is gone.
    if (frmRequest == this) frmRequest = nullptr;
}

template <class T> T* TfrmRequest::Named(const std::string& Name) const {
    auto* component = dynamic_cast<T*>(FindComponent(Name));
    if (!component) throw EComponentError("No control named " + Name);
    return component;
}

void TfrmRequest::BuildForm() {
    TFormBuilder build(this);
    SetName("frmRequest");
    SetCaption("项目申报");
    SetClientWidth(920);
    SetClientHeight(620);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };

    ToolBar2 = build.Control<TToolBar>(this, "ToolBar2");
    ToolBar2->SetAlign(alTop);
    ToolBar2->SetFlat(true);
    ToolBar2->SetShowCaptions(true);
    ToolBar2->SetButtonWidth(60);
    ToolBar2->SetButtonHeight(36);
    ToolBar2->SetHeight(38);
    // The record actions bind these buttons to themselves.
    const std::pair<TToolButton**, const char*> buttons[] = {
        {&tbInsert, "tbInsert"}, {&tbEdit, "tbEdit"},       {&tbDelete, "tbDelete"}, {&tbSave, "tbSave"},
        {&tbCancel, "tbCancel"}, {&tbRefresh, "tbRefresh"}, {&tbExit, "tbExit"}};
    int left = 0;
    for (const auto& [button, name] : buttons) {
        *button = build.Control<TToolButton>(ToolBar2, name, {left, 0, 60, 36});
        left += 60;
    }
    const std::pair<TToolButton*, const char*> captions[] = {
        {tbInsert, "新建(&N)"}, {tbEdit, "修改(&M)"},    {tbDelete, "删除(&D)"}, {tbSave, "保存(&S)"},
        {tbCancel, "取消(&C)"}, {tbRefresh, "刷新(&R)"}, {tbExit, "退出(&E)"}};
    for (const auto& [button, caption] : captions)
        button->SetCaption(caption);

    pgc_main = build.Control<TPageControl>(this, "pgc_main");
    pgc_main->SetAlign(alClient);
    const char* const pages[] = {"概况", "研究内容及预期成果", "项目投入", "项目参加单位状况"};
    for (int i = 0; i < 4; ++i)
        build.Page(pgc_main, "TabSheet" + std::to_string(i + 1), pages[i]);
    for (const TRequestFrame& frame : RequestFrames())
        build.Control<TGroupBox>(Named<TWinControl>(frame.Parent), frame.Name, frame.Bounds, frame.Caption);
    build.Control<TLabel>(Named<TWinControl>("GroupBox9"), "Label_hzxs", {10, 56, 150, 13}, "合作形式：");

    LayOutFields(build);
    LayOutCheckGroups(build);

    edt_XMMC = Named<TEdit>("edt_XMMC");
    met_SBNF = Named<TMaskEdit>("met_SBNF");
    ccb_JHLBDM = Named<TCodeComboBox>("ccb_JHLBDM");
    ccb_ZGBMDM = Named<TCodeComboBox>("ccb_ZGBMDM");
    ccb_JSLYDM = Named<TCodeComboBox>("ccb_JSLYDM");
    ccb_JSLYDM_other = Named<TCodeComboBox>("ccb_JSLYDM_other");
    ccb_XKLYDM = Named<TCodeComboBox>("ccb_XKLYDM");
    met_prjstart = Named<TMaskEdit>("met_prjstart");
    met_prjend = Named<TMaskEdit>("met_prjend");
    ccb_DWLB = Named<TCodeComboBox>("ccb_DWLB");
    ccb_ZJJGLB = Named<TCodeComboBox>("ccb_ZJJGLB");
    ccb_DWSZSDM = Named<TCodeComboBox>("ccb_DWSZSDM");
    ccb_DWSZXQDM = Named<TCodeComboBox>("ccb_DWSZXQDM");
    GroupBox_qyxz = Named<TGroupBox>("GroupBox_qyxz");
    mem_ZYYJNR = Named<TMemo>("mem_ZYYJNR");
    edt_XMFZRXM2 = Named<TEdit>("edt_XMFZRXM2");
    met_XMFZRCSN1 = Named<TMaskEdit>("met_XMFZRCSN1");
    met_XMFZRCSN2 = Named<TMaskEdit>("met_XMFZRCSN2");
    gpb_secondinfo = Named<TGroupBox>("gpb_secondinfo");

    for (const auto& [name, codes] : FixedLists)
        FillCodes(Named<TCodeComboBox>(name), *codes);

    ccb_JHLBDM->OnChange = [this](TObject* Sender) { ccb_JHLBDMChange(Sender); };
    ccb_JSLYDM->OnChange = [this](TObject* Sender) { ccb_JSLYDMChange(Sender); };
    ccb_DWSZSDM->OnChange = [this](TObject* Sender) { ccb_DWSZSDMChange(Sender); };
    edt_XMFZRXM2->OnEnter = [this](TObject* Sender) { edt_XMFZRXM2Enter(Sender); };
    edt_XMFZRXM2->OnExit = [this](TObject* Sender) { edt_XMFZRXM2Exit(Sender); };
    Named<TGroupBox>("GroupBox7")->OnExit = [this](TObject* Sender) { GroupBox7Exit(Sender); };
    Named<TGroupBox>("gpb_cddwjcxy")->OnExit = ExitRule(&TfrmRequest::gpb_cddwjcxyExit);
    for (const char* group : {"gpb_xmreny", "gpb_xmqwork", "gpb_xmjf"})
        Named<TGroupBox>(group)->OnExit = ExitRule(&TfrmRequest::GroupBoxExit);
    mem_ZYYJNR->SetHint("限600字符或300个汉字");
    mem_ZYYJNR->SetShowHint(true);
    TLabel* memoLabel = FLabels.at("ZYYJNR");
    memoLabel->SetAutoSize(false);
    memoLabel->SetWordWrap(true);
    memoLabel->SetHeight(150);
    // The second leader's details wait for a name.
    for (const char* name : {"ccb_XMFZRXB2", "ccb_XMFZRXL2", "ccb_XMFZRXW2", "ccb_XMFZRZC2", "edt_XMFZRLXDH2"})
        Named<TWinControl>(name)->SetEnabled(false);

    qry_main = build.Component<TADOQuery>("qry_main");
    qry_main->SetConnection(frmMain->adocon);
    qry_main->SQL()->SetText("select a.*,a.kssjn||'年'||a.kssjy||'月' as kssj,a.jssjn||'年'||a.jssjy||'月' as jssj, "
                             "b.JHMC as Jhlbmc from KJJHSB a left join jhlb b on a.JHLBDM=b.JHLBDM");
    BuildList(build);
    BuildActions(build);
    BuildMenus(build);
}

void TfrmRequest::LayOutFields(TFormBuilder& Build) {
    auto edit = [this](TFormBuilder& build, TWinControl* parent, const TFieldRow& row) {
        auto* e = build.Control<TEdit>(parent, ControlName(row.ControlClass, row.Column), row.Position);
        e->SetMaxLengthUnit(luGbkBytes);
        e->OnChange = [this](TObject* Sender) { dataChange(Sender); };
        if (row.ControlClass == fkDigits || row.ControlClass == fkDigitsText) {
            e->OnKeyPress = [this](TObject* Sender, char32_t& Key) { EditKeyPress(Sender, Key); };
            FAllowedCharacters[e] = DigitCharacters;
        } else if (row.ControlClass == fkAmount) {
            e->OnKeyPress = [this](TObject* Sender, char32_t& Key) { EditfloatKeyPress(Sender, Key); };
            e->OnExit = ExitRule(&TfrmRequest::edtfloatExit);
            FAllowedCharacters[e] = AmountCharacters;
        }
        return static_cast<TControl*>(e);
    };
    auto masked = [this](TFormBuilder& build, TWinControl* parent, const TFieldRow& row) {
        const bool yearMonth = row.ControlClass == fkYearMonth;
        auto* e = build.Control<TMaskEdit>(parent, ControlName(row.ControlClass, row.Column), row.Position);
        e->SetEditMask(yearMonth ? "9999年99月;0;_" : "9999年;0;_");
        e->OnKeyPress = [this](TObject* Sender, char32_t& Key) { EditKeyPress(Sender, Key); };
        if (yearMonth) {
            e->OnExit = ExitRule(&TfrmRequest::onlycheckyearmonth);
        } else {
            e->OnExit = ExitRule(&TfrmRequest::onlycheckyear);
            // The declaration year changes nothing else.
            if (std::string(row.Column) != "SBNF") e->OnChange = [this](TObject* Sender) { dataChange(Sender); };
        }
        return static_cast<TControl*>(e);
    };
    auto code = [this](TFormBuilder& build, TWinControl* parent, const TFieldRow& row) {
        auto* box = build.Control<TCodeComboBox>(parent, ControlName(row.ControlClass, row.Column), row.Position);
        box->OnChange = [this](TObject* Sender) { dataChange(Sender); };
        box->OnExit = ExitRule(&TfrmRequest::CombBoxExit);
        return static_cast<TControl*>(box);
    };
    auto memo = [this](TFormBuilder& build, TWinControl* parent, const TFieldRow& row) {
        auto* m = build.Control<TMemo>(parent, ControlName(row.ControlClass, row.Column), row.Position);
        m->OnChange = [this](TObject* Sender) { dataChange(Sender); };
        return static_cast<TControl*>(m);
    };
    const TFieldFactory factories[] = {edit, edit, edit, edit, masked, masked, code, code, memo};
    for (const TRequestField& field : RequestFields()) {
        TControl* control = Build.Field(field.Row, factories);
        if (auto* edit = dynamic_cast<TCustomEdit*>(control); edit && field.MaxLength > 0)
            edit->SetMaxLength(field.MaxLength);
        if (auto* memo = dynamic_cast<TCustomMemo*>(control)) {
            memo->SetMaxLengthUnit(luGbkBytes);
            memo->SetMaxLength(field.MaxLength);
        }
        // The builder makes the label just before the control.
        FLabels[field.Row.Column] = dynamic_cast<TLabel*>(Components(ComponentCount() - 2));
    }
}

void TfrmRequest::LayOutCheckGroups(TFormBuilder& Build) {
    // Four boxes to a row, spread over the group's width.
    constexpr int BoxesPerRow = 4;
    constexpr int Margin = 10;
    constexpr int Top = 18;
    constexpr int RowStep = 22;
    constexpr int BoxHeight = 17;
    FGroups = {
        {"GroupBox_qyxz", "QYXZ", 3, "企业性质最多只能选择三项！", "企业性质的数据内容不合法！"},
        {"GroupBox10", "DWSZQYDM", 3, "单位所在区域最多只能选择三项！", "单位所在区域的数据内容不合法！"},
        {"GroupBox6", "YQCG", 4, "预期成果最多只能选择四项", "预期成果的数据内容不合法！"},
        {"GroupBox11", "HZXS", 3, "合作方式最多只能选择三项：", "合作方式的数据内容不合法！"},
    };
    std::map<std::string, int> placed;
    for (const TCheckBoxRow& row : RequestCheckBoxes()) {
        const int index = placed[row.Group]++;
        auto* group = Named<TWinControl>(row.Group);
        const int columnStep = (group->Width() - 2 * Margin) / BoxesPerRow;
        const TBounds bounds = {Margin + index % BoxesPerRow * columnStep, Top + index / BoxesPerRow * RowStep,
                                columnStep - 4, BoxHeight};
        auto* box = Build.Control<TCheckBox>(group, row.Name, bounds, row.Caption);
        bool sizeBox = false;
        for (const char* name : SizeBoxes)
            sizeBox = sizeBox || std::string(name) == row.Name;
        if (sizeBox)
            box->OnClick = [this](TObject* Sender) { SizeBoxClick(Sender); };
        else
            box->OnClick = [this](TObject* Sender) { GroupBoxClick(Sender); };
    }
}

void TfrmRequest::FormCreate(TObject*) {
    const std::pair<const char*, const char*> relabels[] = {
        {"ZYYJNR", "主要研究内容及考核指标（关键技术、特色与创新之处、考核指标，300字以内）"},
        {"prjstart", "起止时间："},
        {"prjend", "至"},
        {"DWFZRZWZC", "职务职称："},
        {"LXRE_MAIL", " E-mail ："},
        {"HTTP", "HTTP:// "},
        {"CJDW1", " 单 位 一："},
        {"CJDW2", " 单 位 二："},
        {"CJDW3", " 单 位 三："},
        {"CJDW1XZ", "单位类型："},
        {"CJDW2XZ", "单位类型："},
        {"CJDW3XZ", "单位类型："},
        {"GJHDQ", "国家或地区："},
        {"CDDWKJRYS", "大专以上人员（人）："},
        {"YYZLS", "拥有专利总数："},
        {"RJZZQS", "拥有软件著作权数："},
    };
    for (const auto& [column, text] : relabels)
        FLabels.at(column)->SetCaption(text);
    Named<TLabel>("Label_hzxs")->SetCaption("合作形式（最多选三项）：");
    const std::pair<const char*, int> moves[] = {{"prjend", 630},  {"CJDW1XZ", 543},   {"CJDW2XZ", 543},
                                                 {"CJDW3XZ", 543}, {"CDDWKJRYS", 250}, {"YYZLS", 241},
                                                 {"RJZZQS", 564}};
    for (const auto& [column, left] : moves)
        FLabels.at(column)->SetLeft(left);

    for (const char* name : {"ccb_YTLX", "ccb_CJDW1XZ", "ccb_CJDW2XZ", "ccb_CJDW3XZ"}) {
        auto* box = Named<TCodeComboBox>(name);
        box->Items()->Insert(0, "");
        box->codes()->Insert(0, "");
    }

    const std::string year = FormatDateTime("yyyy", Now());
    for (TMaskEdit* edit : {met_SBNF, met_XMFZRCSN1, met_XMFZRCSN2})
        edit->SetText(year);
    const std::string month = FormatDateTime("yyyymm", Now());
    met_prjstart->SetText(month);
    met_prjend->SetText(month);

    pgc_main->SetActivePageIndex(0);

    FillBox(ccb_JHLBDM, "JHLB", "", "JHLBDM", "JHMC", "JHLBDM");
    FillBox(ccb_ZGBMDM, "ZGBM", "", "ZGBMDM", "ZGBMMC", "ZGBMDM");
    ccb_ZGBMDM->SetItemIndex(0);
    FillBox(ccb_JSLYDM, "JSLY", "", "JSLYDM", "JSLYMC", "JSLYDM");
    FillBox(ccb_XKLYDM, "XKLY", "", "XKLYDM", "XKLYMC", "XKLYDM");
    FillBox(ccb_DWSZSDM, "XZQHDM", "", "DQDM", "DQMC", "DQDM");
    ccb_DWSZSDM->SetItemIndex(0);
}

void TfrmRequest::FormShow(TObject*) {
    UserDbPath = frmMain->UserDbPath;
    UserCode = frmMain->UserCode;
    // The texts FormCreate set are no input: the list may scroll.
    ModifiedFlag = false;
    qry_main->Close();
    qry_main->Open();
    ModifiedFlag = false;
    SetBrowsing(true);
    ResetImeModes(pgc_main);
}

std::unique_ptr<TStringList> TfrmRequest::LoadCodeList(TADOConnection* Connection, const std::string& Table,
                                                       const std::string& Prefix, const std::string& Field,
                                                       const std::string& KeyField) {
    TADOQuery query(nullptr);
    query.SetConnection(Connection);
    const std::string key = SQLQuotedName(KeyField);
    if (Table == "XZQHDM") {
        query.SQL()->SetText("select * from XZQHDM  where pxzqhid is null order by " + key);
    } else if (Table == "JSLY") {
        query.SQL()->SetText("select * from JSLY where length(" + key + ")=1 order by " + key);
    } else if (Table == "temp") {
        // The subdivisions of the technical field Prefix.
        query.SQL()->SetText("select * from JSLY where " + key + " like :pattern and " + key +
                             "<>:prefix order by xh ");
        query.Parameters()->ParamByName("pattern")->SetValue(Prefix + "%");
        query.Parameters()->ParamByName("prefix")->SetValue(Prefix);
    } else {
        query.SQL()->SetText("select * from " + SQLQuotedName(Table) + " order by " + key);
    }
    query.Open();
    auto list = std::make_unique<TStringList>();
    for (; !query.Eof(); query.Next())
        list->Add(query.FieldByName(Field)->AsString());
    return list;
}

void TfrmRequest::FillBox(TCodeComboBox* Box, const std::string& Table, const std::string& Prefix,
                          const std::string& CodeField, const std::string& NameField, const std::string& KeyField) {
    auto codes = LoadCodeList(frmMain->adocon, Table, Prefix, CodeField, KeyField);
    Box->SetCodes(codes.get());
    auto names = LoadCodeList(frmMain->adocon, Table, Prefix, NameField, KeyField);
    Box->Items()->Assign(names.get());
}

void TfrmRequest::EmptyBox(TCodeComboBox* Box) {
    Box->SetItemIndex(-1);
    Box->SetText("");
}

void TfrmRequest::SelectCode(TCodeComboBox* Box, const std::string& Code) {
    const int index = Box->codes()->IndexOf(Code);
    if (index < 0)
        EmptyBox(Box);
    else
        Box->SetItemIndex(index);
}

void TfrmRequest::ccb_JHLBDMChange(TObject*) {
    const bool subjectField = ccb_JHLBDM->SelectedCode() == "10";
    SetAvailable(ccb_JSLYDM, !subjectField);
    SetAvailable(ccb_XKLYDM, subjectField);
    if (subjectField) {
        EmptyBox(ccb_JSLYDM);
        EmptyBox(ccb_JSLYDM_other);
        SetAvailable(ccb_JSLYDM_other, false);
    } else {
        EmptyBox(ccb_XKLYDM);
    }
    ModifiedFlag = true;
}

void TfrmRequest::ccb_JSLYDMChange(TObject*) {
    ccb_JSLYDM_other->Items()->Clear();
    ccb_JSLYDM_other->codes()->Clear();
    const std::string prefix = ccb_JSLYDM->SelectedCode().substr(0, 1);
    FillBox(ccb_JSLYDM_other, "temp", prefix, "JSLYDM", "JSLYMC", "JSLYDM");
    EmptyBox(ccb_JSLYDM_other);
    SetAvailable(ccb_JSLYDM_other, ccb_JSLYDM_other->Items()->Count() > 0);
    ModifiedFlag = true;
}

void TfrmRequest::FillDistrictBox(const std::string& CityCode) {
    ccb_DWSZXQDM->Items()->Clear();
    ccb_DWSZXQDM->codes()->Clear();
    TADOQuery query(nullptr);
    query.SetConnection(frmMain->adocon);
    query.SQL()->SetText(DistrictQuery);
    query.Parameters()->ParamByName("dqdm")->SetValue(CityCode);
    query.Open();
    for (; !query.Eof(); query.Next()) {
        ccb_DWSZXQDM->codes()->Add(query.FieldByName("DQDM")->AsString());
        ccb_DWSZXQDM->Items()->Add(query.FieldByName("DQMC")->AsString());
    }
}

void TfrmRequest::ccb_DWSZSDMChange(TObject*) {
    const std::string city = ccb_DWSZSDM->SelectedCode();
    if (city.empty()) return;
    FillDistrictBox(city);
    ModifiedFlag = true;
}

bool TfrmRequest::FilterCharacters(TCustomEdit* Edit) {
    const auto allowed = FAllowedCharacters.find(Edit);
    if (allowed == FAllowedCharacters.end()) return false;
    const std::string text = Edit->Text();
    std::string kept;
    for (char c : text)
        if (allowed->second.find(c) != std::string::npos) kept += c;
    if (kept == text) return false;
    Edit->SetText(kept);
    return true;
}

void TfrmRequest::dataChange(TObject* Sender) {
    // Pasted or dropped text passes no key filter; what it brought in that
    // no key could type is taken out again (which comes back here).
    if (auto* edit = dynamic_cast<TCustomEdit*>(Sender); edit && FilterCharacters(edit)) return;
    ModifiedFlag = true;
    ApplyUnitType();
}

void TfrmRequest::ApplyUnitType() {
    const std::string unitType = ccb_DWLB->SelectedCode();
    GroupBox_qyxz->SetEnabled(unitType == "6");
    if (unitType != "6") ClearGroupQYXZ();
    if (unitType != "7") EmptyBox(ccb_ZJJGLB);
    ccb_ZJJGLB->SetEnabled(unitType == "7");
}

void TfrmRequest::SetSecondLeaderEnabled(bool Enabled) {
    for (const char* name : {"ccb_XMFZRXB2", "ccb_XMFZRXL2", "ccb_XMFZRXW2", "ccb_XMFZRZC2"}) {
        auto* box = Named<TCodeComboBox>(name);
        if (!Enabled) EmptyBox(box);
        SetAvailable(box, Enabled);
    }
    for (auto* edit : {static_cast<TCustomEdit*>(met_XMFZRCSN2), Named<TCustomEdit>("edt_XMFZRLXDH2")}) {
        if (!Enabled) edit->SetText("");
        SetAvailable(edit, Enabled);
    }
}

void TfrmRequest::edt_XMFZRXM2Enter(TObject*) {
    SetSecondLeaderEnabled(true);
}

void TfrmRequest::edt_XMFZRXM2Exit(TObject*) {
    if (Trim(edt_XMFZRXM2->Text()).empty()) SetSecondLeaderEnabled(false);
}

void TfrmRequest::CombBoxExit(TObject* Sender) {
    auto* box = dynamic_cast<TCodeComboBox*>(Sender);
    const std::string text = box->Text();
    if (text.empty() || box->Items()->IndexOf(text) >= 0) return;
    MessageBox(Handle(), "选择项不可被改动或手工录入!!", "提示", MB_OK | MB_ICONERROR);
    box->SetText("");
    box->SetFocus();
}

void TfrmRequest::GroupBox7Exit(TObject*) {
    pgc_main->SetActivePageIndex(1);
}

void TfrmRequest::EditKeyPress(TObject*, char32_t& Key) {
    if (Key == U'\b') return;
    if (Key < U'0' || Key > U'9') Key = 0;
}

void TfrmRequest::EditfloatKeyPress(TObject*, char32_t& Key) {
    if (Key == U'\b' || Key == U'-' || Key == U'.') return;
    if (Key < U'0' || Key > U'9') Key = 0;
}

TCheckGroup& TfrmRequest::GroupOf(TObject* Box) {
    const std::string group = dynamic_cast<TControl*>(Box)->Parent()->Name();
    for (TCheckGroup& candidate : FGroups)
        if (group == candidate.Box) return candidate;
    throw EComponentError("No check-box group named " + group);
}

void TfrmRequest::LimitCheckGroup(TObject* Sender, int& Counter, const std::string& Message, int Limit) {
    ModifiedFlag = true;
    auto* box = dynamic_cast<TCheckBox*>(Sender);
    if (!box->Checked()) {
        --Counter;
        return;
    }
    ++Counter;
    if (Counter <= Limit) return;
    MessageBox(Handle(), Message, "操作提示", MB_OK | MB_ICONWARNING);
    // Unchecking runs this handler again, which counts the box out.
    box->SetChecked(false);
}

void TfrmRequest::GroupBoxClick(TObject* Sender) {
    TCheckGroup& group = GroupOf(Sender);
    LimitCheckGroup(Sender, group.Counter, group.LimitMessage, group.Slots);
}

void TfrmRequest::SizeBoxClick(TObject* Sender) {
    if (dynamic_cast<TCheckBox*>(Sender)->Checked())
        for (const char* name : SizeBoxes)
            if (auto* other = Named<TCheckBox>(name); other != Sender) other->SetChecked(false);
    GroupBoxClick(Sender);
}

void TfrmRequest::ClearGroup(TCheckGroup& Group) {
    for (const TCheckBoxRow& row : RequestCheckBoxes())
        if (std::string(row.Group) == Group.Box) Named<TCheckBox>(row.Name)->SetChecked(false);
}

void TfrmRequest::DecodeGroup(TCheckGroup& Group, const std::string& Code) {
    if (Code.empty()) return;
    Integer value = 0;
    if (!TryStrToInt(Code, value)) {
        MessageBox(Handle(), Group.InvalidMessage, "数据错误", MB_OK | MB_ICONERROR);
        return;
    }
    for (const TCheckBoxRow& row : RequestCheckBoxes())
        if (std::string(row.Group) == Group.Box && row.Code == value) Named<TCheckBox>(row.Name)->SetChecked(true);
}

void TfrmRequest::EncodeGroup(const TCheckGroup& Group, std::span<int> Codes) const {
    std::fill(Codes.begin(), Codes.end(), -1);
    size_t next = 0;
    for (const TCheckBoxRow& row : RequestCheckBoxes())
        if (next < Codes.size() && std::string(row.Group) == Group.Box && Named<TCheckBox>(row.Name)->Checked())
            Codes[next++] = row.Code;
}

Variant TfrmRequest::CodeToSql(int Code) {
    if (Code == -1) return Variant(Variant::TNullTag{});
    return Variant(Code);
}

void TfrmRequest::showdata() {
    // Read as the value stored, so a code column that holds text (from an
    // older package, say) reaches its decoder instead of failing the load.
    auto value = [this](const char* column) { return qry_main->FieldByName(column)->Value().AsString(); };
    auto text = [&](const char* control, const char* column) { Named<TCustomEdit>(control)->SetText(value(column)); };
    auto code = [&](const char* control, const char* column) {
        SelectCode(Named<TCodeComboBox>(control), value(column));
    };

    LoadedName = value("XMMC");
    CurrentId = value("KJJHSBID");
    CurrentIdIsNew = false;

    text("edt_XMMC", "XMMC");
    text("met_SBNF", "SBNF");
    code("ccb_JHLBDM", "JHLBDM");
    ccb_JHLBDMChange(ccb_JHLBDM);
    text("edt_ZNDM", "ZNDM");
    met_prjstart->SetText(value("KSSJN") + value("KSSJY"));
    met_prjend->SetText(value("JSSJN") + value("JSSJY"));
    code("ccb_ZGBMDM", "ZGBMDM");

    const std::string technicalField = value("JSLYDM");
    SelectCode(ccb_JSLYDM, technicalField.substr(0, 1));
    ccb_JSLYDMChange(ccb_JSLYDM);
    SelectCode(ccb_JSLYDM_other, technicalField);
    code("ccb_XKLYDM", "XKLYDM");

    text("edt_DWMC", "DWMC");
    code("ccb_DWLB", "DWLB");
    ClearGroupQYXZ();
    for (const char* column : {"QYXZ1", "QYXZ2", "QYXZ3"})
        DecodeQYXZ(value(column));
    code("ccb_ZJJGLB", "ZJJGLB");
    code("ccb_YTLX", "YTLX");
    ClearGroupDWSZQYDM();
    for (const char* column : {"DWSZQYDM1", "DWSZQYDM2", "DWSZQYDM3"})
        DecodeDWSZQYDM(value(column));

    code("ccb_DWSZSDM", "DWSZSDM");
    ccb_DWSZXQDM->Items()->Clear();
    ccb_DWSZXQDM->codes()->Clear();
    if (!value("DWSZSDM").empty()) FillDistrictBox(value("DWSZSDM"));
    code("ccb_DWSZXQDM", "DWSZXQDM");

    for (const char* column : {"DWDZ",  "YZBM",   "DWFZR",     "DWFZRZWZC", "DWFZRLXDH",   "XMLXRXM", "LXRE_MAIL",
                               "LXRDH", "HTTP",   "CDDWZGZRS", "CDDWKJRYS", "CDDWYFKJRYS", "NYFJF",   "YYZLS",
                               "FMZLS", "RJZZQS", "NCZ",       "NXSE",      "NCH",         "NSJSJ",   "NLR"})
        text(("edt_" + std::string(column)).c_str(), column);
    for (const char* unit : {"1", "2", "3"}) {
        const std::string column = std::string("CJDW") + unit;
        text(("edt_" + column).c_str(), column.c_str());
        code(("ccb_" + column + "XZ").c_str(), (column + "XZ").c_str());
    }
    text("edt_JWHZDWMC", "JWHZDWMC");
    text("edt_GJHDQ", "GJHDQ");
    ClearGroupHZXS();
    for (const char* column : {"HZXS1", "HZXS2", "HZXS3"})
        DecodeHZXS(value(column));

    text("edt_XMFZRXM1", "XMFZRXM1");
    code("ccb_XMFZRXB1", "XMFZRXB1");
    text("met_XMFZRCSN1", "XMFZRCSN1");
    code("ccb_XMFZRXL1", "XMFZRXL1");
    code("ccb_XMFZRXW1", "XMFZRXW1");
    code("ccb_XMFZRZC1", "XMFZRZC1");
    text("edt_XMFZRLXDH1", "XMFZRLXDH1");
    edt_XMFZRXM2Enter(edt_XMFZRXM2);
    text("edt_XMFZRXM2", "XMFZRXM2");
    edt_XMFZRXM2Exit(edt_XMFZRXM2);
    code("ccb_XMFZRXB2", "XMFZRXB2");
    text("met_XMFZRCSN2", "XMFZRCSN2");
    code("ccb_XMFZRXL2", "XMFZRXL2");
    code("ccb_XMFZRXW2", "XMFZRXW2");
    code("ccb_XMFZRZC2", "XMFZRZC2");
    text("edt_XMFZRLXDH2", "XMFZRLXDH2");
    edt_XMFZRXM2Exit(edt_XMFZRXM2);

    for (const char* column : {"XMRYZS", "YFRYS35SYX", "GJRS", "ZJRS", "CJRS", "QTRS"})
        text(("edt_" + std::string(column)).c_str(), column);
    ClearGroupYQCG();
    for (const char* column : {"YQCG1", "YQCG2", "YQCG3", "YQCG4"})
        DecodeYQCG(value(column));
    mem_ZYYJNR->SetText(value("ZYYJNR"));
    for (const char* column :
         {"ZTC1",      "ZTC2",  "ZTC3",    "ZLSQFM",   "ZLSQSYXX", "ZLSQWGSJ", "ZLSQFMS", "ZLSQSYXXS",
          "ZLSQWGSJS", "RJZZQ", "YQNXZCZ", "YQNXZLS",  "YQNCKCH",  "XMZTZ",    "SQSBK",   "BMPP",
          "DWZC",      "YHDK",  "QTLY",    "YTRYJRYS", "YTRJF",    "DWZCTR",   "ZFBKTR",  "QTTR"})
        text(("edt_" + std::string(column)).c_str(), column);
}

void TfrmRequest::ClearControls(TWinControl* Container) {
    ForEachField(Container, [](TControl* control) {
        if (auto* edit = dynamic_cast<TCustomEdit*>(control))
            edit->SetText("");
        else if (auto* memo = dynamic_cast<TCustomMemo*>(control))
            memo->SetText("");
        else if (auto* box = dynamic_cast<TCheckBox*>(control))
            box->SetChecked(false);
    });
}

void TfrmRequest::SetControlsEditable(TWinControl* Container, bool Editable) {
    ForEachField(Container, [Editable](TControl* control) {
        if (auto* edit = dynamic_cast<TCustomEdit*>(control))
            edit->SetReadOnly(!Editable);
        else if (auto* memo = dynamic_cast<TCustomMemo*>(control))
            memo->SetReadOnly(!Editable);
        else if (dynamic_cast<TCheckBox*>(control) || dynamic_cast<TCodeComboBox*>(control))
            control->SetEnabled(Editable);
    });
}

TNotifyEvent TfrmRequest::ExitRule(void (TfrmRequest::*Rule)(TObject*)) {
    // While browsing the fields are read-only: a refusal could not be mended
    // there and would hold the focus in the field for good.
    return [this, Rule](TObject* Sender) {
        if (!FBrowsing) (this->*Rule)(Sender);
    };
}

void TfrmRequest::SetBrowsing(bool Browsing) {
    FBrowsing = Browsing;
    for (TAction* action : {DatasetInsert, DatasetEdit, DatasetDelete})
        action->SetEnabled(Browsing);
    for (TAction* action : {DatasetPost, DatasetCancel})
        action->SetEnabled(!Browsing);
    SetControlsEditable(pgc_main, !Browsing);
}

void TfrmRequest::ResetImeModes(TWinControl* Container) {
    ForEachField(Container, [this](TControl* control) {
        // Names, units, addresses, subject words and the memo take Chinese.
        const bool noChinese = dynamic_cast<TCustomComboBox*>(control) || dynamic_cast<TCustomMaskEdit*>(control) ||
                               FAllowedCharacters.count(dynamic_cast<TCustomEdit*>(control)) > 0;
        if (noChinese) dynamic_cast<TWinControl*>(control)->SetImeMode(imDisable);
    });
}

void RegisterRequestWindow(TfrmMain* Main) {
    Main->ActionRequest->SetEnabled(true);
    Main->ActionRequest->OnExecute = [Main](TObject*) { Main->OpenChild(frmRequest, Main); };
    Main->OnUserDatabaseReopened = [](TObject*) {
        if (frmRequest) frmRequest->ReopenList();
    };
}
