// The common window of the shared database's documents (mid-term check
// table, acceptance application, acceptance certificate): a record list, a
// paged editor of data-aware controls and of controls copied by hand, the
// dataset actions, the document menu with transfer and attachment items, and
// the save checks. Each document describes itself in one TDocumentLayout of
// tables; the window follows it, and a document adds only what is its own.
#pragma once

#include "documents/DocumentToolBar.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/Forms.h"

#include <functional>
#include <span>
#include <string>
#include <utility>

class TAction;
class TADODataSet;
class TADOQuery;
class TcvCheckEdit;
class TcvDBGrid;
class TComboBox;
class TDataSource;
class TDataSet;
class TMainMenu;
class TMenuItem;
class TPageControl;
class TPopupMenu;
class TSplitter;
class TfrmBase;

// The control class of a field row (TFieldRow::ControlClass).
enum TDocumentControl {
    dcEdit,     // data-aware text editor "edt_" + column
    dcCurrency, // data-aware currency editor "cur_" + column, amounts
    dcCount,    // data-aware currency editor "cur_" + column, whole numbers
    dcMemo,     // data-aware memo "mem_" + column
    dcDate,     // data-aware date editor "dte_" + column
    dcLookup,   // the plan-category lookup "lkp_" + column
    dcCombo,    // a drop-down list copied by hand, named by its THandCopied row
    dcCheck,    // a check box copied by hand, named by its THandCopied row
};

// A control that stands for a column but is not bound: a drop-down list
// (Items given) or a check box (no Items). Its value is the column's text.
struct THandCopied {
    const char* Name;
    const char* Column;
    std::span<const char* const> Items;
};

// A group box or a panel of the pages; Parent is a page or another group.
struct TDocumentFrame {
    const char* Name;
    const char* Caption;
    const char* Parent;
    TBounds Bounds;
};

// A fixed text of the pages: headings and notes.
struct TDocumentText {
    const char* Caption;
    const char* Parent;
    TBounds Bounds;
};

enum TDocumentCheckKind {
    ckRequired,        // trimmed text not empty
    ckWholeNumber,     // text converts to a whole number
    ckMaxBytes,        // GBK bytes of the text at most Limit
    ckOptionalWhole,   // trimmed text empty or a whole number
    ckOptionalMonth,   // trimmed text empty or a whole number from 1 to 12
    ckUnique,          // Query (one bound value) finds no row
    ckSum,             // whole numbers: control = sum of Parts
    ckAmountSum,       // amounts to four decimals: control = sum of Parts
};

// One step of the save checks; Control names the control, Parts name
// controls too.
struct TDocumentCheck {
    TDocumentCheckKind Kind;
    const char* Control;
    int Page;
    const char* Message;
    const char* Query = nullptr;
    int Limit = 0;
    std::span<const char* const> Parts = {};
};

// A sub-table button and the editor it opens.
struct TSubTableButton {
    const char* Name;
    const char* Caption;
    const char* Parent;
    TBounds Bounds;
    std::function<TfrmBase*(TComponent* Owner)> Create;
};

struct TDocumentLayout {
    const char* FormName;
    const char* Caption;
    const char* MenuCaption;
    int MenuGroupIndex;
    const char* MainTable;
    // The key written at insert; the mid-term table writes it to NXMLXID too.
    const char* KeyColumn;
    // VXMBH or XMBH: the number kept when editing begins.
    const char* NumberColumn;
    const char* BaseFolderName; // below the program folder, "zqjcb/"
    int Kind;                   // of the transfer packages
    std::span<const char* const> Pages;
    const char* SelectSQL;
    const char* KeyListSQL;
    bool RefreshReopens;  // refresh closes and reopens instead of refreshing
    bool HasPlanCategory; // ADODataSet2 over JHLB feeds a lookup
    std::span<const char* const> ChildTables; // in delete order
    std::span<const char* const> DateColumns;  // today at insert
    std::span<const char* const> YearColumns;  // the current year at insert
    std::span<const char* const> MonthColumns; // the current month at insert
    std::span<const char* const> YearBoxes;    // get "1900".."2100"
    std::span<const char* const> MonthBoxes;   // get "1".."12"
    std::span<const TDocumentFrame> Frames;
    std::span<const TDocumentText> Texts;
    std::span<const TFieldRow> Fields;
    std::span<const THandCopied> HandCopied;
    std::span<const TDocumentCheck> Checks;
    std::span<const TSubTableButton> SubTables;
    // The list's columns: field and caption.
    std::span<const std::pair<const char*, const char*>> ListColumns;
};

class TfrmDocument : public TForm, public TDataSetToolBar {
public:
    TfrmDocument(TComponent* AOwner, const TDocumentLayout& Layout);
    ~TfrmDocument() override;

    const TDocumentLayout& Layout() const { return FLayout; }
    // Program folder + the layout's base folder name.
    std::string BaseFolder() const;

    TcvDBGrid* cvDBGrid1 = nullptr;
    TSplitter* Splitter1 = nullptr;
    TPageControl* PageControl1 = nullptr;
    TADODataSet* ADODataSet1 = nullptr;
    TDataSource* DataSource1 = nullptr;
    TADOQuery* ADOQuery1 = nullptr;
    TADODataSet* ADODataSet2 = nullptr;
    TDataSource* DataSource2 = nullptr;
    TAction* ActionOutProject = nullptr;
    TAction* ActionOutAllProject = nullptr;
    TAction* ActionInProject = nullptr;
    TAction* ActionOpenAttachment = nullptr;
    TAction* ActionInAttachment = nullptr;
    TAction* ActionOutAttachment = nullptr;
    TAction* ActionDeleteAttachment = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* DocumentMenu = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;

    std::string OldXMBH;
    std::string OldXMMC;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void ADODataSet1AfterScroll(TDataSet* DataSet);
    void ADODataSet1AfterInsert(TDataSet* DataSet);
    void ADODataSet1AfterEdit(TDataSet* DataSet);
    void ADODataSet1BeforePost(TDataSet* DataSet);
    void ADODataSet1BeforeClose(TDataSet* DataSet);
    void DataSource1StateChange(TObject* Sender);
    void DataSetDelete2Execute(TObject* Sender);
    void ActionOutProjectExecute(TObject* Sender);
    void ActionOutAllProjectExecute(TObject* Sender);
    void ActionInProjectExecute(TObject* Sender);
    void ActionOpenAttachmentExecute(TObject* Sender);
    void ActionInAttachmentExecute(TObject* Sender);
    void ActionOutAttachmentExecute(TObject* Sender);
    void ActionDeleteAttachmentExecute(TObject* Sender);
    void PopupMenu1Popup(TObject* Sender);
    // The sub-table button of that index in the layout.
    void SubTableClick(size_t Index);
    void ResetImeModes(TWinControl* Container);

    // Applies the menu-enabling rule to the items of Menu.
    void EnableMenuItems(TMenuItem* Menu);
    // The current NXMLXID as text; empty without a current row.
    std::string CurrentKey() const;

    template <class T = TWinControl> T* Named(const std::string& Name) const {
        return NamedComponent<T>(this, Name);
    }

protected:
    // The document's own controls: loaded after the hand-copied ones, saved
    // after them, and told about every state change.
    virtual void LoadOwnControls() {}
    virtual void SaveOwnControls() {}
    virtual void OwnStateChanged(bool Editing) { (void)Editing; }

private:
    void BuildForm();
    void BuildToolBar(TFormBuilder& Build);
    void BuildMenus(TFormBuilder& Build);
    void BuildPages(TFormBuilder& Build);
    // The check passes, or its failure is shown and the save aborted.
    void RunCheck(const TDocumentCheck& Check);
    [[noreturn]] void Refuse(const TDocumentCheck& Check, bool SelectText);
    bool Editing() const;

    const TDocumentLayout& FLayout;
};

// Lets the main window's 中期检查表 (F3), 验收申请 (F4) and 验收证书 (F5)
// open their windows.
void RegisterDocumentWindows(class TfrmMain* Main);
