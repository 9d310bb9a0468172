#pragma once

#include "exchange/Sheet.h"

namespace itm {
class JobProgress;
}

namespace itm::exchange {

// Writes the table as a workbook of one worksheet: the header row bold and
// frozen, an autofilter over the table but its closing rows, numbers and
// formulas as numbers (amounts with thousands separators), texts as texts
// (never formulas), each column as wide as its longest text, printed on A4
// landscape as wide as the page with the header on every page. The file is
// replaced whole or not at all; false with the reason in *error.
// A worksheet holds 1,048,576 rows: the header and this many data rows.
constexpr qint64 kXlsxDataRowLimit = 1048575;

// The refusal of a longer table: the limit, and the way out (a CSV file has none).
QString TooManyRowsText();

// A source whose rowCount() exceeds kXlsxDataRowLimit is refused before
// anything is written.
bool WriteXlsxFile(SheetSource& source, const QString& path, QString* error, JobProgress* progress = nullptr);

} // namespace itm::exchange
