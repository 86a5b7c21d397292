// The acceptance certificate: its layout tables (frames, fields, the
// nineteen lists, save checks, child tables and sub-table buttons).
#include "documents/Yszs.h"

#include "documents/SubTableBase.h"

Tfrmyszs* frmyszs = nullptr;

namespace {

const char* const Pages[] = {"第一页", "第二页", "第三页", "第四页"};
const char* const YearBoxes[] = {"ComboBox4", "ComboBox6"};
const char* const MonthBoxes[] = {"ComboBox5", "ComboBox7"};
const char* const DateColumns[] = {"YSRQ", "TBSJ"};
const char* const YearColumns[] = {"KSNF", "JSNF"};
const char* const MonthColumns[] = {"KSYF", "JSYF"};
const char* const ChildTables[] = {"KORIM_YSJJZBNB", "KORIM_YSJSHZBNB", "KORIM_YSJSZBNB", "KORIM_YSWYHRYBNB",
                                   "KORIM_YSXMRYBNB"};

const char* const UnitKinds[] = {"大专院校", "科研院所", "企业", "其他"};
// The districts and bureaus of the city whose code tables the program ships.
const char* const Districts[] = {"杭州市", "上城区", "拱墅区", "西湖区", "滨江区", "萧山区", "余杭区",
                                 "富阳区", "临安区", "临平区", "钱塘区", "桐庐县", "淳安县", "建德市"};
const char* const Bureaus[] = {"杭州市发展和改革委员会", "杭州市经济和信息化局",   "杭州市教育局",
                               "杭州市农业农村局",       "杭州市卫生健康委员会",   "杭州市生态环境局",
                               "杭州市城乡建设委员会",   "杭州市交通运输局",       "杭州市林业水利局",
                               "杭州市商务局",           "杭州市市场监督管理局",   "杭州市文化广电旅游局",
                               "杭州市规划和自然资源局"};
const char* const ResultForms[] = {"论文论著", "研究咨询）", "报告", "新产品(或农业新品种）", "新装置", "新材料",
                                   "新工艺（或新方法、新模式）", "计算机软件", "技术标准", "专利", "其它"};
const char* const ResultLevels[] = {"国际领先", "国际先进", "国内领先", "国内先进", "省内先进", "其它"};
const char* const Sexes[] = {"男", "女"};
const char* const Educations[] = {"研究生", "本科生", "大专", "其他"};
const char* const Titles[] = {"高级", "中级", "初级", "其他"};

const TDocumentFrame Frames[] = {
    {"GroupBox1", "封面", "TabSheet1", {8, 4, 736, 152}},
    {"GroupBox2", "1.项目概况1", "TabSheet1", {8, 162, 736, 284}},
    {"GroupBox3", "1.项目概况2", "TabSheet2", {8, 4, 736, 152}},
    {"GroupBox4", "2.项目负责人情况", "TabSheet2", {8, 160, 736, 96}},
    {"GroupBox5", "3.项目研发人员情况 (单位:人)", "TabSheet2", {8, 262, 736, 78}},
    {"GroupBox6", "4.项目实际到位经费情况 (单位:万元)", "TabSheet2", {8, 346, 736, 102}},
    {"GroupBox7", "5.项目经费支出情况 (单位:万元)", "TabSheet3", {8, 4, 736, 104}},
    {"GroupBox8", "6.项目获奖情况 (单位:项)", "TabSheet3", {8, 114, 736, 168}},
    {"GroupBox9", "7.主要技术指标完成情况", "TabSheet3", {8, 288, 736, 56}},
    {"GroupBox10", "8.主要经济指标完成情况", "TabSheet3", {8, 350, 736, 146}},
    {"GroupBox11", "9.主要建设任务完成情况", "TabSheet4", {8, 4, 736, 56}},
    {"GroupBox12", "二、目标任务完成情况", "TabSheet4", {8, 66, 736, 140}},
    {"GroupBox13", "三、验收意见 ", "TabSheet4", {8, 212, 736, 190}},
    {"GroupBox14", "四、项目主要参加人员名单", "TabSheet4", {8, 408, 360, 56}},
    {"GroupBox15", "五、验收委员会名单", "TabSheet4", {384, 408, 360, 56}},
};

const TDocumentText Texts[] = {
    {"＊ 100字以内", "GroupBox1", {590, 74, 100, 13}},
    {"＊ 100字以内", "GroupBox1", {590, 100, 100, 13}},
    {"年", "GroupBox2", {166, 152, 16, 13}},
    {"月", "GroupBox2", {238, 152, 16, 13}},
    {"年", "GroupBox2", {458, 152, 16, 13}},
    {"月", "GroupBox2", {530, 152, 16, 13}},
    {"成果形式", "GroupBox2", {8, 178, 60, 13}},
    {"(可以多项)", "GroupBox2", {72, 178, 80, 13}},
    {"申请专利(件)", "GroupBox3", {8, 22, 100, 13}},
    {"申请授权(件)", "GroupBox3", {8, 48, 100, 13}},
    {"发表论文(篇)", "GroupBox3", {8, 74, 100, 13}},
    {"姓名", "GroupBox4", {56, 20, 84, 13}},
    {"性别", "GroupBox4", {146, 20, 54, 13}},
    {"出生年", "GroupBox4", {206, 20, 54, 13}},
    {"出生月", "GroupBox4", {266, 20, 44, 13}},
    {"专业", "GroupBox4", {316, 20, 94, 13}},
    {"学历", "GroupBox4", {416, 20, 84, 13}},
    {"职称", "GroupBox4", {506, 20, 74, 13}},
    {"联系电话", "GroupBox4", {586, 20, 140, 13}},
    {"其中", "GroupBox7", {8, 50, 30, 13}},
    {"特等奖", "GroupBox8", {180, 18, 80, 13}},
    {"一等奖", "GroupBox8", {280, 18, 80, 13}},
    {"二等奖", "GroupBox8", {380, 18, 80, 13}},
    {"三等奖", "GroupBox8", {480, 18, 80, 13}},
    {"经济指标名称 (单位)", "GroupBox10", {16, 18, 160, 13}},
    {"合同经济指标", "GroupBox10", {200, 18, 120, 13}},
    {"经济指标实际完成情况", "GroupBox10", {360, 18, 160, 13}},
};

const TFieldRow Fields[] = {
    {"YSWH", dcEdit, "验收文号＊", "", "GroupBox1", 8, {80, 18, 150, 21}},
    {"XMBH", dcEdit, "项目编号＊", "", "GroupBox1", 250, {320, 18, 150, 21}},
    {"JHLBID", dcLookup, "计划类别＊", "", "GroupBox1", 490, {560, 18, 160, 21}},
    {"XMMC", dcEdit, "项目名称＊", "", "GroupBox1", 8, {80, 44, 640, 21}},
    {"CJDW", dcEdit, "参加单位", "", "GroupBox1", 8, {80, 70, 500, 21}},
    {"ZZYSBM", dcEdit, "组织验收部门", "", "GroupBox1", 8, {92, 96, 488, 21}},
    {"YSRQ", dcDate, "验收日期＊", "", "GroupBox1", 8, {80, 122, 110, 21}},
    {"TBSJ", dcDate, "填报日期＊", "", "GroupBox1", 250, {320, 122, 110, 21}},
    {"DWMC", dcEdit, "单位名称", "", "GroupBox2", 8, {80, 18, 400, 21}},
    {"DWXZ", dcCombo, "单位性质", "", "GroupBox2", 500, {570, 18, 150, 21}},
    {"DQDM", dcCombo, "所在地区", "", "GroupBox2", 8, {80, 44, 150, 21}},
    {"LXR", dcEdit, "联系人", "", "GroupBox2", 250, {320, 44, 150, 21}},
    {"DHHM", dcEdit, "电  话", "", "GroupBox2", 500, {570, 44, 150, 21}},
    {"YZBM", dcEdit, "邮政编码", "", "GroupBox2", 8, {80, 70, 150, 21}},
    {"EMAIL", dcEdit, "电子邮箱", "", "GroupBox2", 250, {320, 70, 400, 21}},
    {"TXDZ", dcEdit, "通信地址", "", "GroupBox2", 8, {80, 96, 640, 21}},
    {"ZGBM", dcCombo, "项目主管部门", "", "GroupBox2", 8, {100, 122, 240, 21}},
    {"KSNF", dcCombo, "项目起始时间", "", "GroupBox2", 8, {100, 148, 62, 21}},
    {"KSYF", dcCombo, "", "", "GroupBox2", 184, {184, 148, 50, 21}},
    {"JSNF", dcCombo, "项目完成时间", "", "GroupBox2", 300, {392, 148, 62, 21}},
    {"JSYF", dcCombo, "", "", "GroupBox2", 476, {476, 148, 50, 21}},
    // Two to a row, wide enough for the longest form, "新工艺（或新方法、新模式）".
    {"CGXS1", dcCombo, "成果形式1", "", "GroupBox2", 8, {80, 196, 230, 21}},
    {"CGXS2", dcCombo, "成果形式2", "", "GroupBox2", 330, {402, 196, 230, 21}},
    {"CGXS3", dcCombo, "成果形式3", "", "GroupBox2", 8, {80, 222, 230, 21}},
    {"CGXS4", dcCombo, "成果形式4", "", "GroupBox2", 330, {402, 222, 230, 21}},
    {"CGXS5", dcCombo, "成果形式5", "", "GroupBox2", 8, {80, 248, 230, 21}},
    {"CGSP", dcCombo, "成果水平", "", "GroupBox2", 330, {402, 248, 230, 21}},
    {"SQFM", dcCount, "发明", "", "GroupBox3", 110, {170, 18, 60, 21}},
    {"SQSYXX", dcCount, "实用新型", "", "GroupBox3", 260, {320, 18, 60, 21}},
    {"SQWGSJ", dcCount, "外观设计", "", "GroupBox3", 410, {470, 18, 60, 21}},
    {"ZLSQFM", dcCount, "发明", "", "GroupBox3", 110, {170, 44, 60, 21}},
    {"ZLSQSYXX", dcCount, "实用新型", "", "GroupBox3", 260, {320, 44, 60, 21}},
    {"ZLSQWGSJ", dcCount, "外观设计", "", "GroupBox3", 410, {470, 44, 60, 21}},
    {"LWZS", dcCount, "论文总数", "", "GroupBox3", 110, {170, 70, 60, 21}},
    {"SCI", dcCount, "科学引文索引(SCI)", "", "GroupBox3", 260, {380, 70, 60, 21}},
    {"EI", dcCount, "工程索引(EI)", "", "GroupBox3", 470, {560, 70, 60, 21}},
    {"CBKJZZ", dcCount, "出版科技著作 (部)", "", "GroupBox3", 8, {130, 96, 50, 21}},
    {"ZDBZ", dcCount, "制定技术标准(个) ", "", "GroupBox3", 190, {310, 96, 50, 21}},
    {"XCP", dcCount, "新产品 (个)", "", "GroupBox3", 372, {452, 96, 50, 21}},
    {"NYXCP", dcCount, "农业新产品 (个)", "", "GroupBox3", 520, {630, 96, 50, 21}},
    {"JCXZZ", dcCount, "建成新装置(套)", "", "GroupBox3", 8, {130, 122, 50, 21}},
    {"XGY", dcCount, "新工艺 (项)", "", "GroupBox3", 190, {310, 122, 50, 21}},
    {"XMFZRXM1", dcEdit, "第一位", "", "GroupBox4", 8, {56, 36, 84, 21}},
    {"XMFZRXB1", dcCombo, "", "", "GroupBox4", 146, {146, 36, 54, 21}},
    {"XMFZRCSN1", dcEdit, "", "", "GroupBox4", 206, {206, 36, 54, 21}},
    {"XMFZRCSY1", dcEdit, "", "", "GroupBox4", 266, {266, 36, 44, 21}},
    {"XMFZRZY1", dcEdit, "", "", "GroupBox4", 316, {316, 36, 94, 21}},
    {"XMFZRXL1", dcCombo, "", "", "GroupBox4", 416, {416, 36, 84, 21}},
    {"XMFZRZC1", dcCombo, "", "", "GroupBox4", 506, {506, 36, 74, 21}},
    {"XMFZRDH1", dcEdit, "", "", "GroupBox4", 586, {586, 36, 140, 21}},
    {"XMFZRXM2", dcEdit, "第二位", "", "GroupBox4", 8, {56, 64, 84, 21}},
    {"XMFZRXB2", dcCombo, "", "", "GroupBox4", 146, {146, 64, 54, 21}},
    {"XMFZRCSN2", dcEdit, "", "", "GroupBox4", 206, {206, 64, 54, 21}},
    {"XMFZRCSY2", dcEdit, "", "", "GroupBox4", 266, {266, 64, 44, 21}},
    {"XMFZRZY2", dcEdit, "", "", "GroupBox4", 316, {316, 64, 94, 21}},
    {"XMFZRXL2", dcCombo, "", "", "GroupBox4", 416, {416, 64, 84, 21}},
    {"XMFZRZC2", dcCombo, "", "", "GroupBox4", 506, {506, 64, 74, 21}},
    {"XMFZRDH2", dcEdit, "", "", "GroupBox4", 586, {586, 64, 140, 21}},
    {"XMYFRYZS", dcCount, "项目研发人员总数", "", "GroupBox5", 8, {130, 18, 60, 21}},
    {"XMRYBSS", dcCount, "博士", "", "GroupBox5", 8, {80, 46, 60, 21}},
    {"XMRYSSS", dcCount, "硕士", "", "GroupBox5", 150, {222, 46, 60, 21}},
    {"XMRYGJS", dcCount, "高级职称", "", "GroupBox5", 292, {364, 46, 60, 21}},
    {"XMRYZJS", dcCount, "中级职称", "", "GroupBox5", 434, {506, 46, 60, 21}},
    {"XMRYZXYJS", dcCount, "在校研究生", "", "GroupBox5", 576, {648, 46, 60, 21}},
    {"XMZJF", dcCurrency, "项目总经费", "", "GroupBox6", 8, {100, 18, 100, 21}},
    {"GJBK", dcCurrency, "国家拨款", "", "GroupBox6", 8, {108, 46, 100, 21}},
    {"SBK", dcCurrency, "省科技厅拨款", "", "GroupBox6", 248, {348, 46, 100, 21}},
    {"SXBK", dcCurrency, "市县拨款", "", "GroupBox6", 488, {588, 46, 100, 21}},
    {"BMBK", dcCurrency, "部门拨款", "", "GroupBox6", 8, {108, 72, 100, 21}},
    {"ZC", dcCurrency, "自筹(含贷款)", "", "GroupBox6", 248, {348, 72, 100, 21}},
    {"QT", dcCurrency, "其他", "", "GroupBox6", 488, {588, 72, 100, 21}},
    {"XMJFZZC", dcCurrency, "合计", "", "GroupBox7", 8, {50, 18, 100, 21}},
    {"SBGZF", dcCurrency, "1.人员费", "", "GroupBox7", 40, {120, 46, 80, 21}},
    {"NYCLF", dcCurrency, "2.能源材料费", "", "GroupBox7", 216, {296, 46, 80, 21}},
    {"SYWXF", dcCurrency, "3.试验外协费", "", "GroupBox7", 392, {472, 46, 80, 21}},
    {"CLF", dcCurrency, "4.差旅费", "", "GroupBox7", 568, {648, 46, 80, 21}},
    {"JDYSF", dcCurrency, "5.会议费 ", "", "GroupBox7", 40, {120, 72, 80, 21}},
    {"GLF", dcCurrency, "6.管理费", "", "GroupBox7", 216, {296, 72, 80, 21}},
    {"QTFY", dcCurrency, " 7.其他费用", "", "GroupBox7", 392, {472, 72, 80, 21}},
    {"GJZRKXJ0", dcCount, "国家自然科学奖", "", "GroupBox8", 8, {180, 36, 80, 21}},
    {"GJZRKXJ1", dcCount, "", "", "GroupBox8", 280, {280, 36, 80, 21}},
    {"GJZRKXJ2", dcCount, "", "", "GroupBox8", 380, {380, 36, 80, 21}},
    {"GJZRKXJ3", dcCount, "", "", "GroupBox8", 480, {480, 36, 80, 21}},
    {"GJFMJ0", dcCount, "国家发明奖", "", "GroupBox8", 8, {180, 62, 80, 21}},
    {"GJFMJ1", dcCount, "", "", "GroupBox8", 280, {280, 62, 80, 21}},
    {"GJFMJ2", dcCount, "", "", "GroupBox8", 380, {380, 62, 80, 21}},
    {"GJFMJ3", dcCount, "", "", "GroupBox8", 480, {480, 62, 80, 21}},
    {"GJKJJBJ0", dcCount, "国家科技进步奖 ", "", "GroupBox8", 8, {180, 88, 80, 21}},
    {"GJKJJBJ1", dcCount, "", "", "GroupBox8", 280, {280, 88, 80, 21}},
    {"GJKJJBJ2", dcCount, "", "", "GroupBox8", 380, {380, 88, 80, 21}},
    {"GJKJJBJ3", dcCount, "", "", "GroupBox8", 480, {480, 88, 80, 21}},
    {"GJBMKJJBJ0", dcCount, "国家部门科技进步奖", "", "GroupBox8", 8, {180, 114, 80, 21}},
    {"GJBMKJJBJ1", dcCount, "", "", "GroupBox8", 280, {280, 114, 80, 21}},
    {"GJBMKJJBJ2", dcCount, "", "", "GroupBox8", 380, {380, 114, 80, 21}},
    {"GJBMKJJBJ3", dcCount, "", "", "GroupBox8", 480, {480, 114, 80, 21}},
    {"SKJJBJ0", dcCount, "省科技进步奖 ", "", "GroupBox8", 8, {180, 140, 80, 21}},
    {"SKJJBJ1", dcCount, "", "", "GroupBox8", 280, {280, 140, 80, 21}},
    {"SKJJBJ2", dcCount, "", "", "GroupBox8", 380, {380, 140, 80, 21}},
    {"SKJJBJ3", dcCount, "", "", "GroupBox8", 480, {480, 140, 80, 21}},
    {"XZCZHT", dcCurrency, "新增产值 (万元)", "", "GroupBox10", 16, {200, 36, 120, 21}},
    {"XZCZSJ", dcCurrency, "", "", "GroupBox10", 360, {360, 36, 120, 21}},
    {"XZXSEHT", dcCurrency, "新增销售额 (万元) ", "", "GroupBox10", 16, {200, 62, 120, 21}},
    {"XZXSESJ", dcCurrency, "", "", "GroupBox10", 360, {360, 62, 120, 21}},
    {"XZLSHT", dcCurrency, "新增利税 (万元) ", "", "GroupBox10", 16, {200, 88, 120, 21}},
    {"XZLSSJ", dcCurrency, "", "", "GroupBox10", 360, {360, 88, 120, 21}},
    {"XZCKCHTH", dcCurrency, "新增出口创汇 (万美元)", "", "GroupBox10", 16, {200, 114, 120, 21}},
    {"XZCKCHSJ", dcCurrency, "", "", "GroupBox10", 360, {360, 114, 120, 21}},
    {"RWWCQK", dcMemo, "", "", "GroupBox12", 8, {8, 18, 720, 114}},
    {"YSWYHZR", dcEdit, "验收委员会主任", "", "GroupBox13", 8, {110, 18, 150, 21}},
    {"YSWYHFZR", dcEdit, "验收委员会副主任", "", "GroupBox13", 280, {392, 18, 150, 21}},
    {"YSYJ", dcMemo, "", "", "GroupBox13", 8, {8, 46, 720, 136}},
};

const THandCopied HandCopied[] = {
    {"ComboBox1", "DWXZ", UnitKinds},       {"ComboBox2", "DQDM", Districts},       {"ComboBox3", "ZGBM", Bureaus},
    {"ComboBox4", "KSNF", {}},              {"ComboBox5", "KSYF", {}},              {"ComboBox6", "JSNF", {}},
    {"ComboBox7", "JSYF", {}},              {"ComboBox8", "CGXS1", ResultForms},    {"ComboBox9", "CGXS2", ResultForms},
    {"ComboBox10", "CGXS3", ResultForms},   {"ComboBox11", "CGXS4", ResultForms},   {"ComboBox12", "CGXS5", ResultForms},
    {"ComboBox13", "CGSP", ResultLevels},   {"ComboBox14", "XMFZRXB1", Sexes},      {"ComboBox15", "XMFZRXL1", Educations},
    {"ComboBox16", "XMFZRZC1", Titles},     {"ComboBox17", "XMFZRXB2", Sexes},      {"ComboBox18", "XMFZRXL2", Educations},
    {"ComboBox19", "XMFZRZC2", Titles},
};

const char* const StaffParts[] = {"cur_XMRYBSS", "cur_XMRYSSS", "cur_XMRYGJS", "cur_XMRYZJS", "cur_XMRYZXYJS"};
const char* const FundParts[] = {"cur_GJBK", "cur_SBK", "cur_SXBK", "cur_BMBK", "cur_ZC", "cur_QT"};
const char* const SpendingParts[] = {"cur_SBGZF", "cur_NYCLF", "cur_SYWXF", "cur_CLF",
                                     "cur_JDYSF", "cur_GLF",   "cur_QTFY"};

const TDocumentCheck Checks[] = {
    {ckRequired, "edt_YSWH", 0, "请输入验收文号"},
    {ckRequired, "edt_XMBH", 0, "请输入项目编号"},
    {ckRequired, "lkp_JHLBID", 0, "请选择计划类别"},
    {ckRequired, "edt_XMMC", 0, "请输入项目名称"},
    {ckRequired, "edt_CJDW", 0, "请输入参加单位"},
    {ckRequired, "edt_ZZYSBM", 0, "请输入组织验收部门"},
    {ckRequired, "dte_YSRQ", 0, "请输入验收日期"},
    {ckRequired, "dte_TBSJ", 0, "请输入填报日期"},
    {ckMaxBytes, "edt_CJDW", 0, "参加单位超长", nullptr, 200},
    {ckMaxBytes, "edt_ZZYSBM", 0, "组织验收部门超长", nullptr, 200},
    {ckOptionalWhole, "edt_XMFZRCSN1", 1, "输入的第一位项目负责人的出生年不符合要求"},
    {ckOptionalMonth, "edt_XMFZRCSY1", 1, "输入的第一位项目负责人的出生月不符合要求"},
    {ckOptionalWhole, "edt_XMFZRCSN2", 1, "输入的第二位项目负责人的出生年不符合要求"},
    {ckOptionalMonth, "edt_XMFZRCSY2", 1, "输入的第二位项目负责人的出生月不符合要求"},
    {ckUnique, "edt_XMBH", 0, "项目编号已经存在", "select XMBH from KORIM_YSZSBNB where XMBH = ?"},
    {ckUnique, "edt_XMMC", 0, "项目名称已经存在", "select XMMC from KORIM_YSZSBNB where XMMC = ?"},
    {ckSum, "cur_XMYFRYZS", 1, "项目研发人员总数不等于各个分项之和", nullptr, 0, StaffParts},
    {ckAmountSum, "cur_XMZJF", 1, "项目实际到位总经费不等于各个分项之和", nullptr, 0, FundParts},
    {ckAmountSum, "cur_XMJFZZC", 2, "项目经费支出合计不等于各个分项之和", nullptr, 0, SpendingParts},
};

const TSubTableButton SubTables[] = {
    {"BitBtn1", "申请技术指标完成情况", "GroupBox9", {16, 20, 180, 28}, MakeSubTableEditor<TfrmYSJSZB>},
    {"BitBtn2", "申请经济指标完成情况", "GroupBox10", {540, 36, 180, 28}, MakeSubTableEditor<TfrmYSJJZB>},
    {"BitBtn3", "项目主要参加人员名单", "GroupBox14", {16, 20, 180, 28}, MakeSubTableEditor<TfrmYSXMRYB>},
    {"BitBtn4", "申请建设指标完成情况", "GroupBox11", {16, 20, 180, 28}, MakeSubTableEditor<TfrmYSJSHZB>},
    {"BitBtn5", "验收委员会名单", "GroupBox15", {16, 20, 180, 28}, MakeSubTableEditor<TfrmYSWYHRYB>},
};

const std::pair<const char*, const char*> ListColumns[] = {{"XMBH", "项目编号"}, {"XMMC", "项目名称"}};

const TDocumentLayout YszsLayout = {
    .FormName = "frmyszs",
    .Caption = "验收证书",
    .MenuCaption = "验收证书",
    .MenuGroupIndex = 3,
    .MainTable = "KORIM_YSZSBNB",
    .KeyColumn = "NXMLXID",
    .NumberColumn = "XMBH",
    .BaseFolderName = "yszs/",
    .Kind = 3,
    .Pages = Pages,
    .SelectSQL = "select * from KORIM_YSZSBNB order by NXMLXID desc",
    .KeyListSQL = "select NXMLXID from KORIM_YSZSBNB",
    .RefreshReopens = false,
    .HasPlanCategory = true,
    .ChildTables = ChildTables,
    .DateColumns = DateColumns,
    .YearColumns = YearColumns,
    .MonthColumns = MonthColumns,
    .YearBoxes = YearBoxes,
    .MonthBoxes = MonthBoxes,
    .Frames = Frames,
    .Texts = Texts,
    .Fields = Fields,
    .HandCopied = HandCopied,
    .Checks = Checks,
    .SubTables = SubTables,
    .ListColumns = ListColumns,
};

} // namespace

Tfrmyszs::Tfrmyszs(TComponent* AOwner) : TfrmDocument(AOwner, YszsLayout) {}
