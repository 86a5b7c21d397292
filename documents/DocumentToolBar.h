// What the document windows and the sub-table editors share: the tool bar of
// the standard dataset actions with its exit button, and the question asked
// before an edit would be lost.
#pragma once

#include "platform/ui/FormBuilder.h"

#include <string>

class TAction;
class TActionList;
class TCustomForm;
class TDataSet;
class TDataSource;
class TToolBar;
class TToolButton;

// The windows inherit these parts, so they carry the names the windows give them.
struct TDataSetToolBar {
    TActionList* ActionList1 = nullptr;
    TAction* DataSetInsert2 = nullptr;
    TAction* DataSetEdit2 = nullptr;
    TAction* DataSetDelete2 = nullptr;
    TAction* DataSetPost2 = nullptr;
    TAction* DataSetCancel2 = nullptr;
    TAction* DataSetRefresh2 = nullptr;
    TAction* Find = nullptr; // invisible, does nothing
    TToolBar* ToolBar2 = nullptr;
    TToolButton* ToolButton9 = nullptr; // 退出(&E)
};

// Actions on Source, buttons in the order insert, edit, delete, post, cancel,
// refresh, find, exit; the exit button closes Form.
TDataSetToolBar BuildDataSetToolBar(TFormBuilder& Build, TCustomForm* Form, TDataSource* Source);

// While DataSet is inserting or editing, asks "保存修改吗？" under Form's
// caption: Cancel aborts silently, Yes posts (its checks may abort), No lets
// the changes go.
void AskSaveBeforeClose(TCustomForm* Form, TDataSet* DataSet);

// The component Name of Owner as a T; raises EComponentError when there is none.
template <class T> T* NamedComponent(const TComponent* Owner, const std::string& Name) {
    auto* component = dynamic_cast<T*>(Owner->FindComponent(Name));
    if (!component) throw EComponentError("No control named " + Name);
    return component;
}
