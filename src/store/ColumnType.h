#pragma once

#include <QString>

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

} // namespace itm
