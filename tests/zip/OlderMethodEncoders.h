// Test-only encoders for the three older methods, written from the format
// description so that the engine's decoders have data to read: no tool on
// this system writes them. Their output is judged by outside decoders (unzip
// for shrink and implode) before the engine's decoders are trusted with it.
#pragma once

#include <algorithm>
#include <map>
#include <numeric>
#include <random>
#include <vector>

#include "ZipTestSupport.h"

namespace ziptest {

// Bits go out lowest first, bytes fill from their low end.
class TBitWriter {
public:
    void Put(uint32_t value, unsigned bits) {
        for (unsigned i = 0; i < bits; ++i) {
            if (FCount == 0) FBytes.push_back(0);
            FBytes.back() |= static_cast<uint8_t>(((value >> i) & 1) << FCount);
            FCount = (FCount + 1) & 7;
        }
    }
    // A code whose first bit is its highest (the Shannon-Fano trees).
    void PutHighFirst(uint32_t code, unsigned bits) {
        for (unsigned i = bits; i-- > 0;)
            Put((code >> i) & 1, 1);
    }
    const TBytes& Bytes() const { return FBytes; }

private:
    TBytes FBytes;
    unsigned FCount = 0;
};

// Shrink: LZW from 9 to 13 bits. Widening is sent as 256,1 before the first
// code that needs it. A nearly full table is partly cleared (256,2) right after
// a code that the clear keeps (a literal or a prefix of another code), and
// before the table fills: outside decoders differ on codes read while it is full.
struct TShrinkStats {
    int Widenings = 0;
    int PartialClears = 0;
};

inline TBytes Shrink(const TBytes& in, TShrinkStats* stats = nullptr) {
    constexpr unsigned Codes = 8192, Free = 0xFFFF, ClearFrom = 7800;
    TBitWriter out;
    if (in.empty()) return out.Bytes();
    std::vector<unsigned> prefix(Codes, Free);
    std::vector<uint8_t> suffix(Codes);
    std::vector<int> children(Codes, 0);
    std::map<std::pair<unsigned, uint8_t>, unsigned> dictionary;
    unsigned width = 9, nextFree = 257;
    auto emit = [&](unsigned code) {
        while (code >= (1u << width)) {
            out.Put(256, width);
            out.Put(1, width);
            ++width;
            if (stats) ++stats->Widenings;
        }
        out.Put(code, width);
    };
    auto add = [&](unsigned code, uint8_t c) {
        prefix[nextFree] = code;
        suffix[nextFree] = c;
        ++children[code];
        dictionary[{code, c}] = nextFree;
        while (nextFree < Codes && prefix[nextFree] != Free)
            ++nextFree;
    };
    unsigned w = in[0];
    for (size_t i = 1; i < in.size(); ++i) {
        const uint8_t c = in[i];
        const auto found = dictionary.find({w, c});
        if (found != dictionary.end()) {
            w = found->second;
            continue;
        }
        emit(w);
        if (nextFree >= ClearFrom && (w < 256 || children[w] > 0)) {
            out.Put(256, width);
            out.Put(2, width);
            if (stats) ++stats->PartialClears;
            std::vector<unsigned> leaves;
            for (unsigned k = 257; k < Codes; ++k)
                if (prefix[k] != Free && children[k] == 0) leaves.push_back(k);
            for (const unsigned k : leaves) {
                dictionary.erase({prefix[k], suffix[k]});
                --children[prefix[k]];
                prefix[k] = Free;
            }
            nextFree = 257;
            while (nextFree < Codes && prefix[nextFree] != Free)
                ++nextFree;
        }
        if (nextFree < Codes) add(w, c);
        w = c;
    }
    emit(w);
    return out.Bytes();
}

// A greedy match search over the last window bytes: the longest match, the nearest among equals.
struct TMatch {
    size_t Length = 0;
    size_t Distance = 0;
};

inline TMatch LongestMatch(const TBytes& in, size_t pos, size_t window, size_t maxLength,
                           const std::map<uint32_t, std::vector<size_t>>& heads) {
    TMatch best;
    if (pos + 3 > in.size()) return best;
    const uint32_t key = in[pos] | in[pos + 1] << 8 | in[pos + 2] << 16;
    const auto found = heads.find(key);
    if (found == heads.end()) return best;
    const auto& positions = found->second;
    int tries = 0;
    for (auto it = positions.rbegin(); it != positions.rend() && tries < 256; ++it, ++tries) {
        if (pos - *it > window) break;
        size_t n = 0;
        while (n < maxLength && pos + n < in.size() && in[*it + n] == in[pos + n])
            ++n;
        if (n > best.Length) best = {n, pos - *it};
    }
    return best;
}

inline void Remember(const TBytes& in, size_t pos, std::map<uint32_t, std::vector<size_t>>& heads) {
    if (pos + 3 <= in.size()) heads[in[pos] | in[pos + 1] << 8 | in[pos + 2] << 16].push_back(pos);
}

// Reduce with factor 1-4: follower sets of up to maxFollowers (set to 0 for every
// third byte value, so empty sets occur), then the escape-coded stream.
inline TBytes Reduce(const TBytes& in, int factor, unsigned maxFollowers = 63) {
    const unsigned lengthMask = 0xFFu >> factor;
    const size_t maxDistance = size_t{256} << factor;
    const size_t maxLength = lengthMask + 255 + 3;
    // The byte stream before follower coding.
    std::vector<uint8_t> stream;
    std::map<uint32_t, std::vector<size_t>> heads;
    for (size_t pos = 0; pos < in.size();) {
        TMatch m = LongestMatch(in, pos, maxDistance, maxLength, heads);
        // Length 3 within 256 bytes would read as an escaped 144.
        if (m.Length == 3 && m.Distance <= 256) m.Length = 0;
        if (m.Length >= 3) {
            const size_t d = m.Distance - 1, extra = m.Length - 3;
            const uint8_t high = static_cast<uint8_t>((d >> 8) << (8 - factor));
            stream.push_back(144);
            if (extra < lengthMask) {
                stream.push_back(static_cast<uint8_t>(high | extra));
            } else {
                stream.push_back(static_cast<uint8_t>(high | lengthMask));
                stream.push_back(static_cast<uint8_t>(extra - lengthMask));
            }
            stream.push_back(static_cast<uint8_t>(d & 0xFF));
            for (size_t k = 0; k < m.Length; ++k)
                Remember(in, pos + k, heads);
            pos += m.Length;
            continue;
        }
        stream.push_back(in[pos]);
        if (in[pos] == 144) stream.push_back(0);
        Remember(in, pos, heads);
        ++pos;
    }
    // Followers: the most frequent successors in the stream.
    std::vector<std::map<uint8_t, int>> successors(256);
    uint8_t last = 0;
    for (const uint8_t c : stream) {
        ++successors[last][c];
        last = c;
    }
    std::vector<std::vector<uint8_t>> followers(256);
    for (unsigned b = 0; b < 256; ++b) {
        if (b % 3 == 0) continue;
        std::vector<std::pair<int, uint8_t>> byCount;
        for (const auto& [c, n] : successors[b])
            byCount.push_back({-n, c});
        std::sort(byCount.begin(), byCount.end());
        for (size_t k = 0; k < byCount.size() && k < maxFollowers; ++k)
            followers[b].push_back(byCount[k].second);
    }
    TBitWriter out;
    for (int b = 255; b >= 0; --b) {
        out.Put(static_cast<uint32_t>(followers[b].size()), 6);
        for (const uint8_t f : followers[b])
            out.Put(f, 8);
    }
    last = 0;
    for (const uint8_t c : stream) {
        const auto& set = followers[last];
        if (set.empty()) {
            out.Put(c, 8);
        } else {
            const auto at = std::find(set.begin(), set.end(), c);
            if (at == set.end()) {
                out.Put(1, 1);
                out.Put(c, 8);
            } else {
                unsigned bits = 1;
                while ((1u << bits) < set.size())
                    ++bits;
                out.Put(0, 1);
                out.Put(static_cast<uint32_t>(at - set.begin()), bits);
            }
        }
        last = c;
    }
    return out.Bytes();
}

// Complete bit lengths for count symbols, varied by seed: from equal lengths, one
// symbol at a time moves a level up while two move a level down.
inline std::vector<uint8_t> VariedLengths(unsigned count, unsigned seed) {
    unsigned base = 0;
    while ((1u << base) < count)
        ++base;
    std::vector<uint8_t> lengths(count, static_cast<uint8_t>(base));
    std::mt19937 rng(seed);
    for (int step = 0; step < 40; ++step) {
        const unsigned a = rng() % count;
        const uint8_t l = lengths[a];
        if (l <= 1 || l >= 16) continue;
        std::vector<unsigned> same;
        for (unsigned k = 0; k < count; ++k)
            if (k != a && lengths[k] == l) same.push_back(k);
        if (same.size() < 2) continue;
        std::shuffle(same.begin(), same.end(), rng);
        lengths[a] = static_cast<uint8_t>(l - 1);
        lengths[same[0]] = lengths[same[1]] = static_cast<uint8_t>(l + 1);
    }
    return lengths;
}

// Shannon-Fano codes as the format assigns them: lengths sorted rising (ties by
// value), codes counted from the last (longest) one up, 16 bits left aligned.
inline std::vector<uint32_t> ShannonFanoCodes(const std::vector<uint8_t>& lengths) {
    std::vector<unsigned> order(lengths.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](unsigned a, unsigned b) { return lengths[a] < lengths[b]; });
    std::vector<uint32_t> codes(lengths.size());
    uint32_t code = 0, increment = 0;
    unsigned last = 0;
    for (size_t i = order.size(); i-- > 0;) {
        code += increment;
        if (lengths[order[i]] != last) {
            last = lengths[order[i]];
            increment = 1u << (16 - last);
        }
        codes[order[i]] = code >> (16 - last);
    }
    return codes;
}

inline void PutTree(TBitWriter& out, const std::vector<uint8_t>& lengths) {
    std::vector<uint8_t> pairs;
    for (size_t i = 0; i < lengths.size();) {
        size_t run = 1;
        while (run < 16 && i + run < lengths.size() && lengths[i + run] == lengths[i])
            ++run;
        pairs.push_back(static_cast<uint8_t>((run - 1) << 4 | (lengths[i] - 1)));
        i += run;
    }
    out.Put(static_cast<uint32_t>(pairs.size() - 1), 8);
    for (const uint8_t p : pairs)
        out.Put(p, 8);
}

// Implode with a 4 or 8 KB dictionary, with or without the literal tree; the
// general-purpose flags to store go to flags.
inline TBytes Implode(const TBytes& in, bool bigDictionary, bool literalTree, uint16_t& flags, unsigned seed = 1) {
    flags = static_cast<uint16_t>((bigDictionary ? 2 : 0) | (literalTree ? 4 : 0));
    const unsigned lowBits = bigDictionary ? 7 : 6;
    const size_t window = bigDictionary ? 8192 : 4096;
    const size_t minMatch = literalTree ? 3 : 2;
    const size_t maxLength = 63 + 255 + minMatch;
    const auto literalLengths = VariedLengths(256, seed), lengthLengths = VariedLengths(64, seed + 1),
               distanceLengths = VariedLengths(64, seed + 2);
    const auto literalCodes = ShannonFanoCodes(literalLengths), lengthCodes = ShannonFanoCodes(lengthLengths),
               distanceCodes = ShannonFanoCodes(distanceLengths);
    TBitWriter out;
    if (literalTree) PutTree(out, literalLengths);
    PutTree(out, lengthLengths);
    PutTree(out, distanceLengths);
    std::map<uint32_t, std::vector<size_t>> heads;
    for (size_t pos = 0; pos < in.size();) {
        const TMatch m = LongestMatch(in, pos, window, maxLength, heads);
        if (m.Length >= std::max<size_t>(minMatch, 3)) {
            const size_t d = m.Distance - 1, l = m.Length - minMatch;
            out.Put(0, 1);
            out.Put(static_cast<uint32_t>(d & ((1u << lowBits) - 1)), lowBits);
            const size_t high = d >> lowBits;
            out.PutHighFirst(distanceCodes[high], distanceLengths[high]);
            const size_t code = std::min<size_t>(l, 63);
            out.PutHighFirst(lengthCodes[code], lengthLengths[code]);
            if (code == 63) out.Put(static_cast<uint32_t>(l - 63), 8);
            for (size_t k = 0; k < m.Length; ++k)
                Remember(in, pos + k, heads);
            pos += m.Length;
            continue;
        }
        out.Put(1, 1);
        if (literalTree)
            out.PutHighFirst(literalCodes[in[pos]], literalLengths[in[pos]]);
        else
            out.Put(in[pos], 8);
        Remember(in, pos, heads);
        ++pos;
    }
    return out.Bytes();
}

} // namespace ziptest
