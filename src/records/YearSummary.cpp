#include "records/YearSummary.h"

#include "payers/LegalForms.h"
#include "platform/Job.h"
#include "store/Connection.h"
#include "store/RecordReader.h"

#include <QHash>
#include <memory>
#include <unordered_set>
#include <vector>

namespace itm {

namespace {

// The months of one payer already counted, one bit a month from January of
// the year first met, for 21 years, the rare others apart: a month held twice
// counts its first declaration only. No allocation for a payer whose
// declarations fit the window.
struct CountedMonths
{
    bool started = false;
    qint64 firstYear = 0;
    std::array<quint64, 4> bits {};
    std::unique_ptr<std::unordered_set<qint64>> beyond;

    // False when the month was counted already.
    bool countOnce(qint64 year, qint64 month)
    {
        if (month < 1 || month > 12)
            return true;
        if (!started) {
            started = true;
            firstYear = year;
        }
        const qint64 bit = (year - firstYear) * 12 + month - 1;
        if (bit >= 0 && bit < qint64(bits.size() * 64)) {
            quint64& word = bits[std::size_t(bit / 64)];
            const quint64 mask = quint64(1) << (bit % 64);
            if (word & mask)
                return false;
            word |= mask;
            return true;
        }
        if (!beyond)
            beyond = std::make_unique<std::unordered_set<qint64>>();
        return beyond->insert(year * 12 + month).second;
    }
};

// The row of each payer by its key: a plain array when the keys are dense
// (as the program gives them), a hash otherwise.
class RowOfPayer
{
public:
    explicit RowOfPayer(Connection& connection)
    {
        Statement keys(connection, QStringLiteral("SELECT min(id), max(id), count(*) FROM firme"));
        if (keys.step() && !keys.value(0).isNull()) {
            m_first = keys.integer(0);
            const qint64 span = keys.integer(1) - m_first + 1;
            m_count = keys.integer(2);
            if (span <= 2 * m_count + 1024)
                m_rows.assign(std::size_t(span), -1);
        }
    }

    qint64 payerCount() const { return m_count; }

    void add(qint64 payer, qint64 row)
    {
        if (!m_rows.empty() && payer >= m_first && payer - m_first < qint64(m_rows.size()))
            m_rows[std::size_t(payer - m_first)] = row;
        else
            m_others.insert(payer, row);
    }

    // -1 for a key that no payer has (a declaration left by a deleted payer).
    qint64 of(qint64 payer) const
    {
        if (!m_rows.empty() && payer >= m_first && payer - m_first < qint64(m_rows.size())) {
            const qint64 row = m_rows[std::size_t(payer - m_first)];
            if (row >= 0 || m_others.isEmpty())
                return row;
        }
        return m_others.value(payer, -1);
    }

private:
    qint64 m_first = 0;
    qint64 m_count = 0;
    std::vector<qint64> m_rows;
    QHash<qint64, qint64> m_others; // keys outside the dense range, or a key held twice
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

void add(YearRow& row, qint64 month, bool inYear, qint64 due, qint64 paid)
{
    row.balance += due - paid;
    if (inYear && month >= 1 && month <= 12) {
        row.due[std::size_t(month - 1)] = due;
        row.paid[std::size_t(month - 1)] = paid;
    }
}

} // namespace

QList<YearRow> ReadYearSummary(Connection& connection, qint64 year, JobProgress* progress)
{
    // The payers first, in payer-code order: each gets its row, which takes
    // the amounts as the declarations are read.
    RowOfPayer rowOf(connection);
    if (progress) {
        progress->setStep(QStringLiteral("Se citesc firmele"));
        progress->setTotal(rowOf.payerCount());
    }
    QList<YearRow> rows;
    rows.reserve(rowOf.payerCount());
    {
        Statement payers(connection,
            QStringLiteral("SELECT id, cui, prefix, denumire, sufix FROM firme ORDER BY cui COLLATE BINARY, id"));
        while (payers.step()) {
            if (progress && rows.size() % 1024 == 0) {
                progress->setDone(rows.size());
                progress->checkCancelled();
            }
            YearRow& row = rows.emplace_back();
            row.code = payers.text(1);
            const QString bareName = payers.text(3);
            row.name = ComposedLegalName(formIndex(payers.value(2)), bareName, formIndex(payers.value(4)))
                           .value_or(bareName);
            rowOf.add(payers.integer(0), rows.size() - 1);
        }
    }

    if (progress)
        progress->setStep(QStringLiteral("Se citesc declaratiile pana in %1").arg(year));
    // Every declaration up to the year in key order, so that the first of a
    // month held twice is met first; the December 2005 amounts are read with
    // January 2006. One pass over the table, without sorting.
    Statement declarations(connection,
        QStringLiteral("SELECT idfirma, an, ln, comdat, comac, comdec, comdecac FROM declaratii "
                       "WHERE an <= :year ORDER BY id"));
    declarations.bind(QStringLiteral("year"), year);
    std::vector<CountedMonths> counted(std::size_t(rows.size()));
    YearRow* const data = rows.data();
    qint64 read = 0;
    qint64 currentPayer = 0;
    qint64 current = -1;
    while (declarations.step()) {
        if (progress && ++read % 4096 == 0)
            progress->checkCancelled();
        // A payer's declarations mostly follow one another: its row is looked
        // up again only when the payer changes.
        const qint64 payer = declarations.integer(0);
        if (read == 1 || payer != currentPayer) {
            current = rowOf.of(payer);
            currentPayer = payer;
        }
        if (current < 0)
            continue;
        const qint64 declaredYear = amountOf(declarations, 1, "an");
        const qint64 month = amountOf(declarations, 2, "ln");
        if (!counted[std::size_t(current)].countOnce(declaredYear, month))
            continue;
        YearRow& row = data[current];
        if (declaredYear == 2006 && month == 1)
            add(row, 12, year == 2005, amountOf(declarations, 5, "comdec"), amountOf(declarations, 6, "comdecac"));
        add(row, month, declaredYear == year, amountOf(declarations, 3, "comdat"), amountOf(declarations, 4, "comac"));
    }
    // December 2005 is read with January 2006, which the query leaves out for 2005.
    if (year == 2005) {
        Statement january(connection,
            QStringLiteral(
                "SELECT idfirma, comdec, comdecac FROM declaratii d WHERE an = 2006 AND ln = 1 AND id = "
                "(SELECT min(x.id) FROM declaratii x WHERE x.idfirma = d.idfirma AND x.ln = 1 AND x.an = 2006)"));
        while (january.step()) {
            const qint64 row = rowOf.of(january.integer(0));
            if (row >= 0)
                add(data[row], 12, true, amountOf(january, 1, "comdec"), amountOf(january, 2, "comdecac"));
        }
    }
    for (YearRow& row : rows) {
        for (std::size_t month = 0; month < 12; ++month) {
            row.yearDue += row.due[month].value_or(0);
            row.yearPaid += row.paid[month].value_or(0);
        }
    }
    return rows;
}

} // namespace itm
