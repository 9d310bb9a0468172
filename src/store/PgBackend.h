#pragma once

#include "store/DatabaseBackend.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QStringList>
#include <deque>
#include <memory>
#include <vector>

struct pg_conn;
struct pg_result;

namespace itm {

struct PgSession;

// A connection to a register on a PostgreSQL server, given by a libpq
// connection string or URI. libpq's own conventions do the rest (the service
// file, ~/.pgpass, the PG* variables, sslmode); no password is kept here.
class PgConnection : public ConnectionBackend
{
public:
    // Raises DatabaseError with a message saying the server could not be
    // reached and the server's or libpq's reason.
    // readOnly: every transaction of the connection is read-only.
    explicit PgConnection(const QString& connectionString, bool readOnly = false);
    ~PgConnection() override;
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    std::unique_ptr<StatementBackend> prepare(const QString& sql) override;
    QString errorMessage() const override;
    QString filePath() const override { return {}; }
    QString secondConnectionLocation() const override { return m_connectionString; }
    bool isServer() const override { return true; }
    qint64 lastInsertRowId() const override;
    void setLastInsertRowId(qint64 rowId) override;
    int changes() const override;
    qint64 totalChanges() const override;
    bool inTransaction() const override;
    // Grows with each save of a colleague's the server told of.
    qint64 dataVersion() const override;
    std::optional<QSet<qint64>> takeSavedRows(const QString& table) override;
    bool lost() const override;
    void rollback() override;
    // A connection lost (server restarted, network down) connects again.
    bool prepareForWrite() override;

private:
    void setUp();
    // What a colleague's notice says was saved (see RegisterChangeChannel).
    void noteSavedRows(QByteArrayView message) const;

    std::shared_ptr<PgSession> m_session;
    QString m_connectionString;
};

// The statement's text for the server: its "?" and ":name" placeholders
// become $1, $2, ... (one number per name), outside quotes and comments.
struct PgStatementText
{
    QByteArray sql;
    QStringList names; // the name of each $n, empty for a "?"
};
PgStatementText TranslatePlaceholders(const QString& sql);

// One statement prepared on the server.
class PgStatement : public StatementBackend
{
public:
    PgStatement(std::shared_ptr<PgSession> session, const QString& sql);
    ~PgStatement() override;
    PgStatement(const PgStatement&) = delete;
    PgStatement& operator=(const PgStatement&) = delete;

    int parameterIndex(const QString& name) const override;
    int parameterCount() const override { return int(m_text.names.size()); }
    void bind(int index, const QVariant& value) override;
    bool step() override;
    void reset() override;
    int columnCount() const override;
    QString columnName(int column) const override;
    QString declaredType(int column) const override;
    QVariant value(int column) const override;
    qint64 integer(int column) const override;
    bool holdsInteger(int column) const override;
    QString text(int column) const override;
    QByteArrayView storedBytes(int column) override;

    // The rest of the rows of a statement that streams them, read off the
    // connection for later (another command needs it).
    void takeRestOfRows();

private:
    void execute();
    pg_result* nextRowFromServer();
    void dropRows();
    pg_result* described() const;
    bool isNull(int column) const;

    std::shared_ptr<PgSession> m_session;
    PgStatementText m_text;
    QByteArray m_name; // empty: run unprepared (a statement of the transaction itself)
    QByteArray m_returning; // the key an insert returns, for lastInsertRowId
    std::vector<QByteArray> m_values;
    std::vector<bool> m_nulls;
    pg_result* m_result = nullptr;
    mutable pg_result* m_description = nullptr;
    bool m_streams = false; // a query whose rows are read one at a time
    bool m_streaming = false; // this execution's rows come one at a time
    bool m_streamsInTransaction = false; // began inside a transaction
    bool m_executed = false;
    std::deque<pg_result*> m_waitingRows; // read off the connection, not yet stepped to
    QString m_rowError;
    int m_row = -1;
    bool m_done = false;
    QByteArray m_converted;
};

} // namespace itm
