#include "month/CarryOver.h"

#include "declaration/Commission.h"
#include "declaration/Period.h"
#include "platform/Job.h"
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

// The salary fund as the commission rule takes it; a text is read with the
// strict conversion.
double fundOf(const RecordReader& source)
{
    const QString column = QStringLiteral("fondlunsal");
    const QVariant fund = source.fieldValue(column);
    switch (fund.typeId()) {
    case QMetaType::LongLong:
        return double(fund.toLongLong());
    case QMetaType::Double:
        return fund.toDouble();
    case QMetaType::UnknownType:
        return 0.0;
    default:
        try {
            return double(StrToInt(fund.toString()));
        } catch (const ConversionError& error) {
            throw NumberColumnError(column, error);
        }
    }
}

qint64 integerOf(const RecordReader& source, const QString& column)
{
    try {
        return source.fieldInteger(column);
    } catch (const ConversionError& error) {
        throw NumberColumnError(column, error);
    }
}

QString payerCodeOf(Connection& connection, qint64 payerId)
{
    Statement query(connection, QStringLiteral("SELECT cui FROM firme WHERE id = :id"));
    query.bind(QStringLiteral("id"), payerId);
    return query.step() ? query.text(0) : QString::number(payerId);
}

} // namespace

std::optional<QList<ColumnWrite>> CarriedOverValues(
    qint64 payerId, const MonthPeriod& target, const RecordReader& source)
{
    const double fund = fundOf(source);
    const bool reducedRate = integerOf(source, QStringLiteral("com25")) != 0;
    const qint64 employees = integerOf(source, QStringLiteral("nrsal"));
    const qint64 paid = integerOf(source, QStringLiteral("comac"));
    const auto commission = CommissionDue(fund, reducedRate);
    if (!commission)
        return std::nullopt;
    QList<ColumnWrite> values = NewDeclarationValues(payerId, target.month, QString::number(target.year));
    values.append({ QStringLiteral("com25"), qint64(reducedRate ? 1 : 0) });
    values.append({ QStringLiteral("nrsal"), employees });
    values.append({ QStringLiteral("fondlunsal"), qint64(fund) });
    values.append({ QStringLiteral("comdat"), *commission });
    values.append({ QStringLiteral("comac"), paid });
    values.append({ QStringLiteral("comdec"), qint64(0) });
    values.append({ QStringLiteral("comdecac"), qint64(0) });
    return values;
}

CarryOverCounts CarryOverDeclarations(
    Tdm& dm, const MonthPeriod& source, const MonthPeriod& target, const QList<qint64>& payerIds, JobProgress* progress)
{
    if (progress) {
        progress->setStep(QStringLiteral("Se preiau declaratiile din %1").arg(MonthTitle(source)));
        progress->setTotal(payerIds.size());
    }
    CarryOverCounts counts;
    Transaction transaction(dm.con);
    Dataset inserted(dm.con, QStringLiteral("carriedOver"));
    inserted.setSql(QStringLiteral("select * from declaratii where 1 = 0"));
    inserted.setUpdateSql(&dm.uDeclaratii);
    inserted.setBeforePost([&dm](Dataset& record) { dm.qryDeclaratiiBeforePost(record); });
    inserted.Open();

    Statement lookup(dm.con, declarationOfMonthSql);
    QSet<qint64> seen;
    for (const qint64 payerId : payerIds) {
        if (progress) {
            // Leaving here unwinds the transaction: nothing is stored.
            progress->checkCancelled();
            progress->advance();
        }
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
        std::optional<QList<ColumnWrite>> values;
        try {
            values = CarriedOverValues(payerId, target, *previous);
        } catch (const ConversionError& error) {
            throw CarryOverAmountError(payerCodeOf(dm.con, payerId), error);
        }
        if (!values) {
            ++counts.withoutCommission;
            continue;
        }
        inserted.Append();
        ApplyWrites(inserted, *values);
        inserted.Post();
        ++counts.copied;
    }
    if (progress) {
        progress->checkCancelled();
        progress->setCancellable(false);
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
