// zipbench: our deflate and inflate beside zlib on six corpora at levels 1, 6 and 9,
// and our archive writer and reader beside Info-ZIP zip and unzip on a folder of
// mixed files, and the application's entry-by-entry unpacking of 8,000 small
// entries beside unzip of the whole archive. Corpora are made in a scratch folder from what the system holds
// (headers, programs, ImageMagick pictures, an SQLite file) plus random and zeros.
// Usage: zipbench [scratch folder]
#include "zip/Deflate.h"
#include "zip/EntryDecoder.h"
#include "zip/ZipReader.h"
#include "zip/ZipWriter.h"

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using TBytes = std::vector<uint8_t>;

namespace {

constexpr size_t CorpusSize = 8u << 20;

double Seconds(const std::function<void()>& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Best of a few runs of each, taken in turns so that both meet the same load from the
// other work on the machine.
std::pair<double, double> BestSeconds(int runs, const std::function<void()>& ours,
                                      const std::function<void()>& theirs) {
    double bestOurs = 1e30;
    double bestTheirs = 1e30;
    for (int i = 0; i < runs; ++i) {
        bestOurs = std::min(bestOurs, Seconds(ours));
        bestTheirs = std::min(bestTheirs, Seconds(theirs));
    }
    return {bestOurs, bestTheirs};
}

TBytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return TBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const uint8_t* data, size_t size) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

int Run(const std::string& command) {
    return std::system(command.c_str());
}

std::string Quote(const fs::path& path) {
    return "'" + path.string() + "'";
}

// Regular files below the folders, in name order, whose names pass the filter, until size bytes.
TBytes Gather(const std::vector<std::string>& folders, const std::function<bool(const fs::path&)>& take, size_t size) {
    std::vector<fs::path> files;
    for (const auto& folder : folders) {
        std::error_code ec;
        for (fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
             it != end; it.increment(ec))
            if (!ec && it->is_regular_file(ec) && !it->is_symlink(ec) && take(it->path())) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    TBytes out;
    for (const auto& file : files) {
        const TBytes data = ReadFile(file);
        out.insert(out.end(), data.begin(), data.end());
        if (out.size() >= size) break;
    }
    if (out.size() > size) out.resize(size);
    return out;
}

TBytes MakeSqlite(const fs::path& scratch) {
    const fs::path db = scratch / "bench.sqlite";
    fs::remove(db);
    const std::string sql =
        "PRAGMA page_size=4096;"
        "CREATE TABLE project(id INTEGER PRIMARY KEY, code TEXT, title TEXT, owner TEXT, budget REAL, started TEXT,"
        " notes TEXT);"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i < 60000)"
        " INSERT INTO project SELECT i, printf('P%06d', i), 'Project ' || (i * 7919 % 10007) || ' on topic ' ||"
        " (i % 97), 'Organisation ' || (i % 331), (i * 104729 % 1000000) / 100.0,"
        " date('2001-01-01', '+' || (i % 5000) || ' days'), substr(printf('%08x%08x%08x', i * 2654435761 % 4294967296, "
        "i * i * 40503 % 4294967296, i * 69069 % 4294967296), 1, i % 24) || ' reviewed ' || (i % 13) FROM n;"
        "CREATE INDEX project_owner ON project(owner);";
    if (Run("sqlite3 " + Quote(db) + " \"" + sql + "\"") != 0) return {};
    return ReadFile(db);
}

// JPEG pictures made by ImageMagick; the corpus is their files one after another.
std::vector<fs::path> MakePictures(const fs::path& scratch, int count) {
    std::vector<fs::path> pictures;
    for (int i = 0; i < count; ++i) {
        const fs::path picture = scratch / ("picture" + std::to_string(i) + ".jpg");
        if (!fs::exists(picture) &&
            Run("convert -seed " + std::to_string(i + 1) + " -size 1024x768 plasma:fractal -blur 0x1 -quality 88 " +
                Quote(picture) + " 2>/dev/null") != 0)
            return {};
        pictures.push_back(picture);
    }
    return pictures;
}

class TMemoryIO : public zip::TDeflateIO {
public:
    TMemoryIO(const TBytes& source, TBytes& output) : FSource(source), FOutput(output) {}
    int ReadSource(uint8_t* buffer, int count) override {
        const size_t n = std::min(static_cast<size_t>(count), FSource.size() - FPos);
        if (n > 0) std::memcpy(buffer, FSource.data() + FPos, n);
        FPos += n;
        return static_cast<int>(n);
    }
    void WriteOutput(const uint8_t* buffer, int count) override {
        FOutput.insert(FOutput.end(), buffer, buffer + count);
    }

private:
    const TBytes& FSource;
    TBytes& FOutput;
    size_t FPos = 0;
};

// zlib's raw deflate and inflate into a buffer that is kept between runs, as ours are;
// they return the number of bytes produced.
size_t ZlibDeflate(const TBytes& data, int level, TBytes& buffer) {
    z_stream z{};
    deflateInit2(&z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    buffer.resize(std::max<size_t>(buffer.size(), deflateBound(&z, data.size())));
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = buffer.data();
    z.avail_out = static_cast<uInt>(buffer.size());
    deflate(&z, Z_FINISH);
    deflateEnd(&z);
    return z.total_out;
}

size_t ZlibInflate(const TBytes& stream, size_t size, TBytes& buffer) {
    z_stream z{};
    inflateInit2(&z, -15);
    buffer.resize(std::max(buffer.size(), size + 1));
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = static_cast<uInt>(stream.size());
    z.next_out = buffer.data();
    z.avail_out = static_cast<uInt>(buffer.size());
    inflate(&z, Z_FINISH);
    inflateEnd(&z);
    return z.total_out;
}

bool InflatesTo(const TBytes& stream, const TBytes& data) {
    TBytes buffer;
    const size_t size = ZlibInflate(stream, data.size(), buffer);
    return size == data.size() && std::equal(data.begin(), data.end(), buffer.begin());
}

double Mbps(size_t bytes, double seconds) {
    return static_cast<double>(bytes) / 1e6 / seconds;
}

void BenchCorpus(const std::string& name, const TBytes& data, zip::TDeflater& deflater) {
    for (int level : {1, 6, 9}) {
        TBytes ours;
        zip::TDeflateResult result;
        TBytes zlibBuffer;
        size_t zlibBytes = 0;
        const auto [oursSeconds, zlibSeconds] = BestSeconds(
            5,
            [&] {
                ours.clear();
                TMemoryIO io(data, ours);
                result = deflater.Deflate(level, io);
            },
            [&] { zlibBytes = ZlibDeflate(data, level, zlibBuffer); });
        const TBytes theirs(zlibBuffer.begin(), zlibBuffer.begin() + static_cast<long>(zlibBytes));

        // Our stream must be deflate (or the file itself, when it went out stored) that gives the data back.
        const bool sound = result.Method == zip::MethodStored ? ours == data : InflatesTo(ours, data);
        if (!sound) std::printf("# corpus=%s level=%d: our stream does not give the data back\n", name.c_str(), level);

        // Both inflaters decode zlib's stream.
        TBytes decoded;
        TBytes zlibDecoded;
        const auto [inflateOurs, inflateZlib] = BestSeconds(
            7,
            [&] {
                decoded.clear();
                decoded.reserve(data.size());
                zip::InflateRaw(theirs.data(), theirs.size(), decoded);
            },
            [&] { ZlibInflate(theirs, data.size(), zlibDecoded); });
        if (decoded != data)
            std::printf("# corpus=%s level=%d: our inflate does not give the data back\n", name.c_str(), level);

        std::printf("corpus=%s level=%d bytes=%zu ours_bytes=%zu zlib_bytes=%zu ours_mbps=%.1f zlib_mbps=%.1f "
                    "inflate_ours_mbps=%.1f inflate_zlib_mbps=%.1f\n",
                    name.c_str(), level, data.size(), ours.size(), theirs.size(), Mbps(data.size(), oursSeconds),
                    Mbps(data.size(), zlibSeconds), Mbps(data.size(), inflateOurs), Mbps(data.size(), inflateZlib));
        std::fflush(stdout);
    }
}

// About 200 files of every kind, sizes spread from empty to a few hundred KB.
std::vector<fs::path> MakeMixedFolder(const fs::path& folder,
                                      const std::vector<std::pair<std::string, TBytes>>& corpora,
                                      const std::vector<fs::path>& pictures) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::mt19937 rng(2024);
    std::vector<fs::path> files;
    auto slice = [&](const std::string& kind, const TBytes& data, int count, size_t minSize, size_t maxSize) {
        if (data.empty()) return;
        std::uniform_real_distribution<double> logSize(std::log(static_cast<double>(minSize)),
                                                       std::log(static_cast<double>(maxSize)));
        for (int i = 0; i < count; ++i) {
            const size_t size = std::min(data.size(), static_cast<size_t>(std::exp(logSize(rng))));
            const size_t from = rng() % (data.size() - size + 1);
            const fs::path file = folder / (kind + std::to_string(i) + ".dat");
            WriteFile(file, data.data() + from, size);
            files.push_back(file);
        }
    };
    for (const auto& [name, data] : corpora) {
        if (name == "text")
            slice(name, data, 70, 200, 300000);
        else if (name == "binary")
            slice(name, data, 50, 2000, 600000);
        else if (name == "sqlite")
            slice(name, data, 10, 4096, 400000);
        else if (name == "random")
            slice(name, data, 20, 1, 100000);
        else if (name == "zeros")
            slice(name, data, 10, 1, 200000);
    }
    slice("tiny", TBytes(64, 'x'), 20, 1, 64);
    for (const auto& picture : pictures) {
        fs::copy_file(picture, folder / picture.filename());
        files.push_back(folder / picture.filename());
    }
    return files;
}

bool SameFiles(const std::vector<fs::path>& files, const fs::path& folder) {
    for (const auto& file : files)
        if (ReadFile(file) != ReadFile(folder / file.filename())) return false;
    return true;
}

// The application's unpacking sequence: read the directory, then one run per entry by its name.
void UnpackEntryByEntry(const fs::path& archive, const fs::path& dest) {
    zip::TZipReader reader(nullptr);
    reader.SetZipName(archive.string());
    reader.SetDestDir(dest.string());
    reader.ReadZip();
    reader.SetDoAll(false);
    for (int index = 0; index < reader.GetCount(); ++index) {
        reader.FilesList()->Clear();
        reader.FilesList()->Add(reader.GetFilename(index));
        reader.UnZip();
    }
}

// Many small entries, unpacked as the application does, beside unzip of the whole archive.
void BenchPerEntry(const fs::path& scratch) {
    constexpr int Entries = 8000;
    const fs::path folder = scratch / "perentry";
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (int i = 0; i < Entries; ++i) {
        const std::string text = "entry " + std::to_string(i) + " of the per-entry archive\n";
        WriteFile(folder / ("f" + std::to_string(i) + ".txt"), reinterpret_cast<const uint8_t*>(text.data()),
                  text.size());
    }
    const fs::path archive = scratch / "perentry.zip", oursOut = scratch / "perentry-ours",
                   theirsOut = scratch / "perentry-unzip";
    fs::remove(archive);
    Run("cd " + Quote(folder) + " && zip -q -r " + Quote(archive) + " .");
    const auto [oursSeconds, unzipSeconds] = BestSeconds(
        1,
        [&] {
            fs::remove_all(oursOut);
            UnpackEntryByEntry(archive, oursOut);
        },
        [&] {
            fs::remove_all(theirsOut);
            Run("unzip -qq -o " + Quote(archive) + " -d " + Quote(theirsOut));
        });
    std::printf("archive=perentry entries=%d ours_s=%.3f unzip_s=%.3f\n", Entries, oursSeconds, unzipSeconds);
}

void BenchArchive(const fs::path& scratch, const std::vector<fs::path>& files, const fs::path& folder) {
    const int level = 6;
    const fs::path ours = scratch / "ours.zip";
    const fs::path theirs = scratch / "theirs.zip";
    const fs::path oursOut = scratch / "unzip-ours";
    const fs::path theirsOut = scratch / "unzip-theirs";

    // The application's packing sequence: full paths in FilesList, Recurse, Zip.
    const auto [oursSeconds, zipSeconds] = BestSeconds(
        3,
        [&] {
            fs::remove(ours);
            zip::TZipWriter writer(nullptr);
            for (const auto& file : files)
                writer.FilesList()->Add(file.string());
            writer.SetZipName(ours.string());
            writer.SetRecurse(true);
            writer.SetPackLevel(level);
            writer.Zip();
        },
        [&] {
            fs::remove(theirs);
            Run("cd " + Quote(folder) + " && zip -r -q -" + std::to_string(level) + " " + Quote(theirs) + " .");
        });

    const auto [unzipOursSeconds, unzipSeconds] = BestSeconds(
        3,
        [&] {
            fs::remove_all(oursOut);
            UnpackEntryByEntry(ours, oursOut);
        },
        [&] {
            fs::remove_all(theirsOut);
            Run("unzip -qq -o " + Quote(theirs) + " -d " + Quote(theirsOut));
        });

    if (!SameFiles(files, oursOut)) std::printf("# archive=mixed: our unpacked files differ from the sources\n");
    if (Run("unzip -qq -t " + Quote(ours) + " >/dev/null") != 0)
        std::printf("# archive=mixed: unzip -t finds fault with our archive\n");
    std::printf("archive=mixed level=%d ours_s=%.3f zip_s=%.3f unzip_ours_s=%.3f unzip_s=%.3f ours_bytes=%ju "
                "zip_bytes=%ju\n",
                level, oursSeconds, zipSeconds, unzipOursSeconds, unzipSeconds,
                static_cast<uintmax_t>(fs::file_size(ours)), static_cast<uintmax_t>(fs::file_size(theirs)));
}

} // namespace

int main(int argc, char** argv) {
    const fs::path scratch = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "zipbench";
    fs::create_directories(scratch);

    std::vector<std::pair<std::string, TBytes>> corpora;
    auto extension = [](std::initializer_list<const char*> wanted) {
        return [wanted](const fs::path& p) {
            return std::any_of(wanted.begin(), wanted.end(), [&](const char* e) { return p.extension() == e; });
        };
    };
    corpora.emplace_back("text",
                         Gather({"/usr/share/common-licenses", "/usr/include"}, extension({"", ".h"}), CorpusSize));
    corpora.emplace_back("binary", Gather(
                                       {"/usr/bin"}, [](const fs::path&) { return true; }, CorpusSize));
    corpora.emplace_back("sqlite", MakeSqlite(scratch));
    const std::vector<fs::path> pictures = MakePictures(scratch, 24);
    TBytes jpeg;
    for (const auto& picture : pictures) {
        const TBytes data = ReadFile(picture);
        jpeg.insert(jpeg.end(), data.begin(), data.end());
    }
    corpora.emplace_back("jpeg", std::move(jpeg));
    TBytes random(CorpusSize);
    std::mt19937_64 rng(1);
    for (auto& b : random)
        b = static_cast<uint8_t>(rng());
    corpora.emplace_back("random", std::move(random));
    corpora.emplace_back("zeros", TBytes(CorpusSize, 0));

    zip::TDeflater deflater;
    for (const auto& [name, data] : corpora) {
        if (data.empty()) {
            std::printf("# corpus=%s could not be made here; left out\n", name.c_str());
            continue;
        }
        BenchCorpus(name, data, deflater);
    }

    const fs::path folder = scratch / "mixed";
    const std::vector<fs::path> files = MakeMixedFolder(folder, corpora, pictures);
    try {
        BenchArchive(scratch, files, folder);
        BenchPerEntry(scratch);
    } catch (const std::exception& e) {
        std::printf("# archive benchmark failed: %s\n", e.what());
    }
    return 0;
}
