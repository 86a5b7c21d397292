// Lazy creation of the Qt application object.
#include "platform/ui/private/QtApplication_p.h"

#include <QApplication>

namespace platform_ui {

QApplication& EnsureQtApplication() {
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) return *existing;
    // Qt keeps references to argc and argv for the life of the application.
    static int argc = 1;
    static char name[] = "corvanta";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt tears down its registry of input devices before
    // the statics of this file, and an application destroyed after it
    // crashes a program that has shown a window.
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

} // namespace platform_ui
