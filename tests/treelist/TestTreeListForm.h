// A tree-list control with text columns on a shown form, its nodes named by
// their first cell text, for the selection, editing and search tests.
#pragma once

#include "platform/ui/Forms.h"
#include "platform/ui/Painting.h"
#include "tests/platform/ui/WmRecorder.h"
#include "treelist/TreeListControl.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>

namespace treelisttest {

class TreeListOnForm : public ::testing::Test {
protected:
    void SetUp() override {
        TForm* form = nullptr;
        CreateFormInstance(form, nullptr);
        Form.reset(form);
        Form->SetBounds(20, 20, 500, 400);
        Tree = new TCustomcvTreeListControl(Form.get());
        Tree->SetParent(Form.get());
        Tree->SetBounds(0, 0, 400, 300);
        // Cells, not whole rows, take the focus.
        Tree->SetOptions(Tree->Options() & ~tlo_RowSelect);
    }
    // A column owned by the form, last in the control's order and in band 0.
    template <class TColumn = TcvTreeListColumn> TColumn* AddColumn() {
        auto* column = new TColumn(Form.get());
        column->SetTreeList(Tree);
        column->SetBandIndex(0);
        return column;
    }
    // A node under Parent (nullptr: a root) with one text per column; its
    // first text names it.
    TcvTreeListNode* AddNode(TcvTreeListNode* Parent, std::initializer_list<std::string> Texts) {
        TcvTreeListNode* node = Parent ? Parent->AddChild() : Tree->Add();
        int column = 0;
        for (const std::string& text : Texts)
            node->StoreString(column++, text);
        return node;
    }
    // The first node, in tree order, whose first text is Name.
    TcvTreeListNode* N(const std::string& Name) const {
        for (TcvTreeListNode* node = Tree->Items(0); node; node = node->GetNext())
            if (node->Strings(0) == Name) return node;
        return nullptr;
    }
    static std::string NameOf(const TcvTreeListNode* Node) { return Node ? Node->Strings(0) : "-"; }
    void Show() {
        Form->Show();
        SettleActivation();
        Tree->SetFocus();
        ProcessMessages();
        UpdateWindow(Tree->Handle());
    }

    std::unique_ptr<TForm> Form;
    TCustomcvTreeListControl* Tree = nullptr;
};

} // namespace treelisttest
