#include "backup/DatabaseCheck.h"

#include "BackupFixture.h"

#include <QTest>

using namespace itm;
using namespace itm::test;

class TestDatabaseCheck : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void aSoundDatabasePassesWithItsCounts()
    {
        TestDatabase database;
        fillRegister(database, 25);
        database.exec("DELETE FROM declaratii WHERE idfirma > 20");
        for (CheckDepth depth : { CheckDepth::Tables, CheckDepth::Columns }) {
            const DatabaseCheck check = CheckDatabaseFile(database.path(), depth);
            QVERIFY2(check.passed, qPrintable(check.problem));
            QCOMPARE(check.payers, 25);
            QCOMPARE(check.declarations, 20);
        }
    }

    void aFaultyFileFailsWithItsReason_data()
    {
        QTest::addColumn<QByteArray>("change"); // SQL run on a sound database, or a word for what is done to the file
        QTest::addColumn<bool>("passesTablesOnly");
        QTest::addColumn<QString>("reason");
        QTest::newRow("pages overwritten") << QByteArray("damage") << false << "deteriorata";
        QTest::newRow("not a database") << QByteArray("text") << false << "nu este o baza de date";
        QTest::newRow("empty") << QByteArray("empty") << false << "gol";
        QTest::newRow("missing") << QByteArray("remove") << false << "nu exista";
        QTest::newRow("no counties") << QByteArray("DROP TABLE judete") << false << "lipseste tabela judete";
        QTest::newRow("no declarations") << QByteArray("DROP TABLE declaratii") << false
                                         << "lipseste tabela declaratii";
        QTest::newRow("a payer column missing")
            << QByteArray("ALTER TABLE firme DROP COLUMN lemail") << true << "tabela firme nu are coloana lemail";
        QTest::newRow("a declaration column missing") << QByteArray("ALTER TABLE declaratii DROP COLUMN comdecac")
                                                      << true << "tabela declaratii nu are coloana comdecac";
    }
    void aFaultyFileFailsWithItsReason()
    {
        QFETCH(QByteArray, change);
        QFETCH(bool, passesTablesOnly);
        QFETCH(QString, reason);
        TestDatabase database;
        fillRegister(database, 2000);
        QFile file(database.path());
        if (change == "damage") {
            QVERIFY(damageFile(database.path()));
        } else if (change == "text") {
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(QByteArray("CUI,denumire\n").repeated(500));
            file.close();
        } else if (change == "empty") {
            QVERIFY(file.resize(0));
        } else if (change == "remove") {
            QVERIFY(file.remove());
        } else {
            database.exec(change);
        }
        const DatabaseCheck full = CheckDatabaseFile(database.path(), CheckDepth::Columns);
        QVERIFY(!full.passed);
        QVERIFY2(full.problem.contains(reason), qPrintable(full.problem));
        QCOMPARE(CheckDatabaseFile(database.path(), CheckDepth::Tables).passed, passesTablesOnly);
    }
};

QTEST_GUILESS_MAIN(TestDatabaseCheck)
#include "tst_databasecheck.moc"
