// The classic look on Qt's built-in "Windows" style, with its palette in the
// system colours and its push buttons drawn by the forms' own routine.
#include "platform/ui/private/ClassicLook_p.h"

#include "platform/ui/Colors.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/private/ButtonLook_p.h"
#include "platform/ui/private/GdiObjects_p.h"
#include "platform/ui/private/GdiPrivate_p.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleOptionButton>
#include <QWidget>

namespace platform_ui {

namespace {

QColor SystemColour(int index) {
    const COLORREF c = GetSysColor(index);
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

QPalette ClassicPalette() {
    QPalette palette;
    struct Role {
        QPalette::ColorRole Qt;
        int System;
    };
    static const Role roles[] = {
        {QPalette::Window, COLOR_BTNFACE},        {QPalette::Button, COLOR_BTNFACE},
        {QPalette::WindowText, COLOR_BTNTEXT},    {QPalette::ButtonText, COLOR_BTNTEXT},
        {QPalette::Base, COLOR_WINDOW},           {QPalette::Text, COLOR_WINDOWTEXT},
        {QPalette::Light, COLOR_BTNHIGHLIGHT},    {QPalette::Midlight, COLOR_3DLIGHT},
        {QPalette::Mid, COLOR_BTNSHADOW},         {QPalette::Dark, COLOR_BTNSHADOW},
        {QPalette::Shadow, COLOR_3DDKSHADOW},     {QPalette::Highlight, COLOR_HIGHLIGHT},
        {QPalette::HighlightedText, COLOR_HIGHLIGHTTEXT},
    };
    for (const Role& r : roles)
        palette.setColor(r.Qt, SystemColour(r.System));
    for (QPalette::ColorRole text : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        palette.setColor(QPalette::Disabled, text, SystemColour(COLOR_GRAYTEXT));
    return palette;
}

class TClassicStyle : public QProxyStyle {
public:
    TClassicStyle() : QProxyStyle(QStringLiteral("Windows")) {}

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
        if (element != CE_PushButton || !button || (button->features & QStyleOptionButton::Flat)) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        QImage image(button->rect.size(), QImage::Format_RGB32);
        image.fill(button->palette.color(QPalette::Button));
        HDC dc = CreateImageDC(&image, QRegion(image.rect()), QPoint());
        const TRect face = DrawPushButtonFrame(dc, Rect(0, 0, image.width(), image.height()),
                                               button->features & QStyleOptionButton::DefaultButton,
                                               button->state & (State_Sunken | State_On));
        if (button->state & State_HasFocus) DrawPushButtonFocus(dc, face);
        ReleaseImageDC(dc);
        painter->drawImage(button->rect.topLeft(), image);
        QStyleOptionButton label = *button;
        label.rect = QRect(button->rect.left() + face.Left, button->rect.top() + face.Top, face.Width(), face.Height());
        proxy()->drawControl(CE_PushButtonLabel, &label, painter, widget);
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        // The default button's frame takes the outer edge's place, as on the forms.
        if (metric == PM_ButtonDefaultIndicator) return 0;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

QStyle* ClassicStyle() {
    // Owned by the application, which outlives every window.
    static QStyle* style = [] {
        auto* s = new TClassicStyle;
        s->setParent(qApp);
        return s;
    }();
    return style;
}

} // namespace

void GiveClassicLook(QWidget* Window) {
    Window->setPalette(ClassicPalette());
    Window->setFont(QFontOf(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))));
    QStyle* style = ClassicStyle();
    // A style set on a widget does not pass to its children.
    Window->setStyle(style);
    for (QWidget* child : Window->findChildren<QWidget*>())
        child->setStyle(style);
}

} // namespace platform_ui
