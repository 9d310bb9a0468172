#include "exchange/PayerColumns.h"

namespace itm::exchange {

const QStringList& PayerFileColumns()
{
    static const QStringList columns = {
        QStringLiteral("cui"),
        QStringLiteral("prefix"),
        QStringLiteral("denumire"),
        QStringLiteral("sufix"),
        countyFileColumn(),
        QStringLiteral("loc"),
        QStringLiteral("sector"),
        QStringLiteral("str"),
        QStringLiteral("nr"),
        QStringLiteral("bloc"),
        QStringLiteral("scara"),
        QStringLiteral("ap"),
        QStringLiteral("codpostal"),
        QStringLiteral("telefon"),
        QStringLiteral("email"),
        QStringLiteral("banca"),
        QStringLiteral("cont"),
        QStringLiteral("numerep"),
        QStringLiteral("prenumerep"),
        QStringLiteral("funcrep"),
    };
    return columns;
}

} // namespace itm::exchange
