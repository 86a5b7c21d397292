// The mask column and its editor class.
#include "treelist/TreeListMaskColumn.h"

const TcvInplaceEditClass& TcvInplaceTreeListMaskEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceTreeListMaskEdit, TcvTextEditClassOps>::Instance();
}

void TcvTreeListMaskColumn::Assign(TPersistent* Source) {
    TcvTreeListColumn::Assign(Source);
    // The mask is a plain store: it needs no layout of its own.
    if (auto* source = dynamic_cast<TcvTreeListMaskColumn*>(Source)) FEditMask = source->FEditMask;
}

const TcvInplaceEditClass& TcvTreeListMaskColumn::GetEditorClass() const {
    return TcvInplaceTreeListMaskEdit::StaticClass();
}

void TcvTreeListMaskColumn::InitEditor(TcvInplaceEdit* Editor) {
    // The mask goes in first: a masked editor takes the mask's length as its
    // MaxLength, so the column's MaxLength must come after a mask that went.
    if (auto* mask = dynamic_cast<TcvInplaceMaskEdit*>(Editor)) {
        mask->SetEditMask(FEditMask);
        mask->SetIgnoreMaskBlank(FIgnoreMaskBlank);
    }
    TcvTreeListColumn::InitEditor(Editor);
}

void TcvTreeListMaskColumn::RestoreDefaults() {
    TcvTreeListColumn::RestoreDefaults();
    FEditMask.clear();
}
