// What the standard controls' implementation files share: reaching a native
// control's widget, the edit fields' character case and colours.
#pragma once

#include "platform/ui/StdCtrls.h"
#include "platform/ui/private/WindowHost_p.h"

#include <string>

namespace platform_ui {

template <class W> W* WidgetAs(HWND wnd) {
    return wnd ? qobject_cast<W*>(WidgetOfWindow(wnd)) : nullptr;
}

std::string ApplyCase(const std::string& text, TEditCharCase charCase);
char32_t ApplyCase(char32_t c, TEditCharCase charCase);

// The text field of an edit, memo or combo box shows the control's Color while
// enabled and, as the classic controls do, the light 3-D colour with grey text
// while disabled, and the face colour while read-only, whatever Color says: a
// field the user cannot change never looks as if they could. A read-only text
// keeps the font's colour, as it is there to be read. Its selection shows only
// while it has the focus; Qt would go on showing it while its window is not the
// active one. Enabled text shows in the font's colour.
void ShowEditColors(TWinControl* control, bool ReadOnly = false);

} // namespace platform_ui
