// A data-aware tree list for the tests of the control layer: it answers the
// operations the grid answers in the program, the simplest way. Every record
// is a node (its bookmark kept beside it), the current record's node is
// focused, focusing a node moves the dataset, and the notifications it
// hears are logged. Shown on a form over a GridFixture table.
#pragma once

#include "dbgrid/DBTreeListControl.h"
#include "platform/ui/Forms.h"
#include "tests/dbgrid/GridFixture.h"
#include "tests/platform/ui/WmRecorder.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace gridtest {

class TTestDBTreeList : public TCustomcvDBTreeListControl {
public:
    explicit TTestDBTreeList(TComponent* AOwner) : TCustomcvDBTreeListControl(AOwner), Link(this) {}
    ~TTestDBTreeList() override { Link.SetDataSource(nullptr); }

    TcvDBTreeListControlDataLink Link;
    bool DefaultFields = false;
    bool BookmarkSelection = true;
    bool CanInsert = true;
    bool InMemory = false;
    std::vector<std::string> Calls;
    std::map<const TcvTreeListNode*, std::string> Bookmarks;

    TcvDBTreeListControlDataLink* GetDataLink() const override { return const_cast<TcvDBTreeListControlDataLink*>(&Link); }
    TDataSource* GetDataSource() const override { return Link.DataSource(); }
    bool GetDefaultFields() const override { return DefaultFields; }
    bool CanStartEditing() const override { return CanInsert; }
    bool CanEditData() const override { return true; }
    bool IsInMemoryMode() const override { return InMemory; }
    bool IsReadOnlyData() const override { return false; }
    bool IsNodeSearchMode() const override { return false; }
    bool IsBookmarkSelection() const override { return BookmarkSelection; }
    void SetInternalFlag(bool) override {}

    void LinkActiveChanged(bool Active) override {
        Calls.push_back(Active ? "LinkActiveChanged on" : "LinkActiveChanged off");
        BindingChanged();
        Reload();
    }
    void DataChanged() override {
        Calls.push_back("DataChanged");
        Reload();
    }
    void RecordChanged(TField*) override { Calls.push_back("RecordChanged"); }
    void Scroll(int Distance) override {
        Calls.push_back("Scroll " + std::to_string(Distance));
        FocusCurrent();
    }
    void UpdateData() override {
        Calls.push_back("UpdateData");
        TCustomcvDBTreeListControl::UpdateData();
    }
    bool FocusNode(TcvTreeListNode* Node) override {
        if (!FSyncing && Node && Link.Active()) {
            FSyncing = true;
            DataSet()->GotoBookmark(Bookmarks[Node]);
            FSyncing = false;
        }
        return TCustomcvDBTreeListControl::FocusNode(Node);
    }
    void SetNodeSelected(TcvTreeListNode* Node, bool Value) override {
        if (!BookmarkSelection) return TCustomcvDBTreeListControl::SetNodeSelected(Node, Value);
        int index = 0;
        if (Value && !FindBookmark(Bookmarks[Node], index)) SelectedList().InsertObject(index, Bookmarks[Node], Node);
    }
    bool IsNodeSelected(const TcvTreeListNode* Node) const override {
        int index = 0;
        const auto found = Bookmarks.find(Node);
        if (BookmarkSelection)
            return found != Bookmarks.end() &&
                   const_cast<TTestDBTreeList*>(this)->FindBookmark(found->second, index);
        return FindSelectedNode(Node, index);
    }
    TcvTreeListNode* NodeOfId(int Id) const {
        for (int i = 0; i < Count(); ++i)
            if (static_cast<TcvDBTreeListControlNode*>(Items(i))->KeyValue == Variant(Id)) return Items(i);
        return nullptr;
    }

private:
    // One node per record, read by walking the dataset with its controls off
    // (not while a record is edited: the walk would end the edit). The
    // selected bookmarks stay.
    void Reload() {
        if (FSyncing || (Link.Active() && DataSet()->State() != dsBrowse)) return;
        FSyncing = true;
        std::vector<std::string> selected;
        for (int i = 0; i < SelectedCount(); ++i)
            selected.push_back(GetSelectedRow(i));
        ClearNodes();
        for (const std::string& bookmark : selected)
            SelectedList().Add(bookmark);
        Bookmarks.clear();
        if (Link.Active()) {
            TDataSet* dataSet = DataSet();
            TUpdateGuard<TCustomcvTreeList> update(this);
            TDisableControlsScope disable(dataSet);
            const TBookmarkStr current = dataSet->Bookmark();
            for (dataSet->First(); !dataSet->Eof(); dataSet->Next()) {
                TcvTreeListNode* node = Add();
                LoadNodeFromRecord(node);
                Bookmarks[node] = dataSet->Bookmark();
            }
            if (!current.empty()) dataSet->GotoBookmark(current);
        }
        FSyncing = false;
        FocusCurrent();
    }
    void FocusCurrent() {
        if (FSyncing || !Link.Active() || DataSet()->IsEmpty()) return;
        FSyncing = true;
        if (TcvTreeListNode* node = NodeOfId(DataSet()->FieldByName("ID")->AsInteger())) node->SetFocused(true);
        FSyncing = false;
    }

    bool FSyncing = false;
};

// A form holding the control (400 x 300) over Rows rows of GridFixture's
// table, with KeyField "ID" and columns bound to ID, Name and Note.
class DBTreeListTest : public ::testing::Test {
protected:
    explicit DBTreeListTest(int Rows = 20) : Data(Rows) {}
    void SetUp() override {
        CreateFormInstance(FormInstance, nullptr);
        Form.reset(FormInstance);
        Form->SetBounds(20, 20, 500, 400);
        Tree = new TTestDBTreeList(Form.get());
        Tree->SetName("Grid1");
        Tree->SetParent(Form.get());
        Tree->SetBounds(0, 0, 400, 300);
        Tree->SetKeyField("ID");
        Tree->SetOptions(Tree->Options() & ~tlo_RowSelect);
        for (const char* field : {"ID", "Name", "Note"})
            AddColumn(field);
        Tree->Link.SetDataSource(Data.Source.get());
        Form->Show();
        SettleActivation();
    }
    void TearDown() override { Form.reset(); }

    TcvDBTreeListColumn* AddColumn(const std::string& FieldName) {
        auto* column = new TcvDBTreeListColumn(Form.get());
        column->SetName("Col" + std::to_string(Tree->ColumnCount()) + FieldName);
        column->SetTreeList(Tree);
        column->SetBandIndex(0);
        column->SetFieldName(FieldName);
        return column;
    }
    // The IDs of the selected rows, read by going to each bookmark.
    std::vector<int> SelectedIds() {
        std::vector<int> ids;
        for (int i = 0; i < Tree->SelectedCount(); ++i) {
            Data.Query->SetBookmark(Tree->GetSelectedRow(i));
            ids.push_back(Data.CurrentId());
        }
        return ids;
    }

    TGridData Data;
    TForm* FormInstance = nullptr;
    std::unique_ptr<TForm> Form;
    TTestDBTreeList* Tree = nullptr;
};

} // namespace gridtest
