// The fixed metrics table of the classic look at 96 dpi.
#include "platform/ui/SystemMetrics.h"

#include "platform/ui/Monitors.h"

#include <map>

namespace {

const std::map<int, int>& ClassicMetrics() {
    static const std::map<int, int> metrics = {
        {SM_CXSCREEN, 1024},     {SM_CYSCREEN, 768},     {SM_CXVSCROLL, 16},    {SM_CYHSCROLL, 16},
        {SM_CYCAPTION, 19},      {SM_CXBORDER, 1},       {SM_CYBORDER, 1},      {SM_CXDLGFRAME, 3},
        {SM_CYDLGFRAME, 3},      {SM_CYVTHUMB, 16},      {SM_CXHTHUMB, 16},     {SM_CXICON, 32},
        {SM_CYICON, 32},         {SM_CXCURSOR, 32},      {SM_CYCURSOR, 32},     {SM_CYMENU, 19},
        {SM_CXFULLSCREEN, 1024}, {SM_CYFULLSCREEN, 719}, {SM_MOUSEPRESENT, 1},  {SM_CYVSCROLL, 16},
        {SM_CXHSCROLL, 16},      {SM_SWAPBUTTON, 0},     {SM_CXMIN, 112},       {SM_CYMIN, 27},
        {SM_CXSIZE, 18},         {SM_CYSIZE, 18},        {SM_CXFRAME, 4},       {SM_CYFRAME, 4},
        {SM_CXMINTRACK, 112},    {SM_CYMINTRACK, 27},    {SM_CXDOUBLECLK, 4},   {SM_CYDOUBLECLK, 4},
        {SM_DBCSENABLED, 1},     {SM_CMOUSEBUTTONS, 3},  {SM_CXEDGE, 2},        {SM_CYEDGE, 2},
        {SM_CXSMICON, 16},       {SM_CYSMICON, 16},      {SM_CYSMCAPTION, 15},  {SM_CXSMSIZE, 12},
        {SM_CYSMSIZE, 14},       {SM_CXMENUSIZE, 18},    {SM_CYMENUSIZE, 18},   {SM_CXMINIMIZED, 160},
        {SM_CYMINIMIZED, 24},    {SM_CXMINSPACING, 160}, {SM_CYMINSPACING, 24}, {SM_CXDRAG, 4},
        {SM_CYDRAG, 4},          {SM_CXMENUCHECK, 13},   {SM_CYMENUCHECK, 13},  {SM_MOUSEWHEELPRESENT, 1},
        {SM_CXFOCUSBORDER, 1},   {SM_CYFOCUSBORDER, 1},
    };
    return metrics;
}

constexpr UINT ClassicWheelLines = 3;
constexpr UINT ClassicDoubleClickTime = 500;

struct Settings {
    std::map<int, int> metrics = ClassicMetrics();
    UINT wheelLines = ClassicWheelLines;
};

Settings& Current() {
    static Settings settings;
    return settings;
}

// The classic look's fonts: the desktop's face at 9 points, the captions bold.
LOGFONT NonClientFont(int Weight) {
    LOGFONT font;
    font.lfHeight = -12;
    font.lfWeight = Weight;
    font.lfCharSet = GB2312_CHARSET;
    font.lfFaceName = "宋体";
    return font;
}

NONCLIENTMETRICS ClassicNonClientMetrics() {
    NONCLIENTMETRICS m;
    m.iBorderWidth = 1;
    m.iScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
    m.iScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
    m.iCaptionWidth = GetSystemMetrics(SM_CXSIZE);
    m.iCaptionHeight = GetSystemMetrics(SM_CYSIZE);
    m.lfCaptionFont = NonClientFont(FW_BOLD);
    m.iSmCaptionWidth = GetSystemMetrics(SM_CXSMSIZE);
    m.iSmCaptionHeight = GetSystemMetrics(SM_CYSMSIZE);
    m.lfSmCaptionFont = NonClientFont(FW_BOLD);
    m.iMenuWidth = GetSystemMetrics(SM_CXMENUSIZE);
    m.iMenuHeight = GetSystemMetrics(SM_CYMENUSIZE);
    m.lfMenuFont = NonClientFont(FW_NORMAL);
    m.lfStatusFont = NonClientFont(FW_NORMAL);
    m.lfMessageFont = NonClientFont(FW_NORMAL);
    return m;
}

} // namespace

int GetSystemMetrics(int index) {
    const auto& metrics = Current().metrics;
    auto found = metrics.find(index);
    return found == metrics.end() ? 0 : found->second;
}

void OverrideSystemMetric(int index, int value) {
    Current().metrics[index] = value;
}

void RestoreSystemMetrics() {
    Current() = Settings();
}

UINT GetDoubleClickTime() {
    return ClassicDoubleClickTime;
}

BOOL SystemParametersInfo(UINT action, UINT parameter, void* value, UINT) {
    switch (action) {
    case SPI_GETWORKAREA: {
        MONITORINFO info;
        if (!value || !GetMonitorInfo(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), info)) return 0;
        *static_cast<TRect*>(value) = info.rcWork;
        return 1;
    }
    case SPI_GETNONCLIENTMETRICS: {
        if (!value) return 0;
        auto* metrics = static_cast<NONCLIENTMETRICS*>(value);
        const UINT size = metrics->cbSize;
        *metrics = ClassicNonClientMetrics();
        metrics->cbSize = size;
        return 1;
    }
    case SPI_GETWHEELSCROLLLINES:
        if (!value) return 0;
        *static_cast<UINT*>(value) = Current().wheelLines;
        return 1;
    case SPI_SETWHEELSCROLLLINES:
        Current().wheelLines = parameter;
        return 1;
    default:
        return 0;
    }
}
