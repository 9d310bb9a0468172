#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>

namespace itm {

class Connection;
class JobProgress;

// One payer's year: each month's commission due and paid (none for a month
// without a declaration), the year's totals and the balance at the year's
// end, counted over every declaration up to then.
struct YearRow
{
    QString code;
    QString name; // the composed legal name
    std::array<std::optional<qint64>, 12> due;
    std::array<std::optional<qint64>, 12> paid;
    qint64 yearDue = 0;
    qint64 yearPaid = 0;
    qint64 balance = 0;
};

// Every payer's row for the year, in payer-code order (codes compared byte by
// byte). As in a payer's history, the December 2005 amounts of a January 2006
// declaration are December of 2005, and a month held twice (a register made
// elsewhere) counts its first declaration. An amount stored as a text that is
// no whole number raises ConversionError naming the column. With progress,
// it reports the payers done and stops when asked (JobCancelled).
QList<YearRow> ReadYearSummary(Connection& connection, qint64 year, JobProgress* progress = nullptr);

} // namespace itm
