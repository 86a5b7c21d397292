// The attachment chooser's layout and its few handlers.
#include "app/Attachment.h"

#include "app/OneUseForm.h"
#include "platform/rtl/FileUtils.h"
#include "platform/ui/FormBuilder.h"

TfrmAttachment* frmAttachment = nullptr;

TfrmAttachment::TfrmAttachment(TComponent* AOwner) : TForm(AOwner) {
    TFormBuilder build(this);
    SetName("frmAttachment");
    SetBorderStyle(bsDialog);
    SetCaption("附件");
    SetPosition(poScreenCenter);
    SetClientWidth(330);
    SetClientHeight(90);
    SetVisible(false);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };

    CodeComboBox1 = build.Control<TCodeComboBox>(this, "CodeComboBox1", {16, 16, 298, 21});
    CodeComboBox1->SetStyle(csDropDownList);
    btnOk = build.Control<TButton>(this, "btnOk", {150, 52, 75, 25}, "确定");
    btnOk->SetDefault(true);
    btnOk->OnClick = [this](TObject* Sender) { btnOkClick(Sender); };
    btnCancel = build.Control<TButton>(this, "btnCancel", {239, 52, 75, 25}, "取消");
    btnCancel->SetCancel(true);
    btnCancel->OnClick = [this](TObject* Sender) { btnCancelClick(Sender); };

    FlatPainter1 = build.Component<TFlatPainter>("FlatPainter1");
    FlatPainter1->SetFlatControls({xcCombo, xcButton});
    FlatPainter1->SetActive(true);
}

void TfrmAttachment::FormCreate(TObject*) {
    Entries = std::make_unique<std::vector<TAttachmentEntry>>();
}

void TfrmAttachment::FormShow(TObject*) {
    if (Entries->empty()) {
        btnOk->SetEnabled(false);
        return;
    }
    for (const TAttachmentEntry& entry : *Entries)
        CodeComboBox1->Items()->Add(entry.Label);
    CodeComboBox1->SetItemIndex(0);
}

void TfrmAttachment::FormClose(TObject*, TCloseAction&) {
    Entries.reset();
}

void TfrmAttachment::btnOkClick(TObject*) {
    SelectedKey.clear();
    const int index = CodeComboBox1->ItemIndex();
    if (index >= 0 && static_cast<size_t>(index) < Entries->size())
        SelectedKey = (*Entries)[static_cast<size_t>(index)].Path;
    SetModalResult(mrOk);
}

void TfrmAttachment::btnCancelClick(TObject*) {
    SetModalResult(mrCancel);
}

bool ChooseAttachment(const std::vector<std::string>& Files, std::string& Chosen) {
    TOneUseForm<TfrmAttachment> chooser(frmAttachment);
    for (const std::string& file : Files)
        chooser->Entries->push_back({file, ExtractFileName(file)});
    if (chooser->ShowModal() != mrOk) return false;
    Chosen = chooser->SelectedKey;
    return true;
}
