#include "backup/ServerCopy.h"

#include "backup/DatabaseCheck.h"
#include "platform/AtomicFile.h"
#include "platform/Job.h"
#include "store/Connection.h"
#include "store/Errors.h"
#include "store/ServerSchema.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace itm {

namespace {

// The tables of the register on the server that must be empty before a copy;
// the counties come with init and are replaced by the copied ones.
bool heldBeforeCopy(const QString& table)
{
    return table != u"judete";
}

bool hasTable(Connection& connection, const QString& table)
{
    const QString sql = connection.handle()
        ? QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = :table")
        : QStringLiteral("SELECT count(*) FROM pg_tables WHERE tablename = :table AND schemaname = current_schema()");
    Statement query(connection, sql);
    query.bind(QStringLiteral("table"), table);
    return query.step() && query.integer(0) > 0;
}

qint64 rowCount(Connection& connection, const QString& table)
{
    Statement query(connection, QStringLiteral("SELECT count(*) FROM %1").arg(table));
    query.step();
    return query.integer(0);
}

QStringList columnsOf(Connection& connection, const QString& table)
{
    Statement statement(connection, QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(table));
    QStringList columns;
    for (int i = 0; i < statement.columnCount(); ++i)
        columns.append(statement.columnName(i));
    return columns;
}

// Every row in one order on both kinds: by every column, NULL first, texts
// byte by byte (the server's texts compare as "C").
QString orderedSelect(const QString& table, const QStringList& columns)
{
    return QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
               .arg(columns.join(QStringLiteral(", ")), table, columns.join(QStringLiteral(" NULLS FIRST, ")))
        + QStringLiteral(" NULLS FIRST");
}

bool sameValue(const QVariant& a, const QVariant& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    return a.typeId() == b.typeId() && a == b;
}

// The rows of each table copied from one register into the other, inside the
// caller's transaction on `to`.
QList<CopiedTable> copyTables(Connection& from, Connection& to, const QStringList& tables, JobProgress& progress)
{
    QList<CopiedTable> copied;
    for (const QString& table : tables) {
        progress.checkCancelled();
        const QStringList columns = columnsOf(to, table);
        progress.setStep(QStringLiteral("Se copiaza %1").arg(table));
        progress.setTotal(rowCount(from, table));
        progress.setDone(0);
        to.exec(QStringLiteral("DELETE FROM %1").arg(table));
        Statement read(from, orderedSelect(table, columns));
        QStringList marks;
        for (qsizetype i = 0; i < columns.size(); ++i)
            marks.append(QStringLiteral("?"));
        Statement write(to,
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))));
        CopiedTable count { table, 0 };
        while (read.step()) {
            for (int i = 0; i < columns.size(); ++i)
                write.bind(i + 1, read.value(i));
            write.step();
            write.reset();
            ++count.rows;
            if (count.rows % 1000 == 0) {
                progress.setDone(count.rows);
                progress.checkCancelled();
            }
        }
        copied.append(count);
    }
    return copied;
}

// Every row of each table read from both and compared value by value.
void compareTables(Connection& from, Connection& to, const QList<CopiedTable>& copied, JobProgress& progress)
{
    for (const CopiedTable& table : copied) {
        progress.checkCancelled();
        progress.setStep(QStringLiteral("Se verifica %1").arg(table.table));
        progress.setTotal(table.rows);
        const QStringList columns = columnsOf(to, table.table);
        const qint64 there = rowCount(to, table.table);
        if (there != table.rows)
            throw Error(QStringLiteral("tabelul %1 are %2 randuri in copie in loc de %3")
                            .arg(table.table)
                            .arg(there)
                            .arg(table.rows));
        Statement left(from, orderedSelect(table.table, columns));
        Statement right(to, orderedSelect(table.table, columns));
        qint64 row = 0;
        while (left.step()) {
            if (!right.step())
                throw Error(QStringLiteral("tabelul %1 are mai putine randuri in copie").arg(table.table));
            ++row;
            for (int i = 0; i < columns.size(); ++i) {
                if (!sameValue(left.value(i), right.value(i)))
                    throw Error(QStringLiteral("randul %1 al tabelului %2 difera in copie la coloana %3")
                                    .arg(row)
                                    .arg(table.table, columns.at(i)));
            }
            if (row % 1000 == 0) {
                progress.setDone(row);
                progress.checkCancelled();
            }
        }
    }
}

// The server's numbering of each row key goes on after the copied keys.
void continueKeys(Connection& server, const QStringList& tables)
{
    for (const QString& table : tables) {
        Statement key(server,
            QStringLiteral("SELECT attname FROM pg_attribute WHERE attrelid = to_regclass(:table) "
                           "AND attidentity <> '' AND NOT attisdropped"));
        key.bind(QStringLiteral("table"), table);
        if (!key.step())
            continue;
        const QString column = key.text(0);
        Statement set(server,
            QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', '%2'), coalesce(max(%2), 0) + 1, false) FROM %1")
                .arg(table, column));
        set.step();
    }
}

} // namespace

QList<CopiedTable> CopyFileToServer(const QString& file, const QString& server, JobProgress& progress)
{
    if (!QFileInfo(file).isFile())
        throw Error(QStringLiteral("fisierul %1 nu exista").arg(file));
    Connection from;
    from.open(file, true);
    Connection to;
    to.open(server);
    if (ServerSchemaVersion(to) < 0)
        throw Error(QStringLiteral("registrul de pe server nu este pregatit; dati intai itm-cli server init --db ..."));
    QStringList tables;
    for (const QString& table : RegisterTableNames()) {
        if (heldBeforeCopy(table) && rowCount(to, table) > 0)
            throw Error(QStringLiteral("registrul de pe server nu este gol (tabelul %1 are %2 randuri); "
                                       "copierea se face doar intr-un registru nou")
                            .arg(table)
                            .arg(rowCount(to, table)));
        if (hasTable(from, table))
            tables.append(table);
    }
    // The file is read as it is at one moment, whatever another program does.
    from.exec(QStringLiteral("BEGIN"));
    Transaction transaction(to);
    const QList<CopiedTable> copied = copyTables(from, to, tables, progress);
    continueKeys(to, tables);
    compareTables(from, to, copied, progress);
    progress.setCancellable(false);
    transaction.commit();
    from.exec(QStringLiteral("COMMIT"));
    // The server plans its queries by what it knows of the tables: told at
    // once how many rows they hold, not a minute later.
    for (const CopiedTable& table : copied) {
        try {
            to.exec(QStringLiteral("ANALYZE %1").arg(table.table));
        } catch (const DatabaseError&) {
            // A role that may not: the server learns it by itself.
        }
    }
    return copied;
}

QList<CopiedTable> CopyServerToFile(const QString& server, const QString& file, JobProgress& progress)
{
    if (QFileInfo::exists(file))
        throw Error(QStringLiteral("fisierul %1 exista deja; alegeti un fisier nou").arg(file));
    Connection from;
    from.open(server, true);
    if (ServerSchemaVersion(from) < 0)
        throw Error(QStringLiteral("baza de date de pe server nu este un registru (lipseste registru_schema)"));
    // Written into the new file's temporary file as it is read, so that a
    // register of any size never has to fit in memory; the file takes its
    // name only once complete and compared.
    AtomicFile target(file);
    if (!target.open())
        throw Error(QStringLiteral("fisierul %1 nu a putut fi scris: %2").arg(file, target.errorString()));
    target.releaseDevice();
    Connection to;
    to.open(target.temporaryPath());
    // The atomic writer syncs the whole file before it takes its name.
    to.exec(QStringLiteral("PRAGMA journal_mode = OFF"));
    to.exec(QStringLiteral("PRAGMA synchronous = OFF"));
    char* message = nullptr;
    if (sqlite3_exec(to.handle(), RegisterSetUpSql(), nullptr, nullptr, &message) != SQLITE_OK) {
        const QString reason = QString::fromUtf8(message);
        sqlite3_free(message);
        throw DatabaseError(reason);
    }
    // One moment of the server register, whatever colleagues save meanwhile.
    from.exec(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"));
    QList<CopiedTable> copied;
    {
        Transaction transaction(to);
        copied = copyTables(from, to, RegisterTableNames(), progress);
        compareTables(from, to, copied, progress);
        transaction.commit();
    }
    from.exec(QStringLiteral("COMMIT"));
    to.close();
    progress.setCancellable(false);
    if (!target.commit())
        throw Error(QStringLiteral("fisierul %1 nu a putut fi scris: %2").arg(file, target.errorString()));
    const DatabaseCheck check = CheckDatabaseFile(file, CheckDepth::Tables);
    if (!check.passed) {
        // The file was not there before the copy: a copy that fails its
        // check is not left to be taken for a good one.
        QFile::remove(file);
        throw Error(QStringLiteral("copia scrisa nu trece verificarea: %1").arg(check.problem));
    }
    return copied;
}

} // namespace itm
