#pragma once

#include "store/TypedRecord.h"
#include "store/UpdateSql.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace itm {
class Connection;
}

namespace itm::exchange {

// The rows of one batch written by a RowWriter in a thread of its own, while
// the caller reads and checks the next ones: an import spends about as long
// on either, and the machine has more than one core. Rows are written in the
// order given. The first error of a write (DatabaseError) is raised again in
// the caller's thread, by a later write or by finish(); the rows after it are
// not written. The caller holds the transaction and touches the connection
// only once finish() returned or the object is gone.
class RowWriteThread
{
public:
    // complete: what a row given incomplete still needs before it is
    // written (a clean-up that refuses nothing), done in the thread.
    // layout: a record of the rows' columns, for complete.
    RowWriteThread(Connection& connection, const UpdateSql& update, const TypedRecord& layout,
        std::function<void(TypedRecord&)> complete = {});
    // Stops the thread without writing the rows still waiting.
    ~RowWriteThread();
    RowWriteThread(const RowWriteThread&) = delete;
    RowWriteThread& operator=(const RowWriteThread&) = delete;

    // Takes the row's values and leaves it empty (its memory that of a row
    // written before).
    void write(RowWrite kind, TypedRecord& row, const QVector<QVariant>& oldValues, bool complete = true);
    // Waits until every row is written; raises the first write's error.
    void finish();
    // Whether the thread has rows waiting besides those it writes: a caller
    // that is ahead may complete its rows itself meanwhile.
    bool isBehind() const { return m_waitingCount.load(std::memory_order_relaxed) > 0; }

private:
    // A row's values only: the record's layout, shared by every copy of it,
    // is read in the thread, and counting its copies here for each row would
    // take its memory from under the thread at every row.
    struct Row
    {
        RowWrite kind;
        QVector<QVariant> values;
        QVector<QVariant> oldValues;
        bool complete;
    };
    using Batch = std::vector<Row>;

    void hand(Batch&& batch);
    // Empty values of size columns, in the memory of a row written if one is free.
    QVector<QVariant> spareValues(qsizetype size);
    void run();
    void raiseError();

    RowWriter m_rows;
    std::function<void(TypedRecord&)> m_complete;
    TypedRecord m_completed; // the thread's: a row completed in it
    Batch m_filling; // the caller's, handed over when full
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Batch> m_waiting;
    std::atomic<int> m_waitingCount = 0; // m_waiting's size, read without the lock
    // Batches written, freed by the caller's thread: the values were made
    // there, and freeing them in another thread makes the two wait for each
    // other's memory.
    std::vector<Batch> m_written;
    // The caller's: batches written, whose rows' memory serves the next rows
    // (a new row's memory each time would have the memory given back and
    // taken again from the system).
    std::vector<Batch> m_spare;
    bool m_busy = false; // the thread is writing a batch
    bool m_stopping = false;
    std::exception_ptr m_error;
    std::thread m_thread; // last: started once the rest is ready
};

} // namespace itm::exchange
