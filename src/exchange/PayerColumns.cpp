#include "exchange/PayerColumns.h"

#include "store/RegisterColumns.h"

namespace itm::exchange {

const QStringList& PayerFileColumns()
{
    // The register's own columns up to the representative, the county by name.
    static const QStringList columns = [] {
        QStringList names = PayerColumns().mid(0, PayerColumns().indexOf(QStringLiteral("funcrep")) + 1);
        names.replace(names.indexOf(QStringLiteral("codjudet")), countyFileColumn());
        return names;
    }();
    return columns;
}

} // namespace itm::exchange
