#pragma once

#include "exchange/Sheet.h"

namespace itm::exchange {

// Writes the table as a workbook of one worksheet: the header row bold and
// frozen, an autofilter over the table, numbers and formulas as numbers,
// texts as texts, each column as wide as its longest text. The file is
// replaced whole or not at all; false with the reason in *error.
bool WriteXlsxFile(SheetSource& source, const QString& path, QString* error);

} // namespace itm::exchange
