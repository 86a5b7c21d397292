// The data-aware control: its data link's notifications and field map,
// node loading, columns made from fields, the preview cut, the dataset-wide
// search, editing rules, indicator kinds, focus exit, the horizontal scroll
// codes and the unit routines.
#include "tests/dbgrid/DBTreeListTestControl.h"

#include "platform/rtl/SysUtils.h"
#include "platform/ui/Messages.h"
#include "platform/ui/StdCtrls.h"

using namespace gridtest;

namespace {

TEST_F(DBTreeListTest, DataLinkNotificationsReachTheControlWithTheScrollInverted) {
    Tree->Calls.clear();
    Data.Query->MoveBy(3);
    Data.Query->MoveBy(-1);
    EXPECT_EQ(Tree->Calls, (std::vector<std::string>{"Scroll -3", "Scroll 1"}));
    EXPECT_EQ(Tree->FocusedNode(), Tree->NodeOfId(3));

    // Nothing changed through the control: no UpdateData.
    Tree->Calls.clear();
    Data.Query->Edit();
    Data.Query->FieldByName("Qty")->SetAsInteger(5);
    Data.Query->Post();
    EXPECT_EQ(std::count(Tree->Calls.begin(), Tree->Calls.end(), "UpdateData"), 0);

    Tree->Calls.clear();
    Data.Query->Edit();
    Tree->Link.SetModified();
    Data.Query->Post();
    EXPECT_EQ(std::count(Tree->Calls.begin(), Tree->Calls.end(), "UpdateData"), 1);
    EXPECT_FALSE(Tree->Link.Modified());
}

TEST_F(DBTreeListTest, CancelChangesCancelsAnUntouchedEditAndShowsAChangedOneAgain) {
    Data.Query->Edit();
    Tree->Link.CancelChanges();
    EXPECT_EQ(Data.Query->State(), dsBrowse);

    Data.Query->Edit();
    Tree->Link.SetModified();
    Tree->Calls.clear();
    Tree->Link.CancelChanges();
    EXPECT_EQ(Tree->Calls, std::vector<std::string>{"RecordChanged"});
    EXPECT_EQ(Data.Query->State(), dsEdit);
    EXPECT_FALSE(Tree->Link.Modified());
}

TEST_F(DBTreeListTest, FieldMapGrowsFromEightToSixteenAndMapsUnknownNamesToNoField) {
    Tree->Link.ClearFields();
    for (int i = 0; i < 8; ++i)
        Tree->Link.AddField("Name");
    EXPECT_EQ(Tree->Link.FieldMap().Capacity(), 8);
    Tree->Link.AddField("Missing");
    EXPECT_EQ(Tree->Link.FieldMap().Capacity(), 16);
    EXPECT_EQ(Tree->Link.FieldMap()[8], -1);
    EXPECT_EQ(Tree->Link.GetField(8), nullptr);
    EXPECT_EQ(Tree->Link.GetField(0), Data.Query->FieldByName("Name"));
    EXPECT_EQ(Tree->Link.GetField(9), nullptr);
    EXPECT_EQ(Tree->Link.GetField(-1), nullptr);
}

TEST_F(DBTreeListTest, NodesHoldTheirRecordsKeyTextsAndValues) {
    auto* node = static_cast<TcvDBTreeListControlNode*>(Tree->NodeOfId(4));
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->KeyValue.AsInteger(), 4);
    const int name = Tree->ColumnByFieldName("name")->GetIndex();
    EXPECT_EQ(node->Strings(name), "名称4");
    EXPECT_EQ(node->StoredValue(name).AsString(), "名称4");
    // Beyond the records written: an empty record.
    EXPECT_TRUE(node->StoredValue(40).IsEmpty());

    // Without a key field the key value is Null.
    Tree->SetKeyField("NoSuchField");
    EXPECT_TRUE(static_cast<TcvDBTreeListControlNode*>(Tree->Items(0))->KeyValue.IsNull());
}

TEST_F(DBTreeListTest, PreviewTextIsCutToPreviewMaxLength) {
    struct Case {
        int MaxLength;
        std::string Text;
        std::string Expected;
    };
    const Case cases[] = {
        {10, "1234567890123456789012345", "1234567890..."},
        {10, "1234567890", "1234567890"},
        {0, "1234567890123456789012345", "1234567890123456789012345"},
        {-3, "12345", "12345"},
        {2, "名称名称", "名称..."},
    };
    for (const Case& c : cases) {
        Tree->SetPreviewMaxLength(c.MaxLength);
        EXPECT_EQ(Tree->CutPreviewText(c.Text), c.Expected) << c.MaxLength << " " << c.Text;
    }
    EXPECT_EQ(Tree->PreviewMaxLength(), 2);

    // Row 3's memo is "note 3 " three times (21 characters).
    Tree->SetPreviewMaxLength(10);
    Tree->SetPreviewFieldName("Note");
    EXPECT_EQ(static_cast<TcvDBTreeListControlNode*>(Tree->NodeOfId(3))->PreviewText, "note 3 not...");
}

TEST_F(DBTreeListTest, ColumnsCannotBeAddedWhileTheyFollowTheFields) {
    Tree->DefaultFields = true;
    try {
        Tree->CreateColumn(TcvColumnClassOf<TcvDBTreeListColumn>::Instance());
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "DefaultFields property should be set to False");
    }
    EXPECT_THROW(Tree->DestroyColumns(), Exception);

    Tree->DefaultFields = false;
    TcvDBTreeListColumn* column = Tree->CreateColumn(TcvColumnClassOf<TcvDBTreeListColumn>::Instance());
    EXPECT_EQ(column->Name(), "Grid1Column4");
    EXPECT_EQ(Tree->CreateColumn(TcvColumnClassOf<TcvDBTreeListColumn>::Instance())->Name(), "Grid1Column5");
}

TEST_F(DBTreeListTest, DefaultFieldsMakeOneColumnPerFieldInFieldOrder) {
    Tree->DefaultFields = true;
    Data.Query->FieldByName("Price")->SetVisible(false);
    Tree->BindingChanged();
    std::vector<std::string> fields;
    for (int i = 0; i < Tree->ColumnCount(); ++i)
        fields.push_back(Tree->DBColumns(i)->FieldName());
    EXPECT_EQ(fields, (std::vector<std::string>{"ID", "Name", "Qty", "Amount", "Made", "Done", "Note"}));
    EXPECT_EQ(Tree->DBColumns(1)->Field(), Data.Query->FieldByName("Name"));
}

TEST_F(DBTreeListTest, MovingAColumnUnderDefaultFieldsMovesItsField) {
    Tree->DefaultFields = true;
    Tree->BindingChanged();
    const auto order = [this] {
        std::string fields, columns;
        for (TField* field : Data.Query->Fields())
            fields += field->FieldName() + " ";
        for (int i = 0; i < Tree->ColumnCount(); ++i)
            columns += Tree->DBColumns(i)->FieldName() + " ";
        return std::make_pair(fields, columns);
    };
    Tree->ColumnByFieldName("Note")->SetIndex(1);
    EXPECT_EQ(order().first, "ID Note Name Qty Price Amount Made Done ");
    EXPECT_EQ(order().second, order().first);
    Tree->ColumnByFieldName("ID")->SetIndex(7);
    EXPECT_EQ(order().first, "Note Name Qty Price Amount Made Done ID ");
    EXPECT_EQ(order().second, order().first);
}

TEST_F(DBTreeListTest, WithoutMultiSortOnlyTheFirstSortedColumnKeepsItsMark) {
    const auto marks = [this] {
        std::string text;
        for (int i = 0; i < Tree->ColumnCount(); ++i)
            text += Tree->Columns(i)->Sorted() == csNone ? "-" : "S";
        return text;
    };
    Tree->SetOptionsEx(Tree->OptionsEx() | tloex_MultiSort);
    Tree->Columns(2)->SetSorted(csUp);
    Tree->Columns(0)->SetSorted(csDown);
    Tree->ApplySingleSortRule();
    EXPECT_EQ(marks(), "S-S");
    Tree->SetOptionsEx(Tree->OptionsEx() & ~tloex_MultiSort);
    Tree->ApplySingleSortRule();
    EXPECT_EQ(marks(), "S--");
}

TEST_F(DBTreeListTest, IncrementalSearchWalksTheDatasetAndReturnsOnAMiss) {
    const int name = Tree->ColumnByFieldName("Name")->GetIndex();
    struct Case {
        int StartId;
        std::string Text;
        int Direction;
        bool Found;
        int EndId;
    };
    const Case cases[] = {
        {1, "名称7", TCustomcvTreeList::sdFromFocused, true, 7},
        {7, "名称7", TCustomcvTreeList::sdFromFocused, true, 7},
        {7, "名称1", TCustomcvTreeList::sdForward, true, 10},
        {12, "名称1", TCustomcvTreeList::sdBackward, true, 11},
        {3, "名称2", TCustomcvTreeList::sdBackward, true, 2},
        {3, "nothing", TCustomcvTreeList::sdForward, false, 3},
        {20, "名称3", TCustomcvTreeList::sdForward, false, 20},
    };
    for (const Case& c : cases) {
        Data.Query->Locate("ID", c.StartId, {});
        TcvTreeListNode* node = nullptr;
        EXPECT_EQ(Tree->FindNodeByText(name, c.Text, node, c.Direction), c.Found) << c.StartId << " " << c.Text;
        EXPECT_EQ(Data.CurrentId(), c.EndId) << c.StartId << " " << c.Text;
        if (c.Found) {
            EXPECT_EQ(node, Tree->NodeOfId(c.EndId));
        }
    }
    // Not while the dataset edits.
    Data.Query->Edit();
    TcvTreeListNode* node = nullptr;
    EXPECT_FALSE(Tree->FindNodeByText(name, "名称", node, TCustomcvTreeList::sdFromFocused));
}

TEST_F(DBTreeListTest, IndicatorKindsFollowFocusSelectionAndDatasetState) {
    Tree->SetOptions(Tree->Options() | tlo_MultiSelect);
    Tree->ClearSelection();
    Data.Query->Locate("ID", 2, {});
    TcvTreeListNode* focused = Tree->NodeOfId(2);
    TcvTreeListNode* other = Tree->NodeOfId(5);
    EXPECT_EQ(Tree->GetIndicatorKind(focused), 1);
    EXPECT_EQ(Tree->GetIndicatorKind(other), 0);
    Tree->SetNodeSelected(other, true);
    Tree->SetNodeSelected(focused, true);
    EXPECT_EQ(Tree->GetIndicatorKind(other), 4);
    EXPECT_EQ(Tree->GetIndicatorKind(focused), 5);
    Data.Query->Edit();
    EXPECT_EQ(Tree->GetIndicatorKind(focused), 2);
    Data.Query->Cancel();
    Data.Query->Insert();
    EXPECT_EQ(Tree->GetIndicatorKind(Tree->FocusedNode()), 3);
}

TEST_F(DBTreeListTest, EditingNeedsAnEditableBoundColumnAndPutsTheDatasetIntoEdit) {
    Tree->SetFocusedColumn(Tree->GetVisibleIndex(Tree->ColumnByFieldName("Name")->GetIndex()));
    EXPECT_TRUE(Tree->CanEditModify());
    EXPECT_EQ(Data.Query->State(), dsEdit);
    EXPECT_TRUE(Tree->Link.Modified());
    Data.Query->Cancel();

    Tree->ColumnByFieldName("Name")->SetReadOnly(true);
    EXPECT_FALSE(Tree->CanEditModify());
    EXPECT_EQ(Data.Query->State(), dsBrowse);
}

TEST_F(DBTreeListTest, AnEditorWhoseValueIsNoLongerTheFieldsIsHidden) {
    Tree->SetFocus();
    SettleActivation();
    Tree->SetFocusedColumn(Tree->GetVisibleIndex(Tree->ColumnByFieldName("Name")->GetIndex()));
    Tree->ShowEditor();
    ASSERT_TRUE(Tree->IsEditing());
    Tree->CheckEditorValue();
    EXPECT_TRUE(Tree->IsEditing());
    Data.Query->FieldByName("Name")->SetAsString("changed elsewhere");
    Tree->CheckEditorValue();
    EXPECT_FALSE(Tree->IsEditing());
}

TEST_F(DBTreeListTest, LeavingTheControlCancelsAnUntouchedInsert) {
    auto* other = new TEdit(Form.get());
    other->SetParent(Form.get());
    other->SetBounds(0, 320, 100, 24);
    Tree->SetFocus();
    SettleActivation();
    Data.Query->Insert();
    other->SetFocus();
    SettleActivation();
    EXPECT_EQ(Data.Query->State(), dsBrowse);

    // A touched insert is written instead.
    Tree->SetFocus();
    SettleActivation();
    Data.Query->Insert();
    Data.Query->FieldByName("ID")->SetAsInteger(99);
    Tree->Calls.clear();
    Tree->Link.SetModified();
    other->SetFocus();
    SettleActivation();
    EXPECT_EQ(Data.Query->State(), dsInsert);
    EXPECT_EQ(std::count(Tree->Calls.begin(), Tree->Calls.end(), "UpdateData"), 1);
}

TEST_F(DBTreeListTest, HorizontalScrollCodesMoveTheFocusedColumn) {
    struct Case {
        int Code;
        int From;
        int Expected;
    };
    // Three columns, all in view: the first in view is column 0.
    const Case cases[] = {
        {SB_LINERIGHT, 0, 1}, {SB_LINERIGHT, 2, 1}, {SB_LINELEFT, 2, 0}, {SB_PAGERIGHT, 0, 0}, {SB_PAGELEFT, 2, 2},
    };
    for (const Case& c : cases) {
        Tree->SetFocusedColumn(c.From);
        SendMessage(Tree->Handle(), WM_HSCROLL, WPARAM(c.Code), 0);
        EXPECT_EQ(Tree->GetFocusedColumn(), c.Expected) << c.Code << " from " << c.From;
    }
}

TEST(DBTreeListUnitTest, CompareVariantsUsesTheTotalOrder) {
    struct Case {
        Variant A;
        Variant B;
        int Expected;
    };
    const Case cases[] = {
        {Variant(), Null(), -1},      {Null(), Variant(), 1},        {Null(), Variant(0), -1},
        {Variant(5), Null(), 1},      {Null(), Null(), 0},           {Variant(2), Variant(10), -1},
        {Variant("b"), Variant("a"), 1}, {Variant(3.0), Variant(3), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cvDBCtrl::CompareVariants(c.A, c.B), c.Expected) << c.A.AsString() << " " << c.B.AsString();
}

TEST_F(DBTreeListTest, SelectionItemsCompareByKeyValueWithNullFirst) {
    auto* a = static_cast<TcvDBTreeListControlNode*>(Tree->NodeOfId(1));
    auto* b = static_cast<TcvDBTreeListControlNode*>(Tree->NodeOfId(2));
    EXPECT_EQ(Tree->CompareSelectionItems(a, b), -1);
    EXPECT_EQ(Tree->CompareSelectionItems(b, a), 1);
    a->KeyValue = Null();
    EXPECT_EQ(Tree->CompareSelectionItems(a, b), -1);
    EXPECT_EQ(Tree->CompareSelectionItems(b, a), 1);
    a->KeyValue = Variant();
    EXPECT_EQ(Tree->CompareSelectionItems(a, b), 0);
}

TEST_F(DBTreeListTest, TheRegistryKnowsWhichDatasetsItsControlsUse) {
    struct TUsingList : TTestDBTreeList {
        using TTestDBTreeList::TTestDBTreeList;
        bool IsDataSetUsed() const override { return true; }
    };
    EXPECT_FALSE(cvDBCtrl::IsDataSetInUse(Data.Query.get()));
    cvDBCtrl::RegisterControl(Tree);
    EXPECT_FALSE(cvDBCtrl::IsDataSetInUse(Data.Query.get()));
    TUsingList user(nullptr);
    user.Link.SetDataSource(Data.Source.get());
    cvDBCtrl::RegisterControl(&user);
    EXPECT_TRUE(cvDBCtrl::IsDataSetInUse(Data.Query.get()));
    cvDBCtrl::UnregisterControl(&user);
    EXPECT_FALSE(cvDBCtrl::IsDataSetInUse(Data.Query.get()));
    cvDBCtrl::UnregisterControl(Tree);
}

TEST_F(DBTreeListTest, DeletingANodeTakesParentsLeftEmptyAlong) {
    Tree->Link.SetDataSource(nullptr);
    TcvTreeListNode* top = Tree->Add();
    TcvTreeListNode* group = top->AddChild();
    TcvTreeListNode* other = top->AddChild();
    TcvTreeListNode* leaf = group->AddChild();
    cvDBCtrl::DeleteNodeWithEmptyParents(leaf);
    EXPECT_EQ(top->Count(), 1);
    EXPECT_EQ(top->Items(0), other);
    cvDBCtrl::DeleteNodeWithEmptyParents(other->AddChild());
    EXPECT_EQ(Tree->Count(), 0);
}

} // namespace
