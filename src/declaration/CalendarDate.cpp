#include "declaration/CalendarDate.h"

#include "store/StrictNumber.h"

namespace itm {

namespace {
bool isLeapYear(qint64 year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

qint64 daysInMonth(qint64 year, qint64 month)
{
    static constexpr qint64 days[12] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    if (month == 2 && isLeapYear(year))
        return 29;
    return days[month - 1];
}
} // namespace

bool IsExistingDate(qint64 year, qint64 month, qint64 day)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1)
        return false;
    return day <= daysInMonth(year, month);
}

std::optional<std::array<qint64, 3>> DateFromTexts(const QString& zi, const QString& luna, const QString& an)
{
    const auto day = TryStrToInt(zi);
    const auto month = TryStrToInt(luna);
    const auto year = TryStrToInt(an);
    if (!day || !month || !year || !IsExistingDate(*year, *month, *day))
        return std::nullopt;
    return std::array<qint64, 3> { *day, *month, *year };
}

} // namespace itm
