#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace itm {

// The one conversion from text to a whole number used everywhere a text is read
// as a number: an optional sign followed by decimal digits, nothing else (no
// blanks, no separators), within the 64-bit range. Anything else raises
// ConversionError "'<text>' is not a valid integer value".
qint64 StrToInt(const QString& text);
std::optional<qint64> TryStrToInt(const QString& text);

// Real numbers are read and written with "." whatever the locale.
double StrToFloat(const QString& text);
std::optional<double> TryStrToFloat(const QString& text);

// Shortest general form with up to 15 significant digits, "." as separator,
// no grouping and no exponent for whole numbers below 1e15.
QString FloatToStr(double value);

} // namespace itm
