#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>
#include <optional>

namespace itm {

class Connection;

// One row of a payer's history: a declaration, or the December 2005 amounts
// that the January 2006 declaration carries, as a row of their own just
// before it.
struct HistoryRow
{
    enum Kind
    {
        Initial,
        Corrective,
        December2005
    };
    qint64 year = 0;
    qint64 month = 0;
    Kind kind = Initial;
    qint64 declarationId = 0; // the declaration's key (of January 2006 for its December 2005 row)
    bool reducedRate = false; // 0.25 % rather than 0.75 %
    qint64 employees = 0;
    QString fund; // the salary fund: a whole number, or a real as stored
    qint64 due = 0; // commission due
    qint64 paid = 0;
    qint64 difference() const { return due - paid; }
    qint64 balance = 0; // all due minus all paid from the payer's first declaration up to this row
};

struct PayerHistory
{
    QList<HistoryRow> rows; // in period order
    qint64 balance = 0; // owed today: the balance after the payer's last declaration
};

// The declarations of payer payerId in period order (one per month, the first
// saved where a register made elsewhere holds more), with the running balance
// counted from the payer's first declaration whatever the years asked for.
// Only the rows of years fromYear..toYear (either open) are given; the
// December 2005 row goes with its January 2006 declaration. An amount stored
// as a text that is no whole number raises ConversionError naming the column.
PayerHistory ReadPayerHistory(Connection& connection, qint64 payerId, std::optional<qint64> fromYear = std::nullopt,
    std::optional<qint64> toYear = std::nullopt);

// "initiala", "rectificativa" or "decembrie2005", as the CSV says it.
QString HistoryKindWord(HistoryRow::Kind kind);

} // namespace itm
