// The tree-list demo's form: a project register of 10,000 nodes (plans, their
// years, the years' projects) in a tree-list control with three bands, the
// first pinned left, and a footer that counts the projects and sums their
// budgets.
#pragma once

#include "platform/ui/Forms.h"
#include "treelist/TreeListControl.h"

#include <string>

class TCustomImageList;
class TFormBuilder;

// The control as the demo uses it: a footer under the name and budget columns.
class TDemoTreeList : public TCustomcvTreeListControl {
public:
    using TCustomcvTreeListControl::TCustomcvTreeListControl;

    // The footer texts, under the name column and the budget column.
    void SetFooterTexts(int NameColumn, std::string NameText, int BudgetColumn, std::string BudgetText);

    bool IsExistFooterCell(int Column) override;
    std::string GetLevelText(const TcvTreeListNode* Node, int Column, int FooterIndex) const override;

private:
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
    TcvTreeListColumn* colCode = nullptr;
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
