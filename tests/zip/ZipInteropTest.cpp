// The application's two calling sequences against the outside judges: archives
// we pack pass unzip -t, Python's testzip and 7z t and hold the sources' bytes;
// archives made by zip, Python and 7z unpack here byte for byte.
#include <gtest/gtest.h>

#include <map>

#include "ZipTestSupport.h"
#include "platform/rtl/FileUtils.h"
#include "zip/ZipReader.h"
#include "zip/ZipWriter.h"

using namespace zip;
using namespace ziptest;

namespace {

// The sources: every size class the decoder's buffers care about.
std::map<std::string, TBytes> Sources() {
    return {
        {"empty.bin", {}},
        {"tiny.txt", {'h', 'i', '\n'}},
        {"t32767.txt", TextBytes(32767, 1)},
        {"t32768.txt", TextBytes(32768, 2)},
        {"t32769.txt", TextBytes(32769, 3)},
        {"text1m.txt", TextBytes(1 << 20, 4)},
        {"binary.bin",
         [] {
             TBytes b = RandomBytes(150000, 5);
             for (size_t i = 0; i < b.size(); i += 3)
                 b[i] = static_cast<uint8_t>(i & 0x0F);
             return b;
         }()},
        {"random.bin", RandomBytes(300000, 6)},
        {"zeros.bin", TBytes(500000, 0)},
    };
}

class ZipInterop : public TZipTest {
protected:
    // The packing sequence of the application.
    void Pack(const std::string& archive, const std::vector<std::string>& files, int level) {
        TZipWriter writer(nullptr);
        for (const auto& f : files)
            writer.FilesList()->Add(f);
        writer.SetZipName(archive);
        writer.SetRecurse(true);
        writer.SetPackLevel(level);
        writer.Zip();
    }
    // The unpacking sequence of the application: one run per entry, by bare file name.
    int Unpack(const std::string& archive, const std::string& dest) {
        TZipReader reader(nullptr);
        reader.SetZipName(archive);
        reader.SetDestDir(dest);
        reader.ReadZip();
        reader.SetDoAll(false);
        int extracted = 0;
        for (int i = 0; i < reader.GetCount(); ++i) {
            reader.FilesList()->Clear();
            reader.FilesList()->Add(reader.GetFilename(i));
            extracted += reader.UnZip();
        }
        return extracted;
    }
    std::vector<std::string> WriteSources(const std::string& folder) {
        std::vector<std::string> files;
        for (const auto& [name, data] : Sources()) {
            WriteBytes(Path(folder + name), data);
            files.push_back(Path(folder + name));
        }
        return files;
    }
    void ExpectUnpackedSources(const std::string& dest) {
        for (const auto& [name, data] : Sources())
            EXPECT_EQ(ReadBytes(Path(dest + name)), data) << name;
    }
};

} // namespace

TEST_F(ZipInterop, OurArchivesPassEveryJudgeAtEveryLevel) {
    REQUIRE_TOOL("unzip");
    REQUIRE_TOOL("python3");
    REQUIRE_TOOL("7z");
    const auto files = WriteSources("src/");
    for (int level : {0, 1, 6, 9}) {
        const std::string archive = Path("level" + std::to_string(level) + ".zip");
        Pack(archive, files, level);
        EXPECT_EQ(RunCommand("unzip -tq " + Quote(archive)), 0) << level;
        EXPECT_EQ(RunCommand("7z t " + Quote(archive)), 0) << level;
        const std::string out = Path("py" + std::to_string(level) + "/");
        const std::string script = "import zipfile,sys\n"
                                   "z=zipfile.ZipFile(sys.argv[1])\n"
                                   "assert z.testzip() is None\n"
                                   "z.extractall(sys.argv[2])\n";
        WriteText(Path("judge.py"), script);
        ASSERT_EQ(RunCommand("python3 " + Quote(Path("judge.py")) + " " + Quote(archive) + " " + Quote(out)), 0)
            << level;
        ExpectUnpackedSources("py" + std::to_string(level) + "/");
        // And back through our own reader.
        EXPECT_EQ(Unpack(archive, Path("ours" + std::to_string(level))), static_cast<int>(Sources().size()));
        ExpectUnpackedSources("ours" + std::to_string(level) + "/");
    }
}

TEST_F(ZipInterop, InfoZipArchivesOfEveryLevelUnpackByteForByte) {
    REQUIRE_TOOL("zip");
    WriteSources("src/");
    for (int level = 0; level <= 9; ++level) {
        const std::string archive = Path("z" + std::to_string(level) + ".zip");
        ASSERT_EQ(RunCommand("cd " + Quote(Path("src")) + " && zip -q -" + std::to_string(level) + " -r " +
                             Quote(archive) + " ."),
                  0);
        const std::string dest = "out" + std::to_string(level) + "/";
        EXPECT_EQ(Unpack(archive, Path(dest)), static_cast<int>(Sources().size())) << level;
        ExpectUnpackedSources(dest);
    }
}

TEST_F(ZipInterop, InfoZipChineseNamesFromThisSystemReadBack) {
    REQUIRE_TOOL("zip");
    // zip here stores the names' UTF-8 bytes without flag bit 11, under a Unix host.
    const std::vector<std::string> names = {"科技项目设计书.doc", "淺表.txt"};
    for (const auto& n : names)
        WriteText(Path("src/" + n), n);
    ASSERT_EQ(RunCommand("cd " + Quote(Path("src")) + " && zip -q " + Quote(Path("n.zip")) + " *"), 0);
    EXPECT_EQ(Unpack(Path("n.zip"), Path("out")), 2);
    for (const auto& n : names)
        EXPECT_EQ(ReadBytes(Path("out/" + n)), TBytes(n.begin(), n.end())) << n;
}

TEST_F(ZipInterop, SevenZipArchiveUnpacksByteForByte) {
    REQUIRE_TOOL("7z");
    WriteSources("src/");
    const std::string archive = Path("seven.zip");
    ASSERT_EQ(RunCommand("cd " + Quote(Path("src")) + " && 7z a -tzip -mx=9 " + Quote(archive) + " ."), 0);
    EXPECT_EQ(Unpack(archive, Path("out")), static_cast<int>(Sources().size()));
    ExpectUnpackedSources("out/");
}

TEST_F(ZipInterop, PythonArchivesUnpackIncludingDataDescriptorsAndUtf8Names) {
    REQUIRE_TOOL("python3");
    WriteSources("src/");
    // Stored, deflated, and deflated to an unseekable pipe (sizes in data descriptors, flag bit 3).
    const std::string script = R"(import zipfile, sys, os, io
src, out = sys.argv[1], sys.argv[2]
names = sorted(os.listdir(src))
for method, name in ((zipfile.ZIP_STORED, 'stored.zip'), (zipfile.ZIP_DEFLATED, 'deflated.zip')):
    with zipfile.ZipFile(os.path.join(out, name), 'w', method) as z:
        for n in names: z.write(os.path.join(src, n), n)
        z.writestr('名字-😀.txt', 'utf-8 name\n')
class Unseekable(io.RawIOBase):
    def __init__(self, f): self.f = f
    def writable(self): return True
    def write(self, b): return self.f.write(b)
with open(os.path.join(out, 'piped.zip'), 'wb') as f:
    with zipfile.ZipFile(Unseekable(f), 'w', zipfile.ZIP_DEFLATED) as z:
        for n in names: z.write(os.path.join(src, n), n)
with zipfile.ZipFile(os.path.join(out, 'piped.zip')) as z:
    assert all(i.flag_bits & 8 for i in z.infolist() if i.file_size)
)";
    WriteText(Path("make.py"), script);
    ASSERT_EQ(RunCommand("python3 " + Quote(Path("make.py")) + " " + Quote(Path("src")) + " " + Quote(Folder.Path())),
              0);
    for (const std::string name : {"stored", "deflated", "piped"}) {
        const std::string dest = name + "-out/";
        const int expected = static_cast<int>(Sources().size()) + (name == "piped" ? 0 : 1);
        EXPECT_EQ(Unpack(Path(name + ".zip"), Path(dest)), expected) << name;
        ExpectUnpackedSources(dest);
        if (name != "piped") {
            const TBytes utf8Named = ReadBytes(Path(dest + "名字-😀.txt"));
            EXPECT_EQ(std::string(utf8Named.begin(), utf8Named.end()), "utf-8 name\n");
        }
    }
}

TEST_F(ZipInterop, ChineseNamesAreStoredInGbkAndNonGbkNamesInUtf8) {
    REQUIRE_TOOL("python3");
    // 淺 is B2 5C in GBK: its trail byte is a backslash, which must not split the name.
    const std::vector<std::string> names = {"科技项目设计书.doc", "淺表申报.txt", "emoji-😀.txt"};
    std::vector<std::string> files;
    for (const auto& n : names) {
        WriteText(Path("src/" + n), "content of " + n);
        files.push_back(Path("src/" + n));
    }
    const std::string archive = Path("names.zip");
    Pack(archive, files, 6);
    // metadata_encoding applies to names without bit 11 only; bit-11 names are UTF-8 regardless.
    WriteText(Path("names.py"), "import zipfile,sys\n"
                                "z=zipfile.ZipFile(sys.argv[1],metadata_encoding='gbk')\n"
                                "open(sys.argv[2],'w',encoding='utf-8').write('\\n'.join('%s|%d'%(i.filename,i.flag_"
                                "bits&0x800) for i in z.infolist()))\n");
    ASSERT_EQ(RunCommand("python3 " + Quote(Path("names.py")) + " " + Quote(archive) + " " + Quote(Path("names.out"))),
              0);
    const TBytes listing = ReadBytes(Path("names.out"));
    const std::string text(listing.begin(), listing.end());
    EXPECT_NE(text.find("科技项目设计书.doc|0"), std::string::npos) << text;
    EXPECT_NE(text.find("淺表申报.txt|0"), std::string::npos) << text;
    EXPECT_NE(text.find("emoji-😀.txt|2048"), std::string::npos) << text;
    // And our own reader gives the same names back.
    EXPECT_EQ(Unpack(archive, Path("out")), 3);
    for (const auto& n : names)
        EXPECT_TRUE(FileExists(Path("out/" + n))) << n;
}
