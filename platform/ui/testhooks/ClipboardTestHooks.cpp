// The system clipboard set through Qt alone, as another program would.
#include "platform/ui/testhooks/ClipboardTestHooks.h"

#include "platform/ui/private/QtApplication_p.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>

namespace platform_ui::test {

void CopyPictureFromOtherProgram(int Width, int Height, uint32_t Rgb) {
    EnsureQtApplication();
    QImage image(Width, Height, QImage::Format_RGB32);
    image.fill(QColor::fromRgb(static_cast<QRgb>(Rgb)));
    QGuiApplication::clipboard()->setImage(image);
}

void CopyTextFromOtherProgram(const char* Text) {
    EnsureQtApplication();
    QGuiApplication::clipboard()->setText(QString::fromUtf8(Text));
}

} // namespace platform_ui::test
