#pragma once

#include "store/Connection.h"
#include "store/RowIndex.h"

#include <QString>
#include <QVector>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

namespace itm {

// Reads a keyset from a statement that selects the key and then the kept
// columns. orderColumn is the kept column whose byte order is checked (-1 for
// none); expectedRows only reserves room. A read that *cancel stops early
// returns what it has.
Keyset ReadKeyset(Statement& statement, int keptColumns, int orderColumn, qsizetype expectedRows = 0,
    const std::atomic<bool>* cancel = nullptr);

// A keyset read in a thread of its own, over a second, read-only connection
// to the same file, so that a register of millions of payers is read while
// the window is already in use. Nothing of it is shared with the reading
// thread until wait() has returned.
class KeysetLoad : public PendingKeyset
{
public:
    // Opens the connection and prepares the statement on the calling thread;
    // raises DatabaseError when either fails.
    // expectedRows only reserves room.
    KeysetLoad(const QString& path, const QString& sql, int keptColumns, int orderColumn, qsizetype expectedRows);
    // Stops a read that still runs and waits for its thread.
    ~KeysetLoad() override;
    KeysetLoad(const KeysetLoad&) = delete;
    KeysetLoad& operator=(const KeysetLoad&) = delete;

    bool hasParameters() const { return m_statement->parameterCount() > 0; }
    // Starts the read. finished runs on the reading thread when the read has
    // ended by itself (not when it was stopped), as its last step.
    void start(std::function<void()> finished);
    bool isFinished() const override { return m_finished.load(std::memory_order_acquire); }
    void wait() override;
    // SQLite's message when the read failed.
    const std::optional<QString>& error() const override { return m_error; }
    Keyset takeKeyset() override { return std::move(m_keyset); }

private:
    void run();

    Connection m_connection;
    std::unique_ptr<Statement> m_statement;
    int m_keptColumns;
    int m_orderColumn;
    qsizetype m_expectedRows;
    std::function<void()> m_onFinished;
    std::atomic<bool> m_cancel { false };
    std::atomic<bool> m_finished { false };
    Keyset m_keyset;
    std::optional<QString> m_error;
    std::thread m_thread;
};

} // namespace itm
