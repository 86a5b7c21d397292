// The forms' classic look for windows that Qt builds itself (message boxes):
// the button face colour, classic 3-D push buttons with a dotted focus
// rectangle, the forms' default font, all in the system colours.
#pragma once

class QWidget;

namespace platform_ui {

// Restyles Window and the widgets it holds now; call it once it is complete.
void GiveClassicLook(QWidget* Window);

} // namespace platform_ui
