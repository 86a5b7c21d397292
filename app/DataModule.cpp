// The shared connection and the id counter table SYS_MaxID.
#include "app/DataModule.h"

#include "app/ApplicationFolder.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/FormBuilder.h"

TDM* DM = nullptr;

namespace {

constexpr const char* SharedDatabaseFile = "voltrane.mdb";

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
