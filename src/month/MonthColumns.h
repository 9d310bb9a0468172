#pragma once

#include "month/MonthListing.h"

#include <QString>

namespace itm {

// The columns of the month listing, as the window and itm-cli show them.
enum class MonthColumn
{
    Code,
    Name,
    County,
    Status,
    Employees,
    Fund,
    Commission,
    Paid,
    Difference,
};
constexpr int kMonthColumnCount = 9;

QString MonthColumnTitle(MonthColumn column);
bool IsAmountColumn(MonthColumn column);

// The declaration's column an amount column shows (nrsal, fondlunsal,
// comdat, comac); "" for the others and the difference.
QString AmountColumnName(MonthColumn column);
// An amount that could not be read, or a difference made from one.
bool IsFaultyCell(const MonthRow& row, MonthColumn column);

// A cell as shown: amounts in whole RON without grouping, none for a payer
// without a declaration; an amount that could not be read as stored, and no
// difference made from it.
QString MonthCellText(const MonthRow& row, MonthColumn column);

// "12 declarati, 3 lipsa".
QString DeclaredAndMissingText(const MonthTotals& totals);
// "Totaluri incomplete: 2 declaratii au sume care nu sunt numere intregi".
QString IncompleteTotalsText(const MonthTotals& totals);
// The totals line's cell under a column: the counts under the name, the sums
// under the amounts, "Total" under the code.
QString TotalsCellText(const MonthTotals& totals, MonthColumn column);

} // namespace itm
