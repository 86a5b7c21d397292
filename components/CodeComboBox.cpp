// The code combo box: a standard combo box with an owned list of codes.
#include "components/CodeComboBox.h"

TCodeComboBox::TCodeComboBox(TComponent* AOwner) : TComboBox(AOwner), FCodes(std::make_unique<TStringList>()) {}

TCodeComboBox::~TCodeComboBox() = default;

void TCodeComboBox::SetCodes(TStrings* Value) {
    FCodes->Assign(Value);
}

std::string TCodeComboBox::GetSelectedCode() const {
    const int index = ItemIndex();
    if (index >= 0 && index < FCodes->Count()) return FCodes->Strings(index);
    return {};
}
