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
#include <map>
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

// False for the document tables keyed by NXMLXID itself.
bool KeyedApartFromDocument(const TTransferTable& Table) {
    return Table.Key != std::string(DocumentKeyColumn);
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

// ---- export ----

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

// ---- import ----

// A row of the package and what it becomes in the shared database.
struct TRenumberedRow {
    Variant RowId;       // its place in the transfer file
    Integer NewKey;      // its own key
    Integer DocumentKey; // its document's new key
};

struct TImportedDocument {
    Integer PackageKey;
    Integer NewKey;
};

struct TImportPlan {
    std::vector<TImportedDocument> Documents;
    // Per table of the kind, in copy order.
    std::vector<std::vector<TRenumberedRow>> Rows;
};

// Gives every row of the package its new key from the receiving counter
// before anything is written, so a new key that equals a package key still
// to come can never pull a row under the wrong document. Rows are known by
// their place in the file, not by their keys; sub-table rows of no document
// in the package are left out.
TImportPlan PlanRenumbering(TADOConnection* Transfer, int Kind) {
    const auto tables = KindTables(Kind);
    TImportPlan plan;
    plan.Rows.resize(tables.size());
    if (tables.empty()) return plan;
    TADOQuery mainQuery(nullptr);
    mainQuery.SetConnection(Transfer);
    mainQuery.SQL()->SetText(std::string("select rowid, ") + tables[0].Key + " from " + tables[0].Name +
                             " order by rowid");
    TADOQuery childQuery(nullptr);
    childQuery.SetConnection(Transfer);
    for (mainQuery.Open(); !mainQuery.Eof(); mainQuery.Next()) {
        const Integer packageKey = mainQuery.Fields()[1]->AsInteger();
        const Integer newKey = DM->GetMaxID(tables[0].Name);
        plan.Documents.push_back({packageKey, newKey});
        plan.Rows[0].push_back({mainQuery.Fields()[0]->Value(), newKey, newKey});
        for (size_t i = 1; i < tables.size(); ++i) {
            childQuery.Close();
            childQuery.SQL()->SetText(std::string("select rowid from ") + tables[i].Name + " where " +
                                      DocumentKeyColumn + " = :PackageKey order by rowid");
            childQuery.Parameters()->ParamByName("PackageKey")->SetValue(packageKey);
            for (childQuery.Open(); !childQuery.Eof(); childQuery.Next())
                plan.Rows[i].push_back({childQuery.Fields()[0]->Value(), DM->GetMaxID(tables[i].Name), newKey});
        }
    }
    return plan;
}

// Makes each document's attachment folder afresh and copies into it the
// unpacked files named after its package key, renamed to its new key.
void PlaceAttachments(const std::string& BaseFolder, const std::string& UnzipFolder, const TImportPlan& Plan) {
    TStringList unpacked;
    ListFiles(UnzipFolder, &unpacked);
    for (const TImportedDocument& document : Plan.Documents) {
        const std::string newKey = IntToStr(document.NewKey);
        const std::string folder = BaseFolder + newKey + PathDelim;
        if (DirectoryExists(folder)) DeleteFolder(folder);
        ForceDirectories(folder);
        // The key ends at the first "@"; the file's own name may hold more.
        const std::string prefix = IntToStr(document.PackageKey) + "@";
        for (int i = 0; i < unpacked.Count(); ++i) {
            const std::string name = ExtractFileName(unpacked.Get(i));
            if (name.compare(0, prefix.size(), prefix) != 0) continue;
            CopyFile(unpacked.Get(i), folder + newKey + "@" + name.substr(prefix.size()), false);
        }
    }
}

// Copies the planned rows under their new keys into the shared database in
// one transaction; the database's message passes on when it fails.
void CopyIntoSharedDatabase(const std::string& TransferFile, int Kind, const TImportPlan& Plan) {
    TADOConnection* connection = DM->ADOConnection1;
    const auto tables = KindTables(Kind);
    TAttachedDatabase attached(connection, TransferFile, TransferAlias);
    std::vector<std::unique_ptr<TADOCommand>> copies;
    for (const TTransferTable& table : tables) {
        std::map<std::string, std::string> values{{DocumentKeyColumn, ":DocumentKey"}};
        if (KeyedApartFromDocument(table)) values[table.Key] = ":NewKey";
        auto copy = std::make_unique<TADOCommand>(nullptr);
        copy->SetConnection(connection);
        copy->SetCommandText(
            CopyRowsByNameSQL(connection, table.Name, "main", TransferAlias, "rowid = :RowId", values));
        copies.push_back(std::move(copy));
    }
    {
        TTransactionGuard transaction(connection);
        for (size_t i = 0; i < tables.size(); ++i) {
            TParameters* parameters = copies[i]->Parameters();
            for (const TRenumberedRow& row : Plan.Rows[i]) {
                parameters->ParamByName("RowId")->SetValue(row.RowId);
                parameters->ParamByName("DocumentKey")->SetValue(row.DocumentKey);
                if (KeyedApartFromDocument(tables[i])) parameters->ParamByName("NewKey")->SetValue(row.NewKey);
                copies[i]->Execute();
            }
        }
        transaction.Commit();
    }
    copies.clear();
    attached.Detach();
}

} // namespace

void UnpackPackage(const std::string& Package, const std::string& Folder) {
    try {
        zip::TZipReader reader(nullptr);
        reader.SetZipName(Package);
        reader.SetDestDir(Folder);
        reader.ReadZip();
        reader.SetDoAll(false);
        for (int i = 0; i < reader.GetCount(); ++i) {
            reader.FilesList()->Clear();
            reader.FilesList()->Add(reader.GetFilename(i));
            // A bad CRC or an unknown method leaves the entry out without raising.
            if (reader.UnZip() < 1) throw Exception("entry not extracted");
        }
    } catch (const std::exception&) {
        throw Exception("导入压缩包失败，请尝试重新导入");
    }
}

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

void ImportProject(const std::string& BaseFolder, int Kind) {
    RunWithProgress("项目导入出错：", [&] {
        const std::string base = AbsoluteFolder(BaseFolder);
        TOpenDialog dialog(nullptr);
        dialog.SetFilter("压缩文件|*.zip");
        if (!dialog.Execute()) return;
        const std::string package = dialog.FileName();
        if (!FileExists(package)) throw Exception("压缩文件路径不正确，请确保存存在该文件");

        const std::string unzipFolder = base + "unzip";
        if (DirectoryExists(unzipFolder)) DeleteFolder(unzipFolder);
        ForceDirectories(unzipFolder);
        StartPhase("正在解压缩文件.....");
        UnpackPackage(package, unzipFolder);
        frmProgress->Gauge->SetProgress(100);

        const std::string transferFile = unzipFolder + PathDelim + TransferFileName;
        TImportPlan plan;
        {
            TADOConnection transfer(nullptr);
            transfer.SetConnectionString(DatabaseConnectionString(transferFile));
            transfer.SetLoginPrompt(false);
            try {
                transfer.Open();
            } catch (const std::exception&) {
                throw Exception("导入项目的数据库结构不正确,请更换项目文件");
            }
            StartPhase("正在重新整理压缩包中的文件.....");
            plan = PlanRenumbering(&transfer, Kind);
        }
        PlaceAttachments(base, unzipFolder, plan);
        frmProgress->Gauge->SetProgress(100);

        StartPhase("正在导入数据.....");
        CopyIntoSharedDatabase(transferFile, Kind, plan);
        frmProgress->Gauge->SetProgress(100);
        ShowMsg(nullptr, "项目导入成功", 1);
    });
}

} // namespace SysPublic
