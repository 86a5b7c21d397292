// CRC-32, eight bytes per step (eight tables derived from the classic one) so
// that checking extracted data costs little beside inflate.
#include "zip/Crc32.h"

#include <cstring>

namespace zip {

namespace {

struct TCrcTables {
    uint32_t T[8][256];
    TCrcTables() {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            T[0][n] = c;
        }
        for (uint32_t n = 0; n < 256; ++n)
            for (int k = 1; k < 8; ++k)
                T[k][n] = T[0][T[k - 1][n] & 0xFF] ^ (T[k - 1][n] >> 8);
    }
};

const TCrcTables& Tables() {
    static const TCrcTables tables;
    return tables;
}

} // namespace

const uint32_t* CrcTable() {
    return Tables().T[0];
}

uint32_t UpdateCrc32(uint32_t crc, const uint8_t* data, size_t count) {
    const auto& t = Tables().T;
    while (count >= 8) {
        uint32_t lo, hi;
        std::memcpy(&lo, data, 4);
        std::memcpy(&hi, data + 4, 4);
        lo ^= crc; // the tables assume little-endian loads, as on every target we build for
        crc = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^ t[3][hi & 0xFF] ^
              t[2][(hi >> 8) & 0xFF] ^ t[1][(hi >> 16) & 0xFF] ^ t[0][hi >> 24];
        data += 8;
        count -= 8;
    }
    while (count--)
        crc = t[0][(crc ^ *data++) & 0xFF] ^ (crc >> 8);
    return crc;
}

} // namespace zip
