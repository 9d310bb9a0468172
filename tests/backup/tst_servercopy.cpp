#include "backup/ServerCopy.h"
#include "platform/Job.h"
#include "store/Connection.h"
#include "store/Errors.h"
#include "store/ServerSchema.h"
#include "support/TestDatabase.h"

#include <QTest>

using namespace itm;
using itm::test::TestDatabase;

namespace {

// The rows of every table of a register, in one order, as the store reads them.
QList<QVariantList> rowsOf(const QString& location)
{
    Connection connection;
    connection.open(location, true);
    QList<QVariantList> rows;
    for (const QString& table : RegisterTableNames()) {
        Statement query(connection, QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2, 3").arg(table));
        while (query.step()) {
            QVariantList row { table };
            for (int i = 0; i < query.columnCount(); ++i)
                row.append(query.value(i));
            rows.append(row);
        }
    }
    return rows;
}

QStringList codesInOrder(const QString& location)
{
    Connection connection;
    connection.open(location, true);
    Statement query(connection, QStringLiteral("SELECT cui FROM firme ORDER BY cui"));
    QStringList codes;
    while (query.step())
        codes.append(query.text(0));
    return codes;
}

} // namespace

// A register on a PostgreSQL server made by init, filled from a file and
// copied back into one; each test has a database of its own on the run's
// throw-away server.
class TestServerCopy : public QObject
{
    Q_OBJECT

    int m_databases = 0;

    // A new empty database on the server, whose texts sort by the Romanian
    // alphabet unless a column says otherwise (as an office's server may).
    QString newDatabase()
    {
        const QString name = QStringLiteral("registru%1").arg(++m_databases);
        Connection server;
        server.open(QStringLiteral("postgresql://"));
        server.exec(QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 LOCALE_PROVIDER icu ICU_LOCALE 'ro-RO' "
                                   "LOCALE 'C.UTF-8'")
                        .arg(name));
        return QStringLiteral("dbname=%1").arg(name);
    }

private Q_SLOTS:
    void init()
    {
        if (qEnvironmentVariableIsEmpty("PGPORT"))
            QSKIP("no PostgreSQL server: run under pg_virtualenv");
    }

    void initMakesTheRegisterOnce()
    {
        const QString database = newDatabase();
        Connection connection;
        connection.open(database);
        QCOMPARE(InitServerRegister(connection), ServerInit::Created);
        QCOMPARE(InitServerRegister(connection), ServerInit::AlreadyThere);
        QCOMPARE(ServerSchemaVersion(connection), qint64(2));
        // A register made before saves were told to the other programs gets that alone.
        connection.exec(QStringLiteral("DROP FUNCTION registru_schimbat() CASCADE"));
        QCOMPARE(InitServerRegister(connection), ServerInit::NoticeAdded);
        QCOMPARE(InitServerRegister(connection), ServerInit::AlreadyThere);
        // One whose notice of saved payers named none gets them named.
        connection.exec(QStringLiteral("DROP FUNCTION firme_schimbate() CASCADE"));
        connection.exec(QStringLiteral("CREATE TRIGGER firme_schimbat AFTER INSERT OR UPDATE OR DELETE ON firme "
                                       "FOR EACH STATEMENT EXECUTE FUNCTION registru_schimbat()"));
        QCOMPARE(InitServerRegister(connection), ServerInit::NoticeAdded);
        QCOMPARE(InitServerRegister(connection), ServerInit::AlreadyThere);
        Statement oldTrigger(
            connection, QStringLiteral("SELECT count(*) FROM pg_trigger WHERE tgname = 'firme_schimbat'"));
        QVERIFY(oldTrigger.step());
        QCOMPARE(oldTrigger.integer(0), qint64(0));
        // The counties as the set-up's.
        TestDatabase local;
        QCOMPARE(rowsOf(database), rowsOf(local.path()));
        // One code once; codes listed in byte order, as SQLite lists them.
        for (const QString& code : QStringList { "b", "B", "_1", "a", "\u0102", "10", "9" }) {
            local.exec(QStringLiteral("INSERT INTO firme (cui) VALUES ('%1')").arg(code).toUtf8());
            Statement insert(connection, QStringLiteral("INSERT INTO firme (cui) VALUES (:cui)"));
            insert.bind(QStringLiteral("cui"), code);
            insert.step();
        }
        QCOMPARE(codesInOrder(database), codesInOrder(local.path()));
        Statement twice(connection, QStringLiteral("INSERT INTO firme (cui) VALUES ('b')"));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, twice.step());
    }

    void initRefusesTablesItDidNotMake()
    {
        Connection connection;
        connection.open(newDatabase());
        connection.exec(QStringLiteral("CREATE TABLE firme (id INTEGER)"));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, InitServerRegister(connection));
        Statement tables(connection, QStringLiteral("SELECT count(*) FROM pg_tables WHERE schemaname = 'public'"));
        QVERIFY(tables.step());
        QCOMPARE(tables.integer(0), qint64(1));
    }

    void copiesGoBothWaysRowForRow()
    {
        TestDatabase local;
        local.exec("INSERT INTO firme (cui, denumire, sector, loc) VALUES ('RO19', 'Firma \xc8\x98 \"X\"', 3, NULL);"
                   "INSERT INTO firme (id, cui, denumire) VALUES (40, '7', 'A');"
                   "INSERT INTO declaratii (idfirma, ln, an, com25, fondlunsal) VALUES (1, 5, 2026, 12, 1234.5);"
                   "INSERT INTO declaratii (idfirma, ln, an, com25, fondlunsal) VALUES (40, 6, 2026, 0, 1200);"
                   "INSERT INTO versiuni_declaratii (iddeclaratie, versiune, salvat, idfirma) "
                   "VALUES (1, 1, '2026-06-01 10:00:00', 1);"
                   "INSERT INTO firme_sterse (sters, id, cui) VALUES ('2026-06-02 11:00:00', 41, 'GONE');"
                   "INSERT INTO declaratii_sterse (idstergere, id, idfirma, ln) VALUES (1, 9, 41, 4);"
                   "DELETE FROM judete WHERE codjudet = '52';");
        const QString database = newDatabase();
        {
            Connection connection;
            connection.open(database);
            InitServerRegister(connection);
        }
        JobProgress progress;
        const QList<CopiedTable> copied = CopyFileToServer(local.path(), database, progress);
        QCOMPARE(copied.size(), RegisterTableNames().size());
        QCOMPARE(copied.at(0).table, QStringLiteral("firme"));
        QCOMPARE(copied.at(0).rows, qint64(2));
        QCOMPARE(rowsOf(database), rowsOf(local.path()));
        // The server numbers new payers after the copied ones.
        {
            Connection connection;
            connection.open(database);
            connection.exec(QStringLiteral("INSERT INTO firme (cui) VALUES ('NEW')"));
            QCOMPARE(connection.lastInsertRowId(), qint64(41));
            connection.exec(QStringLiteral("DELETE FROM firme WHERE cui = 'NEW'"));
        }
        // Onto a register that holds payers: refused, nothing changed.
        try {
            CopyFileToServer(local.path(), database, progress);
            QFAIL("copied onto a register with payers");
        } catch (const Error& error) {
            QVERIFY2(error.message().contains(QLatin1String("nu este gol")), qPrintable(error.message()));
        }
        QCOMPARE(rowsOf(database), rowsOf(local.path()));

        const QString back = local.folder() + QStringLiteral("/inapoi.itm");
        CopyServerToFile(database, back, progress);
        QCOMPARE(rowsOf(back), rowsOf(local.path()));
        Connection file;
        file.open(back, true);
        Statement version(file, QStringLiteral("PRAGMA user_version"));
        QVERIFY(version.step());
        QCOMPARE(version.integer(0), qint64(2));
        // A file already there is not replaced.
        QVERIFY_THROWS_EXCEPTION(Error, CopyServerToFile(database, local.path(), progress));
    }

    void aCancelledCopyLeavesTheServerEmpty()
    {
        TestDatabase local;
        local.exec("INSERT INTO firme (cui) VALUES ('RO19');");
        const QString database = newDatabase();
        {
            Connection connection;
            connection.open(database);
            InitServerRegister(connection);
        }
        JobProgress progress;
        progress.requestCancel();
        QVERIFY_THROWS_EXCEPTION(JobCancelled, CopyFileToServer(local.path(), database, progress));
        Connection connection;
        connection.open(database);
        Statement payers(connection, QStringLiteral("SELECT count(*) FROM firme"));
        QVERIFY(payers.step());
        QCOMPARE(payers.integer(0), qint64(0));
    }
};

QTEST_GUILESS_MAIN(TestServerCopy)
#include "tst_servercopy.moc"
