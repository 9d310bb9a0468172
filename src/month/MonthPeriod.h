#pragma once

#include <QString>
#include <QtGlobal>

namespace itm {

// One month of one year, as the declarations are kept.
struct MonthPeriod
{
    qint64 month = 0; // 1..12
    qint64 year = 0;

    friend bool operator==(const MonthPeriod&, const MonthPeriod&) = default;
};

// The month before: December of the year before for January.
MonthPeriod PreviousMonth(const MonthPeriod& period);

// "Martie 2006", as the printed form heads its amounts.
QString MonthTitle(const MonthPeriod& period);

} // namespace itm
