// The data module: the connection to the shared database beside the program
// and the id counter that hands out the keys of its documents and sub-table
// rows. One instance, DM, lives for the whole process.
#pragma once

#include "editors/CheckEdit.h"
#include "editors/EditStyle.h"
#include "platform/data/ADODB.h"
#include "platform/ui/Forms.h"
#include "platform/ui/ImageList.h"

#include <string>

// The connection string every database connection of the program uses; the
// data layer opens the file named by Data Source.
std::string DatabaseConnectionString(const std::string& FileName);

// The editor style controllers and ImageList1 join it with the editor
// controls.
class TDM : public TDataModule {
public:
    // Builds the components and runs DataModuleCreate, which connects the
    // shared database: a missing or broken voltrane.mdb raises from here.
    explicit TDM(TComponent* AOwner);
    ~TDM() override;

    TADOConnection* ADOConnection1 = nullptr;
    TADOQuery* ADOQuery1 = nullptr;
    // The look of the document windows' editors: flat borders.
    TcvEditStyleController* cvEditStyleController1 = nullptr;
    // The look of their check boxes: flat boxes.
    TcvCheckEditStyleController* cvCheckEditStyleController1 = nullptr;
    // The record tool bars' pictures, in button order: new, edit, delete,
    // save, cancel, refresh, exit.
    TImageList* ImageList1 = nullptr;

    void DataModuleCreate(TObject* Sender);
    void DataModuleDestroy(TObject* Sender);

    // The next id of the counter TableName: 1 on its first request (2 is
    // stored), afterwards the stored value, which then grows by one. Read and
    // update run in one immediate transaction, so two running copies never
    // receive the same id. Database errors raise to the caller.
    Integer GetMaxID(const std::string& TableName);
};

extern TDM* DM;
