#pragma once

#include "store/RuleOutcome.h"

#include <QDate>
#include <QString>

namespace itm {

// The declaration of January 2006 carries the December 2005 amounts, has no
// bankruptcy and prints on its own form.
bool IsJanuary2006(qint64 month, qint64 year);
// The same for the texts of the period fields, read with the strict
// conversion: a text that is no number is not January 2006.
bool IsJanuary2006(const QString& month, const QString& year);

// The period fields preset from a day: the month in two digits, the year.
struct PeriodTexts
{
    QString month;
    QString year;
};
PeriodTexts PeriodPreset(const QDate& today);

// The month field as it stays when it is left: below 1 becomes "1", above 12
// "12"; empty when the text stays as typed. A text that is no number raises
// the conversion error.
std::optional<QString> ClampedMonthText(const QString& month);

// What Enter in the year field makes of the typed period. Declarations start
// in 2006: an earlier year is put to 2006, a month out of range to 1, and the
// lookup waits for the next Enter; a text that is no number does nothing.
struct PeriodLookup
{
    enum class Verdict
    {
        NotANumber,
        YearCorrected,
        MonthCorrected,
        Valid
    };
    Verdict verdict = Verdict::NotANumber;
    QString correction; // the year's or the month's new text
    qint64 month = 0;
    qint64 year = 0;
};
PeriodLookup CheckPeriod(const QString& month, const QString& year);

// A new declaration of a payer for a month: not corrective, at 0.75 %.
QList<ColumnWrite> NewDeclarationValues(const QVariant& payerId, qint64 month, const QString& yearText);

} // namespace itm
