#include "store/UpdateSql.h"

#include "store/Connection.h"
#include "store/Errors.h"
#include "store/RecordReader.h"

namespace itm {

namespace {

struct RowValues
{
    const QStringList& columns;
    const QVector<QVariant>& values;
    const QVector<QVariant>& oldValues;
};

void bindRow(Statement& statement, const RowValues& row)
{
    for (int i = 0; i < row.columns.size(); ++i) {
        statement.bind(row.columns[i], row.values.at(i));
        statement.bind(
            QStringLiteral("OLD_") + row.columns[i], i < row.oldValues.size() ? row.oldValues.at(i) : QVariant());
    }
}

bool findsRow(Connection& connection, const QString& sql, const RowValues& row)
{
    Statement statement(connection, sql);
    bindRow(statement, row);
    return statement.step();
}

} // namespace

QString RecordGoneMessage()
{
    return QStringLiteral("Inregistrarea nu mai exista in baza de date (a fost stearsa sau inlocuita de alt program)");
}

void WriteRow(Connection& connection, const UpdateSql& update, RowWrite kind, const QStringList& columns,
    const QVector<QVariant>& values, const QVector<QVariant>& oldValues)
{
    const RowValues row { columns, values, oldValues };
    Transaction transaction(connection);
    if (kind == RowWrite::Insert && !update.insertConflictSql.isEmpty()
        && findsRow(connection, update.insertConflictSql, row)) {
        const qsizetype column = columns.indexOf(update.conflictColumn);
        throw DatabaseError(update.conflictMessage.arg(column >= 0 ? valueText(values.at(column)) : QString()));
    }
    if (kind != RowWrite::Insert && !update.rowCheckSql.isEmpty() && !findsRow(connection, update.rowCheckSql, row))
        throw DatabaseError(RecordGoneMessage());

    const QString& sql = kind == RowWrite::Insert ? update.insertSql
        : kind == RowWrite::Modify                ? update.modifySql
                                                  : update.deleteSql;
    Statement statement(connection, sql);
    bindRow(statement, row);
    statement.step();
    if (kind != RowWrite::Insert && connection.changes() == 0)
        throw DatabaseError(RecordGoneMessage());
    transaction.commit();
}

} // namespace itm
