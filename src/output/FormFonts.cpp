#include "output/FormFonts.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>

namespace itm {

QFont FormFont(double pointSize, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

const QFontMetricsF& FormFontMetrics(int pointSize, bool bold)
{
    // A one-pixel image stands for a device of LayoutDpi.
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dotsPerMetre = qRound(LayoutDpi / 0.0254);
        image.setDotsPerMeterX(dotsPerMetre);
        image.setDotsPerMeterY(dotsPerMetre);
        return image;
    }();
    // Never destroyed: font metrics must not outlive the font database, which
    // goes with the application object before static objects are destroyed.
    static auto* cache = new QHash<int, QFontMetricsF*>();
    const int key = pointSize * 2 + (bold ? 1 : 0);
    QFontMetricsF*& metrics = (*cache)[key];
    if (!metrics)
        metrics = new QFontMetricsF(FormFont(pointSize, bold), &device);
    return *metrics;
}

} // namespace itm
