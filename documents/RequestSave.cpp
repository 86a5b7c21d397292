// Storing the project application: the controls read into bound values, the
// name that must be unique, and the statements that write a new or stored
// KJJHSB row inside one transaction on the user connection. Column groups
// and their order are those the packages and the data update expect.
#include "documents/Request.h"

#include "app/Main.h"
#include "app/SysPublic.h"
#include "documents/RequestFields.h"
#include "documents/RequestRules.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Utf8.h"
#include "platform/ui/Dialogs.h"

#include <algorithm>
#include <initializer_list>
#include <set>

namespace {

using TColumns = std::initializer_list<const char*>;

// A stored row: fourteen updates, the first also setting projectLevelID.
const TColumns ListA[] = {
    {"XMMC", "JHLBDM", "ZNDM", "SBNF"},
    {"KSSJN", "KSSJY", "ZYYJNR"},
    {"JSSJN", "JSSJY", "ZGBMDM", "JSLYDM"},
    {"XKLYDM", "DWMC", "DWLB", "QYXZ1", "QYXZ2", "QYXZ3", "ZJJGLB", "YTLX"},
    {"DWSZQYDM1", "DWSZQYDM2", "DWSZQYDM3", "DWSZSDM", "DWSZXQDM", "DWDZ", "YZBM"},
    {"DWFZR", "DWFZRZWZC", "DWFZRLXDH", "XMLXRXM"},
    {"LXRE_MAIL", "LXRDH", "HTTP"},
    {"CDDWZGZRS", "CDDWKJRYS", "CDDWYFKJRYS", "NYFJF", "YYZLS", "FMZLS", "RJZZQS", "NCZ", "NXSE", "NCH"},
    {"NSJSJ", "NLR", "CJDW1", "CJDW1XZ", "CJDW2", "CJDW2XZ", "CJDW3", "CJDW3XZ", "JWHZDWMC", "GJHDQ", "HZXS1", "HZXS2",
     "HZXS3", "XMFZRXM1", "XMFZRXB1"},
    {"XMFZRCSN1", "XMFZRXL1", "XMFZRXW1", "XMFZRZC1", "XMFZRLXDH1", "XMFZRXM2"},
    {"XMFZRXB2", "XMFZRCSN2", "XMFZRXL2", "XMFZRXW2", "XMFZRZC2", "XMFZRLXDH2", "XMRYZS", "YFRYS35SYX", "GJRS", "ZJRS",
     "CJRS", "QTRS"},
    {"YQCG1", "YQCG2", "YQCG3", "YQCG4", "ZTC1", "ZTC2", "ZTC3", "ZLSQFM", "ZLSQSYXX", "ZLSQWGSJ", "ZLSQFMS",
     "ZLSQSYXXS", "ZLSQWGSJS"},
    {"RJZZQ", "YQNXZCZ", "YQNXZLS", "YQNCKCH", "XMZTZ", "SQSBK", "BMPP", "DWZC", "YHDK"},
    {"QTLY", "YTRYJRYS", "YTRJF", "DWZCTR", "ZFBKTR", "QTTR"},
};

// A new row: the insert, then thirteen updates (KSSJY is written twice).
const TColumns Inserted = {"XMMC",     "KSSJN",     "KSSJY",    "JSSJN",    "JSSJY",    "XMFZRXM1",
                           "XMFZRXB1", "XMFZRCSN1", "XMFZRXL1", "XMFZRXW1", "XMFZRZC1", "SBNF"};
const TColumns ListB[] = {
    {"JHLBDM", "ZNDM", "KSSJY", "ZYYJNR"},
    {"ZGBMDM", "JSLYDM"},
    ListA[3],
    ListA[4],
    ListA[5],
    ListA[6],
    ListA[7],
    {"NSJSJ", "NLR", "CJDW1", "CJDW1XZ", "CJDW2", "CJDW2XZ", "CJDW3", "CJDW3XZ", "JWHZDWMC", "GJHDQ", "HZXS1", "HZXS2",
     "HZXS3"},
    {"XMFZRLXDH1", "XMFZRXM2"},
    ListA[10],
    ListA[11],
    ListA[12],
    ListA[13],
};

// Random draws of a new id before the lowest free one of the month is taken.
constexpr int RandomDraws = 20;
constexpr int IdsPerMonth = 10000;

std::string Assignments(TColumns Columns) {
    std::string text;
    for (const char* column : Columns)
        text += std::string(text.empty() ? "" : ",") + column + "=:" + column;
    return text;
}

} // namespace

Integer Count(const std::string& SQL, const std::string& Parameter, const Variant& Value) {
    TADOQuery query(nullptr);
    query.SetConnection(frmMain->adocon);
    query.SQL()->SetText(SQL);
    query.Parameters()->ParamByName(Parameter)->SetValue(Value);
    query.Open();
    return query.Fields()[0]->AsInteger();
}

Variant IdValue(const std::string& Id) {
    Int64 id = 0;
    if (TryStrToInt64(Id, id)) return Variant(id);
    return Variant(Id);
}

void Execute(const std::string& SQL, const std::map<std::string, Variant>& Values) {
    TADOCommand command(nullptr);
    command.SetConnection(frmMain->adocon);
    command.SetCommandText(SQL);
    for (const auto& [name, value] : Values)
        if (TParameter* parameter = command.Parameters()->FindParam(name)) parameter->SetValue(value);
    command.Execute();
}

void TfrmRequest::GatherField(const TRequestField& Field) {
    const std::string column = Field.Row.Column;
    auto* control = Named<TWinControl>(ControlName(Field.Row.ControlClass, column));
    const std::string text = Trim(control->Text());
    auto number = [&](bool integral) {
        if (text.empty()) return Variant(Variant::TNullTag{});
        try {
            return integral ? Variant(StrToInt64(text)) : Variant(StrToFloat(text));
        } catch (const EConvertError& E) {
            throw EFieldConvertError(E.Message(), control);
        }
    };
    auto* box = dynamic_cast<TCodeComboBox*>(control);
    switch (Field.Row.ControlClass) {
    case fkDigits:
        FValues[column] = number(true);
        break;
    case fkAmount:
        FValues[column] = number(false);
        break;
    case fkYearMonth: {
        const std::string prefix = column == "prjstart" ? "KSSJ" : "JSSJ";
        const std::string yearMonth = control->Text();
        FValues[prefix + "N"] = yearMonth.substr(0, 4);
        FValues[prefix + "Y"] = yearMonth.size() > 4 ? yearMonth.substr(4, 2) : "";
        break;
    }
    case fkTextCode:
        if (column == "JSLYDM_other") break;
        if (column == "JSLYDM" && !text.empty() && !Trim(ccb_JSLYDM_other->Text()).empty())
            FValues[column] = ccb_JSLYDM_other->SelectedCode();
        else
            FValues[column] = text.empty() ? std::string() : box->SelectedCode();
        break;
    case fkNumberCode: {
        const std::string code = text.empty() ? std::string() : box->SelectedCode();
        Int64 value = 0;
        if (code.empty())
            FValues[column] = Variant(Variant::TNullTag{});
        else if (TryStrToInt64(code, value))
            FValues[column] = value;
        else
            FValues[column] = code;
        break;
    }
    default:
        FValues[column] = text;
    }
}

int TfrmRequest::GatherValues() {
    FValues.clear();
    try {
        for (const TRequestField& field : RequestFields())
            GatherField(field);
        for (TCheckGroup& group : FGroups) {
            std::vector<int> codes(static_cast<size_t>(group.Slots));
            EncodeGroup(group, codes);
            for (size_t i = 0; i < codes.size(); ++i)
                FValues[group.Column + std::to_string(i + 1)] = CodeToSql(codes[i]);
        }
        return 0;
    } catch (const EFieldConvertError& E) {
        Box(E.Message(), MB_ICONERROR);
        ShowControl(E.Control);
    } catch (const Exception& E) {
        Box(E.Message(), MB_ICONERROR);
    }
    return 1;
}

bool TfrmRequest::NameTaken() {
    if (Count("select count(*) from KJJHSB where XMMC = :XMMC", "XMMC", FValues.at("XMMC")) == 0) return false;
    SysPublic::ShowMsg(nullptr, "项目名称已经存在", 3);
    pgc_main->SetActivePageIndex(0);
    edt_XMMC->SetFocus();
    edt_XMMC->SetSelStart(0);
    edt_XMMC->SetSelLength(static_cast<int>(Utf8Length(edt_XMMC->Text())));
    return true;
}

void TfrmRequest::RunStatements(bool NewRow) {
    std::map<std::string, Variant> values = FValues;
    values["KJJHSBID"] = IdValue(CurrentId);
    const std::string where = " where KJJHSBID=:KJJHSBID";
    TTransactionGuard transaction(frmMain->adocon);
    if (NewRow) {
        std::string names = "projectLevelID,KJJHSBID";
        std::string parameters = "1,:KJJHSBID";
        for (const char* column : Inserted) {
            names += std::string(",") + column;
            parameters += std::string(",:") + column;
        }
        Execute("insert into KJJHSB(" + names + ") values(" + parameters + ")", values);
        for (TColumns columns : ListB)
            Execute("update KJJHSB set " + Assignments(columns) + where, values);
    } else {
        Execute("update KJJHSB set " + Assignments(ListA[0]) + ",projectLevelID=1" + where, values);
        for (size_t i = 1; i < std::size(ListA); ++i)
            Execute("update KJJHSB set " + Assignments(ListA[i]) + where, values);
    }
    transaction.Commit();
}

std::string TfrmRequest::MakeApplicationId(const std::set<std::string>& Reserved) {
    const std::string month = FormatDateTime("yyyymm", Now());
    auto idOf = [&month](int suffix) { return month + Format("%.4d", suffix); };
    auto taken = [&](int suffix) {
        return Reserved.count(idOf(suffix)) > 0 ||
               Count("select count(*) from KJJHSB where KJJHSBID=:id", "id", IdValue(idOf(suffix))) > 0;
    };
    std::uniform_int_distribution<int> suffixes(0, IdsPerMonth - 1);
    for (int draw = 0; draw < RandomDraws; ++draw)
        if (const int suffix = suffixes(Random); !taken(suffix)) return idOf(suffix);
    // A crowded month: the lowest suffix no row carries.
    TADOQuery query(nullptr);
    query.SetConnection(frmMain->adocon);
    query.SQL()->SetText("select KJJHSBID from KJJHSB where KJJHSBID between :first and :last");
    query.Parameters()->ParamByName("first")->SetValue(IdValue(idOf(0)));
    query.Parameters()->ParamByName("last")->SetValue(IdValue(idOf(IdsPerMonth - 1)));
    query.Open();
    std::set<std::string> used = Reserved;
    for (; !query.Eof(); query.Next())
        used.insert(query.Fields()[0]->AsString());
    for (int suffix = 0; suffix < IdsPerMonth; ++suffix)
        if (!used.count(idOf(suffix))) return idOf(suffix);
    Box("本月可用的项目编号已用完", MB_ICONINFORMATION);
    return "";
}

bool TfrmRequest::SaveApplication() {
    try {
        if (!checkdata() || !checkbasedata() || !CheckYearMonth(met_prjstart) || !CheckYearMonth(met_prjend) ||
            !CheckUnitRules() || !CheckSums())
            return false;
    } catch (const EFieldConvertError& E) {
        Box(E.Message(), MB_ICONERROR);
        ShowControl(E.Control);
        return false;
    }
    bool stored = Count("select count(*) from KJJHSB where KJJHSBID=:id", "id", IdValue(CurrentId)) > 0;
    if (stored && CurrentIdIsNew) {
        // Another row took this new application's id meanwhile: it is never
        // overwritten; the new application gets an id of its own.
        const std::string id = MakeApplicationId();
        if (id.empty()) return false;
        CurrentId = id;
        stored = false;
    }
    if (GatherValues() != 0) return false;
    const bool renamed = FValues.at("XMMC").AsString() != LoadedName;
    if ((!stored || renamed) && NameTaken()) return false;
    try {
        RunStatements(!stored);
    } catch (const Exception&) {
        Box(stored ? "数据更新失败" : "数据插入失败", MB_ICONERROR);
        return false;
    }
    CurrentIdIsNew = false;
    return true;
}
