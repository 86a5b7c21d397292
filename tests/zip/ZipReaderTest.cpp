// TZipReader: defaults, selection, and the faults extraction must never have:
// writing outside DestDir, trusting local headers, keeping bad data, hanging
// or crashing on damaged archives, re-entering a running operation.
#include "zip/ZipReader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>

#include "ZipTestSupport.h"
#include "platform/rtl/FileUtils.h"
#include "zip/BufferStream.h"
#include "zip/ZipExceptions.h"
#include "zip/ZipHooks.h"
#include "zip/ZipUtils.h"
#include "zip/ZipWriter.h"

using namespace zip;
using namespace ziptest;

namespace {

TBytes Bytes(const std::string& s) {
    return TBytes(s.begin(), s.end());
}

class ZipReaderTest : public TZipTest {
protected:
    std::unique_ptr<TZipReader> Reader(const std::string& archive, const std::string& dest) {
        auto reader = std::make_unique<TZipReader>(nullptr);
        reader->SetZipName(archive);
        reader->SetDestDir(dest);
        return reader;
    }
    // Every file below the test folder, relative to it.
    std::vector<std::string> AllFiles() const {
        std::vector<std::string> files;
        for (const auto& e : std::filesystem::recursive_directory_iterator(Folder.Path()))
            if (!e.is_directory()) files.push_back(e.path().string().substr(Folder.Path().size()));
        std::sort(files.begin(), files.end());
        return files;
    }
};

} // namespace

TEST_F(ZipReaderTest, FreshObjectHasTheDocumentedDefaults) {
    TZipReader r(nullptr);
    EXPECT_EQ(r.SortMode(), ByNone);
    EXPECT_EQ(r.OverwriteMode(), Prompt);
    EXPECT_FALSE(r.DoAll());
    EXPECT_TRUE(r.DoProcessMessages());
    EXPECT_TRUE(r.RetainAttributes());
    EXPECT_TRUE(r.OEMConvert());
    EXPECT_EQ(r.IncompleteZipMode(), izAssumeMulti);
    r.SetThisVersion(5);
    EXPECT_EQ(r.ThisVersion(), 223);
    r.SetDestDir("/some/folder/");
    EXPECT_EQ(r.DestDir(), "/some/folder");
    r.SetRootDir("/root/dir");
    EXPECT_EQ(r.RootDir(), "/root/dir/");
    EXPECT_EQ(r.GetCount(), 0);
}

TEST_F(ZipReaderTest, QuestionMarkNamesAskTheDialogHooks) {
    TZipReader r(nullptr);
    EXPECT_THROW(r.SetZipName(Path("?")), EUserCanceled);
    EXPECT_THROW(r.SetDestDir("?"), EUserCanceled);
    ZipHooks().ChooseFile = [&](const std::string& title, const std::string&, const std::string& dir,
                                std::string& name) {
        EXPECT_EQ(title, "Open a Zip File");
        name = dir + "/chosen.zip";
        return true;
    };
    ZipHooks().ChooseFolder = [&](const std::string&, std::string& folder) {
        folder = Path("picked/");
        return true;
    };
    r.SetZipName(Path("?"));
    r.SetDestDir("?");
    ZipHooks().ChooseFile = nullptr;
    ZipHooks().ChooseFolder = nullptr;
    EXPECT_EQ(r.ZipName(), Path("chosen.zip"));
    EXPECT_EQ(r.DestDir(), Path("picked"));
}

TEST_F(ZipReaderTest, IndexOutOfRangeRaisesTheListError) {
    WriteRawZip(Path("a.zip"), {{"a", Bytes("1")}, {"b", Bytes("2")}, {"c", Bytes("3")}});
    auto r = Reader(Path("a.zip"), Path("out"));
    r->ReadZip();
    ASSERT_EQ(r->GetCount(), 3);
    try {
        r->GetFilename(3);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "Index 3 is out of range");
    }
}

TEST_F(ZipReaderTest, FilesListSelectsByWholeStoredNameInAnyCase) {
    WriteRawZip(Path("a.zip"), {{"Report.TXT", Bytes("top")}, {"sub/report.txt", Bytes("nested")}});
    struct TCase {
        const char* Line;
        int Extracted;
    } cases[] = {{"report.txt", 1}, {"*report.txt", 2}, {"nothing", 0}};
    for (const auto& c : cases) {
        std::filesystem::remove_all(Path("out"));
        auto r = Reader(Path("a.zip"), Path("out"));
        r->SetOverwriteMode(Always);
        r->FilesList()->Add(c.Line);
        EXPECT_EQ(r->UnZip(), c.Extracted) << c.Line;
        EXPECT_EQ(r->FilesList()->Count(), 0);
    }
    auto r = Reader(Path("a.zip"), Path("out2"));
    EXPECT_EQ(r->UnZip(), 0); // DoAll off and nothing listed
}

TEST_F(ZipReaderTest, HostileNamesNeverLeaveTheDestinationFolder) {
    const std::vector<TRawEntry> entries = {
        {"../x", Bytes("up")},          {"/abs", Bytes("absolute")}, {"C:\\x", Bytes("drive")},
        {"a/../../y", Bytes("hidden")}, {"./dot/z", Bytes("dot")},   {"b//c", Bytes("empty")},
        {"ok/fine.txt", Bytes("fine")}, {"..", Bytes("dots")},
    };
    WriteRawZip(Path("evil.zip"), entries);
    for (bool recreate : {false, true}) {
        const std::string dest = recreate ? "tree" : "flat";
        auto r = Reader(Path("evil.zip"), Path("box/" + dest));
        r->SetDoAll(true);
        r->SetRecreateDirs(recreate);
        r->SetOverwriteMode(Always);
        r->UnZip();
    }
    for (const auto& f : AllFiles())
        EXPECT_TRUE(f == "evil.zip" || f.rfind("box/", 0) == 0) << f << " was written outside the destination";
    EXPECT_EQ(ReadBytes(Path("box/tree/abs")), Bytes("absolute"));
    EXPECT_EQ(ReadBytes(Path("box/tree/x")), Bytes("drive"));
    EXPECT_EQ(ReadBytes(Path("box/tree/ok/fine.txt")), Bytes("fine"));
    EXPECT_FALSE(FileExists(Path("box/tree/y")));
    EXPECT_FALSE(FileExists(Path("box/y")));
    // "." and empty parts, as bsdtar writes them, are dropped.
    EXPECT_EQ(ReadBytes(Path("box/tree/dot/z")), Bytes("dot"));
    EXPECT_EQ(ReadBytes(Path("box/tree/b/c")), Bytes("empty"));
}

TEST_F(ZipReaderTest, EmptyDestDirMeansTheCurrentFolder) {
    WriteRawZip(Path("a.zip"), {{"/etc-like/file", Bytes("abs")}});
    ForceDirectories(Path("cwd"));
    TCurrentDirScope cwd(Path("cwd"));
    auto r = Reader(Path("a.zip"), "");
    r->SetDoAll(true);
    r->SetRecreateDirs(true);
    EXPECT_EQ(r->UnZip(), 1);
    EXPECT_EQ(ReadBytes(Path("cwd/etc-like/file")), Bytes("abs"));
}

TEST_F(ZipReaderTest, ExistingSymlinksOnThePathAreNotFollowed) {
    WriteRawZip(Path("a.zip"),
                {{"link/evil", Bytes("through the folder link")}, {"file", Bytes("through the file link")}});
    ForceDirectories(Path("outside"));
    ForceDirectories(Path("dest"));
    WriteText(Path("outside/target"), "keep");
    std::filesystem::create_directory_symlink(Path("outside"), Path("dest/link"));
    std::filesystem::create_symlink(Path("outside/target"), Path("dest/file"));
    auto r = Reader(Path("a.zip"), Path("dest"));
    r->SetDoAll(true);
    r->SetRecreateDirs(true);
    r->SetOverwriteMode(Always);
    EXPECT_EQ(r->UnZip(), 0);
    EXPECT_FALSE(std::filesystem::exists(Path("outside/evil")));
    EXPECT_EQ(ReadBytes(Path("outside/target")), Bytes("keep"));
}

TEST_F(ZipReaderTest, DataDescriptorEntriesTakeCrcAndSizesFromTheCentralDirectory) {
    const TBytes text = TextBytes(70000, 3);
    WriteRawZip(Path("dd.zip"), {{"stored.txt", text, 0, 8}, {"deflated.txt", text, 8, 8}, {"empty", {}, 8, 8}});
    auto r = Reader(Path("dd.zip"), Path("out"));
    r->SetDoAll(true);
    EXPECT_EQ(r->UnZip(), 3);
    EXPECT_EQ(ReadBytes(Path("out/stored.txt")), text);
    EXPECT_EQ(ReadBytes(Path("out/deflated.txt")), text);
    EXPECT_TRUE(FileExists(Path("out/empty")));
}

TEST_F(ZipReaderTest, BadDataLeavesNoFileAndIsNotCounted) {
    const TBytes text = TextBytes(50000, 4);
    struct TCase {
        const char* Name;
        TRawEntry Entry;
    };
    TRawEntry badCrc{"crc.txt", text, 8};
    badCrc.CrcDelta = 1;
    TRawEntry tooLong{"long.txt", text, 8};
    tooLong.SizeDelta = -1; // the data decodes to more than the stored size
    TRawEntry tooShort{"short.txt", text, 0};
    tooShort.SizeDelta = 1;
    const TCase cases[] = {{"crc", badCrc}, {"long", tooLong}, {"short", tooShort}};
    for (const auto& c : cases)
        for (const bool previous : {true, false}) {
            std::filesystem::remove_all(Path("out"));
            WriteRawZip(Path("bad.zip"), {c.Entry});
            if (previous) WriteText(Path("out/" + c.Entry.Name), "previous content");
            auto r = Reader(Path("bad.zip"), Path("out"));
            r->SetDoAll(true);
            r->SetOverwriteMode(Always);
            int badCrcCalls = 0;
            r->OnBadCRC = [&](TObject*, uint32_t, uint32_t, int) { ++badCrcCalls; };
            EXPECT_EQ(r->UnZip(), 0) << c.Name;
            EXPECT_EQ(badCrcCalls, 1) << c.Name;
            // The failed entry replaced nothing and left nothing.
            std::vector<std::string> expected{"bad.zip"};
            if (previous) {
                EXPECT_EQ(ReadBytes(Path("out/" + c.Entry.Name)), Bytes("previous content")) << c.Name;
                expected.push_back("out/" + c.Entry.Name);
            }
            EXPECT_EQ(AllFiles(), expected) << c.Name << previous;
        }
}

TEST_F(ZipReaderTest, UnknownMethodShowsItsMessageAndExtractsNothing) {
    WriteRawZip(Path("m.zip"), {{"m.txt", Bytes("data"), 9}});
    auto r = Reader(Path("m.zip"), Path("out"));
    r->SetDoAll(true);
    EXPECT_EQ(r->UnZip(), 0);
    EXPECT_FALSE(FileExists(Path("out/m.txt")));
}

TEST_F(ZipReaderTest, APasswordOnlyTouchesEncryptedEntries) {
    const TBytes text = TextBytes(40000, 5);
    WriteRawZip(Path("p.zip"), {{"stored.txt", text, 0}, {"deflated.txt", text, 8}});
    auto r = Reader(Path("p.zip"), Path("out"));
    r->SetPassword("secret");
    r->SetDoAll(true);
    EXPECT_EQ(r->UnZip(), 2);
    EXPECT_EQ(ReadBytes(Path("out/stored.txt")), text);
    EXPECT_EQ(ReadBytes(Path("out/deflated.txt")), text);
}

TEST_F(ZipReaderTest, ChangedArchiveIsReadAgainEvenWithinTheSameSecond) {
    WriteRawZip(Path("a.zip"), {{"one", Bytes("1")}, {"two", Bytes("2")}});
    struct stat before;
    ASSERT_EQ(stat(Path("a.zip").c_str(), &before), 0);
    auto r = Reader(Path("a.zip"), Path("out"));
    r->ReadZip();
    ASSERT_EQ(r->GetCount(), 2);
    // Same size, same whole second, other content.
    WriteRawZip(Path("a.zip"), {{"uno", Bytes("1")}, {"two", Bytes("2")}});
    timespec times[2] = {before.st_atim, before.st_mtim};
    times[1].tv_nsec = (before.st_mtim.tv_nsec + 1000) % 1000000000;
    ASSERT_EQ(utimensat(AT_FDCWD, Path("a.zip").c_str(), times, 0), 0);
    r->ReadZip();
    EXPECT_EQ(r->GetFilename(0), "uno");
}

TEST_F(ZipReaderTest, ANameInOtherLetterCaseIsAnotherArchive) {
    WriteRawZip(Path("a.zip"), {{"lower", Bytes("1")}});
    WriteRawZip(Path("A.zip"), {{"upper", Bytes("1")}, {"two", Bytes("2")}});
    auto r = Reader(Path("a.zip"), Path("out"));
    r->ReadZip();
    ASSERT_EQ(r->GetCount(), 1);
    r->SetZipName(Path("A.zip"));
    EXPECT_EQ(r->GetCount(), 0); // the directory went with the old name
    r->ReadZip();
    EXPECT_EQ(r->GetFilename(0), "upper");
}

TEST_F(ZipReaderTest, NotAZipFileFollowsIncompleteZipMode) {
    WriteText(Path("plain.txt"), "this is not an archive at all, just some text");
    auto r = Reader(Path("plain.txt"), Path("out"));
    r->ReadZip();
    EXPECT_EQ(r->GetCount(), 0);
    EXPECT_THROW(r->UnZip(), EIncompleteZip);
    r->SetIncompleteZipMode(izAssumeNotAZip);
    EXPECT_THROW(r->ReadZip(), ENotAZipFile);
    r->SetIncompleteZipMode(izAssumeBad);
    EXPECT_THROW(r->ReadZip(), EBadZipFile);
    WriteBytes(Path("empty.zip"), {});
    auto empty = Reader(Path("empty.zip"), Path("out"));
    empty->ReadZip();
    EXPECT_EQ(empty->GetCount(), 0);
}

TEST_F(ZipReaderTest, IncompleteHandlerThatChangesNothingIsAskedOnce) {
    WriteText(Path("plain.txt"), "no end record here");
    auto r = Reader(Path("plain.txt"), Path("out"));
    int calls = 0;
    r->OnInCompleteZip = [&](TObject*, TIncompleteZipMode&) { ++calls; };
    r->ReadZip();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(r->GetCount(), 0);
}

TEST_F(ZipReaderTest, MissingEndRecordIsRebuiltFromLocalHeadersWhenAssumedBad) {
    const TBytes text = TextBytes(10000, 6);
    const uint64_t size = WriteRawZip(Path("a.zip"), {{"one.txt", text, 8}, {"two.txt", text, 0}});
    TBytes bytes = ReadBytes(Path("a.zip"));
    bytes.resize(size - 22); // drop the end record
    WriteBytes(Path("cut.zip"), bytes);
    auto r = Reader(Path("cut.zip"), Path("out"));
    r->SetIncompleteZipMode(izAssumeBad);
    r->SetDoAll(true);
    EXPECT_EQ(r->UnZip(), 2);
    EXPECT_EQ(ReadBytes(Path("out/two.txt")), text);
    // The same through the handler, which switches the mode when asked.
    auto asked = Reader(Path("cut.zip"), Path("out"));
    asked->OnInCompleteZip = [](TObject*, TIncompleteZipMode& mode) { mode = izAssumeBad; };
    asked->ReadZip();
    EXPECT_EQ(asked->GetCount(), 2);
}

TEST_F(ZipReaderTest, TruncationAtEveryOffsetFailsCleanly) {
    // A cut archive may lose entries, never corrupt one: whatever lands is its source, byte for byte.
    const std::map<std::string, TBytes> sources{{"one.txt", TextBytes(3000, 7)}, {"two.bin", RandomBytes(1500, 8)}};
    for (const auto& [name, data] : sources)
        WriteBytes(Path("src/" + name), data);
    auto engineZip = [&](const std::string& password, int blockSize) {
        TZipWriter w(nullptr);
        w.SetZipName(Path("a.zip"));
        for (const auto& entry : sources)
            w.FilesList()->Add(Path("src/" + entry.first));
        w.SetPassword(password);
        if (blockSize) {
            w.MultiZipInfo()->MultiMode = mmBlocks;
            w.MultiZipInfo()->FirstBlockSize = w.MultiZipInfo()->BlockSize = blockSize;
        }
        w.Zip();
    };
    struct TCase {
        const char* Name;
        std::function<void()> Build;
        std::string Cut;    // the file cut short
        std::string Opened; // the file the reader opens
        std::string Password;
    };
    const TCase cases[] = {
        {"plain",
         [&] {
             WriteRawZip(Path("a.zip"), {{"one.txt", sources.at("one.txt"), 8}, {"dir/two.bin", sources.at("two.bin"), 0}},
                         "archive comment");
         },
         "a.zip", "a.zip", ""},
        {"encrypted", [&] { engineZip("pw", 0); }, "a.zip", "a.zip", "pw"},
        {"block set, data block cut", [&] { engineZip("", 1024); }, "a.001", "a.003", ""},
        {"block set, last block cut", [&] { engineZip("", 1024); }, "a.003", "a.003", ""},
    };
    for (const auto& c : cases) {
        for (const auto& old : {"a.zip", "a.001", "a.002", "a.003"})
            std::filesystem::remove(Path(old));
        c.Build();
        ASSERT_TRUE(FileExists(Path(c.Opened))) << c.Name;
        const TBytes whole = ReadBytes(Path(c.Cut));
        for (size_t cut = 0; cut < whole.size(); ++cut) {
            WriteBytes(Path(c.Cut), TBytes(whole.begin(), whole.begin() + static_cast<long>(cut)));
            std::filesystem::remove_all(Path("out"));
            for (TIncompleteZipMode mode : {izAssumeMulti, izAssumeBad}) {
                auto r = Reader(Path(c.Opened), Path("out"));
                r->SetIncompleteZipMode(mode);
                r->SetDoAll(true);
                r->SetOverwriteMode(Always);
                r->SetPassword(c.Password);
                try {
                    r->ReadZip();
                    r->UnZip();
                } catch (const Exception&) {
                    // Any of the engine's clean failures.
                }
            }
            if (!DirectoryExists(Path("out"))) continue;
            for (const auto& file : std::filesystem::directory_iterator(Path("out"))) {
                const std::string name = file.path().filename().string();
                ASSERT_TRUE(sources.count(name)) << c.Name << ": " << name << " at cut " << cut;
                ASSERT_EQ(ReadBytes(file.path().string()), sources.at(name)) << c.Name << ": " << name << " at cut " << cut;
            }
        }
        WriteBytes(Path(c.Cut), whole);
    }
}

TEST_F(ZipReaderTest, ASecondOperationDuringARunRaises) {
    WriteRawZip(Path("a.zip"), {{"one", Bytes("1")}, {"two", Bytes("2")}});
    auto r = Reader(Path("a.zip"), Path("out"));
    r->SetDoAll(true);
    int raised = 0;
    r->OnStartUnZip = [&](TObject*, int, std::string&, bool&) {
        try {
            r->UnZip();
        } catch (const EZipBusy&) {
            ++raised;
        }
        try {
            r->ReadZip();
        } catch (const EZipBusy&) {
            ++raised;
        }
    };
    EXPECT_EQ(r->UnZip(), 2);
    EXPECT_EQ(raised, 4);
}

TEST_F(ZipReaderTest, OverwriteNeverPassesExistingFilesBy) {
    WriteRawZip(Path("a.zip"), {{"f.txt", Bytes("new")}});
    WriteText(Path("out/f.txt"), "old");
    auto r = Reader(Path("a.zip"), Path("out"));
    r->SetDoAll(true);
    r->SetOverwriteMode(Never);
    std::vector<TZipSkipReason> reasons;
    r->OnSkippingFile = [&](TObject*, TZipSkipReason reason, const std::string&, int, bool&) {
        reasons.push_back(reason);
    };
    EXPECT_EQ(r->UnZip(), 0);
    EXPECT_EQ(ReadBytes(Path("out/f.txt")), Bytes("old"));
    EXPECT_EQ(reasons, std::vector<TZipSkipReason>{srNoOverwrite});
}

TEST_F(ZipReaderTest, ReadOnlyTargetsNeedReplaceReadOnly) {
    WriteRawZip(Path("a.zip"), {{"f.txt", Bytes("new")}});
    WriteText(Path("out/f.txt"), "old");
    chmod(Path("out/f.txt").c_str(), 0444);
    for (bool replace : {false, true}) {
        auto r = Reader(Path("a.zip"), Path("out"));
        r->SetDoAll(true);
        r->SetOverwriteMode(Always);
        r->SetReplaceReadOnly(replace);
        std::vector<TZipSkipReason> reasons;
        r->OnSkippingFile = [&](TObject*, TZipSkipReason reason, const std::string&, int, bool&) {
            reasons.push_back(reason);
        };
        EXPECT_EQ(r->UnZip(), replace ? 1 : 0);
        EXPECT_EQ(reasons.size(), replace ? 0u : 1u);
        EXPECT_EQ(ReadBytes(Path("out/f.txt")), Bytes(replace ? "new" : "old"));
    }
}

TEST_F(ZipReaderTest, SortModesOrderTheEntryView) {
    WriteRawZip(Path("a.zip"), {{"b.txt", TBytes(300, 'b')}, {"a.txt", TBytes(100, 'a')}, {"c.txt", TBytes(200, 'c')}});
    auto r = Reader(Path("a.zip"), Path("out"));
    r->ReadZip();
    EXPECT_EQ(r->GetFilename(0), "b.txt");
    r->SetSortMode(ByName);
    EXPECT_EQ(r->GetFilename(0), "a.txt");
    r->SetSortMode(ByUnCompressedSize);
    EXPECT_EQ(r->GetFilename(2), "b.txt");
    r->SetSortMode(ByNone);
    EXPECT_EQ(r->GetFilename(0), "b.txt");
}

TEST_F(ZipReaderTest, TwoHeadersAtOneOffsetFailTheRead) {
    TBytes bytes;
    WriteRawZip(Path("a.zip"), {{"one", Bytes("1")}, {"two", Bytes("2")}});
    bytes = ReadBytes(Path("a.zip"));
    // Point the second central header at the first local header.
    const size_t central = bytes.size() - 22 - 2 * (46 + 3);
    const size_t second = central + 46 + 3;
    for (int i = 0; i < 4; ++i)
        bytes[second + 42 + i] = 0;
    WriteBytes(Path("dup.zip"), bytes);
    auto r = Reader(Path("dup.zip"), Path("out"));
    try {
        r->ReadZip();
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "Duplicate Object index");
    }
    EXPECT_EQ(r->GetCount(), 0);
}

TEST_F(ZipReaderTest, KeptOpenArchiveReplacedOnDiskIsReadAnew) {
    WriteRawZip(Path("a.zip"), {{"one", Bytes("1")}});
    auto r = Reader(Path("a.zip"), Path("out"));
    r->SetKeepZipOpen(true);
    r->ReadZip();
    ASSERT_EQ(r->GetCount(), 1);
    // Replaced as the writer replaces it: a new file renamed over the old one.
    WriteRawZip(Path("new.zip"), {{"one", Bytes("1")}, {"two", Bytes("2")}});
    std::filesystem::rename(Path("new.zip"), Path("a.zip"));
    r->ReadZip();
    EXPECT_EQ(r->GetCount(), 2);
    r->SetDoAll(true);
    EXPECT_EQ(r->UnZip(), 2);
    EXPECT_EQ(ReadBytes(Path("out/two")), Bytes("2"));
}

TEST_F(ZipReaderTest, ALineEqualToAnEntryNameSelectsJustThatEntry) {
    WriteRawZip(Path("a.zip"), {{"a<b>c.txt", Bytes("set-like")},
                                {"abc.txt", Bytes("plain")},
                                {"star*.txt", Bytes("star")},
                                {"starry.txt", Bytes("starry")}});
    struct TCase {
        const char* Line;
        std::vector<std::string> Extracted;
    } cases[] = {
        {"a<b>c.txt", {"a<b>c.txt"}},               // a name, not the set <b>
        {"star*.txt", {"star*.txt"}},               // a name, not a pattern
        {"a<xb>c.txt", {"abc.txt"}},                // no such name: a pattern
        {"STAR*.TXT", {"star*.txt", "starry.txt"}}, // names compare exactly; this is a pattern
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(Path("out"));
        auto r = Reader(Path("a.zip"), Path("out"));
        r->FilesList()->Add(c.Line);
        EXPECT_EQ(r->UnZip(), static_cast<int>(c.Extracted.size())) << c.Line;
        std::vector<std::string> expected;
        for (const auto& name : c.Extracted)
            expected.push_back("out/" + name);
        expected.insert(expected.begin(), "a.zip");
        EXPECT_EQ(AllFiles(), expected) << c.Line;
    }
    // The application's unpacking loop: each entry by the name GetFilename gives, once.
    std::filesystem::remove_all(Path("out"));
    auto r = Reader(Path("a.zip"), Path("out"));
    r->ReadZip();
    for (int i = 0; i < r->GetCount(); ++i) {
        r->FilesList()->Clear();
        r->FilesList()->Add(r->GetFilename(i));
        EXPECT_EQ(r->UnZip(), 1) << r->GetFilename(i);
    }
    EXPECT_EQ(ReadBytes(Path("out/a<b>c.txt")), Bytes("set-like"));
}

TEST_F(ZipReaderTest, AnEntryThatCannotBeExtractedFailsAloneAndTheRunGoesOn) {
    const TBytes first = Bytes("first"), middle = Bytes("middle");
    // Where the middle entry's local and central headers lie in what WriteRawZip writes.
    const size_t local = 30 + 9 + first.size();
    auto central = [&](const TBytes& b) { return Get32(&b[b.size() - 22 + 16]) + 46 + 9; };
    struct TCase {
        const char* Damage;
        std::string MiddleName;
        std::function<void(TBytes&)> Spoil;
    } cases[] = {
        {"no name at all", "", [](TBytes&) {}},
        {"local signature garbled", "middle.txt", [&](TBytes& b) { b[local] ^= 0xFF; }},
        {"local header past the end", "middle.txt", [&](TBytes& b) { b[central(b) + 45] = 0x7F; }},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(Path("out"));
        WriteRawZip(Path("a.zip"), {{"first.txt", first}, {c.MiddleName, middle}, {"last.txt", Bytes("last")}});
        TBytes bytes = ReadBytes(Path("a.zip"));
        c.Spoil(bytes);
        WriteBytes(Path("a.zip"), bytes);
        auto r = Reader(Path("a.zip"), Path("out"));
        r->SetDoAll(true);
        r->SetRecreateDirs(true);
        std::vector<std::string> ended;
        r->OnEndUnZip = [&](TObject*, int, const std::string& name) { ended.push_back(NamePart(name)); };
        EXPECT_EQ(r->UnZip(), 2) << c.Damage;
        EXPECT_EQ(ended, (std::vector<std::string>{"first.txt", "last.txt"})) << c.Damage;
        EXPECT_EQ(ReadBytes(Path("out/last.txt")), Bytes("last")) << c.Damage;
    }
}

TEST_F(ZipReaderTest, EntryCommentOverTheFormatLimitIsRefusedAndTheOldOneStays) {
    WriteRawZip(Path("a.zip"), {{"one", Bytes("1")}});
    auto r = Reader(Path("a.zip"), Path("out"));
    r->ReadZip();
    r->SetFileComment(0, "before");
    EXPECT_THROW(r->SetFileComment(0, std::string(65536, 'c')), EZipUnsupported);
    EXPECT_EQ(r->GetFileComment(0), "before");
    r->SetFileComment(0, std::string(65535, 'c'));
    EXPECT_EQ(r->GetEntry(0)->FileCommentLength, 65535);
}

TEST_F(ZipReaderTest, AnEntryCountThatWrappedPast65535IsRefusedAsZip64) {
    std::vector<TRawEntry> many(65537);
    for (size_t i = 0; i < many.size(); ++i)
        many[i].Name = "e" + std::to_string(i);
    WriteRawZip(Path("many.zip"), many); // the end record's count reads 1
    auto r = Reader(Path("many.zip"), Path("out"));
    try {
        r->ReadZip();
        ADD_FAILURE() << "read as " << r->GetCount() << " entries";
    } catch (const EZipUnsupported& e) {
        EXPECT_NE(e.Message().find("Zip64"), std::string::npos);
    }
    EXPECT_EQ(r->GetCount(), 0);
}
