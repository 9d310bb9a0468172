#pragma once

#include "store/DatabaseBackend.h"

#include <QByteArray>
#include <QList>
#include <QVariant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace itm {

// A connection to an SQLite file. Opening never creates the file: a missing
// file is SQLite's own "unable to open database file".
class SqliteConnection : public ConnectionBackend
{
public:
    // oneThread: read-only, for one thread at a time; SQLite then takes no
    // lock of its own around every call. Raises DatabaseError with SQLite's
    // message when the file cannot be opened.
    SqliteConnection(const QString& path, bool readOnly, bool oneThread);
    ~SqliteConnection() override;
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    sqlite3* handle() const { return m_db; }

    std::unique_ptr<StatementBackend> prepare(const QString& sql) override;
    QString errorMessage() const override;
    QString filePath() const override;
    qint64 lastInsertRowId() const override;
    void setLastInsertRowId(qint64 rowId) override;
    int changes() const override;
    qint64 totalChanges() const override;
    bool inTransaction() const override;
    qint64 dataVersion() const override;
    void rollback() override;
    bool prepareForWrite() override;

private:
    void openHandle();

    sqlite3* m_db = nullptr;
    QList<sqlite3*> m_retired; // handles replaced by a reopen, closed with the connection
    QString m_path;
    bool m_readOnly;
    bool m_oneThread;
};

// One prepared SQLite statement.
class SqliteStatement : public StatementBackend
{
public:
    SqliteStatement(sqlite3* db, const QString& sql);
    ~SqliteStatement() override;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    int parameterIndex(const QString& name) const override;
    int parameterCount() const override;
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

private:
    QString errorMessage() const;

    sqlite3* m_db;
    sqlite3_stmt* m_statement = nullptr;
    QByteArray m_converted; // a number column's text, for storedBytes
    // The bytes of each text parameter, kept while bound: SQLite reads them
    // where they are instead of copying every text of every row written.
    std::vector<QByteArray> m_boundTexts;
    // Each parameter's value as bound last: SQLite keeps a binding across
    // resets, so a value bound again unchanged (a column that holds the same
    // in every row of a batch) is not converted and bound once more.
    std::vector<QVariant> m_boundValues;
};

} // namespace itm
