// The tables of the project application window's pages. Positions are in
// the client area of the page or group a row names; rows 26 pixels apart.
#include "documents/RequestFields.h"

#include <string>

namespace {

const TRequestFrame Frames[] = {
    {"GroupBox1", "项目概况", "TabSheet1", {8, 4, 880, 128}},
    {"GroupBox2", "项目申报单位概况", "TabSheet1", {8, 136, 880, 364}},
    {"GroupBox_qyxz", "企业性质（最多选三项）", "GroupBox2", {8, 44, 864, 62}},
    {"GroupBox10", "单位所在区域（最多选三项）", "GroupBox2", {8, 138, 864, 84}},
    {"GroupBox3", "单位负责人信息", "GroupBox2", {8, 280, 428, 76}},
    {"GroupBox4", "项目联系人信息", "GroupBox2", {444, 280, 428, 76}},
    {"GroupBox6", "预期成果（最多选四项）", "TabSheet2", {8, 194, 880, 84}},
    {"GroupBox7", "预期知识产权状况", "TabSheet2", {8, 284, 880, 100}},
    {"GroupBox16", "预期经济效益：", "TabSheet2", {8, 390, 880, 50}},
    {"gpb_firstinfo", "第一项目负责人信息", "TabSheet3", {8, 4, 880, 76}},
    {"gpb_secondinfo", "第二项目负责人信息", "TabSheet3", {8, 84, 880, 76}},
    {"gpb_xmreny", "项目人员状况", "TabSheet3", {8, 164, 880, 76}},
    {"gpb_xmqwork", "项目前期工作基础", "TabSheet3", {8, 244, 880, 76}},
    {"gpb_xmjf", "项目经费", "TabSheet3", {8, 324, 880, 76}},
    {"GroupBox8", "国内参加单位情况", "TabSheet4", {8, 4, 880, 102}},
    {"GroupBox9", "境外合作单位情况", "TabSheet4", {8, 110, 880, 102}},
    {"GroupBox11", "", "GroupBox9", {170, 40, 702, 40}},
    {"gpb_cddwjcxy", "承担单位技术基础与效益情况", "TabSheet4", {8, 216, 880, 130}},
};

// Labels are those of the form before FormCreate relabels some of them.
const TRequestField Fields[] = {
    // page 0: the project
    {{"XMMC", fkText, "项目名称：", "", "GroupBox1", 10, {80, 18, 500, 21}}, 120},
    {{"SBNF", fkYear, "申报年度：", "", "GroupBox1", 600, {670, 18, 80, 21}}, 0},
    {{"JHLBDM", fkTextCode, "计划类别：", "", "GroupBox1", 10, {80, 44, 200, 21}}, 0},
    {{"ZNDM", fkDigitsText, "指南代码：", "", "GroupBox1", 300, {370, 44, 100, 21}}, 6},
    {{"ZGBMDM", fkTextCode, "主管部门：", "", "GroupBox1", 490, {560, 44, 200, 21}}, 0},
    {{"JSLYDM", fkTextCode, "技术领域：", "", "GroupBox1", 10, {80, 70, 200, 21}}, 0},
    {{"JSLYDM_other", fkTextCode, "细分", "", "GroupBox1", 295, {330, 70, 250, 21}}, 0},
    {{"XKLYDM", fkTextCode, "学科领域：", "", "GroupBox1", 600, {670, 70, 200, 21}}, 0},
    {{"prjstart", fkYearMonth, "项目时间：", "", "GroupBox1", 450, {520, 96, 100, 21}}, 0},
    {{"prjend", fkYearMonth, "到", "", "GroupBox1", 625, {650, 96, 100, 21}}, 0},
    // page 0: the applicant unit
    {{"DWMC", fkText, "单位名称：", "", "GroupBox2", 10, {80, 18, 420, 21}}, 120},
    {{"DWLB", fkNumberCode, "单位类型：", "", "GroupBox2", 520, {590, 18, 180, 21}}, 0},
    {{"ZJJGLB", fkNumberCode, "中介机构类型：", "", "GroupBox2", 10, {100, 112, 180, 21}}, 0},
    {{"YTLX", fkNumberCode, "依托单位类型：", "", "GroupBox2", 300, {390, 112, 220, 21}}, 0},
    {{"HTTP", fkText, "网址：", "", "GroupBox2", 10, {80, 228, 250, 21}}, 60},
    {{"DWSZSDM", fkNumberCode, "单位地址", "", "GroupBox2", 360, {420, 228, 120, 21}}, 0},
    {{"DWSZXQDM", fkNumberCode, "", "", "GroupBox2", 545, {545, 228, 140, 21}}, 0},
    {{"DWDZ", fkText, "通讯地址：", "", "GroupBox2", 10, {80, 254, 420, 21}}, 160},
    {{"YZBM", fkDigitsText, "邮政编码：", "", "GroupBox2", 520, {590, 254, 100, 21}}, 6},
    {{"DWFZR", fkText, "姓名：", "", "GroupBox3", 10, {50, 18, 120, 21}}, 20},
    {{"DWFZRZWZC", fkText, "职务：", "", "GroupBox3", 180, {250, 18, 170, 21}}, 20},
    {{"DWFZRLXDH", fkDigitsText, "联系电话：", "", "GroupBox3", 10, {80, 44, 200, 21}}, 36},
    {{"XMLXRXM", fkText, "姓名：", "", "GroupBox4", 10, {50, 18, 120, 21}}, 20},
    {{"LXRE_MAIL", fkText, "邮件：", "", "GroupBox4", 180, {250, 18, 170, 21}}, 60},
    {{"LXRDH", fkDigitsText, "联系电话：", "", "GroupBox4", 10, {80, 44, 200, 21}}, 36},
    // page 1
    {{"ZYYJNR", fkMemo, "主要研究内容：", "TabSheet2", "", 8, {130, 8, 750, 150}}, 600},
    {{"ZTC1", fkText, "主题词：", "TabSheet2", "", 8, {130, 166, 150, 21}}, 20},
    {{"ZTC2", fkText, "", "TabSheet2", "", 290, {290, 166, 150, 21}}, 20},
    {{"ZTC3", fkText, "", "TabSheet2", "", 450, {450, 166, 150, 21}}, 20},
    {{"ZLSQFM", fkDigits, "申请发明专利数：", "", "GroupBox7", 10, {130, 18, 80, 21}}, 3},
    {{"ZLSQSYXX", fkDigits, "申请实用新型数：", "", "GroupBox7", 300, {420, 18, 80, 21}}, 3},
    {{"ZLSQWGSJ", fkDigits, "申请外观设计数：", "", "GroupBox7", 590, {710, 18, 80, 21}}, 3},
    {{"ZLSQFMS", fkDigits, "授权发明专利数：", "", "GroupBox7", 10, {130, 44, 80, 21}}, 3},
    {{"ZLSQSYXXS", fkDigits, "授权实用新型数：", "", "GroupBox7", 300, {420, 44, 80, 21}}, 3},
    {{"ZLSQWGSJS", fkDigits, "授权外观设计数：", "", "GroupBox7", 590, {710, 44, 80, 21}}, 3},
    {{"RJZZQ", fkDigits, "软件著作权数：", "", "GroupBox7", 10, {130, 70, 80, 21}}, 3},
    {{"YQNXZCZ", fkAmount, "年新增产值（万元）：", "", "GroupBox16", 10, {150, 18, 100, 21}}, 12},
    {{"YQNXZLS", fkAmount, "年新增利税（万元）：", "", "GroupBox16", 300, {440, 18, 100, 21}}, 12},
    {{"YQNCKCH", fkAmount, "年出口创汇（万美元）：", "", "GroupBox16", 590, {740, 18, 100, 21}}, 12},
    // page 2
    {{"XMFZRXM1", fkText, "姓名：", "", "gpb_firstinfo", 10, {60, 18, 120, 21}}, 20},
    {{"XMFZRXB1", fkNumberCode, "性别：", "", "gpb_firstinfo", 200, {240, 18, 70, 21}}, 0},
    {{"XMFZRCSN1", fkYear, "出生年：", "", "gpb_firstinfo", 330, {390, 18, 80, 21}}, 0},
    {{"XMFZRXL1", fkNumberCode, "学历：", "", "gpb_firstinfo", 490, {530, 18, 90, 21}}, 0},
    {{"XMFZRXW1", fkNumberCode, "学位：", "", "gpb_firstinfo", 640, {680, 18, 90, 21}}, 0},
    {{"XMFZRZC1", fkNumberCode, "职称：", "", "gpb_firstinfo", 10, {60, 44, 120, 21}}, 0},
    {{"XMFZRLXDH1", fkDigitsText, "联系电话：", "", "gpb_firstinfo", 200, {270, 44, 200, 21}}, 30},
    {{"XMFZRXM2", fkText, "姓名：", "", "gpb_secondinfo", 10, {60, 18, 120, 21}}, 20},
    {{"XMFZRXB2", fkNumberCode, "性别：", "", "gpb_secondinfo", 200, {240, 18, 70, 21}}, 0},
    {{"XMFZRCSN2", fkYear, "出生年：", "", "gpb_secondinfo", 330, {390, 18, 80, 21}}, 0},
    {{"XMFZRXL2", fkNumberCode, "学历：", "", "gpb_secondinfo", 490, {530, 18, 90, 21}}, 0},
    {{"XMFZRXW2", fkNumberCode, "学位：", "", "gpb_secondinfo", 640, {680, 18, 90, 21}}, 0},
    {{"XMFZRZC2", fkNumberCode, "职称：", "", "gpb_secondinfo", 10, {60, 44, 120, 21}}, 0},
    {{"XMFZRLXDH2", fkDigitsText, "联系电话：", "", "gpb_secondinfo", 200, {270, 44, 200, 21}}, 30},
    {{"XMRYZS", fkDigits, "项目人员总数：", "", "gpb_xmreny", 10, {140, 18, 100, 21}}, 5},
    {{"YFRYS35SYX", fkDigits, "35岁以下研发人员数：", "", "gpb_xmreny", 290, {430, 18, 100, 21}}, 5},
    {{"GJRS", fkDigits, "高级：", "", "gpb_xmreny", 590, {720, 18, 100, 21}}, 5},
    {{"ZJRS", fkDigits, "中级：", "", "gpb_xmreny", 10, {140, 44, 100, 21}}, 5},
    {{"CJRS", fkDigits, "初级：", "", "gpb_xmreny", 290, {430, 44, 100, 21}}, 5},
    {{"QTRS", fkDigits, "其它：", "", "gpb_xmreny", 590, {720, 44, 100, 21}}, 5},
    {{"YTRYJRYS", fkDigits, "已投入研究人员数：", "", "gpb_xmqwork", 10, {140, 18, 100, 21}}, 4},
    {{"YTRJF", fkAmount, "已投入经费（万元）：", "", "gpb_xmqwork", 290, {430, 18, 100, 21}}, 12},
    {{"DWZCTR", fkAmount, "单位自筹：", "", "gpb_xmqwork", 10, {140, 44, 100, 21}}, 12},
    {{"ZFBKTR", fkAmount, "政府拨款：", "", "gpb_xmqwork", 290, {430, 44, 100, 21}}, 12},
    {{"QTTR", fkAmount, "其它：", "", "gpb_xmqwork", 590, {720, 44, 100, 21}}, 12},
    {{"XMZTZ", fkAmount, "项目总投资（万元）：", "", "gpb_xmjf", 10, {140, 18, 100, 21}}, 12},
    {{"SQSBK", fkAmount, "申请市拨款：", "", "gpb_xmjf", 290, {430, 18, 100, 21}}, 12},
    {{"BMPP", fkAmount, "部门匹配：", "", "gpb_xmjf", 590, {720, 18, 100, 21}}, 12},
    {{"DWZC", fkAmount, "单位自筹：", "", "gpb_xmjf", 10, {140, 44, 100, 21}}, 12},
    {{"YHDK", fkAmount, "银行贷款：", "", "gpb_xmjf", 290, {430, 44, 100, 21}}, 12},
    {{"QTLY", fkAmount, "其它来源：", "", "gpb_xmjf", 590, {720, 44, 100, 21}}, 12},
    // page 3
    {{"CJDW1", fkText, "参加单位1：", "", "GroupBox8", 10, {90, 18, 440, 21}}, 100},
    {{"CJDW1XZ", fkNumberCode, "性质：", "", "GroupBox8", 540, {610, 18, 200, 21}}, 0},
    {{"CJDW2", fkText, "参加单位2：", "", "GroupBox8", 10, {90, 44, 440, 21}}, 100},
    {{"CJDW2XZ", fkNumberCode, "性质：", "", "GroupBox8", 540, {610, 44, 200, 21}}, 0},
    {{"CJDW3", fkText, "参加单位3：", "", "GroupBox8", 10, {90, 70, 440, 21}}, 100},
    {{"CJDW3XZ", fkNumberCode, "性质：", "", "GroupBox8", 540, {610, 70, 200, 21}}, 0},
    {{"JWHZDWMC", fkText, "单位名称：", "", "GroupBox9", 10, {90, 18, 440, 21}}, 120},
    {{"GJHDQ", fkText, "国家：", "", "GroupBox9", 543, {620, 18, 200, 21}}, 40},
    {{"CDDWZGZRS", fkDigits, "职工总人数：", "", "gpb_cddwjcxy", 10, {140, 18, 90, 21}}, 5},
    {{"CDDWKJRYS", fkDigits, "大专以上人数：", "", "gpb_cddwjcxy", 250, {390, 18, 100, 21}}, 5},
    {{"CDDWYFKJRYS", fkDigits, "从事研发科技人员数：", "", "gpb_cddwjcxy", 564, {710, 18, 100, 21}}, 4},
    {{"NYFJF", fkAmount, "年研发经费（万元）：", "", "gpb_cddwjcxy", 10, {140, 44, 90, 21}}, 12},
    {{"YYZLS", fkDigits, "专利总数：", "", "gpb_cddwjcxy", 250, {390, 44, 100, 21}}, 4},
    {{"RJZZQS", fkDigits, "软件著作权数：", "", "gpb_cddwjcxy", 564, {710, 44, 100, 21}}, 4},
    {{"FMZLS", fkDigits, "发明专利数：", "", "gpb_cddwjcxy", 10, {140, 70, 90, 21}}, 4},
    {{"NCZ", fkAmount, "年产值（万元）：", "", "gpb_cddwjcxy", 250, {390, 70, 100, 21}}, 12},
    {{"NXSE", fkAmount, "年销售额（万元）：", "", "gpb_cddwjcxy", 564, {710, 70, 100, 21}}, 12},
    {{"NCH", fkAmount, "年创汇（万美元）：", "", "gpb_cddwjcxy", 10, {140, 96, 90, 21}}, 12},
    {{"NSJSJ", fkAmount, "年上缴税金（万元）：", "", "gpb_cddwjcxy", 250, {390, 96, 100, 21}}, 12},
    {{"NLR", fkAmount, "年利润（万元）：", "", "gpb_cddwjcxy", 564, {710, 96, 100, 21}}, 12},
};

const TCheckBoxRow CheckBoxes[] = {
    {"GroupBox_qyxz", "ChkBox_qyxz_big", 31, "大型企业"},
    {"GroupBox_qyxz", "ChkBox_qyxz_mid", 32, "中型企业"},
    {"GroupBox_qyxz", "ChkBox_qyxz_little", 33, "小型企业"},
    {"GroupBox_qyxz", "ChkBox_qyxz_xh", 34, "星火龙头企业"},
    {"GroupBox_qyxz", "ChkBox_qyxz_my", 35, "民营科技企业"},
    {"GroupBox_qyxz", "ChkBox_qyxz_gj", 36, "国家级重点高新技术企业"},
    {"GroupBox_qyxz", "ChkBox_qyxz_sg", 37, "省高新技术企业"},
    {"GroupBox_qyxz", "ChkBox_qyxz_other", 38, "其他"},
    {"GroupBox10", "ChkBox_dwqy_gjgx", 0, "国家级高新区"},
    {"GroupBox10", "ChkBox_dwqy_sjgx", 1, "省级高新区"},
    {"GroupBox10", "ChkBox_dwqy_gjts", 2, "国家高新技术特色产业基地"},
    {"GroupBox10", "ChkBox_dwqy_dxxy", 3, "大学科技园"},
    {"GroupBox10", "ChkBox_dwqy_xh", 4, "星火密集区"},
    {"GroupBox10", "ChkBox_dwqy_nyzs", 5, "农业综试基地"},
    {"GroupBox10", "ChkBox_dwqy_nykj", 6, "农业科技示范园区"},
    {"GroupBox10", "ChkBox_dwqy_kcx", 7, "可持续发展试验区"},
    {"GroupBox10", "ChkBox_dwqy_other", 8, "其他"},
    {"GroupBox6", "ChkBox_yqcg_xcp", 1, "新产品（含农业新产品）"},
    {"GroupBox6", "ChkBox_yqcg_xzz", 2, "新装置（装备）"},
    {"GroupBox6", "ChkBox_yqcg_xgy", 3, "新工艺（或新方法、新模式）"},
    {"GroupBox6", "ChkBox_yqcg_xcl", 4, "新材料"},
    {"GroupBox6", "ChkBox_yqcg_jsjrj", 5, "计算机软件"},
    {"GroupBox6", "ChkBox_yqcg_lw", 6, "论文"},
    {"GroupBox6", "ChkBox_yqcg_zz", 7, "著作"},
    {"GroupBox6", "ChkBox_yqcg_yjbg", 8, "研究（咨询）报告"},
    {"GroupBox6", "ChkBox_yqcg_jsbz", 9, "技术标准"},
    {"GroupBox6", "ChkBox_yqcg_jdjs", 10, "基地建设"},
    {"GroupBox6", "ChkBox_yqcg_other", 11, "其他"},
    {"GroupBox11", "ChkBox_hzfs_jsyj", 1, "技术引进"},
    {"GroupBox11", "ChkBox_hzfs_hzyf", 2, "合作研发"},
    {"GroupBox11", "ChkBox_hzfs_jsjl", 3, "技术交流"},
    {"GroupBox11", "ChkBox_hzfs_jssc", 4, "技术输出"},
};

} // namespace

std::span<const TRequestFrame> RequestFrames() {
    return Frames;
}

std::span<const TRequestField> RequestFields() {
    return Fields;
}

std::span<const TCheckBoxRow> RequestCheckBoxes() {
    return CheckBoxes;
}

std::string ControlName(int Kind, const std::string& Column) {
    switch (Kind) {
    case fkYear:
    case fkYearMonth:
        return "met_" + Column;
    case fkTextCode:
    case fkNumberCode:
        return "ccb_" + Column;
    case fkMemo:
        return "mem_" + Column;
    default:
        return "edt_" + Column;
    }
}
