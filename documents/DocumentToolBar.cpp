// The dataset tool bar and the save question of the document windows and
// the sub-table editors.
#include "documents/DocumentToolBar.h"

#include "app/DataModule.h"
#include "platform/data/DB.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/DBActns.h"
#include "platform/ui/Forms.h"

#include <string>

namespace {
constexpr UINT SaveQuestionFlags = 0x43; // Yes/No/Cancel, information icon
constexpr int ButtonWidth = 60;
constexpr int ButtonHeight = 36;
} // namespace

TDataSetToolBar BuildDataSetToolBar(TFormBuilder& Build, TCustomForm* Form, TDataSource* Source) {
    TDataSetToolBar bar{};
    bar.ActionList1 = Build.Component<TActionList>("ActionList1");
    struct TActionRow {
        TAction** Action;
        TDataSetAction* Made;
        const char* Name;
        const char* Caption;
    };
    const TActionRow rows[] = {
        {&bar.DataSetInsert2, new TDataSetInsert(Form), "DataSetInsert2", "新建(&N)"},
        {&bar.DataSetEdit2, new TDataSetEdit(Form), "DataSetEdit2", "修改(&M)"},
        {&bar.DataSetDelete2, new TDataSetDelete(Form), "DataSetDelete2", "删除(&D)"},
        {&bar.DataSetPost2, new TDataSetPost(Form), "DataSetPost2", "保存(&S)"},
        {&bar.DataSetCancel2, new TDataSetCancel(Form), "DataSetCancel2", "取消(&C)"},
        {&bar.DataSetRefresh2, new TDataSetRefresh(Form), "DataSetRefresh2", "刷新(&R)"},
    };
    for (const TActionRow& row : rows) {
        row.Made->SetName(row.Name);
        row.Made->SetCaption(row.Caption);
        row.Made->SetCategory("Dataset");
        row.Made->SetActionList(bar.ActionList1);
        row.Made->SetDataSource(Source);
        *row.Action = row.Made;
    }
    bar.Find = Build.Action(bar.ActionList1, "Find", "查找", scNone);
    bar.Find->SetVisible(false);

    bar.ToolBar2 = Build.Control<TToolBar>(Form, "ToolBar2");
    bar.ToolBar2->SetAlign(alTop);
    bar.ToolBar2->SetFlat(true);
    bar.ToolBar2->SetShowCaptions(true);
    bar.ToolBar2->SetButtonWidth(ButtonWidth);
    bar.ToolBar2->SetButtonHeight(ButtonHeight);
    bar.ToolBar2->SetHeight(ButtonHeight + 2);
    // The record pictures go in the order of the buttons shown.
    bar.ToolBar2->SetImages(DM->ImageList1);
    int left = 0;
    int number = 1;
    int image = 0;
    for (TAction* action : {bar.DataSetInsert2, bar.DataSetEdit2, bar.DataSetDelete2, bar.DataSetPost2,
                            bar.DataSetCancel2, bar.DataSetRefresh2, bar.Find}) {
        if (action->Visible()) action->SetImageIndex(image++);
        auto* button = Build.Control<TToolButton>(bar.ToolBar2, "ToolButton" + std::to_string(number++),
                                                  {left, 0, ButtonWidth, ButtonHeight});
        button->SetAction(action);
        if (action->Visible()) left += ButtonWidth;
    }
    bar.ToolButton9 =
        Build.Control<TToolButton>(bar.ToolBar2, "ToolButton9", {left, 0, ButtonWidth, ButtonHeight}, "退出(&E)");
    bar.ToolButton9->SetImageIndex(image);
    bar.ToolButton9->OnClick = [Form](TObject*) { Form->Close(); };
    return bar;
}

void AskSaveBeforeClose(TCustomForm* Form, TDataSet* DataSet) {
    if (DataSet->State() != dsInsert && DataSet->State() != dsEdit) return;
    switch (Application->MessageBox("保存修改吗？", Form->Caption(), SaveQuestionFlags)) {
    case IDCANCEL:
        Abort();
    case IDYES:
        DataSet->Post();
        break;
    default:
        break;
    }
}
