// The data update: a fresh copy of the program's template maindata.mdb is
// filled with the user's profile and project applications and then takes the
// place of the user's database. Run once at a user's first login and on
// demand as the forced update.
#pragma once

#include "app/Pop.h"
#include "platform/data/ADODB.h"
#include "platform/ui/Gauges.h"

class Tfrmflush : public TfrmPop {
public:
    explicit Tfrmflush(TComponent* AOwner);

    TLabel* Label1 = nullptr;
    TEdit* EdtPass = nullptr;
    TButton* btn_ok = nullptr;
    TButton* btn_cancel = nullptr;
    TLabel* lab_showflush = nullptr;
    TGauge* Gauge = nullptr;

    // Brings the database that Connection has open up to the template. True
    // when the new file is in place. On every path, success or failure, the
    // connection is open again when this returns; a failure leaves the old
    // file untouched.
    bool DoFlush(TADOConnection* Connection);

    void btn_okClick(TObject* Sender);
    void btn_cancelClick(TObject* Sender);

    // After a forced update the user's connection was closed and reopened, so
    // every dataset on it was closed: the project application window reopens
    // its record list here.
    TNotifyEvent OnUserDatabaseReopened;
};
