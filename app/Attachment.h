// The attachment chooser: the caller fills Entries with each file's full path
// and the label shown for it, the user picks a label, and SelectedKey holds
// the chosen entry's path after OK. Path and label are kept apart, as either
// may hold any character a file name can. Created without an owner, shown
// modally and freed by its caller.
#pragma once

#include "components/CodeComboBox.h"
#include "components/FlatPainter.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

#include <memory>
#include <string>
#include <vector>

struct TAttachmentEntry {
    std::string Path;
    std::string Label;
};

class TfrmAttachment : public TForm {
public:
    explicit TfrmAttachment(TComponent* AOwner);

    TCodeComboBox* CodeComboBox1 = nullptr;
    TButton* btnOk = nullptr;
    TButton* btnCancel = nullptr;
    TFlatPainter* FlatPainter1 = nullptr;

    // Lives from FormCreate to FormClose.
    std::unique_ptr<std::vector<TAttachmentEntry>> Entries;
    // The chosen entry's path after OK; else empty.
    std::string SelectedKey;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void btnOkClick(TObject* Sender);
    void btnCancelClick(TObject* Sender);
};

// The chooser while one shows.
extern TfrmAttachment* frmAttachment;

// Shows a chooser over Files (full paths, each labelled by its file name);
// true when the user pressed OK, with SelectedKey in Chosen.
bool ChooseAttachment(const std::vector<std::string>& Files, std::string& Chosen);
