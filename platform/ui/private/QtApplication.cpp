// Lazy creation of the Qt application object, with Qt's own Chinese texts
// installed, so the dialogs Qt provides speak the program's language.
#include "platform/ui/private/QtApplication_p.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

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
    // The interface is Chinese whatever the desktop's locale. Without the
    // translations installed Qt's dialogs stay English and nothing else fails.
    auto* translator = new QTranslator(application);
    if (translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    return *application;
}

} // namespace platform_ui
