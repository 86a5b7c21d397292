// The main window's actions that open the shared-database document windows.
#include "app/Main.h"
#include "documents/DocumentWindow.h"
#include "documents/Yssq.h"
#include "documents/Yszs.h"
#include "documents/Zqjcb.h"

void RegisterDocumentWindows(TfrmMain* Main) {
    Main->ActionZqjcb->SetEnabled(true);
    Main->ActionZqjcb->OnExecute = [Main](TObject*) { Main->OpenChild(frmzqjcb, Main); };
    Main->ActionYssq->SetEnabled(true);
    Main->ActionYssq->OnExecute = [Main](TObject*) { Main->OpenChild(frmyssq, Main); };
    Main->ActionYszs->SetEnabled(true);
    Main->ActionYszs->OnExecute = [Main](TObject*) { Main->OpenChild(frmyszs, Main); };
}
