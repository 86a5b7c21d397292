// The acceptance application window: a new document's defaults, the plan
// category stored as the number of its code, the sub-table editors opened
// only for a current key and filling it into their rows, and the delete
// road with its children and attachment folder.
#include "app/Attachment.h"
#include "documents/SubTableBase.h"
#include "documents/Yssq.h"
#include "platform/rtl/DateTime.h"
#include "platform/ui/Menus.h"
#include "tests/app/WhenModal.h"
#include "tests/documents/DocumentWorld.h"
#include "tests/platform/office/WordTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

class YssqTest : public DocumentWorld, public ::testing::Test {
public:
    // A stored application is current when the window opens.
    YssqTest() {
        Data.ADOConnection1->Execute("insert into KORIM_YSSQNB (NXMLXID, XMBH, XMMC) values (100, 'OLD', '旧项目')");
        Open(frmMain->ActionYssq, frmyssq);
    }

    void FillNew(const std::string& Number, const std::string& Name) {
        Act(Form->DataSetInsert2);
        Form->ADODataSet1->FieldByName("JHLBID")->SetAsInteger(1);
        const std::pair<const char*, std::string> typed[] = {{"edt_XMBH", Number}, {"edt_XMMC", Name},
                                                             {"edt_SQYSDW", "测试单位"}, {"edt_TXDZ", "某路1号"},
                                                             {"edt_LXR", "张三"},        {"edt_DHHM", "12345678"}};
        for (const auto& [name, text] : typed)
            Type(name, text);
    }
    // The sub-table editor of Form that shows modally, if any.
    TfrmBase* ModalEditor() const {
        for (int i = 0; i < Form->ComponentCount(); ++i)
            if (auto* editor = dynamic_cast<TfrmBase*>(Form->Components(i)); editor && editor->Modal()) return editor;
        return nullptr;
    }
    // Presses the sub-table button and, in its editor, adds rows named Names.
    void AddChildRows(const std::string& Button, const std::vector<std::string>& Names) {
        WhenModal adding([this] { return ModalEditor() != nullptr; },
                         [this, Names] {
                             TfrmBase* editor = ModalEditor();
                             for (const std::string& name : Names) {
                                 Act(editor->DataSetInsert2);
                                 auto* edit = editor->Named("edt_ZBMC");
                                 edit->SetFocus();
                                 for (char c : name)
                                     uitest::Type(edit, 0, std::string(1, c));
                                 Act(editor->DataSetPost2);
                             }
                             editor->Close();
                         });
        Named<TButton>(Button)->Click();
        ProcessMessages();
    }
};

TEST_F(YssqTest, NewApplicationHasTodayAndTheCurrentYearAndMonth) {
    Act(Form->DataSetInsert2);
    Word year = 0, month = 0, day = 0;
    DecodeDate(Date(), year, month, day);
    EXPECT_EQ(Form->ADODataSet1->FieldByName("SQYSRQ")->AsDateTime(), Date());
    EXPECT_EQ(Named<TComboBox>("ComboBox2")->Text(), std::to_string(year));
    EXPECT_EQ(Named<TComboBox>("ComboBox3")->Text(), std::to_string(month));
    EXPECT_EQ(Named<TComboBox>("ComboBox5")->Text(), std::to_string(month));
    EXPECT_EQ(Named<TComboBox>("ComboBox1")->ItemIndex(), -1);
    EXPECT_EQ(Field("NXMLXID"), "1");
}

TEST_F(YssqTest, PlanCategoryShowsItsNameAndStoresTheNumberOfItsCode) {
    FillNew("YS-1", "验收项目");
    EXPECT_EQ(Named("lkp_JHLBID")->Text(), "重大科技专项"); // code "01"
    Form->ADODataSet1->FieldByName("JHLBID")->SetAsInteger(10);
    EXPECT_EQ(Named("lkp_JHLBID")->Text(), "基础研究计划");
    Form->ADODataSet1->FieldByName("JHLBID")->SetAsInteger(1);
    Named<TcvCheckEdit>("cvCheckEdit2")->SetChecked(true);
    Act(Form->DataSetPost2);
    ASSERT_EQ(State(), dsBrowse) << ::testing::PrintToString(BoxTexts());
    EXPECT_EQ(Shared("select JHLBID||','||ZGBMSFTY||','||CSSFTY from KORIM_YSSQNB where NXMLXID=1"),
              std::vector<std::string>{"1,0,1"});
}

TEST_F(YssqTest, SubTablesCarryTheDocumentKeyAndTheirOwnCounter) {
    // The row of another document never shows.
    Data.ADOConnection1->Execute("insert into KORIM_SQJSZBNB (JSZBID, NXMLXID, ZBMC) values (50, 1, 'seed')");
    Data.ADOConnection1->Execute("insert into KORIM_SQJSZBNB (JSZBID, NXMLXID, ZBMC) values (60, 100, 'other')");
    // A new document holds its key from the insert on.
    FillNew("YS-1", "验收项目");
    AddChildRows("BitBtn1", {"A", "B"});
    Act(Form->DataSetPost2);
    ASSERT_EQ(State(), dsBrowse) << ::testing::PrintToString(BoxTexts());
    EXPECT_EQ(Shared("select NXMLXID||':'||JSZBID||':'||ZBMC from KORIM_SQJSZBNB order by JSZBID"),
              (std::vector<std::string>{"1:1:A", "1:2:B", "1:50:seed", "100:60:other"}));
}

TEST_F(YssqTest, DeleteRemovesChildrenRowAndFolderButNotOtherDocuments) {
    FillNew("YS-1", "第一项");
    Act(Form->DataSetPost2);
    FillNew("YS-2", "第二项");
    Act(Form->DataSetPost2);
    ASSERT_EQ(Field("NXMLXID"), "2");
    for (const char* table : {"KORIM_SQJJZBNB", "KORIM_SQJSHZBNB", "KORIM_SQJSZBNB"})
        Data.ADOConnection1->Execute(std::string("insert into ") + table +
                                     " (NXMLXID, ZBMC) values (1, 'first'), (2, 'second')");
    Data.ADOConnection1->Execute("insert into KORIM_SQZYCJDWNB (NXMLXID, DWMC) values (1, 'first'), (2, 'second')");
    const std::filesystem::path folder = Program.Folder() / "yssq" / "2";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "2@a.txt") << "x";

    Dialogs.Answers = {IDYES};
    Act(Form->DataSetDelete2);
    EXPECT_EQ(Shared("select NXMLXID from KORIM_YSSQNB order by NXMLXID"), (std::vector<std::string>{"1", "100"}));
    for (const char* table : {"KORIM_SQJJZBNB", "KORIM_SQJSHZBNB", "KORIM_SQJSZBNB", "KORIM_SQZYCJDWNB"})
        EXPECT_EQ(Shared(std::string("select NXMLXID from ") + table), std::vector<std::string>{"1"}) << table;
    EXPECT_FALSE(std::filesystem::exists(folder));
    EXPECT_TRUE(std::filesystem::exists(Program.Folder() / "yssq"));
}

TEST_F(YssqTest, AttachmentsAreImportedOpenedExportedAndDeletedInTheOwnFolder) {
    LaunchRecorder shell;
    // The program folder holds the document folders, as the build lays it out.
    std::filesystem::create_directories(Program.Folder() / "yssq");
    const std::filesystem::path source = Program.Folder() / "验收报告.txt";
    std::ofstream(source) << "report";
    // The current document is the stored one, key 100.
    auto menu = [this] {
        std::string states;
        for (int i = 0; i < Form->DocumentMenu->Count(); ++i)
            states += Form->DocumentMenu->Items(i)->Enabled() ? '1' : '0';
        return states;
    };
    EXPECT_EQ(menu(), "11110100");
    Dialogs.Answers = {IDOK};
    Dialogs.Files = {source.string()};
    Form->DocumentMenu->Items(5)->Click();
    ProcessMessages();
    const std::filesystem::path stored = Program.Folder() / "yssq" / "100" / "100@验收报告.txt";
    EXPECT_TRUE(std::filesystem::exists(stored));
    EXPECT_EQ(menu(), "11111111");

    WhenModal pick(ShowsModally(frmAttachment), [] {
        frmAttachment->CodeComboBox1->SetItemIndex(0);
        frmAttachment->btnOk->Click();
    });
    Form->DocumentMenu->Items(6)->Click();
    ProcessMessages();
    EXPECT_EQ(shell.Launched, std::vector<std::string>{stored.string()});

    const std::string archive = (Program.Folder() / "附件.zip").string();
    Dialogs.Answers = {IDOK};
    Dialogs.Files = {archive};
    Form->DocumentMenu->Items(4)->Click();
    ProcessMessages();
    EXPECT_TRUE(std::filesystem::exists(archive));

    Form->DocumentMenu->Items(7)->Click();
    ProcessMessages();
    EXPECT_FALSE(std::filesystem::exists(stored.parent_path()));
    EXPECT_EQ(menu(), "11110100");
}

TEST_F(YssqTest, AFailingChildDeleteDeletesNothing) {
    Data.ADOConnection1->Execute("insert into KORIM_SQJJZBNB (NXMLXID, ZBMC) values (100, 'kept')");
    // The third child table is gone: its delete fails after the first two ran.
    Data.ADOConnection1->Execute("drop table KORIM_SQJSZBNB");
    const std::filesystem::path folder = Program.Folder() / "yssq" / "100";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "100@a.txt") << "x";
    Dialogs.Answers = {IDYES};
    EXPECT_THROW(Form->DataSetDelete2->Execute(), EDatabaseError);
    EXPECT_EQ(Shared("select NXMLXID from KORIM_YSSQNB"), std::vector<std::string>{"100"});
    EXPECT_EQ(Shared("select ZBMC from KORIM_SQJJZBNB"), std::vector<std::string>{"kept"});
    EXPECT_TRUE(std::filesystem::exists(folder / "100@a.txt"));
    EXPECT_EQ(Field("NXMLXID"), "100");
}

class EmptyYssqTest : public DocumentWorld, public ::testing::Test {
public:
    EmptyYssqTest() { Open(frmMain->ActionYssq, frmyssq); }
};

TEST_F(EmptyYssqTest, AnEmptyListOffersOnlyImportAndNoSubTables) {
    std::string states;
    for (int i = 0; i < Form->DocumentMenu->Count(); ++i)
        states += Form->DocumentMenu->Items(i)->Enabled() ? '1' : '0';
    EXPECT_EQ(states, "00110000");
    Named<TButton>("BitBtn1")->Click();
    ProcessMessages();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"请先新增或保存主表记录"});
}

} // namespace

