// Transfer packages of the shared database's documents, exported from one
// scratch installation and imported into another: renumbering from the
// receiving counter, attachments following their documents, the failures and
// what survives them, and the progress window and attachments left tidy.
#include "app/SysPublic.h"

#include "app/DataModule.h"
#include "app/Progress.h"
#include "platform/rtl/StringList.h"
#include "tests/app/BuiltProgramFolder.h"
#include "tests/app/ScratchProgramFolder.h"
#include "tests/platform/ui/UiTestSupport.h"
#include "tests/support/FileContents.h"
#include "tests/support/HandMadeZip.h"
#include "tests/support/InstallationSnapshot.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/SqliteFile.h"
#include "tests/support/UndeletableFile.h"
#include "zip/ZipReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct TableCase {
    const char* Name;
    const char* Key;
    const char* Text; // a text column that tells the rows apart
};

struct KindCase {
    int Kind;
    const char* Folder;
    std::vector<TableCase> Tables; // the document table first
};

const KindCase MidTerm{1, "zqjcb/", {{"KORIM_NWZQJCB", "ZQJCBID", "XMMC"}}};
const KindCase AcceptanceApplication{2,
                                     "yssq/",
                                     {{"KORIM_YSSQNB", "NXMLXID", "XMMC"},
                                      {"KORIM_SQJJZBNB", "JJZBID", "ZBMC"},
                                      {"KORIM_SQJSHZBNB", "JSHZBID", "ZBMC"},
                                      {"KORIM_SQJSZBNB", "JSZBID", "ZBMC"},
                                      {"KORIM_SQZYCJDWNB", "DWID", "DWMC"}}};
const KindCase Certificate{3,
                           "yszs/",
                           {{"KORIM_YSZSBNB", "NXMLXID", "XMMC"},
                            {"KORIM_YSJJZBNB", "JJZBID", "ZBMC"},
                            {"KORIM_YSJSHZBNB", "JSHZBID", "ZBMC"},
                            {"KORIM_YSJSZBNB", "JSZBID", "ZBMC"},
                            {"KORIM_YSWYHRYBNB", "RYID", "XM"},
                            {"KORIM_YSXMRYBNB", "RYID", "XM"}}};

// One installation: a scratch program folder, its shared database as DM and
// the progress window.
class Installation {
public:
    Installation() {
        DM = &Data;
        CreateFormInstance(frmProgress, nullptr);
    }
    ~Installation() {
        delete frmProgress;
        frmProgress = nullptr;
        DM = nullptr;
        ProcessMessages();
    }
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;

    std::string Base(const KindCase& Kind) const { return Program.Path() + Kind.Folder; }

    void Exec(const std::string& SQL, const std::vector<Variant>& Values = {}) {
        TADOCommand command(nullptr);
        command.SetConnection(Data.ADOConnection1);
        command.SetCommandText(SQL);
        for (size_t i = 0; i < Values.size(); ++i)
            command.Parameters()->Items(static_cast<Integer>(i))->SetValue(Values[i]);
        command.Execute();
    }
    // Each row's columns joined by '|'.
    std::vector<std::string> Rows(const std::string& SQL) {
        TADOQuery query(nullptr);
        query.SetConnection(Data.ADOConnection1);
        query.SQL()->SetText(SQL);
        query.Open();
        std::vector<std::string> rows;
        for (; !query.Eof(); query.Next()) {
            std::string row;
            for (int i = 0; i < query.FieldCount(); ++i)
                row += (i ? "|" : "") + query.Fields()[i]->AsString();
            rows.push_back(row);
        }
        return rows;
    }
    // Key|document key|text of every row of a table, in key order.
    std::vector<std::string> TableRows(const TableCase& Table) {
        return Rows(std::string("select ") + Table.Key + ", NXMLXID, " + Table.Text + " from " + Table.Name +
                    " order by " + Table.Key);
    }

    // A document with one row in each sub-table, keyed as the document itself.
    void AddDocument(const KindCase& Kind, int Key, const std::string& Text) {
        for (size_t i = 0; i < Kind.Tables.size(); ++i) {
            const TableCase& t = Kind.Tables[i];
            const std::string text = RowText(Text, i);
            if (std::string(t.Key) == "NXMLXID")
                Exec(std::string("insert into ") + t.Name + " (NXMLXID, " + t.Text + ") values (?, ?)", {Key, text});
            else
                Exec(std::string("insert into ") + t.Name + " (" + t.Key + ", NXMLXID, " + t.Text +
                         ") values (?, ?, ?)",
                     {Key, Key, text});
        }
    }
    // Each table holds the rows of the documents (key, text) in this order,
    // keyed as their document.
    void ExpectDocuments(const KindCase& Kind, const std::vector<std::pair<int, std::string>>& Documents) {
        for (size_t i = 0; i < Kind.Tables.size(); ++i) {
            std::vector<std::string> expected;
            for (const auto& [key, text] : Documents)
                expected.push_back(std::to_string(key) + "|" + std::to_string(key) + "|" + RowText(text, i));
            EXPECT_EQ(TableRows(Kind.Tables[i]), expected) << Kind.Tables[i].Name;
        }
    }
    void AddAttachment(const KindCase& Kind, const std::string& Key, const std::string& FileName,
                       const std::string& Contents) {
        WriteFileContents(Base(Kind) + Key + "/" + FileName, Contents);
    }
    // The counter of every table of the kind hands out Next first.
    void SetCounters(const KindCase& Kind, int Next) {
        for (const TableCase& t : Kind.Tables)
            Exec("insert into SYS_MaxID (TableName, CurrentMaxID) values (?, ?)", {t.Name, Next});
    }
    std::vector<std::string> Counters() { return Rows("select TableName, CurrentMaxID from SYS_MaxID order by 1"); }

    // The boxes' texts of an export or import, the file dialog answered with
    // File and the questions with Answers.
    std::vector<std::string> Export(const KindCase& Kind, const std::vector<std::string>& Keys, const std::string& File,
                                    std::deque<int> Answers = {}) {
        TStringList keys;
        for (const std::string& key : Keys)
            keys.Add(key);
        return Answered(File, std::move(Answers), [&] { SysPublic::ExportProjects(Base(Kind), keys, Kind.Kind); });
    }
    std::vector<std::string> Import(const KindCase& Kind, const std::string& File) {
        return Answered(File, {}, [&] { SysPublic::ImportProject(Base(Kind), Kind.Kind); });
    }

    // Closed progress window, nothing attached, no transaction left open.
    void ExpectSettled() {
        EXPECT_FALSE(frmProgress->Visible());
        EXPECT_EQ(Rows("select name from pragma_database_list"), std::vector<std::string>{"main"});
        EXPECT_FALSE(Data.ADOConnection1->InTransaction());
    }

    ScratchProgramFolder Program;
    TDM Data{nullptr};

private:
    // The text of a document's row in the table at Place: its own text in the
    // document table, with "/" and the place in the sub-tables.
    static std::string RowText(const std::string& Text, size_t Place) {
        return Place == 0 ? Text : Text + "/" + std::to_string(Place);
    }

    template <class Action>
    std::vector<std::string> Answered(const std::string& File, std::deque<int> Answers, Action action) {
        uitest::DialogRecorder dialogs;
        // An empty file name cancels the file dialog.
        dialogs.Answers = std::move(Answers);
        dialogs.Answers.push_front(File.empty() ? IDCANCEL : IDOK);
        dialogs.Files = {File};
        action();
        std::vector<std::string> texts;
        for (const TDialogRequest& box : dialogs.Boxes())
            texts.push_back(box.Text);
        return texts;
    }
};

std::vector<std::string> Sorted(std::vector<std::string> Values) {
    std::sort(Values.begin(), Values.end());
    return Values;
}

std::vector<std::string> PackageEntries(const std::string& Package) {
    zip::TZipReader reader(nullptr);
    reader.SetZipName(Package);
    reader.ReadZip();
    std::vector<std::string> names;
    for (int i = 0; i < reader.GetCount(); ++i)
        names.push_back(reader.GetFilename(i));
    return Sorted(names);
}

// Bare name and contents of every file in Folder; "<none>" when it is missing.
std::vector<std::string> FolderFiles(const fs::path& Folder) {
    if (!fs::is_directory(Folder)) return {"<none>"};
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(Folder))
        files.push_back(entry.path().filename().string() + "=" + ReadFileContents(entry.path().string()));
    return Sorted(files);
}

// The sub-folders of Folder.
std::vector<std::string> SubFolders(const fs::path& Folder) {
    std::vector<std::string> names;
    if (fs::is_directory(Folder))
        for (const auto& entry : fs::directory_iterator(Folder))
            if (entry.is_directory()) names.push_back(entry.path().filename().string());
    return Sorted(names);
}

const std::vector<std::string> ExportDone{"项目导出成功"};
const std::vector<std::string> ImportDone{"项目导入成功"};

class DocumentTransferTest : public ::testing::Test {
protected:
    TScratchFolder Packages;
    const std::string Package = Packages / "项目.zip";

    // A package of the kind with documents 1 "甲" and 11 "乙" and their attachments.
    void MakePackage(const KindCase& Kind) {
        Installation sender;
        sender.AddDocument(Kind, 1, "甲");
        sender.AddDocument(Kind, 11, "乙");
        sender.AddDocument(Kind, 5, "not exported");
        sender.AddAttachment(Kind, "1", "1@报告.doc", "one");
        sender.AddAttachment(Kind, "1", "1@it's.txt", "quote");
        sender.AddAttachment(Kind, "11", "11@a@b.txt", "eleven");
        sender.AddAttachment(Kind, "11", "sub/11@报告.doc", "eleven deep");
        // A stray transfer database and its lock never travel as attachments.
        sender.AddAttachment(Kind, "11", "iovoltrane.mdb", "stray");
        sender.AddAttachment(Kind, "11", "iovoltrane.ldb", "stray");
        sender.AddAttachment(Kind, "5", "5@x.txt", "five");
        ASSERT_EQ(sender.Export(Kind, {"1", "11"}, Package), ExportDone);
        sender.ExpectSettled();
    }
};

} // namespace

TEST_F(DocumentTransferTest, RoundTripRenumbersEveryRowFromTheReceivingCounter) {
    for (const KindCase& kind : {MidTerm, AcceptanceApplication, Certificate}) {
        SCOPED_TRACE(kind.Folder);
        MakePackage(kind);
        EXPECT_EQ(PackageEntries(Package),
                  Sorted({"1@报告.doc", "1@it's.txt", "11@a@b.txt", "11@报告.doc", "iovoltrane.mdb"}));

        Installation receiver;
        receiver.SetCounters(kind, 100);
        EXPECT_EQ(receiver.Import(kind, Package), ImportDone);
        receiver.ExpectSettled();
        receiver.ExpectDocuments(kind, {{100, "甲"}, {101, "乙"}});
        for (const std::string& counter : receiver.Counters())
            EXPECT_EQ(counter.substr(counter.find('|')), "|102");
        // A key is matched only before the first "@": 11's files stay with 11.
        EXPECT_EQ(FolderFiles(receiver.Base(kind) + "100"),
                  (std::vector<std::string>{"100@it's.txt=quote", "100@报告.doc=one"}));
        EXPECT_EQ(FolderFiles(receiver.Base(kind) + "101"),
                  (std::vector<std::string>{"101@a@b.txt=eleven", "101@报告.doc=eleven deep"}));
        fs::remove(Package);
    }
}

// Package keys 1, 2 and 3 meet new keys 2, 3 and 4: no row may follow a key
// that another document had in the package. The package's transfer file even
// keeps its keys unique, as a stricter template might.
TEST_F(DocumentTransferTest, KeysThatCollideWithNewKeysKeepEachDocumentsOwnRows) {
    const KindCase& kind = Certificate;
    {
        Installation sender;
        std::string uniqueKeys;
        for (const TableCase& t : kind.Tables)
            uniqueKeys += std::string("create unique index ") + t.Name + "_key on " + t.Name + " (" + t.Key + ");";
        RunSql(sender.Program.Path() + "iovoltrane.mdb", uniqueKeys);
        for (int key : {1, 2, 3}) {
            sender.AddDocument(kind, key, "doc" + std::to_string(key));
            sender.AddAttachment(kind, std::to_string(key),
                                 std::to_string(key) + "@from" + std::to_string(key) + ".txt", std::to_string(key));
        }
        ASSERT_EQ(sender.Export(kind, {"1", "2", "3"}, Package), ExportDone);
    }
    Installation receiver;
    receiver.SetCounters(kind, 2);
    EXPECT_EQ(receiver.Import(kind, Package), ImportDone);
    receiver.ExpectSettled();
    receiver.ExpectDocuments(kind, {{2, "doc1"}, {3, "doc2"}, {4, "doc3"}});
    for (int key : {1, 2, 3})
        EXPECT_EQ(FolderFiles(receiver.Base(kind) + std::to_string(key + 1)),
                  std::vector<std::string>{std::to_string(key + 1) + "@from" + std::to_string(key) +
                                           ".txt=" + std::to_string(key)});
}

TEST_F(DocumentTransferTest, ImportingTwiceAddsTwoSetsOfDocuments) {
    MakePackage(AcceptanceApplication);
    Installation receiver;
    EXPECT_EQ(receiver.Import(AcceptanceApplication, Package), ImportDone);
    EXPECT_EQ(receiver.Import(AcceptanceApplication, Package), ImportDone);
    receiver.ExpectDocuments(AcceptanceApplication, {{1, "甲"}, {2, "乙"}, {3, "甲"}, {4, "乙"}});
    EXPECT_EQ(FolderFiles(receiver.Base(AcceptanceApplication) + "3"),
              (std::vector<std::string>{"3@it's.txt=quote", "3@报告.doc=one"}));
    EXPECT_EQ(SubFolders(receiver.Base(AcceptanceApplication)), (std::vector<std::string>{"1", "2", "3", "4"}));
}

TEST_F(DocumentTransferTest, APackageOfAnotherKindAddsNothingAndSaysSo) {
    MakePackage(AcceptanceApplication);
    Installation receiver;
    const TInstallationSnapshot before(receiver.Program.Path());
    EXPECT_EQ(receiver.Import(MidTerm, Package),
              std::vector<std::string>{"项目导入出错：\r\n压缩包中没有中期检查表，未导入任何数据"});
    receiver.ExpectSettled();
    const TInstallationSnapshot after(receiver.Program.Path());
    EXPECT_TRUE(after == before) << after.ChangesSince(before);
}

// Overwrites the stored CRC-32 of every header of the entry Name.
void CorruptCrc(const std::string& Package, const std::string& Name) {
    std::string bytes = ReadFileContents(Package);
    const struct {
        const char* Signature;
        size_t Crc, NameLength, Name;
    } headers[] = {{"PK\x03\x04", 14, 26, 30}, {"PK\x01\x02", 16, 28, 46}};
    for (const auto& h : headers)
        for (size_t at = bytes.find(h.Signature); at != std::string::npos; at = bytes.find(h.Signature, at + 4)) {
            const size_t length = uint8_t(bytes[at + h.NameLength]) | uint8_t(bytes[at + h.NameLength + 1]) << 8;
            if (bytes.compare(at + h.Name, length, Name) == 0) bytes[at + h.Crc] = char(bytes[at + h.Crc] ^ 0x5A);
        }
    WriteFileContents(Package, bytes);
}

TEST_F(DocumentTransferTest, FailedImportsTellWhyBeforeAnyCounterMoves) {
    MakePackage(AcceptanceApplication);
    const std::string notAZip = Packages / "text.zip";
    WriteFileContents(notAZip, "no archive here");
    const std::string corrupt = Packages / "corrupt.zip";
    fs::copy_file(Package, corrupt);
    CorruptCrc(corrupt, "1@it's.txt");
    const struct {
        std::string File;
        std::vector<std::string> Boxes;
    } cases[] = {
        {"", {}},
        {Packages / "missing.zip", {"项目导入出错：\r\n压缩文件路径不正确，请确保存存在该文件"}},
        {notAZip, {"项目导入出错：\r\n导入压缩包失败，请尝试重新导入"}},
        {corrupt, {"项目导入出错：\r\n导入压缩包失败，请尝试重新导入"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.File);
        Installation receiver;
        EXPECT_EQ(receiver.Import(AcceptanceApplication, c.File), c.Boxes);
        receiver.ExpectSettled();
        EXPECT_TRUE(receiver.Counters().empty());
        EXPECT_TRUE(receiver.Rows("select * from KORIM_YSSQNB").empty());
        EXPECT_TRUE(SubFolders(receiver.Base(AcceptanceApplication)).empty());
    }
}

// The final copy meets a key the receiving database holds already: nothing
// is added, and the counter and the folders are as they were.
TEST_F(DocumentTransferTest, AFailedFinalCopyLeavesTheCounterAndTheFoldersAsTheyWere) {
    MakePackage(AcceptanceApplication);
    Installation receiver;
    receiver.SetCounters(AcceptanceApplication, 100);
    receiver.Exec("insert into KORIM_YSSQNB (NXMLXID, XMMC) values (101, 'here before')");
    const TInstallationSnapshot before(receiver.Program.Path());
    EXPECT_EQ(receiver.Import(AcceptanceApplication, Package),
              std::vector<std::string>{"项目导入出错：\r\n数据导入失败，请尝试再次导入"});
    receiver.ExpectSettled();
    const TInstallationSnapshot after(receiver.Program.Path());
    EXPECT_TRUE(after == before) << after.ChangesSince(before);
}

// A package built byte by byte: the transfer file of the template changed
// by Sql, and the entries.
std::string DocumentPackage(const std::string& Sql, const std::vector<THandMadeEntry>& Entries) {
    return HandMadePackage(BuiltProgramFolder() + "iovoltrane.mdb", Sql, Entries);
}

// Every way a package can be broken or hostile: each is refused with the
// message that names its cause, and nothing of the receiving installation
// changes, its counter included.
TEST_F(DocumentTransferTest, AHostilePackageIsRefusedWithItsCauseAndChangesNothing) {
    const std::string document = "insert into KORIM_YSSQNB (NXMLXID, XMMC) values (1, '甲');";
    const std::string child = "insert into KORIM_SQJJZBNB (JJZBID, NXMLXID, ZBMC) values (1, 1, '甲/1');";
    const THandMadeEntry attachment{"1@报告.doc"};
    const std::string wrongKey = "导入项目的编号不正确，请更换项目文件";
    const std::string wrongStructure = "导入项目的数据库结构不正确,请更换项目文件";
    const std::string damaged = "导入压缩包失败，请尝试重新导入";
    const std::string broken = "压缩文件损坏,无法导入";
    const std::string noDocuments = "压缩包中没有验收申请，未导入任何数据";
    const auto value = [](const char* Column) {
        return std::string("导入项目中 KORIM_YSSQNB 表的 ") + Column + " 字段不正确，请更换项目文件";
    };
    const auto key = [](const std::string& Key) {
        return "insert into KORIM_YSSQNB (NXMLXID, XMMC) values (" + Key + ", '甲');";
    };
    const std::string valid = DocumentPackage(document + child, {attachment});
    std::string flipped = valid;
    flipped[30 + std::string("iovoltrane.mdb").size() + 100] ^= 0x20;
    const struct {
        const char* What;
        std::string Package;
        std::string Message;
    } cases[] = {
        {"a NULL key", DocumentPackage(key("null"), {}), wrongKey},
        {"the key 0", DocumentPackage(key("0"), {}), wrongKey},
        {"a negative key", DocumentPackage(key("-5"), {}), wrongKey},
        {"the key 1.5", DocumentPackage(key("1.5"), {}), value("NXMLXID")},
        {"an empty key", DocumentPackage(key("''"), {}), value("NXMLXID")},
        {"the key ..", DocumentPackage(key("'..'"), {{"..@x.txt"}}), value("NXMLXID")},
        {"the key temp", DocumentPackage(key("'temp'"), {{"temp@x.txt"}}), value("NXMLXID")},
        {"a very long key", DocumentPackage(key("123456789012345678901234567890"), {}), value("NXMLXID")},
        {"a key as a BLOB", DocumentPackage(key("x'31'"), {}), value("NXMLXID")},
        {"one key twice", DocumentPackage(document + document, {attachment}), wrongKey},
        {"a sub-table row of no document",
         DocumentPackage(document + "insert into KORIM_SQJJZBNB (JJZBID, NXMLXID) values (2, 9);", {}), broken},
        {"a sub-table row without its key",
         DocumentPackage(document + "insert into KORIM_SQJJZBNB (JJZBID, NXMLXID) values (null, 1);", {}), wrongKey},
        {"a file of no document", DocumentPackage(document, {attachment, {"7@x.txt"}}), broken},
        {"a name with ../", DocumentPackage(document, {{"../1@x.txt"}}), damaged},
        {"an absolute name", DocumentPackage(document, {{"/tmp/1@x.txt"}}), damaged},
        {"a name of no GBK", DocumentPackage(document, {{"1@\x81\x20.txt"}}), damaged},
        {"two entries of one name", DocumentPackage(document, {attachment, attachment}), damaged},
        {"a truncated zip", valid.substr(0, valid.size() - 30), damaged},
        {"a flipped bit", flipped, damaged},
        {"a zip bomb",
         DocumentPackage(document, {{"1@zero.dat", std::string(1 << 20, '\0'), false, true, uint64_t(1) << 30}}),
         "压缩包解压后过大或文件过多，无法导入"},
        {"a transfer file that is no database", HandMadePackage({}, {}, {{"iovoltrane.mdb", "no database"}}),
         wrongStructure},
        {"a missing table", DocumentPackage(document + "drop table KORIM_SQJSZBNB", {}), wrongStructure},
        {"a missing column", DocumentPackage(document + "alter table KORIM_YSSQNB drop column XMMC", {}),
         wrongStructure},
        {"a recursive view",
         DocumentPackage("drop table KORIM_SQJJZBNB; create view KORIM_SQJJZBNB as with recursive n(JJZBID, NXMLXID) "
                         "as (select 1, 1 union all select JJZBID + 1, 1 from n) select * from n",
                         {}),
         wrongStructure},
        {"a title past its length",
         DocumentPackage(document + "update KORIM_YSSQNB set XMMC = printf('%.*c', 50000, 'a')", {}), value("XMMC")},
        {"a date that is none", DocumentPackage(document + "update KORIM_YSSQNB set SQYSRQ = 'soon'", {}),
         value("SQYSRQ")},
        {"more rows than a package holds",
         DocumentPackage(document + "with recursive n(i) as (select 1 union all select i + 1 from n where i <= 100000) "
                                    "insert into KORIM_SQJJZBNB (JJZBID, NXMLXID) select i, 1 from n",
                         {}),
         "导入项目的记录过多，无法导入"},
        {"an empty package", HandMadeZip({}), noDocuments},
        {"a package of project applications", HandMadePackage({}, {}, {{"iodata.mdb"}}), noDocuments},
        {"a package of another kind", DocumentPackage("insert into KORIM_NWZQJCB (ZQJCBID, NXMLXID) values (1, 1)", {}),
         noDocuments},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        const std::string package = Packages / "hostile.zip";
        WriteFileContents(package, c.Package);
        Installation receiver;
        receiver.SetCounters(AcceptanceApplication, 100);
        const TInstallationSnapshot before(receiver.Program.Path());
        EXPECT_EQ(receiver.Import(AcceptanceApplication, package),
                  std::vector<std::string>{"项目导入出错：\r\n" + c.Message});
        receiver.ExpectSettled();
        const TInstallationSnapshot after(receiver.Program.Path());
        EXPECT_TRUE(after == before) << after.ChangesSince(before);
    }
}

TEST_F(DocumentTransferTest, ExportAsksForTheFileAndKeepsAnExistingOneUnlessTold) {
    const struct {
        const char* Name;
        std::string Chosen; // empty cancels the file dialog
        bool Exists;
        std::deque<int> Answers;
        std::vector<std::string> Boxes;
        std::string Written; // empty: nothing is written
    } cases[] = {
        {"cancelled", "", false, {}, {}, ""},
        {"kept", Packages / "old.zip", true, {IDNO}, {"是否覆盖本地同名文件"}, ""},
        {"replaced", Packages / "old.zip", true, {IDYES}, {"是否覆盖本地同名文件", "项目导出成功"}, "old.zip"},
        {"extension added", Packages / "plain", false, {}, ExportDone, "plain.ZIP"},
        {"extension kept", Packages / "p.dat", false, {}, ExportDone, "p.dat"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Installation sender;
        sender.AddDocument(MidTerm, 7, "七");
        sender.AddAttachment(MidTerm, "7", "7@a.txt", "a");
        if (c.Exists) WriteFileContents(c.Chosen, "old");
        EXPECT_EQ(sender.Export(MidTerm, {"7"}, c.Chosen, c.Answers), c.Boxes);
        sender.ExpectSettled();
        if (c.Written.empty()) {
            if (c.Exists) {
                EXPECT_EQ(ReadFileContents(c.Chosen), "old");
            }
            EXPECT_FALSE(fs::exists(Packages / "plain.ZIP"));
        } else {
            EXPECT_EQ(PackageEntries(Packages / c.Written), Sorted({"7@a.txt", "iovoltrane.mdb"}));
        }
        fs::remove_all(Packages.Path());
        fs::create_directories(Packages.Path());
    }
}

TEST_F(DocumentTransferTest, APackageThatCannotBeReplacedIsToldAndKept) {
    Installation sender;
    sender.AddDocument(MidTerm, 7, "七");
    WriteFileContents(Package, "old");
    const TUndeletableFile held(Package);
    if (!held.Held()) GTEST_SKIP() << "this file system keeps no file from deletion";
    EXPECT_EQ(sender.Export(MidTerm, {"7"}, Package, {IDYES}),
              (std::vector<std::string>{"是否覆盖本地同名文件", "项目导出出错：\r\n文件I/O错误"}));
    sender.ExpectSettled();
    EXPECT_EQ(ReadFileContents(Package), "old");
}

TEST_F(DocumentTransferTest, ExportOfNoKeysShowsNothing) {
    Installation sender;
    uitest::DialogRecorder dialogs;
    SysPublic::ExportProjects(sender.Base(MidTerm), TStringList(), MidTerm.Kind);
    EXPECT_TRUE(dialogs.Requests.empty());
    EXPECT_FALSE(frmProgress->Visible());
}

// Keys are bound, never spliced into the statements: a key holding a quote
// finds no document instead of all of them.
TEST_F(DocumentTransferTest, ExportFindsDocumentsOnlyByTheirExactKeys) {
    Installation sender;
    for (int key : {1, 2, 3})
        sender.AddDocument(AcceptanceApplication, key, "doc" + std::to_string(key));
    ASSERT_EQ(sender.Export(AcceptanceApplication, {"2", "1' or '1'='1", "1 or 1=1"}, Package), ExportDone);
    const std::string transfer = sender.Base(AcceptanceApplication) + "temp/iovoltrane.mdb";
    EXPECT_EQ(QueryText(transfer, "select group_concat(NXMLXID || XMMC) from KORIM_YSSQNB"), "2doc2");
    EXPECT_EQ(QueryText(transfer, "select group_concat(JJZBID || ZBMC) from KORIM_SQJJZBNB"), "2doc2/1");
}

TEST_F(DocumentTransferTest, AFailedExportWritesNoPackage) {
    Installation sender;
    sender.AddDocument(Certificate, 1, "doc");
    RunSql(sender.Program.Path() + "iovoltrane.mdb", "drop table KORIM_YSXMRYBNB");
    EXPECT_EQ(sender.Export(Certificate, {"1"}, Package),
              std::vector<std::string>{"项目导出出错：\r\n在表插入记录时出错"});
    sender.ExpectSettled();
    EXPECT_FALSE(fs::exists(Package));
}
