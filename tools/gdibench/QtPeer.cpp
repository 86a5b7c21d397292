// Qt's side of gdibench. The font is the face and size the GDI face table maps
// "宋体" -12 to, without antialiasing, as GDI draws it.
#include "QtPeer.h"

#include <QFont>
#include <QImage>
#include <QPainter>

#include <chrono>

double QtTextPass(const TTextGrid& grid, bool inRect) {
    static QImage image(grid.columns * grid.cellWidth, grid.rows * grid.cellHeight, QImage::Format_RGB32);
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setPixelSize(12);
    std::vector<QString> texts;
    for (const std::string& text : grid.texts)
        texts.push_back(QString::fromStdString(text));

    image.fill(Qt::white);
    const auto start = std::chrono::steady_clock::now();
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const int ascent = painter.fontMetrics().ascent();
    const int lineHeight = ascent + painter.fontMetrics().descent();
    size_t next = 0;
    for (int row = 0; row < grid.rows; ++row)
        for (int column = 0; column < grid.columns; ++column) {
            const QString& text = texts[next++ % texts.size()];
            const QRect cell(column * grid.cellWidth, row * grid.cellHeight, grid.cellWidth, grid.cellHeight);
            if (inRect)
                painter.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
            else
                painter.drawText(QPoint(cell.left(), cell.top() + (cell.height() - lineHeight) / 2 + ascent), text);
        }
    painter.end();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
