// Traditional encryption: the key schedule against a worked example, the
// password events on reading, and archives exchanged with zip, 7z and Python
// (each refuses a wrong password, each decrypts ours with the right one).
#include "zip/ZipCrypt.h"

#include <gtest/gtest.h>

#include "ZipTestSupport.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/FileUtils.h"
#include "zip/ZipExceptions.h"
#include "zip/ZipHooks.h"
#include "zip/ZipWriter.h"

using namespace zip;
using namespace ziptest;

namespace {

class ZipCryptTest : public TZipTest {
protected:
    std::unique_ptr<TZipReader> Reader(const std::string& archive, const std::string& password) {
        auto r = std::make_unique<TZipReader>(nullptr);
        r->SetZipName(archive);
        r->SetDestDir(Path("out"));
        r->SetPassword(password);
        r->SetDoAll(true);
        return r;
    }
    // Zips the files with the engine and a password.
    void Pack(const std::string& archive, const std::vector<std::string>& files, int level,
              const std::string& password) {
        TZipWriter w(nullptr);
        w.SetZipName(archive);
        for (const auto& f : files)
            w.FilesList()->Add(f);
        w.SetPackLevel(level);
        w.SetPassword(password);
        w.Zip();
    }
    std::vector<std::string> OutFiles() const {
        std::vector<std::string> names;
        if (!DirectoryExists(Path("out"))) return names;
        for (const auto& e : std::filesystem::directory_iterator(Path("out")))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // Reasons given to OnSkippingFile, and how often OnBadPassword asked.
    struct TEvents {
        std::vector<int> SkipReasons;
        int PasswordAsks = 0;
        int BadCrcs = 0;
    };
    void Record(TZipReader& r, TEvents& events, std::function<std::string()> nextPassword = nullptr) {
        r.OnSkippingFile = [&events](TObject*, TZipSkipReason reason, const std::string&, int, bool&) {
            events.SkipReasons.push_back(reason);
        };
        r.OnBadCRC = [&events](TObject*, uint32_t, uint32_t, int) { ++events.BadCrcs; };
        if (nextPassword)
            r.OnBadPassword = [&events, nextPassword](TObject*, int, std::string& password) {
                ++events.PasswordAsks;
                password = nextPassword();
            };
    }
};

} // namespace

TEST(ZipCrypt, KeysAndStreamBytesFollowTheWorkedExample) {
    // Worked out separately from the key update rules over zlib's CRC-32.
    TZipCrypt crypt("secret");
    EXPECT_EQ(crypt.Key(0), 0xDDA9E469u);
    EXPECT_EQ(crypt.Key(1), 0x96212999u);
    EXPECT_EQ(crypt.Key(2), 0xF9FC9651u);
    EXPECT_EQ(crypt.StreamByte(), 0xC8);
    uint8_t data[] = {'a', 'b', 'c'};
    crypt.Encrypt(data, 3);
    EXPECT_EQ(TBytes(data, data + 3), (TBytes{0xA9, 0xF1, 0x88}));
    EXPECT_EQ(crypt.Key(0), 0x187B4506u);
    EXPECT_EQ(crypt.Key(1), 0xEF274204u);
    EXPECT_EQ(crypt.Key(2), 0x53089B38u);
    TZipCrypt back("secret");
    back.Decrypt(data, 3);
    EXPECT_EQ(TBytes(data, data + 3), (TBytes{'a', 'b', 'c'}));
}

TEST_F(ZipCryptTest, OwnArchivesRoundTripAndDifferInTheirRandomHeaderBytes) {
    const TBytes text = TextBytes(70000, 3);
    WriteBytes(Path("src/t.txt"), text);
    WriteBytes(Path("src/e.bin"), {});
    Pack(Path("a.zip"), {Path("src/t.txt"), Path("src/e.bin")}, 6, "pw");
    Pack(Path("b.zip"), {Path("src/t.txt"), Path("src/e.bin")}, 6, "pw");
    const TBytes a = ReadBytes(Path("a.zip")), b = ReadBytes(Path("b.zip"));
    // The first entry's header follows its 30-byte local header and 5-byte name.
    ASSERT_GT(a.size(), 47u);
    EXPECT_NE(TBytes(a.begin() + 35, a.begin() + 45), TBytes(b.begin() + 35, b.begin() + 45));
    auto r = Reader(Path("a.zip"), "pw");
    EXPECT_EQ(r->UnZip(), 2);
    EXPECT_EQ(ReadBytes(Path("out/t.txt")), text);
    EXPECT_EQ(ReadBytes(Path("out/e.bin")), TBytes{});
    for (int i = 0; i < r->GetCount(); ++i) {
        EXPECT_TRUE(r->GetEntry(i)->Encrypted());
        EXPECT_EQ(r->GetEntry(i)->VersionNeeded, 20);
    }
}

TEST_F(ZipCryptTest, WrongPasswordsPassEntriesByOrTakeTheNextPassword) {
    const TBytes text = TextBytes(5000, 4);
    WriteBytes(Path("src/t.txt"), text);
    Pack(Path("a.zip"), {Path("src/t.txt")}, 6, "right");
    // A wrong password whose check byte matches by chance: it fails only at the CRC.
    const TBytes archive = ReadBytes(Path("a.zip"));
    const uint8_t* header = archive.data() + 30 + 5;
    std::string lucky;
    for (int i = 0; lucky.empty(); ++i) {
        uint8_t plain[CryptHeaderSize];
        std::copy(header, header + CryptHeaderSize, plain);
        const std::string candidate = "wrong" + std::to_string(i);
        TZipCrypt(candidate).Decrypt(plain, CryptHeaderSize);
        if (plain[11] == static_cast<uint8_t>(RawCrc(text) >> 24)) lucky = candidate;
    }
    struct TCase {
        const char* Name;
        std::string First;
        std::vector<std::string> Offered; // what OnBadPassword gives, in turn; none: no handler
        int Extracted;
        int Asks;
        std::vector<int> Skips;
    } cases[] = {
        {"wrong, no handler", "nope", {}, 0, 0, {srBadPassword}},
        {"lucky wrong, no handler", lucky, {}, 0, 0, {srBadPassword}},
        {"wrong, then right", "nope", {"right"}, 1, 1, {}},
        {"lucky wrong, then right", lucky, {"right"}, 1, 1, {}},
        {"handler keeps the same one", "nope", {"nope"}, 0, 1, {srBadPassword}},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(Path("out"));
        auto r = Reader(Path("a.zip"), c.First);
        TEvents events;
        size_t next = 0;
        Record(*r, events, c.Offered.empty() ? std::function<std::string()>() : [&] {
            return next < c.Offered.size() ? c.Offered[next++] : c.Offered.back();
        });
        EXPECT_EQ(r->UnZip(), c.Extracted) << c.Name;
        EXPECT_EQ(events.PasswordAsks, c.Asks) << c.Name;
        EXPECT_EQ(events.SkipReasons, c.Skips) << c.Name;
        EXPECT_EQ(events.BadCrcs, 0) << c.Name;
        EXPECT_EQ(OutFiles(), c.Extracted ? std::vector<std::string>{"t.txt"} : std::vector<std::string>{})
            << c.Name;
    }
}

TEST_F(ZipCryptTest, ReplacedTransformationsRoundTripAndNoOtherToolAcceptsThem) {
    const TBytes text = TextBytes(20000, 5);
    WriteBytes(Path("src/t.txt"), text);
    auto xorWith = [](uint8_t* buffer, int length, const std::string& password) {
        for (int i = 0; i < length; ++i)
            buffer[i] ^= static_cast<uint8_t>(password[0]);
    };
    {
        TZipWriter w(nullptr);
        w.SetZipName(Path("a.zip"));
        w.FilesList()->Add(Path("src/t.txt"));
        w.SetPassword("pw");
        w.OnEncrypt = [&](TObject*, uint8_t* b, int n, const std::string& p) { xorWith(b, n, p); };
        w.Zip();
    }
    auto r = Reader(Path("a.zip"), "pw");
    r->OnDecrypt = [&](TObject*, uint8_t* b, int n, const std::string& p) { xorWith(b, n, p); };
    EXPECT_EQ(r->UnZip(), 1);
    EXPECT_EQ(ReadBytes(Path("out/t.txt")), text);
    REQUIRE_TOOL("unzip");
    EXPECT_NE(RunCommand("unzip -P pw -t " + Quote(Path("a.zip"))), 0);
}

TEST_F(ZipCryptTest, ASourceChangedBetweenItsTwoReadsFailsAndTheOldArchiveStays) {
    WriteBytes(Path("src/old.txt"), TextBytes(100, 1));
    Pack(Path("a.zip"), {Path("src/old.txt")}, 6, "pw");
    const TBytes before = ReadBytes(Path("a.zip"));
    WriteBytes(Path("src/t.txt"), TextBytes(200000, 6));
    TZipWriter w(nullptr);
    w.SetZipName(Path("a.zip"));
    w.FilesList()->Add(Path("src/t.txt"));
    w.SetPassword("pw");
    bool changed = false;
    w.OnFilePercentDone = [&](TObject*, int) {
        if (!changed) WriteBytes(Path("src/t.txt"), TextBytes(200000, 7));
        changed = true;
    };
    EXPECT_THROW(w.Zip(), EInOutError);
    EXPECT_EQ(ReadBytes(Path("a.zip")), before);
}

TEST_F(ZipCryptTest, OtherToolsArchivesDecryptAndWrongPasswordsLeaveNoFile) {
    REQUIRE_TOOL("zip");
    REQUIRE_TOOL("7z");
    const TBytes text = TextBytes(50000, 8), random = RandomBytes(30000, 9), plain = TextBytes(300, 10);
    WriteBytes(Path("src/text.txt"), text);
    WriteBytes(Path("src/random.bin"), random);
    WriteBytes(Path("src/plain.txt"), plain);
    const std::string src = Quote(Path("src"));
    struct TCase {
        const char* Name;
        std::string Command; // run in src, writing ../a.zip
        bool TimeCheckByte;
    } cases[] = {
        {"zip, deflated", "zip -q -P pw ../a.zip text.txt random.bin", true},
        {"zip, stored", "zip -q -0 -P pw ../a.zip text.txt random.bin", true},
        {"7z, deflated", "7z a -tzip -mem=ZipCrypto -ppw ../a.zip text.txt random.bin", false},
        {"7z, stored", "7z a -tzip -mx=0 -mem=ZipCrypto -ppw ../a.zip text.txt random.bin", false},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(Path("a.zip"));
        ASSERT_EQ(RunCommand("cd " + src + " && " + c.Command + " && zip -q ../a.zip plain.txt"), 0) << c.Name;
        for (const std::string password : {"pw", "wrong"}) {
            std::filesystem::remove_all(Path("out"));
            auto r = Reader(Path("a.zip"), password);
            TEvents events;
            Record(*r, events);
            r->ReadZip();
            for (int i = 0; i < r->GetCount(); ++i) {
                const TZipHeaderInfo& e = *r->GetEntry(i);
                EXPECT_EQ(e.Encrypted() && e.HasDataDescriptor(), e.Encrypted() && c.TimeCheckByte) << c.Name;
            }
            if (password == "pw") {
                EXPECT_EQ(r->UnZip(), 3) << c.Name;
                EXPECT_EQ(ReadBytes(Path("out/text.txt")), text) << c.Name;
                EXPECT_EQ(ReadBytes(Path("out/random.bin")), random) << c.Name;
            } else {
                EXPECT_EQ(r->UnZip(), 1) << c.Name;
                EXPECT_EQ(events.SkipReasons, (std::vector<int>{srBadPassword, srBadPassword})) << c.Name;
                EXPECT_EQ(OutFiles(), std::vector<std::string>{"plain.txt"}) << c.Name;
            }
            EXPECT_EQ(ReadBytes(Path("out/plain.txt")), plain) << c.Name;
        }
    }
}

TEST_F(ZipCryptTest, OurEncryptedArchivesPassEveryJudgeAtEveryLevel) {
    REQUIRE_TOOL("unzip");
    REQUIRE_TOOL("7z");
    REQUIRE_TOOL("python3");
    WriteBytes(Path("src/text.txt"), TextBytes(80000, 11));
    WriteBytes(Path("src/random.bin"), RandomBytes(20000, 12));
    const std::string py = "import sys,zipfile\n"
                           "z=zipfile.ZipFile(sys.argv[1])\n"
                           "[z.read(n, pwd=sys.argv[2].encode()) for n in z.namelist()]\n";
    WriteText(Path("judge.py"), py);
    for (const int level : {0, 1, 6, 9}) {
        std::filesystem::remove(Path("a.zip"));
        Pack(Path("a.zip"), {Path("src/text.txt"), Path("src/random.bin")}, level, "pw");
        const std::string a = Quote(Path("a.zip")), judge = Quote(Path("judge.py"));
        EXPECT_EQ(RunCommand("unzip -P pw -t " + a), 0) << level;
        EXPECT_EQ(RunCommand("python3 " + judge + " " + a + " pw"), 0) << level;
        EXPECT_EQ(RunCommand("7z t -ppw " + a), 0) << level;
        EXPECT_NE(RunCommand("unzip -P px -t " + a), 0) << level;
        EXPECT_NE(RunCommand("python3 " + judge + " " + a + " px"), 0) << level;
        EXPECT_NE(RunCommand("7z t -ppx " + a), 0) << level;
    }
}

TEST_F(ZipCryptTest, AesEntriesTakeTheUnknownMethodPathInsteadOfAskingForAPassword) {
    REQUIRE_TOOL("7z");
    REQUIRE_TOOL("zip");
    WriteBytes(Path("src/text.txt"), TextBytes(50000, 13));
    WriteBytes(Path("src/plain.txt"), TextBytes(300, 14));
    ASSERT_EQ(RunCommand("cd " + Quote(Path("src")) + " && 7z a -tzip -mem=AES256 -ppw ../a.zip text.txt" +
                         " && zip -q ../a.zip plain.txt"),
              0);
    std::vector<std::string> boxes;
    ZipHooks().MessageBox = [&](const std::string& text, const std::string& caption, TZipMessageButtons) {
        boxes.push_back(caption + ": " + text);
        return zmrOK;
    };
    for (const std::string password : {"pw", "wrong"}) {
        std::filesystem::remove_all(Path("out"));
        boxes.clear();
        auto r = Reader(Path("a.zip"), password);
        TEvents events;
        Record(*r, events, [] { return std::string("other"); });
        EXPECT_EQ(r->UnZip(), 1) << password;
        EXPECT_EQ(boxes, std::vector<std::string>{"Zip Error: Unknown Compression Method"}) << password;
        EXPECT_EQ(events.PasswordAsks, 0) << password;
        EXPECT_TRUE(events.SkipReasons.empty()) << password;
        EXPECT_EQ(events.BadCrcs, 1) << password;
        EXPECT_EQ(OutFiles(), std::vector<std::string>{"plain.txt"}) << password;
    }
    ZipHooks().MessageBox = nullptr;
}

TEST_F(ZipCryptTest, AChinesePasswordOpensArchivesKeyedWithItsGbkOrItsUtf8Bytes) {
    REQUIRE_TOOL("zip");
    const std::string password = "密码", gbk = Utf8ToGbk(password);
    const TBytes text = TextBytes(2000, 15);
    WriteBytes(Path("src/t.txt"), text);
    // Keyed with the UTF-8 bytes, but the GBK bytes pass the check byte: only the CRC tells them apart.
    auto utf8KeyedWithLuckyGbk = [&] {
        for (unsigned seed = 0; seed < 100000; ++seed) {
            TBytes packed = RandomBytes(CryptHeaderSize, seed);
            packed[10] = static_cast<uint8_t>(RawCrc(text) >> 16);
            packed[11] = static_cast<uint8_t>(RawCrc(text) >> 24);
            packed.insert(packed.end(), text.begin(), text.end());
            TZipCrypt(password).Encrypt(packed.data(), static_cast<int>(packed.size()));
            TBytes header(packed.begin(), packed.begin() + CryptHeaderSize);
            TZipCrypt(gbk).Decrypt(header.data(), CryptHeaderSize);
            if (header[11] == static_cast<uint8_t>(RawCrc(text) >> 24)) {
                WriteRawZip(Path("a.zip"), {{"t.txt", text, 0, FlagEncrypted, 0x5A210000, 0, 0, 0, packed}});
                return true;
            }
        }
        return false;
    };
    struct TCase {
        const char* Name;
        std::function<bool()> Make; // writes a.zip
    } cases[] = {
        {"zip, GBK bytes",
         [&] { return RunCommand("cd " + Quote(Path("src")) + " && zip -q -P " + Quote(gbk) + " ../a.zip t.txt") == 0; }},
        {"zip, UTF-8 bytes",
         [&] {
             return RunCommand("cd " + Quote(Path("src")) + " && zip -q -P " + Quote(password) + " ../a.zip t.txt") == 0;
         }},
        {"ours", [&] { Pack(Path("a.zip"), {Path("src/t.txt")}, 6, password); return true; }},
        {"UTF-8 bytes, GBK passes the check byte", utf8KeyedWithLuckyGbk},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(Path("a.zip"));
        std::filesystem::remove_all(Path("out"));
        ASSERT_TRUE(c.Make()) << c.Name;
        auto r = Reader(Path("a.zip"), password);
        TEvents events;
        Record(*r, events, [] { return std::string("other"); });
        EXPECT_EQ(r->UnZip(), 1) << c.Name;
        EXPECT_EQ(events.PasswordAsks, 0) << c.Name;
        EXPECT_TRUE(ReadBytes(Path("out/t.txt")) == text) << c.Name;
    }

    // Ours is keyed with the GBK bytes, as the names are stored.
    REQUIRE_TOOL("unzip");
    Pack(Path("ours.zip"), {Path("src/t.txt")}, 6, password);
    EXPECT_EQ(RunCommand("unzip -qq -P " + Quote(gbk) + " -t " + Quote(Path("ours.zip"))), 0);
    EXPECT_NE(RunCommand("unzip -qq -P " + Quote(password) + " -t " + Quote(Path("ours.zip"))), 0);
}
