#include "records/DeletedPayers.h"
#include "records/RecordsFixture.h"
#include "store/Connection.h"
#include "store/Errors.h"
#include "support/SampleRecords.h"

#include <QTest>

using namespace itm;
using namespace itm::test;

namespace {

// Everything the register and its history hold, every column quoted.
QStringList everything(const TestDatabase& db)
{
    QStringList rows;
    for (const char* table : { "firme", "declaratii", "versiuni_declaratii", "firme_sterse", "declaratii_sterse" })
        rows << QStringLiteral("-- %1").arg(QLatin1String(table))
             << QueryRows(db.path(),
                    QStringLiteral("SELECT quote(t.rowid), t.* FROM %1 t ORDER BY t.rowid").arg(QLatin1String(table)));
    return rows;
}

// Payer 1 ("19") with two declarations, the first saved twice; payer 2 ("27") with one.
void seed(const TestDatabase& db)
{
    samples::addPayer(db, QStringLiteral("19"));
    samples::addPayer(db, QStringLiteral("27"), QStringLiteral("BETA"));
    AddDeclaration(db, 1, 3, 2007, QStringLiteral("0, 0, 1, 100, 1, 1, 0, 0"));
    AddDeclaration(db, 1, 4, 2007, QStringLiteral("1, 1, 'x2', 2000.5, 5, -3, 0, 0"));
    AddDeclaration(db, 2, 3, 2007, QStringLiteral("0, 0, 1, 100, 1, 1, 0, 0"));
    db.exec("INSERT INTO versiuni_declaratii (iddeclaratie, versiune, salvat, idfirma, ln, an, rectificativ, com25, "
            "nrsal, fondlunsal, comdat, comac, comdec, comdecac) VALUES "
            "(1, 1, NULL, 1, 3, 2007, 0, 0, 1, 90, 1, 0, 0, 0), (1, 2, '2007-04-02 10:00:00', 1, 3, 2007, 0, 0, 1, "
            "100, 1, 1, 0, 0),"
            "(3, 1, '2007-04-03 10:00:00', 2, 3, 2007, 0, 0, 1, 100, 1, 1, 0, 0)");
}

} // namespace

class TestDeletedPayers : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void aDeletedPayerComesBackWhole()
    {
        TestDatabase db;
        seed(db);
        const QStringList before = everything(db);
        Connection connection;
        connection.open(db.path());
        QVERIFY(DeletePayerKeepingHistory(connection, 1, true, QStringLiteral("2007-05-01 08:00:00"), true) > 0);
        QCOMPARE(QueryRows(db.path(), QStringLiteral("SELECT cui FROM firme")), QStringList { "27" });
        QCOMPARE(QueryRows(db.path(), QStringLiteral("SELECT idfirma FROM declaratii")), QStringList { "2" });
        // The other payer's versions stay with it.
        QCOMPARE(QueryRows(db.path(),
                     QStringLiteral("SELECT iddeclaratie FROM versiuni_declaratii WHERE idstergere IS NULL")),
            QStringList { "3" });
        const QList<DeletedPayer> deleted = DeletedPayers(connection);
        QCOMPARE(deleted.size(), 1);
        QCOMPARE(deleted.constFirst().code, QStringLiteral("19"));
        QCOMPARE(deleted.constFirst().name, QStringLiteral("S.C. ALFA S.R.L."));
        QCOMPARE(deleted.constFirst().deleted, QStringLiteral("2007-05-01 08:00:00"));
        QCOMPARE(deleted.constFirst().declarations, qint64(2));

        qint64 declarations = 0;
        QCOMPARE(UndeletePayer(connection, QStringLiteral("19"), &declarations), UndeleteOutcome::Restored);
        QCOMPARE(declarations, qint64(2));
        // Every column, key and version as it was; the history empty again.
        QStringList after = everything(db);
        QCOMPARE(after.size(), before.size());
        for (int i = 0; i < before.size(); ++i) {
            // The versions are stored again under keys of their own.
            if (!before.at(i).startsWith(u'-'))
                QCOMPARE(after.at(i).section(QStringLiteral(", "), 1), before.at(i).section(QStringLiteral(", "), 1));
        }
        QVERIFY(DeletedPayers(connection).isEmpty());
    }

    void keysTakenMeanwhileAreGivenAnew()
    {
        TestDatabase db;
        seed(db);
        Connection connection;
        connection.open(db.path());
        DeletePayerKeepingHistory(connection, 1, true, QStringLiteral("2007-05-01 08:00:00"), true);
        // A new payer and declaration take the keys the deleted ones had.
        db.exec("INSERT INTO firme (id, cui, denumire) VALUES (1, '35', 'GAMA');"
                "INSERT INTO declaratii (id, idfirma, ln, an) VALUES (1, 1, 3, 2007)");
        QCOMPARE(UndeletePayer(connection, QStringLiteral("19")), UndeleteOutcome::Restored);
        QCOMPARE(QueryRows(db.path(), QStringLiteral("SELECT id FROM firme WHERE cui = '19'")), QStringList { "3" });
        QCOMPARE(QueryRows(db.path(), QStringLiteral("SELECT id, idfirma, ln FROM declaratii ORDER BY id")),
            QStringList({ "1, 1, 3", "2, 3, 4", "3, 2, 3", "4, 3, 3" }));
        QCOMPARE(QueryRows(db.path(),
                     QStringLiteral("SELECT iddeclaratie, idfirma, versiune FROM versiuni_declaratii ORDER BY id")),
            QStringList({ "4, 3, 1", "4, 3, 2", "3, 2, 1" }));
    }

    void undeleteIsRefused_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<UndeleteOutcome>("outcome");
        QTest::newRow("another payer holds the code") << "27" << UndeleteOutcome::CodeTaken;
        QTest::newRow("no payer of that code deleted") << "35" << UndeleteOutcome::NotDeleted;
        QTest::newRow("the code as it was typed, not as stored") << " 19" << UndeleteOutcome::NotDeleted;
    }
    void undeleteIsRefused()
    {
        QFETCH(QString, code);
        QFETCH(UndeleteOutcome, outcome);
        TestDatabase db;
        seed(db);
        Connection connection;
        connection.open(db.path());
        DeletePayerKeepingHistory(connection, 1, true, QStringLiteral("2007-05-01 08:00:00"), true);
        // 27 deleted and given again to another payer.
        DeletePayerKeepingHistory(connection, 2, true, QStringLiteral("2007-05-02 08:00:00"), true);
        samples::addPayer(db, QStringLiteral("27"), QStringLiteral("DELTA"));
        const QStringList before = everything(db);
        QCOMPARE(UndeletePayer(connection, code), outcome);
        QCOMPARE(everything(db), before);
    }

    void aFailureInTheMiddleChangesNothing_data()
    {
        QTest::addColumn<bool>("undelete");
        QTest::addColumn<QByteArray>("trigger");
        QTest::newRow("delete: the payer row refused")
            << false << QByteArray("BEFORE DELETE ON firme BEGIN SELECT RAISE(ABORT, 'x'); END");
        QTest::newRow("delete: a declaration refused")
            << false << QByteArray("BEFORE DELETE ON declaratii WHEN old.ln = 4 BEGIN SELECT RAISE(ABORT, 'x'); END");
        QTest::newRow("undelete: the second declaration refused")
            << true << QByteArray("BEFORE INSERT ON declaratii WHEN new.ln = 4 BEGIN SELECT RAISE(ABORT, 'x'); END");
        QTest::newRow("undelete: its versions refused")
            << true << QByteArray("BEFORE UPDATE ON versiuni_declaratii BEGIN SELECT RAISE(ABORT, 'x'); END");
    }
    void aFailureInTheMiddleChangesNothing()
    {
        QFETCH(bool, undelete);
        QFETCH(QByteArray, trigger);
        TestDatabase db;
        seed(db);
        Connection connection;
        connection.open(db.path());
        if (undelete)
            DeletePayerKeepingHistory(connection, 1, true, QStringLiteral("2007-05-01 08:00:00"), true);
        db.exec("CREATE TRIGGER fails " + trigger);
        const QStringList before = everything(db);
        if (undelete)
            QVERIFY_THROWS_EXCEPTION(DatabaseError, UndeletePayer(connection, QStringLiteral("19")));
        else
            QVERIFY_THROWS_EXCEPTION(DatabaseError,
                DeletePayerKeepingHistory(connection, 1, true, QStringLiteral("2007-05-01 08:00:00"), true));
        QCOMPARE(everything(db), before);
        QVERIFY(!connection.inTransaction());
    }
};

QTEST_GUILESS_MAIN(TestDeletedPayers)
#include "tst_deletedpayers.moc"
