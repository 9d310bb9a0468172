#pragma once

#include <QString>
#include <QVariant>
#include <optional>

namespace itm {

enum class ColumnType
{
    Integer,
    Real,
    Text
};

// The type a column is read and written as, from its declared SQL type, by
// SQLite's own affinity rules: INT is integer; REAL, FLOA, DOUB, NUM and DEC are
// real numbers; everything else is text.
ColumnType ColumnTypeFromDeclaration(const QString& declared);

// The most characters a text column holds, from its declared SQL type
// ("VARCHAR(60)" holds 60); 0 when the declaration sets no length.
int ColumnSizeFromDeclaration(const QString& declared);

// Whether value is already of the column's kind (a whole number for an
// integer column, a real for a real one, a text for a text one): written into
// the column, it stays as it is.
inline bool IsValueOfColumn(ColumnType type, const QVariant& value)
{
    const int id = value.typeId();
    return (type == ColumnType::Integer && id == QMetaType::LongLong)
        || (type == ColumnType::Real && id == QMetaType::Double)
        || (type == ColumnType::Text && id == QMetaType::QString);
}

// The value a column of that type holds once value is written into it: whole
// and real numbers as they are or read from their text (an empty text clears
// the column, a text that is no number raises ConversionError), anything
// written into a text column as its text.
QVariant ValueForColumn(ColumnType type, const QVariant& value);
// The same, with nothing instead of the error.
std::optional<QVariant> TryValueForColumn(ColumnType type, const QVariant& value);

} // namespace itm
