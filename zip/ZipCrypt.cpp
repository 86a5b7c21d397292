// Traditional zip encryption over the CRC-32 table steps.
#include "zip/ZipCrypt.h"

#include <sys/random.h>

#include "platform/rtl/CodePage.h"
#include "zip/Crc32.h"
#include "zip/ZipExceptions.h"
#include "zip/ZipFormat.h"

namespace zip {

TZipCrypt::TZipCrypt(const std::string& password) : FKeys{0x12345678u, 0x23456789u, 0x34567890u} {
    for (const char c : password)
        UpdateKeys(static_cast<uint8_t>(c));
}

uint8_t TZipCrypt::StreamByte() const {
    const uint32_t t = (FKeys[2] & 0xFFFF) | 2;
    return static_cast<uint8_t>((t * (t ^ 1)) >> 8);
}

void TZipCrypt::UpdateKeys(uint8_t plain) {
    FKeys[0] = CrcStep(FKeys[0], plain);
    FKeys[1] = (FKeys[1] + (FKeys[0] & 0xFF)) * 134775813u + 1;
    FKeys[2] = CrcStep(FKeys[2], static_cast<uint8_t>(FKeys[1] >> 24));
}

void TZipCrypt::Decrypt(uint8_t* buffer, int count) {
    for (int i = 0; i < count; ++i) {
        buffer[i] ^= StreamByte();
        UpdateKeys(buffer[i]);
    }
}

void TZipCrypt::Encrypt(uint8_t* buffer, int count) {
    for (int i = 0; i < count; ++i) {
        const uint8_t key = StreamByte();
        UpdateKeys(buffer[i]);
        buffer[i] ^= key;
    }
}

std::vector<std::string> PasswordForms(const std::string& password) {
    if (!IsGbkRepresentable(password)) return {password};
    std::string gbk = Utf8ToGbk(password);
    if (gbk == password) return {password};
    return {std::move(gbk), password};
}

void MakeCryptHeader(uint32_t crc, uint8_t header[CryptHeaderSize]) {
    // Never a clock-seeded generator: two archives written in one tick must differ here.
    constexpr int RandomBytes = CryptHeaderSize - 2;
    for (int got = 0; got < RandomBytes;) {
        const ssize_t n = ::getrandom(header + got, static_cast<size_t>(RandomBytes - got), 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw EInOutError("The system's random source cannot be read");
        }
        got += static_cast<int>(n);
    }
    header[10] = static_cast<uint8_t>(crc >> 16);
    header[11] = static_cast<uint8_t>(crc >> 24);
}

uint8_t CryptCheckByte(uint16_t flags, uint32_t dosDateTime, uint32_t crc) {
    return (flags & FlagDataDescriptor) ? static_cast<uint8_t>(dosDateTime >> 8) : static_cast<uint8_t>(crc >> 24);
}

} // namespace zip
