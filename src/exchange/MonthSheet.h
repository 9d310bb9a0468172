#pragma once

#include "exchange/Sheet.h"
#include "month/MonthListing.h"

namespace itm {
class JobProgress;
}

namespace itm::exchange {

// The month listing as a worksheet: one row per payer in the listing's order
// with its status and amounts (empty for a payer with no declaration), then
// the totals line, whose sums are formulas over the rows above it.
SheetTable MonthSheet(const QVector<MonthRow>& rows, const MonthPeriod& period);

// Writes the month listing into path by the ending of its name: a workbook
// as MonthSheet lays it out, or the CSV file of `itm-cli month --format csv`
// with its texts as CsvSafeText() makes them. The file is replaced whole or
// not at all.
bool WriteMonthFile(const QVector<MonthRow>& rows, const MonthPeriod& period, const QString& path, QString* error,
    JobProgress* progress = nullptr);

} // namespace itm::exchange
