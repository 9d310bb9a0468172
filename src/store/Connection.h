#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3;

namespace itm {

class ConnectionBackend;
class HandleLoan;
class StatementBackend;
struct LoanBook;

// The connection to the database, over the backend of its kind (an SQLite
// file unless another backend is given). Opening a file never creates it: a
// missing file is SQLite's own "unable to open database file".
class Connection
{
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // path is a file, or a PostgreSQL server's connection string or URI
    // (see IsServerConnection).
    void open(const QString& path, bool readOnly = false);
    // Read-only, for one thread at a time: SQLite then takes no lock of its
    // own around every call (a read in a thread of its own over the same file).
    // A server's connection string opens a read-only connection to it.
    void openForOneThread(const QString& path);
    // Opens over a backend of another kind, already connected.
    void open(std::unique_ptr<ConnectionBackend> backend);
    void close();
    bool isOpen() const { return m_backend != nullptr; }
    // The SQLite handle, null when none is open or the backend is of another kind.
    sqlite3* handle() const;
    QString errorMessage() const;
    // The absolute path of the open file; empty for a database in memory or a
    // temporary one, which no second connection can reach.
    QString filePath() const;
    // What a second connection to the same register opens: the file's path,
    // or the server's connection string; empty when none can reach it.
    QString secondConnectionLocation() const;
    // Whether the register is on a server rather than in a file.
    bool isServer() const;

    // Runs a statement that returns no rows; outside a Transaction every
    // statement commits on its own.
    void exec(const QString& sql);
    qint64 lastInsertRowId() const;
    void setLastInsertRowId(qint64 rowId);
    // Rows changed by the last insert, update or delete.
    int changes() const;
    bool inTransaction() const;

    // Called before every write. A connection that SQLite opened read-only
    // (the file was write-protected) or whose file was deleted or replaced
    // under it keeps refusing every write, so it is opened again once the
    // file at its path can be written. A file that is gone raises an error
    // saying so. Never reopens in the middle of a transaction.
    void prepareForWrite();
    // Grows each time the connection is opened again: statements prepared
    // before are no longer of this connection.
    int generation() const { return m_generation; }

    // What tells a cursor whether the rows it read may have changed since:
    // commits by other connections, rollbacks here, and the rows changed here
    // by anything but a dataset's own post (each post is noted with its writer).
    qint64 dataVersion() const;
    // The ids of the rows of table that other connections saved since the
    // last call: inserted, updated or deleted. Nothing when it cannot be
    // told which (a file; a server told only the table, or linked again):
    // then any row may have changed.
    std::optional<QSet<qint64>> takeSavedRows(const QString& table);
    // Whether the link to the register's server was lost; the next write
    // links again (never true for a file).
    bool lost() const;
    qint64 rollbacks() const { return m_rollbacks; }
    void noteRollback() { ++m_rollbacks; }
    qint64 totalChanges() const;
    qint64 changesNotNoted() const { return totalChanges() - m_notedChanges; }
    void noteWrite(const void* writer, qint64 changes);
    qint64 writesBy(const void* writer) const { return m_writes.value(writer); }

    // Lends the handle to something that reads through it from a thread of
    // its own (the daily backup). Before the handle closes, the connection
    // calls stop, which must return only once the borrower no longer uses it;
    // the loan then lends nothing more. Returning the loan (destroying it)
    // before that drops stop.
    std::unique_ptr<HandleLoan> lendHandle(std::function<void()> stop);

private:
    friend class Statement;
    friend class Transaction;
    void setLentHandle(sqlite3* handle);

    std::unique_ptr<ConnectionBackend> m_backend;
    int m_generation = 0;
    qint64 m_rollbacks = 0;
    qint64 m_notedChanges = 0;
    QHash<const void*, qint64> m_writes;
    std::shared_ptr<LoanBook> m_loans;
};

// A connection's handle lent out (see Connection::lendHandle).
class HandleLoan
{
public:
    ~HandleLoan();
    HandleLoan(const HandleLoan&) = delete;
    HandleLoan& operator=(const HandleLoan&) = delete;
    // The connection's current handle; null once the connection closed it.
    // Safe from any thread.
    sqlite3* handle() const;

private:
    friend class Connection;
    HandleLoan(std::shared_ptr<LoanBook> book, int id);
    std::shared_ptr<LoanBook> m_book;
    int m_id;
};

// All of a group of writes or none: BEGIN IMMEDIATE takes the write lock at
// once, so nothing another connection writes can come between the checks and
// the writes. Rolled back unless committed. Inside a transaction already open
// on the connection it joins that one.
class Transaction
{
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Connection& m_connection;
    bool m_owner = false;
    bool m_open = false;
};

// One prepared statement, of the connection's backend. Errors raise
// DatabaseError with the database's message.
class Statement
{
public:
    Statement(Connection& connection, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement(Statement&&) noexcept;
    Statement& operator=(Statement&&) noexcept;

    // Binds a value to ":name"; a parameter the statement lacks is ignored.
    void bind(const QString& name, const QVariant& value);
    // The position of ":name", 0 when the statement lacks it; a statement run
    // many times binds by position and looks its names up once.
    int parameterIndex(const QString& name) const;
    void bind(int index, const QVariant& value); // index 0 is ignored
    bool hasParameter(const QString& name) const;
    int parameterCount() const;
    bool step(); // true while a row is available
    void reset();

    int columnCount() const;
    QString columnName(int column) const;
    QString declaredType(int column) const;
    QVariant value(int column) const;
    qint64 integer(int column) const;
    // Whether the column holds a whole number as such (not a text or a real):
    // integer() then reads it without a conversion.
    bool holdsInteger(int column) const;
    QString text(int column) const;
    // The column as the bytes a text of it is stored as; valid until the next step.
    QByteArrayView storedBytes(int column);

private:
    std::unique_ptr<StatementBackend> m_backend;
};

} // namespace itm
