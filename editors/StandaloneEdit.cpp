// The class objects of the standalone editors.
#include "editors/StandaloneEdit.h"

const TcvInplaceEditClass& TCustomcvEdit::StaticClass() {
    return TcvEditorClass<TCustomcvEdit, TcvStandaloneEditClass<TcvTextEditClassOps>>::Instance();
}

const TcvInplaceEditClass& TCustomcvMemo::StaticClass() {
    return TcvEditorClass<TCustomcvMemo, TcvStandaloneEditClass<TcvTextEditClassOps>>::Instance();
}

const TcvInplaceEditClass& TCustomcvCurrencyEdit::StaticClass() {
    return TcvEditorClass<TCustomcvCurrencyEdit, TcvStandaloneEditClass<TcvTextEditClassOps>>::Instance();
}
