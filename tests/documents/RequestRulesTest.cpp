// The project application's rules as the user meets them: leaving a field or
// group corrects or refuses on the spot; saving stops at the first rule that
// refuses, with its message, icon, page and focus, and writes nothing.
#include "tests/documents/RequestWorld.h"

#include "platform/ui/MessageBoxCodes.h"

#include <functional>

namespace {

class RequestRulesTest : public ::testing::Test, public RequestWorld {
protected:
    // The one box the last action showed.
    TDialogRequest LastBox(size_t Before) const {
        const auto boxes = Dialogs.Boxes();
        EXPECT_EQ(boxes.size(), Before + 1);
        return boxes.empty() ? TDialogRequest{} : boxes.back();
    }
};

struct TExitCase {
    const char* Edit;
    const char* Typed;
    const char* Left;    // the text after leaving
    const char* Message; // "" when no box
};

TEST_F(RequestRulesTest, LeavingAYearMonthOrAnAmountCorrectsOrRefusesIt) {
    const TExitCase cases[] = {
        {"met_prjstart", "20241", "202401", ""},
        {"met_prjstart", "202412", "202412", ""},
        {"met_prjstart", "202413", "202413", "月份输入不可以大于12"},
        {"met_prjstart", "202400", "202400", "月份输入不可以等于零"},
        {"met_prjend", "000005", "", "日期输入非法"},
        {"met_prjend", "2024", "2024", "起止时间输入非法"},
        {"met_SBNF", "0000", "", "日期输入非法"},
        {"met_SBNF", "202", "", "日期输入非法"},
        {"edt_YQNXZCZ", "12.345678", "12.3456", ""},
        {"edt_YQNXZCZ", "12.", "12", ""},
        {"edt_YQNXZCZ", "-5", "-5", ""},
        {"edt_YQNXZCZ", ".5", "", "您输入的数据非法，数字首位不可以为小数点，请重新输入"},
        {"edt_YQNXZCZ", "5-", "", "您输入的数据非法，数字首位才可以为负号，请重新输入"},
        {"edt_YQNXZCZ", "-.5", "", "您输入的数据非法，请重新输入"},
        {"edt_YQNXZCZ", "1.2.3", "", "您输入的数据非法，请重新输入"},
    };
    StartNew();
    for (const TExitCase& c : cases) {
        SCOPED_TRACE(std::string(c.Edit) + " " + c.Typed);
        const size_t before = Dialogs.Boxes().size();
        Type(c.Edit, c.Typed);
        Leave();
        EXPECT_EQ(Named(c.Edit)->Text(), c.Left);
        if (*c.Message) {
            EXPECT_EQ(LastBox(before).Text, c.Message);
            EXPECT_EQ(uitest::FocusedControl(), Named(c.Edit));
        } else {
            EXPECT_EQ(Dialogs.Boxes().size(), before);
        }
        // A refused text holds the focus until it is mended.
        Named(c.Edit)->SetText("");
    }
}

struct TGroupCase {
    std::vector<std::pair<const char*, const char*>> Typed;
    const char* Message;
    const char* Focus;
};

TEST_F(RequestRulesTest, LeavingAGroupChecksItsSumsAndOrder) {
    const char* const staffSum =
        "输入数据有误，违反了\"项目人员总数\" ＝ \"高级\"＋\"中级\"＋\"初级\"＋\"其它\"，请修改";
    const TGroupCase cases[] = {
        // The under-35 count is no part of the sum.
        {{{"edt_XMRYZS", "10"},
          {"edt_YFRYS35SYX", "9"},
          {"edt_GJRS", "3"},
          {"edt_ZJRS", "3"},
          {"edt_CJRS", "3"},
          {"edt_QTRS", "1"}},
         "",
         ""},
        {{{"edt_XMRYZS", "10"}, {"edt_GJRS", "3"}, {"edt_ZJRS", "3"}, {"edt_CJRS", "3"}}, staffSum, "edt_XMRYZS"},
        {{{"edt_XMRYZS", "3"}, {"edt_YFRYS35SYX", "4"}},
         "输入数据有误，违反了\"项目人员总数\" >= \"35岁以下研发人员数\"，请修改",
         "edt_XMRYZS"},
        // Sums compare as texts: 0.1 + 0.2 is 0.3 here.
        {{{"edt_XMZTZ", "0.3"}, {"edt_SQSBK", "0.1"}, {"edt_BMPP", "0.2"}}, "", ""},
        {{{"edt_XMZTZ", "1"}, {"edt_SQSBK", "2"}},
         "输入数据有误，违反了\"项目总投资\"＝\"申请市拨款\"＋\"部门匹配\"＋\"单位自筹\"＋\"银行贷款\"＋\"其它来源\"，"
         "请修改",
         "edt_XMZTZ"},
        {{{"edt_YTRJF", "0.3"}, {"edt_DWZCTR", "0.1"}, {"edt_ZFBKTR", "0.2"}}, "", ""},
        {{{"edt_YTRJF", "1"}},
         "输入数据有误，违反了\"已投入经费\"＝\"单位自筹\"＋\"政府拨款\"＋\"其它\"，请修改",
         "edt_YTRJF"},
        {{{"edt_CDDWZGZRS", "10"}, {"edt_CDDWKJRYS", "20"}},
         "输入数据有误，违反了\"职工总数\">= \"大专以上人员（人）\" >= \"从事研发科技人员\"，请修改",
         "edt_CDDWZGZRS"},
        {{{"edt_YYZLS", "1"}, {"edt_FMZLS", "2"}},
         "输入数据有误，违反了\"拥有专利总数\" >= \"发明专利数\"，请修改",
         "edt_YYZLS"},
        // NXSE and NSJSJ count as 0.
        {{{"edt_NCZ", "5"}}, "", ""},
        {{{"edt_NXSE", "1"}, {"edt_NSJSJ", "2"}},
         "输入数据有误，违反了\"年销售额\">=\"年上缴税金\"，请修改",
         "edt_NXSE"},
    };
    for (const TGroupCase& c : cases) {
        SCOPED_TRACE(c.Typed.front().first);
        StartNew();
        const size_t before = Dialogs.Boxes().size();
        for (const auto& [edit, text] : c.Typed)
            Type(edit, text);
        Leave();
        if (*c.Message) {
            const TDialogRequest box = LastBox(before);
            EXPECT_EQ(box.Text, c.Message);
            EXPECT_EQ(box.Flags & MB_ICONMASK, MB_ICONERROR);
            EXPECT_EQ(uitest::FocusedControl(), Named(c.Focus));
        } else {
            EXPECT_EQ(Dialogs.Boxes().size(), before);
        }
    }
}

TEST_F(RequestRulesTest, AGroupRuleRefusesOnceAClickOutAndNeverTrapsTheUser) {
    const char* const underThirtyFive = "输入数据有误，违反了\"项目人员总数\" >= \"35岁以下研发人员数\"，请修改";
    const char* const staffSum =
        "输入数据有误，违反了\"项目人员总数\" ＝ \"高级\"＋\"中级\"＋\"初级\"＋\"其它\"，请修改";
    auto clickInto = [this](const char* Name) {
        auto* edit = Named(Name);
        Form->pgc_main->SetActivePageIndex(PageOf(edit));
        ProcessMessages();
        uitest::Click(edit);
    };
    Form->DatasetInsertExecute(nullptr);
    ProcessMessages();
    Type("edt_XMRYZS", "10");
    Type("edt_YFRYS35SYX", "12");
    size_t before = Dialogs.Boxes().size();
    clickInto("edt_YTRYJRYS");
    ASSERT_EQ(Dialogs.Boxes().size(), before + 1) << "one box for one click out of the group";
    EXPECT_EQ(Dialogs.Boxes().back().Text, underThirtyFive);
    EXPECT_EQ(uitest::FocusedControl(), Named("edt_XMRYZS"));

    // Any field of the group may be corrected.
    clickInto("edt_YFRYS35SYX");
    EXPECT_EQ(Dialogs.Boxes().size(), before + 1);
    EXPECT_EQ(uitest::FocusedControl(), Named("edt_YFRYS35SYX"));
    Type("edt_YFRYS35SYX", "5");
    clickInto("edt_YTRYJRYS");
    ASSERT_EQ(Dialogs.Boxes().size(), before + 2);
    EXPECT_EQ(Dialogs.Boxes().back().Text, staffSum) << "10 staff, none counted by title";

    // Cancel leaves the new application read-only: nothing to correct, so
    // nothing refused any more.
    Form->DatasetCancel->Execute();
    ProcessMessages();
    before = Dialogs.Boxes().size();
    clickInto("edt_YTRYJRYS");
    clickInto("edt_XMRYZS");
    clickInto("edt_DWZCTR");
    EXPECT_EQ(Dialogs.Boxes().size(), before);
    EXPECT_EQ(uitest::FocusedControl(), Named("edt_DWZCTR"));
}

// One rule of the save: what breaks it, then what the user sees.
struct TSaveRule {
    int Number;
    std::function<void(RequestWorld&)> Break;
    const char* Message;
    UINT Icon;
    int Page;          // -1: left as it was
    const char* Focus; // nullptr: left as it was
};

std::function<void(RequestWorld&)> Emptied(const char* Name) {
    return [Name](RequestWorld& w) { w.Empty(Name); };
}

std::vector<TSaveRule> SaveRules() {
    const UINT info = MB_ICONINFORMATION;
    const UINT error = MB_ICONERROR;
    std::vector<TSaveRule> rules = {
        {1, [](RequestWorld& w) { w.Form->CurrentId = ""; }, "出现异常，建议重新启动软件", error, -1, nullptr},
        {2, Emptied("edt_XMMC"), "请输入项目名称", info, 0, "edt_XMMC"},
        {3, Emptied("met_SBNF"), "请输入申报年度", info, 0, "met_SBNF"},
        {4, Emptied("ccb_JHLBDM"), "请输入计划类别名称", info, 0, "ccb_JHLBDM"},
        {5, [](RequestWorld& w) { w.Type("edt_ZNDM", "123"); }, "指南代码输入必须为六位", error, 0, "edt_ZNDM"},
        {6, Emptied("met_prjstart"), "开始时间不能为空", error, 0, "met_prjstart"},
        {7, Emptied("met_prjend"), "结束时间不能为空", error, 0, "met_prjend"},
        {8, Emptied("ccb_ZGBMDM"), "请输入主管部门名称", info, 0, "ccb_ZGBMDM"},
        {9, [](RequestWorld& w) { w.Choose("ccb_JHLBDM", "10"); }, "请输入学科领域名称", info, 0, "ccb_XKLYDM"},
        {10, Emptied("ccb_JSLYDM"), "请输入技术领域名称", info, 0, "ccb_JSLYDM"},
        {11, Emptied("ccb_JSLYDM_other"), "当选择农业时必须选择细分名称，请选择", info, 0, "ccb_JSLYDM_other"},
        {12,
         [](RequestWorld& w) {
             w.Type("met_prjstart", "202612");
             w.Type("met_prjend", "202601");
         },
         "项目完成时间要大于等于开始时间", info, 0, "met_prjstart"},
    };
    const std::pair<const char*, const char*> unit[] = {
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
    int number = 13;
    for (const auto& [name, message] : unit)
        rules.push_back({number++, Emptied(name), message, info, 0, name});
    rules.push_back({number++, Emptied("mem_ZYYJNR"), "请输入主要研究内容", info, 1, "mem_ZYYJNR"});
    rules.push_back({number++, Emptied("edt_ZTC1"), "请输入三个主题词中至少一个", info, 1, "edt_ZTC1"});
    const std::pair<const char*, const char*> later[] = {
        {"edt_YQNXZCZ", "请输入预期年新增产值"},
        {"edt_YQNXZLS", "请输入预期年新增利税"},
        {"edt_YQNCKCH", "请输入预期年出口创汇"},
        {"edt_ZLSQFM", "请输入专利申请发明数量"},
        {"edt_ZLSQSYXX", "请输入专利申请实用新型数量"},
        {"edt_ZLSQWGSJ", "请输入专利申请外观设计数量"},
        {"edt_ZLSQFMS", "请输入专利授权发明数"},
        {"edt_ZLSQSYXXS", "请输入专利授权实用新型数"},
        {"edt_ZLSQWGSJS", "请输入专利授权外观设计数"},
        {"edt_RJZZQ", "请输入软件著作权数量"},
        {"edt_XMFZRXM1", "请输入第一项目负责人姓名"},
        {"ccb_XMFZRXB1", "请选择第一项目负责人性别"},
        {"met_XMFZRCSN1", "请选择第一项目负责人出生年"},
        {"ccb_XMFZRXL1", "请选择第一项目负责人学历"},
        {"ccb_XMFZRXW1", "请选择第一项目负责人学位"},
        {"ccb_XMFZRZC1", "请选择第一项目负责人职称"},
        {"edt_XMFZRLXDH1", "请输入第一项目负责人联系电话"},
    };
    for (const auto& [name, message] : later)
        rules.push_back({number, Emptied(name), message, info, number < 34 ? 1 : 2, name}), ++number;
    // Rules 41-46 ask for the second leader's details once the leader is named.
    const std::pair<const char*, const char*> second[] = {
        {"ccb_XMFZRXB2", "请选择第二项目负责人性别"}, {"met_XMFZRCSN2", "请选择第二项目负责人出生年"},
        {"ccb_XMFZRXL2", "请选择第二项目负责人学历"}, {"ccb_XMFZRXW2", "请选择第二项目负责人学位"},
        {"ccb_XMFZRZC2", "请选择第二项目负责人职称"},
    };
    for (const auto& [name, message] : second)
        rules.push_back({number++, Emptied(name), message, info, 2, name});
    rules.push_back({number++,
                     [](RequestWorld& w) {
                         w.Type("edt_XMFZRXM2", "赵六");
                         for (const char* box : {"ccb_XMFZRXB2", "ccb_XMFZRXL2", "ccb_XMFZRXW2", "ccb_XMFZRZC2"})
                             w.Choose(box, "1");
                         w.Type("met_XMFZRCSN2", "1980");
                     },
                     "请输入第二项目负责人联系电话", info, 2, "edt_XMFZRLXDH2"});
    const std::pair<const char*, const char*> staff[] = {
        {"edt_XMRYZS", "请输入项目人员总数"},   {"edt_YFRYS35SYX", "请输入项目人员研发人数35岁以下"},
        {"edt_GJRS", "请输入项目人员高级人数"}, {"edt_ZJRS", "请输入项目人员中级人数"},
        {"edt_CJRS", "请输入项目人员初级人数"}, {"edt_QTRS", "请输入项目人员其他人数"},
        {"edt_XMZTZ", "请输入项目总投资"},      {"edt_SQSBK", "请输入项目申请省拨款"},
        {"edt_BMPP", "请输入项目部门匹配"},     {"edt_DWZC", "请输入项目单位自筹"},
        {"edt_YHDK", "请输入项目银行贷款"},     {"edt_QTLY", "请输入项目其它来源"},
    };
    for (const auto& [name, message] : staff)
        rules.push_back({number++, Emptied(name), message, info, 2, name});
    const std::pair<const char*, const char*> undertaking[] = {
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
    for (const auto& [name, message] : undertaking)
        rules.push_back({number++, Emptied(name), message, info, 3, name});
    for (const char* unitNumber : {"1", "2", "3"}) {
        const std::string edit = std::string("edt_CJDW") + unitNumber;
        rules.push_back({number++, [edit](RequestWorld& w) { w.Type(edit, "参加单位"); },
                         unitNumber[0] == '1'   ? "请输入参加单位1性质"
                         : unitNumber[0] == '2' ? "请输入参加单位2性质"
                                                : "请输入参加单位3性质",
                         info, 3,
                         unitNumber[0] == '1'   ? "ccb_CJDW1XZ"
                         : unitNumber[0] == '2' ? "ccb_CJDW2XZ"
                                                : "ccb_CJDW3XZ"});
    }
    rules.push_back({number++, Emptied("edt_GJHDQ"), "请输入境外合作单位国家或地区", info, 3, "edt_GJHDQ"});
    rules.push_back({number++,
                     [](RequestWorld& w) {
                         w.Type("edt_JWHZDWMC", "外方");
                         w.Type("edt_GJHDQ", "德国");
                     },
                     "请至少选择一个合作形式（最多三个）", info, 3, "ChkBox_hzfs_jsyj"});
    return rules;
}

// Each rule is broken on top of the breaks of the rules after it, so every
// save meets its own rule first: a table run from the last rule to the first.
TEST_F(RequestRulesTest, SavingStopsAtEachRuleWithItsMessageIconPageAndFocus) {
    const std::vector<TSaveRule> rules = SaveRules();
    ASSERT_EQ(rules.back().Number, 75);
    FillComplete();
    for (auto rule = rules.rbegin(); rule != rules.rend(); ++rule) {
        SCOPED_TRACE("rule " + std::to_string(rule->Number));
        rule->Break(*this);
        Form->pgc_main->SetActivePageIndex(rule->Page < 0 ? 3 : (rule->Page + 1) % 4);
        const size_t before = Dialogs.Boxes().size();
        EXPECT_FALSE(Form->SaveApplication());
        const TDialogRequest box = LastBox(before);
        EXPECT_EQ(box.Text, rule->Message);
        EXPECT_EQ(box.Caption, "提示");
        EXPECT_EQ(box.Flags & MB_ICONMASK, rule->Icon);
        if (rule->Page >= 0) {
            EXPECT_EQ(Form->pgc_main->ActivePageIndex(), rule->Page);
        }
        if (rule->Focus) {
            EXPECT_EQ(uitest::FocusedControl(), Named(rule->Focus));
        }
    }
    EXPECT_EQ(Column("select count(*) from KJJHSB"), std::vector<std::string>{"0"});
}

TEST_F(RequestRulesTest, PriorInvestmentComparesAmountsToFourDecimals) {
    const char* const refused = "输入数据有误，违反了\"已投入经费\"＝\"单位自筹\"＋\"政府拨款\"＋\"其它\"，请修改";
    struct TCase {
        const char* Total;
        const char* Own;
        const char* Grants;
        const char* Other;
        bool Saved;
    } const cases[] = {
        {"1.2", "0.1", "1.1", "0", true},
        {"0.3", "0.1", "0.2", "0", true},
        {"1000000.0003", "0.0001", "999999.9999", "0.0003", true},
        {"-0.5", "0.25", "-0.75", "", true},
        {"0.3", "0.1", "0.2", "0.0001", false},
        {"1.2", "0.1", "1", "", false},
    };
    for (const TCase& c : cases) {
        const std::string sum = std::string(c.Total) + " = " + c.Own + " + " + c.Grants + " + " + c.Other;
        SCOPED_TRACE(sum);
        FillComplete(sum);
        for (const auto& [edit, text] :
             {std::pair{"edt_YTRJF", c.Total}, {"edt_DWZCTR", c.Own}, {"edt_ZFBKTR", c.Grants}, {"edt_QTTR", c.Other}})
            Named(edit)->SetText(text);
        const size_t before = Dialogs.Boxes().size();
        EXPECT_EQ(Form->SaveApplication(), c.Saved);
        if (!c.Saved) {
            EXPECT_EQ(LastBox(before).Text, refused);
            EXPECT_EQ(uitest::FocusedControl(), Named("edt_YTRJF"));
        }
    }
}

} // namespace
