// Picture dialogs: the open dialog with the graphics registry's filter.
#include "platform/ui/ExtDlgs.h"

#include "platform/ui/Graphics.h"

TOpenPictureDialog::TOpenPictureDialog(TComponent* AOwner) : TOpenDialog(AOwner) {
    SetFilter(TPicture::GraphicFilter());
}

bool TOpenPictureDialog::Execute() {
    return DoExecute(TDialogKind::OpenPicture);
}

bool TSavePictureDialog::Execute() {
    return DoExecute(TDialogKind::SavePicture);
}
