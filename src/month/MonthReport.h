#pragma once

#include "month/MonthListing.h"

class QTextStream;

namespace itm {

// The month listing as itm-cli prints it: every column of the window aligned
// (amounts to the right), a header row, and the totals line, followed by a
// line saying they are incomplete when a declaration's amount could not be
// read. Control characters in the cells are blanked.
void WriteMonthText(QTextStream& out, const QVector<MonthRow>& rows);

// The month listing for a spreadsheet: RFC 4180 fields (quoted when they hold
// a comma, a double quote or a line break, quotes doubled), LF line ends, the
// header row cui,denumire,judet,stare,nrsal,fondlunsal,comdat,comac, stare
// one of initiala, rectificativa, lipsa, the amounts empty for lipsa, no
// totals row.
void WriteMonthCsv(QTextStream& out, const QVector<MonthRow>& rows);

} // namespace itm
