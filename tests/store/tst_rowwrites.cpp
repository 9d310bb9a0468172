// What the data store writes when the database changes under it: another
// program deletes or adds rows, the file is replaced or made writable again,
// or a row made by hand holds what the program itself never stores.
#include "store/Errors.h"
#include "store/StoredText.h"
#include "store/Tdm.h"
#include "store/UpdateSql.h"
#include "support/SampleRecords.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QProcess>
#include <QTest>
#include <sqlite3.h>

namespace samples = itm::test::samples;

using namespace itm;
using itm::test::TestDatabase;

namespace {

// The SQL runs in a process of its own, as another program would run it.
bool runElsewhere(const TestDatabase& db, const QString& sql)
{
    QProcess other;
    other.start(QStringLiteral(ITM_TEST_SQL_PATH), { db.path(), sql });
    return other.waitForFinished() && other.exitStatus() == QProcess::NormalExit && other.exitCode() == 0;
}

QByteArray storedBytes(const TestDatabase& db, const char* sql)
{
    sqlite3* handle = nullptr;
    sqlite3_open_v2(db.path().toUtf8().constData(), &handle, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(handle, sql, -1, &statement, nullptr);
    QByteArray bytes;
    if (sqlite3_step(statement) == SQLITE_ROW)
        bytes = QByteArray(
            reinterpret_cast<const char*>(sqlite3_column_blob(statement, 0)), sqlite3_column_bytes(statement, 0));
    sqlite3_finalize(statement);
    sqlite3_close(handle);
    return bytes;
}

QString postError(Dataset& dataset)
{
    try {
        dataset.Post();
    } catch (const Error& error) {
        return error.message();
    }
    return QString();
}

} // namespace

class TestRowWrites : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void aRowGoneElsewhereIsNeitherChangedNorDeleted_data()
    {
        QTest::addColumn<QString>("elsewhere");
        QTest::addColumn<bool>("deleting");
        QTest::newRow("deleted, then saved") << "DELETE FROM firme WHERE cui = '19'" << false;
        QTest::newRow("deleted, then deleted") << "DELETE FROM firme WHERE cui = '19'" << true;
        // The same id now holds another payer: the edit must not land on it.
        QTest::newRow("id taken by another payer")
            << "DELETE FROM firme WHERE cui = '19'; INSERT INTO firme (id, cui, loc) VALUES (1, '230', 'ARAD')"
            << false;
    }
    void aRowGoneElsewhereIsNeitherChangedNorDeleted()
    {
        QFETCH(QString, elsewhere);
        QFETCH(bool, deleting);
        TestDatabase db;
        samples::addPayer(db, QStringLiteral("19"));
        Tdm dm(db.path());
        Dataset& payers = *dm.qryFirme;
        if (!deleting) {
            payers.Edit();
            payers.FieldByName(QStringLiteral("loc")).setAsString(QStringLiteral("IASI"));
        }
        QVERIFY(runElsewhere(db, elsewhere));

        if (deleting) {
            QVERIFY_THROWS_EXCEPTION(DatabaseError, payers.Delete());
            QCOMPARE(payers.RecordCount(), 1);
            return;
        }
        QCOMPARE(postError(payers), RecordGoneMessage());
        QCOMPARE(payers.State(), DatasetState::Edit);
        QCOMPARE(payers.FieldByName(QStringLiteral("loc")).AsString(), QStringLiteral("IASI"));
        QVERIFY(storedBytes(db, "SELECT loc FROM firme WHERE loc = 'IASI'").isEmpty());
    }

    void aCodeAddedElsewhereIsNotAddedTwice()
    {
        TestDatabase db;
        Tdm dm(db.path());
        Dataset& payers = *dm.qryFirme;
        payers.Append();
        payers.FieldByName(QStringLiteral("cui")).setAsString(QStringLiteral("19"));
        QVERIFY(runElsewhere(db, QStringLiteral("INSERT INTO firme (cui) VALUES ('19')")));

        QCOMPARE(postError(payers), QStringLiteral("In registru exista deja o firma cu codul fiscal 19"));
        QCOMPARE(payers.State(), DatasetState::Insert);
        QCOMPARE(storedBytes(db, "SELECT count(*) FROM firme"), QByteArray("1"));
    }

    void everyControlCharacterBecomesABlank()
    {
        TestDatabase db;
        samples::addPayer(db, QStringLiteral("19"));
        Tdm dm(db.path());
        Dataset& payers = *dm.qryFirme;
        payers.Edit();
        payers.FieldByName(QStringLiteral("denumire")).setAsString(QStringLiteral("ALFA\r\nBETA\tX\x7f\x01Y"));
        payers.FieldByName(QStringLiteral("str")).setAsString(QStringLiteral("\n"));
        payers.Post();
        QCOMPARE(storedBytes(db, "SELECT denumire FROM firme"), QByteArray("ALFA  BETA X  Y"));
        QCOMPARE(storedBytes(db, "SELECT str FROM firme"), QByteArray(" "));
    }

    void bytesThatAreNoUtf8AreKeptAsStored()
    {
        TestDatabase db;
        samples::addPayer(db, QStringLiteral("19"));
        // An 8-bit code page's S-comma, a lone continuation byte, a cut sequence.
        const QByteArray name("\xaa"
                              "ARA \x80 \xc3 \xe2\x82 ALFA \xc8\x98");
        db.exec("UPDATE firme SET denumire = CAST(X'" + name.toHex() + "' AS TEXT)");
        Tdm dm(db.path());
        Dataset& payers = *dm.qryFirme;
        payers.Edit();
        payers.FieldByName(QStringLiteral("loc")).setAsString(QStringLiteral("IASI"));
        payers.Post();
        QCOMPARE(storedBytes(db, "SELECT denumire FROM firme"), name);
        QCOMPARE(storedBytes(db, "SELECT loc FROM firme"), QByteArray("IASI"));
    }

    // One statement written many times keeps each row's own text, whatever
    // the text before it was: longer, shorter, empty, other letters, raw bytes.
    void eachRowOfABatchKeepsItsOwnText()
    {
        TestDatabase db;
        Tdm dm(db.path());
        UpdateSql update;
        update.insertSql = QStringLiteral("INSERT INTO firme (cui, denumire) VALUES (:cui, :denumire)");
        const QList<QByteArray> names { "ALFA SRL", "B", "",
            "\xc8\x98"
            "ARA LUNGA DE TOT",
            "\xaa"
            "ARA",
            "C" };
        {
            RowWriter writer(dm.con, update, { QStringLiteral("cui"), QStringLiteral("denumire") });
            for (int i = 0; i < names.size(); ++i)
                writer.write(RowWrite::Insert, { QString::number(i + 1), StoredTextFromBytes(names.at(i)) }, {});
        }
        for (int i = 0; i < names.size(); ++i) {
            const QByteArray sql = "SELECT denumire FROM firme WHERE cui = '" + QByteArray::number(i + 1) + "'";
            QCOMPARE(storedBytes(db, sql.constData()), names.at(i));
        }
        // An empty text stays a text, not a missing value.
        QCOMPARE(storedBytes(db, "SELECT typeof(denumire) FROM firme WHERE cui = '3'"), QByteArray("text"));
    }

    // A value the same as the row before's is not bound again: each row
    // still stores its own value, of its own kind.
    void aValueRepeatedIsStoredWithItsKind()
    {
        TestDatabase db;
        db.exec("CREATE TABLE t (k INTEGER, v)");
        Tdm dm(db.path());
        UpdateSql update;
        update.insertSql = QStringLiteral("INSERT INTO t (k, v) VALUES (:k, :v)");
        const QVariantList values { QVariant(), QStringLiteral("B"), QString(u'B'), QVariant(), QStringLiteral("B"),
            qint64(5), QStringLiteral("5"), QStringLiteral("5"), qint64(5), qint64(5), QString(), QVariant() };
        {
            RowWriter writer(dm.con, update, { QStringLiteral("k"), QStringLiteral("v") });
            for (int i = 0; i < values.size(); ++i)
                writer.write(RowWrite::Insert, { qint64(i), values.at(i) }, {});
        }
        QCOMPARE(storedBytes(db, "SELECT group_concat(quote(v), ' ') FROM (SELECT v FROM t ORDER BY k)"),
            QByteArray("NULL 'B' 'B' NULL 'B' 5 '5' '5' 5 5 '' NULL"));
    }

    void aTextInANumberColumnNamesTheColumn()
    {
        TestDatabase db;
        samples::addPayer(db, QStringLiteral("19"));
        db.exec("UPDATE firme SET faliment = 'DA'");
        Tdm dm(db.path());
        Dataset& payers = *dm.qryFirme;
        payers.Edit();
        QCOMPARE(postError(payers), QStringLiteral("Coloana 'faliment': 'DA' is not a valid integer value"));
        QCOMPARE(payers.State(), DatasetState::Edit);
    }

    // Deleted and put back while the program had it open: the post that
    // finds it gone says so, the next one writes into the file put back.
    void aPostSucceedsOnceTheFileIsBack()
    {
        TestDatabase db;
        samples::addPayer(db, QStringLiteral("19"));
        const QString copy = db.folder() + QStringLiteral("/copy.itm");
        Tdm dm(db.path());
        Dataset& payers = *dm.qryFirme;
        payers.Edit();
        payers.FieldByName(QStringLiteral("loc")).setAsString(QStringLiteral("IASI"));
        QVERIFY(QFile::copy(db.path(), copy));
        QVERIFY(QFile::remove(db.path()));
        QCOMPARE(postError(payers), QStringLiteral("Fisierul bazei de date %1 nu mai exista").arg(db.path()));
        QCOMPARE(payers.State(), DatasetState::Edit);

        QVERIFY(QFile::rename(copy, db.path()));
        QCOMPARE(postError(payers), QString());
        payers.Refresh();
        QCOMPARE(payers.FieldByName(QStringLiteral("loc")).AsString(), QStringLiteral("IASI"));
        QCOMPARE(storedBytes(db, "SELECT loc FROM firme"), QByteArray("IASI"));
    }
};

QTEST_GUILESS_MAIN(TestRowWrites)
#include "tst_rowwrites.moc"
