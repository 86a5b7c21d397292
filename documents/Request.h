// The project application window: four pages of plain controls that carry
// the columns of one KJJHSB row, filled from the code tables and from a
// stored row, checked on leaving a field and on saving, and written back by
// bound statements inside one transaction.
#pragma once

#include "components/CodeComboBox.h"
#include "dbgrid/DBGrid.h"
#include "dbgrid/GridColumns.h"
#include "documents/RequestBase.h"
#include "platform/data/ADODB.h"
#include "platform/rtl/Variants.h"
#include "platform/ui/ActnList.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Mask.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"

#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include <random>
#include <set>

class TFormBuilder;
class TfrmMain;
class TStringList;
struct TRequestField;
struct TRequestRule;

// A check-box group stored as a fixed number of code columns.
struct TCheckGroup {
    const char* Box;    // the group box
    const char* Column; // the columns are Column + "1", Column + "2", ...
    int Slots;
    const char* LimitMessage;
    const char* InvalidMessage; // a stored code that is no number
    int Counter = 0;
};

class TfrmRequest : public TfrmRequestBase {
public:
    explicit TfrmRequest(TComponent* AOwner);
    ~TfrmRequest() override;

    std::string UserDbPath;
    std::string UserCode;
    bool ModifiedFlag = false;
    // KJJHSBID of the row shown or being created, and XMMC as it was loaded.
    std::string CurrentId;
    std::string LoadedName;
    // True while CurrentId was made for a new application that no save has
    // stored yet: such an id found taken at saving is replaced, never updated.
    bool CurrentIdIsNew = false;

    TToolBar* ToolBar2 = nullptr;
    TToolButton* tbInsert = nullptr;
    TToolButton* tbEdit = nullptr;
    TToolButton* tbDelete = nullptr;
    TToolButton* tbSave = nullptr;
    TToolButton* tbCancel = nullptr;
    TToolButton* tbRefresh = nullptr;
    TToolButton* tbExit = nullptr;
    TPageControl* pgc_main = nullptr;

    TEdit* edt_XMMC = nullptr;
    TMaskEdit* met_SBNF = nullptr;
    TCodeComboBox* ccb_JHLBDM = nullptr;
    TCodeComboBox* ccb_ZGBMDM = nullptr;
    TCodeComboBox* ccb_JSLYDM = nullptr;
    TCodeComboBox* ccb_JSLYDM_other = nullptr;
    TCodeComboBox* ccb_XKLYDM = nullptr;
    TMaskEdit* met_prjstart = nullptr;
    TMaskEdit* met_prjend = nullptr;
    TCodeComboBox* ccb_DWLB = nullptr;
    TCodeComboBox* ccb_ZJJGLB = nullptr;
    TCodeComboBox* ccb_DWSZSDM = nullptr;
    TCodeComboBox* ccb_DWSZXQDM = nullptr;
    TGroupBox* GroupBox_qyxz = nullptr;
    TMemo* mem_ZYYJNR = nullptr;
    TEdit* edt_XMFZRXM2 = nullptr;
    TMaskEdit* met_XMFZRCSN1 = nullptr;
    TMaskEdit* met_XMFZRCSN2 = nullptr;
    TGroupBox* gpb_secondinfo = nullptr;
    // The list of applications; showdata reads its current row.
    TADOQuery* qry_main = nullptr;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    // The Field column of every row of Table's code query (see the .cpp).
    std::unique_ptr<TStringList> LoadCodeList(TADOConnection* Connection, const std::string& Table,
                                              const std::string& Prefix, const std::string& Field,
                                              const std::string& KeyField);
    void showdata();
    void ClearControls(TWinControl* Container);
    void SetControlsEditable(TWinControl* Container, bool Editable);
    void SetBrowsing(bool Browsing);
    void ResetImeModes(TWinControl* Container);

    void dataChange(TObject* Sender);
    void ccb_JHLBDMChange(TObject* Sender);
    void ccb_JSLYDMChange(TObject* Sender);
    void ccb_DWSZSDMChange(TObject* Sender);
    void CombBoxExit(TObject* Sender);
    void edt_XMFZRXM2Enter(TObject* Sender);
    void edt_XMFZRXM2Exit(TObject* Sender);
    void GroupBox7Exit(TObject* Sender);
    void EditKeyPress(TObject* Sender, char32_t& Key);
    void EditfloatKeyPress(TObject* Sender, char32_t& Key);

    // Check-box groups, in the order of the table: enterprise nature, unit
    // zones, expected results, forms of cooperation.
    void LimitCheckGroup(TObject* Sender, int& Counter, const std::string& Message, int Limit);
    void ClearGroupQYXZ() { ClearGroup(FGroups[0]); }
    void ClearGroupDWSZQYDM() { ClearGroup(FGroups[1]); }
    void ClearGroupYQCG() { ClearGroup(FGroups[2]); }
    void ClearGroupHZXS() { ClearGroup(FGroups[3]); }
    void DecodeQYXZ(const std::string& Code) { DecodeGroup(FGroups[0], Code); }
    void DecodeDWSZQYDM(const std::string& Code) { DecodeGroup(FGroups[1], Code); }
    void DecodeYQCG(const std::string& Code) { DecodeGroup(FGroups[2], Code); }
    void DecodeHZXS(const std::string& Code) { DecodeGroup(FGroups[3], Code); }
    void EncodeQYXZ(std::span<int> Codes) { EncodeGroup(FGroups[0], Codes); }
    void EncodeDWSZQYDM(std::span<int> Codes) { EncodeGroup(FGroups[1], Codes); }
    void EncodeYQCG(std::span<int> Codes) { EncodeGroup(FGroups[2], Codes); }
    void EncodeHZXS(std::span<int> Codes) { EncodeGroup(FGroups[3], Codes); }
    // -1 (an unused slot) is null; any other code is itself.
    static Variant CodeToSql(int Code);
    int CheckedCount(int Group) const { return FGroups[static_cast<size_t>(Group)].Counter; }

    // Exit rules.
    void onlycheckyear(TObject* Sender);
    void onlycheckyearmonth(TObject* Sender);
    void edtfloatExit(TObject* Sender);
    void gpb_cddwjcxyExit(TObject* Sender);
    void GroupBoxExit(TObject* Sender);
    // Save rules: true when the input passes.
    bool checkdata();
    bool checkbasedata();
    bool CheckYearMonth(TMaskEdit* Edit);
    bool CheckUnitRules();
    bool CheckSums();
    bool GroupSumMatches(TGroupBox* Group);

    // Reads every control into the value fields; 0 when done, 1 when a value
    // could not be read (its page and field are shown with the reason).
    int GatherValues();
    // The rules, then the statements in one transaction on the user
    // connection. True when the row is stored; every refusal and failure has
    // shown its message and left the input as it was.
    bool SaveApplication();
    // A KJJHSBID that no row carries and that is not Reserved: the month
    // ("yyyymm") and four random digits, or after a few taken draws the
    // lowest free ones; empty, with a box, when the month has none left.
    std::string MakeApplicationId(const std::set<std::string>& Reserved = {});
    // Seeded once; tests seed it again to repeat the draws.
    std::minstd_rand Random{std::random_device{}()};

    // ---- The record list, the record actions and the menus ----
    TDataSource* DataSource1 = nullptr;
    TcvDBGrid* cvDBGrid1 = nullptr;
    TcvDBGridColumn* cvDBGrid1Column3 = nullptr; // 序号
    TcvDBGridColumn* cvDBGrid1Column1 = nullptr; // ★
    TcvDBGridColumn* cvDBGrid1Column2 = nullptr; // 项目名称
    TSplitter* Splitter1 = nullptr;

    TActionList* ActionList1 = nullptr;
    TAction* DatasetInsert = nullptr;
    TAction* DatasetDelete = nullptr;
    TAction* DatasetEdit = nullptr;
    TAction* DatasetPost = nullptr;
    TAction* DatasetCancel = nullptr;
    TAction* DatasetRefresh = nullptr;
    TAction* ActionOutProject = nullptr;
    TAction* ActionOutAllProject = nullptr;
    TAction* ActionInProject = nullptr;
    TAction* ActionOutTask = nullptr;
    TAction* ActionInTask = nullptr;
    TAction* ActionOpenTask = nullptr;
    TAction* ActionDeleteTask = nullptr;
    TAction* ActionOutAttachment = nullptr;
    TAction* ActionInAttachment = nullptr;
    TAction* ActionOpenAttachment = nullptr;
    TAction* ActionDeleteAttachment = nullptr;
    TAction* ActionOpenInfo = nullptr;
    TAction* ActionInfo = nullptr;
    TAction* ActionCode = nullptr;
    TAction* ActionUpdate = nullptr;

    // 项目申报 and 维护 stand in the main window's menu bar (group 3) while
    // the window is active; the popup menu repeats 项目申报.
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* N9 = nullptr;
    TMenuItem* N18 = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;

    // Enables the items of 项目申报 for the current row of the list.
    void RefreshMainMenu();
    void PopupMenu1Popup(TObject* Sender);
    void cvDBGrid1CustomDrawCell(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TcvTreeListNode* ANode,
                                 TcvTreeListColumn* AColumn, bool ASelected, bool AFocused, bool ANewItemRow,
                                 std::string& AText, TColor& AColor, TFont* AFont, TAlignment& AAlignment, bool& ADone);
    void qry_mainBeforeScroll(TDataSet* DataSet);
    void qry_mainAfterScroll(TDataSet* DataSet);
    void qry_mainBeforeClose(TDataSet* DataSet);
    // The list closed and opened again, after its database file was replaced.
    void ReopenList();

    void PrefillFromProfile();
    void DatasetInsertExecute(TObject* Sender);
    void DatasetEditExecute(TObject* Sender);
    void DatasetDeleteExecute(TObject* Sender);
    void DatasetPostExecute(TObject* Sender);
    void DatasetCancelExecute(TObject* Sender);
    void DatasetRefreshExecute(TObject* Sender);
    void tbExitClick(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void ActionInfoExecute(TObject* Sender);
    void ActionCodeExecute(TObject* Sender);
    void ActionUpdateExecute(TObject* Sender);

    // Packages of applications: the rows selected in the list, every row,
    // and a package read in (ids already taken get new ones).
    void ActionOutProjectExecute(TObject* Sender);
    void ActionOutAllProjectExecute(TObject* Sender);
    void ExportApplications(const std::vector<std::string>& Ids);
    void ActionInProjectExecute(TObject* Sender);

    // ---- task book, information sheet and attachments ----
    // Each works on the current row of qry_main.
    void ActionOpenTaskExecute(TObject* Sender);
    void ActionInTaskExecute(TObject* Sender);
    void ActionOutTaskExecute(TObject* Sender);
    void ActionDeleteTaskExecute(TObject* Sender);
    void ActionOpenInfoExecute(TObject* Sender);
    // A file that does not copy or delete is told as "文件I/O错误"; any other
    // failure ends the action with the framework's error box, and the menus
    // are not refreshed.
    void ActionOpenAttachmentExecute(TObject* Sender);
    void ActionInAttachmentExecute(TObject* Sender);
    void ActionOutAttachmentExecute(TObject* Sender);
    void ActionDeleteAttachmentExecute(TObject* Sender);
    // Shows File in the word processor: the template as a new sheet typed
    // from Data's row (Fill) and left unsaved (ShowOnly), or a task book
    // opened as it is. ModifiedFlag is restored and the wait window closed
    // however it ends.
    void OpenWordDocument(const std::string& File, TDataSet* Data, bool Fill, bool ShowOnly);
    // NameField of the code table's row whose KeyField is Value; empty when none.
    std::string LookupCodeName(const std::string& Table, const std::string& NameField, const std::string& KeyField,
                               const std::string& Value);
    // A column of qry_main's current row; empty when the list has none.
    std::string ListText(const char* Column) const;
    // The folder of the application Id: beside the user's database, no trailing "/".
    std::string ApplicationFolderOf(const std::string& Id) const;

private:
    void BuildList(TFormBuilder& Build);
    void BuildActions(TFormBuilder& Build);
    void BuildMenus(TFormBuilder& Build);
    // Adds the applications of Package to the user's database and folders,
    // or raises EImportRefused having changed nothing; answers the result's
    // text. Taken ids get new ones.
    std::string ImportApplications(const std::string& Package, const std::string& UserFolder);
    // Scrolling, refreshing and closing wait for a save or cancel: true, with
    // the box telling so, while the input is modified.
    bool RefusedWhileModified();
    // The save, then the folder; true when the row is stored.
    bool StoreApplication();
    // The enabling rule of 项目申报 for the current row, applied to Items
    // (the main menu's or the popup's, in the same order).
    void EnableItems(const std::vector<TMenuItem*>& Items);
    std::vector<TMenuItem*> FMainItems;
    std::vector<TMenuItem*> FPopupItems;
    void BuildForm();
    void LayOutFields(TFormBuilder& Build);
    void LayOutCheckGroups(TFormBuilder& Build);

    template <class T> T* Named(const std::string& Name) const;
    // Shows Control's page, then focuses it.
    void ShowControl(TWinControl* Control);
    int Box(const std::string& Text, UINT Icon);
    bool Refuse(const TRequestRule& Rule);
    bool RunRules(std::span<const TRequestRule> Rules);
    double NumberIn(const char* Control);
    Integer IntegerIn(const char* Control);

    static void EmptyBox(TCodeComboBox* Box);
    static void SelectCode(TCodeComboBox* Box, const std::string& Code);
    void FillBox(TCodeComboBox* Box, const std::string& Table, const std::string& Prefix, const std::string& CodeField,
                 const std::string& NameField, const std::string& KeyField);
    void FillDistrictBox(const std::string& CityCode);
    void SetSecondLeaderEnabled(bool Enabled);
    void ApplyUnitType();
    bool FilterCharacters(TCustomEdit* Edit);

    void ClearGroup(TCheckGroup& Group);
    void DecodeGroup(TCheckGroup& Group, const std::string& Code);
    void EncodeGroup(const TCheckGroup& Group, std::span<int> Codes) const;
    TCheckGroup& GroupOf(TObject* Box);
    void GroupBoxClick(TObject* Sender);
    void SizeBoxClick(TObject* Sender);

    // Applies the rules of a year-month edit; Saving shows page 0 before
    // focusing (except after a text that is no date at all).
    bool YearMonthPasses(TMaskEdit* Edit, bool Saving);
    bool UnitRulesPass(int Page);
    std::vector<std::string> Statements(bool NewRow) const;
    void RunStatements(bool NewRow);
    bool NameTaken();
    void GatherField(const TRequestField& Field);

    std::vector<TCheckGroup> FGroups;
    // The character filters of the digits and amount edits, by edit.
    std::map<TCustomEdit*, std::string> FAllowedCharacters;
    std::map<std::string, TLabel*> FLabels;
    std::map<std::string, Variant> FValues;
};

extern TfrmRequest* frmRequest;

// Opens the KJJHSB row of Id on the user connection and answers the query,
// open when every column that must be filled is, closed otherwise (an empty
// query, when no row has Id, counts as incomplete too).
std::unique_ptr<TADOQuery> CompletenessCheck(const std::string& Id);

// An application id bound as the number it is stored as (text that is no
// number stays text).
Variant IdValue(const std::string& Id);
// The count that SQL, run on the user connection with Parameter bound to
// Value, answers in its first column.
Integer Count(const std::string& SQL, const std::string& Parameter, const Variant& Value);
// Runs SQL on the user connection with the named values bound; names the
// statement lacks are skipped.
void Execute(const std::string& SQL, const std::map<std::string, Variant>& Values);

// Lets the main window's 项目申报 open this window.
void RegisterRequestWindow(TfrmMain* Main);
