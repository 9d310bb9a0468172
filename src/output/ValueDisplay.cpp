#include "output/ValueDisplay.h"

#include "output/FormData.h"
#include "store/Errors.h"
#include "store/RecordReader.h"
#include "store/StrictNumber.h"

#include <QtNumeric>

#include <cmath>
#include <limits>

namespace itm {

namespace {

bool isIntegerValue(const QVariant& value)
{
    const int type = value.typeId();
    return type == QMetaType::LongLong || type == QMetaType::Int || type == QMetaType::ULongLong
        || type == QMetaType::UInt;
}

bool isRealValue(const QVariant& value)
{
    return value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float;
}

bool isTextValue(const QVariant& value)
{
    return value.typeId() == QMetaType::QString;
}

// A double that lies within the range of qint64, rounded half away from zero.
std::optional<qint64> roundedWhole(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = std::round(value);
    // 2^63 is exactly representable; every double below it converts safely.
    if (rounded < -9223372036854775808.0 || rounded >= 9223372036854775808.0)
        return std::nullopt;
    return static_cast<qint64>(rounded);
}

std::optional<qint64> wholeNumberOf(const QVariant& value)
{
    if (isIntegerValue(value)) {
        if (value.typeId() == QMetaType::ULongLong && value.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
            return std::nullopt;
        return value.toLongLong();
    }
    if (isRealValue(value))
        return roundedWhole(value.toDouble());
    if (isTextValue(value))
        return TryStrToInt(value.toString());
    return std::nullopt;
}

std::optional<qint64> strictWholeNumberOf(const QVariant& value)
{
    try {
        return valueWholeNumber(value);
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

std::optional<double> realOf(const QVariant& value)
{
    if (isIntegerValue(value))
        return value.toDouble();
    if (isRealValue(value)) {
        const double real = value.toDouble();
        if (!std::isfinite(real))
            return std::nullopt;
        return real;
    }
    if (isTextValue(value))
        return TryStrToFloat(value.toString());
    return std::nullopt;
}

// Digits of a whole number, padded with leading zeros to the mask's length.
QString padded(qint64 number, const QString& mask)
{
    const qsizetype digits = mask.count(u'0');
    // The magnitude of the minimum qint64 does not fit a qint64: use unsigned.
    const quint64 magnitude = number < 0 ? quint64(0) - quint64(number) : quint64(number);
    QString text = QString::number(magnitude);
    if (text.size() < digits)
        text.prepend(QString(digits - text.size(), u'0'));
    if (number < 0)
        text.prepend(u'-');
    return text;
}

} // namespace

QString DisplayText(const QVariant& value, ValueType type, const QString& mask)
{
    if (!value.isValid() || value.isNull())
        return QString();
    switch (type) {
    case ValueType::Text:
        return valueText(value);
    case ValueType::Integer: {
        // A whole-number column is read strictly: a real with a fraction is
        // no whole number and shows nothing rather than a rounded amount.
        const auto number = isRealValue(value) ? strictWholeNumberOf(value) : wholeNumberOf(value);
        if (!number)
            return QString();
        return mask.isEmpty() ? QString::number(*number) : padded(*number, mask);
    }
    case ValueType::Real: {
        const auto real = realOf(value);
        if (!real)
            return QString();
        if (mask.isEmpty())
            return FloatToStr(*real);
        const auto whole = roundedWhole(*real);
        return whole ? padded(*whole, mask) : QString();
    }
    }
    return QString();
}

QVariant ReadValue(const RecordReader* record, const QString& column)
{
    if (!record)
        return QVariant();
    try {
        return record->fieldValue(column);
    } catch (const Error&) {
        return QVariant();
    }
}

std::optional<qint64> ReadWholeNumber(const RecordReader* record, const QString& column)
{
    if (!record)
        return std::nullopt;
    try {
        return record->fieldWholeNumber(column);
    } catch (const Error&) {
        return std::nullopt;
    }
}

std::optional<QVariant> EvaluateDifference(const RecordReader* record, const QString& expression)
{
    const QStringList operands = expression.split(u'-');
    if (operands.size() != 2 || !record)
        return std::nullopt;
    QVariant values[2];
    for (int i = 0; i < 2; ++i) {
        values[i] = ReadValue(record, operands.at(i).trimmed());
        // An unset amount counts as nothing, as the before-post rule stores it.
        if (values[i].isNull() || !values[i].isValid())
            values[i] = qint64(0);
    }
    const auto a = wholeNumberOf(values[0]);
    const auto b = wholeNumberOf(values[1]);
    if (!isRealValue(values[0]) && !isRealValue(values[1]) && a && b) {
        qint64 difference = 0;
        if (qSubOverflow(*a, *b, &difference))
            return std::nullopt;
        return QVariant(difference);
    }
    const auto x = realOf(values[0]);
    const auto y = realOf(values[1]);
    if (!x || !y)
        return std::nullopt;
    return QVariant(*x - *y);
}

QString ElementText(const FormElement& element, const FormData& data)
{
    switch (element.kind) {
    case ElementKind::Box:
        return QString();
    case ElementKind::Text:
    case ElementKind::FilledText:
        return element.caption;
    case ElementKind::Memo:
        return element.paragraphs.join(u'\n');
    case ElementKind::Field:
    case ElementKind::ConditionalField:
        return DisplayText(ReadValue(data.reader(element.dataset), element.column), element.valueType, element.mask);
    case ElementKind::Expression: {
        const auto value = EvaluateDifference(data.reader(FormDataset::Declaration), element.expression);
        if (!value)
            return QString();
        return DisplayText(*value, isRealValue(*value) ? ValueType::Real : ValueType::Integer);
    }
    }
    return QString();
}

} // namespace itm
