#include "month/CarryOver.h"

#include "declaration/Commission.h"
#include "declaration/Period.h"
#include "store/Connection.h"
#include "store/Dataset.h"
#include "store/Errors.h"
#include "store/RecordReader.h"
#include "store/StrictNumber.h"
#include "store/Tdm.h"

#include <QSet>

namespace itm {

namespace {

const QString declarationOfMonthSql
    = QStringLiteral("SELECT * FROM declaratii WHERE idfirma = :idfirma AND ln = :ln AND an = :an ORDER BY id LIMIT 1");

// query is declarationOfMonthSql, prepared once for the whole carry-over.
std::optional<RowRecord> declarationOf(Statement& query, qint64 payerId, const MonthPeriod& period)
{
    query.reset();
    query.bind(QStringLiteral("idfirma"), payerId);
    query.bind(QStringLiteral("ln"), period.month);
    query.bind(QStringLiteral("an"), period.year);
    if (!query.step())
        return std::nullopt;
    QStringList columns;
    QVector<QVariant> values;
    for (int i = 0; i < query.columnCount(); ++i) {
        columns.append(query.columnName(i));
        values.append(query.value(i));
    }
    return RowRecord(columns, values);
}

// The salary fund as the commission rule takes it.
std::optional<double> fundOf(const RecordReader& source)
{
    const QVariant fund = source.fieldValue(QStringLiteral("fondlunsal"));
    switch (fund.typeId()) {
    case QMetaType::LongLong:
        return double(fund.toLongLong());
    case QMetaType::Double:
        return fund.toDouble();
    case QMetaType::UnknownType:
        return 0.0;
    default:
        if (const auto whole = TryStrToInt(fund.toString()))
            return double(*whole);
        return std::nullopt;
    }
}

} // namespace

std::optional<QList<ColumnWrite>> CarriedOverValues(
    qint64 payerId, const MonthPeriod& target, const RecordReader& source)
{
    const auto fund = fundOf(source);
    if (!fund)
        return std::nullopt;
    const bool reducedRate = source.fieldInteger(QStringLiteral("com25")) != 0;
    const auto commission = CommissionDue(*fund, reducedRate);
    if (!commission)
        return std::nullopt;
    QList<ColumnWrite> values = NewDeclarationValues(payerId, target.month, QString::number(target.year));
    values.append({ QStringLiteral("com25"), qint64(reducedRate ? 1 : 0) });
    values.append({ QStringLiteral("nrsal"), source.fieldInteger(QStringLiteral("nrsal")) });
    values.append({ QStringLiteral("fondlunsal"), qint64(*fund) });
    values.append({ QStringLiteral("comdat"), *commission });
    values.append({ QStringLiteral("comac"), source.fieldInteger(QStringLiteral("comac")) });
    values.append({ QStringLiteral("comdec"), qint64(0) });
    values.append({ QStringLiteral("comdecac"), qint64(0) });
    return values;
}

CarryOverCounts CarryOverDeclarations(
    Tdm& dm, const MonthPeriod& source, const MonthPeriod& target, const QList<qint64>& payerIds)
{
    CarryOverCounts counts;
    Transaction transaction(dm.con);
    Dataset inserted(dm.con, QStringLiteral("carriedOver"));
    inserted.setSql(QStringLiteral("select * from declaratii where 0"));
    inserted.setUpdateSql(&dm.uDeclaratii);
    inserted.setBeforePost([&dm](Dataset& record) { dm.qryDeclaratiiBeforePost(record); });
    inserted.Open();

    Statement lookup(dm.con, declarationOfMonthSql);
    QSet<qint64> seen;
    for (const qint64 payerId : payerIds) {
        if (seen.contains(payerId))
            continue;
        seen.insert(payerId);
        if (declarationOf(lookup, payerId, target)) {
            ++counts.alreadyDeclared;
            continue;
        }
        const auto previous = declarationOf(lookup, payerId, source);
        if (!previous) {
            ++counts.withoutSource;
            continue;
        }
        const auto values = CarriedOverValues(payerId, target, *previous);
        if (!values) {
            ++counts.withoutCommission;
            continue;
        }
        inserted.Append();
        ApplyWrites(inserted, *values);
        inserted.Post();
        ++counts.copied;
    }
    transaction.commit();
    return counts;
}

QList<qint64> AllPayerIds(Tdm& dm)
{
    Statement query(dm.con, QStringLiteral("SELECT id FROM firme ORDER BY cui COLLATE BINARY, id"));
    QList<qint64> ids;
    while (query.step())
        ids.append(query.integer(0));
    return ids;
}

} // namespace itm
