// The typed filter value editors: the editors a column hands to the custom
// filter dialog (the plain one, TCustomcvFilterEdit, is the column base's).
// Each is its in-place editor with a class object that answers
// IsInplace with false, so it lives as an ordinary control of the dialog
// (no host, its own focus and tab stop).
#pragma once

#include "editors/CalcEdit.h"
#include "editors/CurrencyEdit.h"
#include "editors/DateEdit.h"
#include "editors/ImageEdit.h"
#include "editors/LookupEdit.h"
#include "editors/PickEdit.h"
#include "editors/SpinEdit.h"
#include "editors/TimeEdit.h"

class TCustomcvFilterDateEdit : public TcvInplaceDateEdit {
public:
    explicit TCustomcvFilterDateEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceDateEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TCustomcvFilterImageEdit : public TcvInplaceImageEdit {
public:
    explicit TCustomcvFilterImageEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceImageEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TCustomcvFilterSpinEdit : public TcvInplaceSpinEdit {
public:
    explicit TCustomcvFilterSpinEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceSpinEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TCustomcvFilterPickEdit : public TcvInplacePickEdit {
public:
    explicit TCustomcvFilterPickEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplacePickEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TCustomcvFilterCalcEdit : public TcvInplaceCalcEdit {
public:
    explicit TCustomcvFilterCalcEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceCalcEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TCustomcvFilterTimeEdit : public TcvInplaceTimeEdit {
public:
    explicit TCustomcvFilterTimeEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceTimeEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TCustomcvFilterCurrencyEdit : public TcvInplaceCurrencyEdit {
public:
    explicit TCustomcvFilterCurrencyEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceCurrencyEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TCustomcvFilterLookupEdit : public TcvInplaceLookupEdit {
public:
    explicit TCustomcvFilterLookupEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceLookupEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};
