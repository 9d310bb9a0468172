#pragma once

#include "output/TablePages.h"

#include <QDate>

namespace itm {

struct PayerStatement;

// The payer's statement as it is printed: a title with the payer's composed
// legal name and code, the period covered and the date printed; its months,
// versions and year totals; the balance owed at the foot.
PrintedTable StatementTable(const PayerStatement& statement, const QDate& printed);
QList<PageLayout> LayOutStatement(const PayerStatement& statement, const QDate& printed);

} // namespace itm
