#include "month/MonthPeriod.h"

#include "payers/LegalForms.h"

namespace itm {

MonthPeriod PreviousMonth(const MonthPeriod& period)
{
    if (period.month <= 1)
        return { 12, period.year - 1 };
    return { period.month - 1, period.year };
}

QString MonthTitle(const MonthPeriod& period)
{
    return MonthName(int(period.month)) + u' ' + QString::number(period.year);
}

} // namespace itm
