// Ini files: exact section names with backslashes, lookup without case,
// kept order and comments, and the atomic rewrite.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/rtl/FileUtils.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "tests/support/ScratchFolder.h"

namespace {

void WriteFile(const std::string& Name, const std::string& Text) {
    TFileStream stream(Name, fmCreate);
    stream.WriteBuffer(Text.data(), Integer(Text.size()));
}

std::string ReadFile(const std::string& Name) {
    TFileStream stream(Name, fmOpenRead);
    std::string text(size_t(stream.Size()), '\0');
    stream.ReadBuffer(text.data(), Integer(text.size()));
    return text;
}

std::vector<std::string> Lines(TStrings& List) {
    std::vector<std::string> r;
    for (int i = 0; i < List.Count(); ++i)
        r.push_back(List.Get(i));
    return r;
}

std::vector<std::string> FolderEntries(const std::string& Folder) {
    std::vector<std::string> r;
    TSearchRec rec;
    for (int found = FindFirst(Folder + "*", faAnyFile & ~faDirectory, rec); found == 0; found = FindNext(rec))
        r.push_back(rec.Name);
    FindClose(rec);
    return r;
}

TEST(IniFilesTest, SectionNamesAreTakenExactlyBackslashesIncluded) {
    TScratchFolder folder;
    const std::string name = folder / "settings.ini";
    WriteFile(name, "; kept comment\r\n"
                    "[\\Software\\Corvanta\\Grid]\r\n"
                    "Width = 120 \r\n"
                    "Caption=\xE5\x90\x8D\xE7\xA7\xB0\r\n"
                    "\r\n"
                    "[Software\\Corvanta]\n"
                    "Width=80\n");
    TMemIniFile ini(name);
    EXPECT_EQ(ini.ReadInteger("\\Software\\Corvanta\\Grid", "width", 0), 120) << "keys without case, value trimmed";
    EXPECT_EQ(ini.ReadString("\\SOFTWARE\\corvanta\\grid", "Caption", ""), "\xE5\x90\x8D\xE7\xA7\xB0");
    EXPECT_EQ(ini.ReadInteger("Software\\Corvanta", "Width", 0), 80) << "no leading backslash: another section";
    EXPECT_EQ(ini.ReadInteger("Software\\Corvanta\\Grid", "Width", -1), -1);
    TStringList sections;
    ini.ReadSections(&sections);
    EXPECT_EQ(Lines(sections), (std::vector<std::string>{"\\Software\\Corvanta\\Grid", "Software\\Corvanta"}));
    EXPECT_TRUE(ini.SectionExists("software\\corvanta"));
    EXPECT_FALSE(ini.SectionExists("\\Software"));
    EXPECT_TRUE(ini.ValueExists("\\Software\\Corvanta\\Grid", "CAPTION"));
    EXPECT_FALSE(ini.ValueExists("\\Software\\Corvanta\\Grid", "Height"));
}

TEST(IniFilesTest, WritesKeepOrderAndCommentsAndReadBack) {
    TScratchFolder folder;
    const std::string name = folder / "a.ini";
    WriteFile(name, "; top\r\n[One]\r\nb=2\r\n; inside\r\na=1\r\n\r\n[Two]\r\nx=9\r\n");
    {
        TMemIniFile ini(name);
        ini.WriteString("one", "B", "two");
        ini.WriteInteger("One", "c", 3);
        ini.WriteBool("\\New\\Section", "On", true);
        ini.DeleteKey("Two", "X");
        ini.UpdateFile();
    }
    EXPECT_EQ(ReadFile(name), "; top\r\n[One]\r\nb=two\r\n; inside\r\na=1\r\nc=3\r\n\r\n[Two]\r\n\r\n"
                              "[\\New\\Section]\r\nOn=1\r\n");
    TMemIniFile ini(name);
    TStringList values;
    ini.ReadSectionValues("ONE", &values);
    EXPECT_EQ(Lines(values), (std::vector<std::string>{"b=two", "a=1", "c=3"}));
    TStringList keys;
    ini.ReadSection("One", &keys);
    EXPECT_EQ(Lines(keys), (std::vector<std::string>{"b", "a", "c"}));
    EXPECT_TRUE(ini.ReadBool("\\new\\section", "on", false));
    EXPECT_EQ(ini.ReadInteger("One", "b", 7), 7) << "not a number: the default";
    ini.EraseSection("one");
    TStringList sections;
    ini.ReadSections(&sections);
    EXPECT_EQ(Lines(sections), (std::vector<std::string>{"Two", "\\New\\Section"}));
}

TEST(IniFilesTest, ReadIntegerAcceptsHexAfter0x) {
    TScratchFolder folder;
    WriteFile(folder / "h.ini", "[S]\nColor=0x00FF00\nBad=0xZZ\n");
    TMemIniFile ini(folder / "h.ini");
    EXPECT_EQ(ini.ReadInteger("S", "Color", 0), 0xFF00);
    EXPECT_EQ(ini.ReadInteger("S", "Bad", -1), -1);
}

TEST(IniFilesTest, UpdateFileReplacesTheFileAtomically) {
    TScratchFolder folder;
    const std::string name = folder / "atomic.ini";
    WriteFile(name, "[S]\nk=old\n");
    ::chmod(name.c_str(), 0640);
    // A reader that opened the file before the update keeps the whole old text.
    TFileStream reader(name, fmOpenRead);
    struct stat before;
    ::stat(name.c_str(), &before);

    TMemIniFile ini(name);
    ini.WriteString("S", "k", "new");
    ini.UpdateFile();

    struct stat after;
    ::stat(name.c_str(), &after);
    EXPECT_NE(before.st_ino, after.st_ino) << "a new file was renamed into place";
    EXPECT_EQ(after.st_mode & 0777, 0640u) << "the mode is kept";
    char old[16] = {};
    reader.ReadBuffer(old, 10);
    EXPECT_STREQ(old, "[S]\nk=old\n");
    EXPECT_EQ(ReadFile(name), "[S]\r\nk=new\r\n");
    EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"atomic.ini"})) << "no temporary file left";
}

TEST(IniFilesTest, AFailedUpdateLeavesNothingAndRaises) {
    TScratchFolder folder;
    TMemIniFile ini(folder / "missing-folder/x.ini");
    EXPECT_EQ(ini.ReadString("S", "k", "default"), "default") << "a missing file reads as empty";
    ini.WriteString("S", "k", "v");
    EXPECT_THROW(ini.UpdateFile(), EFCreateError);
}

TEST(IniFilesTest, IniFileWritesAtOnceAndSeesOtherWriters) {
    TScratchFolder folder;
    const std::string name = folder / "live.ini";
    TIniFile first(name);
    TIniFile second(name);
    first.WriteString("S", "k", "1");
    EXPECT_EQ(ReadFile(name), "[S]\r\nk=1\r\n") << "written at once";
    EXPECT_EQ(second.ReadString("S", "k", ""), "1");
    second.WriteString("S", "j", "2");
    first.WriteString("S", "k", "3");
    EXPECT_EQ(ReadFile(name), "[S]\r\nk=3\r\nj=2\r\n") << "first saw second's key before writing";
    second.EraseSection("S");
    EXPECT_FALSE(first.SectionExists("S"));
}

} // namespace
