// The mid-term check table window: the common document window over
// KORIM_NWZQJCB with its progress radio buttons and the six delay reasons,
// which may be ticked only while "3.进度滞后" is chosen.
#pragma once

#include "documents/DocumentWindow.h"

class TRadioButton;

class Tfrmzqjcb : public TfrmDocument {
public:
    explicit Tfrmzqjcb(TComponent* AOwner);

    TRadioButton* RadioButton1 = nullptr; // 1.进度超前
    TRadioButton* RadioButton2 = nullptr; // 2.按计划进行
    TRadioButton* RadioButton3 = nullptr; // 3.进度滞后

    void RadioButtonClick(TObject* Sender);

protected:
    void LoadOwnControls() override;
    void SaveOwnControls() override;
    void OwnStateChanged(bool Editing) override;
};

extern Tfrmzqjcb* frmzqjcb;
