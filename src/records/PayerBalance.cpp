#include "records/PayerBalance.h"

#include "store/Connection.h"
#include "store/Errors.h"
#include "store/RecordReader.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace itm {

QVarLengthArray<BalanceEntry, 2> BalanceEntriesOf(
    qint64 year, qint64 month, qint64 due, qint64 paid, qint64 decemberDue, qint64 decemberPaid)
{
    QVarLengthArray<BalanceEntry, 2> entries;
    if (year == 2006 && month == 1)
        entries.append({ 2005, 12, decemberDue, decemberPaid });
    entries.append({ year, month, due, paid });
    return entries;
}

qsizetype PayerBalances::indexOf(qint64 payerId) const
{
    if (m_ids.isEmpty()) {
        const qint64 index = payerId - m_firstId;
        return index < 0 || index >= m_balances.size() ? -1 : qsizetype(index);
    }
    const auto found = std::lower_bound(m_ids.cbegin(), m_ids.cend(), payerId);
    return found == m_ids.cend() || *found != payerId ? -1 : found - m_ids.cbegin();
}

std::optional<qint64> PayerBalances::balanceOf(qint64 payerId) const
{
    const qsizetype index = indexOf(payerId);
    if (index < 0)
        return qint64(0);
    if (m_unknown.testBit(index))
        return std::nullopt;
    return m_balances.at(index);
}

class PayerBalancesReader
{
public:
    PayerBalancesReader(Connection& connection, qint64 year, qint64 month, const std::atomic<bool>* cancel)
        : m_connection(connection)
        , m_limit(year * 12 + month)
        , m_cancel(cancel)
    {
    }

    PayerBalances read()
    {
        readIds();
        m_last.assign(std::size_t(m_result.m_balances.size()), std::numeric_limits<qint32>::min());
        Statement declarations(m_connection,
            QStringLiteral("SELECT idfirma, an, ln, id, comdat, comac, comdec, comdecac FROM declaratii ORDER BY id"));
        int untilStopCheck = kRowsBetweenStopChecks;
        while (declarations.step()) {
            if (m_cancel && --untilStopCheck == 0) {
                untilStopCheck = kRowsBetweenStopChecks;
                if (m_cancel->load(std::memory_order_relaxed))
                    return {};
            }
            take(declarations);
        }
        settleDeferred();
        return std::move(m_result);
    }

private:
    static constexpr int kRowsBetweenStopChecks = 4096;

    // A declaration saved after a later month of its payer: it counts only
    // if it is the first saved of its month, which the index tells.
    struct Deferred
    {
        qsizetype index;
        qint64 id;
        qint64 year;
        qint64 month;
        bool unknown;
        qint64 due;
        qint64 paid;
        qint64 decemberDue;
        qint64 decemberPaid;
    };

    void readIds()
    {
        // Ids mostly follow one another: a payer's balance is then found from
        // its id alone, without the ids held.
        Statement range(m_connection, QStringLiteral("SELECT min(id), max(id), count(*) FROM firme"));
        if (range.step() && range.integer(2) > 0
            && quint64(range.integer(1) - range.integer(0)) < quint64(range.integer(2)) * 4) {
            m_result.m_firstId = range.integer(0);
            m_result.m_balances.fill(0, range.integer(1) - range.integer(0) + 1);
        } else {
            Statement ids(m_connection, QStringLiteral("SELECT id FROM firme ORDER BY id"));
            while (ids.step())
                m_result.m_ids.append(ids.integer(0));
            m_result.m_balances.fill(0, m_result.m_ids.size());
        }
        m_result.m_unknown.resize(m_result.m_balances.size());
    }

    static bool integerOf(const Statement& row, int column, qint64& value)
    {
        if (row.holdsInteger(column)) {
            value = row.integer(column);
            return true;
        }
        try {
            value = valueInteger(row.value(column));
            return true;
        } catch (const ConversionError&) {
            return false;
        }
    }

    void take(const Statement& row)
    {
        if (!row.holdsInteger(0))
            return;
        const qsizetype index = m_result.indexOf(row.integer(0));
        if (index < 0)
            return;
        qint64 year = 0;
        qint64 month = 0;
        if (!integerOf(row, 1, year) || !integerOf(row, 2, month)) {
            m_result.m_unknown.setBit(index);
            return;
        }
        Deferred read { index, row.integer(3), year, month, false, 0, 0, 0, 0 };
        read.unknown = !integerOf(row, 4, read.due) || !integerOf(row, 5, read.paid);
        if (year == 2006 && month == 1)
            read.unknown
                = read.unknown || !integerOf(row, 6, read.decemberDue) || !integerOf(row, 7, read.decemberPaid);
        // A year beyond any calendar is checked against the index.
        const qint64 wholePeriod = year * 12 + month;
        if (wholePeriod <= std::numeric_limits<qint32>::min() || wholePeriod > std::numeric_limits<qint32>::max()) {
            m_deferred.push_back(read);
            return;
        }
        const auto period = qint32(wholePeriod);
        qint32& last = m_last[std::size_t(index)];
        if (period == last)
            return; // the month's first declaration counted already
        if (period < last) {
            m_deferred.push_back(read);
            return;
        }
        last = period;
        add(read);
    }

    void add(const Deferred& read)
    {
        if (read.unknown) {
            m_result.m_unknown.setBit(read.index);
            return;
        }
        for (const BalanceEntry& entry :
            BalanceEntriesOf(read.year, read.month, read.due, read.paid, read.decemberDue, read.decemberPaid)) {
            if (entry.year * 12 + entry.month <= m_limit)
                m_result.m_balances[read.index] += entry.difference();
        }
    }

    void settleDeferred()
    {
        if (m_deferred.empty())
            return;
        Statement first(m_connection,
            QStringLiteral("SELECT min(id) FROM declaratii WHERE idfirma = :payer AND ln = :ln AND an = :an"));
        for (const Deferred& read : m_deferred) {
            first.reset();
            first.bind(QStringLiteral("payer"), payerIdAt(read.index));
            first.bind(QStringLiteral("ln"), read.month);
            first.bind(QStringLiteral("an"), read.year);
            if (first.step() && first.holdsInteger(0) && first.integer(0) == read.id)
                add(read);
        }
        first.reset();
    }

    qint64 payerIdAt(qsizetype index) const
    {
        return m_result.m_ids.isEmpty() ? m_result.m_firstId + index : m_result.m_ids.at(index);
    }

    Connection& m_connection;
    qint64 m_limit;
    const std::atomic<bool>* m_cancel;
    PayerBalances m_result;
    std::vector<qint32> m_last; // the latest period counted of each payer
    std::vector<Deferred> m_deferred;
};

PayerBalances ReadPayerBalances(Connection& connection, qint64 year, qint64 month, const std::atomic<bool>* cancel)
{
    return PayerBalancesReader(connection, year, month, cancel).read();
}

PayerBalancesLoad::PayerBalancesLoad(const QString& path, qint64 year, qint64 month, std::function<void()> finished)
    : m_path(path)
    , m_year(year)
    , m_month(month)
    , m_onFinished(std::move(finished))
{
    // At the priority of the window: the user may be waiting for it (the
    // payers with arrears), and the window's own thread has a core of its own.
    m_thread = std::thread([this] {
        try {
            Connection connection;
            connection.openForOneThread(m_path);
            m_balances = ReadPayerBalances(connection, m_year, m_month, &m_cancel);
        } catch (const std::exception& error) {
            m_error = QString::fromUtf8(error.what());
        }
        if (m_cancel.load(std::memory_order_relaxed))
            return;
        m_finished.store(true, std::memory_order_release);
        if (m_onFinished)
            m_onFinished();
    });
}

PayerBalancesLoad::~PayerBalancesLoad()
{
    m_cancel.store(true, std::memory_order_relaxed);
    if (m_thread.joinable())
        m_thread.join();
}

PayerBalances PayerBalancesLoad::take()
{
    if (m_thread.joinable())
        m_thread.join();
    return std::move(m_balances);
}

} // namespace itm
