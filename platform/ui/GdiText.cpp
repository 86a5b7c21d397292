// Fonts and text: the face table, measuring, ExtTextOut and DrawText with its
// layout flags. Glyphs are drawn without antialiasing into a mask and then
// painted in the text colour, so text pixels are exactly that colour.
#include "platform/ui/Gdi.h"

#include "platform/ui/private/GdiObjects_p.h"
#include "platform/ui/private/GdiPrivate_p.h"
#include "platform/ui/private/QtApplication_p.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstring>
#include <map>

using namespace platform_ui;
using Kind = PlatformGdiObject::Kind;

namespace platform_ui {

namespace {

constexpr const char* ProportionalFace = "WenQuanYi Micro Hei";
constexpr const char* FixedFace = "WenQuanYi Micro Hei Mono";

// The faces the program names and the installed face that stands in for each.
// Anything not listed takes the proportional face.
const std::map<std::string, const char*>& FaceTable() {
    static const std::map<std::string, const char*> table = {
        {"宋体", ProportionalFace},
        {"新宋体", FixedFace},
        {"黑体", ProportionalFace},
        {"仿宋_GB2312", ProportionalFace},
        {"楷体_GB2312", ProportionalFace},
        {"MS Sans Serif", ProportionalFace},
        {"Tahoma", ProportionalFace},
        {"Arial", ProportionalFace},
        {"Verdana", ProportionalFace},
        {"Times New Roman", ProportionalFace},
        {"System", ProportionalFace},
        {"Courier New", FixedFace},
        {"Courier", FixedFace},
        {"Terminal", FixedFace},
        {"Fixedsys", FixedFace},
    };
    return table;
}

} // namespace

QFont MakeQFont(const LOGFONT& lf) {
    EnsureQtApplication();
    const auto& table = FaceTable();
    auto found = table.find(lf.lfFaceName);
    const bool fixed = (lf.lfPitchAndFamily & 3) == FIXED_PITCH;
    QFont font(QString::fromUtf8(found != table.end() ? found->second : (fixed ? FixedFace : ProportionalFace)));
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setWeight(QFont::Weight(std::clamp(lf.lfWeight == 0 ? FW_NORMAL : lf.lfWeight, 1, 1000)));
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);
    const int defaultHeight = 12;
    int pixels = lf.lfHeight < 0 ? -lf.lfHeight : (lf.lfHeight == 0 ? defaultHeight : lf.lfHeight);
    if (lf.lfHeight > 0) {
        // A positive height is the cell height (ascent + descent), not the em.
        QFont probe = font;
        probe.setPixelSize(100);
        QFontMetrics m(probe);
        pixels = std::max(1, static_cast<int>(lf.lfHeight * 100.0 / std::max(1, m.ascent() + m.descent()) + 0.5));
    }
    font.setPixelSize(std::max(pixels, 1));
    return font;
}

QFont FontOfDC(HDC dc) {
    HGDIOBJ font = IsLiveDC(dc) ? dc->state.font : nullptr;
    if (IsLive(font, Kind::Font)) return font->qfont;
    return GetStockObject(SYSTEM_FONT)->qfont;
}

} // namespace platform_ui

namespace {

QString ToQString(const char* text, int count) {
    if (!text) return {};
    if (count < 0) count = static_cast<int>(std::strlen(text));
    return QString::fromUtf8(text, count);
}

struct Metrics {
    int ascent = 0, descent = 0, height = 0, leading = 0, aveChar = 0;
};

Metrics MetricsOf(const QFontMetrics& m) {
    Metrics r;
    r.ascent = m.ascent();
    r.descent = m.descent();
    r.height = r.ascent + r.descent;
    r.leading = std::max(0, m.leading());
    r.aveChar = std::max(1, m.averageCharWidth());
    return r;
}

// Draws `text` with its top-left cell corner at device point `at` in the text
// colour, through the DC's clip narrowed by `clip` (device) when given.
// underlineOnly draws the prefix underline and no glyph.
void PaintText(HDC dc, const QFont& font, const QString& text, QPoint at, const QRegion* clip, int underlineIndex = -1,
               bool underlineOnly = false) {
    if (text.isEmpty() || !SurfaceOf(dc)) return;
    const QFontMetrics m(font);
    const int width = m.horizontalAdvance(text) + m.maxWidth();
    const int height = m.ascent() + m.descent() + 2;
    QImage mask = NewMask(QSize(width, height));
    {
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setFont(font);
        painter.setPen(Qt::black);
        if (!underlineOnly) painter.drawText(QPoint(0, m.ascent()), text);
        if (underlineIndex >= 0 && underlineIndex < text.size()) {
            const int x0 = m.horizontalAdvance(text.left(underlineIndex));
            const int x1 = m.horizontalAdvance(text.left(underlineIndex + 1));
            painter.fillRect(QRect(x0, m.ascent() + 1, std::max(1, x1 - x0), 1), Qt::black);
        }
    }
    if (clip) {
        // Drop the mask pixels outside the extra clip.
        const QRegion outside = QRegion(QRect(at, mask.size())) - *clip;
        for (const QRect& r : outside)
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    mask.setPixel(x - at.x(), y - at.y(), 0);
    }
    PaintMaskWithColor(dc, mask, at, dc->state.textColor, R2_COPYPEN);
}

QString ExpandTabs(const QString& line, const QFontMetrics& m, int tabWidth, int startX = 0) {
    if (!line.contains('\t')) return line;
    // Tabs become spaces up to the next stop; spaces keep the measuring simple.
    QString result;
    int x = startX;
    const int space = std::max(1, m.horizontalAdvance(' '));
    for (QChar c : line) {
        if (c == '\t') {
            const int next = ((x / tabWidth) + 1) * tabWidth;
            do {
                result += ' ';
                x += space;
            } while (x < next);
        } else {
            result += c;
            x += m.horizontalAdvance(c);
        }
    }
    return result;
}

bool IsWide(char32_t c) {
    return c >= 0x2E80;
}

bool SplitsPair(const QString& s, int i) {
    return i > 0 && i < s.size() && s[i - 1].isHighSurrogate() && s[i].isLowSurrogate();
}

// The code points on either side of index i (a break position).
char32_t CodePointBefore(const QString& s, int i) {
    return SplitsPair(s, i - 1) ? QChar::surrogateToUcs4(s[i - 2], s[i - 1]) : s[i - 1].unicode();
}

char32_t CodePointAt(const QString& s, int i) {
    return SplitsPair(s, i + 1) ? QChar::surrogateToUcs4(s[i], s[i + 1]) : s[i].unicode();
}

// Breaks one paragraph into lines no wider than `width`: after blanks, and
// between wide (CJK) characters; a word longer than the width stays whole.
QStringList WrapLine(const QString& text, const QFontMetrics& m, int width) {
    QStringList lines;
    QString rest = text;
    while (!rest.isEmpty()) {
        if (m.horizontalAdvance(rest) <= width) {
            lines << rest;
            break;
        }
        int lastBreak = -1; // characters before the break
        for (int i = 1; i <= rest.size(); ++i) {
            // A surrogate pair (an emoji, a rare CJK character) is one character and never split.
            if (SplitsPair(rest, i)) continue;
            const bool breakHere = i == rest.size() || rest[i - 1] == ' ' || rest[i] == ' ' ||
                                   IsWide(CodePointBefore(rest, i)) || IsWide(CodePointAt(rest, i));
            if (!breakHere) continue;
            if (m.horizontalAdvance(rest.left(i)) > width && lastBreak > 0) break;
            lastBreak = i;
            if (m.horizontalAdvance(rest.left(i)) > width) break;
        }
        if (lastBreak <= 0) lastBreak = rest.size();
        QString line = rest.left(lastBreak);
        while (line.endsWith(' ') && line.size() > 1)
            line.chop(1);
        lines << line;
        rest = rest.mid(lastBreak);
        while (rest.startsWith(' '))
            rest.remove(0, 1);
    }
    if (lines.isEmpty()) lines << QString();
    return lines;
}

const QString Ellipsis = QStringLiteral("...");

// Shortening drops whole characters: a surrogate pair goes as one.
void ChopCharacter(QString& s) {
    s.chop(SplitsPair(s, static_cast<int>(s.size()) - 1) ? 2 : 1);
}

void RemoveFirstCharacter(QString& s) {
    s.remove(0, SplitsPair(s, 1) ? 2 : 1);
}

QString EndEllipsis(const QString& line, const QFontMetrics& m, int width) {
    if (m.horizontalAdvance(line) <= width) return line;
    QString head = line;
    while (!head.isEmpty() && m.horizontalAdvance(head + Ellipsis) > width)
        ChopCharacter(head);
    return head + Ellipsis;
}

QString PathEllipsis(const QString& line, const QFontMetrics& m, int width) {
    if (m.horizontalAdvance(line) <= width) return line;
    const int slash = std::max(line.lastIndexOf('\\'), line.lastIndexOf('/'));
    if (slash < 0) {
        // No path: drop characters from the middle.
        const int half =
            static_cast<int>(line.size()) / 2 + (SplitsPair(line, static_cast<int>(line.size()) / 2) ? 1 : 0);
        QString head = line.left(half), tail = line.mid(half);
        while ((!head.isEmpty() || !tail.isEmpty()) && m.horizontalAdvance(head + Ellipsis + tail) > width) {
            if (head.size() >= tail.size())
                ChopCharacter(head);
            else
                RemoveFirstCharacter(tail);
        }
        return head + Ellipsis + tail;
    }
    // Keep the last component whole as long as possible, shortening the folders.
    QString head = line.left(slash);
    const QString tail = line.mid(slash);
    while (!head.isEmpty() && m.horizontalAdvance(head + Ellipsis + tail) > width)
        ChopCharacter(head);
    if (m.horizontalAdvance(head + Ellipsis + tail) <= width) return head + Ellipsis + tail;
    return EndEllipsis(Ellipsis + tail, m, width);
}

struct PrefixResult {
    QString text;
    int underline = -1;
};

// "&x" underlines x, "&&" is one "&".
PrefixResult StripPrefix(const QString& text, bool showUnderline) {
    PrefixResult r;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            ++i;
            if (text[i] != '&' && showUnderline && r.underline < 0) r.underline = static_cast<int>(r.text.size());
        } else if (text[i] == '&') {
            continue;
        }
        r.text += text[i];
    }
    return r;
}

} // namespace

BOOL GetTextExtentPoint32(HDC dc, const char* text, int count, SIZE* size) {
    if (!IsLiveDC(dc) || !size) return 0;
    const QFontMetrics m(FontOfDC(dc));
    size->cx = m.horizontalAdvance(ToQString(text, count));
    size->cy = m.ascent() + m.descent();
    return 1;
}

BOOL GetTextExtentPoint(HDC dc, const char* text, int count, SIZE* size) {
    return GetTextExtentPoint32(dc, text, count, size);
}

BOOL GetTextMetrics(HDC dc, TEXTMETRIC* metrics) {
    if (!IsLiveDC(dc) || !metrics) return 0;
    const QFont font = FontOfDC(dc);
    const QFontMetrics m(font);
    const Metrics r = MetricsOf(m);
    *metrics = {};
    metrics->tmHeight = r.height;
    metrics->tmAscent = r.ascent;
    metrics->tmDescent = r.descent;
    metrics->tmInternalLeading = std::max(0, r.height - font.pixelSize());
    metrics->tmExternalLeading = r.leading;
    metrics->tmAveCharWidth = r.aveChar;
    metrics->tmMaxCharWidth = m.maxWidth();
    metrics->tmWeight = font.weight();
    metrics->tmItalic = font.italic();
    metrics->tmUnderlined = font.underline();
    metrics->tmStruckOut = font.strikeOut();
    metrics->tmPitchAndFamily = font.fixedPitch() ? 0 : 1; // bit 0 set means variable pitch
    metrics->tmCharSet = IsLive(dc->state.font, Kind::Font) ? dc->state.font->font.lfCharSet : DEFAULT_CHARSET;
    return 1;
}

int GetTextFace(HDC dc, std::string& face) {
    if (!IsLiveDC(dc)) return 0;
    face = IsLive(dc->state.font, Kind::Font) ? dc->state.font->font.lfFaceName : std::string();
    return static_cast<int>(face.size());
}

BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* rect, const char* text, int count, const int* dx) {
    if (!IsLiveDC(dc)) return 0;
    const QFont font = FontOfDC(dc);
    const QFontMetrics m(font);
    const QString s = ToQString(text, count);
    int width = 0;
    if (dx)
        for (int i = 0; i < s.size(); ++i)
            width += dx[i];
    else
        width = m.horizontalAdvance(s);
    const UINT align = dc->state.textAlign;
    if ((align & TA_CENTER) == TA_CENTER)
        x -= width / 2;
    else if (align & TA_RIGHT)
        x -= width;
    if ((align & TA_BASELINE) == TA_BASELINE)
        y -= m.ascent();
    else if (align & TA_BOTTOM)
        y -= m.ascent() + m.descent();

    const QPoint at = ToDevice(dc, x, y);
    const QRect box(at, QSize(width, m.ascent() + m.descent()));
    QRegion clip;
    const bool clipped = rect && (options & ETO_CLIPPED);
    if (rect) clip = QRegion(ToDevice(dc, *rect));
    if (rect && (options & ETO_OPAQUE))
        FillWithColor(dc, clip, dc->state.bkColor);
    else if (dc->state.bkMode == OPAQUE)
        FillWithColor(dc, clipped ? QRegion(box) & clip : QRegion(box), dc->state.bkColor);
    if (!dx) {
        PaintText(dc, font, s, at, clipped ? &clip : nullptr);
        return 1;
    }
    int cx = at.x();
    for (int i = 0; i < s.size(); ++i) {
        PaintText(dc, font, QString(s[i]), QPoint(cx, at.y()), clipped ? &clip : nullptr);
        cx += dx[i];
    }
    return 1;
}

BOOL TextOut(HDC dc, int x, int y, const char* text, int count) {
    return ExtTextOut(dc, x, y, 0, nullptr, text, count, nullptr);
}

int DrawText(HDC dc, const std::string& text, RECT* rect, UINT format) {
    return DrawText(dc, text.c_str(), static_cast<int>(text.size()), rect, format);
}

int DrawText(HDC dc, const char* text, int count, RECT* rect, UINT format) {
    if (!IsLiveDC(dc) || !rect) return 0;
    const QFont font = FontOfDC(dc);
    const QFontMetrics m(font);
    const Metrics metrics = MetricsOf(m);
    const int lineHeight = metrics.height + ((format & DT_EXTERNALLEADING) ? metrics.leading : 0);
    const bool single = format & DT_SINGLELINE;
    QString source = ToQString(text, count);
    if (source.isEmpty()) {
        if (format & DT_CALCRECT) {
            rect->Right = rect->Left;
            rect->Bottom = rect->Top + (single ? lineHeight : 0);
        }
        return single ? lineHeight : 0;
    }

    PrefixResult prefixed{source, -1};
    if (!(format & DT_NOPREFIX)) prefixed = StripPrefix(source, !(format & DT_HIDEPREFIX));

    // Split into paragraphs, keeping track of where the underlined character lands.
    QStringList paragraphs;
    std::vector<int> paragraphStart;
    {
        QString current;
        int start = 0;
        const QString& t = prefixed.text;
        for (int i = 0; i < t.size(); ++i) {
            const QChar c = t[i];
            if (c == '\r' || c == '\n') {
                if (single) continue;
                paragraphs << current;
                paragraphStart.push_back(start);
                current.clear();
                if (c == '\r' && i + 1 < t.size() && t[i + 1] == '\n') ++i;
                start = i + 1;
                continue;
            }
            current += c;
        }
        paragraphs << current;
        paragraphStart.push_back(start);
    }

    const int tabWidth = 8 * metrics.aveChar;
    const int boxWidth = rect->Right - rect->Left;
    struct Line {
        QString text;
        int underline = -1;
    };
    std::vector<Line> lines;
    for (int p = 0; p < paragraphs.size(); ++p) {
        QString paragraph = (format & DT_EXPANDTABS) ? ExpandTabs(paragraphs[p], m, tabWidth) : paragraphs[p];
        int underline = -1;
        if (prefixed.underline >= paragraphStart[static_cast<size_t>(p)] &&
            prefixed.underline < paragraphStart[static_cast<size_t>(p)] + paragraphs[p].size() &&
            !paragraphs[p].contains('\t'))
            underline = prefixed.underline - paragraphStart[static_cast<size_t>(p)];
        if ((format & DT_WORDBREAK) && !single) {
            int consumed = 0;
            for (const QString& piece : WrapLine(paragraph, m, boxWidth)) {
                const int at = static_cast<int>(paragraph.indexOf(piece, consumed));
                Line line{piece, -1};
                if (underline >= at && underline < at + piece.size()) line.underline = underline - at;
                consumed = at + static_cast<int>(piece.size());
                lines.push_back(line);
            }
        } else {
            lines.push_back({paragraph, underline});
        }
    }
    for (Line& line : lines) {
        const QString before = line.text;
        if (format & DT_PATH_ELLIPSIS)
            line.text = PathEllipsis(line.text, m, boxWidth);
        else if (format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS))
            line.text = EndEllipsis(line.text, m, boxWidth);
        if (line.text != before && line.underline >= line.text.size() - Ellipsis.size()) line.underline = -1;
    }

    int maxWidth = 0;
    for (const Line& line : lines)
        maxWidth = std::max(maxWidth, static_cast<int>(m.horizontalAdvance(line.text)));
    const int textHeight = static_cast<int>(lines.size()) * lineHeight;

    if (format & DT_CALCRECT) {
        rect->Right = rect->Left + maxWidth;
        rect->Bottom = rect->Top + textHeight;
        return textHeight;
    }

    int y = rect->Top;
    if (single && (format & DT_VCENTER))
        y = rect->Top + (rect->Bottom - rect->Top - lineHeight) / 2;
    else if (single && (format & DT_BOTTOM))
        y = rect->Bottom - lineHeight;
    const QRegion clip(ToDevice(dc, *rect));
    const bool clipped = !(format & DT_NOCLIP);
    for (const Line& line : lines) {
        const int w = m.horizontalAdvance(line.text);
        int x = rect->Left;
        if (format & DT_CENTER)
            x = rect->Left + (boxWidth - w) / 2;
        else if (format & DT_RIGHT)
            x = rect->Right - w;
        const QPoint at = ToDevice(dc, x, y);
        // DT_PREFIXONLY draws the underline alone: no characters, no background.
        const bool underlineOnly = format & DT_PREFIXONLY;
        if (dc->state.bkMode == OPAQUE && !underlineOnly) {
            const QRegion cell(QRect(at, QSize(w, lineHeight)));
            FillWithColor(dc, clipped ? cell & clip : cell, dc->state.bkColor);
        }
        PaintText(dc, font, line.text, at, clipped ? &clip : nullptr, line.underline, underlineOnly);
        y += lineHeight;
    }
    if (single && (format & DT_VCENTER)) return (rect->Bottom - rect->Top - lineHeight) / 2 + lineHeight;
    if (single && (format & DT_BOTTOM)) return rect->Bottom - rect->Top;
    return textHeight;
}
