#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include "store/Errors.h"

namespace itm {

class Statement;

// Read access to one record (the current row of a query, or a row loaded on
// its own). Values are null, qint64, double or QString.
class RecordReader
{
public:
    virtual ~RecordReader() = default;

    // The raw value; an unknown column raises itm::Error.
    virtual QVariant fieldValue(const QString& column) const = 0;

    // The column's text: an integer as its decimal digits, a real number in the
    // shortest general form with ".", a text as stored, "" when there is no value.
    QString fieldText(const QString& column) const;

    // The column read as a whole number: integers as they are, reals rounded,
    // texts through the strict conversion (ConversionError); no value reads 0.
    qint64 fieldInteger(const QString& column) const;

    // The column read with the strict whole-number conversion, for numbers
    // that leave the program (the declaration line, the printed form): a real
    // counts only when it is whole (12345.0 reads 12345; 12345.5 raises
    // ConversionError naming the column), a text must be one; no value reads 0.
    qint64 fieldWholeNumber(const QString& column) const;

protected:
    // The raw value where the record holds it, read without a copy; nothing
    // for a record that makes its values when asked. A rule reads dozens of
    // columns of each row an import checks.
    virtual const QVariant* heldValue(const QString& column) const
    {
        Q_UNUSED(column);
        return nullptr;
    }

private:
    template <typename Read> auto readValue(const QString& column, Read read) const
    {
        if (const QVariant* held = heldValue(column))
            return read(*held);
        return read(fieldValue(column));
    }
};

// Text of a raw value, as RecordReader::fieldText gives it.
QString valueText(const QVariant& value);
// A raw value read as a whole number, as RecordReader::fieldInteger reads it.
qint64 valueInteger(const QVariant& value);
// A raw value read as RecordReader::fieldWholeNumber reads it, without the
// column's name in the error.
qint64 valueWholeNumber(const QVariant& value);

// A number column that holds a text which is no number (a row made outside
// the program): the conversion error, with the column's name in front so that
// the message says where to look.
ConversionError NumberColumnError(const QString& column, const ConversionError& error);

// A record held in memory: column names and their values.
class RowRecord : public RecordReader
{
public:
    RowRecord() = default;
    RowRecord(QStringList columns, QVector<QVariant> values);

    QVariant fieldValue(const QString& column) const override;
    void setValue(const QString& column, const QVariant& value);
    const QStringList& columns() const { return m_columns; }

private:
    QStringList m_columns;
    QVector<QVariant> m_values;
};

// Columns [first, first + count) of a statement's current row as a record
// (count -1: to the last column), by column name.
RowRecord RecordOfRow(const Statement& statement, int first = 0, int count = -1);

} // namespace itm
