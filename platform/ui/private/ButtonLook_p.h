// The look shared by the speed button and the tool button: pressed while the
// left button is down on it, hot while the pointer is over it, and a face that
// is flat (an edge only when hot or sunk) or a push button. And the push
// button itself, which the forms' buttons and the message boxes draw alike.
#pragma once

#include "platform/ui/Controls.h"

namespace platform_ui {

// Follows the press and the pointer in Pressed and Hot; True when the look
// changed. A button that cannot be pressed (a separator) only follows the pointer.
bool TrackButtonLook(const TMessage& Message, bool& Pressed, bool& Hot, bool CanPress = true);
void DrawButtonFace(HDC DC, TRect Rect, bool Flat, bool Sunk, bool Hot, bool Enabled);

// A push button's frame (a default button's dark frame, then the raised or
// pushed edges); answers the face inside, where the caption goes.
TRect DrawPushButtonFrame(HDC DC, TRect Rect, bool Default, bool Pressed);
// The dotted focus rectangle inside a push button's face.
void DrawPushButtonFocus(HDC DC, TRect Face);

} // namespace platform_ui
