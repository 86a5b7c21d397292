// The engine's own support classes and routines: list growth and errors, the
// buffered stream's putback and seek rules, the directory walker, the wildcard
// matcher and DOS date sanitising.
#include <gtest/gtest.h>

#include "ZipTestSupport.h"
#include "platform/rtl/FileUtils.h"
#include "zip/BufferStream.h"
#include "zip/DirSearch.h"
#include "zip/ObjectList.h"
#include "zip/ZipFormat.h"
#include "zip/ZipUtils.h"

using namespace zip;
using namespace ziptest;

TEST(ObjectList, GrowsByFourThenEightThenSixteen) {
    TObjectList list;
    const std::pair<int, int> steps[] = {{1, 4}, {5, 8}, {9, 16}, {17, 32}};
    int added = 0;
    for (const auto& [count, capacity] : steps) {
        while (added < count) {
            list.Add(new TObject);
            ++added;
        }
        EXPECT_EQ(list.Capacity(), capacity) << count;
    }
    EXPECT_THROW(list.Items(17), EListError);
    EXPECT_THROW(list.Items(-1), EListError);
    list.Clear();
    EXPECT_EQ(list.Capacity(), 0);
}

TEST(ObjectList, SortedListRefusesPutAndNeighbourOfAStranger) {
    TSortedZip list;
    auto* a = new TZipHeaderInfo;
    a->RelativeOffset = 10;
    list.Add(a);
    try {
        list.Put(0, nullptr);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "Cannot <Put> an Object in a sorted list!");
    }
    TZipHeaderInfo stranger;
    try {
        list.Neighbour(&stranger, 1);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "tObject TZipHeaderInfo not in item list");
    }
    EXPECT_EQ(list.Neighbour(nullptr, 1), a);
}

TEST(ObjectList, ArchiveOrderFollowsDiskThenOffset) {
    TSortedZip list;
    for (auto [disk, offset] : {std::pair{1, 5}, {0, 90}, {0, 7}}) {
        auto* e = new TZipHeaderInfo;
        e->DiskNumberStart = static_cast<uint16_t>(disk);
        e->RelativeOffset = static_cast<uint32_t>(offset);
        list.Add(e);
    }
    EXPECT_EQ(list.Entry(0)->RelativeOffset, 7u);
    EXPECT_EQ(list.Entry(1)->RelativeOffset, 90u);
    EXPECT_EQ(list.Entry(2)->RelativeOffset, 5u);
}

TEST(BufferStream, PutbackAndSeekRules) {
    TMemoryStream inner;
    const std::string data(20000, 'x');
    inner.WriteBuffer(data.data(), static_cast<Integer>(data.size()));
    inner.SetPosition(0);
    TS_BufferStream buffered(&inner, 8192);
    uint8_t b;
    ASSERT_EQ(buffered.Read(&b, 1), 1);
    buffered.Putback('y');
    ASSERT_EQ(buffered.Read(&b, 1), 1);
    EXPECT_EQ(b, 'y');
    // Right after a refill there is nothing before the read position.
    buffered.Seek(8192, soBeginning);
    ASSERT_EQ(buffered.Read(&b, 1), 1);
    buffered.Putback('z');
    try {
        buffered.Putback('w');
        FAIL();
    } catch (const EStreamError& e) {
        EXPECT_EQ(e.Message(), "Putback overflow");
    }
    try {
        buffered.Seek(0, static_cast<TSeekOrigin>(7));
        FAIL();
    } catch (const EStreamError& e) {
        EXPECT_EQ(e.Message(), "Invalid seek origin (7)");
    }
}

TEST(BufferStream, SeekToTheCurrentPositionDoesNotFlush) {
    TMemoryStream inner;
    TS_BufferStream buffered(&inner, 8192);
    buffered.WriteBuffer("abc", 3);
    EXPECT_EQ(buffered.Seek(0, soCurrent), 3);
    EXPECT_EQ(inner.Size(), 0);
    buffered.Seek(0, soBeginning);
    EXPECT_EQ(inner.Size(), 3);
}

class DirSearchTest : public TZipTest {};

TEST_F(DirSearchTest, ReportsFilesAndEachFolderOnceWithoutEnteringLinks) {
    WriteText(Path("top.txt"), "");
    WriteText(Path("a/inner.txt"), "");
    WriteText(Path("a/b/deep"), "");
    ForceDirectories(Path("elsewhere"));
    WriteText(Path("elsewhere/never.txt"), "");
    std::filesystem::create_directory_symlink(Path("elsewhere"), Path("a/link"));
    std::filesystem::create_directory_symlink(Path("a"), Path("a/b/loop"));
    TDirSearch search(Path("a"), true, "*");
    std::vector<std::string> found;
    for (std::string s = search.Next(); !s.empty(); s = search.Next())
        found.push_back(s.substr(Folder.Path().size()));
    EXPECT_EQ(found, (std::vector<std::string>{"a/b/", "a/b/deep", "a/inner.txt"}));
    TDirSearch masked(Path(""), false, "*.TXT");
    EXPECT_EQ(masked.Next(), Path("top.txt"));
    EXPECT_EQ(masked.Next(), "");
}

TEST_F(DirSearchTest, WalksEveryFolderThatMatchesTheStartFoldersWildcardLevels) {
    for (const char* file : {"p1/docs/a.txt", "p1/docs/sub/e.txt", "p2/Docs/b.txt", "p2/other/c.txt", "q/docs/d.txt"})
        WriteText(Path(file), "");
    WriteText(Path("p3"), ""); // a file, no folder to enter
    auto walk = [&](const std::string& start, bool recurse) {
        TDirSearch search(Path(start), recurse, "*.TXT");
        std::vector<std::string> found;
        for (std::string s = search.Next(); !s.empty(); s = search.Next())
            found.push_back(s.substr(Folder.Path().size()));
        return found;
    };
    EXPECT_EQ(walk("p*/docs", false), (std::vector<std::string>{"p1/docs/a.txt", "p2/Docs/b.txt"}));
    EXPECT_EQ(walk("p<12>/docs/", true),
              (std::vector<std::string>{"p1/docs/a.txt", "p1/docs/sub/", "p1/docs/sub/e.txt", "p2/Docs/b.txt"}));
    EXPECT_EQ(walk("*.*/o*", false), std::vector<std::string>{"p2/other/c.txt"});
    EXPECT_TRUE(walk("x*/docs", false).empty());
}

TEST_F(DirSearchTest, WalksTwentyLevelsBelowTheStartAndRefusesTheTwentyFirst) {
    std::string deep = "d";
    for (int level = 0; level < 20; ++level)
        deep += "/d";
    WriteText(Path(deep + "/bottom.txt"), "");
    auto last = [&] {
        TDirSearch search(Path("d"), true, "BOTTOM.TXT");
        std::string found;
        for (std::string s = search.Next(); !s.empty(); s = search.Next())
            found = s;
        return found;
    };
    EXPECT_EQ(last(), Path(deep + "/bottom.txt"));
    ForceDirectories(Path(deep + "/d"));
    try {
        last();
        ADD_FAILURE() << "a folder past the deepest level was left out without a word";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.Message(), "Folders nest more than 21 levels deep at " + Path(deep + "/d/"));
    }
}

TEST(Wildcards, MatchTable) {
    struct TCase {
        const char* Pattern;
        const char* Text;
        bool Match;
    } cases[] = {
        {"*", "ANYTHING", true},
        {"*.TXT", "A.TXT", true},
        {"*.TXT", "A.TXT.BAK", false},
        {"A?C", "ABC", true},
        {"A?C", "AC", false},
        {"<ABC>X", "BX", true},
        {"<A-C>X", "DX", false},
        {"<!A-C>X", "DX", true},
        {"<^A>X", "AX", false},
        {"*REPORT.TXT", "SUB/REPORT.TXT", true},
        {"REPORT.TXT", "SUB/REPORT.TXT", false},
        {"项?.DOC", "项目.DOC", true},
        {"*A*B*C", "XAYBZC", true},
        {"*A*B*C", "XAYCZB", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WildcardMatch(c.Pattern, c.Text), c.Match) << c.Pattern << " " << c.Text;
    EXPECT_TRUE(HasWildcard("a|b"));
    EXPECT_FALSE(HasWildcard("plain[1].txt"));
}

TEST(DosDates, SanitisingClampsEachPart) {
    auto pack = [](unsigned y, unsigned mo, unsigned d, unsigned h, unsigned mi, unsigned s) {
        return (s / 2) | mi << 5 | h << 11 | d << 16 | mo << 21 | (y - 1980) << 25;
    };
    struct TCase {
        const char* Name;
        uint32_t In, Out;
    } cases[] = {
        {"valid", pack(2024, 2, 29, 12, 30, 10), pack(2024, 2, 29, 12, 30, 10)},
        {"month 0", pack(2020, 0, 5, 1, 1, 0), pack(2020, 1, 5, 1, 1, 0)},
        {"hour 25", pack(2020, 3, 5, 25, 1, 0), pack(2020, 3, 5, 23, 1, 0)},
        {"minute 61", pack(2020, 3, 5, 1, 61, 0), pack(2020, 3, 5, 1, 59, 0)},
        {"seconds 62", pack(2020, 3, 5, 1, 1, 62), pack(2020, 3, 5, 1, 1, 58)},
        {"day 31 of February", pack(2023, 2, 31, 0, 0, 0), pack(2023, 2, 28, 0, 0, 0)},
        {"day 0", pack(2023, 4, 0, 0, 0, 0), pack(2023, 4, 1, 0, 0, 0)},
        {"month 13", pack(2023, 13, 10, 0, 0, 0), pack(2023, 12, 10, 0, 0, 0)},
        {"year 2105", pack(2105, 1, 1, 0, 0, 0), pack(2099, 1, 1, 0, 0, 0)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SanitiseDosDateTime(c.In), c.Out) << c.Name;
    EXPECT_EQ(DateTimeToDosDateTime(EncodeDate(1970, 1, 1)), pack(1980, 1, 1, 0, 0, 0));
    EXPECT_EQ(Percentage(1, 3), 33);
    EXPECT_EQ(Percentage(5, 0), 0);
    EXPECT_EQ(Percentage(int64_t{3} << 40, int64_t{4} << 40), 75);
}
