#include "records/PayerHistory.h"

#include "records/DeclarationAmounts.h"
#include "records/PayerBalance.h"
#include "store/Connection.h"
#include "store/RecordReader.h"

namespace itm {

PayerHistory ReadPayerHistory(
    Connection& connection, qint64 payerId, std::optional<qint64> fromYear, std::optional<qint64> toYear)
{
    Statement query(connection,
        QStringLiteral("SELECT an, ln, rectificativ, com25, nrsal, fondlunsal, comdat, comac, comdec, comdecac, d.id "
                       "FROM declaratii d WHERE d.idfirma = :payer AND d.id = (SELECT min(x.id) FROM declaratii x "
                       "WHERE x.idfirma = d.idfirma AND x.ln = d.ln AND x.an = d.an) ORDER BY d.an, d.ln"));
    query.bind(QStringLiteral("payer"), payerId);
    PayerHistory history;
    while (query.step()) {
        HistoryRow row;
        row.year = DeclarationAmount(query, 0, QStringLiteral("an"));
        row.month = DeclarationAmount(query, 1, QStringLiteral("ln"));
        const bool shown = (!fromYear || row.year >= *fromYear) && (!toYear || row.year <= *toYear);
        const bool january2006 = row.year == 2006 && row.month == 1;
        const qint64 decemberDue = january2006 ? DeclarationAmount(query, 8, QStringLiteral("comdec")) : 0;
        const qint64 decemberPaid = january2006 ? DeclarationAmount(query, 9, QStringLiteral("comdecac")) : 0;
        row.declarationId = query.integer(10);
        row.kind = DeclarationAmount(query, 2, QStringLiteral("rectificativ")) != 0 ? HistoryRow::Corrective
                                                                                    : HistoryRow::Initial;
        row.reducedRate = DeclarationAmount(query, 3, QStringLiteral("com25")) != 0;
        row.employees = DeclarationAmount(query, 4, QStringLiteral("nrsal"));
        row.fund = SalaryFundText(query.value(5));
        row.due = DeclarationAmount(query, 6, QStringLiteral("comdat"));
        row.paid = DeclarationAmount(query, 7, QStringLiteral("comac"));
        for (const BalanceEntry& entry :
            BalanceEntriesOf(row.year, row.month, row.due, row.paid, decemberDue, decemberPaid)) {
            history.balance += entry.difference();
            if (entry.year == row.year && entry.month == row.month) {
                row.balance = history.balance;
                if (shown)
                    history.rows.append(row);
                continue;
            }
            // The amounts of an earlier month that the declaration carries.
            HistoryRow carried;
            carried.year = entry.year;
            carried.month = entry.month;
            carried.kind = HistoryRow::December2005;
            carried.declarationId = row.declarationId;
            carried.due = entry.due;
            carried.paid = entry.paid;
            carried.balance = history.balance;
            if (shown)
                history.rows.append(carried);
        }
    }
    return history;
}

QString HistoryKindWord(HistoryRow::Kind kind)
{
    switch (kind) {
    case HistoryRow::Initial:
        return QStringLiteral("initiala");
    case HistoryRow::Corrective:
        return QStringLiteral("rectificativa");
    case HistoryRow::December2005:
        return QStringLiteral("decembrie2005");
    }
    return QString();
}

} // namespace itm
