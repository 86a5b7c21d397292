// The rules of the project application window: those that run when the user
// leaves a field or group, correcting or refusing on the spot, and those that
// run in a fixed order when the user saves and stop the save at the first
// refusal with its message, page and focus.
#include "documents/RequestRules.h"

#include "documents/Request.h"
#include "platform/rtl/DateTime.h"
#include "platform/ui/Dialogs.h"

#include <typeinfo>

namespace {

const char* const BoxCaption = "提示";
const int Page0 = 0;
const int Page1 = 1;
const int Page2 = 2;
const int Page3 = 3;

const char* const UnderThirtyFiveMessage = "输入数据有误，违反了\"项目人员总数\" >= \"35岁以下研发人员数\"，请修改";
const char* const StaffSumMessage =
    "输入数据有误，违反了\"项目人员总数\" ＝ \"高级\"＋\"中级\"＋\"初级\"＋\"其它\"，请修改";
const char* const FundsSumMessage = "输入数据有误，违反了\"项目总投资\"＝\"申请市拨款\"＋\"部门匹配\"＋\"单位自筹\"＋\""
                                    "银行贷款\"＋\"其它来源\"，请修改";
const char* const PriorInvestmentMessage =
    "输入数据有误，违反了\"已投入经费\"＝\"单位自筹\"＋\"政府拨款\"＋\"其它\"，请修改";

// Edits of a sum group that are not part of its sum.
const char* const OutsideSums[] = {"edt_YTRYJRYS", "edt_YFRYS35SYX"};

// Fields that must not be empty at saving, with their message, in order.
struct TRequired {
    const char* Control;
    const char* Message;
};
const TRequired RequiredUnit[] = {
    {"edt_DWMC", "请输入单位名称"},
    {"ccb_DWLB", "请输入单位类型"},
    {"ccb_DWSZSDM", "请输入单位所在市代码"},
    {"ccb_DWSZXQDM", "请输入单位所在区县代码"},
    {"edt_DWFZR", "请输入单位负责人姓名"},
    {"edt_DWFZRZWZC", "请输入单位负责人职务/职称"},
    {"edt_DWFZRLXDH", "请输入单位负责人电话号码"},
    {"edt_XMLXRXM", "请输入项目联系人姓名"},
    {"edt_LXRDH", "请输入项目联系人电话"},
};
const TRequired RequiredResults[] = {
    {"edt_YQNXZCZ", "请输入预期年新增产值"},        {"edt_YQNXZLS", "请输入预期年新增利税"},
    {"edt_YQNCKCH", "请输入预期年出口创汇"},        {"edt_ZLSQFM", "请输入专利申请发明数量"},
    {"edt_ZLSQSYXX", "请输入专利申请实用新型数量"}, {"edt_ZLSQWGSJ", "请输入专利申请外观设计数量"},
    {"edt_ZLSQFMS", "请输入专利授权发明数"},        {"edt_ZLSQSYXXS", "请输入专利授权实用新型数"},
    {"edt_ZLSQWGSJS", "请输入专利授权外观设计数"},  {"edt_RJZZQ", "请输入软件著作权数量"},
};
const TRequired RequiredFirstLeader[] = {
    {"edt_XMFZRXM1", "请输入第一项目负责人姓名"},       {"ccb_XMFZRXB1", "请选择第一项目负责人性别"},
    {"met_XMFZRCSN1", "请选择第一项目负责人出生年"},    {"ccb_XMFZRXL1", "请选择第一项目负责人学历"},
    {"ccb_XMFZRXW1", "请选择第一项目负责人学位"},       {"ccb_XMFZRZC1", "请选择第一项目负责人职称"},
    {"edt_XMFZRLXDH1", "请输入第一项目负责人联系电话"},
};
// Asked for only when the second leader has a name.
const TRequired RequiredSecondLeader[] = {
    {"ccb_XMFZRXB2", "请选择第二项目负责人性别"}, {"met_XMFZRCSN2", "请选择第二项目负责人出生年"},
    {"ccb_XMFZRXL2", "请选择第二项目负责人学历"}, {"ccb_XMFZRXW2", "请选择第二项目负责人学位"},
    {"ccb_XMFZRZC2", "请选择第二项目负责人职称"}, {"edt_XMFZRLXDH2", "请输入第二项目负责人联系电话"},
};
// The first leader's fields that checkbasedata leaves to checkdata.
const char* const NotInBaseData[] = {"met_XMFZRCSN1", "edt_XMFZRLXDH1"};
const TRequired RequiredStaffAndFunds[] = {
    {"edt_XMRYZS", "请输入项目人员总数"},   {"edt_YFRYS35SYX", "请输入项目人员研发人数35岁以下"},
    {"edt_GJRS", "请输入项目人员高级人数"}, {"edt_ZJRS", "请输入项目人员中级人数"},
    {"edt_CJRS", "请输入项目人员初级人数"}, {"edt_QTRS", "请输入项目人员其他人数"},
    {"edt_XMZTZ", "请输入项目总投资"},      {"edt_SQSBK", "请输入项目申请省拨款"},
    {"edt_BMPP", "请输入项目部门匹配"},     {"edt_DWZC", "请输入项目单位自筹"},
    {"edt_YHDK", "请输入项目银行贷款"},     {"edt_QTLY", "请输入项目其它来源"},
};
const TRequired RequiredUndertakingUnit[] = {
    {"edt_CDDWZGZRS", "请输入承担单位职工总人数"},
    {"edt_CDDWKJRYS", "请输入承担单位科技人员数"},
    {"edt_CDDWYFKJRYS", "请输入承担单位从事研发的科技人员数"},
    {"edt_NYFJF", "请输入承担单位年研发经费"},
    {"edt_YYZLS", "请输入承担单位拥有专利总数"},
    {"edt_FMZLS", "请输入承担单位发明专利数"},
    {"edt_RJZZQS", "请输入承担单位软件著作权数"},
    {"edt_NCZ", "请输入承担单位年产值"},
    {"edt_NXSE", "请输入承担单位年销售额"},
    {"edt_NCH", "请输入承担单位年创汇"},
    {"edt_NSJSJ", "请输入承担单位年上缴税金"},
    {"edt_NLR", "请输入承担单位年利润"},
};

// A participating unit named needs its kind.
struct TUnitKind {
    const char* Unit;
    const char* Kind;
    const char* Message;
};
const TUnitKind UnitKinds[] = {
    {"edt_CJDW1", "ccb_CJDW1XZ", "请输入参加单位1性质"},
    {"edt_CJDW2", "ccb_CJDW2XZ", "请输入参加单位2性质"},
    {"edt_CJDW3", "ccb_CJDW3XZ", "请输入参加单位3性质"},
};

bool IsOneOf(const std::string& Name, std::span<const char* const> Names) {
    for (const char* candidate : Names)
        if (Name == candidate) return true;
    return false;
}

} // namespace

int TfrmRequest::Box(const std::string& Text, UINT Icon) {
    return MessageBox(Handle(), Text, BoxCaption, MB_OK | Icon);
}

void TfrmRequest::ShowControl(TWinControl* Control) {
    for (TWinControl* parent = Control->Parent(); parent; parent = parent->Parent())
        if (auto* page = dynamic_cast<TTabSheet*>(parent)) pgc_main->SetActivePage(page);
    Control->SetFocus();
}

bool TfrmRequest::Refuse(const TRequestRule& Rule) {
    Box(Rule.Message, Rule.Icon);
    if (Rule.Page >= 0) pgc_main->SetActivePageIndex(Rule.Page);
    if (Rule.Focus) Named<TWinControl>(Rule.Focus)->SetFocus();
    return false;
}

bool TfrmRequest::RunRules(std::span<const TRequestRule> Rules) {
    for (const TRequestRule& rule : Rules)
        if (rule.Refused()) return Refuse(rule);
    return true;
}

namespace {

// Edit's trimmed text through Convert, empty being 0; a text that is no
// number raises the error that names Edit.
template <class TConvert> auto ConvertedText(TCustomEdit* Edit, TConvert Convert) -> decltype(Convert("")) {
    const std::string text = Trim(Edit->Text());
    if (text.empty()) return 0;
    try {
        return Convert(text);
    } catch (const EConvertError& E) {
        throw EFieldConvertError(E.Message(), Edit);
    }
}

} // namespace

double TfrmRequest::NumberIn(const char* Control) {
    return ConvertedText(Named<TCustomEdit>(Control), [](const std::string& Text) { return StrToFloat(Text); });
}

Int64 TfrmRequest::AmountIn(const char* Control) {
    return ConvertedText(Named<TCustomEdit>(Control), [](const std::string& Text) { return StrToCurr(Text); });
}

Integer TfrmRequest::IntegerIn(const char* Control) {
    auto* edit = Named<TCustomEdit>(Control);
    try {
        return StrToInt(Trim(edit->Text()));
    } catch (const EConvertError& E) {
        throw EFieldConvertError(E.Message(), edit);
    }
}

void TfrmRequest::onlycheckyear(TObject* Sender) {
    auto* edit = dynamic_cast<TCustomMaskEdit*>(Sender);
    const std::string text = Trim(edit->Text());
    if (text.empty()) return;
    Integer year = 0;
    TDateTime date;
    if (text.size() == 4 && TryStrToInt(text, year) && year > 0 && TryEncodeDate(Word(year), 1, 1, date)) return;
    edit->SetText("");
    Box("日期输入非法", MB_ICONINFORMATION);
    edit->SetFocus();
}

bool TfrmRequest::YearMonthPasses(TMaskEdit* Edit, bool Saving) {
    const std::string text = Edit->Text();
    if (text.empty()) return true;
    auto refuse = [&](const char* message, UINT icon, bool showPage) {
        Box(message, icon);
        if (Saving && showPage) pgc_main->SetActivePageIndex(Page0);
        Edit->SetFocus();
        return false;
    };
    std::string padded = text;
    Integer month = 0;
    try {
        const std::string monthText = text.size() > 4 ? text.substr(4, 2) : "";
        month = StrToInt(monthText);
        if (month > 12) return refuse("月份输入不可以大于12", MB_ICONERROR, true);
        if (month <= 0) return refuse("月份输入不可以等于零", MB_ICONERROR, true);
        if (month < 10 && Trim(monthText).size() != 2) padded = Trim(text).substr(0, 4) + "0" + Trim(monthText);
        if (Trim(padded).size() != 6) return refuse("请将日期输入完全", MB_ICONINFORMATION, true);
    } catch (const EConvertError&) {
        return refuse("起止时间输入非法", MB_ICONINFORMATION, false);
    }
    Integer year = 0;
    TDateTime date;
    if (!TryStrToInt(padded.substr(0, 4), year) || year <= 0 || !TryEncodeDate(Word(year), Word(month), 1, date)) {
        Edit->SetText("");
        return refuse("日期输入非法", MB_ICONINFORMATION, true);
    }
    Edit->SetText(padded);
    return true;
}

void TfrmRequest::onlycheckyearmonth(TObject* Sender) {
    YearMonthPasses(dynamic_cast<TMaskEdit*>(Sender), false);
}

bool TfrmRequest::CheckYearMonth(TMaskEdit* Edit) {
    return YearMonthPasses(Edit, true);
}

void TfrmRequest::edtfloatExit(TObject* Sender) {
    auto* edit = dynamic_cast<TCustomEdit*>(Sender);
    const std::string text = edit->Text();
    auto refuse = [&](const char* message) {
        Box(message, MB_ICONERROR);
        edit->SetText("");
        edit->SetFocus();
    };
    const char* const Illegal = "您输入的数据非法，请重新输入";
    if (!text.empty() && text[0] == '.') return refuse("您输入的数据非法，数字首位不可以为小数点，请重新输入");
    if (const size_t minus = text.find('-'); minus != std::string::npos) {
        if (minus != 0) return refuse("您输入的数据非法，数字首位才可以为负号，请重新输入");
        const std::string rest = text.substr(minus + 1);
        if ((!rest.empty() && rest[0] == '.') || rest.find('-') != std::string::npos) return refuse(Illegal);
    }
    const size_t point = text.find('.');
    if (point == std::string::npos) return;
    const std::string decimals = text.substr(point + 1);
    if (decimals.find('.') != std::string::npos) return refuse(Illegal);
    if (Trim(decimals).empty())
        edit->SetText(text.substr(0, point));
    else if (decimals.size() > 4)
        edit->SetText(text.substr(0, point + 5));
}

bool TfrmRequest::UnitRulesPass(int Page) {
    auto anyFilled = [this](std::initializer_list<const char*> names) {
        for (const char* name : names)
            if (!Trim(Named<TCustomEdit>(name)->Text()).empty()) return true;
        return false;
    };
    const TRequestRule rules[] = {
        {[&] {
             return anyFilled({"edt_CDDWZGZRS", "edt_CDDWKJRYS", "edt_CDDWYFKJRYS"}) &&
                    (NumberIn("edt_CDDWZGZRS") < NumberIn("edt_CDDWKJRYS") ||
                     NumberIn("edt_CDDWKJRYS") < NumberIn("edt_CDDWYFKJRYS"));
         },
         "输入数据有误，违反了\"职工总数\">= \"大专以上人员（人）\" >= \"从事研发科技人员\"，请修改", MB_ICONERROR,
         Page, "edt_CDDWZGZRS"},
        {[&] {
             return anyFilled({"edt_YYZLS", "edt_FMZLS"}) && NumberIn("edt_YYZLS") < NumberIn("edt_FMZLS");
         },
         "输入数据有误，违反了\"拥有专利总数\" >= \"发明专利数\"，请修改", MB_ICONERROR, Page, "edt_YYZLS"},
        {[&] {
             return anyFilled({"edt_NCZ", "edt_NXSE", "edt_NSJSJ"}) && NumberIn("edt_NXSE") < NumberIn("edt_NSJSJ");
         },
         "输入数据有误，违反了\"年销售额\">=\"年上缴税金\"，请修改", MB_ICONERROR, Page, "edt_NXSE"},
    };
    return RunRules(rules);
}

void TfrmRequest::gpb_cddwjcxyExit(TObject*) {
    UnitRulesPass(-1);
}

bool TfrmRequest::CheckUnitRules() {
    return UnitRulesPass(Page3);
}

bool TfrmRequest::GroupSumMatches(TGroupBox* Group) {
    std::vector<double> values;
    for (int i = 0; i < Group->ControlCount(); ++i) {
        TControl* control = Group->Controls(i);
        if (typeid(*control) == typeid(TEdit) && !IsOneOf(control->Name(), OutsideSums))
            values.push_back(NumberIn(control->Name().c_str()));
    }
    if (values.empty()) return true;
    double sum = 0;
    for (size_t i = 1; i < values.size(); ++i)
        sum += values[i];
    // Compared as their shortest texts, so 0.1 + 0.2 matches 0.3.
    return FloatToStr(values[0]) == FloatToStr(sum);
}

void TfrmRequest::GroupBoxExit(TObject* Sender) {
    auto* group = dynamic_cast<TGroupBox*>(Sender);
    const std::string name = group->Name();
    if (name == "gpb_xmreny" && !Trim(Named<TCustomEdit>("edt_XMRYZS")->Text()).empty() &&
        !Trim(Named<TCustomEdit>("edt_YFRYS35SYX")->Text()).empty() &&
        IntegerIn("edt_XMRYZS") < IntegerIn("edt_YFRYS35SYX")) {
        Refuse({nullptr, UnderThirtyFiveMessage, MB_ICONERROR, -1, "edt_XMRYZS"});
        return;
    }
    if (GroupSumMatches(group)) return;
    if (name == "gpb_xmreny") Refuse({nullptr, StaffSumMessage, MB_ICONERROR, Page2, "edt_XMRYZS"});
    if (name == "gpb_xmjf") Refuse({nullptr, FundsSumMessage, MB_ICONERROR, Page2, "edt_XMZTZ"});
    if (name == "gpb_xmqwork") Refuse({nullptr, PriorInvestmentMessage, MB_ICONERROR, Page2, "edt_YTRJF"});
}

bool TfrmRequest::CheckSums() {
    auto filled = [this](const char* name) { return !Trim(Named<TCustomEdit>(name)->Text()).empty(); };
    const TRequestRule rules[] = {
        {[&] {
             return filled("edt_XMRYZS") && filled("edt_YFRYS35SYX") &&
                    IntegerIn("edt_XMRYZS") < IntegerIn("edt_YFRYS35SYX");
         },
         UnderThirtyFiveMessage, MB_ICONERROR, Page2, "edt_XMRYZS"},
        {[&] { return !GroupSumMatches(Named<TGroupBox>("gpb_xmreny")); }, StaffSumMessage, MB_ICONERROR, Page2,
         "edt_XMRYZS"},
        {[&] { return !GroupSumMatches(Named<TGroupBox>("gpb_xmjf")); }, FundsSumMessage, MB_ICONERROR, Page2,
         "edt_XMZTZ"},
        // Compared as amounts, in fixed point at four decimals as they are
        // stored: in floating point 0.1 + 1.1 is no 1.2.
        {[&] {
             return AmountIn("edt_YTRJF") != AmountIn("edt_DWZCTR") + AmountIn("edt_ZFBKTR") + AmountIn("edt_QTTR");
         },
         PriorInvestmentMessage, MB_ICONERROR, Page2, "edt_YTRJF"},
    };
    return RunRules(rules);
}

bool TfrmRequest::checkbasedata() {
    std::vector<TRequestRule> rules = {
        {[this] { return CurrentId.empty(); }, "出现异常，建议重新启动软件", MB_ICONERROR, -1, nullptr}};
    auto empty = [this](const char* name) {
        return [this, name] { return Trim(Named<TWinControl>(name)->Text()).empty(); };
    };
    rules.push_back({empty("edt_XMMC"), "请输入项目名称", MB_ICONINFORMATION, Page0, "edt_XMMC"});
    for (const TRequired& field : RequiredFirstLeader)
        if (!IsOneOf(field.Control, NotInBaseData))
            rules.push_back({empty(field.Control), field.Message, MB_ICONINFORMATION, Page2, field.Control});
    return RunRules(rules);
}

bool TfrmRequest::checkdata() {
    auto text = [this](const char* name) { return Named<TWinControl>(name)->Text(); };
    auto empty = [this](const char* name) {
        return [this, name] { return Trim(Named<TWinControl>(name)->Text()).empty(); };
    };
    auto category = [this] { return ccb_JHLBDM->SelectedCode(); };
    std::vector<TRequestRule> rules = {
        {[this] { return CurrentId.empty(); }, "出现异常，建议重新启动软件", MB_ICONERROR, -1, nullptr},
        {empty("edt_XMMC"), "请输入项目名称", MB_ICONINFORMATION, Page0, "edt_XMMC"},
        {[&] { return Trim(text("met_SBNF")).empty() && text("met_SBNF").size() != 4; }, "请输入申报年度",
         MB_ICONINFORMATION, Page0, "met_SBNF"},
        {empty("ccb_JHLBDM"), "请输入计划类别名称", MB_ICONINFORMATION, Page0, "ccb_JHLBDM"},
        {[&] { return !Trim(text("edt_ZNDM")).empty() && Trim(text("edt_ZNDM")).size() != 6; },
         "指南代码输入必须为六位", MB_ICONERROR, Page0, "edt_ZNDM"},
        {[&] { return text("met_prjstart").empty(); }, "开始时间不能为空", MB_ICONERROR, Page0, "met_prjstart"},
        {[&] { return text("met_prjend").empty(); }, "结束时间不能为空", MB_ICONERROR, Page0, "met_prjend"},
        {empty("ccb_ZGBMDM"), "请输入主管部门名称", MB_ICONINFORMATION, Page0, "ccb_ZGBMDM"},
        {[&] { return category() == "10" && empty("ccb_XKLYDM")(); }, "请输入学科领域名称", MB_ICONINFORMATION, Page0,
         "ccb_XKLYDM"},
        {[&] { return category() != "10" && empty("ccb_JSLYDM")(); }, "请输入技术领域名称", MB_ICONINFORMATION, Page0,
         "ccb_JSLYDM"},
        {[&] { return ccb_JSLYDM->SelectedCode() == "H" && empty("ccb_JSLYDM_other")(); },
         "当选择农业时必须选择细分名称，请选择", MB_ICONINFORMATION, Page0, "ccb_JSLYDM_other"},
        {[&] { return IntegerIn("met_prjstart") > IntegerIn("met_prjend"); }, "项目完成时间要大于等于开始时间",
         MB_ICONINFORMATION, Page0, "met_prjstart"},
    };
    auto required = [&](std::span<const TRequired> fields, int page) {
        for (const TRequired& field : fields)
            rules.push_back({empty(field.Control), field.Message, MB_ICONINFORMATION, page, field.Control});
    };
    required(RequiredUnit, Page0);
    rules.push_back({empty("mem_ZYYJNR"), "请输入主要研究内容", MB_ICONINFORMATION, Page1, "mem_ZYYJNR"});
    rules.push_back({[&] { return empty("edt_ZTC1")() && empty("edt_ZTC2")() && empty("edt_ZTC3")(); },
                     "请输入三个主题词中至少一个", MB_ICONINFORMATION, Page1, "edt_ZTC1"});
    required(RequiredResults, Page1);
    required(RequiredFirstLeader, Page2);
    for (const TRequired& field : RequiredSecondLeader)
        rules.push_back({[&, field] { return !empty("edt_XMFZRXM2")() && empty(field.Control)(); }, field.Message,
                         MB_ICONINFORMATION, Page2, field.Control});
    required(RequiredStaffAndFunds, Page2);
    required(RequiredUndertakingUnit, Page3);
    for (const TUnitKind& unit : UnitKinds)
        rules.push_back({[&, unit] { return !empty(unit.Unit)() && empty(unit.Kind)(); }, unit.Message,
                         MB_ICONINFORMATION, Page3, unit.Kind});
    rules.push_back({[&] { return !empty("edt_JWHZDWMC")() && empty("edt_GJHDQ")(); }, "请输入境外合作单位国家或地区",
                     MB_ICONINFORMATION, Page3, "edt_GJHDQ"});
    rules.push_back({[&] { return !empty("edt_JWHZDWMC")() && FGroups[3].Counter == 0; },
                     "请至少选择一个合作形式（最多三个）", MB_ICONINFORMATION, Page3, "ChkBox_hzfs_jsyj"});
    return RunRules(rules);
}
