// The events the application and the UI rely on: their order during a run,
// progress that ends at 100, message processing while working, and a second
// operation refused while one runs.
#include <gtest/gtest.h>

#include "ZipTestSupport.h"
#include "zip/ZipExceptions.h"
#include "zip/ZipHooks.h"
#include "zip/ZipUtils.h"
#include "zip/ZipWriter.h"

using namespace zip;
using namespace ziptest;

namespace {

class ZipEventsTest : public TZipTest {
protected:
    void TearDown() override {
        ZipHooks().ProcessMessages = nullptr;
        TZipTest::TearDown();
    }
};

} // namespace

TEST_F(ZipEventsTest, WriterAndReaderReportInOrderAndFinishAt100) {
    WriteBytes(Path("src/a.txt"), TextBytes(100000, 1));
    WriteBytes(Path("src/b.bin"), RandomBytes(70000, 2));
    int messagesProcessed = 0;
    ZipHooks().ProcessMessages = [&] { ++messagesProcessed; };

    std::vector<std::string> log;
    int lastTotal = -1;
    TZipWriter w(nullptr);
    w.SetZipName(Path("a.zip"));
    w.FilesList()->Add(Path("src/*"));
    w.OnStartZipInfo = [&](TObject*, int n, int64_t bytes, TEndCentral&, bool&) {
        log.push_back("info " + std::to_string(n) + " " + std::to_string(bytes));
    };
    w.OnStartZip = [&](TObject*, const std::string& name, TZipHeaderInfo&, bool&) {
        log.push_back("start " + NamePart(name));
    };
    w.OnEndZip = [&](TObject*, const std::string& name, int64_t, int64_t, int64_t) {
        log.push_back("end " + NamePart(name));
    };
    w.OnZipComplete = [&](TObject*, int n) { log.push_back("complete " + std::to_string(n)); };
    w.OnTotalPercentDone = [&](TObject*, int p) {
        EXPECT_GE(p, lastTotal);
        lastTotal = p;
    };
    EXPECT_EQ(w.Zip(), 2);
    EXPECT_EQ(log, (std::vector<std::string>{"info 2 170000", "start a.txt", "end a.txt", "start b.bin", "end b.bin",
                                             "complete 2"}));
    EXPECT_EQ(lastTotal, 100);
    EXPECT_GT(messagesProcessed, 0);

    log.clear();
    lastTotal = -1;
    TZipReader r(nullptr);
    r.SetZipName(Path("a.zip"));
    r.SetDestDir(Path("out"));
    r.SetDoAll(true);
    r.OnStartUnZipInfo = [&](TObject*, int n, int64_t bytes, bool&) {
        log.push_back("info " + std::to_string(n) + " " + std::to_string(bytes));
    };
    r.OnStartUnZip = [&](TObject*, int i, std::string&, bool&) { log.push_back("start " + std::to_string(i)); };
    r.OnEndUnZip = [&](TObject*, int i, const std::string&) { log.push_back("end " + std::to_string(i)); };
    r.OnUnZipComplete = [&](TObject*, int n) { log.push_back("complete " + std::to_string(n)); };
    r.OnTotalPercentDone = [&](TObject*, int p) {
        EXPECT_GE(p, lastTotal);
        lastTotal = p;
    };
    EXPECT_EQ(r.UnZip(), 2);
    EXPECT_EQ(log, (std::vector<std::string>{"info 2 170000", "start 0", "end 0", "start 1", "end 1", "complete 2"}));
    EXPECT_EQ(lastTotal, 100);
}

TEST_F(ZipEventsTest, StartUnZipCanRenameOrSkip) {
    WriteText(Path("src/a.txt"), "a");
    WriteText(Path("src/b.txt"), "b");
    TZipWriter w(nullptr);
    w.SetZipName(Path("a.zip"));
    w.FilesList()->Add(Path("src/a.txt"));
    w.FilesList()->Add(Path("src/b.txt"));
    w.Zip();
    TZipReader r(nullptr);
    r.SetZipName(Path("a.zip"));
    r.SetDestDir(Path("out"));
    r.SetDoAll(true);
    r.OnStartUnZip = [&](TObject*, int i, std::string& name, bool& skip) {
        if (i == 0)
            name = Path("renamed/first.txt");
        else
            skip = true;
    };
    EXPECT_EQ(r.UnZip(), 1);
    EXPECT_EQ(ReadBytes(Path("renamed/first.txt")), TBytes{'a'});
    EXPECT_FALSE(std::filesystem::exists(Path("out/b.txt")));
}

TEST_F(ZipEventsTest, ZipDuringZipRaisesAndTheFirstRunCompletes) {
    WriteText(Path("src/a.txt"), "a");
    TZipWriter w(nullptr);
    w.SetZipName(Path("a.zip"));
    w.FilesList()->Add(Path("src/a.txt"));
    int refused = 0;
    w.OnStartZip = [&](TObject*, const std::string&, TZipHeaderInfo&, bool&) {
        try {
            w.Zip();
        } catch (const EZipBusy&) {
            ++refused;
        }
        try {
            w.SetZipName(Path("other.zip"));
        } catch (const EZipBusy&) {
            ++refused;
        }
    };
    EXPECT_EQ(w.Zip(), 1);
    EXPECT_EQ(refused, 2);
    EXPECT_EQ(w.ZipName(), Path("a.zip"));
    EXPECT_EQ(w.GetCount(), 1);
}
