// Packages of project applications: a flat zip of a filled copy of the
// program's iodata.mdb and the files of the applications' folders. The
// transfer file is attached to the user connection by its absolute path, rows
// are copied by column name and every value is bound; the progress window,
// attachments and queries are released by guards on every path.
#include "documents/Request.h"

#include "app/ApplicationFolder.h"
#include "app/DataModule.h"
#include "app/DatabaseCopy.h"
#include "app/ImportStaging.h"
#include "app/ImportedTables.h"
#include "app/Main.h"
#include "app/Progress.h"
#include "app/SysPublic.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/MessageQueue.h"
#include "zip/ZipWriter.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace {

const char* const TransferFileName = "iodata.mdb";
const char* const TransferAlias = "iodata";
const char* const PackageFilter = "压缩文件|*.zip";
const char* const ApplicationsName = "项目申报书";
const char* const TransferUnreadable = "连接导入数据库失败，该操作终止，请尝试再次导入";
const char* const BoxCaption = "提示";

// The transfer database and what the database engine keeps beside it: never
// packed from an application folder, so a package holds one transfer file.
bool IsTransferFile(const std::string& Name) {
    for (const char* name : {"iodata.mdb", "iodata.ldb", "iodata.mdb-journal", "iodata.mdb-wal", "iodata.mdb-shm"})
        if (Name == name) return true;
    return false;
}

void StartPhase(const std::string& Title) {
    frmProgress->lblTitle->SetCaption(Title);
    frmProgress->Gauge->SetProgress(0);
    ProcessMessages();
}

void ShowProgress(size_t Done, size_t Count) {
    frmProgress->Gauge->SetProgress(static_cast<int>(std::lround(Done * 100.0 / Count)));
}

// A box owned by the active window, as the main window's are.
int ActiveWindowBox(const std::string& Text, UINT Flags) {
    return Application->MessageBox(Text, BoxCaption, Flags);
}

int MainWindowBox(const std::string& Text, UINT Flags) {
    return MessageBox(frmMain->Handle(), Text, BoxCaption, Flags);
}

// An id as this program stores it: ten decimal digits, the month and four more.
bool IsApplicationId(const std::string& Id) {
    return Id.size() == 10 && Id[0] != '0' &&
           std::all_of(Id.begin(), Id.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// An application of a package: its row in the transfer file, its id there
// and here, and the entry of its task book.
struct TPackagedApplication {
    Variant RowId;
    std::string OldId;
    std::string NewId;
    std::string TaskBookEntry;
};

} // namespace

void TfrmRequest::ActionOutProjectExecute(TObject*) {
    std::vector<std::string> ids;
    try {
        for (int i = 0; i < cvDBGrid1->SelectedCount(); ++i) {
            qry_main->SetBookmark(cvDBGrid1->GetSelectedRow(i));
            ids.push_back(ListText("KJJHSBID"));
        }
    } catch (const EAbort&) {
        // The list refused to move off unsaved input: nothing is exported.
        return;
    }
    ExportApplications(ids);
}

void TfrmRequest::ActionOutAllProjectExecute(TObject*) {
    if (Box("确定全部导出所有数据吗？", MB_YESNO | MB_ICONINFORMATION) != IDYES) return;
    TADOQuery all(nullptr);
    all.SetConnection(frmMain->adocon);
    all.SQL()->SetText("select KJJHSBID from KJJHSB");
    std::vector<std::string> ids;
    for (all.Open(); !all.Eof(); all.Next())
        ids.push_back(all.Fields()[0]->AsString());
    ExportApplications(ids);
}

void TfrmRequest::ExportApplications(const std::vector<std::string>& Ids) {
    if (Ids.empty()) return;
    const std::string userFolder = IncludeTrailingPathDelimiter(ExpandFileName(ExtractFilePath(UserDbPath)));
    frmProgress->Show();
    TScopeGuard closeProgress([] { frmProgress->Close(); });
    StartPhase("正在进行数据完整性检测，请稍候。。。");
    zip::TZipWriter writer(nullptr);
    TADOQuery row(nullptr);
    row.SetConnection(frmMain->adocon);
    row.SQL()->SetText("select XMMC, RWSWJM from KJJHSB where KJJHSBID=:id");
    std::string singleName;
    for (size_t i = 0; i < Ids.size(); ++i) {
        const std::string& id = Ids[i];
        auto complete = CompletenessCheck(id);
        if (!complete || !complete->Active() || complete->IsEmpty()) {
            qry_main->Locate("KJJHSBID", Variant(id), {loCaseInsensitive});
            // The number the list shows in its 序号 column for this row.
            ActiveWindowBox("项目\"" + ListText("XMMC") + "\"\r位于项目序号第 " + IntToStr(qry_main->RecNo()) +
                                " 号导出数据检测不完整，请保证信息全部填写并保存",
                            MB_OK | MB_ICONINFORMATION);
            return;
        }
        row.Close();
        row.Parameters()->ParamByName("id")->SetValue(IdValue(id));
        row.Open();
        const std::string name = row.FieldByName("XMMC")->AsString();
        const std::string taskBook = row.FieldByName("RWSWJM")->AsString();
        if (taskBook.empty() || !FileExists(userFolder + id + PathDelim + taskBook)) {
            ActiveWindowBox("项目”" + name + "“没有任务书，无法导出", MB_OK | MB_ICONERROR);
            // A stale file name goes, so the list and menus tell the truth.
            Execute("update KJJHSB set RWSWJM='' where KJJHSBID=:id", {{"id", IdValue(id)}});
            qry_main->Requery();
            return;
        }
        if (Ids.size() == 1) singleName = name;
        TStringList files;
        SysPublic::ListFiles(userFolder + id, &files);
        for (int f = 0; f < files.Count(); ++f)
            if (!IsTransferFile(ExtractFileName(files.Get(f)))) writer.FilesList()->Add(files.Get(f));
        ShowProgress(i, Ids.size());
    }
    frmProgress->Gauge->SetProgress(100);

    TSaveDialog dialog(nullptr);
    const bool everyRow = static_cast<Integer>(Ids.size()) == qry_main->RecordCount();
    dialog.SetFileName(Ids.size() == 1 && !everyRow ? singleName + ".ZIP" : "项目申报.ZIP");
    dialog.SetFilter(PackageFilter);
    if (!dialog.Execute()) return;
    std::string package = dialog.FileName();
    if (ExtractFileExt(package).empty()) package += ".ZIP";
    StartPhase("正在进行数据导出，请稍候。。。");
    if (FileExists(package)) {
        if (ActiveWindowBox("有文件存在，是否覆盖？", MB_YESNO | MB_ICONWARNING) != IDYES) return;
        // Packing into an existing archive would keep its old entries.
        if (!DeleteFile(package)) {
            ActiveWindowBox(FileFailureText, MB_OK | MB_ICONERROR);
            return;
        }
    }

    const std::string workFolder = userFolder + "temp";
    const std::string transferFile = workFolder + PathDelim + TransferFileName;
    if (!ForceDirectories(workFolder) || (FileExists(transferFile) && !DeleteFile(transferFile)) ||
        !CopyFile(ApplicationFolder() + TransferFileName, transferFile, true)) {
        ActiveWindowBox(FileFailureText, MB_OK | MB_ICONERROR);
        return;
    }
    try {
        TAttachedDatabase attached(frmMain->adocon, transferFile, TransferAlias);
        // A scratch copy made afresh by every export: its commits need not
        // wait for the disk, which would make the one transaction per row
        // the slowest part of the export.
        frmMain->adocon->Execute(std::string("PRAGMA ") + TransferAlias + ".synchronous=OFF");
        TADOCommand copy(nullptr);
        copy.SetConnection(frmMain->adocon);
        copy.SetCommandText(CopyRowsByNameSQL(frmMain->adocon, "KJJHSB", TransferAlias, "main", "KJJHSBID=:id"));
        for (size_t i = 0; i < Ids.size(); ++i) {
            TTransactionGuard transaction(frmMain->adocon);
            copy.Parameters()->ParamByName("id")->SetValue(IdValue(Ids[i]));
            copy.Execute();
            transaction.Commit();
            ShowProgress(i, Ids.size());
        }
        attached.Detach();
    } catch (const std::exception&) {
        MainWindowBox("数据导出失败，请重新导出", MB_OK | MB_ICONERROR);
        return;
    }

    writer.SetZipName(package);
    writer.FilesList()->Add(transferFile);
    writer.SetRecurse(true);
    writer.Zip();
    frmProgress->Gauge->SetProgress(100);
    frmProgress->Close();
    MainWindowBox("数据导出成功", MB_OK | MB_ICONINFORMATION);
}

void TfrmRequest::ActionInProjectExecute(TObject*) {
    TOpenDialog dialog(nullptr);
    dialog.SetFilter(PackageFilter);
    if (!dialog.Execute()) return;
    const std::string package = dialog.FileName();
    if (!FileExists(package)) {
        ActiveWindowBox("压缩文件路径不正确，请确保存在该文件", MB_OK | MB_ICONERROR);
        return;
    }
    const std::string userFolder = IncludeTrailingPathDelimiter(ExpandFileName(ExtractFilePath(UserDbPath)));
    std::string result;
    {
        frmProgress->Show();
        TScopeGuard closeProgress([] { frmProgress->Close(); });
        try {
            result = ImportApplications(package, userFolder);
        } catch (const EImportRefused& refusal) {
            Box(refusal.Message(), MB_ICONERROR);
            return;
        } catch (const EAbort&) {
            return; // told already
        } catch (const std::exception&) {
            Box(ImportFailedText, MB_ICONERROR);
            return;
        }
    }
    qry_main->Requery();
    RefreshMainMenu();
    Box(result, MB_ICONINFORMATION);
}

std::string TfrmRequest::ImportApplications(const std::string& Package, const std::string& UserFolder) {
    StartPhase("正在解开压缩文件，请梢侯。。。");
    TImportStaging staging(UserFolder);
    staging.OnUnpacked = [](int Done, int Entries) { ShowProgress(size_t(Done), size_t(Entries)); };
    staging.Unpack(Package);
    frmProgress->Gauge->SetProgress(100);
    StartPhase("正在处理压缩文件，请梢侯。。。");

    const std::string transferFile = staging.EntryFile(TransferFileName);
    if (transferFile.empty()) throw EImportRefused(NoDocumentsText(ApplicationsName));
    TADOConnection* connection = frmMain->adocon;
    const auto attached = AttachImportedFile(connection, transferFile, TransferAlias, TransferUnreadable);
    if (CheckImportedTable(connection, TransferAlias, "KJJHSB") == 0)
        throw EImportRefused(NoDocumentsText(ApplicationsName));

    // The package's applications in file order, each with its task book.
    std::vector<TPackagedApplication> applications;
    std::set<std::string> packageIds;
    TADOQuery rows(nullptr);
    rows.SetConnection(connection);
    rows.SQL()->SetText(std::string("select rowid, KJJHSBID from ") + TransferAlias + ".KJJHSB order by rowid");
    for (rows.Open(); !rows.Eof(); rows.Next()) {
        const std::string id = rows.Fields()[1]->IsNull() ? std::string() : rows.Fields()[1]->AsString();
        if (!IsApplicationId(id)) throw EImportRefused(WrongKeyText);
        if (!packageIds.insert(id).second) throw EImportRefused(BrokenPackageText);
        TPackagedApplication application{rows.Fields()[0]->Value(), id, id, {}};
        for (const std::string& entry : staging.EntriesOf(id))
            if (LowerCase(entry) == LowerCase(SysPublic::TaskBookFileName(id))) {
                if (!application.TaskBookEntry.empty()) throw EImportRefused(BrokenPackageText);
                application.TaskBookEntry = entry;
            }
        if (application.TaskBookEntry.empty()) throw EImportRefused(BrokenPackageText);
        applications.push_back(application);
    }
    rows.Close();

    // Every new id is known before anything is written: unique against the
    // stored rows, every package id and every id drawn before it.
    int renumbered = 0;
    std::set<std::string> reserved = packageIds;
    for (TPackagedApplication& application : applications) {
        if (Count("select count(*) from KJJHSB where KJJHSBID=:id", "id", IdValue(application.OldId)) == 0) continue;
        application.NewId = MakeApplicationId(reserved);
        if (application.NewId.empty()) throw EAbort(); // the month's ids are used up: told, nothing stored
        reserved.insert(application.NewId);
        ++renumbered;
    }

    // Each application's files in a folder of its own that replaces the one
    // of its id (an earlier folder without a row) when the rows are in.
    for (size_t i = 0; i < applications.size(); ++i) {
        const TPackagedApplication& application = applications[i];
        const std::string folder = staging.StageFolder(UserFolder + application.NewId);
        for (const std::string& entry : staging.EntriesOf(application.OldId))
            staging.MoveEntry(entry, folder,
                              entry == application.TaskBookEntry
                                  ? SysPublic::TaskBookFileName(application.NewId)
                                  : application.NewId + entry.substr(application.OldId.size()));
        ShowProgress(i, applications.size());
    }
    if (!staging.EveryEntryMovedBut(TransferFileName)) throw EImportRefused(BrokenPackageText);

    TADOCommand copy(nullptr);
    copy.SetConnection(connection);
    copy.SetCommandText(CopyRowsByNameSQL(connection, "KJJHSB", "main", TransferAlias, "rowid=:row",
                                          {{"KJJHSBID", ":new"}, {"RWSWJM", ":taskbook"}}));
    {
        TTransactionGuard transaction(connection);
        for (const TPackagedApplication& application : applications) {
            copy.Parameters()->ParamByName("row")->SetValue(application.RowId);
            copy.Parameters()->ParamByName("new")->SetValue(IdValue(application.NewId));
            copy.Parameters()->ParamByName("taskbook")->SetValue(SysPublic::TaskBookFileName(application.NewId));
            if (copy.Execute() != 1) throw EImportRefused(BrokenPackageText);
        }
        staging.Place();
        transaction.Commit();
        staging.Keep();
    }
    frmProgress->Gauge->SetProgress(100);
    std::string result = "项目导入成功，共导入 " + IntToStr(Integer(applications.size())) + " 个项目";
    if (renumbered > 0) result += "\r其中 " + IntToStr(renumbered) + " 个项目的编号已被使用，已改用新编号导入";
    return result;
}
