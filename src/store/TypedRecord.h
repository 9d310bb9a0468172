#pragma once

#include "store/ColumnType.h"
#include "store/RecordReader.h"

#include <QStringView>
#include <utility>

namespace itm {

class Dataset;

// A record held outside any query, with the columns and column types of one:
// what is written into a column is converted exactly as the query's edit
// buffer converts it, so the record can be cleaned by the query's rule and
// written with its statements. Columns are addressed as Dataset addresses
// them (FieldByName, FieldAt, columnNames), which lets one rule serve both.
class TypedRecord : public RecordReader
{
public:
    class Field
    {
    public:
        Field(TypedRecord* record, int index)
            : m_record(record)
            , m_index(index)
        {
        }
        QString AsString() const { return valueText(AsVariant()); }
        QVariant AsVariant() const { return m_record->m_values.at(m_index); }
        qint64 AsInteger() const { return m_record->fieldInteger(m_record->m_columns.at(m_index)); }
        // Raises ConversionError when a number column refuses the text.
        void setAsString(const QString& text) const { setAsVariant(text); }
        // Taken by value: a value made for the column is moved in, not copied.
        void setAsVariant(QVariant value) const
        {
            // A value already of the column's kind, nearly every one an
            // import writes, is kept without a conversion.
            QVariant& held = m_record->m_values[m_index];
            const ColumnType type = m_record->m_types.at(m_index);
            if (!value.isNull() && IsValueOfColumn(type, value))
                held = std::move(value);
            else
                held = ValueForColumn(type, value);
        }
        // A value of the column's kind (one it held before, or made for
        // it), written as it is.
        void setHeldValue(const QVariant& value) const { m_record->m_values[m_index] = value; }
        // False, and nothing written, where setAsString raises.
        bool trySetAsString(const QString& text) const
        {
            auto converted = TryValueForColumn(m_record->m_types.at(m_index), text);
            if (converted)
                m_record->m_values[m_index] = *std::move(converted);
            return converted.has_value();
        }

    private:
        TypedRecord* m_record;
        int m_index;
    };

    // The columns of the query, every value empty.
    explicit TypedRecord(const Dataset& layout);

    const QStringList& columnNames() const { return m_columns; }
    // Every value empty again, the record's memory kept: one record serves
    // each row of a file in turn.
    void clearValues() { EmptyValues(m_values); }
    // Every value empty, the vector's memory kept; a value already empty is
    // not touched (an import empties a million rows of mostly empty columns).
    static void EmptyValues(QVector<QVariant>& values)
    {
        for (QVariant& value : values) {
            if (value.isValid())
                value = QVariant();
        }
    }
    const QVector<QVariant>& values() const { return m_values; }
    // Takes values of the same columns in their place (a row made elsewhere
    // and handed over) and gives back those it held.
    QVector<QVariant> exchangeValues(QVector<QVariant> values) { return std::exchange(m_values, std::move(values)); }
    ColumnType columnType(int index) const { return m_types.at(index); }
    Field FieldAt(int index) { return Field(this, index); }
    Field FieldByName(const QString& name); // an unknown column raises itm::Error
    int columnIndex(const QString& name) const { return indexOf(name); } // as FieldByName finds it

    QVariant fieldValue(const QString& column) const override;

protected:
    const QVariant* heldValue(const QString& column) const override { return &m_values.at(indexOf(column)); }

private:
    int indexOf(const QString& name) const;

    // The slot of a name in m_slots: a few of its characters mixed, far
    // cheaper than a general string hash (an import names columns dozens of
    // times for each of a million records).
    int slotOf(QStringView name) const;

    QStringList m_columns;
    // Each column's index by its name as the table spells it, open addressing
    // over slotOf (-1: empty slot); copies of the record share it.
    QVector<qint16> m_slots;
    QVector<ColumnType> m_types;
    QVector<QVariant> m_values;
};

} // namespace itm
