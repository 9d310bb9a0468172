#include "payers/Sector.h"

#include "store/StrictNumber.h"

namespace itm {

QString SectorFieldText(const QString& typed)
{
    if (typed.isEmpty() || typed == u"0")
        return typed;
    const auto number = TryStrToInt(typed);
    if (!number || *number > 6 || *number < 1)
        return QStringLiteral("0");
    return typed;
}

} // namespace itm
