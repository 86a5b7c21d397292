// The about box, created, shown modally and freed by the main window on each
// use.
#pragma once

#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"

class TdlgAbout : public TForm {
public:
    explicit TdlgAbout(TComponent* AOwner);

    TImage* ProgramIcon = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Version = nullptr;
    TLabel* Comments = nullptr;
    TBevel* Bevel1 = nullptr;
    TLabel* Warning = nullptr;
    TButton* Button1 = nullptr;

    void FormCreate(TObject* Sender);
    void Button1Click(TObject* Sender);
};

extern TdlgAbout* dlgAbout;
