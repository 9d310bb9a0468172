#include "store/RegisterSchema.h"

#include "store/Connection.h"
#include "store/RegisterColumns.h"
#include "store/ServerSchema.h"

#include <algorithm>

namespace itm {

const QStringList& HistorySchemaStatements()
{
    // The copied columns have the types of the tables they come from, so that
    // a value goes in and comes back byte for byte.
    static const QStringList statements = {
        QStringLiteral("CREATE TABLE IF NOT EXISTS versiuni_declaratii (\n"
                       "    id INTEGER PRIMARY KEY,\n"
                       "    idstergere INTEGER,\n"
                       "    iddeclaratie INTEGER NOT NULL,\n"
                       "    versiune INTEGER NOT NULL,\n"
                       "    salvat TEXT,\n"
                       "    idfirma INTEGER,\n"
                       "    ln INTEGER,\n"
                       "    an INTEGER,\n"
                       "    rectificativ INTEGER,\n"
                       "    com25 INTEGER,\n"
                       "    nrsal INTEGER,\n"
                       "    fondlunsal NUMERIC,\n"
                       "    comdat INTEGER,\n"
                       "    comac INTEGER,\n"
                       "    comdec INTEGER,\n"
                       "    comdecac INTEGER\n"
                       ")"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS versiuni_declaratii_declaratie "
                       "ON versiuni_declaratii (iddeclaratie, idstergere)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS versiuni_declaratii_firma ON versiuni_declaratii (idfirma)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS firme_sterse (\n"
                       "    idstergere INTEGER PRIMARY KEY,\n"
                       "    sters TEXT NOT NULL,\n"
                       "    id INTEGER,\n"
                       "    cui VARCHAR(13),\n"
                       "    prefix INTEGER,\n"
                       "    denumire VARCHAR(100),\n"
                       "    sufix INTEGER,\n"
                       "    codjudet VARCHAR(2),\n"
                       "    loc VARCHAR(50),\n"
                       "    sector INTEGER,\n"
                       "    str VARCHAR(60),\n"
                       "    nr VARCHAR(10),\n"
                       "    bloc VARCHAR(10),\n"
                       "    scara VARCHAR(10),\n"
                       "    ap VARCHAR(10),\n"
                       "    codpostal VARCHAR(10),\n"
                       "    telefon VARCHAR(20),\n"
                       "    email VARCHAR(60),\n"
                       "    banca VARCHAR(60),\n"
                       "    cont VARCHAR(34),\n"
                       "    numerep VARCHAR(50),\n"
                       "    prenumerep VARCHAR(50),\n"
                       "    funcrep VARCHAR(50),\n"
                       "    faliment INTEGER,\n"
                       "    lcui VARCHAR(13),\n"
                       "    ldenumire VARCHAR(100),\n"
                       "    lcodjudet VARCHAR(2),\n"
                       "    lloc VARCHAR(50),\n"
                       "    lsector INTEGER,\n"
                       "    lstr VARCHAR(60),\n"
                       "    lnr VARCHAR(10),\n"
                       "    lbloc VARCHAR(10),\n"
                       "    lscara VARCHAR(10),\n"
                       "    lap VARCHAR(10),\n"
                       "    lcodpostal VARCHAR(10),\n"
                       "    lemail VARCHAR(60),\n"
                       "    ltelefon VARCHAR(20),\n"
                       "    lzi INTEGER,\n"
                       "    lln INTEGER,\n"
                       "    lan INTEGER\n"
                       ")"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS firme_sterse_cui ON firme_sterse (cui)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS declaratii_sterse (\n"
                       "    idstergere INTEGER NOT NULL,\n"
                       "    id INTEGER,\n"
                       "    idfirma INTEGER,\n"
                       "    ln INTEGER,\n"
                       "    an INTEGER,\n"
                       "    rectificativ INTEGER,\n"
                       "    com25 INTEGER,\n"
                       "    nrsal INTEGER,\n"
                       "    fondlunsal NUMERIC,\n"
                       "    comdat INTEGER,\n"
                       "    comac INTEGER,\n"
                       "    comdec INTEGER,\n"
                       "    comdecac INTEGER\n"
                       ")"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS declaratii_sterse_stergere ON declaratii_sterse (idstergere)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS declaratii_luna ON declaratii (an, ln)"),
    };
    return statements;
}

const QStringList& HistoryTableNames()
{
    static const QStringList names = { QStringLiteral("versiuni_declaratii"), QStringLiteral("firme_sterse"),
        QStringLiteral("declaratii_sterse") };
    return names;
}

const QStringList& HistoryIndexNames()
{
    static const QStringList names = { QStringLiteral("versiuni_declaratii_declaratie"),
        QStringLiteral("versiuni_declaratii_firma"), QStringLiteral("firme_sterse_cui"),
        QStringLiteral("declaratii_sterse_stergere"), QStringLiteral("declaratii_luna") };
    return names;
}

QStringList HistoryTableColumns(const QString& table)
{
    if (table == u"versiuni_declaratii")
        return QStringList { QStringLiteral("id"), QStringLiteral("idstergere"), QStringLiteral("iddeclaratie"),
            QStringLiteral("versiune"), QStringLiteral("salvat") }
        + DeclarationColumns();
    if (table == u"firme_sterse")
        return QStringList { QStringLiteral("idstergere"), QStringLiteral("sters"), QStringLiteral("id") }
        + PayerColumns();
    if (table == u"declaratii_sterse")
        return QStringList { QStringLiteral("idstergere"), QStringLiteral("id") } + DeclarationColumns();
    return {};
}

namespace {

QStringList columnsOf(Connection& connection, const QString& table)
{
    // A register on a server lists its columns in the standard catalogue.
    Statement query(connection,
        connection.handle() ? QStringLiteral("SELECT name FROM pragma_table_info(:table)")
                            : QStringLiteral("SELECT column_name FROM information_schema.columns "
                                             "WHERE table_schema = current_schema() AND table_name = :table "
                                             "ORDER BY ordinal_position"));
    query.bind(QStringLiteral("table"), table);
    QStringList columns;
    while (query.step())
        columns.append(query.text(0).toLower());
    return columns;
}

} // namespace

qint64 SchemaVersion(Connection& connection)
{
    if (!connection.handle())
        return std::max<qint64>(ServerSchemaVersion(connection), 0);
    Statement query(connection, QStringLiteral("PRAGMA user_version"));
    return query.step() ? query.integer(0) : 0;
}

bool HasKnownHistory(Connection& connection)
{
    const qint64 version = SchemaVersion(connection);
    if (version < 1 || version > KnownSchemaVersion)
        return false;
    for (const QString& table : HistoryTableNames()) {
        const QStringList columns = columnsOf(connection, table);
        for (const QString& required : HistoryTableColumns(table)) {
            if (!columns.contains(required))
                return false;
        }
    }
    return true;
}

bool HasAnyHistoryTable(Connection& connection)
{
    for (const QString& table : HistoryTableNames()) {
        if (!columnsOf(connection, table).isEmpty())
            return true;
    }
    return false;
}

} // namespace itm
