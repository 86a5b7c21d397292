// The edit controls' shared Qt side: field colours and the password echo.
#include "platform/ui/private/EditWidgets_p.h"

#include "platform/ui/Graphics.h"
#include "platform/ui/private/GdiPrivate_p.h"

#include <QApplication>
#include <QLineEdit>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleFactory>

namespace {

// Qt takes a password edit's echo character from the widget's style; this style
// answers with the edit's own PasswordChar and leaves the rest to the
// application's style.
class TPasswordCharStyle : public QProxyStyle {
public:
    explicit TPasswordCharStyle(char32_t PasswordChar)
        : QProxyStyle(QStyleFactory::create(QApplication::style()->name())), FPasswordChar(PasswordChar) {}
    int styleHint(StyleHint Hint, const QStyleOption* Option, const QWidget* Widget,
                  QStyleHintReturn* ReturnData) const override {
        if (Hint == SH_LineEdit_PasswordCharacter) return static_cast<int>(FPasswordChar);
        return QProxyStyle::styleHint(Hint, Option, Widget, ReturnData);
    }

private:
    char32_t FPasswordChar;
};

} // namespace

namespace platform_ui {

void ShowEditColors(QWidget* Widget, TColor Color, bool ShowSelection) {
    if (!Widget) return;
    auto qtColor = [](TColor c) { return QColor::fromRgb(QRgbOf(ColorToRGB(c))); };
    QPalette palette = QApplication::palette(Widget);
    palette.setColor(QPalette::Base, qtColor(Color));
    palette.setColor(QPalette::Disabled, QPalette::Base, qtColor(cl3DLight));
    palette.setColor(QPalette::Disabled, QPalette::Text, qtColor(clGrayText));
    if (!ShowSelection) {
        palette.setColor(QPalette::Highlight, qtColor(Color));
        palette.setColor(QPalette::HighlightedText, palette.color(QPalette::Text));
    }
    Widget->setPalette(palette);
}

void ShowPasswordChar(QLineEdit* Edit, char32_t PasswordChar) {
    Edit->setEchoMode(PasswordChar ? QLineEdit::Password : QLineEdit::Normal);
    if (!PasswordChar) return;
    QStyle* previous = Edit->style();
    auto* style = new TPasswordCharStyle(PasswordChar);
    style->setParent(Edit); // the widget only borrows its style
    Edit->setStyle(style);
    if (dynamic_cast<TPasswordCharStyle*>(previous)) delete previous;
}

} // namespace platform_ui
