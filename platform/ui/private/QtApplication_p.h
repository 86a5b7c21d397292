// The one Qt application object of the process. It is made on first need, so
// that the program and the headless tests alike have it before the first
// window, font or pixmap.
#pragma once

class QApplication;

namespace platform_ui {
QApplication& EnsureQtApplication();
}
