#pragma once

#include <QStringList>

namespace itm::exchange {

// The payer columns a spreadsheet of payers names in its header, in the order
// the register export writes them: the register's own column names, except
// `judet`, the county by name, for the county key `codjudet`.
const QStringList& PayerFileColumns();

inline QString countyFileColumn()
{
    return QStringLiteral("judet");
}

} // namespace itm::exchange
