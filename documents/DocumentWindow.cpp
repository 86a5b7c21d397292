// The shared-database document window: built from its layout tables, it
// loads the hand-copied controls after every row move, checks and writes them
// before every post, asks before losing an edit, and runs the delete road,
// the transfer packages and the sub-table editors of its document.
#include "documents/DocumentWindow.h"

#include "app/ApplicationFolder.h"
#include "app/DataModule.h"
#include "app/Main.h"
#include "app/SysPublic.h"
#include "dbgrid/DBGrid.h"
#include "documents/DocumentToolBar.h"
#include "documents/SubTableBase.h"
#include "editors/DBEditors.h"
#include "platform/data/ADODB.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/ActnList.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"

#include <algorithm>
#include <filesystem>
#include <memory>

namespace {

constexpr int ListWidth = 240;
constexpr int FirstYear = 1900;
constexpr int LastYear = 2100;

const char* const ControlPrefixes[] = {"edt_", "cur_", "cur_", "mem_", "dte_", "lkp_"};

// The field types that a new row starts at 0.
bool IsNumeric(TFieldType Type) {
    switch (Type) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftAutoInc:
    case ftLargeint:
        return true;
    default:
        return false;
    }
}

std::string TodayPart(int Part) {
    Word year = 0, month = 0, day = 0;
    DecodeDate(Date(), year, month, day);
    return std::to_string(Part == 0 ? year : month);
}

} // namespace

TfrmDocument::TfrmDocument(TComponent* AOwner, const TDocumentLayout& Layout) : TForm(AOwner), FLayout(Layout) {
    BuildForm();
}

TfrmDocument::~TfrmDocument() = default;

std::string TfrmDocument::BaseFolder() const {
    return ApplicationFolder() + FLayout.BaseFolderName;
}

void TfrmDocument::BuildForm() {
    TFormBuilder build(this);
    SetName(FLayout.FormName);
    SetCaption(FLayout.Caption);
    SetFormStyle(fsMDIChild);
    SetClientWidth(1000);
    SetClientHeight(640);
    Font()->SetName("宋体");
    Font()->SetCharset(GB2312_CHARSET);
    Font()->SetHeight(-12);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };

    ADODataSet1 = build.Component<TADODataSet>("ADODataSet1");
    ADODataSet1->SetConnection(DM->ADOConnection1);
    ADODataSet1->SetCommandText(FLayout.SelectSQL);
    ADODataSet1->AfterScroll = [this](TDataSet* DataSet) { ADODataSet1AfterScroll(DataSet); };
    ADODataSet1->AfterInsert = [this](TDataSet* DataSet) { ADODataSet1AfterInsert(DataSet); };
    ADODataSet1->AfterEdit = [this](TDataSet* DataSet) { ADODataSet1AfterEdit(DataSet); };
    ADODataSet1->BeforePost = [this](TDataSet* DataSet) { ADODataSet1BeforePost(DataSet); };
    ADODataSet1->BeforeClose = [this](TDataSet* DataSet) { ADODataSet1BeforeClose(DataSet); };
    DataSource1 = build.Component<TDataSource>("DataSource1");
    DataSource1->SetAutoEdit(false);
    DataSource1->SetDataSet(ADODataSet1);
    DataSource1->OnStateChange = [this](TObject* Sender) { DataSource1StateChange(Sender); };
    ADOQuery1 = build.Component<TADOQuery>("ADOQuery1");
    ADOQuery1->SetConnection(DM->ADOConnection1);
    if (FLayout.HasPlanCategory) {
        ADODataSet2 = build.Component<TADODataSet>("ADODataSet2");
        ADODataSet2->SetConnection(DM->ADOConnection1);
        // JHLBID holds the code as a number ("01" is 1), so the list offers
        // its codes as numbers too: the key then matches and is written as is.
        ADODataSet2->SetCommandText("select cast(JHLBDM as integer) as JHLBDM, JHMC from JHLB");
        DataSource2 = build.Component<TDataSource>("DataSource2");
        DataSource2->SetDataSet(ADODataSet2);
    }

    BuildToolBar(build);
    BuildMenus(build);

    cvDBGrid1 = build.Control<TcvDBGrid>(this, "cvDBGrid1");
    cvDBGrid1->SetAlign(alLeft);
    cvDBGrid1->SetWidth(ListWidth);
    cvDBGrid1->SetDataSource(DataSource1);
    cvDBGrid1->SetPopupMenu(PopupMenu1);
    cvDBGrid1->SetKeyField(FLayout.KeyColumn);
    cvDBGrid1->SetOptionsView(cvDBGrid1->OptionsView() + edgoRowSelect);
    cvDBGrid1->SetOptionsBehavior(cvDBGrid1->OptionsBehavior() + edgoMultiSelect + edgoAutoSort);
    int index = 0;
    for (const auto& [field, caption] : FLayout.ListColumns) {
        auto* column = build.Component<TcvDBGridColumn>("cvDBGrid1" + std::string(field));
        column->SetBandIndex(0);
        column->SetCaption(caption);
        column->SetWidth(index++ == 0 ? 90 : ListWidth - 110);
        column->SetTreeList(cvDBGrid1);
        column->SetFieldName(field);
    }
    Splitter1 = build.Control<TSplitter>(this, "Splitter1");
    Splitter1->SetAlign(alLeft);
    Splitter1->SetLeft(ListWidth + 1);

    PageControl1 = build.Control<TPageControl>(this, "PageControl1");
    PageControl1->SetAlign(alClient);
    BuildPages(build);
}

void TfrmDocument::BuildToolBar(TFormBuilder& Build) {
    static_cast<TDataSetToolBar&>(*this) = BuildDataSetToolBar(Build, this, DataSource1);
    DataSetDelete2->OnExecute = [this](TObject* Sender) { DataSetDelete2Execute(Sender); };
    if (FLayout.RefreshReopens)
        DataSetRefresh2->OnExecute = [this](TObject*) {
            ADODataSet1->Close();
            ADODataSet1->Open();
        };
}

void TfrmDocument::BuildMenus(TFormBuilder& Build) {
    struct TInOutRow {
        TAction** Action;
        const char* Name;
        const char* Caption;
    };
    const TInOutRow rows[] = {
        {&ActionOutProject, "ActionOutProject", "导出项目"},
        {&ActionOutAllProject, "ActionOutAllProject", "导出所有项目"},
        {&ActionInProject, "ActionInProject", "导入项目"},
        {&ActionOpenAttachment, "ActionOpenAttachment", "打开附件"},
        {&ActionInAttachment, "ActionInAttachment", "导入附件"},
        {&ActionOutAttachment, "ActionOutAttachment", "导出附件"},
        {&ActionDeleteAttachment, "ActionDeleteAttachment", "删除附件"},
    };
    for (const TInOutRow& row : rows) {
        *row.Action = Build.Action(ActionList1, row.Name, row.Caption, scNone);
        (*row.Action)->SetCategory("InOutData");
    }
    ActionOutProject->OnExecute = [this](TObject* Sender) { ActionOutProjectExecute(Sender); };
    ActionOutAllProject->OnExecute = [this](TObject* Sender) { ActionOutAllProjectExecute(Sender); };
    ActionInProject->OnExecute = [this](TObject* Sender) { ActionInProjectExecute(Sender); };
    ActionOpenAttachment->OnExecute = [this](TObject* Sender) { ActionOpenAttachmentExecute(Sender); };
    ActionInAttachment->OnExecute = [this](TObject* Sender) { ActionInAttachmentExecute(Sender); };
    ActionOutAttachment->OnExecute = [this](TObject* Sender) { ActionOutAttachmentExecute(Sender); };
    ActionDeleteAttachment->OnExecute = [this](TObject* Sender) { ActionDeleteAttachmentExecute(Sender); };

    // The menus enable their items themselves (the same rule for both), so
    // the items run the actions instead of following them.
    TAction* const items[] = {ActionOutProject,    ActionOutAllProject, ActionInProject,      nullptr,
                              ActionOutAttachment, ActionInAttachment,  ActionOpenAttachment, ActionDeleteAttachment};
    MainMenu1 = Build.Component<TMainMenu>("MainMenu1");
    DocumentMenu = Build.MenuItem(MainMenu1->Items(), "DocumentMenu", FLayout.MenuCaption);
    DocumentMenu->SetGroupIndex(static_cast<Byte>(FLayout.MenuGroupIndex));
    PopupMenu1 = Build.Component<TPopupMenu>("PopupMenu1");
    PopupMenu1->OnPopup = [this](TObject* Sender) { PopupMenu1Popup(Sender); };
    const bool midTerm = FLayout.Kind == 1;
    int number = 0;
    for (TAction* action : items) {
        ++number;
        for (TMenuItem* menu : {DocumentMenu, PopupMenu1->Items()}) {
            const bool document = menu == DocumentMenu;
            const std::string name =
                document ? (midTerm ? "N" + std::to_string(9 + number) : "") : "N" + std::to_string(number);
            TMenuItem* item = Build.MenuItem(menu, name, action ? action->Caption() : "-");
            if (action) item->OnClick = [action](TObject*) { action->Execute(); };
        }
    }
    SetMenu(MainMenu1);
}

void TfrmDocument::BuildPages(TFormBuilder& Build) {
    int number = 1;
    for (const char* caption : FLayout.Pages)
        Build.Page(PageControl1, "TabSheet" + std::to_string(number++), caption);
    for (const TDocumentFrame& frame : FLayout.Frames)
        Build.Control<TGroupBox>(Named<TWinControl>(frame.Parent), frame.Name, frame.Bounds, frame.Caption);
    for (const TDocumentText& text : FLayout.Texts)
        Build.Control<TLabel>(Named<TWinControl>(text.Parent), "", text.Bounds, text.Caption);

    auto handCopied = [this](const TFieldRow& Row) -> const THandCopied& {
        for (const THandCopied& control : FLayout.HandCopied)
            if (std::string(control.Column) == Row.Column) return control;
        throw EComponentError(std::string("No hand-copied control for ") + Row.Column);
    };
    auto bound = [this](auto* Editor, const TFieldRow& Row) {
        Editor->SetDataSource(DataSource1);
        Editor->SetDataField(Row.Column);
        Editor->SetStyleController(DM->cvEditStyleController1);
        return static_cast<TControl*>(Editor);
    };
    const TFieldFactory factories[] = {
        [bound](TFormBuilder& build, TWinControl* parent, const TFieldRow& row) {
            return bound(
                build.Control<TcvDBEdit>(parent, ControlPrefixes[dcEdit] + std::string(row.Column), row.Position), row);
        },
        [bound](TFormBuilder& build, TWinControl* parent, const TFieldRow& row) {
            // Money columns hold four decimals (万元 to the yuan), and take as many typed.
            auto* edit = build.Control<TcvDBCurrencyEdit>(parent, "cur_" + std::string(row.Column), row.Position);
            edit->SetDisplayFormat("0.0000");
            edit->SetDecimalPlaces(4);
            edit->SetUseThousandSeparator(false);
            return bound(edit, row);
        },
        [bound](TFormBuilder& build, TWinControl* parent, const TFieldRow& row) {
            auto* edit = build.Control<TcvDBCurrencyEdit>(parent, "cur_" + std::string(row.Column), row.Position);
            edit->SetDisplayFormat("0");
            edit->SetDecimalPlaces(0);
            edit->SetUseThousandSeparator(false);
            return bound(edit, row);
        },
        [bound](TFormBuilder& build, TWinControl* parent, const TFieldRow& row) {
            return bound(build.Control<TcvDBMemo>(parent, "mem_" + std::string(row.Column), row.Position), row);
        },
        [bound](TFormBuilder& build, TWinControl* parent, const TFieldRow& row) {
            return bound(build.Control<TcvDBDateEdit>(parent, "dte_" + std::string(row.Column), row.Position), row);
        },
        [this, bound](TFormBuilder& build, TWinControl* parent, const TFieldRow& row) {
            auto* lookup = build.Control<TcvDBLookupEdit>(parent, "lkp_" + std::string(row.Column), row.Position);
            lookup->SetListSource(DataSource2);
            lookup->SetKeyFieldName("JHLBDM");
            lookup->SetListFieldName("JHMC");
            return bound(lookup, row);
        },
        [handCopied](TFormBuilder& build, TWinControl* parent, const TFieldRow& row) {
            const THandCopied& copied = handCopied(row);
            auto* box = build.Control<TComboBox>(parent, copied.Name, row.Position);
            box->SetStyle(csDropDownList);
            for (const char* item : copied.Items)
                box->Items()->Add(item);
            return static_cast<TControl*>(box);
        },
        [handCopied](TFormBuilder& build, TWinControl* parent, const TFieldRow& row) {
            const THandCopied& copied = handCopied(row);
            auto* box = build.Control<TcvCheckEdit>(parent, copied.Name, row.Position, row.Label);
            box->SetStyleController(DM->cvCheckEditStyleController1);
            return static_cast<TControl*>(box);
        },
    };
    for (const TFieldRow& row : FLayout.Fields) {
        if (row.ControlClass == dcCheck) {
            // A check box carries its own caption.
            auto* parent = Named<TWinControl>(*row.Group ? row.Group : row.Page);
            factories[dcCheck](Build, parent, row);
            continue;
        }
        Build.Field(row, factories);
    }
    size_t index = 0;
    for (const TSubTableButton& button : FLayout.SubTables) {
        auto* made =
            Build.Control<TBitBtn>(Named<TWinControl>(button.Parent), button.Name, button.Bounds, button.Caption);
        made->OnClick = [this, index](TObject*) { SubTableClick(index); };
        ++index;
    }
}

bool TfrmDocument::Editing() const {
    return ADODataSet1->State() == dsInsert || ADODataSet1->State() == dsEdit;
}

std::string TfrmDocument::CurrentKey() const {
    // A new document holds its key from the insert on.
    if (!ADODataSet1->Active() || (ADODataSet1->IsEmpty() && !Editing())) return "";
    return ADODataSet1->FieldByName("NXMLXID")->AsString();
}

void TfrmDocument::FormCreate(TObject*) {
    for (const char* name : FLayout.YearBoxes)
        for (int year = FirstYear; year <= LastYear; ++year)
            Named<TComboBox>(name)->Items()->Add(std::to_string(year));
    for (const char* name : FLayout.MonthBoxes)
        for (int month = 1; month <= 12; ++month)
            Named<TComboBox>(name)->Items()->Add(std::to_string(month));
}

void TfrmDocument::FormShow(TObject*) {
    if (ADODataSet2) ADODataSet2->Open();
    ADODataSet1->Open();
    ADODataSet1->First();
    ResetImeModes(PageControl1);
}

void TfrmDocument::ResetImeModes(TWinControl* Container) {
    for (int i = 0; i < Container->ControlCount(); ++i) {
        TControl* control = Container->Controls(i);
        auto* windowed = dynamic_cast<TWinControl*>(control);
        if (windowed && windowed->ControlCount() > 0) {
            ResetImeModes(windowed);
            continue;
        }
        // Names, units, addresses, opinions and indicators are typed in
        // Chinese; amounts, dates, codes and fixed lists never are.
        const bool noChinese = dynamic_cast<TcvDBCurrencyEdit*>(control) || dynamic_cast<TcvDBDateEdit*>(control) ||
                               dynamic_cast<TcvDBLookupEdit*>(control) || dynamic_cast<TComboBox*>(control) ||
                               dynamic_cast<TcvCheckEdit*>(control);
        if (noChinese) windowed->SetImeMode(imDisable);
    }
}

void TfrmDocument::FormClose(TObject*, TCloseAction& Action) {
    // A Cancel to the save question aborts here, and the window stays.
    ADODataSet1->Close();
    Action = caFree;
    frmMain->ChildClosed(this);
}

void TfrmDocument::ADODataSet1AfterScroll(TDataSet* DataSet) {
    for (const THandCopied& control : FLayout.HandCopied) {
        const std::string value = DataSet->FieldByName(control.Column)->AsString();
        if (auto* box = dynamic_cast<TComboBox*>(FindComponent(control.Name)))
            box->SetItemIndex(box->Items()->IndexOf(value));
        else
            Named<TcvCheckEdit>(control.Name)->SetChecked(value == "1");
    }
    LoadOwnControls();
    EnableMenuItems(DocumentMenu);
}

void TfrmDocument::EnableMenuItems(TMenuItem* Menu) {
    const bool rows = ADODataSet1->Active() && !ADODataSet1->IsEmpty();
    const bool files = rows && SysPublic::FolderHasFiles(BaseFolder(), CurrentKey());
    // Export, export all, import, separator, then the attachment items:
    // export, import, open, delete.
    const bool enabled[] = {rows, rows, true, true, files, rows, files, files};
    for (int i = 0; i < Menu->Count() && i < int(std::size(enabled)); ++i)
        Menu->Items(i)->SetEnabled(enabled[i]);
}

void TfrmDocument::PopupMenu1Popup(TObject*) {
    EnableMenuItems(PopupMenu1->Items());
}

void TfrmDocument::ADODataSet1AfterInsert(TDataSet* DataSet) {
    for (int i = 0; i < DataSet->FieldCount(); ++i) {
        TField* field = DataSet->Fields()[i];
        if (IsNumeric(field->DataType())) field->SetAsInteger(0);
    }
    const Integer key = DM->GetMaxID(FLayout.MainTable);
    DataSet->FieldByName(FLayout.KeyColumn)->SetAsInteger(key);
    DataSet->FieldByName("NXMLXID")->SetAsInteger(key);
    for (const char* column : FLayout.DateColumns)
        DataSet->FieldByName(column)->SetAsDateTime(Date());
    for (const char* column : FLayout.YearColumns)
        DataSet->FieldByName(column)->SetAsString(TodayPart(0));
    for (const char* column : FLayout.MonthColumns)
        DataSet->FieldByName(column)->SetAsString(TodayPart(1));
}

void TfrmDocument::ADODataSet1AfterEdit(TDataSet* DataSet) {
    OldXMBH = DataSet->FieldByName(FLayout.NumberColumn)->AsString();
    OldXMMC = DataSet->FieldByName("XMMC")->AsString();
}

void TfrmDocument::Refuse(const TDocumentCheck& Check, bool SelectText) {
    SysPublic::ShowMsg(nullptr, Check.Message, 3);
    auto* control = Named<TWinControl>(Check.Control);
    PageControl1->SetActivePageIndex(Check.Page);
    if (control->CanFocus()) control->SetFocus();
    if (SelectText)
        if (auto* editor = dynamic_cast<TcvInplaceEdit*>(control)) editor->SelectAllText();
    Abort();
}

void TfrmDocument::RunCheck(const TDocumentCheck& Check) {
    auto* control = Named<TWinControl>(Check.Control);
    const std::string text = control->Text();
    const std::string trimmed = Trim(text);
    Integer whole = 0;
    switch (Check.Kind) {
    case ckRequired:
        if (trimmed.empty()) Refuse(Check, false);
        return;
    case ckWholeNumber:
        if (!TryStrToInt(text, whole)) Refuse(Check, false);
        return;
    case ckMaxBytes:
        if (GbkByteLength(text) > size_t(Check.Limit)) Refuse(Check, false);
        return;
    case ckOptionalWhole:
        if (!trimmed.empty() && !TryStrToInt(trimmed, whole)) Refuse(Check, false);
        return;
    case ckOptionalMonth:
        if (!trimmed.empty() && (!TryStrToInt(trimmed, whole) || whole < 1 || whole > 12)) Refuse(Check, false);
        return;
    case ckUnique: {
        const bool number = std::string(Check.Control) == "edt_" + std::string(FLayout.NumberColumn);
        if (ADODataSet1->State() != dsInsert && text == (number ? OldXMBH : OldXMMC)) return;
        ADOQuery1->Close();
        ADOQuery1->SQL()->SetText(Check.Query);
        ADOQuery1->Parameters()->Items(0)->SetValue(text);
        ADOQuery1->Open();
        const bool taken = !ADOQuery1->IsEmpty();
        ADOQuery1->Close();
        if (taken) Refuse(Check, true);
        return;
    }
    case ckSum: {
        Int64 parts = 0;
        for (const char* part : Check.Parts)
            parts += StrToInt(Named<TWinControl>(part)->Text());
        if (StrToInt(text) != parts) Refuse(Check, false);
        return;
    }
    case ckAmountSum: {
        // Fixed point at four decimals, as the columns hold money.
        Int64 parts = 0;
        for (const char* part : Check.Parts)
            parts += StrToCurr(Named<TWinControl>(part)->Text());
        if (StrToCurr(text) != parts) Refuse(Check, false);
        return;
    }
    }
}

void TfrmDocument::ADODataSet1BeforePost(TDataSet* DataSet) {
    for (const TDocumentCheck& check : FLayout.Checks)
        RunCheck(check);
    for (const THandCopied& control : FLayout.HandCopied) {
        TField* field = DataSet->FieldByName(control.Column);
        if (auto* box = dynamic_cast<TComboBox*>(FindComponent(control.Name)))
            field->SetAsString(box->Text());
        else
            field->SetAsString(Named<TcvCheckEdit>(control.Name)->Checked() ? "1" : "0");
    }
    SaveOwnControls();
}

void TfrmDocument::DataSource1StateChange(TObject*) {
    const bool editing = Editing();
    for (const THandCopied& control : FLayout.HandCopied) {
        if (auto* box = dynamic_cast<TComboBox*>(FindComponent(control.Name)))
            box->SetEnabled(editing);
        else
            Named<TcvCheckEdit>(control.Name)->SetReadOnly(!editing);
    }
    OwnStateChanged(editing);
}

void TfrmDocument::ADODataSet1BeforeClose(TDataSet* DataSet) {
    AskSaveBeforeClose(this, DataSet);
}

void TfrmDocument::DataSetDelete2Execute(TObject*) {
    if (!SysPublic::Confirm("你真的要删除所选记录吗?", false)) return;
    const std::string key = CurrentKey();
    {
        // The children and the row go together or not at all.
        TTransactionGuard transaction(DM->ADOConnection1);
        for (const char* table : FLayout.ChildTables) {
            ADOQuery1->Close();
            ADOQuery1->SQL()->SetText("delete from " + std::string(table) + " where NXMLXID=?");
            ADOQuery1->Parameters()->Items(0)->SetValue(key);
            ADOQuery1->ExecSQL();
        }
        ADODataSet1->Delete();
        transaction.Commit();
    }
    const std::string folder = BaseFolder() + key;
    if (!key.empty() && std::filesystem::exists(folder)) SysPublic::DeleteFolder(folder);
}

void TfrmDocument::ActionOutProjectExecute(TObject*) {
    TStringList keys;
    for (int i = 0; i < cvDBGrid1->SelectedCount(); ++i) {
        ADODataSet1->SetBookmark(cvDBGrid1->GetSelectedRow(i));
        keys.Add(CurrentKey());
    }
    SysPublic::ExportProjects(BaseFolder(), keys, FLayout.Kind);
}

void TfrmDocument::ActionOutAllProjectExecute(TObject*) {
    TStringList keys;
    ADOQuery1->Close();
    ADOQuery1->SQL()->SetText(FLayout.KeyListSQL);
    ADOQuery1->Open();
    for (; !ADOQuery1->Eof(); ADOQuery1->Next())
        keys.Add(ADOQuery1->FieldByName("NXMLXID")->AsString());
    ADOQuery1->Close();
    SysPublic::ExportProjects(BaseFolder(), keys, FLayout.Kind);
}

void TfrmDocument::ActionInProjectExecute(TObject*) {
    SysPublic::ImportProject(BaseFolder(), FLayout.Kind);
    ADODataSet1->Close();
    ADODataSet1->Open();
    EnableMenuItems(DocumentMenu);
}

void TfrmDocument::ActionOpenAttachmentExecute(TObject*) {
    SysPublic::OpenAttachment(BaseFolder(), CurrentKey());
}

void TfrmDocument::ActionInAttachmentExecute(TObject*) {
    SysPublic::ImportAttachment(BaseFolder(), CurrentKey());
    EnableMenuItems(DocumentMenu);
}

void TfrmDocument::ActionOutAttachmentExecute(TObject*) {
    SysPublic::ExportAttachments(BaseFolder(), CurrentKey());
}

void TfrmDocument::ActionDeleteAttachmentExecute(TObject*) {
    SysPublic::DeleteAttachments(BaseFolder(), CurrentKey());
    EnableMenuItems(DocumentMenu);
}

void TfrmDocument::SubTableClick(size_t Index) {
    const std::string key = CurrentKey();
    if (key.empty()) {
        SysPublic::ShowMsg(nullptr, "请先新增或保存主表记录", 3);
        return;
    }
    std::unique_ptr<TfrmBase> editor(FLayout.SubTables[Index].Create(this));
    editor->NXMLXID = key;
    editor->ShowModal();
}
