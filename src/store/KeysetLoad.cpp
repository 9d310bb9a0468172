#include "store/KeysetLoad.h"

#include "store/Errors.h"

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace itm {

Keyset ReadKeyset(
    Statement& statement, int keptColumns, int orderColumn, qsizetype expectedRows, const std::atomic<bool>* cancel)
{
    Keyset keyset;
    keyset.texts.resize(keptColumns);
    keyset.keys.reserve(expectedRows);
    for (TextColumn& texts : keyset.texts)
        texts.reserve(int(expectedRows), 0);
    // A stop is looked for now and then: one row costs well under a microsecond.
    constexpr int rowsBetweenStopChecks = 4096;
    int untilStopCheck = rowsBetweenStopChecks;
    while (statement.step()) {
        keyset.keys.append(statement.integer(0));
        for (int c = 0; c < keptColumns; ++c)
            keyset.texts[c].append(statement.storedBytes(c + 1));
        if (orderColumn >= 0 && keyset.orderSorted) {
            const TextColumn& order = keyset.texts.at(orderColumn);
            const int last = order.size() - 1;
            if (last > 0 && order.bytesAt(last) < order.bytesAt(last - 1))
                keyset.orderSorted = false;
        }
        if (cancel && --untilStopCheck == 0) {
            untilStopCheck = rowsBetweenStopChecks;
            if (cancel->load(std::memory_order_relaxed))
                break;
        }
    }
    return keyset;
}

KeysetLoad::KeysetLoad(
    const QString& path, const QString& sql, int keptColumns, int orderColumn, qsizetype expectedRows)
    : m_keptColumns(keptColumns)
    , m_orderColumn(orderColumn)
    , m_expectedRows(expectedRows)
{
    m_connection.openForOneThread(path);
    m_statement = std::make_unique<Statement>(m_connection, sql);
}

KeysetLoad::~KeysetLoad()
{
    m_cancel.store(true, std::memory_order_relaxed);
    wait();
    // The connection goes first: a server then stops sending the rows not
    // read, rather than each being read only to be let go.
    m_connection.close();
    m_statement.reset();
}

void KeysetLoad::start(std::function<void()> finished)
{
    m_onFinished = std::move(finished);
    m_thread = std::thread([this] { run(); });
}

void KeysetLoad::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

void KeysetLoad::run()
{
#ifdef Q_OS_LINUX
    // The window being built and the keys typed come first; Linux gives each
    // thread a nice value of its own.
    setpriority(PRIO_PROCESS, gettid(), 5);
#endif
    try {
        m_keyset = ReadKeyset(*m_statement, m_keptColumns, m_orderColumn, m_expectedRows, &m_cancel);
    } catch (const std::exception& error) {
        m_error = QString::fromUtf8(error.what());
    }
    // The file's read lock goes with the statement, at once: a writer need not
    // wait for the owner to take the result. The connection goes first: a
    // server then stops sending the rows a stopped read did not take.
    m_connection.close();
    m_statement.reset();
    m_finished.store(true, std::memory_order_release);
    if (!m_cancel.load(std::memory_order_relaxed) && m_onFinished)
        m_onFinished();
}

} // namespace itm
