// The class objects of the data-aware editors: each creates the data
// definition its editors own.
#include "editors/DBEditors.h"

namespace {

using TDBTextEditClass = TcvDBEditClass<TcvTextEditClassOps, TcvEditDBDataDefinition>;
using TDBMemoClass = TcvDBEditClass<TcvTextEditClassOps, TcvMemoEditDBDataDefinition>;
using TDBCurrencyEditClass = TcvDBEditClass<TcvTextEditClassOps, TcvCurrencyEditDBDataDefinition>;

} // namespace

const TcvInplaceEditClass& TCustomcvDBEdit::StaticClass() {
    return TcvEditorClass<TCustomcvDBEdit, TDBTextEditClass>::Instance();
}

const TcvInplaceEditClass& TcvDBEdit::StaticClass() {
    return TcvEditorClass<TcvDBEdit, TDBTextEditClass>::Instance();
}

const TcvInplaceEditClass& TCustomcvDBMemo::StaticClass() {
    return TcvEditorClass<TCustomcvDBMemo, TDBMemoClass>::Instance();
}

const TcvInplaceEditClass& TcvDBMemo::StaticClass() {
    return TcvEditorClass<TcvDBMemo, TDBMemoClass>::Instance();
}

const TcvInplaceEditClass& TCustomcvDBCurrencyEdit::StaticClass() {
    return TcvEditorClass<TCustomcvDBCurrencyEdit, TDBCurrencyEditClass>::Instance();
}

const TcvInplaceEditClass& TcvDBCurrencyEdit::StaticClass() {
    return TcvEditorClass<TcvDBCurrencyEdit, TDBCurrencyEditClass>::Instance();
}
