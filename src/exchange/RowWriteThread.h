#pragma once

#include "store/TypedRecord.h"
#include "store/UpdateSql.h"

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
    RowWriteThread(Connection& connection, const UpdateSql& update, QStringList columns,
        std::function<void(TypedRecord&)> complete = {});
    // Stops the thread without writing the rows still waiting.
    ~RowWriteThread();
    RowWriteThread(const RowWriteThread&) = delete;
    RowWriteThread& operator=(const RowWriteThread&) = delete;

    void write(RowWrite kind, const TypedRecord& row, const QVector<QVariant>& oldValues, bool complete = true);
    // Waits until every row is written; raises the first write's error.
    void finish();

private:
    struct Row
    {
        RowWrite kind;
        TypedRecord row;
        QVector<QVariant> oldValues;
        bool complete;
    };
    using Batch = std::vector<Row>;

    void hand(Batch&& batch);
    void run();
    void raiseError();

    RowWriter m_rows;
    std::function<void(TypedRecord&)> m_complete;
    Batch m_filling; // the caller's, handed over when full
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Batch> m_waiting;
    // Batches written, freed by the caller's thread: the values were made
    // there, and freeing them in another thread makes the two wait for each
    // other's memory.
    std::vector<Batch> m_written;
    bool m_busy = false; // the thread is writing a batch
    bool m_stopping = false;
    std::exception_ptr m_error;
    std::thread m_thread; // last: started once the rest is ready
};

} // namespace itm::exchange
