#pragma once

#include "exchange/CsvReader.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace itm::exchange {

// The records of a CsvReader read in a thread of their own, a few hundred
// ahead of the caller, who checks and writes them meanwhile: reading and
// splitting a large file costs about a fifth of an import. The records come
// in the file's order; their memory goes back to the reading thread, so a
// file of any size costs that of a few batches. The reader is used by the
// thread alone until this object is gone.
class CsvReadAhead
{
public:
    explicit CsvReadAhead(CsvReader& reader);
    ~CsvReadAhead();
    CsvReadAhead(const CsvReadAhead&) = delete;
    CsvReadAhead& operator=(const CsvReadAhead&) = delete;

    // As CsvReader::next; the reader's error() tells why it stopped once this
    // returned false.
    bool next(CsvRecord& record);
    // Bytes of the file read so far by the thread.
    qint64 bytesRead() const { return m_bytesRead.load(std::memory_order_relaxed); }

private:
    using Batch = std::vector<CsvRecord>;
    void run();

    CsvReader& m_reader;
    Batch m_current; // the caller's, taken from the front
    std::size_t m_next = 0;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Batch> m_ready; // read, in order
    std::vector<Batch> m_free; // taken, back for reuse
    bool m_atEnd = false; // the thread read the last record
    bool m_stopping = false;
    std::exception_ptr m_error;
    std::atomic<qint64> m_bytesRead { 0 };
    std::thread m_thread; // last: started once the rest is ready
};

} // namespace itm::exchange
