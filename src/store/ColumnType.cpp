#include "store/ColumnType.h"

#include "store/RecordReader.h"
#include "store/StrictNumber.h"

#include <QRegularExpression>
#include <cmath>

namespace itm {

ColumnType ColumnTypeFromDeclaration(const QString& declared)
{
    const QString upper = declared.toUpper();
    if (upper.contains(u"INT"))
        return ColumnType::Integer;
    if (upper.contains(u"REAL") || upper.contains(u"FLOA") || upper.contains(u"DOUB") || upper.contains(u"NUM")
        || upper.contains(u"DEC"))
        return ColumnType::Real;
    return ColumnType::Text;
}

int ColumnSizeFromDeclaration(const QString& declared)
{
    static const QRegularExpression size(QStringLiteral("\\(\\s*(\\d+)\\s*\\)"));
    const auto match = size.match(declared);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

std::optional<QVariant> TryValueForColumn(ColumnType type, const QVariant& value)
{
    if (value.isNull())
        return QVariant();
    // A value already of the column's kind is kept as it is: a record of
    // thousands of rows written is filled with such values.
    if (IsValueOfColumn(type, value))
        return value;
    switch (type) {
    case ColumnType::Integer:
        switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Bool:
            return QVariant(value.toLongLong());
        case QMetaType::Double:
            return QVariant(qint64(std::llround(value.toDouble())));
        default: {
            const QString text = value.toString();
            if (text.isEmpty())
                return QVariant();
            const auto number = TryStrToInt(text);
            if (!number)
                return std::nullopt;
            return QVariant(*number);
        }
        }
    case ColumnType::Real:
        switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Double:
            return QVariant(value.toDouble());
        default: {
            const QString text = value.toString();
            if (text.isEmpty())
                return QVariant();
            const auto number = TryStrToFloat(text);
            if (!number)
                return std::nullopt;
            return QVariant(*number);
        }
        }
    case ColumnType::Text:
        break;
    }
    return QVariant(valueText(value));
}

QVariant ValueForColumn(ColumnType type, const QVariant& value)
{
    if (auto converted = TryValueForColumn(type, value))
        return *std::move(converted);
    // Only a text that is no number is refused; the strict conversion says why.
    if (type == ColumnType::Real)
        return StrToFloat(value.toString());
    return StrToInt(value.toString());
}

} // namespace itm
