// Files and folders: name helpers, copying and renaming under the original
// platform's rules, FindFirst's attributes, the current-folder guard and
// temporary files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <set>

#include "platform/rtl/FileUtils.h"
#include "tests/support/FileContents.h"
#include "tests/support/ScratchFolder.h"

namespace {

TEST(FileUtilsTest, NameHelpers) {
    const struct {
        const char* Name;
        const char* Path;
        const char* Dir;
        const char* File;
        const char* Ext;
    } cases[] = {
        {"/a/b/c.txt", "/a/b/", "/a/b", "c.txt", ".txt"},
        {"c.tar.gz", "", "", "c.tar.gz", ".gz"},
        {"/a.b/c", "/a.b/", "/a.b", "c", ""},
        {"/x", "/", "/", "x", ""},
        {"dir/", "dir/", "dir", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExtractFilePath(c.Name), c.Path) << c.Name;
        EXPECT_EQ(ExtractFileDir(c.Name), c.Dir) << c.Name;
        EXPECT_EQ(ExtractFileName(c.Name), c.File) << c.Name;
        EXPECT_EQ(ExtractFileExt(c.Name), c.Ext) << c.Name;
    }
    EXPECT_EQ(ChangeFileExt("/a/b.mdb", ".bak"), "/a/b.bak");
    EXPECT_EQ(ChangeFileExt("/a.d/b", ".txt"), "/a.d/b.txt");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/a/"), "/a");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
    EXPECT_EQ(ExpandFileName("/a/./b/../c"), "/a/c");
    EXPECT_EQ(ExpandFileName("/a/b/"), "/a/b/");
    {
        TCurrentDirScope here("/tmp");
        EXPECT_EQ(ExpandFileName("x/../y.txt"), "/tmp/y.txt");
    }
}

TEST(FileUtilsTest, FoldersAreCreatedRemovedAndTold) {
    TScratchFolder folder;
    const std::string deep = folder / "a/b/c";
    EXPECT_FALSE(CreateDir(deep)) << "CreateDir makes one level only";
    EXPECT_TRUE(ForceDirectories(deep + "/"));
    EXPECT_TRUE(DirectoryExists(deep));
    EXPECT_FALSE(FileExists(deep)) << "a folder is not a file";
    EXPECT_TRUE(ForceDirectories(deep)) << "already there";
    WriteFileContents(deep + "/f", "x");
    EXPECT_FALSE(RemoveDir(deep)) << "not empty";
    EXPECT_FALSE(DeleteFile(deep)) << "DeleteFile leaves folders alone";
    EXPECT_TRUE(DeleteFile(deep + "/f"));
    EXPECT_TRUE(RemoveDir(deep));
    EXPECT_FALSE(DirectoryExists(deep));
}

TEST(FileUtilsTest, CopyAndRenameFollowTheOriginalRules) {
    TScratchFolder folder;
    const std::string a = folder / "a.txt", b = folder / "b.txt";
    WriteFileContents(a, "first");
    const TDateTime stamp = EncodeDate(2020, 5, 6) + EncodeTime(7, 8, 10, 0);
    ASSERT_TRUE(FileSetDate(a, stamp));
    EXPECT_TRUE(CopyFile(a, b, true));
    EXPECT_EQ(ReadFileContents(b), "first");
    TDateTime copied = 0;
    ASSERT_TRUE(FileAge(b, copied));
    EXPECT_NEAR(copied, stamp, 1.0 / MSecsPerDay) << "the copy keeps the modification time";
    WriteFileContents(a, "second");
    EXPECT_FALSE(CopyFile(a, b, true)) << "FailIfExists";
    EXPECT_EQ(ReadFileContents(b), "first");
    EXPECT_TRUE(CopyFile(a, b, false));
    EXPECT_EQ(ReadFileContents(b), "second");
    EXPECT_FALSE(CopyFile(folder / "none", b, false));

    EXPECT_FALSE(RenameFile(a, b)) << "renaming onto an existing file fails";
    EXPECT_TRUE(FileExists(a));
    EXPECT_TRUE(RenameFile(a, folder / "c.txt"));
    EXPECT_FALSE(FileExists(a));
}

// A file copied or renamed onto itself, under its own name or another link
// to it, and a copy whose reading fails: each is refused and every file
// keeps its bytes.
TEST(FileUtilsTest, CopyAndRenameOntoTheSameFileOrAFailedReadKeepTheFiles) {
    TScratchFolder folder;
    const std::string f = folder / "f.txt", link = folder / "link.txt", target = folder / "target.txt";
    WriteFileContents(f, "kept");
    ASSERT_EQ(::link(f.c_str(), link.c_str()), 0);
    WriteFileContents(target, "old");
    EXPECT_FALSE(CopyFile(f, f, false));
    EXPECT_FALSE(CopyFile(f, link, false));
    EXPECT_FALSE(CopyFile(f, folder / "./f.txt", false));
    EXPECT_FALSE(RenameFile(f, link));
    // Reading this file fails at once: its first page is not mapped.
    EXPECT_FALSE(CopyFile("/proc/self/mem", target, false));
    EXPECT_EQ(ReadFileContents(f), "kept");
    EXPECT_EQ(ReadFileContents(link), "kept");
    EXPECT_EQ(ReadFileContents(target), "old");
    EXPECT_EQ(std::set<std::string>({"f.txt", "link.txt", "target.txt"}), [&] {
        std::set<std::string> names;
        TSearchRec rec;
        for (int r = FindFirst(folder / "*", faAnyFile, rec); r == 0; r = FindNext(rec))
            if (rec.Name != "." && rec.Name != "..") names.insert(rec.Name);
        return names;
    }()) << "no stray copy is left behind";
}

TEST(FileUtilsTest, PackedDosDatesRoundTripToTwoSeconds) {
    const TDateTime v = EncodeDate(2024, 12, 31) + EncodeTime(23, 59, 59, 0);
    const Integer packed = DateTimeToFileDate(v);
    EXPECT_EQ(uint32_t(packed), (uint32_t(44) << 25 | 12u << 21 | 31u << 16 | 23u << 11 | 59u << 5 | 29u));
    EXPECT_DOUBLE_EQ(FileDateToDateTime(packed), EncodeDate(2024, 12, 31) + EncodeTime(23, 59, 58, 0));
    EXPECT_EQ(DateTimeToFileDate(EncodeDate(1979, 12, 31)), 0) << "before the DOS epoch";
    EXPECT_EQ(FileDateToDateTime(0), 0) << "month 0 is no date";
}

TEST(FileUtilsTest, FindFirstReportsFoldersWithAttribute16) {
    TScratchFolder folder;
    CreateDir(folder / "Sub");
    WriteFileContents(folder / "b.TXT", "12345");
    WriteFileContents(folder / "a.txt", "1");
    WriteFileContents(folder / ".hidden", "");
    WriteFileContents(folder / "noext", "");

    auto find = [&](const std::string& Pattern, Integer Attr) {
        std::vector<std::pair<std::string, Integer>> found;
        TSearchRec rec;
        for (int r = FindFirst(folder / Pattern, Attr, rec); r == 0; r = FindNext(rec))
            found.push_back({rec.Name, rec.Attr});
        FindClose(rec);
        return found;
    };
    using L = std::vector<std::pair<std::string, Integer>>;
    EXPECT_EQ(find("*.*", faAnyFile), (L{{".", faDirectory},
                                         {"..", faDirectory},
                                         {".hidden", faArchive | faHidden},
                                         {"Sub", faDirectory},
                                         {"a.txt", faArchive},
                                         {"b.TXT", faArchive},
                                         {"noext", faArchive}}));
    EXPECT_EQ(find("*", 0), (L{{"a.txt", faArchive}, {"b.TXT", faArchive}, {"noext", faArchive}}))
        << "files only: no folders, nothing hidden";
    EXPECT_EQ(find("*.txt", faAnyFile), (L{{"a.txt", faArchive}, {"b.TXT", faArchive}})) << "without case";
    EXPECT_EQ(find("s?b", faDirectory), (L{{"Sub", faDirectory}}));
    WriteFileContents(folder / "[1].txt", "");
    EXPECT_EQ(find("[1]*", 0), (L{{"[1].txt", faArchive}})) << "brackets are plain characters";

    TSearchRec rec;
    ASSERT_EQ(FindFirst(folder / "b.txt", faAnyFile, rec), 0);
    EXPECT_EQ(rec.Size, 5);
    EXPECT_NE(rec.Time, 0);
    EXPECT_NEAR(rec.TimeStamp, Now(), 1.0 / 24);
    FindClose(rec);
    EXPECT_NE(FindFirst(folder / "*.none", faAnyFile, rec), 0);
    EXPECT_NE(FindFirst(folder / "missing/*", faAnyFile, rec), 0);
}

TEST(FileUtilsTest, CurrentFolderGuardRestores) {
    TScratchFolder folder;
    const std::string before = GetCurrentDir();
    {
        TCurrentDirScope scope(folder.Path());
        EXPECT_EQ(IncludeTrailingPathDelimiter(GetCurrentDir()), folder.Path());
        EXPECT_THROW(TCurrentDirScope(folder / "missing"), EInOutError);
        EXPECT_EQ(IncludeTrailingPathDelimiter(GetCurrentDir()), folder.Path());
    }
    EXPECT_EQ(GetCurrentDir(), before);
}

TEST(FileUtilsTest, TemporaryFilesAreUniqueAndCleanedUp) {
    TScratchFolder folder;
    std::set<std::string> names;
    std::string kept;
    {
        TTempFile first(folder.Path(), "pkg", ".zip");
        TTempFile second(folder.Path(), "pkg", ".zip");
        names = {first.FileName(), second.FileName()};
        EXPECT_EQ(names.size(), 2u);
        EXPECT_TRUE(FileExists(first.FileName()));
        EXPECT_EQ(ExtractFilePath(first.FileName()), folder.Path());
        EXPECT_EQ(ExtractFileExt(first.FileName()), ".zip");
        kept = first.FileName();
    }
    EXPECT_FALSE(FileExists(kept));
    EXPECT_EQ(GetTempDir().back(), '/');
    EXPECT_THROW(CreateTempFile(folder / "missing"), EInOutError);
    EXPECT_TRUE(DirectoryExists(ProgramFolder()));
    EXPECT_EQ(ProgramFolder().back(), '/');
}

} // namespace
