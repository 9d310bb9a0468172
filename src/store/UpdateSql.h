#pragma once

#include "store/ColumnType.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>
#include <optional>
#include <vector>

namespace itm {

class Connection;

// The insert, modify and delete statements of an editable query. Parameters
// take the columns of the same name from the row being written; :OLD_id (and
// :OLD_ for any other column) takes the value the row had when it was read.
//
// The optional checks run with the same parameters, inside the transaction of
// the write, so that nothing another program writes can come between them:
//   - insertConflictSql: a row found refuses the insert with conflictMessage
//     ("%1" becomes the text of conflictColumn), so two rows never share a key;
//   - rowCheckSql: no row found means the row read earlier is no longer there
//     (deleted, or the database file replaced by another), and the modify or
//     delete is refused rather than written over another row.
// A modify or delete that changes no row is refused in the same way.
//   - currentRowSql: the row as it is stored now (on a server, locked until
//     the transaction ends); a modify or delete is refused with
//     ChangedByOtherMessage() when a column it writes differs from the row
//     as it was read: another user saved it in between, and writing over
//     that save would lose it silently.
// A unique column that refuses the write (two programs saving the same code
// at once) is refused with conflictMessage too.
struct UpdateSql
{
    QString insertSql;
    QString modifySql;
    QString deleteSql;

    QString insertConflictSql;
    QString conflictColumn;
    QString conflictMessage;
    QString rowCheckSql;
    QString currentRowSql;

    // Statements that go with every insert or modify, in the same transaction
    // (a history kept beside the table): beforeModifySql runs just before a
    // modify, with the same parameters; afterWriteSql after an insert or a
    // modify, with :id the written row's key. They leave the key of the row
    // written as the connection's last inserted row.
    QString beforeModifySql;
    QString afterWriteSql;
};

enum class RowWrite
{
    Insert,
    Modify,
    Delete
};

// The text of the error raised when the row to modify or delete is gone.
QString RecordGoneMessage();
// The text of the error raised when another user saved the row since it was read.
QString ChangedByOtherMessage();

// One column's value as read and as stored now: the same once both are of
// the column's kind (a number may come back as a text of the server's, a
// whole real as an integer of SQLite's); without a kind, the same text.
bool SameColumnValue(std::optional<ColumnType> type, const QVariant& read, const QVariant& stored);

// Runs one write of one row with its checks, all in one transaction (or in
// the caller's, when one is open); raises DatabaseError when a check refuses
// it or SQLite does.
// oldValues is the row as it was read (empty for an insert); types, the
// columns' kinds, let the row as read be compared with the row as stored
// (currentRowSql) whatever form each value was read in.
void WriteRow(Connection& connection, const UpdateSql& update, RowWrite kind, const QStringList& columns,
    const QVector<QVariant>& values, const QVector<QVariant>& oldValues, const QVector<ColumnType>& types = {});

// The same writes and checks for many rows of the same columns, each
// statement prepared once and bound by position: a batch of thousands of rows
// inside one transaction of the caller's (an import).
class RowWriter
{
public:
    RowWriter(Connection& connection, const UpdateSql& update, QStringList columns, QVector<ColumnType> types = {});
    ~RowWriter();
    RowWriter(const RowWriter&) = delete;
    RowWriter& operator=(const RowWriter&) = delete;

    void write(RowWrite kind, const QVector<QVariant>& values, const QVector<QVariant>& oldValues);

private:
    struct Prepared;
    Prepared& prepared(const QString& sql);
    void run(const QString& sql, const QVector<QVariant>& values, const QVector<QVariant>& oldValues);
    bool findsRow(const QString& sql, const QVector<QVariant>& values, const QVector<QVariant>& oldValues);
    void requireRowAsRead(const QVector<QVariant>& oldValues);
    void runUnique(const QString& sql, const QVector<QVariant>& values, const QVector<QVariant>& oldValues);

    Connection& m_connection;
    const UpdateSql& m_update;
    QStringList m_columns;
    QVector<ColumnType> m_types;
    std::vector<std::unique_ptr<Prepared>> m_prepared;
    int m_generation = -1;
};

} // namespace itm
