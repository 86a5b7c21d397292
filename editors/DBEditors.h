// The data-aware editors of forms: the standalone editors bound to one field
// of a data source through a field-backed data definition. They add only
// DataSource and DataField (both kept by the definition) and answer
// CM_GETDATALINK with the definition's data link, and Escape reloads the
// field; how the value travels is the definition's business
// (EditDBDataDefinition.h).
#pragma once

#include "editors/EditDBDataDefinition.h"
#include "editors/StandaloneEdit.h"
#include "platform/ui/Messages.h"

#include <memory>
#include <string>

// The class operations of ClassOps for a standalone editor class that is
// bound to data through a definition of class TDefinition.
template <class ClassOps, class TDefinition> class TcvDBEditClass : public TcvStandaloneEditClass<ClassOps> {
public:
    std::unique_ptr<TcvEditDataDefinition> CreateDataDefinition() const override {
        return std::make_unique<TDefinition>();
    }
};

// TBase bound to data; its class object must create a TcvEditDBDataDefinition.
template <class TBase> class TcvDataAwareEdit : public TBase {
public:
    TcvDataAwareEdit(TComponent* AOwner, const TcvInplaceEditClass& Class) : TBase(AOwner, Class) {
        this->SetControlStyle(this->ControlStyle() + csReplicatable - csSetCaption);
    }

    TDataSource* DataSource() const { return Definition()->DataSource(); }
    void SetDataSource(TDataSource* Value) { Definition()->SetDataSource(Value); }
    const std::string& DataField() const { return Definition()->DataField(); }
    void SetDataField(const std::string& Value) { Definition()->SetDataField(Value); }

    void WndProc(TMessage& Message) override {
        if (Message.Msg == CM_GETDATALINK) {
            Message.Result = reinterpret_cast<LRESULT>(Definition()->DataLink());
            return;
        }
        TBase::WndProc(Message);
    }

protected:
    // Escape reads the field back, all of it selected.
    void KeyDown(Word& Key, TShiftState Shift) override {
        if (Key == VK_ESCAPE) {
            Definition()->DataChanged();
            this->SelectAllText();
        }
        TBase::KeyDown(Key, Shift);
    }
    TcvEditDBDataDefinition* Definition() const {
        return static_cast<TcvEditDBDataDefinition*>(this->DataDefinition());
    }
};

class TCustomcvDBEdit : public TcvDataAwareEdit<TCustomcvEdit> {
public:
    explicit TCustomcvDBEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvDataAwareEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TcvDBEdit : public TCustomcvDBEdit {
public:
    explicit TcvDBEdit(TComponent* AOwner) : TCustomcvDBEdit(AOwner, StaticClass()) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TCustomcvDBMemo : public TcvDataAwareEdit<TCustomcvMemo> {
public:
    explicit TCustomcvDBMemo(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvDataAwareEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TcvDBMemo : public TCustomcvDBMemo {
public:
    explicit TcvDBMemo(TComponent* AOwner) : TCustomcvDBMemo(AOwner, StaticClass()) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TCustomcvDBCurrencyEdit : public TcvDataAwareEdit<TCustomcvCurrencyEdit> {
public:
    explicit TCustomcvDBCurrencyEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvDataAwareEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TcvDBCurrencyEdit : public TCustomcvDBCurrencyEdit {
public:
    explicit TcvDBCurrencyEdit(TComponent* AOwner) : TCustomcvDBCurrencyEdit(AOwner, StaticClass()) {}
    static const TcvInplaceEditClass& StaticClass();
};
