#pragma once

class QWidget;

#include "month/MonthPeriod.h"

namespace itm {
class Tdm;
}

namespace itm::exchange {

// Payers from a CSV file, from a window: the file chooser, the preview of
// every row, then, on "Importa", the import in one transaction; the register
// query is read again afterwards. A payer being edited must be saved or
// abandoned first. Returns whether payers were written.
bool ImportPayersFromWindow(Tdm& dm, QWidget* parent);

// The register into a workbook or a CSV file chosen in the file chooser, by
// the ending of its name. Returns whether the file was written.
bool ExportRegisterFromWindow(Tdm& dm, QWidget* parent);

// The listing of a month, with its totals, into a workbook or a CSV file
// chosen in the file chooser. Returns whether the file was written.
bool ExportMonthFromWindow(Tdm& dm, const MonthPeriod& period, QWidget* parent);

} // namespace itm::exchange
