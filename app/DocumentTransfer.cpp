// Transfer packages of the shared database's documents: a zip of a filled copy
// of the empty transfer database and the documents' attachment files. The
// transfer file is attached to the shared connection by its absolute path, so
// no statement depends on the current folder, and every value is bound.
#include "app/SysPublic.h"

#include "app/ApplicationFolder.h"
#include "app/DataModule.h"
#include "app/DatabaseCopy.h"
#include "app/Progress.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/MessageQueue.h"
#include "zip/ZipWriter.h"

#include <cmath>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace SysPublic {

namespace {

const char* const TransferFileName = "iovoltrane.mdb";
// Its lock file, which an attachment folder may hold beside a stray copy.
const char* const TransferLockFileName = "iovoltrane.ldb";
const char* const TransferAlias = "iovoltrane";
// Every sub-table row carries its document's key here.
const char* const DocumentKeyColumn = "NXMLXID";

struct TTransferTable {
    const char* Name; // also the name of its counter
    const char* Key;  // the row's own key column
};

// Each kind's tables in copy order: the document table first.
const TTransferTable MidTermTables[] = {{"KORIM_NWZQJCB", "ZQJCBID"}};
const TTransferTable ApplicationTables[] = {{"KORIM_YSSQNB", "NXMLXID"},
                                            {"KORIM_SQJJZBNB", "JJZBID"},
                                            {"KORIM_SQJSHZBNB", "JSHZBID"},
                                            {"KORIM_SQJSZBNB", "JSZBID"},
                                            {"KORIM_SQZYCJDWNB", "DWID"}};
const TTransferTable CertificateTables[] = {{"KORIM_YSZSBNB", "NXMLXID"},   {"KORIM_YSJJZBNB", "JJZBID"},
                                            {"KORIM_YSJSHZBNB", "JSHZBID"}, {"KORIM_YSJSZBNB", "JSZBID"},
                                            {"KORIM_YSWYHRYBNB", "RYID"},   {"KORIM_YSXMRYBNB", "RYID"}};

std::span<const TTransferTable> KindTables(int Kind) {
    switch (Kind) {
    case 1:
        return MidTermTables;
    case 2:
        return ApplicationTables;
    case 3:
        return CertificateTables;
    default:
        return {};
    }
}

// The column that ties a row of Tables[Index] to its document.
std::string DocumentColumn(std::span<const TTransferTable> Tables, size_t Index) {
    return Index == 0 ? Tables[0].Key : DocumentKeyColumn;
}

// Ends in "/" and does not depend on the current folder.
std::string AbsoluteFolder(const std::string& Folder) {
    return IncludeTrailingPathDelimiter(ExpandFileName(Folder));
}

void StartPhase(const std::string& Title) {
    frmProgress->lblTitle->SetCaption(Title);
    frmProgress->Gauge->SetProgress(0);
    ProcessMessages();
}

// Shows the progress window while Body runs and tells a failure as Prefix, a
// line break and the failure's message. The window closes on every path.
void RunWithProgress(const std::string& FailurePrefix, const std::function<void()>& Body) {
    frmProgress->Show();
    TScopeGuard closeProgress([] { frmProgress->Close(); });
    try {
        Body();
    } catch (const std::exception& failure) {
        ShowMsg(nullptr, FailurePrefix + "\r\n" + failure.what(), 3);
    }
}

const char* const InsertFailed = "在表插入记录时出错";

// Copies each document with its sub-table rows into TransferFile, one
// transaction per document; any failure is told as InsertFailed.
void CopyDocumentsToTransferFile(const std::string& TransferFile, const TStrings& Keys, int Kind) {
    TADOConnection* connection = DM->ADOConnection1;
    const auto tables = KindTables(Kind);
    try {
        TAttachedDatabase attached(connection, TransferFile, TransferAlias);
        std::vector<std::unique_ptr<TADOCommand>> copies;
        for (size_t i = 0; i < tables.size(); ++i) {
            auto copy = std::make_unique<TADOCommand>(nullptr);
            copy->SetConnection(connection);
            copy->SetCommandText(CopyRowsByNameSQL(connection, tables[i].Name, TransferAlias, "main",
                                                   DocumentColumn(tables, i) + " = :Key"));
            copies.push_back(std::move(copy));
        }
        for (int i = 0; i < Keys.Count(); ++i) {
            TTransactionGuard transaction(connection);
            for (const auto& copy : copies) {
                copy->Parameters()->ParamByName("Key")->SetValue(Keys.Get(i));
                copy->Execute();
            }
            transaction.Commit();
            frmProgress->Gauge->SetProgress(static_cast<int>(std::lround(i * 100.0 / Keys.Count())));
        }
        copies.clear();
        attached.Detach();
    } catch (const std::exception&) {
        throw Exception(InsertFailed);
    }
}

// The package file the user names, ".ZIP" added when it has no extension;
// empty when the user cancels or keeps an existing file.
std::string ChooseExportPackage() {
    TSaveDialog dialog(nullptr);
    dialog.SetFileName("项目.zip");
    dialog.SetFilter("压缩文件|*.zip");
    if (!dialog.Execute()) return {};
    std::string package = dialog.FileName();
    if (ExtractFileExt(package).empty()) package += ".ZIP";
    if (FileExists(package)) {
        if (!Confirm("是否覆盖本地同名文件", false)) return {};
        // Packing into an existing archive would keep its old entries.
        DeleteFile(package);
    }
    return package;
}

} // namespace

void ExportProjects(const std::string& BaseFolder, const TStrings& Keys, int Kind) {
    if (Keys.Count() == 0) return;
    RunWithProgress("项目导出出错：", [&] {
        const std::string base = AbsoluteFolder(BaseFolder);
        zip::TZipWriter writer(nullptr);
        StartPhase("正在获取项目的附件列表.....");
        for (int i = 0; i < Keys.Count(); ++i) {
            TStringList files;
            ListFiles(base + Keys.Get(i), &files);
            for (int f = 0; f < files.Count(); ++f) {
                const std::string name = ExtractFileName(files.Get(f));
                if (name != TransferFileName && name != TransferLockFileName) writer.FilesList()->Add(files.Get(f));
            }
        }
        frmProgress->Gauge->SetProgress(100);
        const std::string package = ChooseExportPackage();
        if (package.empty()) return;

        const std::string workFolder = base + "temp";
        ForceDirectories(workFolder);
        const std::string transferFile = workFolder + PathDelim + TransferFileName;
        if (FileExists(transferFile)) DeleteFile(transferFile);
        CopyFile(ApplicationFolder() + TransferFileName, transferFile, false);
        StartPhase("正在进行数据导出.....");
        CopyDocumentsToTransferFile(transferFile, Keys, Kind);
        frmProgress->Gauge->SetProgress(100);

        writer.SetZipName(package);
        writer.FilesList()->Add(transferFile);
        writer.SetRecurse(true);
        writer.Zip();
        ShowMsg(nullptr, "项目导出成功", 1);
    });
}

} // namespace SysPublic
