#include "exchange/CsvReadAhead.h"

#include <utility>

namespace itm::exchange {

namespace {

constexpr std::size_t kBatchRecords = 128;
constexpr std::size_t kReadyBatches = 2;

} // namespace

CsvReadAhead::CsvReadAhead(CsvReader& reader)
    : m_reader(reader)
    , m_bytesRead(reader.bytesRead())
    , m_thread([this] { run(); })
{
}

CsvReadAhead::~CsvReadAhead()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

bool CsvReadAhead::next(CsvRecord& record)
{
    if (m_next == m_current.size()) {
        std::unique_lock lock(m_mutex);
        if (!m_current.empty())
            m_free.push_back(std::exchange(m_current, Batch()));
        m_next = 0;
        m_changed.wait(lock, [this] { return !m_ready.empty() || m_atEnd || m_error; });
        if (m_error)
            std::rethrow_exception(m_error);
        if (m_ready.empty())
            return false;
        m_current = std::move(m_ready.front());
        m_ready.pop_front();
        lock.unlock();
        m_changed.notify_all();
    }
    // The caller's record takes this one's place, its memory kept for a later record.
    std::swap(record, m_current[m_next++]);
    return true;
}

void CsvReadAhead::run()
{
    try {
        for (;;) {
            Batch batch;
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [this] { return m_stopping || m_ready.size() < kReadyBatches; });
                if (m_stopping)
                    return;
                if (!m_free.empty()) {
                    batch = std::move(m_free.back());
                    m_free.pop_back();
                }
            }
            batch.resize(kBatchRecords);
            std::size_t count = 0;
            while (count < kBatchRecords && m_reader.next(batch[count]))
                ++count;
            m_bytesRead.store(m_reader.bytesRead(), std::memory_order_relaxed);
            const bool atEnd = count < kBatchRecords;
            batch.resize(count);
            {
                std::lock_guard lock(m_mutex);
                if (count > 0)
                    m_ready.push_back(std::move(batch));
                m_atEnd = atEnd;
            }
            m_changed.notify_all();
            if (atEnd)
                return;
        }
    } catch (...) {
        std::lock_guard lock(m_mutex);
        m_error = std::current_exception();
        m_changed.notify_all();
    }
}

} // namespace itm::exchange
