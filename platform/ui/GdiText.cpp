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

QFont QFontOf(HFONT font) {
    if (IsLive(font, Kind::Font)) return font->qfont;
    return GetStockObject(DEFAULT_GUI_FONT)->qfont;
}

} // namespace platform_ui

namespace {

QString ToQString(const char* text, int count) {
    if (!text) return {};
    if (count < 0) count = static_cast<int>(std::strlen(text));
    return QString::fromUtf8(text, count);
}

// The measurements GetTextMetrics reports and DrawText lays lines out by. Each
// asks the font engine (the average width reads the font's tables), so DrawText
// takes only those its flags need.
int CellHeight(const QFontMetrics& m) {
    return m.ascent() + m.descent();
}
int ExternalLeading(const QFontMetrics& m) {
    return std::max(0, m.leading());
}
int AverageCharWidth(const QFontMetrics& m) {
    return std::max(1, m.averageCharWidth());
}

// The mask glyphs are drawn into in black, with its painter open from call to
// call: a new image and painter for every cell cost more than its glyphs, not
// least because Qt looks a font up again for every painter it is set on.
class TextMask {
public:
    // The painter, with `font`, on a mask whose top-left `size` is clear; the
    // painter draws straight into the image, so clearing it by hand is safe.
    QPainter& Clear(QSize size, const QFont& font) {
        if (image_.width() < size.width() || image_.height() < size.height()) {
            if (painter_.isActive()) painter_.end();
            image_ = NewMask(size.expandedTo(image_.size()));
        }
        if (!painter_.isActive()) {
            painter_.begin(&image_);
            painter_.setRenderHint(QPainter::Antialiasing, false);
            painter_.setRenderHint(QPainter::TextAntialiasing, false);
            painter_.setPen(Qt::black);
            painter_.setFont(font);
            font_ = font;
        } else if (font != font_) {
            painter_.setFont(font);
            font_ = font;
        }
        uchar* bits = image_.bits();
        for (int y = 0; y < size.height(); ++y)
            std::memset(bits + y * image_.bytesPerLine(), 0, static_cast<size_t>(size.width()) * sizeof(QRgb));
        return painter_;
    }
    // The top-left `size` of the mask, without a copy.
    QImage Part(QSize size) const {
        return QImage(image_.constBits(), size.width(), size.height(), image_.bytesPerLine(), image_.format());
    }

private:
    QImage image_;
    QPainter painter_;
    QFont font_;
};

// Never freed, like the Qt application it needs.
TextMask& TheTextMask() {
    static TextMask* mask = new TextMask;
    return *mask;
}

// Draws `text` with its top-left cell corner at device point `at` in the text
// colour, through the DC's clip narrowed by `clip` (device) when given. `width` is
// the text's advance when the caller has measured it, else -1: clipped text is not
// measured for this, as the clip bounds what can show. The glyphs reach at most a
// widest character beyond the advance and two pixels below the cell.
// underlineOnly draws the prefix underline and no glyph.
void PaintText(HDC dc, const QFont& font, const QString& text, QPoint at, int width, const QRect* clip,
               int underlineIndex = -1, bool underlineOnly = false) {
    if (text.isEmpty() || !SurfaceOf(dc)) return;
    const QFontMetrics m(font);
    QRect area(at, QSize(1, CellHeight(m) + 2));
    if (width >= 0)
        area.setWidth(width + m.maxWidth());
    else if (clip)
        area.setRight(std::max(clip->right(), at.x()));
    else
        area.setWidth(m.horizontalAdvance(text) + m.maxWidth());
    if (clip) area &= *clip;
    area &= EffectiveClip(dc).boundingRect();
    if (area.isEmpty()) return;
    TextMask& mask = TheTextMask();
    QPainter& painter = mask.Clear(area.size(), font);
    const QPoint origin = at - area.topLeft(); // the cell corner in the mask
    if (!underlineOnly) painter.drawText(origin + QPoint(0, m.ascent()), text);
    if (underlineIndex >= 0 && underlineIndex < text.size()) {
        const int x0 = m.horizontalAdvance(text.left(underlineIndex));
        const int x1 = m.horizontalAdvance(text.left(underlineIndex + 1));
        painter.fillRect(QRect(origin + QPoint(x0, m.ascent() + 1), QSize(std::max(1, x1 - x0), 1)), Qt::black);
    }
    PaintMaskWithColor(dc, mask.Part(area.size()), area.topLeft(), dc->state.textColor, R2_COPYPEN);
}

// Tab stops lie every eight average characters.
QString ExpandTabs(const QString& line, const QFontMetrics& m, int startX = 0) {
    if (!line.contains('\t')) return line;
    // Tabs become spaces up to the next stop; spaces keep the measuring simple.
    const int tabWidth = 8 * AverageCharWidth(m);
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
    size->cy = CellHeight(m);
    return 1;
}

BOOL GetTextMetrics(HDC dc, TEXTMETRIC* metrics) {
    if (!IsLiveDC(dc) || !metrics) return 0;
    const QFont font = FontOfDC(dc);
    const QFontMetrics m(font);
    *metrics = {};
    metrics->tmHeight = CellHeight(m);
    metrics->tmAscent = m.ascent();
    metrics->tmDescent = m.descent();
    metrics->tmInternalLeading = std::max(0, metrics->tmHeight - font.pixelSize());
    metrics->tmExternalLeading = ExternalLeading(m);
    metrics->tmAveCharWidth = AverageCharWidth(m);
    metrics->tmMaxCharWidth = m.maxWidth();
    metrics->tmWeight = font.weight();
    metrics->tmItalic = font.italic();
    metrics->tmUnderlined = font.underline();
    metrics->tmStruckOut = font.strikeOut();
    metrics->tmPitchAndFamily = font.fixedPitch() ? 0 : 1; // bit 0 set means variable pitch
    metrics->tmCharSet = IsLive(dc->state.font, Kind::Font) ? dc->state.font->font.lfCharSet : DEFAULT_CHARSET;
    return 1;
}

BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* rect, const char* text, int count, const int* dx) {
    if (!IsLiveDC(dc)) return 0;
    const QFont font = FontOfDC(dc);
    const QFontMetrics m(font);
    const QString s = ToQString(text, count);
    const UINT align = dc->state.textAlign;
    const bool clipped = rect && (options & ETO_CLIPPED);
    const bool fillsRect = rect && (options & ETO_OPAQUE);
    const bool fillsBox = !fillsRect && dc->state.bkMode == OPAQUE;
    // Left-aligned text without a background box is drawn without measuring it first.
    int width = -1;
    if (dx) {
        width = 0;
        for (int i = 0; i < s.size(); ++i)
            width += dx[i];
    } else if ((align & TA_RIGHT) || fillsBox) {
        width = m.horizontalAdvance(s);
    }
    if ((align & TA_CENTER) == TA_CENTER)
        x -= width / 2;
    else if (align & TA_RIGHT)
        x -= width;
    if ((align & TA_BASELINE) == TA_BASELINE)
        y -= m.ascent();
    else if (align & TA_BOTTOM)
        y -= CellHeight(m);

    const QPoint at = ToDevice(dc, x, y);
    const QRect clip = rect ? ToDevice(dc, *rect) : QRect();
    if (fillsRect) {
        FillWithColor(dc, QRegion(clip), dc->state.bkColor);
    } else if (fillsBox) {
        const QRegion box(QRect(at, QSize(width, CellHeight(m))));
        FillWithColor(dc, clipped ? box & QRegion(clip) : box, dc->state.bkColor);
    }
    if (!dx) {
        PaintText(dc, font, s, at, width, clipped ? &clip : nullptr);
        return 1;
    }
    int cx = at.x();
    for (int i = 0; i < s.size(); ++i) {
        PaintText(dc, font, QString(s[i]), QPoint(cx, at.y()), -1, clipped ? &clip : nullptr);
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
    const int lineHeight = CellHeight(m) + ((format & DT_EXTERNALLEADING) ? ExternalLeading(m) : 0);
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
    if (!prefixed.text.contains('\r') && !prefixed.text.contains('\n')) {
        paragraphs << prefixed.text; // the common case, without copying character by character
        paragraphStart.push_back(0);
    } else {
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

    const int boxWidth = rect->Right - rect->Left;
    struct Line {
        QString text;
        int underline = -1;
    };
    std::vector<Line> lines;
    for (int p = 0; p < paragraphs.size(); ++p) {
        QString paragraph = (format & DT_EXPANDTABS) ? ExpandTabs(paragraphs[p], m) : paragraphs[p];
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

    const int textHeight = static_cast<int>(lines.size()) * lineHeight;
    if (format & DT_CALCRECT) {
        int maxWidth = 0;
        for (const Line& line : lines)
            maxWidth = std::max(maxWidth, static_cast<int>(m.horizontalAdvance(line.text)));
        rect->Right = rect->Left + maxWidth;
        rect->Bottom = rect->Top + textHeight;
        return textHeight;
    }

    int y = rect->Top;
    if (single && (format & DT_VCENTER))
        y = rect->Top + (rect->Bottom - rect->Top - lineHeight) / 2;
    else if (single && (format & DT_BOTTOM))
        y = rect->Bottom - lineHeight;
    const QRect clip = ToDevice(dc, *rect);
    const bool clipped = !(format & DT_NOCLIP);
    // DT_PREFIXONLY draws the underline alone: no characters, no background.
    const bool underlineOnly = format & DT_PREFIXONLY;
    const bool fillsCell = dc->state.bkMode == OPAQUE && !underlineOnly;
    for (const Line& line : lines) {
        // Left-aligned text without a background is drawn without measuring it first.
        const int w = (format & (DT_CENTER | DT_RIGHT)) || fillsCell ? m.horizontalAdvance(line.text) : -1;
        int x = rect->Left;
        if (format & DT_CENTER)
            x = rect->Left + (boxWidth - w) / 2;
        else if (format & DT_RIGHT)
            x = rect->Right - w;
        const QPoint at = ToDevice(dc, x, y);
        if (fillsCell) {
            const QRegion cell(QRect(at, QSize(w, lineHeight)));
            FillWithColor(dc, clipped ? cell & QRegion(clip) : cell, dc->state.bkColor);
        }
        PaintText(dc, font, line.text, at, w, clipped ? &clip : nullptr, line.underline, underlineOnly);
        y += lineHeight;
    }
    if (single && (format & DT_VCENTER)) return (rect->Bottom - rect->Top - lineHeight) / 2 + lineHeight;
    if (single && (format & DT_BOTTOM)) return rect->Bottom - rect->Top;
    return textHeight;
}
