#pragma once

#include <QBitArray>
#include <QString>
#include <QVarLengthArray>
#include <QVector>
#include <QtGlobal>
#include <atomic>
#include <functional>
#include <optional>
#include <thread>

namespace itm {

class Connection;

// What a declaration adds to its payer's balance: the commission due less
// what was paid, for the month it names.
struct BalanceEntry
{
    qint64 year = 0;
    qint64 month = 0;
    qint64 due = 0;
    qint64 paid = 0;
    qint64 difference() const { return due - paid; }
};

// The entries of one declaration in period order: a January 2006 declaration
// carries the December 2005 amounts too, as an entry of their own before its
// month's. A payer's balance up to a month is the sum of the entries up to
// it over the first declaration saved of each month (a register made
// elsewhere may hold more).
QVarLengthArray<BalanceEntry, 2> BalanceEntriesOf(
    qint64 year, qint64 month, qint64 due, qint64 paid, qint64 decemberDue, qint64 decemberPaid);

// Every payer's balance up to and including one month, by the payer's id.
class PayerBalances
{
public:
    bool isEmpty() const { return m_ids.isEmpty() && m_balances.isEmpty(); }
    // The balance of a payer; none for a payer with a declaration whose
    // amount is stored as a text that is no whole number. A payer without a
    // declaration up to the month owes nothing.
    std::optional<qint64> balanceOf(qint64 payerId) const;

private:
    friend class PayerBalancesReader;
    qsizetype indexOf(qint64 payerId) const;
    // The balances of the ids from m_firstId on where the ids are dense,
    // else of m_ids (ascending) one by one.
    qint64 m_firstId = 0;
    QVector<qint64> m_ids;
    QVector<qint64> m_balances;
    QBitArray m_unknown;
};

// Reads every payer's balance up to and including month/year in one pass
// over the declarations in the order they were saved; a declaration saved
// out of its payer's period order is checked against the index of periods.
// Stops early (returning nothing) when *cancel becomes true.
PayerBalances ReadPayerBalances(
    Connection& connection, qint64 year, qint64 month, const std::atomic<bool>* cancel = nullptr);

// The same in a thread of its own over a read-only connection to the file,
// while the window is in use. finished runs on that thread once the balances
// are read (not when stopped).
class PayerBalancesLoad
{
public:
    PayerBalancesLoad(const QString& path, qint64 year, qint64 month, std::function<void()> finished);
    // Stops a read that still runs and waits for its thread.
    ~PayerBalancesLoad();
    PayerBalancesLoad(const PayerBalancesLoad&) = delete;
    PayerBalancesLoad& operator=(const PayerBalancesLoad&) = delete;

    bool isFinished() const { return m_finished.load(std::memory_order_acquire); }
    // Waits for the read; then the balances (taken once), or SQLite's message.
    PayerBalances take();
    const std::optional<QString>& error() const { return m_error; }

private:
    QString m_path;
    qint64 m_year;
    qint64 m_month;
    std::function<void()> m_onFinished;
    std::atomic<bool> m_cancel { false };
    std::atomic<bool> m_finished { false };
    PayerBalances m_balances;
    std::optional<QString> m_error;
    std::thread m_thread;
};

} // namespace itm
