#include "exchange/RowWriteThread.h"

#include <utility>

namespace itm::exchange {

namespace {

// Rows handed over at once, and batches that may wait: a hundred rows or so
// make the hand-over rare (each one may wake the other thread, and smaller
// batches leave the two waiting for each other), and the bound keeps the
// memory of a file of any size that of a few batches (each row holds every
// column's value).
constexpr std::size_t kBatchRows = 128;
constexpr std::size_t kWaitingBatches = 2;

} // namespace

RowWriteThread::RowWriteThread(Connection& connection, const UpdateSql& update, const TypedRecord& layout,
    std::function<void(TypedRecord&)> complete)
    : m_rows(connection, update, layout.columnNames())
    , m_complete(std::move(complete))
    , m_completed(layout)
    , m_thread([this] { run(); })
{
    m_filling.reserve(kBatchRows);
}

RowWriteThread::~RowWriteThread()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_waiting.clear();
        m_waitingCount = 0;
    }
    m_changed.notify_all();
    m_thread.join();
}

void RowWriteThread::write(RowWrite kind, TypedRecord& row, const QVector<QVariant>& oldValues, bool complete)
{
    QVector<QVariant> values = row.exchangeValues(spareValues(row.values().size()));
    m_filling.push_back({ kind, std::move(values), oldValues, complete || !m_complete });
    if (m_filling.size() < kBatchRows)
        return;
    Batch full;
    full.reserve(kBatchRows);
    std::swap(full, m_filling);
    hand(std::move(full));
}

QVector<QVariant> RowWriteThread::spareValues(qsizetype size)
{
    while (!m_spare.empty()) {
        Batch& batch = m_spare.back();
        if (batch.empty()) {
            m_spare.pop_back();
            continue;
        }
        QVector<QVariant> values = std::move(batch.back().values);
        batch.pop_back();
        // Values the thread still holds a copy of are left to it.
        if (values.size() == size && values.isDetached()) {
            TypedRecord::EmptyValues(values);
            return values;
        }
    }
    return QVector<QVariant>(size);
}

void RowWriteThread::hand(Batch&& batch)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_error || m_waiting.size() < kWaitingBatches; });
    if (m_error) {
        lock.unlock();
        raiseError();
    }
    m_waiting.push_back(std::move(batch));
    m_waitingCount = int(m_waiting.size());
    std::vector<Batch> written = std::exchange(m_written, {});
    lock.unlock();
    m_changed.notify_all();
    // A few batches are kept for their memory, the rest freed.
    for (Batch& done : written) {
        if (m_spare.size() < kWaitingBatches + 1)
            m_spare.push_back(std::move(done));
    }
}

void RowWriteThread::finish()
{
    if (!m_filling.empty())
        hand(std::exchange(m_filling, Batch()));
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_error || (m_waiting.empty() && !m_busy); });
    std::vector<Batch> written = std::exchange(m_written, {});
    if (m_error) {
        lock.unlock();
        raiseError();
    }
}

void RowWriteThread::raiseError()
{
    // Raised once: the rows after the one that failed are dropped.
    std::exception_ptr error;
    {
        std::lock_guard lock(m_mutex);
        error = m_error;
        m_waiting.clear();
        m_waitingCount = 0;
    }
    m_filling.clear();
    std::rethrow_exception(error);
}

void RowWriteThread::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || (!m_error && !m_waiting.empty()); });
        if (m_stopping)
            return;
        Batch batch = std::move(m_waiting.front());
        m_waiting.pop_front();
        m_waitingCount = int(m_waiting.size());
        m_busy = true;
        lock.unlock();
        m_changed.notify_all();
        std::exception_ptr error;
        try {
            for (Row& row : batch) {
                if (!row.complete) {
                    row.values = m_completed.exchangeValues(std::move(row.values));
                    m_complete(m_completed);
                    row.values = m_completed.exchangeValues(std::move(row.values));
                }
                m_rows.write(row.kind, row.values, row.oldValues);
            }
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        m_written.push_back(std::move(batch));
        m_busy = false;
        if (error)
            m_error = error;
        m_changed.notify_all();
    }
}

} // namespace itm::exchange
