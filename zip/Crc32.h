// CRC-32 of the zip records (reflected polynomial 0xEDB88320). The running value
// starts at 0xFFFFFFFF and is complemented at the end; the table step is exposed
// because the traditional encryption keys are updated with it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zip {

constexpr uint32_t CrcStart = 0xFFFFFFFFu;

// The 256-entry table of single-byte steps.
const uint32_t* CrcTable();

inline uint32_t CrcStep(uint32_t crc, uint8_t byte) {
    return CrcTable()[(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

// Runs the (uncomplemented) CRC over count bytes.
uint32_t UpdateCrc32(uint32_t crc, const uint8_t* data, size_t count);

// The finished CRC-32 of a whole buffer.
inline uint32_t Crc32(const uint8_t* data, size_t count) {
    return ~UpdateCrc32(CrcStart, data, count);
}

} // namespace zip
