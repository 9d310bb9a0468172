#pragma once

#include "month/MonthListing.h"

#include <functional>

class QTextStream;

namespace itm {

// The month listing as itm-cli prints it: every column of the window aligned
// (amounts to the right), a header row, and the totals line, followed by a
// line saying they are incomplete when a declaration's amount could not be
// read. Control characters in the cells are blanked.
void WriteMonthText(QTextStream& out, const QVector<MonthRow>& rows);

// Hands every row of a listing to a visitor, in order; may be called more
// than once and must give the same rows each time. A listing of every payer of
// the country is printed from it without being held in memory.
using MonthRowSource = std::function<void(const std::function<void(const MonthRow&)>& visit)>;

// The same text from a source read twice: once for the widths and the
// totals, once to print.
void WriteMonthText(QTextStream& out, const MonthRowSource& rows);

// The month listing for a spreadsheet: RFC 4180 fields (quoted when they hold
// a comma, a double quote or a line break, quotes doubled), LF line ends, the
// header row cui,denumire,judet,stare,nrsal,fondlunsal,comdat,comac, stare
// one of initiala, rectificativa, lipsa, the amounts empty for lipsa, no
// totals row.
void WriteMonthCsv(QTextStream& out, const QVector<MonthRow>& rows);
void WriteMonthCsv(QTextStream& out, const MonthRowSource& rows);

// The rows of a vector as a source.
MonthRowSource MonthRowsOf(const QVector<MonthRow>& rows);

} // namespace itm
