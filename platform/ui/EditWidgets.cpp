// The edit controls' shared Qt side: field colours, frames and the password echo.
#include "platform/ui/private/EditWidgets_p.h"

#include "platform/ui/Graphics.h"
#include "platform/ui/private/GdiPrivate_p.h"

#include <QApplication>
#include <QFrame>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>

namespace {

const char* const PasswordCharProperty = "corvantaPasswordChar";
const char* const SingleLineFrameProperty = "corvantaSingleLineFrame";

QColor QtColor(TColor c) {
    return QColor::fromRgb(platform_ui::QRgbOf(ColorToRGB(c)));
}

// The line edits' style over the application's: Qt takes a password edit's
// echo character from the widget's style, which answers with the edit's own
// PasswordChar; and an edit without the 3-D look gets a single-line frame.
class TLineEditStyle : public QProxyStyle {
public:
    TLineEditStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}
    int styleHint(StyleHint Hint, const QStyleOption* Option, const QWidget* Widget,
                  QStyleHintReturn* ReturnData) const override {
        if (Hint == SH_LineEdit_PasswordCharacter && Widget)
            if (const QVariant c = Widget->property(PasswordCharProperty); c.isValid()) return c.toInt();
        return QProxyStyle::styleHint(Hint, Option, Widget, ReturnData);
    }
    void drawPrimitive(PrimitiveElement Element, const QStyleOption* Option, QPainter* Painter,
                       const QWidget* Widget) const override {
        if ((Element == PE_FrameLineEdit || Element == PE_PanelLineEdit) && Widget &&
            Widget->property(SingleLineFrameProperty).toBool()) {
            Painter->save();
            if (Element == PE_PanelLineEdit) Painter->fillRect(Option->rect, Option->palette.base());
            Painter->setPen(QtColor(clWindowFrame));
            Painter->setBrush(Qt::NoBrush);
            Painter->drawRect(Option->rect.adjusted(0, 0, -1, -1));
            Painter->restore();
            return;
        }
        QProxyStyle::drawPrimitive(Element, Option, Painter, Widget);
    }
};

// One style for every line edit, owned by the application, which outlives them.
QStyle* LineEditStyle() {
    static QStyle* style = [] {
        auto* s = new TLineEditStyle;
        s->setParent(qApp);
        return s;
    }();
    return style;
}

} // namespace

namespace platform_ui {

void ShowEditColors(QWidget* Widget, TColor Color, bool ShowSelection, TColor TextColor) {
    if (!Widget) return;
    QPalette palette = QApplication::palette(Widget);
    palette.setColor(QPalette::Base, QtColor(Color));
    palette.setColor(QPalette::Active, QPalette::Text, QtColor(TextColor));
    palette.setColor(QPalette::Inactive, QPalette::Text, QtColor(TextColor));
    palette.setColor(QPalette::Disabled, QPalette::Base, QtColor(cl3DLight));
    palette.setColor(QPalette::Disabled, QPalette::Text, QtColor(clGrayText));
    // A drop-down list shows its text on its button, in the button's colours.
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QtColor(clGrayText));
    // A multi-line field draws its single-line frame in this colour.
    palette.setColor(QPalette::WindowText, QtColor(clWindowFrame));
    if (!ShowSelection) {
        palette.setColor(QPalette::Highlight, QtColor(Color));
        palette.setColor(QPalette::HighlightedText, palette.color(QPalette::Text));
    }
    Widget->setPalette(palette);
}

void ShowPasswordChar(QLineEdit* Edit, char32_t PasswordChar) {
    Edit->setEchoMode(PasswordChar ? QLineEdit::Password : QLineEdit::Normal);
    Edit->setProperty(PasswordCharProperty, PasswordChar ? QVariant(static_cast<int>(PasswordChar)) : QVariant());
    Edit->setStyle(LineEditStyle());
}

void ShowEditFrame(QWidget* Widget, bool Frame, bool Ctl3D) {
    if (auto* edit = qobject_cast<QLineEdit*>(Widget)) {
        edit->setFrame(Frame);
        edit->setProperty(SingleLineFrameProperty, !Ctl3D);
        edit->setStyle(LineEditStyle());
        edit->update();
    } else if (auto* field = qobject_cast<QFrame*>(Widget)) {
        field->setFrameStyle(!Frame  ? QFrame::NoFrame
                             : Ctl3D ? QFrame::StyledPanel | QFrame::Sunken
                                     : QFrame::Box | QFrame::Plain);
        field->setLineWidth(1);
    }
}

} // namespace platform_ui
