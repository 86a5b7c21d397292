// The tree-list demo's form, built in code as its form resource would be:
// the control, its bands and columns set while loading, then the nodes.
#include "tools/treelistdemo/TreeListDemoForm.h"

#include "platform/rtl/SysUtils.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/ImageList.h"
#include "treelist/TreeListColumns.h"
#include "treelist/TreeListMaskColumn.h"

#include <cstdio>
#include <iterator>
#include <random>

namespace {

const char* const Plans[] = {"重点科技攻关计划", "软科学研究计划",   "科技型中小企业创新基金", "城市科技计划",
                             "农业科技成果转化", "国际科技合作计划", "高新技术产业化",         "社会发展科技计划",
                             "科技基础条件建设", "星火计划"};
constexpr int YearsPerPlan = 9;
constexpr int FirstYear = 2017;
constexpr int ProjectsPerYear = 110;
const char* const Topics[] = {"城市规划", "新材料", "节能减排", "软件工程", "生物医药", "现代农业",
                              "智能制造", "水资源", "环境监测", "信息安全", "交通运输", "新能源"};
const char* const Kinds[] = {"关键技术研究", "示范工程", "应用研究", "平台建设", "推广应用"};
const char* const Units[] = {"市科学技术局", "第一研究所", "理工大学",   "农业科学院",
                             "信息中心",     "环境监测站", "工业设计院", "医学院附属医院"};
const char* const Surnames[] = {"王", "李", "张", "刘", "陈", "杨", "赵", "黄", "周", "吴"};
const char* const GivenNames[] = {"伟", "芳", "娜", "敏", "静", "强", "磊", "军", "洋", "勇", "艳", "杰"};
const char* const States[] = {"申报中", "在研", "结题", "中止"};

template <size_t N> const char* Pick(const char* const (&Table)[N], std::mt19937& Random) {
    return Table[Random() % N];
}

enum TDemoImage { imgPlan, imgYear, imgProject };

} // namespace

void TDemoTreeList::RegisterSortedColumn(TcvTreeListColumn* Column) {
    TCustomcvTreeListControl::RegisterSortedColumn(Column);
    if (Column && Column->Sorted() != csNone && IsAutoSort() && !SortUpdating()) SortByColumn(Column);
}

void TDemoTreeList::ResortNodes() {
    if (GetSortKeyCount() > 0) SortByColumn(GetSortedColumn(0));
}

void TDemoTreeList::SortByColumn(TcvTreeListColumn* Column) {
    if (Column->Sorted() == csNone) return;
    TUpdateGuard<TCustomcvTreeList> update(this);
    SortChildren(-1, Column->GetIndex(), Column->Sorted() == csDown);
}

void TDemoTreeList::SetFooterTexts(int NameColumn, std::string NameText, int BudgetColumn, std::string BudgetText) {
    FNameColumn = NameColumn;
    FBudgetColumn = BudgetColumn;
    FNameText = std::move(NameText);
    FBudgetText = std::move(BudgetText);
    Invalidate();
}

bool TDemoTreeList::IsExistFooterCell(int Column) {
    return Column == FNameColumn || Column == FBudgetColumn;
}

std::string TDemoTreeList::GetLevelText(const TcvTreeListNode*, int Column, int) const {
    if (Column == FNameColumn) return FNameText;
    if (Column == FBudgetColumn) return FBudgetText;
    return {};
}

TfrmTreeListDemo::TfrmTreeListDemo(TComponent* AOwner) : TForm(AOwner) {
    TFormBuilder build(this);
    SetCaption("科技项目登记 - 树形列表演示");
    SetBounds(40, 30, 820, 620);
    Font()->SetName("宋体");
    Font()->SetHeight(-12);

    BuildImages(build);
    tlProjects = build.Control<TDemoTreeList>(this, "tlProjects");
    tlProjects->SetAlign(alClient);
    tlProjects->SetOptions((tlProjects->Options() & ~tlo_RowSelect) | tlo_MultiSelect | tlo_AutoSort);
    tlProjects->SetOptionsEx(tlProjects->OptionsEx() | tloex_AutoHeaderPanelRowCount | tloex_MultiSort |
                             tloex_StartEditByKey | tloex_IncSearch);
    tlProjects->SetDragMode(dmAutomatic);
    tlProjects->SetShowBands(true);
    tlProjects->SetShowGrid(true);
    tlProjects->SetShowFooter(true);
    tlProjects->SetShowIndicator(true);
    tlProjects->SetImages(FImages);
    tlProjects->OnEdited = [this](TObject*, TcvTreeListNode*) { UpdateFooter(); };
    BuildColumns(build);
}

void TfrmTreeListDemo::BuildImages(TFormBuilder& build) {
    FImages = build.Component<TCustomImageList>("imgNodes");
    FImages->SetWidth(16);
    FImages->SetHeight(16);
    struct TPicture {
        TColor Face;
        bool Folder;
    };
    for (const TPicture& picture : {TPicture{clNavy, true}, TPicture{clOlive, true}, TPicture{clWhite, false}}) {
        TBitmap bitmap;
        bitmap.SetSize(16, 16);
        TCanvas* canvas = bitmap.Canvas();
        canvas->Brush()->SetColor(clFuchsia);
        canvas->FillRect({0, 0, 16, 16});
        canvas->Pen()->SetColor(clBlack);
        canvas->Brush()->SetColor(picture.Face);
        if (picture.Folder) {
            canvas->Polygon({{1, 4}, {6, 4}, {7, 3}, {12, 3}, {12, 5}, {14, 5}, {14, 13}, {1, 13}});
        } else {
            canvas->Rectangle(3, 1, 13, 15);
            for (int y = 4; y <= 11; y += 2) {
                canvas->MoveTo(5, y);
                canvas->LineTo(11, y);
            }
        }
        FImages->AddMasked(&bitmap, clFuchsia);
    }
}

void TfrmTreeListDemo::BuildColumns(TFormBuilder& build) {
    TcvTreeListBands* bands = tlProjects->Bands();
    struct TBandRow {
        const char* Caption;
        int Width;
    };
    const TBandRow bandRows[] = {{"项目", 280}, {"基本信息", 330}, {"经费与进度", 250}};
    for (int i = 0; i < int(std::size(bandRows)); ++i) {
        // The control comes with its first band.
        TcvTreeListBand* band = i < bands->Count() ? bands->Items(i) : bands->Add();
        band->SetCaption(bandRows[i].Caption);
        band->SetWidth(bandRows[i].Width);
    }
    bands->Items(0)->SetFixed(bfLeft);

    colName = build.Component<TcvTreeListColumn>("colName");
    colCode = build.Component<TcvTreeListMaskColumn>("colCode");
    colCode->SetEditMask("0000-0000;1;_");
    colLeader = build.Component<TcvTreeListColumn>("colLeader");
    colUnit = build.Component<TcvTreeListColumn>("colUnit");
    colBudget = build.Component<TcvTreeListColumn>("colBudget");
    colState = build.Component<TcvTreeListColumn>("colState");
    struct TColumnRow {
        TcvTreeListColumn* Column;
        const char* Caption;
        int Band;
        int Row;
        int Width;
        TAlignment Alignment;
    };
    const TColumnRow columnRows[] = {
        {colName, "名称", 0, 0, 280, taLeftJustify},
        {colCode, "编号", 1, 0, 110, taLeftJustify},
        {colLeader, "负责人", 1, 0, 220, taLeftJustify},
        {colUnit, "承担单位", 1, 1, 330, taLeftJustify},
        {colBudget, "预算（万元）", 2, 0, 130, taRightJustify},
        {colState, "状态", 2, 0, 120, taCenter},
    };
    for (const TColumnRow& row : columnRows) {
        TcvTreeListColumn* column = row.Column;
        column->SetCaption(row.Caption);
        column->SetBandIndex(row.Band);
        column->SetRowIndex(row.Row);
        column->SetWidth(row.Width);
        column->SetAlignment(row.Alignment);
        // A column alone in its band fills the band's two header rows.
        if (row.Band != 1) column->SetHeaderMaxLineCount(0);
        column->SetTreeList(tlProjects);
    }
}

void TfrmTreeListDemo::FillProjects() {
    std::mt19937 random(2026);
    {
        TUpdateGuard<TCustomcvTreeList> update(tlProjects);
        const auto store = [&](TcvTreeListNode* Node, TDemoImage Image, std::initializer_list<std::string> Texts) {
            int column = 0;
            for (const std::string& text : Texts)
                tlProjects->StoreNodeString(Node, column++, text);
            tlProjects->SetNodeImageIndex(Node, Image);
            tlProjects->SetNodeSelectedIndex(Node, Image);
        };
        int number = 0;
        for (const char* plan : Plans) {
            TcvTreeListNode* planNode = tlProjects->Add();
            store(planNode, imgPlan, {plan});
            for (int year = FirstYear; year < FirstYear + YearsPerPlan; ++year) {
                TcvTreeListNode* yearNode = planNode->AddChild();
                store(yearNode, imgYear, {std::to_string(year) + "年度"});
                for (int p = 0; p < ProjectsPerYear; ++p) {
                    char code[16];
                    std::snprintf(code, sizeof code, "%d-%04d", year, ++number % 10000);
                    char budget[16];
                    std::snprintf(budget, sizeof budget, "%.2f", double(random() % 50000) / 100 + 5);
                    store(yearNode->AddChild(), imgProject,
                          {std::string(Pick(Topics, random)) + Pick(Kinds, random), code,
                           std::string(Pick(Surnames, random)) + Pick(GivenNames, random), Pick(Units, random), budget,
                           Pick(States, random)});
                }
            }
        }
        tlProjects->Items(0)->Expand(false);
        tlProjects->Items(0)->GetFirstChild()->Expand(false);
    }
    UpdateFooter();
}

void TfrmTreeListDemo::UpdateFooter() {
    int projects = 0;
    double budget = 0;
    for (TcvTreeListNode* node = tlProjects->Items(0); node; node = node->GetNext())
        if (node->Level() == 2) {
            ++projects;
            budget += StrToFloatDef(node->Strings(colBudget->GetIndex()), 0);
        }
    tlProjects->SetFooterTexts(colName->GetIndex(), "共 " + std::to_string(projects) + " 个项目", colBudget->GetIndex(),
                               FormatFloat(",0.00", budget));
}
