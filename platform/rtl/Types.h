// Geometry, the fixed-width integer names the design uses and a small set type.
// Rectangles keep the Win32 convention: Right and Bottom lie outside the rectangle.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>

using Integer = int32_t;
using Cardinal = uint32_t;
using Word = uint16_t;
using Byte = uint8_t;
using Int64 = int64_t;
using LongBool = int32_t;

struct TPoint {
    Integer X = 0;
    Integer Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    Integer cx = 0;
    Integer cy = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
    Integer Left = 0;
    Integer Top = 0;
    Integer Right = 0;
    Integer Bottom = 0;

    Integer Width() const { return Right - Left; }
    Integer Height() const { return Bottom - Top; }
    TPoint TopLeft() const { return {Left, Top}; }
    TPoint BottomRight() const { return {Right, Bottom}; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

inline TPoint Point(Integer x, Integer y) {
    return {x, y};
}
inline TRect Rect(Integer left, Integer top, Integer right, Integer bottom) {
    return {left, top, right, bottom};
}
inline TRect Bounds(Integer left, Integer top, Integer width, Integer height) {
    return {left, top, left + width, top + height};
}

inline bool IsRectEmpty(const TRect& r) {
    return r.Right <= r.Left || r.Bottom <= r.Top;
}
inline bool PtInRect(const TRect& r, const TPoint& p) {
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}
inline void OffsetRect(TRect& r, Integer dx, Integer dy) {
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
}
inline void InflateRect(TRect& r, Integer dx, Integer dy) {
    r.Left -= dx;
    r.Right += dx;
    r.Top -= dy;
    r.Bottom += dy;
}
// Win32 semantics: an empty intersection yields the empty rectangle and false.
inline bool IntersectRect(TRect& dst, const TRect& a, const TRect& b) {
    TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
    if (IsRectEmpty(r)) {
        dst = {};
        return false;
    }
    dst = r;
    return true;
}
inline bool UnionRect(TRect& dst, const TRect& a, const TRect& b) {
    if (IsRectEmpty(a))
        dst = b;
    else if (IsRectEmpty(b))
        dst = a;
    else
        dst = {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
               std::max(a.Bottom, b.Bottom)};
    return !IsRectEmpty(dst);
}

// A small set of enumeration values, as the class framework's `set of` types
// (component state, shift state, options). Values must lie below 64.
template <typename E> class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> values) {
        for (E v : values)
            FBits |= Bit(v);
    }
    constexpr bool Contains(E v) const { return (FBits & Bit(v)) != 0; }
    constexpr TSet& Include(E v) {
        FBits |= Bit(v);
        return *this;
    }
    constexpr TSet& Exclude(E v) {
        FBits &= ~Bit(v);
        return *this;
    }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr uint64_t Bits() const { return FBits; }
    constexpr TSet operator+(TSet o) const { return FromBits(FBits | o.FBits); }
    constexpr TSet operator-(TSet o) const { return FromBits(FBits & ~o.FBits); }
    constexpr TSet operator*(TSet o) const { return FromBits(FBits & o.FBits); }
    constexpr TSet operator+(E v) const { return FromBits(FBits | Bit(v)); }
    constexpr TSet operator-(E v) const { return FromBits(FBits & ~Bit(v)); }
    constexpr TSet& operator+=(TSet o) { return *this = *this + o; }
    constexpr TSet& operator-=(TSet o) { return *this = *this - o; }
    constexpr TSet& operator+=(E v) { return Include(v); }
    constexpr TSet& operator-=(E v) { return Exclude(v); }
    friend constexpr bool operator==(TSet a, TSet b) { return a.FBits == b.FBits; }

    static constexpr TSet FromBits(uint64_t bits) {
        TSet s;
        s.FBits = bits;
        return s;
    }

private:
    static constexpr uint64_t Bit(E v) { return uint64_t(1) << static_cast<unsigned>(v); }
    uint64_t FBits = 0;
};
