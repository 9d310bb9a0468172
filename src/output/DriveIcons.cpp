#include "output/DriveIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>

namespace itm {

namespace {

QPixmap diskette()
{
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath body;
    body.moveTo(6, 6);
    body.lineTo(52, 6);
    body.lineTo(58, 12);
    body.lineTo(58, 58);
    body.lineTo(6, 58);
    body.closeSubpath();
    painter.setPen(QPen(QColor(20, 30, 60), 1.5));
    painter.setBrush(QColor(40, 70, 140));
    painter.drawPath(body);
    painter.setBrush(QColor(200, 205, 210)); // metal shutter
    painter.drawRect(QRectF(18, 6, 26, 18));
    painter.setBrush(QColor(40, 70, 140));
    painter.drawRect(QRectF(34, 9, 6, 12));
    painter.setBrush(Qt::white); // label
    painter.drawRect(QRectF(13, 32, 38, 24));
    painter.setPen(QPen(QColor(150, 150, 160), 1));
    for (int y = 38; y < 56; y += 5)
        painter.drawLine(QPointF(16, y), QPointF(48, y));
    return pixmap;
}

QPixmap opticalDisc()
{
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient shine(QPointF(26, 24), 34);
    shine.setColorAt(0, QColor(250, 250, 255));
    shine.setColorAt(0.45, QColor(190, 220, 235));
    shine.setColorAt(0.7, QColor(225, 200, 235));
    shine.setColorAt(1, QColor(170, 175, 190));
    painter.setPen(QPen(QColor(110, 115, 130), 1.5));
    painter.setBrush(shine);
    painter.drawEllipse(QPointF(32, 32), 28, 28);
    painter.setBrush(QColor(215, 218, 225));
    painter.drawEllipse(QPointF(32, 32), 10, 10);
    painter.setBrush(Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.drawEllipse(QPointF(32, 32), 4, 4);
    return pixmap;
}

QPixmap usbStick()
{
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(32, 32);
    painter.rotate(-45);
    painter.setPen(QPen(QColor(60, 60, 60), 1.5));
    painter.setBrush(QColor(190, 195, 200)); // connector
    painter.drawRect(QRectF(-8, -30, 16, 14));
    painter.setBrush(QColor(60, 60, 60));
    painter.drawRect(QRectF(-5, -26, 3, 3));
    painter.drawRect(QRectF(2, -26, 3, 3));
    painter.setBrush(QColor(200, 40, 40)); // body
    painter.drawRoundedRect(QRectF(-11, -16, 22, 42), 4, 4);
    painter.setBrush(QColor(255, 255, 255, 180));
    painter.drawRoundedRect(QRectF(-6, -8, 12, 18), 2, 2);
    return pixmap;
}

} // namespace

QIcon DriveIcon(int index)
{
    switch (index) {
    case 0:
        return QIcon(diskette());
    case 1:
        return QIcon(opticalDisc());
    default:
        return QIcon(usbStick());
    }
}

} // namespace itm
