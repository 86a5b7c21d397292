// The editor demo's form, built as its form resource would be, and the demo
// database it edits.
#include "tools/editordemo/EditorDemoForm.h"
#include "tools/editordemo/FlatPopup.h"

#include "editors/BlobEdit.h"
#include "editors/ButtonEdit.h"
#include "editors/CalcEdit.h"
#include "editors/CheckEdit.h"
#include "editors/CurrencyEdit.h"
#include "editors/DBEditors.h"
#include "editors/DateEdit.h"
#include "editors/GraphicEdit.h"
#include "editors/HyperLinkEdit.h"
#include "editors/ImageEdit.h"
#include "editors/MemoEdit.h"
#include "editors/PickEdit.h"
#include "editors/PictureValue.h"
#include "editors/SpinEdit.h"
#include "editors/StandaloneEdit.h"
#include "editors/TextEdit.h"
#include "editors/TimeEdit.h"
#include "platform/data/ADODB.h"
#include "platform/rtl/FileUtils.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/StdCtrls.h"
#include "tools/editordemo/DemoStrip.h"

#include <sqlite3.h>

namespace {

constexpr const char* DemoSchema =
    "create table DEMO(ID INTEGER PRIMARY KEY, NAME VARCHAR(20), NOTE MEMO, DAY DATETIME, AMOUNT DECIMAL(18,4), "
    "CODE VARCHAR(4));"
    "insert into DEMO(ID, CODE) values (1, '01');"
    "create table CODES(CODE VARCHAR(4) PRIMARY KEY, NAME VARCHAR(40));"
    "insert into CODES values ('01', '重点科技攻关');"
    "insert into CODES values ('02', '软科学研究');"
    "insert into CODES values ('03', '科技型中小企业创新');";

// A small chart as the cells' picture, stored as a picture field keeps it.
std::string DemoPictureValue() {
    TPicture picture;
    TBitmap* bitmap = picture.Bitmap();
    bitmap->SetSize(96, 64);
    TCanvas* canvas = bitmap->Canvas();
    canvas->Brush()->SetColor(clWhite);
    canvas->FillRect({0, 0, 96, 64});
    const struct {
        TColor Color;
        int Height;
    } bars[] = {{clNavy, 30}, {clGreen, 48}, {clMaroon, 20}, {clTeal, 56}};
    int left = 8;
    for (const auto& bar : bars) {
        canvas->Brush()->SetColor(bar.Color);
        canvas->FillRect({left, 60 - bar.Height, left + 16, 60});
        left += 21;
    }
    std::string value;
    cvExEdtr::SavePictureToString(&picture, value);
    return value;
}

} // namespace

void OpenDemoDatabase(TADOConnection* Connection, const std::string& FileName) {
    OpenDatabaseFile(Connection, FileName, DemoSchema);
}

void OpenDatabaseFile(TADOConnection* Connection, const std::string& FileName, const char* Schema) {
    if (!FileExists(FileName)) {
        // The connection opens database files only; the file is made here.
        sqlite3* db = nullptr;
        const bool made = sqlite3_open(FileName.c_str(), &db) == SQLITE_OK &&
                          sqlite3_exec(db, Schema, nullptr, nullptr, nullptr) == SQLITE_OK;
        sqlite3_close(db);
        if (!made) throw EDatabaseError("Cannot create the demo database '" + FileName + "'.");
    }
    Connection->SetLoginPrompt(false);
    Connection->SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + FileName + ";");
    Connection->Open();
}

TfrmEditorDemo::TfrmEditorDemo(TComponent* AOwner) : TForm(AOwner) {
    TFormBuilder build(this);
    SetCaption("编辑控件演示");
    SetBounds(60, 40, 660, 680);
    Font()->SetName("宋体");
    Font()->SetHeight(-12);

    FConnection = build.Component<TADOConnection>("Connection");
    qryDemo = build.Component<TADOQuery>("qryDemo");
    qryDemo->SetConnection(FConnection);
    qryDemo->SQL()->SetText("select * from DEMO order by ID");
    qryCodes = build.Component<TADOQuery>("qryCodes");
    qryCodes->SetConnection(FConnection);
    qryCodes->SQL()->SetText("select * from CODES order by CODE");
    dsDemo = build.Component<TDataSource>("dsDemo");
    dsDemo->SetDataSet(qryDemo);
    dsCodes = build.Component<TDataSource>("dsCodes");
    dsCodes->SetDataSet(qryCodes);

    auto* standalone = build.Control<TGroupBox>(this, "grpStandalone", {8, 8, 636, 150}, "独立编辑控件");
    struct TLabelRow {
        const char* Caption;
        int Top;
    };
    for (const TLabelRow& row : {TLabelRow{"文本：", 24}, {"备注：", 52}, {"日期：", 114}})
        build.Control<TLabel>(standalone, "", {12, row.Top + 3, 60, 17}, row.Caption);
    build.Control<TLabel>(standalone, "", {330, 27, 60, 17}, "金额：");
    build.Control<TLabel>(standalone, "", {330, 55, 60, 17}, "复选：");
    build.Control<TCustomcvEdit>(standalone, "edtText", {72, 24, 240, 21}, "城市科技计划项目申报书");
    auto* memo = build.Control<TCustomcvMemo>(standalone, "memText", {72, 52, 240, 56});
    memo->SetScrollBars(ssVertical);
    memo->Lines()->SetText("第一行\r\n第二行");
    auto* date = build.Control<TCustomcvDateEdit>(standalone, "dedDate", {72, 114, 120, 21});
    date->SetUseEditMask(true);
    date->SetDate(Date());
    auto* currency = build.Control<TCustomcvCurrencyEdit>(standalone, "cedValue", {390, 24, 120, 21});
    currency->SetDisplayFormat(",0.00");
    currency->SetValue(1234.5);
    auto* check = build.Control<TcvCheckEdit>(standalone, "chkGrayed", {390, 52, 120, 21}, "可为灰色");
    check->SetAllowGrayed(true);
    check->SetState(cbsGrayed);
    // The flat painter over the standard controls, in a window of its own.
    auto* flat = build.Control<TButton>(standalone, "btnFlatPopup", {390, 112, 120, 25}, "平面弹出窗口");
    flat->OnClick = [](TObject*) {
        TfrmFlatPopup popup(nullptr);
        popup.ShowModal();
    };

    BuildDataControls(build);
    BuildStrip(build);
}

void TfrmEditorDemo::OpenDatabase(const std::string& FileName) {
    OpenDemoDatabase(FConnection, FileName);
    qryCodes->Open();
    qryDemo->Open();
}

void TfrmEditorDemo::BuildDataControls(TFormBuilder& build) {
    auto* data = build.Control<TGroupBox>(this, "grpData", {8, 166, 636, 230}, "数据编辑控件（DEMO 表）");
    struct TLabelRow {
        const char* Caption;
        int Top;
    };
    for (const TLabelRow& row :
         {TLabelRow{"名称：", 24}, {"备注：", 52}, {"日期：", 114}, {"金额：", 142}, {"代码：", 170}})
        build.Control<TLabel>(data, "", {12, row.Top + 3, 60, 17}, row.Caption);
    // Made in the tab order: NAME, NOTE, DAY, AMOUNT, CODE.
    edtName = build.Control<TcvDBEdit>(data, "edtName", {72, 24, 240, 21});
    edtName->SetDataSource(dsDemo);
    edtName->SetDataField("NAME");
    edtName->SetCharCase(ecUpperCase);
    memNote = build.Control<TcvDBMemo>(data, "memNote", {72, 52, 240, 56});
    memNote->SetDataSource(dsDemo);
    memNote->SetDataField("NOTE");
    dedDay = build.Control<TcvDBDateEdit>(data, "dedDay", {72, 114, 120, 21});
    dedDay->SetDataSource(dsDemo);
    dedDay->SetDataField("DAY");
    cedAmount = build.Control<TcvDBCurrencyEdit>(data, "cedAmount", {72, 142, 120, 21});
    cedAmount->SetDataSource(dsDemo);
    cedAmount->SetDataField("AMOUNT");
    cedAmount->SetMaxValue(999);
    ledCode = build.Control<TcvDBLookupEdit>(data, "ledCode", {72, 170, 160, 21});
    ledCode->SetListSource(dsCodes);
    ledCode->SetKeyFieldName("CODE");
    ledCode->SetListFieldName("NAME");
    ledCode->SetDataSource(dsDemo);
    ledCode->SetDataField("CODE");

    struct TButtonRow {
        TButton** Button;
        const char* Name;
        const char* Caption;
    };
    const TButtonRow moves[] = {{&btnFirst, "btnFirst", "第一条"},
                                {&btnPrior, "btnPrior", "上一条"},
                                {&btnNext, "btnNext", "下一条"},
                                {&btnLast, "btnLast", "最后一条"}};
    int left = 330;
    for (const TButtonRow& row : moves) {
        *row.Button = build.Control<TButton>(data, row.Name, {left, 196, 66, 25}, row.Caption);
        (*row.Button)->OnClick = [this](TObject* Sender) { MoveClick(Sender); };
        left += 72;
    }
    btnPost = build.Control<TButton>(data, "btnPost", {250, 196, 66, 25}, "保存");
    btnPost->OnClick = [this](TObject* Sender) { PostClick(Sender); };
}

void TfrmEditorDemo::BuildStrip(TFormBuilder& build) {
    auto* cells = build.Control<TGroupBox>(this, "grpCells", {8, 404, 636, 220}, "单元格（点击编辑）");
    Strip = build.Control<TDemoStrip>(cells, "Strip", {10, 20, 616, 188});
    Strip->AddCell(TcvInplaceTextEdit::StaticClass(), "文本", std::string("城市科技计划"), 120);
    Strip->AddCell(TcvInplaceMemoEdit::StaticClass(), "备注", std::string("一行写不下的备注在单元格里折行"), 150);
    auto* date =
        static_cast<TcvInplaceDateEdit*>(Strip->AddCell(TcvInplaceDateEdit::StaticClass(), "日期", Null(), 110));
    date->SetDate(Date());
    auto* currency = static_cast<TcvInplaceCurrencyEdit*>(
        Strip->AddCell(TcvInplaceCurrencyEdit::StaticClass(), "金额", 1234.5, 110));
    currency->SetDisplayFormat(",0.00");
    auto* check = static_cast<TcvInplaceCheckEdit*>(Strip->AddCell(TcvInplaceCheckEdit::StaticClass(), "复选", 1, 90));
    check->SetAllowGrayed(true);
    // The button, calculator, hyperlink, spin and time editors.
    auto* button = static_cast<TcvInplaceButtonEdit*>(
        Strip->AddCell(TcvInplaceButtonEdit::StaticClass(), "按钮", std::string("附件.doc"), 120));
    button->SetExistButtons(true); // as a stored form holding buttons
    button->Buttons()->Add()->SetKind(bkDown);
    Strip->AddCell(TcvInplaceCalcEdit::StaticClass(), "计算", std::string("12.5"), 90);
    Strip->AddCell(TcvInplaceHyperLinkEdit::StaticClass(), "网址", std::string("www.example.cn"), 120);
    auto* spin = static_cast<TcvInplaceSpinEdit*>(Strip->AddCell(TcvInplaceSpinEdit::StaticClass(), "数量", 0, 80));
    spin->SetMinMaxValues(0, 99);
    spin->SetValue(12);
    Strip->AddCell(TcvInplaceTimeEdit::StaticClass(), "时间", EncodeTime(8, 30, 0, 0), 90);
    // The image, pick and MRU editors.
    auto* image = static_cast<TcvInplaceImageEdit*>(Strip->AddCell(TcvInplaceImageEdit::StaticClass(), "状态", std::string("2"), 80));
    for (const char* value : {"1", "2", "3"})
        image->Values()->Add(value);
    for (const char* description : {"通过", "待审", "退回"})
        image->Descriptions()->Add(description);
    auto* pick = static_cast<TcvInplacePickEdit*>(Strip->AddCell(TcvInplacePickEdit::StaticClass(), "类别", std::string("软科学"), 90));
    for (const char* item : {"重点科技攻关", "软科学", "科技型中小企业"})
        pick->Items()->Add(item);
    auto* mru = static_cast<TcvInplaceMRUEdit*>(Strip->AddCell(TcvInplaceMRUEdit::StaticClass(), "最近", std::string("北京"), 90));
    for (const char* item : {"北京", "上海", "广州"})
        mru->Items()->Add(item);
    // The graphic editor and the blob editor of memo and of picture kind.
    const std::string picture = DemoPictureValue();
    gedPicture = static_cast<TcvInplaceGraphicEdit*>(
        Strip->AddCell(TcvInplaceGraphicEdit::StaticClass(), "图片", picture, 120));
    gedPicture->SetStretch(true);
    gedPicture->PopupToolBar()->SetIsPopupMenu(false);
    auto* memoBlob = static_cast<TcvInplaceBlobEdit*>(Strip->AddCell(
        TcvInplaceBlobEdit::StaticClass(), "备注块", std::string("项目说明：\r\n第一期已完成"), 90));
    memoBlob->SetMemoScrollBars(ssVertical);
    bedPicture = static_cast<TcvInplaceBlobEdit*>(
        Strip->AddCell(TcvInplaceBlobEdit::StaticClass(), "图片块", picture, 90));
    bedPicture->SetBlobKind(bkvPicture);
}

void TfrmEditorDemo::MoveClick(TObject* Sender) {
    if (Sender == btnFirst) qryDemo->First();
    if (Sender == btnPrior) qryDemo->Prior();
    if (Sender == btnNext) qryDemo->Next();
    if (Sender == btnLast) qryDemo->Last();
}

void TfrmEditorDemo::PostClick(TObject* Sender) {
    (void)Sender;
    if (qryDemo->State() == dsEdit || qryDemo->State() == dsInsert) qryDemo->Post();
}
