#include "output/FormFonts.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <memory>

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
    static QHash<int, std::shared_ptr<QFontMetricsF>> cache;
    const int key = pointSize * 2 + (bold ? 1 : 0);
    auto& metrics = cache[key];
    if (!metrics)
        metrics = std::make_shared<QFontMetricsF>(FormFont(pointSize, bold), &device);
    return *metrics;
}

} // namespace itm
