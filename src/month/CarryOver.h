#pragma once

#include "month/MonthPeriod.h"
#include "store/Errors.h"
#include "store/RuleOutcome.h"

#include <QList>
#include <optional>

namespace itm {

class JobProgress;
class RecordReader;
class Tdm;

// A declaration of the source month holds an amount stored as a text that is
// no whole number: nothing of the carry-over is stored. The message is the
// conversion error with the column's name in front.
class CarryOverAmountError : public ConversionError
{
public:
    CarryOverAmountError(QString payerCode, const ConversionError& error)
        : ConversionError(error.message())
        , m_payerCode(std::move(payerCode))
    {
    }
    const QString& payerCode() const { return m_payerCode; }

private:
    QString m_payerCode;
};

// What a carry-over did: declarations created, and the payers left alone
// because the target month already had a declaration of theirs, because the
// source month had none, or because the source's salary fund has no
// commission (negative).
struct CarryOverCounts
{
    int copied = 0;
    int alreadyDeclared = 0;
    int withoutSource = 0;
    int withoutCommission = 0;

    int skipped() const { return alreadyDeclared + withoutSource + withoutCommission; }
};

// The values of a declaration carried over from source into target: a new,
// not corrective declaration with the same rate, employees, salary fund and
// amount paid, the commission due computed anew from the fund and the rate,
// and no December 2005 amounts. Empty when the source's fund has no
// commission (negative); an amount stored as a text that is no whole number
// raises ConversionError naming its column.
std::optional<QList<ColumnWrite>> CarriedOverValues(
    qint64 payerId, const MonthPeriod& target, const RecordReader& source);

// Carries the declarations of the payers (by id, each once) over from source
// into target, in one transaction: either every new declaration is stored or,
// when the database fails or a source amount cannot be read
// (CarryOverAmountError, naming the payer), none is (the error is raised).
// Each is stored as a declaration saved in the window is: through the data
// module's insert statement, after its before-post rule. With progress, it
// reports "N din M" payers and stops when asked (JobCancelled: nothing
// stored).
CarryOverCounts CarryOverDeclarations(Tdm& dm, const MonthPeriod& source, const MonthPeriod& target,
    const QList<qint64>& payerIds, JobProgress* progress = nullptr);

// Every payer's id, in payer-code order.
QList<qint64> AllPayerIds(Tdm& dm);

} // namespace itm
