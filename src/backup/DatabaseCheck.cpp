#include "backup/DatabaseCheck.h"

#include "store/RegisterColumns.h"

#include <QFileInfo>
#include <QStringList>
#include <sqlite3.h>

namespace itm {

namespace {

struct RequiredTable
{
    const char* name;
    QStringList columns;
};

// A whole row of a table: its key, then the columns every row is written with.
QStringList withRowKey(const QStringList& columns)
{
    return QStringList { QStringLiteral("id") } + columns;
}

const QList<RequiredTable>& requiredTables()
{
    static const QList<RequiredTable> tables {
        { "firme", withRowKey(PayerColumns()) },
        { "declaratii", withRowKey(DeclarationColumns()) },
        // Counties are only read, by key and name.
        { "judete", QStringLiteral("codjudet denumire").split(u' ') },
    };
    return tables;
}

// Every object the program's schema has, besides the tables: its indexes.
// SQLite's own objects (sqlite_sequence, the sqlite_stat tables, automatic indexes)
// are harmless.
bool isOwnObject(const QString& type, const QString& name, const QString& sql)
{
    if (name.startsWith(QLatin1String("sqlite_autoindex_")) || name == QLatin1String("sqlite_sequence")
        || name.startsWith(QLatin1String("sqlite_stat")))
        return type != QLatin1String("view") && type != QLatin1String("trigger");
    if (type == QLatin1String("table")) {
        // A virtual table runs another module's code behind a table's name.
        const bool plain = sql.simplified().startsWith(QLatin1String("CREATE TABLE"), Qt::CaseInsensitive);
        for (const RequiredTable& table : requiredTables()) {
            if (name.compare(QLatin1String(table.name), Qt::CaseInsensitive) == 0)
                return plain;
        }
        // The register's history, which a newer register holds.
        return plain && HistoryTableNames().contains(name, Qt::CaseInsensitive);
    }
    if (type == QLatin1String("index"))
        return name == QLatin1String("firme_cui") || name == QLatin1String("declaratii_perioada")
            || HistoryIndexNames().contains(name);
    return false;
}

QString objectWord(const QString& type)
{
    if (type == QLatin1String("view"))
        return QStringLiteral("vederea");
    if (type == QLatin1String("trigger"))
        return QStringLiteral("declansatorul");
    if (type == QLatin1String("index"))
        return QStringLiteral("indexul");
    return QStringLiteral("tabela");
}

class ReadOnlyDatabase
{
public:
    explicit ReadOnlyDatabase(const QString& path)
    {
        m_rc = sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
        if (m_db)
            sqlite3_busy_timeout(m_db, 2000);
    }
    ~ReadOnlyDatabase() { sqlite3_close_v2(m_db); }
    ReadOnlyDatabase(const ReadOnlyDatabase&) = delete;
    ReadOnlyDatabase& operator=(const ReadOnlyDatabase&) = delete;

    bool opened() const { return m_rc == SQLITE_OK; }
    QString error() const
    {
        return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(m_rc));
    }

    int errorCode() const { return sqlite3_errcode(m_db) & 0xff; }

    // The first column of every row, as text; false when the statement fails.
    bool column(const QByteArray& sql, QStringList* values)
    {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &statement, nullptr) != SQLITE_OK) {
            sqlite3_finalize(statement);
            return false;
        }
        int rc = SQLITE_OK;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
            values->append(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))));
        sqlite3_finalize(statement);
        return rc == SQLITE_DONE;
    }

private:
    sqlite3* m_db = nullptr;
    int m_rc = SQLITE_OK;
};

DatabaseCheck failure(const QString& problem)
{
    DatabaseCheck check;
    check.problem = problem;
    return check;
}

DatabaseCheck unreadable(const ReadOnlyDatabase& db)
{
    switch (db.errorCode()) {
    case SQLITE_NOTADB:
        return failure(QStringLiteral("fisierul nu este o baza de date valida: %1").arg(db.error()));
    case SQLITE_CORRUPT:
        return failure(QStringLiteral("baza de date este deteriorata: %1").arg(db.error()));
    default:
        return failure(QStringLiteral("fisierul nu poate fi citit: %1").arg(db.error()));
    }
}

} // namespace

DatabaseCheck CheckDatabaseFile(const QString& path, CheckDepth depth)
{
    const QFileInfo file(path);
    if (!file.exists())
        return failure(QStringLiteral("fisierul nu exista"));
    if (!file.isFile())
        return failure(QStringLiteral("nu este un fisier"));
    // SQLite takes an empty file for an empty database; no copy of ours is empty.
    if (file.size() == 0)
        return failure(QStringLiteral("fisierul este gol"));

    ReadOnlyDatabase db(path);
    if (!db.opened())
        return failure(QStringLiteral("fisierul nu poate fi deschis: %1").arg(db.error()));
    if (depth != CheckDepth::Summary) {
        QStringList verdict;
        if (!db.column("PRAGMA quick_check", &verdict))
            return unreadable(db);
        if (verdict != QStringList { QStringLiteral("ok") })
            return failure(QStringLiteral("baza de date este deteriorata: %1").arg(verdict.value(0)));
    }

    for (const RequiredTable& table : requiredTables()) {
        const QString tableName = QString::fromLatin1(table.name);
        QStringList columns;
        if (!db.column(QByteArray("SELECT name FROM pragma_table_info('") + table.name + "')", &columns))
            return unreadable(db);
        if (columns.isEmpty())
            return failure(QStringLiteral("lipseste tabela %1").arg(tableName));
        if (depth != CheckDepth::Columns)
            continue;
        for (const QString& required : table.columns) {
            if (!columns.contains(required, Qt::CaseInsensitive))
                return failure(QStringLiteral("tabela %1 nu are coloana %2").arg(tableName, required));
        }
    }

    // The history's tables, where the register has them: a restored register
    // whose history lacks a column could save no declaration.
    if (depth == CheckDepth::Columns) {
        for (const QString& table : HistoryTableNames()) {
            QStringList columns;
            if (!db.column("SELECT lower(name) FROM pragma_table_info('" + table.toLatin1() + "')", &columns))
                return unreadable(db);
            for (const QString& required : columns.isEmpty() ? QStringList() : HistoryTableColumns(table)) {
                if (!columns.contains(required))
                    return failure(QStringLiteral("tabela %1 nu are coloana %2").arg(table, required));
            }
        }
    }

    if (depth == CheckDepth::Columns) {
        // Names and types are read apart: a name may hold any character.
        QStringList types;
        QStringList names;
        QStringList statements;
        if (!db.column("SELECT type FROM sqlite_master ORDER BY rowid", &types)
            || !db.column("SELECT name FROM sqlite_master ORDER BY rowid", &names)
            || !db.column("SELECT coalesce(sql, '') FROM sqlite_master ORDER BY rowid", &statements))
            return unreadable(db);
        // What acts (a view, a trigger) is named before what only lies there.
        for (const bool acting : { true, false }) {
            for (qsizetype i = 0; i < types.size() && i < names.size() && i < statements.size(); ++i) {
                const bool acts = types.at(i) == QLatin1String("view") || types.at(i) == QLatin1String("trigger");
                if (acts == acting && !isOwnObject(types.at(i), names.at(i), statements.at(i)))
                    return failure(QStringLiteral("contine %1 %2, care nu face parte din registrul programului")
                                       .arg(objectWord(types.at(i)), names.at(i).left(64)));
            }
        }
    }

    QStringList payers;
    QStringList declarations;
    QStringList version;
    if (!db.column("SELECT count(*) FROM firme", &payers)
        || !db.column("SELECT count(*) FROM declaratii", &declarations) || !db.column("PRAGMA user_version", &version))
        return unreadable(db);
    DatabaseCheck check;
    check.schemaVersion = version.value(0).toLongLong();
    check.passed = true;
    check.payers = payers.value(0).toLongLong();
    check.declarations = declarations.value(0).toLongLong();
    return check;
}

} // namespace itm
