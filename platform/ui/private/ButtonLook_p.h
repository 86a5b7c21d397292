// The look shared by the speed button and the tool button: pressed while the
// left button is down on it, hot while the pointer is over it, and a face that
// is flat (an edge only when hot or sunk) or a push button.
#pragma once

#include "platform/ui/Controls.h"

namespace platform_ui {

// Follows the press and the pointer in Pressed and Hot; True when the look
// changed. A button that cannot be pressed (a separator) only follows the pointer.
bool TrackButtonLook(const TMessage& Message, bool& Pressed, bool& Hot, bool CanPress = true);
void DrawButtonFace(HDC DC, TRect Rect, bool Flat, bool Sunk, bool Hot, bool Enabled);

} // namespace platform_ui
