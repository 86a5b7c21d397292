// The screen: the forms, the cursor and the desktop's size.
#include "platform/ui/Forms.h"

#include "platform/ui/Cursors.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Monitors.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Window.h"
#include "platform/ui/private/Cursor_p.h"
#include "platform/ui/private/WindowManager_p.h"
#include "platform/ui/private/QtApplication_p.h"

#include <QApplication>
#include <QCursor>

using namespace platform_ui;


TScreen* Screen = new TScreen(nullptr);

// ---- TScreen ----------------------------------------------------------------

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}

TScreen::~TScreen() = default;

void TScreen::SetCursor(TCursor Value) {
    if (FCursor == Value) return;
    EnsureQtApplication();
    if (FCursor != crDefault) QApplication::restoreOverrideCursor();
    FCursor = Value;
    if (Value != crDefault) {
        const HCURSOR shape = Cursors(Value);
        QApplication::setOverrideCursor(shape ? shape->Shape : QCursor(Qt::BlankCursor));
    }
}

HCURSOR TScreen::Cursors(int Index) const {
    if (auto it = FCursors.find(Index); it != FCursors.end()) return it->second;
    struct Standard {
        TCursor Id;
        HINSTANCE Module;
        int Name;
    };
    static const Standard standard[] = {
        {crArrow, nullptr, IDC_ARROW},
        {crCross, nullptr, IDC_CROSS},
        {crIBeam, nullptr, IDC_IBEAM},
        {crSizeNESW, nullptr, IDC_SIZENESW},
        {crSizeNS, nullptr, IDC_SIZENS},
        {crSizeNWSE, nullptr, IDC_SIZENWSE},
        {crSizeWE, nullptr, IDC_SIZEWE},
        {crUpArrow, nullptr, IDC_UPARROW},
        {crHourGlass, nullptr, IDC_WAIT},
        {crDrag, HInstance, IDC_PROGRAM_DRAG},
        {crNoDrop, HInstance, IDC_PROGRAM_NODROP},
        {crHSplit, HInstance, IDC_PROGRAM_HSPLIT},
        {crVSplit, HInstance, IDC_PROGRAM_VSPLIT},
        {crMultiDrag, HInstance, IDC_PROGRAM_MULTIDRAG},
        {crSQLWait, nullptr, IDC_WAIT},
        {crNo, nullptr, IDC_NO},
        {crAppStart, nullptr, IDC_APPSTARTING},
        {crHelp, nullptr, IDC_HELP},
        {crHandPoint, nullptr, IDC_HAND},
        {crSizeAll, nullptr, IDC_SIZEALL},
    };
    // crNone has no shape; an id nobody registered shows the arrow.
    if (Index == crNone) return nullptr;
    for (const auto& s : standard)
        if (s.Id == Index) return LoadCursor(s.Module, s.Name);
    return LoadCursor(nullptr, IDC_ARROW);
}

void TScreen::SetCursors(int Index, HCURSOR Handle) {
    if (Handle)
        FCursors[Index] = Handle;
    else
        FCursors.erase(Index);
}

TCustomForm* TScreen::Forms(int Index) const {
    if (Index < 0 || Index >= FormCount()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FForms[static_cast<size_t>(Index)];
}

namespace {

// The primary monitor as the desktop has it: forms centred on the screen
// must land in its middle, whatever size the fixed metrics give.
TRect PrimaryMonitor() {
    MONITORINFO info;
    if (GetMonitorInfo(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), info)) return info.rcMonitor;
    return Rect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

} // namespace

int TScreen::Width() const {
    return PrimaryMonitor().Width();
}
int TScreen::Height() const {
    return PrimaryMonitor().Height();
}

TRect TScreen::WorkAreaRect() const {
    return DesktopWorkArea();
}
