// treelistdemo: the tree-list control on one form: three bands (the first
// pinned left), two header rows, six columns, 10,000 nodes on three levels.
// Usage: treelistdemo   (shows the form and runs until it is closed)
#include "platform/ui/Forms.h"
#include "tools/treelistdemo/TreeListDemoForm.h"

int main() {
    Application->SetTitle("树形列表演示");
    TfrmTreeListDemo* frmTreeListDemo = nullptr;
    Application->CreateForm(frmTreeListDemo);
    frmTreeListDemo->FillProjects();
    Application->Run();
    return 0;
}
