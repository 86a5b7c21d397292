// Local headers, then the central directory and the end record, with every
// date 1980-01-01.
#include "tests/support/HandMadeZip.h"

#include "tests/support/FileContents.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/SqliteFile.h"

#include <iconv.h>
#include <zlib.h>

namespace {

void Put16(std::string& Out, uint32_t Value) {
    Out += char(Value & 0xFF);
    Out += char(Value >> 8 & 0xFF);
}

void Put32(std::string& Out, uint32_t Value) {
    Put16(Out, Value & 0xFFFF);
    Put16(Out, Value >> 16);
}

std::string RawDeflate(const std::string& Data) {
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, uLong(Data.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Data.data()));
    stream.avail_in = uInt(Data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

// Name in GBK; Name itself when it is no UTF-8 or GBK cannot hold it.
std::string GbkName(const std::string& Name) {
    iconv_t convert = iconv_open("GBK", "UTF-8");
    std::string out(Name.size() * 2 + 1, '\0');
    char* in = const_cast<char*>(Name.data());
    size_t inLeft = Name.size(), outLeft = out.size();
    char* next = out.data();
    const bool whole = iconv(convert, &in, &inLeft, &next, &outLeft) != size_t(-1) && inLeft == 0;
    iconv_close(convert);
    if (!whole) return Name;
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace

std::string HandMadeZip(const std::vector<THandMadeEntry>& Entries) {
    std::string archive, directory;
    for (const THandMadeEntry& entry : Entries) {
        const std::string name = entry.Utf8Name ? entry.Name : GbkName(entry.Name);
        const std::string packed = entry.Deflated ? RawDeflate(entry.Data) : entry.Data;
        const uint32_t crc =
            uint32_t(crc32(0, reinterpret_cast<const Bytef*>(entry.Data.data()), uInt(entry.Data.size())));
        const uint32_t size = uint32_t(entry.DeclaredSize ? entry.DeclaredSize : entry.Data.size());
        // Version, flags, method, time, date, CRC, sizes, name and extra lengths.
        std::string common;
        Put16(common, 20);
        Put16(common, entry.Utf8Name ? 0x0800 : 0);
        Put16(common, entry.Deflated ? 8 : 0);
        Put16(common, 0);
        Put16(common, 0x21);
        Put32(common, crc);
        Put32(common, uint32_t(packed.size()));
        Put32(common, size);
        Put16(common, uint32_t(name.size()));
        Put16(common, 0);
        const uint32_t offset = uint32_t(archive.size());
        Put32(archive, 0x04034B50);
        archive.append(common).append(name).append(packed);
        Put32(directory, 0x02014B50);
        Put16(directory, 20);
        directory += common;
        Put16(directory, 0); // comment
        Put16(directory, 0); // disk
        Put16(directory, 0); // internal attributes
        Put32(directory, 0x20);
        Put32(directory, offset);
        directory += name;
    }
    const uint32_t directoryOffset = uint32_t(archive.size());
    archive += directory;
    Put32(archive, 0x06054B50);
    Put16(archive, 0);
    Put16(archive, 0);
    Put16(archive, uint32_t(Entries.size()));
    Put16(archive, uint32_t(Entries.size()));
    Put32(archive, uint32_t(directory.size()));
    Put32(archive, directoryOffset);
    Put16(archive, 0);
    return archive;
}

std::string HandMadePackage(const std::string& Template, const std::string& Sql, std::vector<THandMadeEntry> Entries) {
    for (THandMadeEntry& entry : Entries)
        if (entry.Data.empty()) entry.Data.push_back('x');
    if (!Template.empty()) {
        const TScratchFolder folder;
        const std::string name = Template.substr(Template.rfind('/') + 1);
        WriteFileContents(folder / name, ReadFileContents(Template));
        if (!Sql.empty()) RunSql(folder / name, Sql);
        Entries.insert(Entries.begin(), {name, ReadFileContents(folder / name)});
    }
    return HandMadeZip(Entries);
}
