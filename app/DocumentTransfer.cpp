// Transfer packages of the shared database's documents: a zip of a filled copy
// of the empty transfer database and the documents' attachment files. The
// transfer file is attached to the shared connection by its absolute path, so
// no statement depends on the current folder, and every value is bound.
#include "app/SysPublic.h"

#include "app/ApplicationFolder.h"
#include "app/DataModule.h"
#include "app/DatabaseCopy.h"
#include "app/ImportStaging.h"
#include "app/ImportedTables.h"
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
#include <set>
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
        if (!DeleteFile(package)) throw Exception(FileFailureText);
    }
    return package;
}

// ---- import ----

// What the package's documents are called in the messages, by kind.
std::string DocumentsName(int Kind) {
    switch (Kind) {
    case 1:
        return "中期检查表";
    case 2:
        return "验收申请";
    case 3:
        return "验收证书";
    default:
        return "此类项目";
    }
}

// A row of the package and what it becomes in the shared database.
struct TRenumberedRow {
    Variant RowId;       // its place in the transfer file
    Integer NewKey;      // its own key
    Integer DocumentKey; // its document's new key
};

struct TImportedDocument {
    Variant RowId;
    Integer PackageKey;
    Integer NewKey = 0;
};

// The rows of one kind in a package, checked whole: each table as this
// program writes it, the documents under keys of their own, every sub-table
// row under one of them.
struct TPackageRows {
    std::vector<TImportedDocument> Documents;
    // Per sub-table, in copy order: the places of its rows by package document key.
    std::vector<std::map<Integer, std::vector<Variant>>> Children;
};

TPackageRows ReadPackageRows(TADOConnection* Connection, std::span<const TTransferTable> Tables) {
    for (const TTransferTable& table : Tables)
        CheckImportedTable(Connection, TransferAlias, table.Name);
    TPackageRows rows;
    std::set<Integer> keys;
    TADOQuery query(nullptr);
    query.SetConnection(Connection);
    query.SQL()->SetText(std::string("select rowid, ") + Tables[0].Key + " from " + TransferAlias + "." +
                         Tables[0].Name + " order by rowid");
    for (query.Open(); !query.Eof(); query.Next()) {
        TField* key = query.Fields()[1];
        if (key->IsNull() || key->AsInteger() <= 0 || !keys.insert(key->AsInteger()).second)
            throw EImportRefused(WrongKeyText);
        rows.Documents.push_back({query.Fields()[0]->Value(), key->AsInteger()});
    }
    for (size_t i = 1; i < Tables.size(); ++i) {
        auto& children = rows.Children.emplace_back();
        query.Close();
        query.SQL()->SetText(std::string("select rowid, ") + DocumentKeyColumn + ", " + Tables[i].Key + " from " +
                             TransferAlias + "." + Tables[i].Name + " order by rowid");
        for (query.Open(); !query.Eof(); query.Next()) {
            TField* document = query.Fields()[1];
            if (document->IsNull() || query.Fields()[2]->IsNull()) throw EImportRefused(WrongKeyText);
            // A row of no document in the package would be lost on the way.
            if (!keys.count(document->AsInteger())) throw EImportRefused(BrokenPackageText);
            children[document->AsInteger()].push_back(query.Fields()[0]->Value());
        }
    }
    return rows;
}

// Gives every row its new key from the receiving counter before anything is
// copied, so a new key that equals a package key still to come can never
// pull a row under the wrong document. Rows are known by their place in the
// file, not by their keys. Runs inside the import's transaction: a failed
// import gives the keys back.
std::vector<std::vector<TRenumberedRow>> PlanRenumbering(TPackageRows& Package,
                                                         std::span<const TTransferTable> Tables) {
    std::vector<std::vector<TRenumberedRow>> plan(Tables.size());
    for (TImportedDocument& document : Package.Documents) {
        document.NewKey = DM->GetMaxID(Tables[0].Name);
        plan[0].push_back({document.RowId, document.NewKey, document.NewKey});
        for (size_t i = 1; i < Tables.size(); ++i)
            for (const Variant& row : Package.Children[i - 1][document.PackageKey])
                plan[i].push_back({row, DM->GetMaxID(Tables[i].Name), document.NewKey});
    }
    return plan;
}

// Stages each document's attachment folder: the unpacked files named after
// its package key, renamed to its new key.
void StageAttachments(TImportStaging& Staging, const std::string& BaseFolder, const TPackageRows& Package) {
    for (const TImportedDocument& document : Package.Documents) {
        const std::string packageKey = IntToStr(document.PackageKey);
        const std::string newKey = IntToStr(document.NewKey);
        const std::string folder = Staging.StageFolder(BaseFolder + newKey);
        // The key ends at the first "@"; the file's own name may hold more.
        for (const std::string& entry : Staging.EntriesOf(packageKey))
            Staging.MoveEntry(entry, folder, newKey + entry.substr(packageKey.size()));
    }
    if (!Staging.EveryEntryMovedBut(TransferFileName)) throw EImportRefused(BrokenPackageText);
}

// Copies the planned rows under their new keys into the shared database;
// every row must arrive.
void CopyIntoSharedDatabase(TADOConnection* Connection, std::span<const TTransferTable> Tables,
                            const std::vector<std::vector<TRenumberedRow>>& Plan) {
    for (size_t i = 0; i < Tables.size(); ++i) {
        std::map<std::string, std::string> values{{DocumentKeyColumn, ":DocumentKey"}};
        if (KeyedApartFromDocument(Tables[i])) values[Tables[i].Key] = ":NewKey";
        TADOCommand copy(nullptr);
        copy.SetConnection(Connection);
        copy.SetCommandText(
            CopyRowsByNameSQL(Connection, Tables[i].Name, "main", TransferAlias, "rowid = :RowId", values));
        TParameters* parameters = copy.Parameters();
        for (const TRenumberedRow& row : Plan[i]) {
            parameters->ParamByName("RowId")->SetValue(row.RowId);
            parameters->ParamByName("DocumentKey")->SetValue(row.DocumentKey);
            if (KeyedApartFromDocument(Tables[i])) parameters->ParamByName("NewKey")->SetValue(row.NewKey);
            if (copy.Execute() != 1) throw EImportRefused(BrokenPackageText);
        }
    }
}

// Checks the package whole, then adds its documents of Kind under new keys
// in one transaction of the shared connection, their folders placed inside
// it; raises EImportRefused, or what failed, having changed nothing.
void ImportPackage(const std::string& BaseFolder, const std::string& Package, int Kind) {
    StartPhase("正在解压缩文件.....");
    TImportStaging staging(BaseFolder);
    staging.Unpack(Package);
    frmProgress->Gauge->SetProgress(100);

    const auto tables = KindTables(Kind);
    const std::string transferFile = staging.EntryFile(TransferFileName);
    if (tables.empty() || transferFile.empty()) throw EImportRefused(NoDocumentsText(DocumentsName(Kind)));
    TADOConnection* connection = DM->ADOConnection1;
    const auto attached = AttachImportedFile(connection, transferFile, TransferAlias, WrongStructureText);
    StartPhase("正在重新整理压缩包中的文件.....");
    TPackageRows rows = ReadPackageRows(connection, tables);
    if (rows.Documents.empty()) throw EImportRefused(NoDocumentsText(DocumentsName(Kind)));
    TTransactionGuard transaction(connection);
    const auto plan = PlanRenumbering(rows, tables);
    StageAttachments(staging, BaseFolder, rows);
    frmProgress->Gauge->SetProgress(100);
    StartPhase("正在导入数据.....");
    CopyIntoSharedDatabase(connection, tables, plan);
    staging.Place();
    transaction.Commit();
    staging.Keep();
    frmProgress->Gauge->SetProgress(100);
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
        const std::string transferFile = workFolder + PathDelim + TransferFileName;
        if (!ForceDirectories(workFolder) || (FileExists(transferFile) && !DeleteFile(transferFile)) ||
            !CopyFile(ApplicationFolder() + TransferFileName, transferFile, true))
            throw Exception(FileFailureText);
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
        try {
            ImportPackage(base, package, Kind);
        } catch (const EImportRefused&) {
            throw;
        } catch (const std::exception&) {
            // A database's or the file system's own message is for no user.
            throw EImportRefused(ImportFailedText);
        }
        ShowMsg(nullptr, "项目导入成功", 1);
    });
}

} // namespace SysPublic
