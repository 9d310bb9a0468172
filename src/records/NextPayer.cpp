#include "records/NextPayer.h"

#include "store/Connection.h"

namespace itm {

namespace {

bool declared(Connection& connection, const MonthPeriod& period, const QString& code)
{
    // A code held by two payers counts as declared when either is.
    Statement query(connection,
        QStringLiteral("SELECT 1 FROM firme f JOIN declaratii d ON d.idfirma = f.id WHERE f.cui = :cui AND d.ln = "
                       ":month AND d.an = :year LIMIT 1"));
    query.bind(QStringLiteral("cui"), code);
    query.bind(QStringLiteral("month"), period.month);
    query.bind(QStringLiteral("year"), period.year);
    return query.step();
}

} // namespace

std::optional<QString> NextPayerWithoutDeclaration(Connection& connection, const MonthPeriod& period,
    const QString& currentCode, const std::optional<QStringList>& order)
{
    if (order) {
        const qsizetype current = order->indexOf(currentCode);
        for (qsizetype i = current + 1; i < order->size(); ++i) {
            if (order->at(i) != currentCode && !declared(connection, period, order->at(i)))
                return order->at(i);
        }
        return std::nullopt;
    }
    Statement query(connection,
        QStringLiteral("SELECT f.cui FROM firme f WHERE f.cui > :cui COLLATE BINARY AND NOT EXISTS (SELECT 1 FROM "
                       "declaratii d WHERE "
                       "d.idfirma = f.id AND d.ln = :month AND d.an = :year) ORDER BY f.cui COLLATE BINARY LIMIT 1"));
    query.bind(QStringLiteral("cui"), currentCode);
    query.bind(QStringLiteral("month"), period.month);
    query.bind(QStringLiteral("year"), period.year);
    if (!query.step())
        return std::nullopt;
    return query.text(0);
}

} // namespace itm
