// The main window's user state and its connection.
#include "app/Main.h"

TfrmMain* frmMain = nullptr;

TfrmMain::TfrmMain(TComponent* AOwner) : TForm(AOwner) {
    TComponentLoading loading(this);
    SetName("frmMain");
    SetCaption("Corvanta2.0");
    SetVisible(false);

    adocon = new TADOConnection(this);
    adocon->SetName("adocon");
    adocon->SetMode(cmShareDenyNone);
    adocon->SetLoginPrompt(false);
}
