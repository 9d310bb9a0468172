#pragma once

class QPushButton;
class QWidget;

#include "month/MonthPeriod.h"

#include <QtGlobal>
#include <functional>

namespace itm {
class Connection;
class Tdm;
} // namespace itm

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

// A payer's history into a workbook or a CSV file (the CSV of `itm-cli
// history --format csv`), as the month. Returns whether the file was written.
bool ExportHistoryFromWindow(Connection& connection, qint64 payerId, const QString& code, QWidget* parent);

// Every payer's year into a workbook or a CSV file (`itm-cli year`), as the
// month. Returns whether the file was written.
bool ExportYearFromWindow(Connection& connection, qint64 year, QWidget* parent);

// "Export &registru" (Alt+R) beside a window's Export button, in its row and
// after it in the Tab order: the register's export from that window.
QPushButton* AddRegisterExportBeside(QPushButton* exportButton, Tdm& dm);

// "Export a&n" (Alt+N) beside a button, in its row and after it in the Tab
// order: the year that year() gives, every payer's months, into a file.
QPushButton* AddYearExportBeside(QPushButton* before, Connection& connection, std::function<qint64()> year);

} // namespace itm::exchange
