// The standalone editors: the in-place editor classes made ordinary controls
// on a form. Each differs from its in-place class only by its class object,
// which answers IsInplace with false; that gives the standalone construction
// defaults (width 121, height 24, tab stop, no host). The check editor's
// standalone class is in CheckEdit.h, beside its published descendant.
#pragma once

#include "editors/CurrencyEdit.h"
#include "editors/MemoEdit.h"
#include "editors/TextEdit.h"

// The class operations of ClassOps for a standalone editor class.
template <class ClassOps> class TcvStandaloneEditClass : public ClassOps {
public:
    bool IsInplace() const override { return false; }
};

class TCustomcvEdit : public TcvInplaceTextEdit {
public:
    explicit TCustomcvEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceTextEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TCustomcvMemo : public TcvInplaceMemoEdit {
public:
    explicit TCustomcvMemo(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceMemoEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TCustomcvCurrencyEdit : public TcvInplaceCurrencyEdit {
public:
    explicit TCustomcvCurrencyEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceCurrencyEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};
