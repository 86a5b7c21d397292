// GBK through glibc iconv (its CP936 table, which also maps the euro sign to
// the single byte 0x80). Conversion goes character by character so that one
// unrepresentable character costs only itself.
#include "platform/rtl/CodePage.h"

#include <iconv.h>

#include <cerrno>

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"

namespace {

// One descriptor per thread and direction: iconv keeps state per descriptor.
class TConverter {
public:
    TConverter(const char* To, const char* From) : FHandle(iconv_open(To, From)) {
        if (FHandle == reinterpret_cast<iconv_t>(-1))
            throw EConvertError(std::string("No conversion from ") + From + " to " + To);
    }
    ~TConverter() { iconv_close(FHandle); }
    TConverter(const TConverter&) = delete;
    TConverter& operator=(const TConverter&) = delete;
    iconv_t Handle() {
        iconv(FHandle, nullptr, nullptr, nullptr, nullptr); // reset the shift state
        return FHandle;
    }

private:
    iconv_t FHandle;
};

TConverter& ToGbk() {
    static thread_local TConverter converter("CP936", "UTF-8");
    return converter;
}

TConverter& FromGbk() {
    static thread_local TConverter converter("UTF-8", "CP936");
    return converter;
}

// The GBK bytes of one UTF-8 character, or false when it has none.
bool CharToGbk(std::string_view Char, char (&Out)[8], size_t& Length) {
    iconv_t cd = ToGbk().Handle();
    char* in = const_cast<char*>(Char.data());
    size_t inLeft = Char.size();
    char* out = Out;
    size_t outLeft = sizeof Out;
    if (iconv(cd, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) return false;
    Length = sizeof Out - outLeft;
    return Length > 0;
}

// Calls Visit(bytes, length) for each character's GBK bytes, or (nullptr, 0)
// for a character GBK cannot hold.
template <typename F> void ForEachGbkChar(std::string_view Utf8, F Visit) {
    for (size_t i = 0; i < Utf8.size();) {
        const size_t next = Utf8NextCharBoundary(Utf8, i);
        const std::string_view ch = Utf8.substr(i, next - i);
        i = next;
        if (static_cast<unsigned char>(ch[0]) < 0x80) {
            Visit(ch.data(), size_t(1));
            continue;
        }
        char out[8];
        size_t length = 0;
        if (ch.size() > 1 && CharToGbk(ch, out, length))
            Visit(static_cast<const char*>(out), length);
        else
            Visit(static_cast<const char*>(nullptr), size_t(0));
    }
}

} // namespace

size_t GbkByteLength(std::string_view Utf8) {
    size_t total = 0;
    ForEachGbkChar(Utf8, [&](const char*, size_t length) { total += length ? length : 1; });
    return total;
}

size_t GbkFittingPrefix(std::string_view Utf8, size_t MaxGbkBytes) {
    size_t used = 0;
    size_t end = 0;
    while (end < Utf8.size()) {
        const size_t next = Utf8NextCharBoundary(Utf8, end);
        used += GbkByteLength(Utf8.substr(end, next - end));
        if (used > MaxGbkBytes) break;
        end = next;
    }
    return end;
}

std::string Utf8ToGbk(std::string_view Utf8) {
    std::string r;
    r.reserve(Utf8.size());
    ForEachGbkChar(Utf8, [&](const char* bytes, size_t length) {
        if (length)
            r.append(bytes, length);
        else
            r += '?';
    });
    return r;
}

bool IsGbkRepresentable(std::string_view Utf8) {
    bool ok = true;
    ForEachGbkChar(Utf8, [&](const char*, size_t length) { ok = ok && length > 0; });
    return ok;
}

std::string GbkToUtf8(std::string_view Gbk) {
    std::string r;
    r.reserve(Gbk.size() * 3 / 2);
    iconv_t cd = FromGbk().Handle();
    char* in = const_cast<char*>(Gbk.data());
    size_t inLeft = Gbk.size();
    char buffer[1024];
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        const size_t result = iconv(cd, &in, &inLeft, &out, &outLeft);
        const int error = result == static_cast<size_t>(-1) ? errno : 0;
        r.append(buffer, size_t(out - buffer));
        if (error == EILSEQ || error == EINVAL) {
            // An undecodable byte (or a lead byte cut off at the end).
            r += '?';
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        } else if (error != 0 && error != E2BIG) {
            break;
        }
    }
    return r;
}
