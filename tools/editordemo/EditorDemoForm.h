// The editor demo's form: one standalone editor of each kind, the data-aware
// editors over the DEMO table with buttons to move and post, and a strip of
// cells painted through the editor classes.
#pragma once

#include "platform/ui/Forms.h"

#include <string>

class TADOConnection;
class TADOQuery;
class TButton;
class TDataSource;
class TDemoStrip;
class TFormBuilder;
class TcvDBCurrencyEdit;
class TcvDBDateEdit;
class TcvDBEdit;
class TcvDBLookupEdit;
class TcvDBMemo;
class TcvInplaceBlobEdit;
class TcvInplaceGraphicEdit;

// Opens FileName on Connection; a missing file is made with the DEMO and
// CODES tables and their first rows.
void OpenDemoDatabase(TADOConnection* Connection, const std::string& FileName);
// Opens FileName on Connection; a missing file is made by running Schema.
void OpenDatabaseFile(TADOConnection* Connection, const std::string& FileName, const char* Schema);

class TfrmEditorDemo : public TForm {
public:
    explicit TfrmEditorDemo(TComponent* AOwner);
    // Opens the database (made when missing) and its tables on record 1.
    void OpenDatabase(const std::string& FileName);

    TADOQuery* qryDemo = nullptr;
    TADOQuery* qryCodes = nullptr;
    TDataSource* dsDemo = nullptr;
    TDataSource* dsCodes = nullptr;
    TDemoStrip* Strip = nullptr;
    TcvDBEdit* edtName = nullptr;
    TcvDBMemo* memNote = nullptr;
    TcvDBDateEdit* dedDay = nullptr;
    TcvDBCurrencyEdit* cedAmount = nullptr;
    TcvDBLookupEdit* ledCode = nullptr;
    TButton* btnPost = nullptr;
    TcvInplaceGraphicEdit* gedPicture = nullptr; // in the strip
    TcvInplaceBlobEdit* bedPicture = nullptr;    // in the strip, of picture kind

private:
    void BuildDataControls(TFormBuilder& build);
    void BuildStrip(TFormBuilder& build);
    void MoveClick(TObject* Sender);
    void PostClick(TObject* Sender);

    TADOConnection* FConnection = nullptr;
    TButton* btnFirst = nullptr;
    TButton* btnPrior = nullptr;
    TButton* btnNext = nullptr;
    TButton* btnLast = nullptr;
};
