#include "records/YearSummary.h"

#include "payers/LegalForms.h"
#include "platform/Job.h"
#include "store/Connection.h"
#include "store/RecordReader.h"

#include <QHash>
#include <vector>

namespace itm {

namespace {

struct Totals
{
    std::array<std::optional<qint64>, 12> due;
    std::array<std::optional<qint64>, 12> paid;
    qint64 balance = 0;
    // The months already counted, one bit a month from January of firstYear:
    // a month held twice counts its first declaration only.
    qint64 firstYear = 0;
    std::vector<bool> counted;

    // False when the month was counted already.
    bool countOnce(qint64 year, qint64 month)
    {
        if (month < 1 || month > 12)
            return true;
        if (counted.empty())
            firstYear = year;
        if (year < firstYear) {
            counted.insert(counted.begin(), std::size_t((firstYear - year) * 12), false);
            firstYear = year;
        }
        const std::size_t bit = std::size_t((year - firstYear) * 12 + month - 1);
        if (bit >= counted.size())
            counted.resize(bit + 1, false);
        if (counted[bit])
            return false;
        counted[bit] = true;
        return true;
    }
};

qint64 amountOf(const Statement& row, int column, const char* name)
{
    if (row.holdsInteger(column))
        return row.integer(column);
    try {
        return valueInteger(row.value(column));
    } catch (const ConversionError& error) {
        throw NumberColumnError(QString::fromLatin1(name), error);
    }
}

qint64 formIndex(const QVariant& value)
{
    bool ok = false;
    const qint64 index = value.toLongLong(&ok);
    return ok ? index : -1;
}

void add(Totals& totals, qint64 month, bool inYear, qint64 due, qint64 paid)
{
    totals.balance += due - paid;
    if (inYear && month >= 1 && month <= 12) {
        totals.due[month - 1] = due;
        totals.paid[month - 1] = paid;
    }
}

} // namespace

QList<YearRow> ReadYearSummary(Connection& connection, qint64 year, JobProgress* progress)
{
    if (progress)
        progress->setStep(QStringLiteral("Se citesc declaratiile pana in %1").arg(year));
    // Every declaration up to the year in key order, so that the first of a
    // month held twice is met first; the December 2005 amounts are read with
    // January 2006. One pass over the table, without sorting.
    Statement declarations(connection,
        QStringLiteral("SELECT idfirma, an, ln, comdat, comac, comdec, comdecac FROM declaratii "
                       "WHERE an <= :year ORDER BY id"));
    declarations.bind(QStringLiteral("year"), year);
    qint64 payerCount = 0;
    {
        Statement count(connection, QStringLiteral("SELECT count(*) FROM firme"));
        payerCount = count.step() ? count.integer(0) : 0;
    }
    QHash<qint64, Totals> byPayer;
    byPayer.reserve(payerCount);
    qint64 read = 0;
    Totals* current = nullptr;
    qint64 currentPayer = 0;
    while (declarations.step()) {
        if (progress && ++read % 4096 == 0)
            progress->checkCancelled();
        const qint64 declaredYear = amountOf(declarations, 1, "an");
        const qint64 month = amountOf(declarations, 2, "ln");
        // A payer's declarations mostly follow one another: its totals are
        // looked up again only when the payer changes (nothing is inserted
        // in between, so the reference stays valid).
        const qint64 payer = declarations.integer(0);
        if (!current || payer != currentPayer) {
            current = &byPayer[payer];
            currentPayer = payer;
        }
        Totals& totals = *current;
        if (!totals.countOnce(declaredYear, month))
            continue;
        if (declaredYear == 2006 && month == 1)
            add(totals, 12, year == 2005, amountOf(declarations, 5, "comdec"), amountOf(declarations, 6, "comdecac"));
        add(totals, month, declaredYear == year, amountOf(declarations, 3, "comdat"),
            amountOf(declarations, 4, "comac"));
    }
    // December 2005 is read with January 2006, which the query leaves out for 2005.
    if (year == 2005) {
        Statement january(connection,
            QStringLiteral(
                "SELECT idfirma, comdec, comdecac FROM declaratii d WHERE an = 2006 AND ln = 1 AND id = "
                "(SELECT min(x.id) FROM declaratii x WHERE x.idfirma = d.idfirma AND x.ln = 1 AND x.an = 2006)"));
        while (january.step())
            add(byPayer[january.integer(0)], 12, true, amountOf(january, 1, "comdec"),
                amountOf(january, 2, "comdecac"));
    }

    Statement payers(connection,
        QStringLiteral("SELECT id, cui, prefix, denumire, sufix FROM firme ORDER BY cui COLLATE BINARY, id"));
    if (progress) {
        progress->setStep(QStringLiteral("Se pregatesc randurile firmelor"));
        progress->setTotal(payerCount);
    }
    QList<YearRow> rows;
    rows.reserve(payerCount);
    while (payers.step()) {
        if (progress) {
            progress->advance();
            if (rows.size() % 1024 == 0)
                progress->checkCancelled();
        }
        YearRow row;
        row.code = payers.text(1);
        const QString bareName = payers.text(3);
        row.name
            = ComposedLegalName(formIndex(payers.value(2)), bareName, formIndex(payers.value(4))).value_or(bareName);
        const auto found = byPayer.constFind(payers.integer(0));
        if (found != byPayer.constEnd()) {
            row.due = found->due;
            row.paid = found->paid;
            row.balance = found->balance;
            for (int month = 0; month < 12; ++month) {
                row.yearDue += row.due[month].value_or(0);
                row.yearPaid += row.paid[month].value_or(0);
            }
        }
        rows.append(std::move(row));
    }
    return rows;
}

} // namespace itm
