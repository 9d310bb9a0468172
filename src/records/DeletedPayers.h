#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

namespace itm {

class Connection;

// Deletes payer payerId with its declarations, in the caller's transaction.
// With keepHistory the payer, every declaration and every version of them go
// into the register's history first (stamped with when), so that the payer
// can be brought back whole; the payer row itself is deleted here only with
// deletePayerRow (the window deletes it through its cursor, in the same
// transaction). Returns the deletion's key in the history, 0 without it.
qint64 DeletePayerKeepingHistory(
    Connection& connection, qint64 payerId, bool keepHistory, const QString& when, bool deletePayerRow);

struct DeletedPayer
{
    qint64 deletion = 0; // its key in the history
    QString code;
    QString name; // the composed legal name
    QString deleted; // when, "YYYY-MM-DD HH:MM:SS"
    qint64 declarations = 0;
};

// Every deleted payer kept in the history, the latest deletion first.
QList<DeletedPayer> DeletedPayers(Connection& connection);

enum class UndeleteOutcome
{
    Restored,
    NotDeleted, // no deleted payer holds that code
    CodeTaken // a payer of the register holds it now
};

// Brings the latest deleted payer of that code (compared exactly) back whole,
// with its declarations and their versions, and takes it out of the
// history, all in one transaction. The payer and each declaration get their
// former keys back when these are free.
UndeleteOutcome UndeletePayer(Connection& connection, const QString& code, qint64* declarations = nullptr);

} // namespace itm
