// The editor unit's routines and its counted start-up. The glyph bitmaps and
// the hand cursor are this library's own resources (editors/resources),
// registered by the start-up before it loads them.
#include "editors/ExEdtr.h"

#include "editors/CheckEdit.h"
#include "editors/EditorTexts.h"
#include "editors/GridDate.h"
#include "platform/rtl/Utf8.h"
#include "platform/rtl/Variants.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Window.h"

#include <memory>

// Written by the build from editors/resources.
void RegisterEditorsResources();

namespace cvExEdtr {

bool UseStandardDateConversion = false;
TSmartDateHook SmartDateHook;

namespace {

enum TDateKeyword {
    dkToday,
    dkYesterday,
    dkTomorrow,
    dkSunday,
    dkSaturday = dkSunday + 6,
    dkFirst,
    dkSeventh = dkFirst + 6,
    dkBeginOfMonth,
    dkEndOfMonth,
    dkNow,
};

// The keyword's date relative to today.
TDateTime KeywordDate(int Keyword) {
    const TDateTime today = Date();
    const int dayOfWeek = DayOfWeek(today); // 1 Sunday .. 7 Saturday
    Word year, month, day;
    DecodeDate(today, year, month, day);
    switch (Keyword) {
    case dkToday:
        return today;
    case dkYesterday:
        return today - 1;
    case dkTomorrow:
        return today + 1;
    case dkBeginOfMonth:
        return EncodeDate(year, month, 1);
    case dkEndOfMonth:
        return EncodeDate(year, month, DaysInAMonth(year, month));
    case dkNow:
        return Now();
    default:
        break;
    }
    if (Keyword <= dkSaturday) {
        // The next such weekday, today when it is that day.
        const int days = (Keyword - dkSunday + 1) - dayOfWeek;
        return today + (days >= 0 ? days : 7 + days);
    }
    // FIRST .. SEVENTH: the days of this week counted from Sunday.
    return today - dayOfWeek + (Keyword - dkFirst + 1);
}

// The bitmaps of the shared glyph lists, in list order; an empty name keeps its slot without a picture.
constexpr const char* ToolBitmapNames[] = {
    "CVTOOL_CUT", "CVTOOL_COPY", "CVTOOL_PASTE", "CVTOOL_DELETE", "CVTOOL_LOAD", "CVTOOL_SAVE", ""};
constexpr const char* BlobBitmapNames[] = {"CVINPLACE_BLOB_NULL", "CVINPLACE_BLOB",      "CVINPLACE_MEMO_NULL",
                                           "CVINPLACE_MEMO",      "CVINPLACE_PICT_NULL", "CVINPLACE_PICT",
                                           "CVINPLACE_OLE_NULL",  "CVINPLACE_OLE"};

struct TUnit {
    int References = 0;
    int CheckWidth = 0;
    int CheckHeight = 0;
    std::unique_ptr<TImageList> ToolGlyphs;
    std::unique_ptr<TImageList> BlobGlyphs;
    HDC CanvasDC = nullptr;
    std::unique_ptr<TCanvas> Canvas;
    std::unique_ptr<TcvCheckEditStyleController> CheckStyleController;
};

TUnit& Unit() {
    static TUnit unit;
    return unit;
}

void InitCheckSize() {
    TBitmap boxes;
    boxes.SetHandle(LoadBitmap(nullptr, OBM_CHECKBOXES));
    Unit().CheckWidth = boxes.Width() / 4;
    Unit().CheckHeight = boxes.Height() / 3;
}

// One image list of the named bitmaps, sized by the first, each added with MaskColor.
template <size_t N> std::unique_ptr<TImageList> LoadGlyphs(const char* const (&Names)[N], TColor MaskColor) {
    std::unique_ptr<TImageList> list;
    TBitmap bitmap;
    for (const char* name : Names) {
        if (!*name) continue;
        bitmap.LoadFromResourceName(HInstance, name);
        if (!list) {
            list = std::make_unique<TImageList>(nullptr);
            list->SetWidth(bitmap.Width());
            list->SetHeight(bitmap.Height());
        }
        list->AddMasked(&bitmap, MaskColor);
    }
    return list;
}

void LoadToolGlyphs() {
    Unit().ToolGlyphs = LoadGlyphs(ToolBitmapNames, clDefault);
}

void LoadBlobGlyphs() {
    Unit().BlobGlyphs = LoadGlyphs(BlobBitmapNames, clOlive);
}

} // namespace

bool ScreenToWindow(HWND Wnd, TPoint& P) {
    TRect window;
    GetWindowRect(Wnd, window);
    MapWindowPoints(nullptr, Wnd, window);
    const bool converted = ScreenToClient(Wnd, P);
    P.X -= window.Left;
    P.Y -= window.Top;
    return converted;
}

std::string DateEditMask() {
    const std::string& format = FormatSettings.ShortDateFormat;
    std::string mask = "!";
    for (size_t i = 0; i < format.size();) {
        const char c = format[i];
        if (c != 'M' && c != 'd' && c != 'y') {
            mask += c;
            ++i;
            continue;
        }
        size_t run = 1;
        while (i + run < format.size() && format[i + run] == c)
            ++run;
        mask += run < 3 ? "99" : c == 'y' ? "9999" : "lll";
        i += run;
    }
    return mask + ";1; ";
}

std::string MaskDateFormat() {
    const std::string& format = FormatSettings.ShortDateFormat;
    std::string result;
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        result += c;
        const bool single =
            (c == 'd' || c == 'M') && (i == 0 || format[i - 1] != c) && (i + 1 == format.size() || format[i + 1] != c);
        if (single) result += c;
    }
    return result;
}

bool SmartTextToDate(const std::string& Text, TDateTime& Date) {
    int keyword = -1;
    for (int k = 0; k < static_cast<int>(std::size(SDateKeywords)) && keyword < 0; ++k)
        if (AnsiSameText(Utf8Copy(Text, 0, Utf8Length(SDateKeywords[k])), SDateKeywords[k])) keyword = k;
    if (keyword < 0) return SmartDateHook ? SmartDateHook(Text, Date) : false;
    Date = KeywordDate(keyword);
    // "+N" or "-N" days may follow; an unreadable number leaves the keyword's date.
    const std::string rest = Trim(Utf8Copy(Text, Utf8Length(SDateKeywords[keyword])));
    int days = 0;
    if (Utf8Length(rest) >= 2 && (rest[0] == '+' || rest[0] == '-') && TryStrToInt(Trim(rest.substr(1)), days))
        Date += rest[0] == '+' ? days : -days;
    return true;
}

bool TextToDate(const std::string& Text, TDateTime& Date) {
    std::string text = Trim(Text);
    if (text.empty()) return false;
    if (!UseStandardDateConversion && FormatSettings.DateSeparator == '.')
        for (int dots = 0; dots < 2; ++dots)
            if (const size_t dot = text.find('.'); dot != std::string::npos) text[dot] = ' ';
    if (SmartTextToDate(text, Date)) return true;
    if (UseStandardDateConversion) {
        Date = StrToDate(text);
        return true;
    }
    try {
        Date = Variant(text).AsDateTime();
        return true;
    } catch (const EConvertError&) {
        return false;
    }
}

std::string DateToText(TDateTime Date) {
    if (Date == NullDate) return {};
    if (UseStandardDateConversion) return DateToStr(Date);
    return DateTimeToStr(Date);
}

std::string DateToEditText(bool Masked, TDateTime Date) {
    if (Date == NullDate) return {};
    return Masked ? FormatDateTime(MaskDateFormat(), Date) : DateToText(Date);
}

std::string DefaultCurrencyDisplayFormat() {
    std::string format = ",0." + std::string(FormatSettings.CurrencyDecimals, '0');
    std::string currency;
    for (char c : FormatSettings.CurrencyString)
        currency += c == ',' || c == '.' ? std::string("'") + c + "'" : std::string(1, c);
    if (!currency.empty()) {
        switch (FormatSettings.CurrencyFormat) {
        case 0:
            format = currency + format;
            break;
        case 1:
            format += currency;
            break;
        case 2:
            format = currency + " " + format;
            break;
        case 3:
            format += " " + currency;
            break;
        default:
            break;
        }
    }
    return format + ";-" + format;
}

void DrawSizeGrip(HDC DC, TRect& R, int Corner) {
    constexpr int Strip = 2;
    const bool right = Corner == 1 || Corner == 3, bottom = Corner >= 2;
    const int width = GetSystemMetrics(SM_CXVSCROLL), height = GetSystemMetrics(SM_CYHSCROLL);
    R = TRect{right ? R.Right - width : R.Left, bottom ? R.Bottom - height : R.Top, 0, 0};
    R.Right = R.Left + width;
    R.Bottom = R.Top + height;
    // The strips along the corner's two outer edges.
    const TRect vertical{right ? R.Right - Strip : R.Left, R.Top, right ? R.Right : R.Left + Strip, R.Bottom};
    const TRect horizontal{R.Left, bottom ? R.Bottom - Strip : R.Top, R.Right, bottom ? R.Bottom : R.Top + Strip};
    FillRect(DC, &vertical, GetSysColorBrush(COLOR_BTNFACE));
    FillRect(DC, &horizontal, GetSysColorBrush(COLOR_BTNFACE));
    // The system grip points to the bottom-right; mirrored into any other corner.
    const int gripWidth = width - Strip, gripHeight = height - Strip;
    HDC memory = CreateCompatibleDC(DC);
    HBITMAP bitmap = CreateBitmap(gripWidth, gripHeight, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    TRect grip{0, 0, gripWidth, gripHeight};
    DrawFrameControl(memory, &grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    const int left = right ? R.Left : R.Left + Strip, top = bottom ? R.Top : R.Top + Strip;
    StretchBlt(DC, right ? left : left + gripWidth, bottom ? top : top + gripHeight, right ? gripWidth : -gripWidth,
               bottom ? gripHeight : -gripHeight, memory, 0, 0, gripWidth, gripHeight, SRCCOPY);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

void Initialize() {
    TUnit& unit = Unit();
    if (unit.References++ > 0) return;
    RegisterEditorsResources();
    InitCheckSize();
    Screen->SetCursors(crcvHandPoint, LoadCursor(HInstance, "CV_HANDPOINT"));
    LoadToolGlyphs();
    unit.CanvasDC = CreateCompatibleDC(nullptr);
    unit.Canvas = std::make_unique<TCanvas>();
    unit.Canvas->SetHandle(unit.CanvasDC);
    LoadBlobGlyphs();
    unit.CheckStyleController = std::make_unique<TcvCheckEditStyleController>(nullptr);
    cvGrDate::InitFirstDayOfWeek();
}

void Finalize() {
    TUnit& unit = Unit();
    if (unit.References == 0 || --unit.References > 0) return;
    unit.CheckStyleController.reset();
    unit.Canvas.reset();
    DeleteDC(unit.CanvasDC);
    unit.CanvasDC = nullptr;
    unit.ToolGlyphs.reset();
    unit.BlobGlyphs.reset();
    Screen->SetCursors(crcvHandPoint, nullptr);
}

int DefaultCheckWidth() {
    return Unit().CheckWidth;
}

int DefaultCheckHeight() {
    return Unit().CheckHeight;
}

TImageList* ToolGlyphs() {
    return Unit().ToolGlyphs.get();
}

TImageList* BlobGlyphs() {
    return Unit().BlobGlyphs.get();
}

TCanvas* SharedCanvas() {
    return Unit().Canvas.get();
}

TcvCheckEditStyleController* DefaultCheckStyleController() {
    return Unit().CheckStyleController.get();
}

} // namespace cvExEdtr
