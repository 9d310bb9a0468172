#include "declaration/Period.h"

#include "store/StrictNumber.h"

namespace itm {

bool IsJanuary2006(qint64 month, qint64 year)
{
    return month == 1 && year == 2006;
}

bool IsJanuary2006(const QString& month, const QString& year)
{
    return TryStrToInt(month) == 1 && TryStrToInt(year) == 2006;
}

PeriodTexts PeriodPreset(const QDate& today)
{
    return { QString::asprintf("%02d", today.month()), QString::number(today.year()) };
}

std::optional<QString> ClampedMonthText(const QString& month)
{
    const qint64 value = StrToInt(month);
    if (value < 1)
        return QStringLiteral("1");
    if (value > 12)
        return QStringLiteral("12");
    return std::nullopt;
}

PeriodLookup CheckPeriod(const QString& monthText, const QString& yearText)
{
    PeriodLookup lookup;
    const auto year = TryStrToInt(yearText);
    if (!year)
        return lookup;
    if (*year < 2006) {
        lookup.verdict = PeriodLookup::Verdict::YearCorrected;
        lookup.correction = QStringLiteral("2006");
        return lookup;
    }
    const auto month = TryStrToInt(monthText);
    if (!month)
        return lookup;
    if (*month < 1 || *month > 12) {
        lookup.verdict = PeriodLookup::Verdict::MonthCorrected;
        lookup.correction = QStringLiteral("1");
        return lookup;
    }
    lookup.verdict = PeriodLookup::Verdict::Valid;
    lookup.month = *month;
    lookup.year = *year;
    return lookup;
}

QList<ColumnWrite> NewDeclarationValues(const QVariant& payerId, qint64 month, const QString& yearText)
{
    return { { QStringLiteral("idfirma"), payerId }, { QStringLiteral("ln"), month },
        { QStringLiteral("an"), yearText }, { QStringLiteral("rectificativ"), qint64(0) },
        { QStringLiteral("com25"), qint64(0) } };
}

} // namespace itm
