#include "store/Dataset.h"
#include "store/Errors.h"
#include "store/Tdm.h"
#include "support/SampleRecords.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace samples = itm::test::samples;

using namespace itm;
using itm::test::TestDatabase;

// The payer register's keys read in the background: whatever the cursor is
// asked before the read's result is taken gives what a cursor that read
// everything at once gives.
class TestKeyLoad : public QObject
{
    Q_OBJECT

    // Payers whose codes are spread out of their row order. With the index
    // built after the rows, its pages are the last ones of the file.
    static void fillRegister(const TestDatabase& db, int rows)
    {
        db.exec(QStringLiteral("DROP INDEX firme_cui;"
                               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                               "INSERT INTO firme (cui, denumire, prefix, sufix) "
                               "SELECT printf('%d', 1000000 + (i * 7919) % 8999999), 'FIRMA', 1, 1 FROM n;"
                               "CREATE INDEX firme_cui ON firme (cui);")
                    .arg(rows)
                    .toUtf8());
    }

    // The payer query of dm opened again, its keys read in the background or (-1) at once.
    static Dataset& openInBackground(Tdm& dm, qint64 backgroundFrom = 0)
    {
        Dataset& payers = *dm.qryFirme;
        payers.Close();
        payers.setLoadKeysInBackground(backgroundFrom);
        payers.Open();
        return payers;
    }

    // The payer query on its own, its keys read at once or (backgroundFrom 0) in the background.
    static std::unique_ptr<Dataset> openPayers(Connection& connection, qint64 backgroundFrom = -1)
    {
        auto payers = std::make_unique<Dataset>(connection, QStringLiteral("payers"));
        payers->setSql(QStringLiteral("select * from firme order by cui"));
        payers->setCachedColumns({ QStringLiteral("cui") });
        payers->setLoadKeysInBackground(backgroundFrom);
        payers->Open();
        return payers;
    }

    static QString rows(Dataset& payers)
    {
        const QVector<QString> ids = payers.columnTexts(QStringLiteral("id"));
        const QVector<QString> codes = payers.columnTexts(QStringLiteral("cui"));
        QStringList rows;
        for (int i = 0; i < ids.size(); ++i)
            rows.append(ids[i] + u':' + codes[i]);
        return rows.join(u' ');
    }

    static QString current(Dataset& payers)
    {
        return QStringLiteral("row %1 id %2 cui %3 eof %4")
            .arg(payers.RecNo())
            .arg(payers.FieldByName(QStringLiteral("id")).AsString(),
                payers.FieldByName(QStringLiteral("cui")).AsString())
            .arg(payers.Eof());
    }

    // One operation, and what it leaves to be seen.
    static QString run(Dataset& payers, const QString& operation)
    {
        const LocateOptions typing = LocateCaseInsensitive | LocatePartialKey;
        if (operation == u"first row")
            return current(payers) + QStringLiteral(" empty %1").arg(payers.IsEmpty());
        if (operation == u"count")
            return QString::number(payers.RecordCount());
        if (operation == u"walk") {
            QStringList ids;
            for (payers.First(); !payers.Eof(); payers.Next())
                ids.append(payers.FieldByName(QStringLiteral("id")).AsString());
            return ids.join(u' ') + u' ' + current(payers);
        }
        if (operation == u"last") {
            payers.setRecNo(payers.RecordCount());
            return current(payers);
        }
        if (operation == u"typed code")
            return QString::number(payers.Locate(QStringLiteral("cui"), QStringLiteral("5"), typing)) + current(payers);
        if (operation == u"codes typed one after another") {
            QString seen;
            for (const char* typed : { "1", "10", "100", "2", "9999" })
                seen += QString::number(payers.Locate(QStringLiteral("cui"), QString::fromLatin1(typed), typing))
                    + payers.FieldByName(QStringLiteral("cui")).AsString() + u' ';
            return seen + current(payers);
        }
        if (operation == u"letters typed one after another") {
            QString seen;
            for (const char* typed : { "r", "rO", "ro6", "RO51", "rx", "Ro7" })
                seen += QString::number(payers.Locate(QStringLiteral("cui"), QString::fromLatin1(typed), typing))
                    + payers.FieldByName(QStringLiteral("cui")).AsString() + u' ';
            return seen + current(payers);
        }
        if (operation == u"whole code with letters")
            return QString::number(payers.Locate(QStringLiteral("cui"), QStringLiteral("RO51"), LocateCaseInsensitive))
                + QString::number(payers.Locate(QStringLiteral("cui"), QStringLiteral("RO"), LocateCaseInsensitive))
                + QString::number(payers.Locate(QStringLiteral("cui"), QStringLiteral("Ro6"), LocatePartialKey))
                + current(payers);
        if (operation == u"whole code")
            return QString::number(
                       payers.Locate(QStringLiteral("cui"), QStringLiteral("1007919"), LocateCaseInsensitive))
                + QString::number(payers.Locate(QStringLiteral("cui"), QStringLiteral("100791"), LocateCaseInsensitive))
                + current(payers);
        if (operation == u"typed code, then the count") {
            payers.Locate(QStringLiteral("cui"), QStringLiteral("5"), typing);
            const QString found = payers.FieldByName(QStringLiteral("cui")).AsString();
            return found + u' ' + QString::number(payers.RecordCount()) + current(payers);
        }
        if (operation == u"code not there")
            return QString::number(payers.Locate(QStringLiteral("cui"), QStringLiteral("x"), typing)) + current(payers);
        if (operation == u"by id")
            return QString::number(payers.Locate(QStringLiteral("id"), QStringLiteral("77"))) + current(payers);
        if (operation == u"column texts")
            return rows(payers);
        if (operation == u"post") {
            payers.Locate(QStringLiteral("cui"), QStringLiteral("3"), typing);
            payers.Edit();
            payers.FieldByName(QStringLiteral("cui")).setAsString(QStringLiteral("0001"));
            payers.Post();
            payers.Refresh();
            return rows(payers) + current(payers);
        }
        if (operation == u"append") {
            payers.Append();
            payers.FieldByName(QStringLiteral("cui")).setAsString(QStringLiteral("4"));
            payers.Post();
            payers.Refresh();
            return rows(payers) + current(payers);
        }
        if (operation == u"delete") {
            payers.Delete();
            return rows(payers) + current(payers);
        }
        return QStringLiteral("unknown operation");
    }

private Q_SLOTS:
    void anOpenInBackgroundAnswersAsAReadAtOnce_data()
    {
        QTest::addColumn<QString>("operation");
        for (const char* operation :
            { "first row", "count", "walk", "last", "typed code", "codes typed one after another",
                "letters typed one after another", "whole code with letters", "whole code",
                "typed code, then the count", "code not there", "by id", "column texts", "post", "append", "delete" })
            QTest::newRow(operation) << QString::fromLatin1(operation);
    }
    void anOpenInBackgroundAnswersAsAReadAtOnce()
    {
        QFETCH(QString, operation);
        TestDatabase inBackground;
        TestDatabase atOnce;
        for (const TestDatabase* db : { &inBackground, &atOnce }) {
            fillRegister(*db, 3000);
            // Codes with letters, written in every case.
            db->exec("INSERT INTO firme (cui, denumire, prefix, sufix) VALUES ('ro51', 'FIRMA', 1, 1), "
                     "('Ro6', 'FIRMA', 1, 1), ('RO5', 'FIRMA', 1, 1), ('rO7', 'FIRMA', 1, 1)");
        }
        Tdm referenceModule(atOnce.path());
        Dataset& reference = openInBackground(referenceModule, -1);
        Tdm dm(inBackground.path());
        Dataset& payers = openInBackground(dm);
        QSignalSpy told(&payers, &Dataset::recordChanged);
        // No event is handled in between: the read's result is taken by the operation itself.
        QCOMPARE(run(payers, operation), run(reference, operation));
        // The keys were read in the background: the controls are told once the read has ended.
        QTRY_VERIFY(!told.isEmpty());
        QCOMPARE(rows(payers), rows(reference));
    }

    void aWriteBeforeTheResultIsTakenIsReadByRefresh()
    {
        TestDatabase db;
        fillRegister(db, 3000);
        Tdm dm(db.path());
        Dataset& payers = openInBackground(dm);
        samples::addPayer(db, QStringLiteral("0999"));
        QVERIFY(payers.RecordCount() > 0);
        payers.Refresh();
        Connection connection;
        connection.open(db.path());
        QCOMPARE(rows(payers), rows(*openPayers(connection)));
        QVERIFY(payers.Locate(QStringLiteral("cui"), QStringLiteral("0999")));
    }

    void closingOrDestroyingWhileTheKeysAreRead()
    {
        TestDatabase db;
        fillRegister(db, 20000);
        {
            Tdm dm(db.path());
            Dataset& payers = openInBackground(dm);
            payers.Close();
            QVERIFY(!payers.Active());
            // Opened again at once: a call left by the stopped read tells nothing.
            payers.setLoadKeysInBackground(-1);
            payers.Open();
            QSignalSpy told(&payers, &Dataset::recordChanged);
            QCoreApplication::processEvents();
            QVERIFY(told.isEmpty());
            QCOMPARE(payers.RecordCount(), 20000);
            openInBackground(dm);
        }
        Tdm dm(db.path());
        QCOMPARE(openInBackground(dm).RecordCount(), 20000);
    }

    void aDamagedFileReportsAsAReadAtOnce()
    {
        TestDatabase db;
        fillRegister(db, 3000);
        QFile file(db.path());
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.seek(file.size() - 4096);
        file.write(QByteArray(4096, '\xff'));
        file.close();

        Connection connection;
        connection.open(db.path());
        QString readAtOnce;
        try {
            openPayers(connection);
        } catch (const DatabaseError& error) {
            readAtOnce = error.message();
        }
        QVERIFY(!readAtOnce.isEmpty());

        // The first row is read by the index, the damage lies further on.
        const auto payers = openPayers(connection, 0);
        QVERIFY(!payers->IsEmpty());
        QTRY_VERIFY(payers->keysReady());
        // Taken by the search, then once more asked for after the read's own call.
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                payers->Locate(QStringLiteral("cui"), QStringLiteral("5"), LocatePartialKey);
                QFAIL("the damaged register was searched");
            } catch (const DatabaseError& error) {
                QCOMPARE(error.message(), readAtOnce);
            }
            QCoreApplication::processEvents();
        }
        QVERIFY_THROWS_EXCEPTION(DatabaseError, payers->Refresh());
    }
};

QTEST_GUILESS_MAIN(TestKeyLoad)
#include "tst_keyload.moc"
