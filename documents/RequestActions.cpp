// The project application window's actions: the record lifecycle from New to
// Exit (nothing reaches the database before Save), the pre-filling of a new
// application from the user's profile, and the three maintenance actions,
// which are the main window's own.
#include "documents/Request.h"

#include "app/DataModule.h"
#include "app/Main.h"
#include "app/SysPublic.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Colors.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/FormBuilder.h"

#include <typeinfo>

namespace {

// Profile columns in the order they are copied; a code selects its item.
enum class TCopy { Text, Code };
struct TProfileColumn {
    const char* Column;
    const char* Control;
    TCopy How;
};
const TProfileColumn ProfileColumns[] = {
    {"XMFZRXM1", "edt_XMFZRXM1", TCopy::Text},
    {"XMFZRXB1", "ccb_XMFZRXB1", TCopy::Code},
    {"XMFZRCSN1", "met_XMFZRCSN1", TCopy::Text},
    {"XMFZRXL1", "ccb_XMFZRXL1", TCopy::Code},
    {"XMFZRXW1", "ccb_XMFZRXW1", TCopy::Code},
    {"XMFZRZC1", "ccb_XMFZRZC1", TCopy::Code},
    {"XMFZRLXDH1", "edt_XMFZRLXDH1", TCopy::Text},
    {"DWMC", "edt_DWMC", TCopy::Text},
    {"DWDZ", "edt_DWDZ", TCopy::Text},
    {"YZBM", "edt_YZBM", TCopy::Text},
    {"DWLB", "ccb_DWLB", TCopy::Code},
    {"ZJJGLB", "ccb_ZJJGLB", TCopy::Code},
    {"YTLX", "ccb_YTLX", TCopy::Code},
    {"DWSZSDM", "ccb_DWSZSDM", TCopy::Code},
    {"DWFZR", "edt_DWFZR", TCopy::Text},
    {"DWFZRZWZC", "edt_DWFZRZWZC", TCopy::Text},
    {"DWFZRLXDH", "edt_DWFZRLXDH", TCopy::Text},
    {"HTTP", "edt_HTTP", TCopy::Text},
};

// The groups whose plain edits start a new application at "0".
const char* const CountGroups[] = {"GroupBox16", "GroupBox7", "gpb_xmreny", "gpb_xmqwork", "gpb_xmjf", "gpb_cddwjcxy"};

} // namespace

void TfrmRequest::BuildActions(TFormBuilder& Build) {
    ActionList1 = Build.Component<TActionList>("ActionList1");
    struct TActionRow {
        TAction** Action;
        const char* Name;
        const char* Category;
        const char* Caption;
        void (TfrmRequest::*Execute)(TObject*);
    };
    const TActionRow actions[] = {
        {&DatasetInsert, "DatasetInsert", "Dataset", "新建(&N)", &TfrmRequest::DatasetInsertExecute},
        {&DatasetDelete, "DatasetDelete", "Dataset", "删除(&D)", &TfrmRequest::DatasetDeleteExecute},
        {&DatasetEdit, "DatasetEdit", "Dataset", "修改(&M)", &TfrmRequest::DatasetEditExecute},
        {&DatasetPost, "DatasetPost", "Dataset", "保存(&S)", &TfrmRequest::DatasetPostExecute},
        {&DatasetCancel, "DatasetCancel", "Dataset", "取消(&C)", &TfrmRequest::DatasetCancelExecute},
        {&DatasetRefresh, "DatasetRefresh", "Dataset", "刷新(&R)", &TfrmRequest::DatasetRefreshExecute},
        {&ActionOutProject, "ActionOutProject", "InOutData", "导出项目", &TfrmRequest::ActionOutProjectExecute},
        {&ActionOutAllProject, "ActionOutAllProject", "InOutData", "导出所有项目",
         &TfrmRequest::ActionOutAllProjectExecute},
        {&ActionInProject, "ActionInProject", "InOutData", "导入项目", &TfrmRequest::ActionInProjectExecute},
        {&ActionOutTask, "ActionOutTask", "InOutData", "导出任务书", &TfrmRequest::ActionOutTaskExecute},
        {&ActionInTask, "ActionInTask", "InOutData", "导入任务书", &TfrmRequest::ActionInTaskExecute},
        {&ActionOpenTask, "ActionOpenTask", "InOutData", "打开任务书", &TfrmRequest::ActionOpenTaskExecute},
        {&ActionDeleteTask, "ActionDeleteTask", "InOutData", "删除任务书", &TfrmRequest::ActionDeleteTaskExecute},
        {&ActionOutAttachment, "ActionOutAttachment", "InOutData", "导出附件",
         &TfrmRequest::ActionOutAttachmentExecute},
        {&ActionInAttachment, "ActionInAttachment", "InOutData", "导入附件", &TfrmRequest::ActionInAttachmentExecute},
        {&ActionOpenAttachment, "ActionOpenAttachment", "InOutData", "打开附件",
         &TfrmRequest::ActionOpenAttachmentExecute},
        {&ActionDeleteAttachment, "ActionDeleteAttachment", "InOutData", "删除附件",
         &TfrmRequest::ActionDeleteAttachmentExecute},
        {&ActionOpenInfo, "ActionOpenInfo", "InOutData", "打开信息表", &TfrmRequest::ActionOpenInfoExecute},
        {&ActionInfo, "ActionInfo", "Maintain", "信息维护", &TfrmRequest::ActionInfoExecute},
        {&ActionCode, "ActionCode", "Maintain", "代码维护", &TfrmRequest::ActionCodeExecute},
        {&ActionUpdate, "ActionUpdate", "Maintain", "强制更新", &TfrmRequest::ActionUpdateExecute},
    };
    for (const TActionRow& row : actions) {
        *row.Action = Build.Action(ActionList1, row.Name, row.Caption, scNone);
        (*row.Action)->SetCategory(row.Category);
        if (row.Execute)
            (*row.Action)->OnExecute = [this, execute = row.Execute](TObject* Sender) { (this->*execute)(Sender); };
    }

    ToolBar2->SetImages(DM->ImageList1);
    const std::pair<TToolButton*, TAction*> buttons[] = {{tbInsert, DatasetInsert}, {tbEdit, DatasetEdit},
                                                         {tbDelete, DatasetDelete}, {tbSave, DatasetPost},
                                                         {tbCancel, DatasetCancel}, {tbRefresh, DatasetRefresh}};
    // The picture goes on the action: its link gives the button the action's.
    int image = 0;
    for (const auto& [button, action] : buttons) {
        action->SetImageIndex(image++);
        button->SetAction(action);
    }
    tbExit->SetImageIndex(image);
    tbExit->OnClick = [this](TObject* Sender) { tbExitClick(Sender); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
}

void TfrmRequest::PrefillFromProfile() {
    TADOQuery profile(nullptr);
    profile.SetConnection(frmMain->adocon);
    profile.SQL()->SetText("select * from pass");
    profile.Open();
    auto value = [&profile](const char* column) {
        return profile.IsEmpty() ? std::string() : profile.FieldByName(column)->Value().AsString();
    };
    for (const TProfileColumn& column : ProfileColumns)
        if (column.How == TCopy::Text)
            Named<TCustomEdit>(column.Control)->SetText(value(column.Column));
        else
            SelectCode(Named<TCodeComboBox>(column.Control), value(column.Column));
    if (!value("DWSZSDM").empty()) FillDistrictBox(value("DWSZSDM"));
    SelectCode(ccb_DWSZXQDM, value("DWSZXQDM"));
    edt_XMFZRXM2Exit(edt_XMFZRXM2);
    for (const char* group : CountGroups) {
        auto* box = Named<TWinControl>(group);
        for (int i = 0; i < box->ControlCount(); ++i)
            if (auto* edit = box->Controls(i); typeid(*edit) == typeid(TEdit)) static_cast<TEdit*>(edit)->SetText("0");
    }
}

void TfrmRequest::DatasetInsertExecute(TObject*) {
    // The id comes first: a month without free ids creates nothing and
    // leaves the shown row as it was.
    const std::string id = MakeApplicationId();
    if (id.empty()) return;
    ClearControls(pgc_main);
    CurrentId = id;
    CurrentIdIsNew = true;
    PrefillFromProfile();
    ccb_JSLYDM->SetColor(cl3DLight);
    ccb_XKLYDM->SetColor(cl3DLight);
    SetBrowsing(false);
}

void TfrmRequest::DatasetEditExecute(TObject*) {
    SetControlsEditable(pgc_main, true);
    SetBrowsing(false);
}

void TfrmRequest::DatasetDeleteExecute(TObject*) {
    if (Box("确定删除所选择内容吗？", MB_YESNO | MB_ICONINFORMATION) != IDYES) return;
    const std::string id = ListText("KJJHSBID");
    if (id.empty()) {
        SysPublic::ShowMsg(nullptr, "请选择记录", 1);
        return;
    }
    try {
        Execute("delete from KJJHSB where KJJHSBID=:id", {{"id", IdValue(id)}});
        SysPublic::DeleteFolder2(ApplicationFolderOf(id));
    } catch (const std::exception&) {
        Box("删除失败", MB_ICONERROR);
        return;
    }
    qry_main->Requery();
    Box("数据删除成功", MB_ICONINFORMATION);
    SetBrowsing(true);
}

bool TfrmRequest::StoreApplication() {
    if (!SaveApplication()) return false;
    const std::string folder = ApplicationFolderOf(CurrentId);
    if (!DirectoryExists(folder)) CreateDir(folder);
    ModifiedFlag = false;
    return true;
}

void TfrmRequest::DatasetPostExecute(TObject*) {
    if (!StoreApplication()) return;
    // Reopening the list loads its first row, which replaces CurrentId.
    const std::string id = CurrentId;
    qry_main->Requery();
    qry_main->Locate("KJJHSBID", Variant(id), {loCaseInsensitive});
    Box("数据保存成功", MB_ICONINFORMATION);
    SetBrowsing(true);
    ModifiedFlag = false;
}

void TfrmRequest::DatasetCancelExecute(TObject*) {
    SetBrowsing(true);
    ModifiedFlag = false;
}

void TfrmRequest::DatasetRefreshExecute(TObject*) {
    if (RefusedWhileModified()) return;
    qry_main->Close();
    qry_main->Open();
}

void TfrmRequest::tbExitClick(TObject*) {
    Close();
}

void TfrmRequest::FormClose(TObject* Sender, TCloseAction& Action) {
    if (RefusedWhileModified()) {
        Action = caNone;
        return;
    }
    qry_main->Close();
    TfrmRequestBase::FormClose(Sender, Action);
}

void TfrmRequest::ActionInfoExecute(TObject* Sender) {
    frmMain->ActionInfoExecute(Sender);
}

void TfrmRequest::ActionCodeExecute(TObject* Sender) {
    frmMain->ActionCodeExecute(Sender);
}

void TfrmRequest::ActionUpdateExecute(TObject* Sender) {
    frmMain->ActionUpdateExecute(Sender);
}
