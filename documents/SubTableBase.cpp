// The sub-table editors: the base window with its filter on the parent key,
// and the nine editors as layout tables; the staff editor adds its combo
// boxes and its checks.
#include "documents/SubTableBase.h"

#include "app/DataModule.h"
#include "app/SysPublic.h"
#include "dbgrid/DBGrid.h"
#include "documents/DocumentToolBar.h"
#include "editors/DBEditors.h"
#include "platform/data/ADODB.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/ActnList.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"

#include <memory>

namespace {

constexpr int ListWidth = 200;

// Four indicator columns, the same in six editors.
const TFieldRow IndicatorFields[] = {
    {"ZBMC", scEdit, "指标名称", "Panel1", "", 16, {96, 20, 260, 21}},
    {"ZBDW", scEdit, "指标单位", "Panel1", "", 16, {96, 52, 260, 21}},
    {"HTZB", scEdit, "合同指标", "Panel1", "", 16, {96, 84, 260, 21}},
    {"SJZB", scEdit, "实际指标", "Panel1", "", 16, {96, 116, 260, 21}},
};
const std::pair<const char*, const char*> IndicatorList[] = {{"ZBMC", "指标名称"}};

const TFieldRow UnitFields[] = {{"DWMC", scEdit, "单位名称", "Panel1", "", 16, {96, 20, 260, 21}}};
const std::pair<const char*, const char*> UnitList[] = {{"DWMC", "单位名称"}};

const TFieldRow CommitteeFields[] = {
    {"XM", scEdit, "姓名", "Panel1", "", 16, {96, 20, 260, 21}},
    {"GZDW", scEdit, "工作单位", "Panel1", "", 16, {96, 52, 260, 21}},
    {"SXZY", scEdit, "所学专业", "Panel1", "", 16, {96, 84, 260, 21}},
    {"XCSZY", scEdit, "现从事专业", "Panel1", "", 16, {96, 116, 260, 21}},
    {"ZWZC", scEdit, "职务职称", "Panel1", "", 16, {96, 148, 260, 21}},
};
const std::pair<const char*, const char*> CommitteeList[] = {{"XM", "姓名"}, {"GZDW", "工作单位"}};

// The staff editor's combo boxes sit between these rows (see TfrmYSXMRYB).
const TFieldRow StaffFields[] = {
    {"XM", scEdit, "姓名", "GroupBox1", "", 16, {80, 20, 120, 21}},
    {"CSNF", scEdit, "出生年", "GroupBox1", "", 16, {80, 84, 120, 21}},
    {"CSYF", scEdit, "出生月", "GroupBox1", "", 216, {280, 84, 60, 21}},
    {"GZDW", scEdit, "工作单位", "GroupBox1", "", 16, {80, 116, 260, 21}},
    {"GZRW", scMemo, "", "GroupBox2", "", 8, {8, 18, 344, 110}},
};
const std::pair<const char*, const char*> StaffList[] = {{"XM", "姓名"}, {"XB", "性别"}};

const char* const SexItems[] = {"男", "女"};
const char* const EducationItems[] = {"研究生", "本科生", "大专", "其他 "};
const char* const TitleItems[] = {"高级", "中级", "初级", "其他"};

const TSubTableLayout SQJJZB = {"frmSQJJZB", "申请经济指标完成情况", "KORIM_SQJJZBNB", "JJZBID", IndicatorFields,
                                IndicatorList, "ZBMC", "请输入指标名称", 600, 220};
const TSubTableLayout SQJSZB = {"frmSQJSZB", "申请技术指标完成情况", "KORIM_SQJSZBNB", "JSZBID", IndicatorFields,
                                IndicatorList, "ZBMC", "请输入指标名称", 600, 220};
const TSubTableLayout SQJSHZB = {"frmSQJSHZB", "申请建设指标完成情况", "KORIM_SQJSHZBNB", "JSHZBID", IndicatorFields,
                                 IndicatorList, "ZBMC", "请输入指标名称", 600, 220};
const TSubTableLayout SQZYCJDW = {"frmSQZYCJDW", "申请主要参加单位", "KORIM_SQZYCJDWNB", "DWID", UnitFields,
                                  UnitList, "DWMC", "请输入单位名称", 600, 160};
const TSubTableLayout YSJJZB = {"frmYSJJZB", "验收经济指标完成情况", "KORIM_YSJJZBNB", "JJZBID", IndicatorFields,
                                IndicatorList, "ZBMC", "请输入指标名称", 600, 220};
const TSubTableLayout YSJSZB = {"frmYSJSZB", "验收技术指标完成情况", "KORIM_YSJSZBNB", "JSZBID", IndicatorFields,
                                IndicatorList, "ZBMC", "请输入指标名称", 600, 220};
const TSubTableLayout YSJSHZB = {"frmYSJSHZB", "验收建设指标完成情况", "KORIM_YSJSHZBNB", "JSHZBID", IndicatorFields,
                                 IndicatorList, "ZBMC", "请输入指标名称", 600, 220};
const TSubTableLayout YSWYHRYB = {"frmYSWYHRYB", "验收委员会人员表", "KORIM_YSWYHRYBNB", "RYID", CommitteeFields,
                                  CommitteeList, "XM", "请输入姓名", 620, 240};
const TSubTableLayout YSXMRYB = {"frmYSXMRYB", "验收项目人员表", "KORIM_YSXMRYBNB", "RYID", StaffFields,
                                 StaffList, "XM", "请输入姓名", 620, 380};

} // namespace

TfrmBase::TfrmBase(TComponent* AOwner, const TSubTableLayout& Layout) : TForm(AOwner), FLayout(Layout) {
    BuildForm();
}

TfrmBase::~TfrmBase() = default;

void TfrmBase::BuildForm() {
    TFormBuilder build(this);
    SetName(FLayout.FormName);
    SetCaption(FLayout.Caption);
    SetBorderStyle(bsDialog);
    SetClientWidth(FLayout.ClientWidth);
    SetClientHeight(FLayout.ClientHeight);
    Font()->SetName("宋体");
    Font()->SetCharset(GB2312_CHARSET);
    Font()->SetHeight(-12);
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };

    ADODataSet1 = build.Component<TADODataSet>("ADODataSet1");
    ADODataSet1->SetConnection(DM->ADOConnection1);
    ADODataSet1->SetCommandText("select * from " + std::string(FLayout.Table));
    ADODataSet1->BeforeClose = [this](TDataSet* DataSet) { ADODataSet1BeforeClose(DataSet); };
    ADODataSet1->AfterInsert = [this](TDataSet* DataSet) { ADODataSet1AfterInsert(DataSet); };
    ADODataSet1->BeforePost = [this](TDataSet* DataSet) { ADODataSet1BeforePost(DataSet); };
    ADODataSet1->AfterScroll = [this](TDataSet* DataSet) { ADODataSet1AfterScroll(DataSet); };
    DataSource1 = build.Component<TDataSource>("DataSource1");
    DataSource1->SetAutoEdit(false);
    DataSource1->SetDataSet(ADODataSet1);
    DataSource1->OnStateChange = [this](TObject* Sender) { DataSource1StateChange(Sender); };
    ADOQuery1 = build.Component<TADOQuery>("ADOQuery1");
    ADOQuery1->SetConnection(DM->ADOConnection1);

    static_cast<TDataSetToolBar&>(*this) = BuildDataSetToolBar(build, this, DataSource1);
    DataSetDelete2->OnExecute = [this](TObject* Sender) { DataSetDelete2Execute(Sender); };

    cvDBGrid1 = build.Control<TcvDBGrid>(this, "cvDBGrid1");
    cvDBGrid1->SetAlign(alLeft);
    cvDBGrid1->SetWidth(ListWidth);
    cvDBGrid1->SetDataSource(DataSource1);
    cvDBGrid1->SetKeyField(FLayout.KeyColumn);
    cvDBGrid1->SetOptionsView(cvDBGrid1->OptionsView() + edgoRowSelect);
    for (const auto& [field, caption] : FLayout.ListColumns) {
        auto* column = build.Component<TcvDBGridColumn>("cvDBGrid1" + std::string(field));
        column->SetBandIndex(0);
        column->SetCaption(caption);
        column->SetWidth(ListWidth / int(FLayout.ListColumns.size()));
        column->SetTreeList(cvDBGrid1);
        column->SetFieldName(field);
    }
    Splitter1 = build.Control<TSplitter>(this, "Splitter1");
    Splitter1->SetAlign(alLeft);
    Splitter1->SetLeft(ListWidth + 1);
    Panel1 = build.Control<TPanel>(this, "Panel1");
    Panel1->SetAlign(alClient);
    Panel1->SetCaption("");
    if (FLayout.Fields.data() == StaffFields) {
        build.Control<TGroupBox>(Panel1, "GroupBox1", {8, 4, 360, 150}, "");
        build.Control<TGroupBox>(Panel1, "GroupBox2", {8, 160, 360, 136}, "承担主要的研究任务");
    }

    auto bound = [this](auto* Editor, const TFieldRow& Row) {
        Editor->SetDataSource(DataSource1);
        Editor->SetDataField(Row.Column);
        Editor->SetStyleController(DM->cvEditStyleController1);
        return static_cast<TControl*>(Editor);
    };
    const TFieldFactory factories[] = {
        [bound](TFormBuilder& build, TWinControl* parent, const TFieldRow& row) {
            return bound(build.Control<TcvDBEdit>(parent, "edt_" + std::string(row.Column), row.Position), row);
        },
        [bound](TFormBuilder& build, TWinControl* parent, const TFieldRow& row) {
            return bound(build.Control<TcvDBMemo>(parent, "mem_" + std::string(row.Column), row.Position), row);
        },
    };
    for (const TFieldRow& row : FLayout.Fields)
        build.Field(row, factories);
}

bool TfrmBase::Editing() const {
    return ADODataSet1->State() == dsInsert || ADODataSet1->State() == dsEdit;
}

Integer TfrmBase::GetMaxID(const std::string& TableName) {
    return DM->GetMaxID(TableName);
}

void TfrmBase::FormShow(TObject*) {
    std::string command = ADODataSet1->CommandText();
    if (command.find("where") == std::string::npos) {
        // The parent key is bound, never pasted into the statement.
        ADODataSet1->SetCommandText(command + " where NXMLXID=:NXMLXID");
        ADODataSet1->Parameters()->ParseSQL(ADODataSet1->CommandText());
    }
    ADODataSet1->Parameters()->ParamByName("NXMLXID")->SetValue(NXMLXID);
    ADODataSet1->Open();
    ADODataSet1->First();
    SetLeft(int(Round((Screen->Width() - Width()) / 2.0)));
    SetTop(int(Round((Screen->Height() - Height()) / 2.0)));
}

void TfrmBase::FormClose(TObject*, TCloseAction&) {
    ADODataSet1->Close();
}

void TfrmBase::DataSetDelete2Execute(TObject*) {
    if (SysPublic::Confirm("你真的要删除所选记录吗?", false)) ADODataSet1->Delete();
}

void TfrmBase::ADODataSet1BeforeClose(TDataSet* DataSet) {
    AskSaveBeforeClose(this, DataSet);
}

void TfrmBase::ADODataSet1AfterInsert(TDataSet* DataSet) {
    DataSet->FieldByName("NXMLXID")->SetAsString(NXMLXID);
    DataSet->FieldByName(FLayout.KeyColumn)->SetAsInteger(GetMaxID(FLayout.Table));
}

void TfrmBase::Refuse(TWinControl* Control, const std::string& Message) {
    SysPublic::ShowMsg(nullptr, Message, 3);
    if (Control->CanFocus()) Control->SetFocus();
    Abort();
}

void TfrmBase::ADODataSet1BeforePost(TDataSet*) {
    // Blanks count as text here.
    auto* required = Named("edt_" + std::string(FLayout.RequiredColumn));
    if (required->Text().empty()) Refuse(required, FLayout.RequiredMessage);
}

TfrmSQJJZB::TfrmSQJJZB(TComponent* AOwner) : TfrmBase(AOwner, SQJJZB) {}
TfrmSQJSZB::TfrmSQJSZB(TComponent* AOwner) : TfrmBase(AOwner, SQJSZB) {}
TfrmSQJSHZB::TfrmSQJSHZB(TComponent* AOwner) : TfrmBase(AOwner, SQJSHZB) {}
TfrmSQZYCJDW::TfrmSQZYCJDW(TComponent* AOwner) : TfrmBase(AOwner, SQZYCJDW) {}
TfrmYSJJZB::TfrmYSJJZB(TComponent* AOwner) : TfrmBase(AOwner, YSJJZB) {}
TfrmYSJSZB::TfrmYSJSZB(TComponent* AOwner) : TfrmBase(AOwner, YSJSZB) {}
TfrmYSJSHZB::TfrmYSJSHZB(TComponent* AOwner) : TfrmBase(AOwner, YSJSHZB) {}
TfrmYSWYHRYB::TfrmYSWYHRYB(TComponent* AOwner) : TfrmBase(AOwner, YSWYHRYB) {}

TfrmYSXMRYB::TfrmYSXMRYB(TComponent* AOwner) : TfrmBase(AOwner, YSXMRYB) {
    // Made after the form has loaded, so no second loading bracket runs
    // Loaded again on the list and the editors.
    auto* group = Named("GroupBox1");
    struct TComboRow {
        TComboBox** Box;
        const char* Name;
        const char* Label;
        int LabelLeft;
        TBounds Bounds;
        std::span<const char* const> Items;
    };
    const TComboRow rows[] = {
        {&ComboBox1, "ComboBox1", "性别", 216, {280, 20, 60, 21}, SexItems},
        {&ComboBox2, "ComboBox2", "学历", 16, {80, 52, 120, 21}, EducationItems},
        {&ComboBox3, "ComboBox3", "职称", 216, {280, 52, 60, 21}, TitleItems},
    };
    for (const TComboRow& row : rows) {
        auto* label = new TLabel(this);
        label->SetParent(group);
        label->SetBounds(row.LabelLeft, row.Bounds.Top + 4, 60, 13);
        label->SetCaption(row.Label);
        auto* box = new TComboBox(this);
        box->SetName(row.Name);
        box->SetParent(group);
        box->SetBounds(row.Bounds.Left, row.Bounds.Top, row.Bounds.Width, row.Bounds.Height);
        for (const char* item : row.Items)
            box->Items()->Add(item);
        // Typed in, Chinese among it; usable while editing only.
        box->SetEnabled(false);
        *row.Box = box;
    }
}

void TfrmYSXMRYB::ADODataSet1BeforePost(TDataSet* DataSet) {
    TfrmBase::ADODataSet1BeforePost(DataSet);
    if (ComboBox1->Text().empty()) Refuse(ComboBox1, "请选择性别");
    Integer whole = 0;
    auto* year = Named("edt_CSNF");
    const std::string yearText = Trim(year->Text());
    if (!yearText.empty() && !TryStrToInt(yearText, whole)) Refuse(year, "输入的出生年不符合要求");
    auto* month = Named("edt_CSYF");
    const std::string monthText = Trim(month->Text());
    if (!monthText.empty() && (!TryStrToInt(monthText, whole) || whole < 1 || whole > 12))
        Refuse(month, "输入的出生月不符合要求");
    DataSet->FieldByName("XB")->SetAsString(ComboBox1->Text());
    DataSet->FieldByName("JSZC")->SetAsString(ComboBox2->Text());
    DataSet->FieldByName("XL")->SetAsString(ComboBox3->Text());
}

void TfrmYSXMRYB::ADODataSet1AfterScroll(TDataSet* DataSet) {
    const std::pair<TComboBox*, const char*> boxes[] = {{ComboBox1, "XB"}, {ComboBox2, "JSZC"}, {ComboBox3, "XL"}};
    for (const auto& [box, column] : boxes)
        box->SetItemIndex(box->Items()->IndexOf(DataSet->FieldByName(column)->AsString()));
}

void TfrmYSXMRYB::DataSource1StateChange(TObject*) {
    const bool editing = ADODataSet1->State() == dsInsert || ADODataSet1->State() == dsEdit;
    for (TComboBox* box : {ComboBox1, ComboBox2, ComboBox3})
        box->SetEnabled(editing);
}
