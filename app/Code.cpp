// The code-table window. Queries run on the main window's user connection;
// the import attaches the chosen file, checks its five tables against the
// user's and copies by column names inside one transaction.
#include "app/Code.h"

#include "app/DatabaseCopy.h"
#include "app/ImportedTables.h"
#include "app/Main.h"
#include "app/Message.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/Graphics.h"

namespace {

struct TCodeTable {
    const char* Table;
    const char* Caption;
    const char* NameField;
    const char* NameTitle;
    int NameWidth;
    const char* CodeField;
    const char* CodeTitle;
    int CodeWidth;
};

// The import order too.
constexpr std::array<TCodeTable, 5> CodeTables{{
    {"JHLB", "计划类别代码", "JHMC", "计划类别名称", 400, "JHLBDM", "计划类别代码", 135},
    {"ZGBM", "主管部门代码", "ZGBMMC", "主管部门名称", 450, "ZGBMDM", "主管部门代码", 100},
    {"XZQHDM", "地域代码", "DQMC", "地区名称", 450, "DQDM", "地区代码", 100},
    {"JSLY", "技术领域代码", "JSLYMC", "技术领域名称", 450, "JSLYDM", "技术领域代码", 100},
    {"XKLY", "学科领域代码", "XKLYMC", "学科领域名称", 400, "XKLYDM", "学科领域代码", 80},
}};

const char* const NumberTitle = "序号";
constexpr int NumberWidth = 40;

const char* const ImportAlias = "codefile";

} // namespace

TfrmCode::TfrmCode(TComponent* AOwner) : TForm(AOwner) {
    TFormBuilder build(this);
    SetName("frmCode");
    SetBorderStyle(bsDialog);
    SetCaption("代码维护");
    SetPosition(poScreenCenter);
    SetClientWidth(640);
    SetClientHeight(440);
    SetVisible(false);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };

    PageControl1 = build.Control<TPageControl>(this, "PageControl1", {0, 0, 640, 390});
    for (size_t i = 0; i < CodeTables.size(); ++i) {
        const std::string number = std::to_string(i + 1);
        TTabSheet* sheet = build.Page(PageControl1, "TabSheet" + number, CodeTables[i].Caption);
        sheet->OnShow = [this, i](TObject*) { TabSheetShow(static_cast<int>(i)); };
        TabSheets[i] = sheet;

        TADOQuery* query = build.Component<TADOQuery>("ADOQuery" + number);
        query->SetConnection(frmMain ? frmMain->adocon : nullptr);
        query->SQL()->SetText(std::string("select * from ") + CodeTables[i].Table);
        Queries[i] = query;

        TDataSource* source = build.Component<TDataSource>("DataSource" + number);
        source->SetDataSet(query);
        DataSources[i] = source;

        TDBGrid* grid = build.Control<TDBGrid>(sheet, i == 0 ? std::string("dbgmain") : "DBGrid" + number);
        grid->SetAlign(alClient);
        grid->SetDataSource(source);
        grid->SetOptions(TDBGridOptions{dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs,
                                        dgRowSelect, dgConfirmDelete, dgCancelOnExit});
        const auto column = [grid](const char* field, const char* title, int width) {
            TColumn* c = grid->Columns()->Add();
            c->SetFieldName(field);
            c->Title()->SetCaption(title);
            c->Title()->SetAlignment(taCenter);
            c->SetWidth(width);
        };
        column("", NumberTitle, NumberWidth);
        column(CodeTables[i].NameField, CodeTables[i].NameTitle, CodeTables[i].NameWidth);
        column(CodeTables[i].CodeField, CodeTables[i].CodeTitle, CodeTables[i].CodeWidth);
        Grids[i] = grid;
    }
    dbgmain = Grids[0];
    dbgmain->OnDrawColumnCell = [this](TObject* Sender, const TRect& Rect, int DataCol, TColumn* Column,
                                       TGridDrawState State) {
        dbgmainDrawColumnCell(Sender, Rect, DataCol, Column, State);
    };

    Label1 = build.Control<TLabel>(this, "Label1", {8, 406, 90, 13}, "导入代码文件：");

    edt_filename = build.Control<TEdit>(this, "edt_filename", {100, 402, 300, 21});
    edt_filename->SetEnabled(false);

    SpeedButton1 = build.Control<TSpeedButton>(this, "SpeedButton1", {406, 400, 70, 25}, "浏览");
    SpeedButton1->OnClick = [this](TObject* Sender) { SpeedButton1Click(Sender); };

    SpeedButton2 = build.Control<TSpeedButton>(this, "SpeedButton2", {482, 400, 70, 25}, "导入");
    SpeedButton2->OnClick = [this](TObject* Sender) { SpeedButton2Click(Sender); };

    BtnReturn = build.Control<TButton>(this, "BtnReturn", {560, 400, 70, 25}, "返回");
    BtnReturn->OnClick = [this](TObject* Sender) { BtnReturnClick(Sender); };

    FlatPainter1 = build.Component<TFlatPainter>("FlatPainter1");
    FlatPainter1->SetFlatControls({xcEdit, xcButton, xcSpeedButton});
    FlatPainter1->SetActive(true);
}

void TfrmCode::FormCreate(TObject*) {
    PageControl1->SetActivePageIndex(0);
    TabSheetShow(0);
}

void TfrmCode::TabSheetShow(int Index) {
    TADOQuery* query = Queries[static_cast<size_t>(Index)];
    TDisableControlsScope disabled(query);
    query->Close();
    query->Open();
}

bool TfrmCode::ImportCodeTables(const std::string& FileName) {
    TADOConnection* connection = frmMain->adocon;
    try {
        const auto attached = AttachImportedFile(connection, ExpandFileName(FileName), ImportAlias, WrongStructureText);
        // Every table is checked and every statement made before anything
        // changes: a table missing, a view in its place or a row that does
        // not fit fails here, with all five tables untouched.
        std::array<std::string, 5> inserts;
        for (size_t i = 0; i < CodeTables.size(); ++i) {
            CheckImportedTable(connection, ImportAlias, CodeTables[i].Table);
            inserts[i] = CopyRowsByNameSQL(connection, CodeTables[i].Table, "main", ImportAlias);
        }
        TTransactionGuard transaction(connection);
        for (size_t i = 0; i < CodeTables.size(); ++i) {
            connection->Execute(std::string("delete from ") + CodeTables[i].Table);
            connection->Execute(inserts[i]);
        }
        transaction.Commit();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void TfrmCode::SpeedButton1Click(TObject*) {
    TWaitMessage wait("正在打开目标文件，请梢侯。。。");
    TDialogRequest request;
    request.Kind = TDialogKind::OpenFile;
    request.Owner = Handle();
    request.Filter = "数据库文件|*.mdb";
    const TDialogAnswer answer = RunDialog(request);
    if (answer.Result == IDOK && !answer.Files.empty()) edt_filename->SetText(answer.Files.front());
}

void TfrmCode::SpeedButton2Click(TObject*) {
    const std::string fileName = Trim(edt_filename->Text());
    if (fileName.empty()) return;
    if (!FileExists(fileName)) {
        MessageBox(Handle(), "文件I/O错误，请确认存在该文件！", "提示", MB_OK | MB_ICONERROR);
        return;
    }
    if (ImportCodeTables(fileName)) {
        for (TADOQuery* query : Queries)
            if (query->Active()) query->Requery();
        MessageBox(Handle(), "数据导入成功!", "提示", MB_OK | MB_ICONINFORMATION);
    } else {
        MessageBox(Handle(), "导入失败\r请尝试再次导入", "提示", MB_OK | MB_ICONERROR);
    }
}

void TfrmCode::BtnReturnClick(TObject*) {
    Close();
}

void TfrmCode::dbgmainDrawColumnCell(TObject*, const TRect& Rect, int DataCol, TColumn* Column, TGridDrawState State) {
    TADOQuery* query = Queries[0];
    if (!query->Active() || query->IsEmpty() || Column->Title()->Caption() != NumberTitle) {
        dbgmain->DefaultDrawColumnCell(Rect, DataCol, Column, State);
        return;
    }
    TCanvas* canvas = dbgmain->Canvas();
    canvas->Brush()->SetColor(clWhite);
    canvas->FillRect(Rect);
    canvas->Font()->SetColor(clRed);
    canvas->TextOut(Rect.Left + 17, Rect.Top + 2, IntToStr(query->RecNo()));
}
