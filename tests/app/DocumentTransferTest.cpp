// Transfer packages of the shared database's documents, exported from one
// scratch installation and imported into another: renumbering from the
// receiving counter, attachments following their documents, the failures and
// what survives them, and the progress window and attachments left tidy.
#include "app/SysPublic.h"

#include "app/DataModule.h"
#include "app/Progress.h"
#include "platform/rtl/StringList.h"
#include "tests/app/ScratchProgramFolder.h"
#include "tests/platform/ui/UiTestSupport.h"
#include "tests/support/FileContents.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/SqliteFile.h"
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
    void AddAttachment(const KindCase& Kind, const std::string& Key, const std::string& FileName,
                       const std::string& Contents) {
        WriteFileContents(Base(Kind) + Key + "/" + FileName, Contents);
    }
    // The boxes' texts of an export or import, the file dialog answered with
    // File and the questions with Answers.
    std::vector<std::string> Export(const KindCase& Kind, const std::vector<std::string>& Keys, const std::string& File,
                                    std::deque<int> Answers = {}) {
        TStringList keys;
        for (const std::string& key : Keys)
            keys.Add(key);
        return Answered(File, std::move(Answers), [&] { SysPublic::ExportProjects(Base(Kind), keys, Kind.Kind); });
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

const std::vector<std::string> ExportDone{"项目导出成功"};

class DocumentTransferTest : public ::testing::Test {
protected:
    TScratchFolder Packages;
    const std::string Package = Packages / "项目.zip";
};

} // namespace

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
