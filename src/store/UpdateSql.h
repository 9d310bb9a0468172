#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

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
struct UpdateSql
{
    QString insertSql;
    QString modifySql;
    QString deleteSql;

    QString insertConflictSql;
    QString conflictColumn;
    QString conflictMessage;
    QString rowCheckSql;
};

enum class RowWrite
{
    Insert,
    Modify,
    Delete
};

// The text of the error raised when the row to modify or delete is gone.
QString RecordGoneMessage();

// Runs one write of one row with its checks, all in one transaction (or in
// the caller's, when one is open); raises DatabaseError when a check refuses
// it or SQLite does.
// oldValues is the row as it was read (empty for an insert).
void WriteRow(Connection& connection, const UpdateSql& update, RowWrite kind, const QStringList& columns,
    const QVector<QVariant>& values, const QVector<QVariant>& oldValues);

} // namespace itm
