// What the Qt text widgets of the edit controls share: the look of their text
// field and a password character of the control's own choosing.
#pragma once

#include "platform/ui/Colors.h"
#include "platform/ui/WinTypes.h"

class QLineEdit;
class QWidget;

namespace platform_ui {

// The text field shows Color while enabled and, as the classic controls do,
// the light 3-D colour with grey text while disabled, whatever Color says: a
// field the user cannot change never looks as if they could. The selection
// shows only with ShowSelection (the field has the focus); Qt would go on
// showing it while its window is not the active one. Enabled text shows in
// TextColor.
void ShowEditColors(QWidget* Widget, TColor Color, bool ShowSelection, TColor TextColor = clWindowText);

// Echoes every character as PasswordChar (any character; 0 shows the text).
void ShowPasswordChar(QLineEdit* Edit, char32_t PasswordChar);

// The frame of a line edit or a multi-line text field: none without Frame,
// else a sunken edge with the 3-D look and a single line in the window-frame
// colour without it.
void ShowEditFrame(QWidget* Widget, bool Frame, bool Ctl3D);

} // namespace platform_ui
