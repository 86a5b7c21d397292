// The shared connection and the id counter table SYS_MaxID.
#include "app/DataModule.h"

#include "app/ApplicationFolder.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/Graphics.h"

#include <functional>

TDM* DM = nullptr;

namespace {

constexpr const char* SharedDatabaseFile = "voltrane.mdb";

// A blank page with its corner folded, the ground of several pictures.
void DrawPage(TCanvas* Canvas) {
    Canvas->Pen()->SetColor(clGray);
    Canvas->Brush()->SetColor(clWhite);
    Canvas->Polygon({{3, 1}, {10, 1}, {13, 4}, {13, 14}, {3, 14}});
}

void DrawRecordImages(TImageList* List) {
    const std::function<void(TCanvas*)> pictures[] = {
        [](TCanvas* c) { // new: a page with a plus
            DrawPage(c);
            c->Brush()->SetColor(clGreen);
            c->FillRect(Rect(6, 9, 15, 11));
            c->FillRect(Rect(9, 6, 11, 15));
        },
        [](TCanvas* c) { // edit: a page and a pencil
            DrawPage(c);
            c->Pen()->SetColor(clOlive);
            c->Pen()->SetWidth(2);
            c->MoveTo(14, 3);
            c->LineTo(6, 11);
        },
        [](TCanvas* c) { // delete: a red cross
            c->Pen()->SetColor(clRed);
            c->Pen()->SetWidth(3);
            c->MoveTo(3, 3);
            c->LineTo(13, 13);
            c->MoveTo(13, 3);
            c->LineTo(3, 13);
        },
        [](TCanvas* c) { // save: a disk
            c->Pen()->SetColor(clNavy);
            c->Brush()->SetColor(clBlue);
            c->Rectangle(1, 1, 15, 15);
            c->Brush()->SetColor(clWhite);
            c->FillRect(Rect(4, 2, 12, 7));
            c->Brush()->SetColor(clSilver);
            c->FillRect(Rect(5, 10, 11, 15));
        },
        [](TCanvas* c) { // cancel: a barred circle
            c->Pen()->SetColor(clRed);
            c->Pen()->SetWidth(2);
            c->Brush()->SetColor(clWhite);
            c->Ellipse(2, 2, 14, 14);
            c->MoveTo(4, 12);
            c->LineTo(12, 4);
        },
        [](TCanvas* c) { // refresh: a ring with an arrow head
            c->Pen()->SetColor(clGreen);
            c->Pen()->SetWidth(2);
            c->Brush()->SetColor(clFuchsia);
            c->Ellipse(2, 2, 14, 14);
            c->Brush()->SetColor(clGreen);
            c->Polygon({{10, 0}, {15, 4}, {9, 6}});
        },
        [](TCanvas* c) { // exit: a door and an arrow
            c->Pen()->SetColor(clMaroon);
            c->Brush()->SetColor(clMaroon);
            c->Rectangle(2, 1, 9, 15);
            c->Pen()->SetColor(clNavy);
            c->Pen()->SetWidth(2);
            c->MoveTo(7, 8);
            c->LineTo(15, 8);
            c->MoveTo(12, 5);
            c->LineTo(15, 8);
            c->LineTo(12, 11);
        },
    };
    for (const auto& draw : pictures) {
        TBitmap picture;
        picture.SetSize(16, 16);
        picture.Canvas()->Brush()->SetColor(clFuchsia);
        picture.Canvas()->FillRect(Rect(0, 0, 16, 16));
        draw(picture.Canvas());
        List->AddMasked(&picture, clFuchsia);
    }
}

} // namespace

std::string DatabaseConnectionString(const std::string& FileName) {
    // Quoted, so a ';' or blanks in a folder or user name stay in the path.
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + AnsiQuotedStr(FileName, '"') +
           ";Mode=Share Deny None;Jet OLEDB:Registry Path=\"\";Jet OLEDB:Engine Type=5;Persist Security Info=false;";
}

TDM::TDM(TComponent* AOwner) : TDataModule(AOwner) {
    SetName("DM");
    {
        TFormBuilder build(this);
        ADOConnection1 = build.Component<TADOConnection>("ADOConnection1");
        ADOConnection1->SetMode(cmShareDenyNone);
        ADOConnection1->SetLoginPrompt(false);
        ADOQuery1 = build.Component<TADOQuery>("ADOQuery1");
        ADOQuery1->SetConnection(ADOConnection1);
        cvEditStyleController1 = build.Component<TcvEditStyleController>("cvEditStyleController1");
        cvEditStyleController1->SetBorderStyle(xbsFlat);
        cvCheckEditStyleController1 = build.Component<TcvCheckEditStyleController>("cvCheckEditStyleController1");
        cvCheckEditStyleController1->SetButtonStyle(btsFlat);
        ImageList1 = build.Component<TImageList>("ImageList1");
        DrawRecordImages(ImageList1);
    }
    DataModuleCreate(this);
}

TDM::~TDM() {
    try {
        DataModuleDestroy(this);
    } catch (...) {
        // Nothing may leave a destructor; the connection goes with us anyway.
    }
}

void TDM::DataModuleCreate(TObject*) {
    ADOConnection1->SetConnectionString(DatabaseConnectionString(ApplicationFolder() + SharedDatabaseFile));
    ADOConnection1->SetLoginPrompt(false);
    ADOConnection1->Open();
}

void TDM::DataModuleDestroy(TObject*) {
    ADOConnection1->Close();
}

Integer TDM::GetMaxID(const std::string& TableName) {
    TTransactionGuard transaction(ADOConnection1);
    Integer result = 1;
    ADOQuery1->Close();
    ADOQuery1->SQL()->SetText("SELECT CurrentMaxID FROM SYS_MaxID WHERE TableName = :TableName");
    ADOQuery1->Parameters()->ParamByName("TableName")->SetValue(TableName);
    ADOQuery1->Open();
    const bool known = !ADOQuery1->IsEmpty();
    if (known) result = ADOQuery1->Fields()[0]->AsInteger();
    ADOQuery1->Close();
    if (known) {
        ADOQuery1->SQL()->SetText("UPDATE SYS_MaxID SET CurrentMaxID=CurrentMaxID+1 WHERE TableName = :TableName");
    } else {
        ADOQuery1->SQL()->SetText("INSERT INTO SYS_MaxID(TableName,CurrentMaxID) VALUES (:TableName,2)");
    }
    ADOQuery1->Parameters()->ParamByName("TableName")->SetValue(TableName);
    ADOQuery1->ExecSQL();
    transaction.Commit();
    return result;
}
