#pragma once

#include <QFont>

class QFontMetricsF;

namespace itm {

// Text is measured and painted in units of 1/7200 inch, one hundredth of a
// point: every point size of the forms is then a whole number of pixels, so
// the font engine's rounding to whole pixels changes nothing.
constexpr double LayoutDpi = 7200.0;
constexpr double UnitsPerMillimetre = LayoutDpi / 25.4;

// Arial of the given size for a device of LayoutDpi: no hinting and no kerning,
// so that a text's width is the sum of its characters' design advances.
QFont FormFont(double pointSize, bool bold);

// Metrics of FormFont in layout units.
const QFontMetricsF& FormFontMetrics(int pointSize, bool bold);

} // namespace itm
