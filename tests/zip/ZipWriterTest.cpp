// TZipWriter: the application's packing call, merging with an existing
// archive, list expansion, stored folders, and the faults a writer must not
// have: a failed run touches neither the old archive nor the sources, and what
// the classic format cannot hold is refused before the archive is written.
#include "zip/ZipWriter.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ZipTestSupport.h"
#include "platform/rtl/FileUtils.h"
#include "zip/ZipExceptions.h"

using namespace zip;
using namespace ziptest;

namespace {

TBytes Bytes(const std::string& s) {
    return TBytes(s.begin(), s.end());
}

class ZipWriterTest : public TZipTest {
protected:
    std::unique_ptr<TZipWriter> Writer(const std::string& archive) {
        auto w = std::make_unique<TZipWriter>(nullptr);
        w->SetZipName(archive);
        return w;
    }
    std::vector<std::string> Names(const std::string& archive) {
        TZipReader r(nullptr);
        r.SetZipName(archive);
        r.ReadZip();
        std::vector<std::string> names;
        for (int i = 0; i < r.GetCount(); ++i)
            names.push_back(r.GetEntry(i)->FullName());
        return names;
    }
    void SetAge(const std::string& path, int year) { FileSetDate(path, EncodeDate(static_cast<Word>(year), 6, 1)); }
    std::vector<std::string> FilesIn(const std::string& folder) {
        std::vector<std::string> files;
        for (const auto& e : std::filesystem::directory_iterator(folder))
            files.push_back(e.path().filename().string());
        std::sort(files.begin(), files.end());
        return files;
    }
};

} // namespace

TEST_F(ZipWriterTest, FreshObjectDefaultsAndCoupledSetters) {
    TZipWriter w(nullptr);
    EXPECT_EQ(w.PackLevel(), 6);
    EXPECT_EQ(w.ZipAction(), zaUpdate);
    EXPECT_EQ(w.MultiZipInfo()->BlockSize, 1457600);
    EXPECT_EQ(w.MultiZipInfo()->FirstBlockSize, 1457600);
    EXPECT_TRUE(w.MultiZipInfo()->CheckDiskLabels);
    EXPECT_TRUE(w.MultiZipInfo()->WriteDiskLabels);
    w.SetRelativePaths(true);
    EXPECT_TRUE(w.StorePaths());
    EXPECT_TRUE(w.Recurse());
    w.SetStoreVolumes(true);
    w.SetStorePaths(false);
    EXPECT_FALSE(w.RelativePaths());
    EXPECT_FALSE(w.StoreVolumes());
}

TEST_F(ZipWriterTest, ApplicationCallStoresBareNamesDeflated) {
    for (const char* n : {"a.txt", "b.txt", "c.txt"})
        WriteBytes(Path(std::string("src/") + n), TextBytes(5000, 1));
    auto w = Writer(Path("out.zip"));
    for (const char* n : {"a.txt", "b.txt", "c.txt"})
        w->FilesList()->Add(Path(std::string("src/") + n));
    w->SetRecurse(true);
    EXPECT_EQ(w->Zip(), 3);
    TZipReader r(nullptr);
    r.SetZipName(Path("out.zip"));
    r.ReadZip();
    ASSERT_EQ(r.GetCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(r.GetEntry(i)->Directory().empty());
        EXPECT_EQ(r.GetEntry(i)->CompressionMethod, 8);
    }
    EXPECT_EQ(FilesIn(Folder.Path()), (std::vector<std::string>{"out.zip", "src"})); // no temporary left behind
    struct stat st;
    ASSERT_EQ(stat(Path("out.zip").c_str(), &st), 0);
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);
}

TEST_F(ZipWriterTest, UpdateKeepsUnchangedReplacesNewerAndAppendsNew) {
    REQUIRE_TOOL("unzip");
    WriteText(Path("src/same.txt"), "same");
    WriteText(Path("src/newer.txt"), "old text");
    SetAge(Path("src/same.txt"), 2020);
    SetAge(Path("src/newer.txt"), 2020);
    auto w = Writer(Path("a.zip"));
    w->FilesList()->Add(Path("src/same.txt"));
    w->FilesList()->Add(Path("src/newer.txt"));
    w->Zip();
    WriteText(Path("src/newer.txt"), "new text");
    SetAge(Path("src/newer.txt"), 2022);
    WriteText(Path("src/added.txt"), "added");
    auto u = Writer(Path("a.zip"));
    std::vector<std::pair<TZipUpdateAction, int>> updates;
    u->OnUpdate = [&](TObject*, TZipUpdateAction a, int i) { updates.push_back({a, i}); };
    for (const char* n : {"same.txt", "newer.txt", "added.txt"})
        u->FilesList()->Add(Path(std::string("src/") + n));
    EXPECT_EQ(u->Zip(), 2);
    EXPECT_EQ(updates, (std::vector<std::pair<TZipUpdateAction, int>>{{uaKeeping, 0}, {uaReplacing, 1}}));
    EXPECT_EQ(Names(Path("a.zip")), (std::vector<std::string>{"same.txt", "newer.txt", "added.txt"}));
    EXPECT_EQ(RunCommand("unzip -tq " + Quote(Path("a.zip"))), 0);
    TZipReader r(nullptr);
    r.SetZipName(Path("a.zip"));
    r.SetDestDir(Path("out"));
    r.SetDoAll(true);
    r.UnZip();
    EXPECT_EQ(ReadBytes(Path("out/newer.txt")), Bytes("new text"));
}

TEST_F(ZipWriterTest, ASkippedReplacementAsksOnDeleteEntryBeforeTheOldEntryGoes) {
    WriteText(Path("src/keep.txt"), "keep");
    WriteText(Path("src/a.txt"), "old");
    auto w = Writer(Path("a.zip"));
    w->FilesList()->Add(Path("src/keep.txt"));
    w->FilesList()->Add(Path("src/a.txt"));
    w->Zip();
    for (const bool keep : {true, false}) {
        auto u = Writer(Path("a.zip"));
        u->SetZipAction(zaReplace);
        u->FilesList()->Add(Path("src/a.txt"));
        u->OnStartZip = [](TObject*, const std::string&, TZipHeaderInfo&, bool& Skip) { Skip = true; };
        std::vector<std::string> asked;
        u->OnDeleteEntry = [&](TObject*, const std::string& name, bool& Skip) {
            asked.push_back(name);
            Skip = keep;
        };
        EXPECT_EQ(u->Zip(), 0) << keep;
        EXPECT_EQ(asked, std::vector<std::string>{"a.txt"}) << keep;
        EXPECT_EQ(Names(Path("a.zip")), keep ? (std::vector<std::string>{"keep.txt", "a.txt"})
                                             : std::vector<std::string>{"keep.txt"})
            << keep;
    }
}

TEST_F(ZipWriterTest, FreshenAddsNothingNew) {
    WriteText(Path("src/in.txt"), "in");
    auto w = Writer(Path("a.zip"));
    w->FilesList()->Add(Path("src/in.txt"));
    w->Zip();
    WriteText(Path("src/new.txt"), "new");
    auto f = Writer(Path("a.zip"));
    f->SetZipAction(zaFreshen);
    f->FilesList()->Add(Path("src/*.txt"));
    f->Zip();
    EXPECT_EQ(Names(Path("a.zip")), std::vector<std::string>{"in.txt"});
}

TEST_F(ZipWriterTest, PatternsRecurseBySignAndNeverTakeTheArchiveItself) {
    WriteText(Path("src/top.txt"), "t");
    WriteText(Path("src/sub/deep.txt"), "d");
    WriteText(Path("src/skip.log"), "l");
    struct TCase {
        const char* Pattern;
        bool Recurse;
        std::vector<std::string> Expected;
    } cases[] = {
        {"src/*.*", false, {"skip.log", "top.txt"}},
        {"src/*", false, {"skip.log", "top.txt"}},
        {"|src/*.txt", true, {"top.txt"}},
        {">src/*.txt", false, {"deep.txt", "top.txt"}},
        {"s*/s?b/*.txt", false, {"deep.txt"}},
        {"src/x*/*", true, {}},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(Path("src/a.zip"));
        auto w = Writer(Path("src/a.zip"));
        w->SetRecurse(c.Recurse);
        const std::string pattern = c.Pattern;
        const bool signed_ = pattern[0] == '|' || pattern[0] == '>';
        w->FilesList()->Add(signed_ ? pattern.substr(0, 1) + Path(pattern.substr(1)) : Path(pattern));
        w->Zip();
        auto names = Names(Path("src/a.zip"));
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, c.Expected) << c.Pattern;
    }
    // Packing into the folder being packed: the archive is not added to itself.
    auto again = Writer(Path("src/a.zip"));
    again->FilesList()->Add(Path("src/*"));
    again->Zip();
    for (const auto& n : Names(Path("src/a.zip")))
        EXPECT_NE(n, "a.zip");
}

TEST_F(ZipWriterTest, ExcludeAndNoCompressListsMatchNamesOrPaths) {
    WriteBytes(Path("src/keep.txt"), TextBytes(4000, 1));
    WriteBytes(Path("src/drop.tmp"), TextBytes(4000, 2));
    WriteBytes(Path("src/sub/drop.txt"), TextBytes(4000, 3));
    WriteBytes(Path("src/inner.zip"), TextBytes(4000, 4));
    auto w = Writer(Path("a.zip"));
    w->SetRecurse(true);
    w->ExcludeList()->Add("*.tmp");
    w->ExcludeList()->Add(Path("src/sub/*"));
    w->NoCompressList()->Add("*.zip");
    w->FilesList()->Add(Path("src/*"));
    w->Zip();
    TZipReader r(nullptr);
    r.SetZipName(Path("a.zip"));
    r.SetSortMode(ByName);
    r.ReadZip();
    ASSERT_EQ(r.GetCount(), 2);
    EXPECT_EQ(r.GetFilename(0), "inner.zip");
    EXPECT_EQ(r.GetEntry(0)->CompressionMethod, 0);
    EXPECT_EQ(r.GetFilename(1), "keep.txt");
    EXPECT_EQ(r.GetEntry(1)->CompressionMethod, 8);
}

TEST_F(ZipWriterTest, ANameOfAnExistingFileIsLiteralWhateverItHolds) {
    struct TCase {
        const char* Name;  // of the file listed
        const char* Decoy; // what the line would pick up if it were read otherwise
    } cases[] = {
        {"a*b?.txt", "axb1.txt"},              // not a pattern
        {"back\\slash.txt", "back/slash.txt"}, // not a folder: a backslash is part of a Linux name
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(Path("src"));
        std::filesystem::remove(Path("a.zip"));
        WriteText(Path("src/") + c.Name, "literal");
        WriteText(Path("src/") + c.Decoy, "the decoy's text");
        auto w = Writer(Path("a.zip"));
        w->FilesList()->Add(Path("src/") + c.Name);
        EXPECT_EQ(w->Zip(), 1) << c.Name;
        TZipReader r(nullptr);
        r.SetZipName(Path("a.zip"));
        r.ReadZip();
        ASSERT_EQ(r.GetCount(), 1) << c.Name;
        EXPECT_EQ(r.GetEntry(0)->StoredName(), c.Name);
        EXPECT_EQ(r.GetEntry(0)->UncompressedSize, 7u) << c.Name;
        // Listed again, the unchanged file keeps its entry rather than adding a second.
        auto again = Writer(Path("a.zip"));
        again->FilesList()->Add(Path("src/") + c.Name);
        EXPECT_EQ(again->Zip(), 0) << c.Name;
        EXPECT_EQ(again->GetCount(), 1) << c.Name;
    }
}

TEST_F(ZipWriterTest, ZipNameIsUsedAsGivenTrailingBlankIncluded) {
    for (const char* n : {"one.txt", "two.txt"}) {
        WriteText(Path(std::string("src/") + n), n);
        auto w = Writer(Path("a.zip "));
        w->FilesList()->Add(Path(std::string("src/") + n));
        EXPECT_EQ(w->Zip(), 1);
    }
    EXPECT_FALSE(FileExists(Path("a.zip")));
    EXPECT_EQ(Names(Path("a.zip ")), (std::vector<std::string>{"one.txt", "two.txt"}));
}

TEST_F(ZipWriterTest, AnArchiveReachedThroughASymlinkIsUpdatedWhereItLies) {
    ForceDirectories(Path("store"));
    WriteText(Path("src/one.txt"), "one");
    // Relative, and dangling until the first run makes the archive.
    std::filesystem::create_symlink("../store/real.zip", Path("src/link.zip"));
    auto w = Writer(Path("src/link.zip"));
    w->FilesList()->Add(Path("src/one.txt"));
    EXPECT_EQ(w->Zip(), 1);
    WriteText(Path("src/two.txt"), "two");
    auto u = Writer(Path("src/link.zip"));
    u->FilesList()->Add(Path("src/*")); // finds the link too, which is the archive itself
    EXPECT_EQ(u->Zip(), 1);
    EXPECT_TRUE(std::filesystem::is_symlink(Path("src/link.zip")));
    EXPECT_EQ(Names(Path("store/real.zip")), (std::vector<std::string>{"one.txt", "two.txt"}));
    EXPECT_EQ(FilesIn(Path("store")), std::vector<std::string>{"real.zip"});
}

TEST_F(ZipWriterTest, StoredFoldersFollowStorePathsAndRelativePaths) {
    WriteText(Path("root/proj/file.txt"), "x");
    auto w = Writer(Path("a.zip"));
    w->SetRelativePaths(true);
    w->SetRootDir(Path("root"));
    w->FilesList()->Add(Path("root/proj/file.txt"));
    w->Zip();
    EXPECT_EQ(Names(Path("a.zip")), std::vector<std::string>{"proj/file.txt"});
    auto abs = Writer(Path("b.zip"));
    abs->SetStorePaths(true);
    abs->FilesList()->Add(Path("root/proj/file.txt"));
    abs->Zip();
    // The leading "/" goes, as a drive would.
    EXPECT_EQ(Names(Path("b.zip")), std::vector<std::string>{Path("root/proj/file.txt").substr(1)});
}

TEST_F(ZipWriterTest, FailedRunLeavesTheOldArchiveAndTheSources) {
    WriteText(Path("src/one.txt"), "one");
    auto w = Writer(Path("a.zip"));
    w->FilesList()->Add(Path("src/one.txt"));
    w->Zip();
    const TBytes before = ReadBytes(Path("a.zip"));
    WriteText(Path("src/two.txt"), "two");
    auto f = Writer(Path("a.zip"));
    f->SetDispose(true);
    f->FilesList()->Add(Path("src/two.txt"));
    f->OnStartZipInfo = [](TObject*, int, int64_t, TEndCentral&, bool& stop) { stop = true; };
    EXPECT_THROW(f->Zip(), EUserCanceled);
    EXPECT_EQ(ReadBytes(Path("a.zip")), before);
    EXPECT_TRUE(FileExists(Path("src/two.txt")));
    EXPECT_EQ(FilesIn(Folder.Path()), (std::vector<std::string>{"a.zip", "src"}));
}

TEST_F(ZipWriterTest, UnreadableReplacementKeepsTheOldEntry) {
    WriteText(Path("src/f.txt"), "old");
    SetAge(Path("src/f.txt"), 2020);
    auto w = Writer(Path("a.zip"));
    w->FilesList()->Add(Path("src/f.txt"));
    w->Zip();
    WriteText(Path("src/f.txt"), "new");
    auto u = Writer(Path("a.zip"));
    u->SetZipAction(zaReplace);
    u->FilesList()->Add(Path("src/f.txt"));
    // The file vanishes between the list being built and its turn to be zipped.
    u->OnUpdate = [&](TObject*, TZipUpdateAction, int) { std::filesystem::remove(Path("src/f.txt")); };
    EXPECT_EQ(u->Zip(), 0);
    TZipReader r(nullptr);
    r.SetZipName(Path("a.zip"));
    r.SetDestDir(Path("out"));
    r.SetDoAll(true);
    EXPECT_EQ(r.UnZip(), 1);
    EXPECT_EQ(ReadBytes(Path("out/f.txt")), Bytes("old"));
}

TEST_F(ZipWriterTest, KeptDataDescriptorEntriesAreCopiedWhole) {
    REQUIRE_TOOL("unzip");
    const TBytes text = TextBytes(60000, 9);
    WriteRawZip(Path("a.zip"), {{"dd.txt", text, 8, 8}, {"plain.txt", text, 0, 0}});
    WriteText(Path("src/new.txt"), "new");
    auto w = Writer(Path("a.zip"));
    w->FilesList()->Add(Path("src/new.txt"));
    EXPECT_EQ(w->Zip(), 1);
    EXPECT_EQ(RunCommand("unzip -tq " + Quote(Path("a.zip"))), 0);
    TZipReader r(nullptr);
    r.SetZipName(Path("a.zip"));
    r.SetDestDir(Path("out"));
    r.SetDoAll(true);
    EXPECT_EQ(r.UnZip(), 3);
    EXPECT_EQ(ReadBytes(Path("out/dd.txt")), text);
}

TEST_F(ZipWriterTest, WhatNeedsZip64IsRefusedBeforeTheArchiveIsWritten) {
    // A sparse file of 4 GiB.
    ForceDirectories(Path("src"));
    { std::ofstream big(Path("src/big.bin"), std::ios::binary); }
    ASSERT_EQ(truncate(Path("src/big.bin").c_str(), 0x100000000LL), 0);
    auto w = Writer(Path("a.zip"));
    w->FilesList()->Add(Path("src/big.bin"));
    EXPECT_THROW(w->Zip(), EZipUnsupported);
    EXPECT_FALSE(FileExists(Path("a.zip")));
    // An archive of 65535 entries takes no more.
    std::vector<TRawEntry> many(65535);
    for (size_t i = 0; i < many.size(); ++i)
        many[i].Name = "e" + std::to_string(i);
    WriteRawZip(Path("many.zip"), many);
    const TBytes before = ReadBytes(Path("many.zip"));
    WriteText(Path("src/one.txt"), "one");
    auto m = Writer(Path("many.zip"));
    m->FilesList()->Add(Path("src/one.txt"));
    EXPECT_THROW(m->Zip(), EZipUnsupported);
    EXPECT_EQ(ReadBytes(Path("many.zip")), before);
    // Replacing one of them adds nothing, so it goes through.
    WriteText(Path("src/e7"), "replaced");
    auto r = Writer(Path("many.zip"));
    r->FilesList()->Add(Path("src/e7"));
    EXPECT_EQ(r->Zip(), 1);
    EXPECT_EQ(r->GetCount(), 65535);
    auto c = Writer(Path("c.zip"));
    EXPECT_THROW(c->SetZipComment(std::string(65536, 'c')), EZipUnsupported);
}

TEST_F(ZipWriterTest, ArchiveBetweenTwoAndFourGiBReads) {
    // The second entry's local header lies past 2 GiB, behind a sparse hole.
    TRawEntry far{"far.txt", Bytes("beyond two gigabytes")};
    far.Gap = 0xA0000000ULL;
    WriteRawZip(Path("big.zip"), {{"near.txt", Bytes("near")}, far});
    TZipReader r(nullptr);
    r.SetZipName(Path("big.zip"));
    r.SetDestDir(Path("out"));
    r.FilesList()->Add("far.txt");
    EXPECT_EQ(r.UnZip(), 1);
    EXPECT_EQ(ReadBytes(Path("out/far.txt")), Bytes("beyond two gigabytes"));
}

TEST_F(ZipWriterTest, DatesBefore1980AreWrittenAsTheFirstDosDate) {
    WriteText(Path("src/old.txt"), "old");
    FileSetDate(Path("src/old.txt"), EncodeDate(1975, 3, 4));
    auto w = Writer(Path("a.zip"));
    w->FilesList()->Add(Path("src/old.txt"));
    w->Zip();
    TZipReader r(nullptr);
    r.SetZipName(Path("a.zip"));
    r.ReadZip();
    EXPECT_EQ(r.GetDateTime(0), EncodeDate(1980, 1, 1));
}

TEST_F(ZipWriterTest, ArchiveCommentIsWrittenAndKeptOnUpdate) {
    REQUIRE_TOOL("python3");
    WriteText(Path("src/a.txt"), "a");
    auto w = Writer(Path("a.zip"));
    w->SetZipComment("项目 comment");
    w->FilesList()->Add(Path("src/a.txt"));
    w->Zip();
    WriteText(Path("src/b.txt"), "b");
    auto u = Writer(Path("a.zip"));
    u->FilesList()->Add(Path("src/b.txt"));
    u->Zip();
    EXPECT_EQ(u->GetZipComment(), "项目 comment");
    WriteText(Path("c.py"),
              "import zipfile,sys\nassert zipfile.ZipFile(sys.argv[1]).comment == '项目 comment'.encode()\n");
    EXPECT_EQ(RunCommand("python3 " + Quote(Path("c.py")) + " " + Quote(Path("a.zip"))), 0);
}
