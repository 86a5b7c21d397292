// The task book of a project application (a word-processor file in its
// folder, named in RWSWJM) and the information sheet: the template typed
// from a complete row and shown unsaved in the desktop's word processor.
#include "documents/Request.h"

#include "app/ApplicationFolder.h"
#include "app/ImportStaging.h"
#include "app/Main.h"
#include "app/Message.h"
#include "app/SysPublic.h"
#include "platform/office/Word.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Focus.h"
#include "platform/ui/MessageQueue.h"

#include <set>

namespace {

const char* const BoxCaption = "提示";
const char* const SheetTemplateName = "kjprjinfotable.doc";
const char* const NoTaskBook = "该记录没有任务书";
const char* const WordFilter = "WORD文件|*.doc";

// Columns the completeness check never looks at.
const std::set<std::string> ExemptColumns = {
    "DJXH",     "NEEDCHANGE", "CHANGERESULT", "LXRE_MAIL", "RWSWJM",   "ZGBMSFTJ",   "ZGBMTJYJ",   "CDDWJBXXID",
    "QYXZ1",    "QYXZ2",      "QYXZ3",        "ZJJGLB",    "YTLX",     "DWSZQYDM1",  "DWSZQYDM2",  "DWSZQYDM3",
    "YZBM",     "DWDZ",       "HTTP",         "YQCG1",     "YQCG2",    "YQCG3",      "YQCG4",      "XMFZRXM2",
    "XMFZRXB2", "XMFZRCSN2",  "XMFZRXL2",     "XMFZRXW2",  "XMFZRZC2", "XMFZRLXDH2", "XMFZRLXDH1", "YTRYJRYS",
    "YTRJF",    "DWZCTR",     "ZFBKTR",       "QTTR",      "JWHZDWMC", "GJHDQ",      "HZXS1",      "HZXS2",
    "HZXS3",    "CJDW1",      "CJDW2",        "CJDW3",     "CJDW1XZ",  "CJDW2XZ",    "CJDW3XZ"};

// The second leader's details, typed only with a name.
const std::set<std::string> SecondLeaderDetails = {"XMFZRXB2", "XMFZRCSN2", "XMFZRXL2",
                                                   "XMFZRXW2", "XMFZRZC2",  "XMFZRLXDH2"};

// Codes typed as their names, by the text the column name contains.
struct TDecodedColumn {
    const char* Contains;
    std::vector<std::pair<Integer, const char*>> Names;
};
const TDecodedColumn DecodedColumns[] = {
    {"XMFZRXL", {{1, "研究生"}, {2, "本科"}, {3, "大专"}, {9, "其他"}}},
    {"XMFZRXW", {{1, "博士"}, {2, "硕士"}, {3, "学士"}, {9, "其他"}}},
    {"XMFZRZC", {{1, "高级"}, {2, "中级"}, {3, "初级"}, {9, "其他"}}},
};

bool Contains(const std::string& Text, const char* Part) {
    return Text.find(Part) != std::string::npos;
}

std::string FieldText(TDataSet* Data, const char* Column) {
    return Data->FieldByName(Column)->AsString();
}

// Whether the visited field passes; Data stands on the row.
bool FieldComplete(TDataSet* Data, const std::string& Name, const std::string& Value) {
    if (ExemptColumns.count(Name)) return true;
    if (Name == "ZNDM") return Value.empty() || Utf8Length(Value) == 6;
    if (Name == "SBNF") return Utf8Length(Trim(Value)) == 4;
    if (Name == "JHLBDM" || Name == "JSLYDM" || Name == "XKLYDM") {
        const std::string technicalField = FieldText(Data, "JSLYDM");
        if (FieldText(Data, "JHLBDM").empty() || technicalField == "H") return false;
        return !FieldText(Data, "XKLYDM").empty() || !technicalField.empty() || !Value.empty();
    }
    if (Name == "ZTC1" || Name == "ZTC2" || Name == "ZTC3")
        return !FieldText(Data, "ZTC1").empty() || !FieldText(Data, "ZTC2").empty() || !FieldText(Data, "ZTC3").empty();
    return !Value.empty();
}

// Types Text at the bookmark Name of the active document, when it has one.
void TypeAtBookmark(TWordApplication* Word, const std::string& Name, const std::string& Text) {
    TWordDocument* document = Word->ActiveDocument();
    if (!document->BookmarkExists(Name)) return;
    document->SelectBookmark(Name);
    document->TypeText(Text);
}

} // namespace

std::unique_ptr<TADOQuery> CompletenessCheck(const std::string& Id) {
    auto query = std::make_unique<TADOQuery>(nullptr);
    query->SetConnection(frmMain->adocon);
    query->SQL()->SetText("select * from KJJHSB where KJJHSBID=:id");
    query->Parameters()->ParamByName("id")->SetValue(Id);
    query->Open();
    if (query->IsEmpty()) return query;
    for (TField* field : query->Fields()) {
        ProcessMessages();
        if (!FieldComplete(query.get(), field->FieldName(), field->AsString())) {
            query->Close();
            break;
        }
    }
    return query;
}

std::string TfrmRequest::ListText(const char* Column) const {
    return qry_main->Active() && !qry_main->IsEmpty() ? FieldText(qry_main, Column) : std::string();
}

std::string TfrmRequest::ApplicationFolderOf(const std::string& Id) const {
    return ExtractFilePath(UserDbPath) + Id;
}

std::string TfrmRequest::LookupCodeName(const std::string& Table, const std::string& NameField,
                                        const std::string& KeyField, const std::string& Value) {
    TADOQuery query(nullptr);
    query.SetConnection(frmMain->adocon);
    query.SQL()->SetText("select " + SQLQuotedName(NameField) + " from " + SQLQuotedName(Table) + " where " +
                         SQLQuotedName(KeyField) + "=:value");
    // District codes are numbers; every other code table keys by text.
    Integer number = 0;
    if (Table == "XZQHDM" && TryStrToInt(Value, number))
        query.Parameters()->ParamByName("value")->SetValue(number);
    else
        query.Parameters()->ParamByName("value")->SetValue(Value);
    query.Open();
    return query.IsEmpty() ? std::string() : query.Fields()[0]->AsString();
}

void TfrmRequest::OpenWordDocument(const std::string& File, TDataSet* Data, bool Fill, bool ShowOnly) {
    TScopeGuard restoreFlag([this, flag = ModifiedFlag] { ModifiedFlag = flag; });
    TWaitMessage wait("正在开启WORD文档，请稍候");
    ProcessMessages();
    TWordApplication* word = TWordApplication::GetOrStart();
    if (!word) {
        MessageBox(GetActiveWindow(),
                   "您的机器里未安装Microsoft Word.\n请安装可以打开WORD文档的文字处理软件，例如 LibreOffice Writer。",
                   BoxCaption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    // A document that is saved over its own file is that file opened as it
    // is: the user's task book is never read.
    TWordDocument* document = ShowOnly ? word->Add(File) : word->Open(File);

    if (Fill) {
        const bool secondLeader = !FieldText(Data, "XMFZRXM2").empty();
        for (TField* field : Data->Fields()) {
            const std::string name = field->FieldName();
            std::string value = field->AsString();
            if (Contains(name, "DWSZQYDM1") && value == "0") value = "1";
            if (!secondLeader && (name == "XMFZRXM2" || SecondLeaderDetails.count(name))) continue;
            if (name == "JSLYDM") {
                if (Utf8Length(value) == 1) {
                    SelectCode(ccb_JSLYDM, value);
                    value = ccb_JSLYDM->Text();
                } else {
                    SelectCode(ccb_JSLYDM, Utf8Copy(value, 0, 1));
                    ccb_JSLYDMChange(ccb_JSLYDM);
                    SelectCode(ccb_JSLYDM_other, value);
                    value = ccb_JSLYDM_other->Text();
                }
            }
            if (value.empty()) continue;
            Integer code = 0;
            const bool isCode = TryStrToInt(value, code);
            if (Contains(name, "XMFZRXB")) value = value == "1" ? "男" : "女";
            for (const TDecodedColumn& decoded : DecodedColumns)
                if (Contains(name, decoded.Contains) && isCode)
                    for (const auto& [number, text] : decoded.Names)
                        if (number == code) value = text;
            TypeAtBookmark(word, name, value);
        }
        if (ExtractFileName(File) == SheetTemplateName) {
            TypeAtBookmark(word, "STRJHLBDM", LookupCodeName("JHLB", "JHMC", "JHLBDM", FieldText(Data, "JHLBDM")));
            TypeAtBookmark(word, "STRZGBMDM", LookupCodeName("ZGBM", "ZGBMMC", "ZGBMDM", FieldText(Data, "ZGBMDM")));
            TypeAtBookmark(word, "STRDWSZSDM", LookupCodeName("XZQHDM", "DQMC", "DQDM", FieldText(Data, "DWSZSDM")));
            TypeAtBookmark(word, "STRDWSZXQDM", LookupCodeName("XZQHDM", "DQMC", "DQDM", FieldText(Data, "DWSZXQDM")));
        }
    }
    word->SetVisible(true);
    if (ShowOnly) return;
    const std::string id = ListText("KJJHSBID");
    try {
        document->SaveAs(ApplicationFolderOf(id) + PathDelim + SysPublic::TaskBookFileName(id));
    } catch (const EOfficeError&) {
        MessageBox(GetActiveWindow(), "已有同名文件打开，请在已经打开的文件能修改", BoxCaption,
                   MB_OK | MB_ICONQUESTION);
        document->Close();
    }
}

void TfrmRequest::ActionOpenTaskExecute(TObject*) {
    const std::string taskBook = ListText("RWSWJM");
    if (taskBook.empty()) {
        Box(NoTaskBook, MB_ICONERROR);
        return;
    }
    OpenWordDocument(ApplicationFolderOf(ListText("KJJHSBID")) + PathDelim + taskBook, qry_main, false, false);
}

void TfrmRequest::ActionInTaskExecute(TObject*) {
    const std::string id = ListText("KJJHSBID");
    // Without a row the file would land in the user's own folder.
    if (id.empty()) return;
    TADOQuery stored(nullptr);
    stored.SetConnection(frmMain->adocon);
    stored.SQL()->SetText("select KJJHSBID,RWSWJM from KJJHSB where KJJHSBID=:id");
    stored.Parameters()->ParamByName("id")->SetValue(id);
    stored.Open();

    TOpenDialog dialog(nullptr);
    dialog.SetFilter(WordFilter);
    if (!dialog.Execute()) return;
    const std::string folder = ApplicationFolderOf(id);
    const bool replacing = !stored.IsEmpty() && !FieldText(&stored, "RWSWJM").empty();
    if (replacing && MessageBox(Handle(), "即将使用新文件替换原有文件，确定吗？", BoxCaption,
                                MB_YESNO | MB_ICONINFORMATION) != IDYES)
        return;
    // The new file takes the old one's place only with its name recorded:
    // a copy or an update that fails leaves the task book as it was.
    try {
        TImportStaging staging(ExtractFilePath(folder));
        staging.EnsureFolder(folder);
        staging.StageCopy(dialog.FileName(), folder + PathDelim + SysPublic::TaskBookFileName(id));
        TTransactionGuard transaction(frmMain->adocon);
        TADOCommand update(nullptr);
        update.SetConnection(frmMain->adocon);
        update.SetCommandText("update KJJHSB set RWSWJM=:name where KJJHSBID=:id");
        update.Parameters()->ParamByName("name")->SetValue(SysPublic::TaskBookFileName(id));
        update.Parameters()->ParamByName("id")->SetValue(id);
        update.Execute();
        staging.Place();
        transaction.Commit();
        staging.Keep();
    } catch (const std::exception&) {
        Box("导入任务书失败，请尝试再次导入！", MB_ICONERROR);
        return;
    }
    Box("导入任务书成功", MB_ICONINFORMATION);
    stored.Close();
    qry_main->Requery();
    RefreshMainMenu();
}

void TfrmRequest::ActionOutTaskExecute(TObject*) {
    const std::string taskBook = ListText("RWSWJM");
    if (taskBook.empty()) {
        Box(NoTaskBook, MB_ICONERROR);
        return;
    }
    const std::string source = ApplicationFolderOf(ListText("KJJHSBID")) + PathDelim + taskBook;
    if (!FileExists(source)) {
        Box(FileFailureText, MB_ICONERROR);
        return;
    }
    TSaveDialog dialog(nullptr);
    dialog.SetFileName(ListText("XMMC") + "任务书.DOC");
    dialog.SetFilter(WordFilter);
    if (!dialog.Execute()) return;
    std::string target = dialog.FileName();
    if (ExtractFileExt(target).empty()) target += ".doc";
    if (FileExists(target) &&
        MessageBox(Handle(), "是否覆盖本地同名文件", BoxCaption, MB_YESNO | MB_ICONINFORMATION) != IDYES)
        return;
    if (!CopyFile(source, target, false)) {
        Box(FileFailureText, MB_ICONERROR);
        return;
    }
    Box("WORD导出成功", MB_ICONINFORMATION);
}

void TfrmRequest::ActionDeleteTaskExecute(TObject*) {
    const std::string id = ListText("KJJHSBID");
    if (id.empty()) return;
    if (MessageBox(Handle(), "即将删除所选项目任务书，确认吗？", BoxCaption, MB_YESNO | MB_ICONINFORMATION) != IDYES)
        return;
    TADOQuery stored(nullptr);
    stored.SetConnection(frmMain->adocon);
    stored.SQL()->SetText("select RWSWJM from KJJHSB where KJJHSBID=:id");
    stored.Parameters()->ParamByName("id")->SetValue(id);
    stored.Open();
    const std::string file =
        ApplicationFolderOf(id) + PathDelim + (stored.IsEmpty() ? "" : FieldText(&stored, "RWSWJM"));
    if (FileExists(file) && !DeleteFile(file)) {
        Box(FileFailureText, MB_ICONERROR);
        return;
    }
    TADOCommand update(nullptr);
    update.SetConnection(frmMain->adocon);
    update.SetCommandText("update KJJHSB set RWSWJM='' where KJJHSBID=:id");
    update.Parameters()->ParamByName("id")->SetValue(id);
    update.Execute();
    Box("任务书删除成功", MB_ICONINFORMATION);
    qry_main->Requery();
    stored.Close();
    RefreshMainMenu();
}

void TfrmRequest::ActionOpenInfoExecute(TObject*) {
    const std::string sheetTemplate = ApplicationFolder() + "worddot" + PathDelim + SheetTemplateName;
    if (!FileExists(sheetTemplate)) {
        Box("系统未提供相应任务书模版", MB_ICONQUESTION);
        return;
    }
    const auto check = CompletenessCheck(ListText("KJJHSBID"));
    if (!check->Active() || check->IsEmpty()) {
        Box("项目信息不完整，请保证信息全部填写并保存", MB_ICONINFORMATION);
        return;
    }
    OpenWordDocument(sheetTemplate, check.get(), true, true);
}
