#pragma once

class QPushButton;
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
// the ending of its name (none: a workbook), written as a job that can be
// cancelled. Returns whether the file was written.
bool ExportRegisterFromWindow(Tdm& dm, QWidget* parent);

// The listing of a month, with its totals, into a workbook or a CSV file
// chosen in the file chooser, as the register. Returns whether the file was
// written.
bool ExportMonthFromWindow(Tdm& dm, const MonthPeriod& period, QWidget* parent);

// "Export &registru" (Alt+R) beside a window's Export button, in its row and
// after it in the Tab order: the register's export from that window.
QPushButton* AddRegisterExportBeside(QPushButton* exportButton, Tdm& dm);

} // namespace itm::exchange
