// The class objects of the filter value editors.
#include "dbgrid/FilterEdit.h"

#include "editors/StandaloneEdit.h"

const TcvInplaceEditClass& TCustomcvFilterDateEdit::StaticClass() {
    return TcvEditorClass<TCustomcvFilterDateEdit, TcvStandaloneEditClass<TcvDropDownEditClassOps>>::Instance();
}

const TcvInplaceEditClass& TCustomcvFilterImageEdit::StaticClass() {
    return TcvEditorClass<TCustomcvFilterImageEdit, TcvStandaloneEditClass<TcvImageEditClassOps>>::Instance();
}

const TcvInplaceEditClass& TCustomcvFilterSpinEdit::StaticClass() {
    return TcvEditorClass<TCustomcvFilterSpinEdit, TcvStandaloneEditClass<TcvSpinEditClassOps>>::Instance();
}

const TcvInplaceEditClass& TCustomcvFilterPickEdit::StaticClass() {
    return TcvEditorClass<TCustomcvFilterPickEdit, TcvStandaloneEditClass<TcvDropDownEditClassOps>>::Instance();
}

const TcvInplaceEditClass& TCustomcvFilterCalcEdit::StaticClass() {
    return TcvEditorClass<TCustomcvFilterCalcEdit, TcvStandaloneEditClass<TcvDropDownEditClassOps>>::Instance();
}

const TcvInplaceEditClass& TCustomcvFilterTimeEdit::StaticClass() {
    return TcvEditorClass<TCustomcvFilterTimeEdit, TcvStandaloneEditClass<TcvSpinEditClassOps>>::Instance();
}

const TcvInplaceEditClass& TCustomcvFilterCurrencyEdit::StaticClass() {
    return TcvEditorClass<TCustomcvFilterCurrencyEdit, TcvStandaloneEditClass<TcvTextEditClassOps>>::Instance();
}

const TcvInplaceEditClass& TCustomcvFilterLookupEdit::StaticClass() {
    return TcvEditorClass<TCustomcvFilterLookupEdit, TcvStandaloneEditClass<TcvDropDownEditClassOps>>::Instance();
}
