// The on-disk records: finding the end record, names in GBK and UTF-8, the
// retry over a wrongly declared extra field, and Zip64 refused cleanly.
#include "zip/ZipFormat.h"

#include <gtest/gtest.h>

#include "ZipTestSupport.h"
#include "zip/ZipExceptions.h"
#include "zip/ZipReader.h"

using namespace zip;
using namespace ziptest;

namespace {

TBytes Bytes(const std::string& s) {
    return TBytes(s.begin(), s.end());
}

class ZipFormatTest : public TZipTest {
protected:
    bool FindIn(const TBytes& bytes, TEndCentral& end) {
        TMemoryStream stream;
        if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
        return FindEndRecord(end, stream);
    }
    int Count(const std::string& archive) {
        TZipReader r(nullptr);
        r.SetZipName(archive);
        r.ReadZip();
        return r.GetCount();
    }
};

} // namespace

TEST_F(ZipFormatTest, EndRecordSearch) {
    TEndCentral end;
    EXPECT_TRUE(FindIn({}, end));
    EXPECT_EQ(end.TotalEntries, 0);
    EXPECT_FALSE(FindIn(TBytes(10, 'x'), end));

    WriteRawZip(Path("long.zip"), {{"a", Bytes("1")}}, std::string(65535, 'c'));
    ASSERT_TRUE(FindIn(ReadBytes(Path("long.zip")), end));
    EXPECT_EQ(end.TotalEntries, 1);
    EXPECT_EQ(end.CommentLength, 65535);

    TBytes disk1000 = ReadBytes(Path("long.zip"));
    const size_t record = disk1000.size() - 22 - 65535;
    disk1000[record + 4] = 0xE8; // this disk = 1000
    disk1000[record + 5] = 0x03;
    EXPECT_FALSE(FindIn(disk1000, end));
}

TEST_F(ZipFormatTest, NamesWithFoldersAreSplitAndWrittenBackWithSlashes) {
    WriteRawZip(Path("a.zip"), {{"one/two\\three.txt", Bytes("x")}});
    TZipReader r(nullptr);
    r.SetZipName(Path("a.zip"));
    r.ReadZip();
    ASSERT_EQ(r.GetCount(), 1);
    EXPECT_EQ(r.GetEntry(0)->Directory(), "one/two/");
    EXPECT_EQ(r.GetEntry(0)->FileName(), "three.txt");
    TZipHeaderInfo e;
    e.SetDirectory("folder");
    e.SetFileName("淺.txt");
    EXPECT_EQ(e.Directory(), "folder/");
    EXPECT_EQ(e.StoredName(), "folder/\x9C\x5C.txt"); // GBK, trail byte 0x5C kept as it is
    EXPECT_EQ(e.Flag & FlagUtf8Name, 0);
    e.SetFileName("😀");
    EXPECT_EQ(e.StoredName(), "folder/😀");
    EXPECT_EQ(e.Flag & FlagUtf8Name, FlagUtf8Name);
}

TEST_F(ZipFormatTest, GbkNameWithBackslashTrailByteReadsWhole) {
    WriteRawZip(Path("a.zip"), {{"\x9C\x5C\xB1\xED.txt", Bytes("x")}}); // 淺表.txt in GBK
    TZipReader r(nullptr);
    r.SetZipName(Path("a.zip"));
    r.ReadZip();
    EXPECT_EQ(r.GetEntry(0)->Directory(), "");
    EXPECT_EQ(r.GetFilename(0), "淺表.txt");
}

TEST_F(ZipFormatTest, AWronglyDeclaredExtraFieldStillYieldsTheNextEntry) {
    WriteRawZip(Path("a.zip"), {{"one", Bytes("1")}, {"two", Bytes("2")}});
    TBytes bytes = ReadBytes(Path("a.zip"));
    // Declare a 5-byte extra field in the first central header that is not there.
    const size_t central = bytes.size() - 22 - 2 * (46 + 3);
    bytes[central + 30] = 5;
    WriteBytes(Path("b.zip"), bytes);
    EXPECT_EQ(Count(Path("b.zip")), 2);
}

TEST_F(ZipFormatTest, Zip64ArchivesAreRefusedWithAClearError) {
    WriteRawZip(Path("a.zip"), {{"one", Bytes("1")}});
    TBytes bytes = ReadBytes(Path("a.zip"));
    // A Zip64 end-of-directory locator just before the end record, whose offset says "see Zip64".
    TBytes locator;
    Put32(locator, 0x07064B50);
    Put32(locator, 0);
    Put32(locator, 0);
    Put32(locator, 0);
    Put32(locator, 1);
    bytes.insert(bytes.end() - 22, locator.begin(), locator.end());
    for (int i = 0; i < 4; ++i)
        bytes[bytes.size() - 22 + 16 + i] = 0xFF;
    WriteBytes(Path("z64.zip"), bytes);
    TZipReader r(nullptr);
    r.SetZipName(Path("z64.zip"));
    try {
        r.ReadZip();
        FAIL();
    } catch (const EZipUnsupported& e) {
        EXPECT_EQ(e.Message(), "Zip64 archives are not supported");
    }
}
