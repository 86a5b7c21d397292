// The project application window's record list: the grid over qry_main with
// its number and star columns, the list events that load a row and guard
// unsaved input, and the menus whose items follow the current row.
#include "documents/Request.h"

#include "app/SysPublic.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Colors.h"
#include "platform/ui/FormBuilder.h"

namespace {

enum class TItemRule { ListNotEmpty, Always, HasAttachments, HasTask, NoTask };

// 项目申报 in the main menu and in the popup: item names, the action and when
// the item is enabled; nullptr names a separator.
struct TMenuEntry {
    const char* MainItem;
    const char* PopupItem;
    TAction* TfrmRequest::*Action;
    TItemRule Rule;
};

const TMenuEntry MenuEntries[] = {
    {"N10", "N1", &TfrmRequest::ActionOutProject, TItemRule::ListNotEmpty},
    {"N11", "N2", &TfrmRequest::ActionOutAllProject, TItemRule::ListNotEmpty},
    {"N12", "N3", &TfrmRequest::ActionInProject, TItemRule::Always},
    {nullptr, nullptr, nullptr, TItemRule::Always},
    {"N26", "N21", &TfrmRequest::ActionOutTask, TItemRule::HasTask},
    {"N27", "N22", &TfrmRequest::ActionInTask, TItemRule::NoTask},
    {"N28", "N23", &TfrmRequest::ActionOpenTask, TItemRule::HasTask},
    {"N29", "N24", &TfrmRequest::ActionDeleteTask, TItemRule::HasTask},
    {nullptr, nullptr, nullptr, TItemRule::Always},
    {"N14", "N5", &TfrmRequest::ActionOutAttachment, TItemRule::HasAttachments},
    {"N15", "N6", &TfrmRequest::ActionInAttachment, TItemRule::ListNotEmpty},
    {"N16", "N7", &TfrmRequest::ActionOpenAttachment, TItemRule::HasAttachments},
    {"N17", "N8", &TfrmRequest::ActionDeleteAttachment, TItemRule::HasAttachments},
    {nullptr, nullptr, nullptr, TItemRule::Always},
    // The information sheet is never disabled.
    {"N34", "N32", &TfrmRequest::ActionOpenInfo, TItemRule::Always},
};

} // namespace

void TfrmRequest::BuildList(TFormBuilder& Build) {
    DataSource1 = Build.Component<TDataSource>("DataSource1");
    DataSource1->SetAutoEdit(false);
    DataSource1->SetDataSet(qry_main);
    qry_main->BeforeScroll = [this](TDataSet* DataSet) { qry_mainBeforeScroll(DataSet); };
    qry_main->AfterScroll = [this](TDataSet* DataSet) { qry_mainAfterScroll(DataSet); };
    qry_main->BeforeClose = [this](TDataSet* DataSet) { qry_mainBeforeClose(DataSet); };

    cvDBGrid1 = Build.Control<TcvDBGrid>(this, "cvDBGrid1");
    cvDBGrid1->SetAlign(alLeft);
    cvDBGrid1->SetWidth(217);
    cvDBGrid1->SetDataSource(DataSource1);
    cvDBGrid1->SetOptionsView(cvDBGrid1->OptionsView() + edgoRowSelect);
    cvDBGrid1->SetOptionsBehavior(cvDBGrid1->OptionsBehavior() + edgoMultiSelect + edgoAutoSort + edgoImmediateEditor);
    cvDBGrid1->OnCustomDrawCell = [this](TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TcvTreeListNode* ANode,
                                         TcvTreeListColumn* AColumn, bool ASelected, bool AFocused, bool ANewItemRow,
                                         std::string& AText, TColor& AColor, TFont* AFont, TAlignment& AAlignment,
                                         bool& ADone) {
        cvDBGrid1CustomDrawCell(Sender, ACanvas, ARect, ANode, AColumn, ASelected, AFocused, ANewItemRow, AText, AColor,
                                AFont, AAlignment, ADone);
    };
    struct TColumnRow {
        TcvDBGridColumn** Column;
        const char* Name;
        const char* Caption;
        int Width;
        const char* Field;
    };
    const TColumnRow columns[] = {
        {&cvDBGrid1Column3, "cvDBGrid1Column3", "序号", 30, "RecNo"},
        {&cvDBGrid1Column1, "cvDBGrid1Column1", "★", 21, "RWSWJM"},
        {&cvDBGrid1Column2, "cvDBGrid1Column2", "项目名称", 724, "XMMC"},
    };
    for (const TColumnRow& row : columns) {
        *row.Column = Build.Component<TcvDBGridColumn>(row.Name);
        (*row.Column)->SetBandIndex(0);
        (*row.Column)->SetCaption(row.Caption);
        (*row.Column)->SetWidth(row.Width);
        (*row.Column)->SetTreeList(cvDBGrid1);
        (*row.Column)->SetFieldName(row.Field);
    }

    Splitter1 = Build.Control<TSplitter>(this, "Splitter1");
    Splitter1->SetAlign(alLeft);
    Splitter1->SetLeft(cvDBGrid1->Width());
    Splitter1->SetWidth(3);
}

void TfrmRequest::BuildMenus(TFormBuilder& Build) {
    MainMenu1 = Build.Component<TMainMenu>("MainMenu1");
    N9 = Build.MenuItem(MainMenu1->Items(), "N9", "项目申报");
    N9->SetGroupIndex(3);
    PopupMenu1 = Build.Component<TPopupMenu>("PopupMenu1");
    PopupMenu1->OnPopup = [this](TObject* Sender) { PopupMenu1Popup(Sender); };
    for (const TMenuEntry& entry : MenuEntries) {
        if (!entry.Action) {
            Build.MenuItem(N9, "", "-");
            Build.MenuItem(PopupMenu1->Items(), "", "-");
            continue;
        }
        FMainItems.push_back(Build.MenuItem(N9, entry.MainItem, this->*entry.Action));
        FPopupItems.push_back(Build.MenuItem(PopupMenu1->Items(), entry.PopupItem, this->*entry.Action));
    }
    N18 = Build.MenuItem(MainMenu1->Items(), "N18", "维护");
    N18->SetGroupIndex(3);
    Build.MenuItem(N18, "N19", ActionInfo);
    Build.MenuItem(N18, "N30", ActionCode);
    // The failed automatic update sends the user here: while this window is
    // active its 维护 stands in the main window's place.
    Build.MenuItem(N18, "N31", ActionUpdate);
    SetMenu(MainMenu1);
    cvDBGrid1->SetPopupMenu(PopupMenu1);
}

void TfrmRequest::EnableItems(const std::vector<TMenuItem*>& Items) {
    const bool listed = qry_main->Active() && qry_main->RecordCount() > 0;
    const std::string id = ListText("KJJHSBID");
    const bool hasTask = listed && !ListText("RWSWJM").empty();
    const bool hasAttachments = listed && SysPublic::HasAttachmentFiles(ApplicationFolderOf(id), id);
    size_t item = 0;
    for (const TMenuEntry& entry : MenuEntries) {
        if (!entry.Action) continue;
        bool enabled = true;
        switch (entry.Rule) {
        case TItemRule::ListNotEmpty:
            enabled = listed;
            break;
        case TItemRule::Always:
            enabled = true;
            break;
        case TItemRule::HasAttachments:
            enabled = hasAttachments;
            break;
        case TItemRule::HasTask:
            enabled = hasTask;
            break;
        case TItemRule::NoTask:
            enabled = listed && !hasTask;
            break;
        }
        Items[item++]->SetEnabled(enabled);
    }
}

void TfrmRequest::RefreshMainMenu() {
    EnableItems(FMainItems);
}

void TfrmRequest::PopupMenu1Popup(TObject*) {
    EnableItems(FPopupItems);
}

void TfrmRequest::cvDBGrid1CustomDrawCell(TObject*, TCanvas* ACanvas, const TRect&, TcvTreeListNode* ANode,
                                          TcvTreeListColumn* AColumn, bool, bool, bool, std::string& AText, TColor&,
                                          TFont*, TAlignment&, bool&) {
    if (!qry_main->Active() || qry_main->IsEmpty()) return;
    switch (AColumn->GetIndex()) {
    case 0:
        // The grid paints a row with the list's active record on that row,
        // so this is the painted row's own number; the list does not move.
        ACanvas->Font()->SetColor(clRed);
        AText = IntToStr(qry_main->RecNo());
        break;
    case 1: {
        ACanvas->Font()->SetColor(clBlue);
        Variant value;
        ANode->GetValue(AColumn->GetIndex(), value);
        AText = value.IsNull() || value.AsString().empty() ? "" : "★";
        break;
    }
    default:
        break;
    }
}

bool TfrmRequest::RefusedWhileModified() {
    if (ModifiedFlag) SysPublic::ShowMsg(nullptr, "请先保存或取消数据", 1);
    return ModifiedFlag;
}

void TfrmRequest::qry_mainBeforeScroll(TDataSet*) {
    if (RefusedWhileModified()) Abort();
}

void TfrmRequest::qry_mainAfterScroll(TDataSet*) {
    showdata();
    SetControlsEditable(pgc_main, false);
    SetBrowsing(true);
    ModifiedFlag = false;
    RefreshMainMenu();
}

void TfrmRequest::qry_mainBeforeClose(TDataSet*) {
    if (!ModifiedFlag) return;
    switch (Application->MessageBox("保存修改吗？", Caption(), MB_YESNOCANCEL | MB_ICONINFORMATION)) {
    case IDYES:
        // A refused save keeps the list, and the window, with the input.
        if (!StoreApplication()) Abort();
        break;
    case IDNO:
        break;
    default:
        Abort();
    }
}

void TfrmRequest::ReopenList() {
    try {
        qry_main->Close();
    } catch (const EAbort&) {
        // The user kept the unsaved input and with it the list.
        return;
    }
    qry_main->Open();
}
