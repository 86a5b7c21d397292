// UTF-8 walking. A sequence is accepted only when well formed (no overlong
// forms, no surrogates, nothing above U+10FFFF); any other byte is one
// character by itself.
#include "platform/rtl/Utf8.h"

// Length in bytes of the well-formed sequence at S[i], or 1 for a stray byte.
static size_t SequenceLength(std::string_view S, size_t i, char32_t* CodePoint = nullptr) {
    const auto b0 = static_cast<unsigned char>(S[i]);
    auto set = [&](char32_t cp) {
        if (CodePoint) *CodePoint = cp;
    };
    if (b0 < 0x80) {
        set(b0);
        return 1;
    }
    size_t n;
    char32_t cp;
    char32_t min;
    if ((b0 & 0xE0) == 0xC0)
        n = 2, cp = b0 & 0x1F, min = 0x80;
    else if ((b0 & 0xF0) == 0xE0)
        n = 3, cp = b0 & 0x0F, min = 0x800;
    else if ((b0 & 0xF8) == 0xF0)
        n = 4, cp = b0 & 0x07, min = 0x10000;
    else {
        set(0xFFFD);
        return 1;
    }
    if (i + n > S.size()) {
        set(0xFFFD);
        return 1;
    }
    for (size_t k = 1; k < n; ++k) {
        const auto b = static_cast<unsigned char>(S[i + k]);
        if ((b & 0xC0) != 0x80) {
            set(0xFFFD);
            return 1;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        set(0xFFFD);
        return 1;
    }
    set(cp);
    return n;
}

size_t Utf8Length(std::string_view S) {
    size_t count = 0;
    for (size_t i = 0; i < S.size(); i += SequenceLength(S, i))
        ++count;
    return count;
}

size_t Utf8ByteOffset(std::string_view S, size_t CharIndex) {
    size_t i = 0;
    for (size_t c = 0; c < CharIndex && i < S.size(); ++c)
        i += SequenceLength(S, i);
    return i;
}

size_t Utf8CharIndex(std::string_view S, size_t ByteOffset) {
    size_t count = 0;
    for (size_t i = 0; i < S.size() && i < ByteOffset; i += SequenceLength(S, i))
        ++count;
    return count;
}

std::string Utf8Copy(std::string_view S, size_t CharIndex, size_t Count) {
    const size_t begin = Utf8ByteOffset(S, CharIndex);
    const std::string_view rest = S.substr(begin);
    return std::string(rest.substr(0, Count == Utf8NotFound ? rest.size() : Utf8ByteOffset(rest, Count)));
}

size_t Utf8Pos(std::string_view Needle, std::string_view S, size_t FromChar) {
    if (FromChar > Utf8Length(S)) return Utf8NotFound;
    for (size_t from = Utf8ByteOffset(S, FromChar);;) {
        const size_t at = S.find(Needle, from);
        if (at == std::string_view::npos) return Utf8NotFound;
        // Only a match that starts on a character boundary counts.
        if (at == 0 || at == S.size() || Utf8PrevCharBoundary(S, at + 1) == at) return Utf8CharIndex(S, at);
        from = at + 1;
    }
}

static bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Start of the character holding byte Offset (Offset itself for a stray byte).
static size_t CharStart(std::string_view S, size_t Offset) {
    size_t p = Offset;
    while (p > 0 && Offset - p < 3 && IsContinuation(S[p]))
        --p;
    return p + SequenceLength(S, p) > Offset ? p : Offset;
}

size_t Utf8NextCharBoundary(std::string_view S, size_t ByteOffset) {
    if (ByteOffset >= S.size()) return S.size();
    const size_t start = CharStart(S, ByteOffset);
    return start + SequenceLength(S, start);
}

size_t Utf8PrevCharBoundary(std::string_view S, size_t ByteOffset) {
    if (ByteOffset == 0 || S.empty()) return 0;
    if (ByteOffset > S.size()) ByteOffset = S.size();
    return CharStart(S, ByteOffset - 1);
}

char32_t Utf8CodePointAt(std::string_view S, size_t ByteOffset) {
    if (ByteOffset >= S.size()) return 0;
    char32_t cp = 0;
    SequenceLength(S, ByteOffset, &cp);
    return cp;
}

std::string Utf8FromCodePoint(char32_t c) {
    std::string r;
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    if (c < 0x80) {
        r += char(c);
    } else if (c < 0x800) {
        r += char(0xC0 | (c >> 6));
        r += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        r += char(0xE0 | (c >> 12));
        r += char(0x80 | ((c >> 6) & 0x3F));
        r += char(0x80 | (c & 0x3F));
    } else {
        r += char(0xF0 | (c >> 18));
        r += char(0x80 | ((c >> 12) & 0x3F));
        r += char(0x80 | ((c >> 6) & 0x3F));
        r += char(0x80 | (c & 0x3F));
    }
    return r;
}

std::u32string Utf8ToCodePoints(std::string_view S) {
    std::u32string out;
    for (size_t i = 0; i < S.size(); i = Utf8NextCharBoundary(S, i))
        out += Utf8CodePointAt(S, i);
    return out;
}

std::string Utf8FromCodePoints(std::u32string_view S) {
    std::string out;
    for (char32_t c : S)
        out += Utf8FromCodePoint(c);
    return out;
}

bool Utf8IsValid(std::string_view S) {
    for (size_t i = 0; i < S.size();) {
        char32_t cp = 0;
        const size_t n = SequenceLength(S, i, &cp);
        if (n == 1 && static_cast<unsigned char>(S[i]) >= 0x80) return false;
        i += n;
    }
    return true;
}
