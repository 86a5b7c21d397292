// Open and save dialogs for pictures: the filter lists every picture kind
// the graphics registry knows.
#pragma once

#include "platform/ui/Dialogs.h"

class TOpenPictureDialog : public TOpenDialog {
public:
    explicit TOpenPictureDialog(TComponent* AOwner);
    bool Execute() override;
};

class TSavePictureDialog : public TOpenPictureDialog {
public:
    using TOpenPictureDialog::TOpenPictureDialog;
    bool Execute() override;
};
