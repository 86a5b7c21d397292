// The tree-list demo's form: a project register of 10,000 nodes (plans, their
// years, the years' projects) in a tree-list control with three bands, the
// first pinned left, and a footer that counts the projects and sums their
// budgets.
#pragma once

#include "platform/ui/Forms.h"
#include "treelist/TreeListControl.h"

#include <string>

class TCustomImageList;
class TcvTreeListMaskColumn;
class TFormBuilder;

// The control as the demo uses it: it sorts its nodes by the sort keys, as
// the data-aware grid does, and shows a footer under the name and budget
// columns.
class TDemoTreeList : public TCustomcvTreeListControl {
public:
    using TCustomcvTreeListControl::TCustomcvTreeListControl;

    // With automatic sort and no sort update open, a newly sorted column
    // sorts every level at once.
    void RegisterSortedColumn(TcvTreeListColumn* Column) override;
    // By the first sort key, when there is one.
    void ResortNodes() override;

    // The footer texts, under the name column and the budget column.
    void SetFooterTexts(int NameColumn, std::string NameText, int BudgetColumn, std::string BudgetText);

    bool IsExistFooterCell(int Column) override;
    std::string GetLevelText(const TcvTreeListNode* Node, int Column, int FooterIndex) const override;

private:
    void SortByColumn(TcvTreeListColumn* Column);

    int FNameColumn = -1;
    int FBudgetColumn = -1;
    std::string FNameText;
    std::string FBudgetText;
};

class TfrmTreeListDemo : public TForm {
public:
    explicit TfrmTreeListDemo(TComponent* AOwner);
    // Ten plans, nine years each, 110 projects each year: 10,000 nodes, the
    // first plan opened.
    void FillProjects();

    TDemoTreeList* tlProjects = nullptr;
    TcvTreeListColumn* colName = nullptr;
    TcvTreeListMaskColumn* colCode = nullptr;
    TcvTreeListColumn* colLeader = nullptr;
    TcvTreeListColumn* colUnit = nullptr;
    TcvTreeListColumn* colBudget = nullptr;
    TcvTreeListColumn* colState = nullptr;

private:
    void BuildColumns(TFormBuilder& build);
    // Three pictures: a plan, a year, a project.
    void BuildImages(TFormBuilder& build);
    // The footer follows the budgets, also after an edit.
    void UpdateFooter();

    TCustomImageList* FImages = nullptr;
};
