// The grid demo's form, built in code as its form resource would be: the
// connection, query and data source, the grid with its options and persistent
// columns, all set while loading; the list is opened afterwards.
#include "tools/griddemo/GridDemoForm.h"

#include "dbgrid/DBGrid.h"
#include "dbgrid/DBGridFilter.h"
#include "dbgrid/DBGridSummary.h"
#include "dbgrid/GridColumns.h"
#include "platform/data/ADODB.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/Menus.h"

#include <sqlite3.h>

#include <cstdio>
#include <random>

namespace {

constexpr int DocumentCount = 360;

const char* const Topics[] = {"城市规划", "新材料", "节能减排", "软件工程", "生物医药", "现代农业",
                              "智能制造", "水资源", "环境监测", "信息安全", "交通运输", "新能源"};
const char* const Kinds[] = {"关键技术研究", "示范工程", "应用研究", "平台建设", "推广应用"};
const char* const Surnames[] = {"王", "李", "张", "刘", "陈", "杨", "赵", "黄", "周", "吴"};
const char* const GivenNames[] = {"伟", "芳", "娜", "敏", "静", "强", "磊", "军", "洋", "勇", "艳", "杰"};
const char* const Remarks[] = {"已提交申报书，等待形式审查。",
                               "专家评审意见：技术路线清晰，建议补充经费预算说明。\n请于下周前补交材料。",
                               "中期检查合格。", "", "合同已签订，首笔经费已拨付。"};

template <size_t N> const char* Pick(const char* const (&Table)[N], std::mt19937& Random) {
    return Table[Random() % N];
}

// The documents as one SQL text, the same on every run.
std::string DocumentsSql() {
    std::string sql = "create table XMSB (XMSBID integer primary key, XMBH varchar(9), XMMC varchar(60),"
                      " FZR varchar(10), SBRQ datetime, SQJE money, BZ memo, ZT varchar(10), LB varchar(10));";
    std::mt19937 random(2026);
    for (int id = 1; id <= DocumentCount; ++id) {
        char row[256];
        std::snprintf(
            row, sizeof row, "insert into XMSB values (%d, '2026%05d', '%s%s', '%s%s', '2026-%02d-%02d', %d.%02d, '",
            id, id, Pick(Topics, random), Pick(Kinds, random), Pick(Surnames, random), Pick(GivenNames, random),
            int(random() % 12) + 1, int(random() % 28) + 1, int(random() % 900000) + 5000, int(random() % 100));
        sql += row;
        sql += Pick(Remarks, random);
        sql += "', null, null);";
    }
    // The topic and the kind that make up each name, for grouping.
    for (const char* topic : Topics)
        sql += std::string("update XMSB set ZT = '") + topic + "' where XMMC like '" + topic + "%';";
    for (const char* kind : Kinds)
        sql += std::string("update XMSB set LB = '") + kind + "' where XMMC like '%" + kind + "';";
    return sql;
}

} // namespace

TfrmGridDemo::TfrmGridDemo(TComponent* AOwner) : TForm(AOwner) {
    TFormBuilder build(this);
    SetCaption("项目申报书 - 数据表格演示");
    SetBounds(40, 30, 860, 560);
    Font()->SetName("宋体");
    Font()->SetHeight(-12);

    FConnection = build.Component<TADOConnection>("Connection");
    FConnection->SetLoginPrompt(false);
    qryDocuments = build.Component<TADOQuery>("qryDocuments");
    qryDocuments->SetConnection(FConnection);
    qryDocuments->SQL()->SetText("select * from XMSB order by XMSBID");
    dsDocuments = build.Component<TDataSource>("dsDocuments");
    dsDocuments->SetDataSet(qryDocuments);

    pmDocuments = build.Component<TPopupMenu>("pmDocuments");
    build.MenuItem(pmDocuments->Items(), "miExport", "导出选中记录")->OnClick = [this](TObject*) {
        std::printf("导出: %s\n", SelectedKeys().c_str());
        std::fflush(stdout);
    };

    grdDocuments = build.Control<TcvDBGrid>(this, "grdDocuments");
    grdDocuments->SetAlign(alLeft);
    grdDocuments->SetWidth(840);
    grdDocuments->SetDataSource(dsDocuments);
    grdDocuments->SetPopupMenu(pmDocuments);
    grdDocuments->SetKeyField("XMSBID");
    grdDocuments->SetOptionsView(grdDocuments->OptionsView() + edgoRowSelect + edgoIndicator);
    grdDocuments->SetOptionsBehavior(grdDocuments->OptionsBehavior() + edgoMultiSelect + edgoAutoSort);

    struct TColumnRow {
        TcvDBTreeListColumn* Column;
        const char* Field;
        const char* Caption;
        int Width;
    };
    auto* colCode = build.Component<TcvDBGridMaskColumn>("colCode");
    colCode->SetEditMask("0000-00000;0;_");
    const TColumnRow columnRows[] = {
        {build.Component<TcvDBGridColumn>("colId"), "XMSBID", "序号", 50},
        {colCode, "XMBH", "项目编号", 90},
        {build.Component<TcvDBGridColumn>("colName"), "XMMC", "项目名称", 220},
        {build.Component<TcvDBGridColumn>("colLeader"), "FZR", "负责人", 70},
        {build.Component<TcvDBGridDateColumn>("colDate"), "SBRQ", "申报日期", 90},
        {build.Component<TcvDBGridCurrencyColumn>("colAmount"), "SQJE", "申请金额", 110},
        {build.Component<TcvDBGridMemoColumn>("colRemark"), "BZ", "备注", 180},
    };
    for (const TColumnRow& row : columnRows) {
        row.Column->SetBandIndex(0);
        row.Column->SetCaption(row.Caption);
        row.Column->SetWidth(row.Width);
        row.Column->SetTreeList(grdDocuments);
        row.Column->SetFieldName(row.Field);
    }
    columnRows[0].Column->SetVisible(false);
}

void TfrmGridDemo::OpenDocuments(const std::string& FileName, TGridDemoMode Mode) {
    if (Mode == TGridDemoMode::Memory) grdDocuments->SetOptionsDB(grdDocuments->OptionsDB() + edgoLoadAllRecords);
    if (Mode == TGridDemoMode::Partial) grdDocuments->SetOptionsDB(grdDocuments->OptionsDB() + edgoPartialLoad);
    // The connection opens database files only; the file is made here.
    sqlite3* db = nullptr;
    const std::string sql = "begin;" + DocumentsSql() + "commit;";
    const bool made = sqlite3_open(FileName.c_str(), &db) == SQLITE_OK &&
                      sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    if (!made) throw EDatabaseError("Cannot create the document list '" + FileName + "'.");
    FConnection->SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + FileName + ";");
    FConnection->Open();
    qryDocuments->Open();
}

void TfrmGridDemo::GroupByTopicAndKind() {
    TUpdateGuard<TCustomcvTreeList> update(grdDocuments);
    // Each group row counts its documents and sums their amounts.
    TcvDBGridSummaryGroup* amounts = grdDocuments->SummaryGroups()->Add();
    amounts->SetName("Amounts");
    amounts->SetBeginSummaryText("(");
    amounts->SetEndSummaryText(")");
    const struct {
        TcvSummaryType Type;
        const char* Field;
        const char* Format;
    } items[] = {{cstCount, "", "'共 '0' 项'"}, {cstSum, "SQJE", "'金额 ¥'#,##0.00"}};
    for (const auto& row : items) {
        TcvDBGridSummaryItem* item = amounts->SummaryItems()->Add();
        item->SetSummaryType(row.Type);
        item->SetSummaryField(row.Field);
        item->SetSummaryFormat(row.Format);
    }
    for (const auto& [field, caption] : {std::pair{"ZT", "主题"}, std::pair{"LB", "类别"}}) {
        TcvDBTreeListColumn* column = grdDocuments->CreateColumn(grdDocuments->GetDefaultColumnClass());
        column->SetBandIndex(0);
        column->SetCaption(caption);
        column->SetFieldName(field);
        column->SetSummaryGroupName(amounts->Name());
    }
    TcvDBTreeListColumn* amount = grdDocuments->ColumnByFieldName("SQJE");
    amount->SetSummaryFooterType(cstSum);
    amount->SetSummaryFooterFormat("\"¥\"#,##0.00");
    TcvDBTreeListColumn* name = grdDocuments->ColumnByFieldName("XMMC");
    name->SetSummaryFooterType(cstCount);
    name->SetSummaryFooterFormat("'共 '0' 项'");
    grdDocuments->SetShowSummaryFooter(true);
    grdDocuments->SetShowGroupPanel(true);
    grdDocuments->Filter()->SetActive(true);
    grdDocuments->Filter()->SetFilterStatus(fsAlways);
    grdDocuments->ColumnByFieldName("ZT")->SetGroupIndex(0);
    grdDocuments->ColumnByFieldName("LB")->SetGroupIndex(1);
}

std::string TfrmGridDemo::SelectedKeys() const {
    std::string keys;
    for (int i = 0; i < grdDocuments->SelectedCount(); ++i) {
        qryDocuments->SetBookmark(grdDocuments->GetSelectedRow(i));
        keys += (keys.empty() ? "" : " ") + qryDocuments->FieldByName("XMSBID")->AsString();
    }
    return keys;
}
