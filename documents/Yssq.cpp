// The acceptance application: its layout tables (frames, fields, lists,
// approval boxes, save checks, child tables and sub-table buttons).
#include "documents/Yssq.h"

#include "documents/SubTableBase.h"

Tfrmyssq* frmyssq = nullptr;

namespace {

const char* const Pages[] = {"第一页", "第二页", "第三页"};
const char* const YearBoxes[] = {"ComboBox2", "ComboBox4"};
const char* const MonthBoxes[] = {"ComboBox3", "ComboBox5"};
const char* const DateColumns[] = {"SQYSRQ"};
const char* const YearColumns[] = {"KSNF", "JSNF"};
const char* const MonthColumns[] = {"KSYF", "JSYF"};
const char* const ChildTables[] = {"KORIM_SQJJZBNB", "KORIM_SQJSHZBNB", "KORIM_SQJSZBNB", "KORIM_SQZYCJDWNB"};
const char* const UnitKinds[] = {"大专院校", "科研院所", "企业", "其他"};

const TDocumentFrame Frames[] = {
    {"GroupBox1", "申请验收单位", "TabSheet1", {8, 68, 736, 130}},
    {"GroupBox2", "主要研究内容与任务完成情况", "TabSheet1", {8, 292, 736, 220}},
    {"GroupBox3", "主要技术指标完成情况", "TabSheet2", {8, 8, 736, 56}},
    {"GroupBox4", "经济指标", "TabSheet2", {8, 70, 736, 190}},
    {"GroupBox5", "主要建设任务完成情况", "TabSheet2", {8, 266, 736, 56}},
    {"GroupBox6", "项目主要参加单位", "TabSheet2", {8, 328, 736, 56}},
};

const TDocumentText Texts[] = {
    {"年", "TabSheet1", {376, 210, 16, 13}},       {"月", "TabSheet1", {446, 210, 16, 13}},
    {"年", "TabSheet1", {650, 210, 16, 13}},       {"月", "TabSheet1", {720, 210, 16, 13}},
    {"经济指标名称", "GroupBox4", {16, 18, 160, 13}}, {"合同经济指标", "GroupBox4", {200, 18, 120, 13}},
    {"经济指标实际完成情况", "GroupBox4", {360, 18, 160, 13}},
};

const TFieldRow Fields[] = {
    {"XMBH", dcEdit, "项目编号＊", "TabSheet1", "", 8, {80, 12, 170, 21}},
    {"JHLBID", dcLookup, "计划类别＊", "TabSheet1", "", 270, {340, 12, 240, 21}},
    {"XMMC", dcEdit, "项目名称＊", "TabSheet1", "", 8, {80, 40, 600, 21}},
    {"SQYSDW", dcEdit, "单位名称＊", "", "GroupBox1", 8, {80, 20, 640, 21}},
    {"TXDZ", dcEdit, "通信地址＊", "", "GroupBox1", 8, {80, 46, 640, 21}},
    {"LXR", dcEdit, "联系人＊", "", "GroupBox1", 8, {80, 72, 150, 21}},
    {"DHHM", dcEdit, "联系电话＊", "", "GroupBox1", 250, {320, 72, 150, 21}},
    {"YZBM", dcEdit, "邮政编码", "", "GroupBox1", 500, {570, 72, 150, 21}},
    {"EMAIL", dcEdit, "电子邮箱", "", "GroupBox1", 8, {80, 98, 300, 21}},
    {"DWXZ", dcCombo, "单位性质", "", "GroupBox1", 400, {470, 98, 120, 21}},
    {"SQYSRQ", dcDate, "申请日期＊", "TabSheet1", "", 8, {80, 206, 110, 21}},
    {"KSNF", dcCombo, "项目起始时间", "TabSheet1", "", 206, {310, 206, 62, 21}},
    {"KSYF", dcCombo, "", "TabSheet1", "", 394, {394, 206, 50, 21}},
    {"JSNF", dcCombo, "项目计划完成时间", "TabSheet1", "", 470, {584, 206, 62, 21}},
    {"JSYF", dcCombo, "", "TabSheet1", "", 668, {668, 206, 50, 21}},
    {"YSXS", dcEdit, "验收形式", "TabSheet1", "", 8, {80, 234, 230, 21}},
    {"YSSJ", dcEdit, "计划验收时间", "TabSheet1", "", 330, {420, 234, 260, 21}},
    {"YSDD", dcEdit, "验收地点", "TabSheet1", "", 8, {80, 262, 600, 21}},
    {"RWWCQK", dcMemo, "", "", "GroupBox2", 8, {8, 18, 720, 194}},

    {"XZCZHT", dcCurrency, "新增产值(万元)", "", "GroupBox4", 16, {200, 38, 120, 21}},
    {"XZCZSJ", dcCurrency, "", "", "GroupBox4", 360, {360, 38, 120, 21}},
    {"XZXSEHT", dcCurrency, "新增销售额(万元)", "", "GroupBox4", 16, {200, 64, 120, 21}},
    {"XZXSESJ", dcCurrency, "", "", "GroupBox4", 360, {360, 64, 120, 21}},
    {"XZLSHT", dcCurrency, "新增利税(万元)", "", "GroupBox4", 16, {200, 90, 120, 21}},
    {"XZLSSJ", dcCurrency, "", "", "GroupBox4", 360, {360, 90, 120, 21}},
    {"XZCKCHTH", dcCurrency, "新增出口创汇(万美元)", "", "GroupBox4", 16, {200, 116, 120, 21}},
    {"XZCKCHSJ", dcCurrency, "", "", "GroupBox4", 360, {360, 116, 120, 21}},

    {"YSZLML", dcMemo, "验收文件和资料目录", "TabSheet3", "", 8, {130, 8, 610, 100}},
    {"ZGBMSFTY", dcCheck, "主管部门是否同意", "TabSheet3", "", 0, {8, 116, 200, 21}},
    {"ZGBMYJ", dcMemo, "主管部门意见", "TabSheet3", "", 8, {130, 142, 610, 80}},
    {"CSSFTY", dcCheck, "主管处室是否同意", "TabSheet3", "", 0, {8, 230, 200, 21}},
    {"CSYJ", dcMemo, "主管处室意见 ", "TabSheet3", "", 8, {130, 256, 610, 80}},
    {"JHCSFTY", dcCheck, "计划处是否同意 ", "TabSheet3", "", 0, {8, 344, 200, 21}},
    {"JHCYJ", dcMemo, "计划处意见", "TabSheet3", "", 8, {130, 370, 610, 80}},
};

const THandCopied HandCopied[] = {
    {"ComboBox1", "DWXZ", UnitKinds}, {"ComboBox2", "KSNF", {}},          {"ComboBox3", "KSYF", {}},
    {"ComboBox4", "JSNF", {}},        {"ComboBox5", "JSYF", {}},          {"cvCheckEdit1", "ZGBMSFTY", {}},
    {"cvCheckEdit2", "CSSFTY", {}},   {"cvCheckEdit3", "JHCSFTY", {}},
};

const TDocumentCheck Checks[] = {
    {ckRequired, "edt_XMBH", 0, "请输入项目编号"},
    {ckRequired, "lkp_JHLBID", 0, "请选择计划类别"},
    {ckRequired, "edt_XMMC", 0, "请输入项目名称"},
    {ckRequired, "edt_SQYSDW", 0, "请输入单位名称"},
    {ckRequired, "edt_TXDZ", 0, "请输入通讯地址"},
    {ckRequired, "edt_LXR", 0, "请输入联系人"},
    {ckRequired, "edt_DHHM", 0, "请输入联系电话"},
    {ckRequired, "dte_SQYSRQ", 0, "请输入申请日期"},
    {ckUnique, "edt_XMBH", 0, "项目编号已经存在", "select XMBH from KORIM_YSSQNB where XMBH = ?"},
    {ckUnique, "edt_XMMC", 0, "项目名称已经存在", "select XMMC from KORIM_YSSQNB where XMMC = ?"},
};

const TSubTableButton SubTables[] = {
    {"BitBtn1", "申请技术指标完成情况", "GroupBox3", {16, 20, 180, 28}, MakeSubTableEditor<TfrmSQJSZB>},
    {"BitBtn2", "申请经济指标完成情况", "GroupBox4", {16, 150, 180, 28}, MakeSubTableEditor<TfrmSQJJZB>},
    {"BitBtn3", "申请主要参加单位", "GroupBox6", {16, 20, 180, 28}, MakeSubTableEditor<TfrmSQZYCJDW>},
    {"BitBtn4", "申请建设指标完成情况", "GroupBox5", {16, 20, 180, 28}, MakeSubTableEditor<TfrmSQJSHZB>},
};

const std::pair<const char*, const char*> ListColumns[] = {{"XMBH", "项目编号"}, {"XMMC", "项目名称"}};

const TDocumentLayout YssqLayout = {
    .FormName = "frmyssq",
    .Caption = "验收申请表",
    .MenuCaption = "验收申请",
    .MenuGroupIndex = 2,
    .MainTable = "KORIM_YSSQNB",
    .KeyColumn = "NXMLXID",
    .NumberColumn = "XMBH",
    .BaseFolderName = "yssq/",
    .Kind = 2,
    .Pages = Pages,
    .SelectSQL = "select * from KORIM_YSSQNB order by NXMLXID desc",
    .KeyListSQL = "select NXMLXID from KORIM_YSSQNB",
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

Tfrmyssq::Tfrmyssq(TComponent* AOwner) : TfrmDocument(AOwner, YssqLayout) {}
