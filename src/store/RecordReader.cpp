#include "store/RecordReader.h"

#include "store/Connection.h"
#include "store/Errors.h"
#include "store/StrictNumber.h"

#include <cmath>

namespace itm {

QString valueText(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return QString();
    case QMetaType::LongLong:
    case QMetaType::Int:
        return QString::number(value.toLongLong());
    case QMetaType::Double:
        return FloatToStr(value.toDouble());
    default:
        return value.toString();
    }
}

ConversionError NumberColumnError(const QString& column, const ConversionError& error)
{
    return ConversionError(QStringLiteral("Coloana '%1': %2").arg(column, error.message()));
}

QString RecordReader::fieldText(const QString& column) const
{
    return readValue(column, [](const QVariant& value) { return valueText(value); });
}

qint64 RecordReader::fieldInteger(const QString& column) const
{
    return readValue(column, [](const QVariant& value) { return valueInteger(value); });
}

qint64 valueInteger(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return 0;
    case QMetaType::LongLong:
    case QMetaType::Int:
        return value.toLongLong();
    case QMetaType::Double:
        return std::llround(value.toDouble());
    default:
        return StrToInt(value.toString());
    }
}

qint64 RecordReader::fieldWholeNumber(const QString& column) const
{
    try {
        return readValue(column, [](const QVariant& value) { return valueWholeNumber(value); });
    } catch (const ConversionError& error) {
        throw NumberColumnError(column, error);
    }
}

qint64 valueWholeNumber(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return 0;
    case QMetaType::LongLong:
    case QMetaType::Int:
        return value.toLongLong();
    default:
        // A real goes through the text it shows: a fraction, or a size that
        // only the exponent form holds, is no whole number.
        return StrToInt(valueText(value));
    }
}

RowRecord::RowRecord(QStringList columns, QVector<QVariant> values)
    : m_columns(std::move(columns))
    , m_values(std::move(values))
{
    m_values.resize(m_columns.size());
}

QVariant RowRecord::fieldValue(const QString& column) const
{
    const qsizetype index = m_columns.indexOf(column);
    if (index < 0)
        throw Error(QStringLiteral("Field '%1' not found").arg(column));
    return m_values.at(index);
}

void RowRecord::setValue(const QString& column, const QVariant& value)
{
    const qsizetype index = m_columns.indexOf(column);
    if (index < 0) {
        m_columns.append(column);
        m_values.append(value);
    } else {
        m_values[index] = value;
    }
}

RowRecord RecordOfRow(const Statement& statement, int first, int count)
{
    if (count < 0)
        count = statement.columnCount() - first;
    QStringList columns;
    QVector<QVariant> values;
    columns.reserve(count);
    values.reserve(count);
    for (int column = first; column < first + count; ++column) {
        columns.append(statement.columnName(column));
        values.append(statement.value(column));
    }
    return RowRecord(columns, values);
}

} // namespace itm
