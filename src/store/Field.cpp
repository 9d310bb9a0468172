#include "store/Field.h"

#include "store/Dataset.h"
#include "store/Errors.h"
#include "store/StrictNumber.h"

#include <cmath>

namespace itm {

QString Field::name() const
{
    return m_dataset->columnNames().at(m_index);
}

ColumnType Field::type() const
{
    return m_dataset->columnType(m_index);
}

int Field::size() const
{
    return m_dataset->columnSize(m_index);
}

QVariant Field::AsVariant() const
{
    return m_dataset->value(m_index);
}

QString Field::AsString() const
{
    return valueText(AsVariant());
}

qint64 Field::AsInteger() const
{
    const QVariant value = AsVariant();
    const int typeId = value.typeId();
    const bool number = typeId == QMetaType::UnknownType || typeId == QMetaType::LongLong || typeId == QMetaType::Int
        || typeId == QMetaType::Double;
    // A number column gets a text only from a row made elsewhere: its error
    // names the column. A text column read as a number is the caller's
    // conversion.
    if (number || type() == ColumnType::Text)
        return valueInteger(value);
    try {
        return StrToInt(value.toString());
    } catch (const ConversionError& error) {
        throw NumberColumnError(name(), error);
    }
}

double Field::AsFloat() const
{
    const QVariant value = AsVariant();
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return 0;
    case QMetaType::LongLong:
    case QMetaType::Double:
        return value.toDouble();
    default:
        break;
    }
    if (type() == ColumnType::Text)
        return StrToFloat(value.toString());
    try {
        return StrToFloat(value.toString());
    } catch (const ConversionError& error) {
        throw NumberColumnError(name(), error);
    }
}

bool Field::IsNull() const
{
    return AsVariant().isNull();
}

void Field::setAsString(const QString& text) const
{
    m_dataset->setValue(m_index, QVariant(text));
}

void Field::setAsInteger(qint64 value) const
{
    m_dataset->setValue(m_index, QVariant(value));
}

void Field::setAsFloat(double value) const
{
    m_dataset->setValue(m_index, QVariant(value));
}

void Field::setAsVariant(const QVariant& value) const
{
    m_dataset->setValue(m_index, value);
}

} // namespace itm
