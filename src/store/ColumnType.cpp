#include "store/ColumnType.h"

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

} // namespace itm
