#pragma once

#include "exchange/Sheet.h"
#include "records/PayerHistory.h"
#include "records/YearSummary.h"

class QTextStream;

namespace itm {
class JobProgress;
}

namespace itm::exchange {

// A payer's history as a worksheet: the columns of `itm-cli history --format
// csv`, the amounts as numbers.
SheetTable HistorySheet(const PayerHistory& history);

// Writes the history into path by the ending of its name: a workbook as
// HistorySheet lays it out, or exactly the CSV of `itm-cli history --format
// csv`. The file is replaced whole or not at all.
bool WriteHistoryFile(const PayerHistory& history, const QString& path, QString* error);

// The year as `itm-cli year --format csv` writes it: the header
// cui,denumire,datorat_01,achitat_01,...,datorat_an,achitat_an,sold, empty
// cells for a month without a declaration, texts safe from formulas.
QStringList YearHeader();
// A row's amount cells of the CSV, from datorat_01 to sold.
QStringList YearAmountCells(const YearRow& row);
void WriteYearCsv(QTextStream& out, const QList<YearRow>& rows);

// The year as a worksheet: a row per payer, then the totals line (outside the
// filter range), whose sums are formulas over the rows above it.
SheetTable YearSheet(const QList<YearRow>& rows, qint64 year);

// Writes the year into path by the ending of its name, as the month's export.
bool WriteYearFile(
    const QList<YearRow>& rows, qint64 year, const QString& path, QString* error, JobProgress* progress = nullptr);

} // namespace itm::exchange
