// The mid-term check table: its layout tables (frames, fields, hand-copied
// controls, save checks) and its progress controls.
#include "documents/Zqjcb.h"

#include "editors/CheckEdit.h"
#include "platform/data/ADODB.h"
#include "platform/ui/StdCtrls.h"

Tfrmzqjcb* frmzqjcb = nullptr;

namespace {

const char* const Pages[] = {"第一页", "第二页", "第三页"};
const char* const YearBoxes[] = {"ComboBox1", "ComboBox2"};
const char* const YearColumns[] = {"XMKSN", "XMJSN"};
const char* const DelayBoxes[] = {"cvCheckEdit1", "cvCheckEdit2", "cvCheckEdit3",
                                  "cvCheckEdit4", "cvCheckEdit5", "cvCheckEdit6"};

const TDocumentFrame Frames[] = {
    {"GroupBox1", "一、项目资金落实与使用情况（经费单位：万元）", "TabSheet1", {8, 112, 736, 162}},
    {"GroupBox2", "二、参加项目研究工作人员情况：", "TabSheet1", {8, 280, 736, 104}},
    {"GroupBox3", "三、项目按合同计划进度情况：", "TabSheet1", {8, 390, 736, 124}},
    {"GroupBox4", "四、项目已取得的主要成果情况：", "TabSheet2", {8, 8, 736, 164}},
    {"GroupBox5", "五、项目实施中已取得效益情况：", "TabSheet2", {8, 232, 736, 104}},
    {"GroupBox6", "六、项目实施中存在的主要问题及解决方案：(限300字) ", "TabSheet2", {8, 342, 736, 172}},
    {"GroupBox7", "七、主管部门意见：(主要对项目是否按合同执行、填写情况是否属实作出评价，限100字)", "TabSheet3",
     {8, 8, 736, 160}},
    {"GroupBox8", "填写说明：", "TabSheet3", {8, 176, 736, 100}},
};

const TDocumentText Texts[] = {
    {"加＊号为必输项,金额和数字默认值为零", "TabSheet1", {8, 8, 400, 13}},
    {"从", "TabSheet1", {270, 32, 16, 13}},
    {"年", "TabSheet1", {352, 32, 16, 13}},
    {"至", "TabSheet1", {372, 32, 16, 13}},
    {"年 ＊", "TabSheet1", {454, 32, 40, 13}},
    {"总经费", "GroupBox1", {130, 18, 100, 13}},
    {"其中：", "GroupBox1", {240, 18, 40, 13}},
    {"自筹", "GroupBox1", {290, 18, 100, 13}},
    {"省科技厅拨款", "GroupBox1", {400, 18, 100, 13}},
    {"主管部门配套", "GroupBox1", {510, 18, 100, 13}},
    {"其他", "GroupBox1", {620, 18, 100, 13}},
    {"省科技厅拨款经费使用情况：", "GroupBox1", {8, 88, 200, 13}},
    {"其中", "GroupBox2", {8, 50, 30, 13}},
    {"月 (*)", "GroupBox2", {256, 80, 60, 13}},
    {"项目进度情况：", "GroupBox3", {8, 22, 100, 13}},
    {"项目进度滞后的，请选择以下原因（可多选）：", "GroupBox3", {8, 48, 320, 13}},
    {"项目实施中如列入国家科技计划，请填写：", "TabSheet2", {8, 180, 320, 13}},
    {"万元", "TabSheet2", {650, 204, 30, 13}},
    {"1.金额单位为万元，可填到小数点后四位；人数、项数等填整数。", "GroupBox8", {16, 24, 600, 13}},
    {"2.带＊号的项目必须填写，其余未填的金额和数字按零保存。", "GroupBox8", {16, 48, 600, 13}},
};

// Rows of the funds group: five columns of amounts, then the eight uses.
constexpr int Funds(int Column) {
    return 130 + Column * 110;
}

const TFieldRow Fields[] = {
    {"VXMBH", dcEdit, "项目编号＊", "TabSheet1", "", 8, {80, 28, 170, 21}},
    {"XMKSN", dcCombo, "起止年限", "TabSheet1", "", 200, {288, 28, 62, 21}},
    {"XMJSN", dcCombo, "", "TabSheet1", "", 390, {390, 28, 62, 21}},
    {"XMMC", dcEdit, "项目名称＊", "TabSheet1", "", 8, {80, 56, 600, 21}},
    {"DWMC", dcEdit, "承担单位＊", "TabSheet1", "", 8, {80, 84, 600, 21}},

    {"XMZJFYS", dcCurrency, "预算总额（按合同）", "", "GroupBox1", 8, {Funds(0), 34, 100, 21}},
    {"ZCYS", dcCurrency, "", "", "GroupBox1", Funds(1), {Funds(1), 34, 100, 21}},
    {"SBKYS", dcCurrency, "", "", "GroupBox1", Funds(2), {Funds(2), 34, 100, 21}},
    {"BMPPYS", dcCurrency, "", "", "GroupBox1", Funds(3), {Funds(3), 34, 100, 21}},
    {"QTYS", dcCurrency, "", "", "GroupBox1", Funds(4), {Funds(4), 34, 100, 21}},
    {"YLSZJF", dcCurrency, "已落实数 ", "", "GroupBox1", 8, {Funds(0), 60, 100, 21}},
    {"YLSZCJF", dcCurrency, "", "", "GroupBox1", Funds(1), {Funds(1), 60, 100, 21}},
    {"YLSSBKJF", dcCurrency, "", "", "GroupBox1", Funds(2), {Funds(2), 60, 100, 21}},
    {"YLSBMPPJF", dcCurrency, "", "", "GroupBox1", Funds(3), {Funds(3), 60, 100, 21}},
    {"YLSBMQTJF", dcCurrency, "", "", "GroupBox1", Funds(4), {Funds(4), 60, 100, 21}},
    {"RYF", dcCurrency, "人员费", "", "GroupBox1", 8, {70, 106, 100, 21}},
    {"SBGZJF", dcCurrency, "设备费", "", "GroupBox1", 190, {252, 106, 100, 21}},
    {"NYCLJF", dcCurrency, "能源材料", "", "GroupBox1", 372, {434, 106, 100, 21}},
    {"SYWXJF", dcCurrency, "试验外协", "", "GroupBox1", 554, {616, 106, 100, 21}},
    {"ZLHYSJF", dcCurrency, "差旅费", "", "GroupBox1", 8, {70, 132, 100, 21}},
    {"ZLJF", dcCurrency, "会议费", "", "GroupBox1", 190, {252, 132, 100, 21}},
    {"JDJF", dcCurrency, "管理费", "", "GroupBox1", 372, {434, 132, 100, 21}},
    {"QTJF", dcCurrency, "其他", "", "GroupBox1", 554, {616, 132, 100, 21}},

    {"XMYJRYZS", dcCount, "项目研究人员总数（人）", "", "GroupBox2", 8, {160, 20, 60, 21}},
    {"GJZCRS", dcCount, "高级职称", "", "GroupBox2", 40, {100, 46, 50, 21}},
    {"ZJZCRS", dcCount, "中级职称", "", "GroupBox2", 156, {216, 46, 50, 21}},
    {"BSRS", dcCount, "博士", "", "GroupBox2", 272, {306, 46, 50, 21}},
    {"SSRS", dcCount, "硕士", "", "GroupBox2", 362, {396, 46, 50, 21}},
    {"ZXYJSRS", dcCount, "在校研究生", "", "GroupBox2", 452, {524, 46, 50, 21}},
    {"LXGGRS", dcCount, "留学归国人员", "", "GroupBox2", 580, {664, 46, 50, 21}},
    {"XMFZRWXMGZSJ", dcEdit, "项目负责人全年为该项目工作时间：", "", "GroupBox2", 8, {210, 76, 40, 21}},

    {"JDZHYY1", dcCheck, "1.技术变化", "", "GroupBox3", 0, {16, 66, 200, 21}},
    {"JDZHYY2", dcCheck, "2.市场变化", "", "GroupBox3", 0, {226, 66, 200, 21}},
    {"JDZHYY3", dcCheck, "3.经费不落实", "", "GroupBox3", 0, {436, 66, 200, 21}},
    {"JDZHYY4", dcCheck, "4.项目负责人或技术骨干变动", "", "GroupBox3", 0, {16, 92, 200, 21}},
    {"JDZHYY5", dcCheck, "5.协作关系影响", "", "GroupBox3", 0, {226, 92, 200, 21}},
    {"JDZHYY6", dcCheck, "6.其他", "", "GroupBox3", 0, {436, 92, 200, 21}},

    {"HGJJJ", dcCount, "获国家级奖(项)", "", "GroupBox4", 8, {124, 20, 50, 21}},
    {"HSBJJ", dcCount, "获省部级奖(项)", "", "GroupBox4", 190, {306, 20, 50, 21}},
    {"ZLSQS", dcCount, "专利申请数(项)", "", "GroupBox4", 372, {488, 20, 50, 21}},
    {"FMZLSQS", dcCount, "其中：发明专利", "", "GroupBox4", 554, {670, 20, 50, 21}},
    {"ZLSQ", dcCount, "专利授权数(项)", "", "GroupBox4", 8, {124, 48, 50, 21}},
    {"FMZLSQ", dcCount, "其中：发明专利", "", "GroupBox4", 190, {306, 48, 50, 21}},
    {"FBLWS", dcCount, "在核心期刊发表论文数（篇）", "", "GroupBox4", 372, {572, 48, 50, 21}},
    {"SCIS", dcCount, "其中：SCI", "", "GroupBox4", 8, {124, 76, 50, 21}},
    {"EIS", dcCount, "其中：EI", "", "GroupBox4", 190, {306, 76, 50, 21}},
    {"HQJSBZ", dcCount, "获取技术标准（件）", "", "GroupBox4", 372, {488, 76, 50, 21}},
    {"HQGJBZ", dcCount, "其中：国家标准", "", "GroupBox4", 554, {670, 76, 50, 21}},
    {"CBZZ", dcCount, "出版专著（部）", "", "GroupBox4", 8, {124, 104, 50, 21}},
    {"XCP", dcCount, "新产品（个）", "", "GroupBox4", 190, {306, 104, 50, 21}},
    {"NYXPZ", dcCount, "农业新品种（个）", "", "GroupBox4", 372, {488, 104, 50, 21}},
    {"JCXZZ", dcCount, "建成新装置（套）", "", "GroupBox4", 554, {670, 104, 50, 21}},
    {"XGY", dcCount, "新工艺（项）", "", "GroupBox4", 8, {124, 132, 50, 21}},

    {"LRGJKJJHLB", dcEdit, "列入国家科技计划类别：", "TabSheet2", "", 8, {160, 200, 300, 21}},
    {"HGJBK", dcCurrency, "获国家拨款：", "TabSheet2", "", 470, {548, 200, 100, 21}},

    {"XZCZ", dcCurrency, "1.新增产值（万元）", "", "GroupBox5", 8, {154, 20, 80, 21}},
    {"XZLR", dcCurrency, "2.新增利润（万元）", "", "GroupBox5", 252, {398, 20, 80, 21}},
    {"XZSJ", dcCurrency, "3.新增税金（万元）", "", "GroupBox5", 496, {642, 20, 80, 21}},
    {"CKCH", dcCurrency, "4.出口创汇（万美元）", "", "GroupBox5", 8, {154, 46, 80, 21}},
    {"GCHCG", dcCount, "5.工程化成果（项）", "", "GroupBox5", 252, {398, 46, 80, 21}},
    {"FSTGQY", dcCount, "6.辐射推广企业（家）", "", "GroupBox5", 496, {642, 46, 80, 21}},
    {"SFTGMJ", dcCurrency, "7.示范推广面积（万亩）", "", "GroupBox5", 8, {154, 72, 80, 21}},
    {"FWSR", dcCurrency, "8.服务收入（万元）", "", "GroupBox5", 252, {398, 72, 80, 21}},

    {"WTJJJFA", dcMemo, "", "", "GroupBox6", 8, {8, 18, 720, 146}},
    {"ZGBMYJ", dcMemo, "", "", "GroupBox7", 8, {8, 18, 720, 134}},
};

const THandCopied HandCopied[] = {
    {"ComboBox1", "XMKSN", {}},        {"ComboBox2", "XMJSN", {}},        {"cvCheckEdit1", "JDZHYY1", {}},
    {"cvCheckEdit2", "JDZHYY2", {}},   {"cvCheckEdit3", "JDZHYY3", {}},   {"cvCheckEdit4", "JDZHYY4", {}},
    {"cvCheckEdit5", "JDZHYY5", {}},   {"cvCheckEdit6", "JDZHYY6", {}},
};

const char* const StaffParts[] = {"cur_GJZCRS", "cur_ZJZCRS", "cur_BSRS", "cur_SSRS", "cur_ZXYJSRS", "cur_LXGGRS"};

const TDocumentCheck Checks[] = {
    {ckRequired, "edt_VXMBH", 0, "请输入项目编号"},
    {ckRequired, "ComboBox1", 0, "请输入项目开始年"},
    {ckRequired, "ComboBox2", 0, "请输入项目结束年"},
    {ckRequired, "edt_XMMC", 0, "请输入项目名称"},
    {ckRequired, "edt_DWMC", 0, "请输入项目承担单位"},
    {ckRequired, "edt_XMFZRWXMGZSJ", 0, "请输入项目负责人全年为该项目工作时间"},
    {ckWholeNumber, "edt_XMFZRWXMGZSJ", 0, "输入的项目负责人全年为该项目工作时间不符合要求"},
    {ckMaxBytes, "mem_WTJJJFA", 1, "项目实施中存在的主要问题及解决方案超长", nullptr, 600},
    {ckMaxBytes, "mem_ZGBMYJ", 2, "主管部门意见超长", nullptr, 200},
    {ckUnique, "edt_VXMBH", 0, "项目编号已经存在", "select VXMBH from KORIM_NWZQJCB where VXMBH = ?"},
    {ckUnique, "edt_XMMC", 0, "项目名称已经存在", "select XMMC from KORIM_NWZQJCB where XMMC = ?"},
    {ckSum, "cur_XMYJRYZS", 0, "项目研究人员总数不等于各个分项之和", nullptr, 0, StaffParts},
};

const std::pair<const char*, const char*> ListColumns[] = {{"VXMBH", "项目编号"}, {"XMMC", "项目名称"}};

const TDocumentLayout ZqjcbLayout = {
    .FormName = "frmzqjcb",
    .Caption = "中期检查表",
    .MenuCaption = "中期检查表",
    .MenuGroupIndex = 1,
    .MainTable = "KORIM_NWZQJCB",
    .KeyColumn = "ZQJCBID",
    .NumberColumn = "VXMBH",
    .BaseFolderName = "zqjcb/",
    .Kind = 1,
    .Pages = Pages,
    .SelectSQL = "select * from KORIM_NWZQJCB order by ZQJCBID desc",
    .KeyListSQL = "select NXMLXID from KORIM_NWZQJCB",
    .RefreshReopens = true,
    .HasPlanCategory = false,
    .ChildTables = {},
    .DateColumns = {},
    .YearColumns = YearColumns,
    .MonthColumns = {},
    .YearBoxes = YearBoxes,
    .MonthBoxes = {},
    .Frames = Frames,
    .Texts = Texts,
    .Fields = Fields,
    .HandCopied = HandCopied,
    .Checks = Checks,
    .SubTables = {},
    .ListColumns = ListColumns,
};

} // namespace

Tfrmzqjcb::Tfrmzqjcb(TComponent* AOwner) : TfrmDocument(AOwner, ZqjcbLayout) {
    // Made after the form has loaded, so no second loading bracket runs
    // Loaded again on the list and the editors.
    auto* group = Named("GroupBox3");
    const std::pair<TRadioButton**, const char*> radios[] = {
        {&RadioButton1, "1.进度超前"}, {&RadioButton2, "2.按计划进行"}, {&RadioButton3, "3.进度滞后"}};
    int left = 110;
    int number = 1;
    for (const auto& [radio, caption] : radios) {
        *radio = new TRadioButton(this);
        (*radio)->SetName("RadioButton" + std::to_string(number++));
        (*radio)->SetParent(group);
        (*radio)->SetBounds(left, 18, 110, 21);
        (*radio)->SetCaption(caption);
        (*radio)->SetEnabled(false);
        (*radio)->OnClick = [this](TObject* Sender) { RadioButtonClick(Sender); };
        left += 120;
    }
}

void Tfrmzqjcb::RadioButtonClick(TObject*) {
    const bool editing = ADODataSet1->State() == dsInsert || ADODataSet1->State() == dsEdit;
    // The ticks stay when another button is chosen; they are saved as they are.
    for (const char* name : DelayBoxes)
        Named<TcvCheckEdit>(name)->SetReadOnly(!(editing && RadioButton3->Checked()));
}

void Tfrmzqjcb::LoadOwnControls() {
    const std::string progress = ADODataSet1->FieldByName("XMJD")->AsString();
    TRadioButton* checked = progress == "1" ? RadioButton1 : progress == "3" ? RadioButton3 : RadioButton2;
    checked->SetChecked(true);
}

void Tfrmzqjcb::SaveOwnControls() {
    const std::pair<TRadioButton*, const char*> values[] = {{RadioButton1, "1"}, {RadioButton2, "2"}, {RadioButton3, "3"}};
    for (const auto& [radio, value] : values)
        if (radio->Checked()) ADODataSet1->FieldByName("XMJD")->SetAsString(value);
}

void Tfrmzqjcb::OwnStateChanged(bool Editing) {
    for (TRadioButton* radio : {RadioButton1, RadioButton2, RadioButton3})
        radio->SetEnabled(Editing);
    RadioButtonClick(nullptr);
}
