// Columns of the tree-list control: computed defaults and the explicitly-set
// flags, Assign, the stored row, ColIndex moves with the nodes' cell texts,
// and the read-only answer of the host.
#include "TestTreeListControl.h"

#include "platform/rtl/StringList.h"

using treelisttest::TreeListControlTest;

namespace {

// A column whose default width follows its caption, as the grid's do.
class TCaptionWidthColumn : public TcvTreeListColumn {
public:
    using TcvTreeListColumn::TcvTreeListColumn;
    int GetDefaultWidth() const override { return 40 + 10 * int(Caption().size()); }
};

class TReadOnlyControl : public TCustomcvTreeListControl {
public:
    using TCustomcvTreeListControl::TCustomcvTreeListControl;
    bool EditorsReadOnly = false;
    bool IsEditorReadOnly() override { return EditorsReadOnly; }
};

using TreeListColumns = TreeListControlTest;

TEST_F(TreeListColumns, AnUnsetWidthFollowsTheDefaultWidth) {
    auto* column = new TCaptionWidthColumn(Owner.get());
    column->SetTreeList(Tree);
    EXPECT_EQ(column->Width(), 40);
    column->SetCaption("abc");
    EXPECT_EQ(column->Width(), 70);
    column->SetWidth(70); // equal to the default: still "default"
    EXPECT_FALSE(column->IsAssigned(cavWidth));
    column->SetCaption("abcdef");
    EXPECT_EQ(column->Width(), 100);
    column->SetWidth(10); // raised to MinWidth, and now set
    EXPECT_EQ(column->Width(), 20);
    EXPECT_TRUE(column->IsAssigned(cavWidth));
    column->SetCaption("a");
    EXPECT_EQ(column->Width(), 20);
}

TEST_F(TreeListColumns, UnsetPropertiesReadTheirDefaultsFromTheControl) {
    TcvTreeListColumn* column = AddColumn({0, 0});
    Tree->SetColor(clYellow);
    Tree->Font()->SetHeight(-20);
    EXPECT_EQ(column->Color(), clYellow);
    EXPECT_EQ(column->Font()->Height(), -20);
    EXPECT_FALSE(column->IsAssigned(cavFont));
    column->Font()->SetHeight(-9); // the column's own font from now on
    Tree->Font()->SetHeight(-30);
    EXPECT_EQ(column->Font()->Height(), -9);
    EXPECT_TRUE(Tree->IsColumnFontAssigned(0));
    column->SetColor(clRed);
    Tree->SetColor(clWhite);
    EXPECT_EQ(column->Color(), clRed);
}

TEST_F(TreeListColumns, AssignCopiesOnlyWhatTheSourceSetExplicitly) {
    TcvTreeListColumn* source = AddColumn({0, 0});
    TcvTreeListColumn* target = AddColumn({0, 0});
    source->SetAlignment(taRightJustify);
    source->SetCaption("金额");
    source->SetReadOnly(true);
    source->SetMaxLength(8);
    source->SetCharCase(ecUpperCase);
    source->SetHeaderAlignment(taCenter);
    source->SetVisible(false);
    target->SetWidth(77);
    target->SetColor(clAqua);
    target->Assign(source);
    EXPECT_EQ(target->Alignment(), taRightJustify);
    EXPECT_EQ(target->Caption(), "金额");
    EXPECT_TRUE(target->ReadOnly());
    EXPECT_EQ(target->HeaderAlignment(), taCenter);
    EXPECT_FALSE(target->Visible());
    // Unset in the source: back to the defaults.
    EXPECT_FALSE(target->IsAssigned(cavWidth));
    EXPECT_EQ(target->Width(), 100);
    EXPECT_FALSE(target->IsAssigned(cavColor));
    EXPECT_EQ(target->Color(), Tree->Color());
    // Editor settings are not copied.
    EXPECT_EQ(target->MaxLength(), 0);
    EXPECT_EQ(target->CharCase(), ecNormal);
}

TEST_F(TreeListColumns, TheStoredRowComesBackWhenTheHeaderGrows) {
    Tree->SetHeaderPanelRowCount(2);
    Build(1, {{0, 0}, {0, 1}, {0, 2}, {0, 3}});
    EXPECT_EQ(C(3)->RowIndex(), 1);
    EXPECT_EQ(Layout(), "B0: C0 / C1 C2 C3");
    Tree->SetHeaderPanelRowCount(4);
    EXPECT_EQ(C(3)->RowIndex(), 3);
    EXPECT_EQ(Layout(), "B0: C0 / C1 / C2 / C3");
    // Clamped to the header's rows, and the emptied row 0 closes up.
    C(0)->SetRowIndex(9);
    EXPECT_EQ(C(0)->RowIndex(), 2);
    EXPECT_EQ(Layout(), "B0: C1 / C2 / C0 C3");
}

TEST_F(TreeListColumns, ColIndexMovesTheColumnWithinItsBandRow) {
    Tree->SetHeaderPanelRowCount(2);
    Build(2, {{0, 0}, {1, 0}, {0, 0}, {0, 1}, {0, 0}});
    EXPECT_EQ(Layout(), "B0: C0 C2 C4 / C3 | B1: C1");
    struct Case {
        const char* Column;
        int ColIndex;
        const char* Layout;
    };
    const Case cases[] = {
        {"C0", 99, "B0: C2 C4 C0 / C3 | B1: C1"},
        {"C0", 0, "B0: C0 C2 C4 / C3 | B1: C1"},
        {"C4", 1, "B0: C0 C4 C2 / C3 | B1: C1"},
        {"C3", 5, "B0: C0 C4 C2 / C3 | B1: C1"},
    };
    for (const Case& c : cases) {
        Tree->ColumnByName(c.Column)->SetColIndex(c.ColIndex);
        EXPECT_EQ(Layout(), c.Layout) << c.Column << " to " << c.ColIndex;
    }
    EXPECT_EQ(Tree->ColumnByName("c4")->ColIndex(), 1);
    Tree->ColumnByName("C2")->SetVisible(false);
    EXPECT_EQ(Tree->ColumnByName("C2")->ColIndex(), 1) << "hidden: the row's count less one";
}

TEST_F(TreeListColumns, CellTextsFollowTheirColumn) {
    Build(1, {{0, 0}, {0, 0}, {0, 0}});
    TcvTreeListNode* root = Tree->Add();
    TcvTreeListNode* child = root->AddChild();
    TcvTreeListNode* shortNode = Tree->Add();
    for (int column = 0; column < 3; ++column) {
        root->StoreString(column, "r" + std::to_string(column));
        child->StoreString(column, "c" + std::to_string(column));
    }
    shortNode->StoreString(0, "s0");
    const auto texts = [&](TcvTreeListNode* node) {
        std::string all;
        for (int column = 0; column < Tree->ColumnCount(); ++column)
            all += (column ? "," : "") + Tree->Columns(column)->GetDisplayText(node);
        return all;
    };
    C(0)->SetIndex(2);
    EXPECT_EQ(texts(root), "r1,r2,r0");
    EXPECT_EQ(texts(child), "c1,c2,c0");
    EXPECT_EQ(texts(shortNode), ",,s0") << "filled up to both indexes";
    C(2)->SetIndex(1);
    EXPECT_EQ(texts(root), "r1,r0,r2");
    delete C(1);
    EXPECT_EQ(texts(root), "r1,r2");
    EXPECT_EQ(texts(child), "c1,c2");
}

TEST_F(TreeListColumns, ReadOnlyFollowsTheHost) {
    auto* control = new TReadOnlyControl(Owner.get());
    auto* column = new TcvTreeListColumn(Owner.get());
    column->SetTreeList(control);
    EXPECT_FALSE(column->ReadOnly());
    control->EditorsReadOnly = true;
    EXPECT_TRUE(column->ReadOnly());
    column->SetReadOnly(false);
    EXPECT_TRUE(column->ReadOnly());
}

TEST_F(TreeListColumns, RestoreDefaultsClearsTheSetValues) {
    TcvTreeListColumn* column = AddColumn({0, 0});
    column->SetCaption("x");
    column->SetWidth(150);
    column->SetMinWidth(60);
    column->SetSizing(false);
    column->Font()->SetHeight(-25);
    column->RestoreDefaults();
    EXPECT_EQ(column->Caption(), "");
    EXPECT_EQ(column->Width(), 100);
    EXPECT_EQ(column->MinWidth(), 20);
    EXPECT_TRUE(column->Sizing());
    EXPECT_EQ(column->Font()->Height(), Tree->Font()->Height());
    EXPECT_FALSE(column->IsAssigned(cavFont));
}

} // namespace
