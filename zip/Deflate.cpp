// Deflate compressor: placeholder that stores the whole file until the matcher lands.
#include "zip/Deflate.h"

#include <vector>

namespace zip {

class TDeflateState {};

TDeflater::TDeflater() : FState(std::make_unique<TDeflateState>()) {}

TDeflater::~TDeflater() = default;

TDeflateResult TDeflater::Deflate(int packLevel, TDeflateIO& io) {
    TDeflateResult result;
    result.Method = 0;
    result.FlagBits = packLevel < 3 ? 4 : packLevel >= 8 ? 2 : 0;
    std::vector<uint8_t> buffer(32768);
    for (;;) {
        const int n = io.ReadSource(buffer.data(), static_cast<int>(buffer.size()));
        if (n <= 0) break;
        io.WriteOutput(buffer.data(), n);
        result.CompressedSize += static_cast<uint64_t>(n);
    }
    return result;
}

} // namespace zip
