#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace itm {

// The connection to the database file. Opening never creates the file: a
// missing file is SQLite's own "unable to open database file".
class Connection
{
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void open(const QString& path, bool readOnly = false);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    sqlite3* handle() const { return m_db; }
    QString errorMessage() const;

    // Runs a statement that returns no rows; every statement commits on its own.
    void exec(const QString& sql);
    qint64 lastInsertRowId() const;

private:
    sqlite3* m_db = nullptr;
};

// One prepared statement. Errors raise DatabaseError with SQLite's message.
class Statement
{
public:
    Statement(Connection& connection, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Binds a value to ":name"; a parameter the statement lacks is ignored.
    void bind(const QString& name, const QVariant& value);
    // The position of ":name", 0 when the statement lacks it; a statement run
    // many times binds by position and looks its names up once.
    int parameterIndex(const QString& name) const;
    void bind(int index, const QVariant& value); // index 0 is ignored
    bool hasParameter(const QString& name) const;
    bool step(); // true while a row is available
    void reset();

    int columnCount() const;
    QString columnName(int column) const;
    QString declaredType(int column) const;
    QVariant value(int column) const;
    qint64 integer(int column) const;
    QString text(int column) const;

private:
    Connection& m_connection;
    sqlite3_stmt* m_statement = nullptr;
};

} // namespace itm
