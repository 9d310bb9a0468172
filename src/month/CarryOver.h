#pragma once

#include "month/MonthPeriod.h"
#include "store/RuleOutcome.h"

#include <QList>
#include <optional>

namespace itm {

class RecordReader;
class Tdm;

// What a carry-over did: declarations created, and the payers left alone
// because the target month already had a declaration of theirs, because the
// source month had none, or because the source's salary fund has no
// commission (negative or not a whole number).
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
// commission.
std::optional<QList<ColumnWrite>> CarriedOverValues(
    qint64 payerId, const MonthPeriod& target, const RecordReader& source);

// Carries the declarations of the payers (by id, each once) over from source
// into target, in one transaction: either every new declaration is stored or,
// when the database fails, none is (the error is raised). Each is stored as a
// declaration saved in the window is: through the data module's insert
// statement, after its before-post rule.
CarryOverCounts CarryOverDeclarations(
    Tdm& dm, const MonthPeriod& source, const MonthPeriod& target, const QList<qint64>& payerIds);

// Every payer's id, in payer-code order.
QList<qint64> AllPayerIds(Tdm& dm);

} // namespace itm
