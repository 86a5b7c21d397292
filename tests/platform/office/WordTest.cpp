// The word processor as the program drives it: typing at bookmarks of an RTF
// template, saving refused while the word processor holds the file, showing
// through the shell without writing beside the template, and the test for a
// word processor on the desktop.
#include "platform/office/Word.h"
#include "platform/rtl/FileUtils.h"
#include "tests/platform/office/WordTestSupport.h"
#include "tests/support/ScopedEnvironmentVariable.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

const char* const Template = "{\\rtf1\\ansi\\uc1 Name: {\\*\\bkmkstart XMMC}{\\*\\bkmkend XMMC}\\par "
                             "Unit: {\\*\\bkmkstart DWMC}old{\\*\\bkmkend DWMC}\\par}";

class WordTest : public ::testing::Test {
protected:
    TScratchFolder Folder;
    std::string TemplateFile = Folder / "worddot/sheet.doc";
    TWordApplication Word;
    LaunchRecorder Shell;

    void SetUp() override { WriteFileContents(TemplateFile, Template); }

    // Types Text at the bookmark of a fresh document and answers its RTF.
    std::string Typed(const std::string& Bookmark, const std::string& Text) {
        TWordDocument* document = Word.Add(TemplateFile);
        document->SelectBookmark(Bookmark);
        document->TypeText(Text);
        return document->Content();
    }
};

TEST_F(WordTest, TypingEscapesBracesAndBackslashAndWritesOtherCharactersAsUtf16Units) {
    struct TCase {
        const char* Text;
        const char* Rtf;
    } const cases[] = {
        {"a\\b{c}", "a\\\\b\\{c\\}"},
        {"中", "\\u20013?"},
        // Units above 0x7FFF are written signed, as RTF reads them.
        {"项目", "\\u-26503?\\u30446?"},
        {"😀", "\\u-10179?\\u-8704?"},
        {"a\r\nb\nc\rd", "a\\par b\\par c\\par d"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_NE(Typed("XMMC", c.Text).find(std::string("{\\*\\bkmkstart XMMC}") + c.Rtf + "{\\*\\bkmkend XMMC}"),
                  std::string::npos);
    }
}

TEST_F(WordTest, BookmarksAreFoundInAnyCaseAndTypingReplacesTheirContent) {
    TWordDocument* document = Word.Add(TemplateFile);
    EXPECT_TRUE(document->BookmarkExists("dwmc"));
    EXPECT_FALSE(document->BookmarkExists("DWM"));
    EXPECT_THROW(document->SelectBookmark("NONE"), EOfficeError);
    document->SelectBookmark("Dwmc");
    document->TypeText("new");
    document->TypeText("er");
    EXPECT_NE(document->Content().find("{\\*\\bkmkstart DWMC}newer{\\*\\bkmkend DWMC}"), std::string::npos);
    EXPECT_EQ(Word.ActiveDocument(), document);
    EXPECT_EQ(ReadFileContents(TemplateFile), Template);
}

TEST_F(WordTest, SavingIsRefusedWhileTheWordProcessorHoldsTheFileOpen) {
    const std::string target = Folder / "2026120001@科技项目设计书.doc";
    // Each word processor's lock file beside the document.
    for (const std::string lock : {".~lock.2026120001@科技项目设计书.doc#", "~$26120001@科技项目设计书.doc"}) {
        SCOPED_TRACE(lock);
        WriteFileContents(Folder / lock, "lock");
        EXPECT_TRUE(WordProcessorHoldsOpen(target));
        EXPECT_THROW(Word.Add(TemplateFile)->SaveAs(target), EOfficeError);
        EXPECT_FALSE(fs::exists(target));
        fs::remove(Folder / lock);
    }
    TWordDocument* document = Word.Add(TemplateFile);
    document->SaveAs(target);
    EXPECT_EQ(ReadFileContents(target), Template);
    EXPECT_EQ(document->FullName(), target);
}

TEST_F(WordTest, ShowingWritesAnUnsavedSheetToATemporaryFolderAndOpensAFileItself) {
    const std::string userFile = Folder / "任务书.doc";
    WriteFileContents(userFile, "not rtf at all");
    Word.Open(userFile);
    TWordDocument* sheet = Word.Add(TemplateFile);
    sheet->SelectBookmark("XMMC");
    sheet->TypeText("节水");
    Word.SetVisible(true);

    ASSERT_EQ(Shell.Launched.size(), 2u);
    EXPECT_EQ(Shell.Launched[0], userFile);
    const std::string shown = Shell.Launched[1];
    EXPECT_EQ(shown.rfind(GetTempDir(), 0), 0u) << shown;
    EXPECT_EQ(fs::path(shown).filename(), "sheet.doc");
    EXPECT_EQ(ReadFileContents(shown), sheet->Content());
    EXPECT_TRUE(sheet->FullName().empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(Folder / "worddot"), fs::directory_iterator()), 1);
    fs::remove_all(fs::path(shown).parent_path());

    // Shown ones are not shown again; a file held open is not opened twice.
    const std::string held = Folder / "held.doc";
    WriteFileContents(held, "x");
    WriteFileContents(Folder / ".~lock.held.doc#", "lock");
    Word.Open(held);
    Word.SetVisible(true);
    EXPECT_EQ(Shell.Launched.size(), 2u);
}

TEST_F(WordTest, AUserFileOpenedAsItIsIsNeitherReadNorTypedInto) {
    const std::string userFile = Folder / "任务书.doc";
    WriteFileContents(userFile, "{\\rtf1 {\\*\\bkmkstart XMMC}{\\*\\bkmkend XMMC}}");
    TWordDocument* document = Word.Open(userFile);
    EXPECT_FALSE(document->BookmarkExists("XMMC"));
    EXPECT_THROW(document->TypeText("x"), EOfficeError);
    document->SaveAs(userFile);
    document->SaveAs(Folder / "copy.doc");
    EXPECT_EQ(ReadFileContents(Folder / "copy.doc"), ReadFileContents(userFile));
    document->Close();
    EXPECT_EQ(Word.ActiveDocument(), nullptr);
}

TEST(WordProcessorTest, AvailableWhenTheDesktopNamesOneOrAKnownProgramIsOnThePath) {
    struct TCase {
        const char* Program; // placed on an otherwise empty PATH
        const char* Script;
        bool Available;
    } const cases[] = {
        {"", "", false},
        {"lowriter", "exit 0", true},
        {"xdg-mime", "echo writer.desktop", true},
        {"xdg-mime", "exit 0", false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Program) + ": " + c.Script);
        TScratchFolder bin;
        if (*c.Program) {
            WriteFileContents(bin / c.Program, std::string("#!/bin/sh\n") + c.Script + "\n");
            fs::permissions(bin / c.Program, fs::perms::owner_all);
        }
        TScopedEnvironmentVariable path("PATH", bin.Path());
        EXPECT_EQ(TWordApplication::WordProcessorAvailable(), c.Available);
        EXPECT_EQ(TWordApplication::GetOrStart() != nullptr, c.Available);
    }
}

// Without a desktop entry for its type, a document is shown by the word
// processor on the PATH, and nothing shown is an error.
TEST(WordProcessorTest, ADocumentTheDesktopNamesNoProgramForOpensInTheWordProcessor) {
    TScratchFolder folder;
    const std::string document = folder / "任务书.doc";
    WriteFileContents(document, "x");
    for (const int exitCode : {0, 1}) {
        SCOPED_TRACE(exitCode);
        TScratchFolder bin;
        for (const char* program : {"xdg-mime", "xdg-open"}) {
            WriteFileContents(bin / program, "#!/bin/sh\nexit 0\n");
            fs::permissions(bin / program, fs::perms::owner_all);
        }
        WriteFileContents(bin / "lowriter",
                          "#!/bin/sh\necho \"$1\" > \"${0%/*}/shown\"\nexit " + std::to_string(exitCode) + "\n");
        fs::permissions(bin / "lowriter", fs::perms::owner_all);
        TScopedEnvironmentVariable path("PATH", bin.Path());
        TWordApplication word;
        word.Open(document);
        if (exitCode == 0) {
            word.SetVisible(true);
            EXPECT_EQ(ReadFileContents(bin / "shown"), document + "\n");
        } else {
            EXPECT_THROW(word.SetVisible(true), EOfficeError);
        }
    }
}

TEST_F(WordTest, TheWordProcessorReadsTheTypedText) {
    TWordDocument* document = Word.Add(TemplateFile);
    document->SelectBookmark("XMMC");
    document->TypeText("节水{灌溉}\\技术 😀\n第二段");
    document->SaveAs(Folder / "filled.doc");
    const auto text = TextAsTheWordProcessorReadsIt(Folder / "filled.doc");
    if (!text) GTEST_SKIP() << "soffice is missing";
    EXPECT_NE(text->find("Name: 节水{灌溉}\\技术 😀\n第二段"), std::string::npos) << *text;
    EXPECT_NE(text->find("Unit: old"), std::string::npos) << *text;
}

} // namespace
