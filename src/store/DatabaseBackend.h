#pragma once

#include <QByteArrayView>
#include <QSet>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

namespace itm {

// One prepared statement of a kind of database, behind Statement. Errors
// raise DatabaseError with the database's own message.
class StatementBackend
{
public:
    virtual ~StatementBackend() = default;

    // The position of ":name", 0 when the statement lacks it.
    virtual int parameterIndex(const QString& name) const = 0;
    virtual int parameterCount() const = 0;
    // index is at least 1.
    virtual void bind(int index, const QVariant& value) = 0;
    virtual bool step() = 0;
    virtual void reset() = 0;

    virtual int columnCount() const = 0;
    virtual QString columnName(int column) const = 0;
    virtual QString declaredType(int column) const = 0;
    virtual QVariant value(int column) const = 0;
    virtual qint64 integer(int column) const = 0;
    virtual bool holdsInteger(int column) const = 0;
    virtual QString text(int column) const = 0;
    // Valid until the next step.
    virtual QByteArrayView storedBytes(int column) = 0;
};

// An open connection to a kind of database, behind Connection: what a kind
// of database does itself. What is the same for every kind (the notes a
// cursor keeps of who wrote what, transactions joined, handles lent) stays
// in Connection.
class ConnectionBackend
{
public:
    virtual ~ConnectionBackend() = default;

    virtual std::unique_ptr<StatementBackend> prepare(const QString& sql) = 0;
    virtual QString errorMessage() const = 0;
    // The absolute path of the file open, empty when there is none that a
    // second connection can reach.
    virtual QString filePath() const = 0;
    // What a second connection opens to reach the same database (see
    // Connection::secondConnectionLocation).
    virtual QString secondConnectionLocation() const { return filePath(); }
    // Whether the database is on a server (each statement a round trip).
    virtual bool isServer() const { return false; }
    virtual qint64 lastInsertRowId() const = 0;
    virtual void setLastInsertRowId(qint64 rowId) = 0;
    virtual int changes() const = 0;
    virtual qint64 totalChanges() const = 0;
    virtual bool inTransaction() const = 0;
    // Grows when another connection commits.
    virtual qint64 dataVersion() const = 0;
    // The ids of the rows of table that other connections saved since the
    // last call (see Connection::takeSavedRows).
    virtual std::optional<QSet<qint64>> takeSavedRows(const QString& table)
    {
        Q_UNUSED(table);
        return std::nullopt;
    }
    // Rolls back the open transaction; an error is ignored (the transaction
    // ends either way).
    virtual void rollback() = 0;
    // Called outside a transaction before every write: a connection that can
    // no longer write (its file was write-protected, deleted or replaced)
    // opens again, and then returns true. Raises DatabaseError when the file
    // is gone.
    virtual bool prepareForWrite() = 0;
    // Whether the link to a server was lost (the next write links again).
    virtual bool lost() const { return false; }
};

} // namespace itm
