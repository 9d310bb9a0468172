#include "store/StrictNumber.h"

#include "store/Errors.h"

#include <cmath>
#include <limits>

namespace itm {

std::optional<qint64> TryStrToInt(const QString& text)
{
    const qsizetype length = text.size();
    qsizetype pos = 0;
    bool negative = false;
    if (pos < length && (text[pos] == u'+' || text[pos] == u'-')) {
        negative = text[pos] == u'-';
        ++pos;
    }
    if (pos == length)
        return std::nullopt;
    // Accumulate as a negative number so that the minimum of the range fits.
    qint64 value = 0;
    constexpr qint64 minimum = std::numeric_limits<qint64>::min();
    for (; pos < length; ++pos) {
        const char16_t c = text[pos].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        const int digit = c - u'0';
        if (value < (minimum + digit) / 10)
            return std::nullopt;
        value = value * 10 - digit;
    }
    if (!negative) {
        if (value == minimum)
            return std::nullopt;
        value = -value;
    }
    return value;
}

qint64 StrToInt(const QString& text)
{
    if (const auto value = TryStrToInt(text))
        return *value;
    throw ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

std::optional<double> TryStrToFloat(const QString& text)
{
    // Digits with at most one "." and an optional exponent; no blanks, no grouping.
    const QByteArray latin = text.toLatin1();
    if (latin.isEmpty() || latin.size() != text.size())
        return std::nullopt;
    qsizetype pos = 0;
    if (latin[pos] == '+' || latin[pos] == '-')
        ++pos;
    bool digits = false;
    while (pos < latin.size() && latin[pos] >= '0' && latin[pos] <= '9') {
        ++pos;
        digits = true;
    }
    if (pos < latin.size() && latin[pos] == '.') {
        ++pos;
        while (pos < latin.size() && latin[pos] >= '0' && latin[pos] <= '9') {
            ++pos;
            digits = true;
        }
    }
    if (!digits)
        return std::nullopt;
    if (pos < latin.size() && (latin[pos] == 'e' || latin[pos] == 'E')) {
        ++pos;
        if (pos < latin.size() && (latin[pos] == '+' || latin[pos] == '-'))
            ++pos;
        bool exponentDigits = false;
        while (pos < latin.size() && latin[pos] >= '0' && latin[pos] <= '9') {
            ++pos;
            exponentDigits = true;
        }
        if (!exponentDigits)
            return std::nullopt;
    }
    if (pos != latin.size())
        return std::nullopt;
    bool ok = false;
    const double value = QString::fromLatin1(latin).toDouble(&ok); // QString::toDouble is locale independent
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double StrToFloat(const QString& text)
{
    if (const auto value = TryStrToFloat(text))
        return *value;
    throw ConversionError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

QString FloatToStr(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    if (std::fabs(value) < 1e15 && value == std::trunc(value))
        return QString::number(static_cast<qint64>(value));
    // 'g' with 15 digits drops trailing zeros, as the shortest general form does.
    return QString::number(value, 'g', 15);
}

} // namespace itm
