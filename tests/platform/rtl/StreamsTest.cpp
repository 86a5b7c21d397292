// Streams: short reads and writes, the error texts, 64-bit positions and
// the file modes.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Streams.h"
#include "tests/support/ScratchFolder.h"

namespace {

// The message of the exception of class E that Action raises.
template <typename E, typename F> std::string MessageOf(F Action) {
    try {
        Action();
    } catch (const E& e) {
        return e.Message();
    }
    return "no exception";
}

TEST(StreamsTest, ReadAndWriteBufferInsistOnEveryByte) {
    TMemoryStream stream;
    stream.WriteBuffer("abcdef", 6);
    stream.SetPosition(4);
    char buffer[8] = {};
    EXPECT_EQ(stream.Read(buffer, 8), 2) << "Read moves what there is";
    EXPECT_EQ(std::string(buffer, 2), "ef");
    stream.SetPosition(4);
    try {
        stream.ReadBuffer(buffer, 3);
        FAIL() << "no exception";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Stream read error");
    }
}

TEST(StreamsTest, WritingToAReadOnlyFileRaisesWriteError) {
    TScratchFolder folder;
    { TFileStream create(folder / "f.bin", fmCreate); }
    TFileStream stream(folder / "f.bin", fmOpenRead | fmShareDenyNone);
    EXPECT_EQ(stream.Write("x", 1), 0);
    try {
        stream.WriteBuffer("x", 1);
        FAIL() << "no exception";
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.Message(), "Stream write error");
    }
}

TEST(StreamsTest, OpenAndCreateFailuresNameTheFile) {
    TScratchFolder folder;
    const std::string missing = folder / "missing.dat";
    EXPECT_EQ(MessageOf<EFOpenError>([&] { TFileStream s(missing, fmOpenRead); }),
              "Cannot open file \"" + missing + "\". No such file or directory");
    const std::string noFolder = folder / "no/such/file.dat";
    EXPECT_EQ(MessageOf<EFCreateError>([&] { TFileStream s(noFolder, fmCreate); }),
              "Cannot create file \"" + noFolder + "\". No such file or directory");
    EXPECT_THROW(TFileStream(folder.Path(), fmOpenRead), EFOpenError) << "a folder is no file";
}

TEST(StreamsTest, FileModesAndSeekOrigins) {
    TScratchFolder folder;
    const std::string name = folder / "data.bin";
    {
        TFileStream stream(name, fmCreate | fmShareExclusive);
        stream.WriteBuffer("0123456789", 10);
        EXPECT_EQ(stream.Seek(-3, soFromEnd), 7);
        EXPECT_EQ(stream.Seek(1, soFromCurrent), 8);
        EXPECT_EQ(stream.Seek(2, soFromBeginning), 2);
        stream.WriteBuffer("ab", 2);
        stream.SetSize(6);
        EXPECT_EQ(stream.Size(), 6);
    }
    {
        TFileStream stream(name, fmOpenReadWrite);
        stream.Seek(0, soEnd);
        stream.WriteBuffer("Z", 1);
    }
    TFileStream stream(name, fmOpenRead);
    char buffer[16] = {};
    stream.ReadBuffer(buffer, Integer(stream.Size()));
    EXPECT_STREQ(buffer, "01ab45Z");
    { TFileStream truncate(name, fmCreate); }
    EXPECT_EQ(TFileStream(name, fmOpenRead).Size(), 0) << "fmCreate truncates";
}

TEST(StreamsTest, PositionsBeyondFourGigabytes) {
    TScratchFolder folder;
    TFileStream stream(folder / "sparse.bin", fmCreate);
    const Int64 far = (Int64(5) << 30) + 7;
    EXPECT_EQ(stream.Seek(far, soBeginning), far);
    stream.WriteBuffer("!", 1);
    EXPECT_EQ(stream.Size(), far + 1);
    EXPECT_EQ(stream.Position(), far + 1);
    TMemoryStream memory;
    EXPECT_EQ(memory.Seek(far, soBeginning), far) << "a memory stream keeps a 64-bit position too";
}

TEST(StreamsTest, MemoryStreamCopyAndFiles) {
    TScratchFolder folder;
    TMemoryStream source;
    std::string data(200000, 'x');
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = char(i * 7);
    source.WriteBuffer(data.data(), Integer(data.size()));
    TMemoryStream copy;
    EXPECT_EQ(copy.CopyFrom(&source, 0), Int64(data.size())) << "0 copies all from the start";
    EXPECT_EQ(std::memcmp(copy.Memory(), data.data(), data.size()), 0);
    source.SetPosition(10);
    TStringStream part;
    part.CopyFrom(&source, 5);
    EXPECT_EQ(part.DataString(), data.substr(10, 5));
    EXPECT_THROW(part.CopyFrom(&source, Int64(data.size())), EReadError) << "a short source";

    copy.SaveToFile(folder / "copy.bin");
    TMemoryStream loaded;
    loaded.LoadFromFile(folder / "copy.bin");
    EXPECT_EQ(loaded.Size(), Int64(data.size()));
    EXPECT_EQ(loaded.Position(), 0);
    loaded.Clear();
    EXPECT_EQ(loaded.Size(), 0);
    // Writing past the end fills the gap with zeros.
    loaded.Seek(3, soBeginning);
    loaded.WriteBuffer("a", 1);
    EXPECT_EQ(std::string(static_cast<const char*>(loaded.Memory()), 4), std::string("\0\0\0a", 4));
    loaded.Seek(-10, soBeginning);
    char c;
    EXPECT_EQ(loaded.Read(&c, 1), 0) << "a position before the start reads nothing";
}

TEST(StreamsTest, StringStreamReadsAndWritesText) {
    TStringStream stream("hello");
    EXPECT_EQ(stream.ReadString(2), "he");
    stream.Seek(0, soEnd);
    stream.WriteString(" world");
    EXPECT_EQ(stream.DataString(), "hello world");
    stream.SetPosition(6);
    EXPECT_EQ(stream.ReadString(100), "world");
}

} // namespace
