#include "store/UpdateSql.h"

#include "store/Connection.h"
#include "store/Errors.h"
#include "store/RecordReader.h"

#include <QHash>
#include <optional>

namespace itm {

QString RecordGoneMessage()
{
    return QStringLiteral("Inregistrarea nu mai exista in baza de date (a fost stearsa sau inlocuita de alt program)");
}

QString ChangedByOtherMessage()
{
    return QStringLiteral("Datele au fost modificate intre timp de alt utilizator. Ce ati scris nu a fost salvat; "
                          "renuntati (Esc) pentru a vedea datele salvate de el, apoi scrieti din nou.");
}

bool SameColumnValue(std::optional<ColumnType> type, const QVariant& read, const QVariant& stored)
{
    const auto normal = [type](const QVariant& value) {
        if (!type || value.isNull())
            return value;
        return TryValueForColumn(*type, value).value_or(value);
    };
    const QVariant a = normal(read);
    const QVariant b = normal(stored);
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    if (a.typeId() == QMetaType::Double && b.typeId() == QMetaType::Double)
        return a.toDouble() == b.toDouble();
    return valueText(a) == valueText(b);
}

void WriteRow(Connection& connection, const UpdateSql& update, RowWrite kind, const QStringList& columns,
    const QVector<QVariant>& values, const QVector<QVariant>& oldValues, const QVector<ColumnType>& types)
{
    Transaction transaction(connection);
    RowWriter(connection, update, columns, types).write(kind, values, oldValues);
    transaction.commit();
}

// A statement with the positions of its parameters: per column, the value's
// and the old value's (0 where the statement has none).
struct RowWriter::Prepared
{
    QString sql;
    Statement statement;
    QVector<int> valueParameters;
    QVector<int> oldParameters;
    QHash<QString, int> storedColumns; // by name, for a statement that reads a row

    Prepared(Connection& connection, const QString& text, const QStringList& columns)
        : sql(text)
        , statement(connection, text)
    {
        for (const QString& column : columns) {
            valueParameters.append(statement.parameterIndex(column));
            oldParameters.append(statement.parameterIndex(QStringLiteral("OLD_") + column));
        }
    }

    void bind(const QVector<QVariant>& values, const QVector<QVariant>& oldValues)
    {
        // Most columns are no parameter of a check: nothing is made for them.
        for (int i = 0; i < valueParameters.size(); ++i) {
            if (valueParameters.at(i) > 0)
                statement.bind(valueParameters.at(i), values.at(i));
            if (oldParameters.at(i) > 0)
                statement.bind(oldParameters.at(i), i < oldValues.size() ? oldValues.at(i) : QVariant());
        }
    }
};

RowWriter::RowWriter(Connection& connection, const UpdateSql& update, QStringList columns, QVector<ColumnType> types)
    : m_connection(connection)
    , m_update(update)
    , m_columns(std::move(columns))
    , m_types(std::move(types))
{
}

RowWriter::~RowWriter() = default;

RowWriter::Prepared& RowWriter::prepared(const QString& sql)
{
    // A connection opened again has other statements.
    if (m_generation != m_connection.generation()) {
        m_prepared.clear();
        m_generation = m_connection.generation();
    }
    for (const auto& statement : m_prepared) {
        // The statements' texts are long; the same text is nearly always the same string.
        if (statement->sql.constData() == sql.constData() || statement->sql == sql) {
            statement->statement.reset();
            return *statement;
        }
    }
    m_prepared.push_back(std::make_unique<Prepared>(m_connection, sql, m_columns));
    return *m_prepared.back();
}

bool RowWriter::findsRow(const QString& sql, const QVector<QVariant>& values, const QVector<QVariant>& oldValues)
{
    Prepared& check = prepared(sql);
    check.bind(values, oldValues);
    const bool found = check.statement.step();
    check.statement.reset();
    return found;
}

void RowWriter::write(RowWrite kind, const QVector<QVariant>& values, const QVector<QVariant>& oldValues)
{
    if (kind == RowWrite::Insert && !m_update.insertConflictSql.isEmpty()
        && findsRow(m_update.insertConflictSql, values, oldValues)) {
        const qsizetype column = m_columns.indexOf(m_update.conflictColumn);
        throw DatabaseError(m_update.conflictMessage.arg(column >= 0 ? valueText(values.at(column)) : QString()));
    }
    if (kind != RowWrite::Insert && !m_update.rowCheckSql.isEmpty()
        && !findsRow(m_update.rowCheckSql, values, oldValues))
        throw DatabaseError(RecordGoneMessage());
    if (kind != RowWrite::Insert && !m_update.currentRowSql.isEmpty())
        requireRowAsRead(oldValues);

    const QString& sql = kind == RowWrite::Insert ? m_update.insertSql
        : kind == RowWrite::Modify                ? m_update.modifySql
                                                  : m_update.deleteSql;
    if (kind == RowWrite::Modify && !m_update.beforeModifySql.isEmpty())
        run(m_update.beforeModifySql, values, oldValues);
    if (kind == RowWrite::Delete)
        run(sql, values, oldValues);
    else
        runUnique(sql, values, oldValues);
    if (kind != RowWrite::Insert && m_connection.changes() == 0)
        throw DatabaseError(RecordGoneMessage());
    if (kind == RowWrite::Delete || m_update.afterWriteSql.isEmpty())
        return;
    const qint64 written = kind == RowWrite::Insert ? m_connection.lastInsertRowId() : -1;
    QVector<QVariant> writtenValues = values;
    const qsizetype key = m_columns.indexOf(QStringLiteral("id"));
    // A modify writes the row it read, whatever the edit buffer says its key is.
    if (key >= 0)
        writtenValues[key] = kind == RowWrite::Insert ? QVariant(written) : oldValues.value(key);
    run(m_update.afterWriteSql, writtenValues, oldValues);
    // The caller reads the key of the row it inserted, not the history's.
    if (kind == RowWrite::Insert)
        m_connection.setLastInsertRowId(written);
}

void RowWriter::requireRowAsRead(const QVector<QVariant>& oldValues)
{
    // The columns compared are those a modify writes: a column of the
    // cursor's that is never written may differ from the stored one.
    const QVector<int> written = m_update.modifySql.isEmpty() ? QVector<int>(m_columns.size(), 1)
                                                              : prepared(m_update.modifySql).valueParameters;
    Prepared& current = prepared(m_update.currentRowSql);
    current.bind(oldValues, oldValues);
    if (!current.statement.step()) {
        current.statement.reset();
        throw DatabaseError(RecordGoneMessage());
    }
    bool same = true;
    for (int i = 0; same && i < m_columns.size(); ++i) {
        if (written.at(i) <= 0)
            continue;
        if (current.storedColumns.isEmpty()) {
            for (int column = 0; column < current.statement.columnCount(); ++column)
                current.storedColumns.insert(current.statement.columnName(column), column);
        }
        const int stored = current.storedColumns.value(m_columns.at(i), -1);
        if (stored < 0)
            continue;
        const std::optional<ColumnType> type = i < m_types.size() ? std::optional(m_types.at(i)) : std::nullopt;
        same = SameColumnValue(type, oldValues.value(i), current.statement.value(stored));
    }
    current.statement.reset();
    if (!same)
        throw DatabaseError(ChangedByOtherMessage());
}

void RowWriter::runUnique(const QString& sql, const QVector<QVariant>& values, const QVector<QVariant>& oldValues)
{
    try {
        run(sql, values, oldValues);
    } catch (const UniqueViolation&) {
        // The check before the write found no such code: another program
        // saved it in between.
        if (m_update.conflictMessage.isEmpty())
            throw;
        const qsizetype column = m_columns.indexOf(m_update.conflictColumn);
        throw DatabaseError(m_update.conflictMessage.arg(column >= 0 ? valueText(values.at(column)) : QString()));
    }
}

void RowWriter::run(const QString& sql, const QVector<QVariant>& values, const QVector<QVariant>& oldValues)
{
    Prepared& statement = prepared(sql);
    statement.bind(values, oldValues);
    statement.statement.step();
    statement.statement.reset();
}

} // namespace itm
