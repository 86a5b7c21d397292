// Tree-list controls on a shown form driven by real key and mouse input
// through the test hooks. The control logs the editor starts and header drag
// starts instead of running them, so a test reads what a key or click asked
// for.
#pragma once

#include "platform/ui/Forms.h"
#include "platform/ui/Painting.h"
#include "platform/ui/testhooks/WmTestHooks.h"
#include "tests/platform/ui/WmRecorder.h"
#include "treelist/TreeListControl.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace treelisttest {

class TLoggingTreeList : public TCustomcvTreeListControl {
public:
    using TCustomcvTreeListControl::TCustomcvTreeListControl;
    std::vector<std::string> Log;
    // What ShowEditor does besides logging (a test may move the focus).
    std::function<void()> OnShowEditor;

    void ShowEditor() override {
        Log.push_back("ShowEditor");
        if (OnShowEditor) OnShowEditor();
    }
    void DoStartHeaderDragging(int Column) override {
        Log.push_back("DoStartHeaderDragging " + std::to_string(Column));
    }
};

class TreeListInput : public ::testing::Test {
protected:
    // A control (of class T) of Columns text columns (captions "C0", ...)
    // and Rows root nodes named "R0", ..., at (Left, 0) on the form.
    template <class T = TLoggingTreeList> T* AddTree(int Columns, int Rows, int Left = 0) {
        if (!Form) {
            TForm* form = nullptr;
            CreateFormInstance(form, nullptr);
            Form.reset(form);
            Form->SetBounds(20, 20, 700, 400);
        }
        auto* tree = new T(Form.get());
        tree->SetParent(Form.get());
        tree->SetBounds(Left, 0, 330, 300);
        tree->SetOptions(tree->Options() & ~tlo_RowSelect);
        TUpdateGuard<TCustomcvTreeList> update(tree);
        for (int i = 0; i < Columns; ++i) {
            auto* column = new TcvTreeListColumn(Form.get());
            column->SetTreeList(tree);
            column->SetBandIndex(0);
            column->SetCaption("C" + std::to_string(i));
        }
        for (int i = 0; i < Rows; ++i)
            tree->Add()->StoreString(0, "R" + std::to_string(i));
        return tree;
    }
    void Show(TCustomcvTreeList* Focused) {
        Form->Show();
        SettleActivation();
        Focused->SetFocus();
        ProcessMessages();
        UpdateWindow(Focused->Handle());
    }
    // A key pressed and released with Keys held (MK_SHIFT, MK_CONTROL, MK_ALT).
    static void Key(TCustomcvTreeList* Tree, Word Vk, WPARAM Keys = 0, const std::string& Text = "") {
        platform_ui::test::SendQtKey(Tree->Handle(), Vk, Keys, Text);
        ProcessMessages();
    }
    // A left click (press and release) at a client point.
    static void Click(TCustomcvTreeList* Tree, TPoint P, WPARAM Keys = 0) {
        Press(Tree, P, Keys);
        Release(Tree, P, Keys);
    }
    static void Press(TCustomcvTreeList* Tree, TPoint P, WPARAM Keys = 0) {
        Mouse(Tree, platform_ui::test::TMouseEventKind::Press, P, MK_LBUTTON, Keys | MK_LBUTTON);
    }
    static void MoveTo(TCustomcvTreeList* Tree, TPoint P, WPARAM Keys = MK_LBUTTON) {
        Mouse(Tree, platform_ui::test::TMouseEventKind::Move, P, 0, Keys);
    }
    static void Release(TCustomcvTreeList* Tree, TPoint P, WPARAM Keys = 0) {
        Mouse(Tree, platform_ui::test::TMouseEventKind::Release, P, MK_LBUTTON, Keys);
    }
    static void Mouse(TCustomcvTreeList* Tree, platform_ui::test::TMouseEventKind Kind, TPoint P, WPARAM Button,
                      WPARAM Keys) {
        const TPoint origin = Tree->ClientToScreen({0, 0});
        TRect window;
        GetWindowRect(Tree->Handle(), window);
        platform_ui::test::SendQtMouse(Tree->Handle(), Kind, {P.X + origin.X - window.Left, P.Y + origin.Y - window.Top},
                                       Button, Keys);
        ProcessMessages();
    }
    // The middle of a node's cell in a shown column.
    static TPoint CellCentre(TCustomcvTreeList* Tree, int Row, int Column) {
        const TRect r = Tree->GetCellRect(Tree->GetRowNode(Row), Column);
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    // Rows of the selected nodes, in row order, and the focused row.
    static std::string Selection(TCustomcvTreeList* Tree) {
        std::string rows;
        for (int row = 0; row < Tree->GetVisibleRowCount(); ++row)
            if (Tree->IsNodeSelected(Tree->GetRowNode(row))) rows += (rows.empty() ? "" : " ") + std::to_string(row);
        return rows + " @" + std::to_string(Tree->GetFocusedRowIndex());
    }

    std::unique_ptr<TForm> Form;
};

} // namespace treelisttest
