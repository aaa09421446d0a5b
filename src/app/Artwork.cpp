#include "Artwork.h"

#include "ProgramInfo.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace Orvex {

namespace {

// A stylised drive front: a rounded block with a status light and a rotor.
void DrawEmblem(QPainter& painter, const QRectF& box)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1f, 0x4e, 0x79));
    painter.drawRoundedRect(box, box.width() * 0.18, box.width() * 0.18);
    const QPointF centre = box.center();
    const qreal radius = box.width() * 0.30;
    painter.setBrush(QColor(0xe8, 0xee, 0xf4));
    painter.drawEllipse(centre, radius, radius);
    painter.setBrush(QColor(0x1f, 0x4e, 0x79));
    painter.drawEllipse(centre, radius * 0.45, radius * 0.45);
    painter.setBrush(QColor(0xf3, 0x9c, 0x12));
    const qreal light = box.width() * 0.08;
    painter.drawEllipse(QPointF(box.right() - light * 1.8, box.top() + light * 1.8), light, light);
}

// Draws one line of text in the box, in the largest size up to pointSize
// that fits its width whatever the fonts of this computer.
void DrawFittedText(QPainter& painter, const QRectF& box, const QString& text, int pointSize,
                    bool bold)
{
    QFont font = painter.font();
    font.setBold(bold);
    for (int size = pointSize; size >= 6; --size) {
        font.setPointSize(size);
        if (QFontMetricsF(font).horizontalAdvance(text) <= box.width())
            break;
    }
    painter.setFont(font);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text);
}

} // namespace

QPixmap SplashPixmap()
{
    QPixmap pixmap(480, 270);
    QPainter painter(&pixmap);
    QLinearGradient gradient(0, 0, 0, pixmap.height());
    gradient.setColorAt(0, QColor(0x27, 0x3c, 0x52));
    gradient.setColorAt(1, QColor(0x11, 0x1b, 0x26));
    painter.fillRect(pixmap.rect(), gradient);
    DrawEmblem(painter, QRectF(36, 70, 110, 110));
    painter.setPen(Qt::white);
    DrawFittedText(painter, QRectF(170, 80, 290, 50), QString::fromLatin1(ProgramName), 22, true);
    painter.setPen(QColor(0xc8, 0xd3, 0xde));
    DrawFittedText(painter, QRectF(170, 128, 290, 30),
                   QStringLiteral("Set-up and tuning of Orvex servo drives"), 11, false);
    DrawFittedText(painter, QRectF(170, 156, 290, 30),
                   QStringLiteral("Version %1").arg(ProductVersion()), 11, false);
    return pixmap;
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        DrawEmblem(painter, QRectF(0, 0, size, size));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace Orvex
