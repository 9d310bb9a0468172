#include "store/Connection.h"
#include "store/Errors.h"
#include "store/RegisterColumns.h"
#include "store/Tdm.h"
#include "support/SampleRecords.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <sqlite3.h>

namespace samples = itm::test::samples;

using namespace itm;
using itm::test::TestDatabase;

class TestTdm : public QObject
{
    Q_OBJECT

    static QString openError(const QString& path)
    {
        try {
            Tdm dm(path);
        } catch (const DatabaseError& error) {
            return error.message();
        }
        return QString();
    }

    static void fillNewPayer(Dataset& payers, const QString& cui)
    {
        payers.Append();
        payers.FieldByName(QStringLiteral("cui")).setAsString(cui);
        payers.FieldByName(QStringLiteral("denumire")).setAsString(QStringLiteral("ALFA, BETA"));
        payers.FieldByName(QStringLiteral("prefix")).setAsInteger(1);
        payers.FieldByName(QStringLiteral("sufix")).setAsInteger(1);
    }

private Q_SLOTS:
    void startFailsWithSqliteMessage_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing file") << "missing"
                                      << "unable to open database file";
        QTest::newRow("damaged file") << "damaged"
                                      << "file is not a database";
        QTest::newRow("no tables") << "empty"
                                   << "no such table: firme";
        QTest::newRow("no declarations") << "nodecl"
                                         << "no such table: declaratii";
    }
    void startFailsWithSqliteMessage()
    {
        QFETCH(QString, setup);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("date.itm"));
        if (setup == u"damaged") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(4096, 'x'));
        } else if (setup != u"missing") {
            sqlite3* db = nullptr;
            sqlite3_open(path.toUtf8().constData(), &db);
            if (setup == u"nodecl")
                sqlite3_exec(db,
                    "create table firme(id integer primary key, cui text); create table judete(id "
                    "integer primary key, codjudet text, denumire text);",
                    nullptr, nullptr, nullptr);
            else
                sqlite3_exec(db, "create table other(x)", nullptr, nullptr, nullptr);
            sqlite3_close(db);
        }
        QCOMPARE(openError(path), message);
        if (setup == u"missing")
            QVERIFY2(!QFile::exists(path), "the database file must never be created");
    }

    // The update statements and the printed form's value types come from these
    // lists; a column added to the schema and not to them would never be written.
    void registerColumnsMatchTheShippedSchema_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("columns");
        QTest::newRow("firme") << "firme" << PayerColumns();
        QTest::newRow("declaratii") << "declaratii" << DeclarationColumns();
        QTest::newRow("judete") << "judete" << QStringList { QStringLiteral("codjudet"), QStringLiteral("denumire") };
    }
    void registerColumnsMatchTheShippedSchema()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, columns);
        TestDatabase db;
        Connection connection;
        connection.open(db.path(), true);
        Statement info(connection, QStringLiteral("PRAGMA table_info(%1)").arg(table));
        QStringList names;
        while (info.step()) {
            const QString name = info.text(1);
            QVERIFY2(IsIntegerColumn(name) == info.text(2).startsWith(QLatin1String("INT")), qPrintable(name));
            if (name != QLatin1String("id"))
                names.append(name);
        }
        QCOMPARE(names, columns);
    }

    void opensPayerAndCountyQueries()
    {
        TestDatabase db;
        samples::addPayer(db, QStringLiteral("19"));
        Tdm dm(db.path());
        QVERIFY(dm.qryFirme->Active());
        QVERIFY(dm.qryJudete->Active());
        QVERIFY(dm.qryJudL->Active());
        QVERIFY(!dm.qryDeclaratii->Active());
        QCOMPARE(dm.qryJudete->RecordCount(), 42);
        QCOMPARE(dm.qryJudete->FieldByName(QStringLiteral("denumire")).AsString(), QStringLiteral("ALBA"));
        QVERIFY(dm.qryJudete->Locate(QStringLiteral("denumire"), QStringLiteral("BUCURESTI")));
        QCOMPARE(dm.qryJudete->FieldByName(QStringLiteral("codjudet")).AsString(), QStringLiteral("40"));
        QCOMPARE(dm.qryFirme->RecordCount(), 1);
    }

    void payerPostCleansTexts()
    {
        TestDatabase db;
        Tdm dm(db.path());
        QSignalSpy cleaned(&dm, &Tdm::payerCleaned);
        Dataset& payers = *dm.qryFirme;
        fillNewPayer(payers, QStringLiteral("19"));
        payers.FieldByName(QStringLiteral("numerep")).setAsString(QStringLiteral("O'NEIL"));
        payers.FieldByName(QStringLiteral("str")).setAsString(QStringLiteral("STR \"MARE\""));
        payers.Post();
        QCOMPARE(cleaned.count(), 1);
        payers.Refresh();
        QVERIFY(payers.Locate(QStringLiteral("cui"), QStringLiteral("19"), LocateCaseInsensitive));
        QCOMPARE(payers.FieldByName(QStringLiteral("denumire")).AsString(), QStringLiteral("ALFA  BETA"));
        QCOMPARE(payers.FieldByName(QStringLiteral("numerep")).AsString(), QStringLiteral("O NEIL"));
        QCOMPARE(payers.FieldByName(QStringLiteral("str")).AsString(), QStringLiteral("STR  MARE "));
        QCOMPARE(payers.FieldByName(QStringLiteral("scara")).AsString(), QStringLiteral(" "));
        QCOMPARE(payers.FieldByName(QStringLiteral("sector")).AsString(), QStringLiteral("0"));
        QVERIFY(payers.FieldByName(QStringLiteral("id")).AsInteger() > 0);
    }

    void liquidatorDataFollowsBankruptcy_data()
    {
        QTest::addColumn<int>("faliment");
        QTest::newRow("not bankrupt erases") << 0;
        QTest::newRow("bankrupt keeps") << 1;
    }
    void liquidatorDataFollowsBankruptcy()
    {
        QFETCH(int, faliment);
        TestDatabase db;
        Tdm dm(db.path());
        Dataset& payers = *dm.qryFirme;
        fillNewPayer(payers, QStringLiteral("19"));
        payers.FieldByName(QStringLiteral("faliment")).setAsInteger(faliment);
        payers.FieldByName(QStringLiteral("lcui")).setAsString(QStringLiteral("230"));
        payers.FieldByName(QStringLiteral("ldenumire")).setAsString(QStringLiteral("LICHIDATOR, SRL"));
        payers.FieldByName(QStringLiteral("lsector")).setAsString(QStringLiteral("3"));
        payers.FieldByName(QStringLiteral("lzi")).setAsInteger(5);
        payers.FieldByName(QStringLiteral("lln")).setAsInteger(3);
        payers.FieldByName(QStringLiteral("lan")).setAsInteger(2006);
        payers.Post();
        payers.Refresh();
        QVERIFY(payers.Locate(QStringLiteral("cui"), QStringLiteral("19")));
        auto text = [&](const char* column) { return payers.FieldByName(QString::fromLatin1(column)).AsString(); };
        if (faliment == 0) {
            QCOMPARE(text("lcui"), QStringLiteral("0"));
            QCOMPARE(text("ldenumire"), QStringLiteral(" "));
            QCOMPARE(text("lsector"), QStringLiteral("0"));
            QCOMPARE(text("lzi"), QStringLiteral("0"));
            QCOMPARE(text("lan"), QStringLiteral("0"));
            QCOMPARE(text("lstr"), QStringLiteral(" "));
        } else {
            QCOMPARE(text("lcui"), QStringLiteral("230"));
            QCOMPARE(text("ldenumire"), QStringLiteral("LICHIDATOR  SRL"));
            QCOMPARE(text("lsector"), QStringLiteral("3"));
            QCOMPARE(text("lzi"), QStringLiteral("5"));
            QCOMPARE(text("lan"), QStringLiteral("2006"));
        }
    }

    void declarationsFoundByTextParameters()
    {
        TestDatabase db;
        samples::addPayer(db, QStringLiteral("19"));
        Tdm dm(db.path());
        Dataset& declarations = *dm.qryDeclaratii;
        declarations.setParam(QStringLiteral("idfirma"), qint64(1));
        declarations.setParam(QStringLiteral("luna"), QStringLiteral("03"));
        declarations.setParam(QStringLiteral("anul"), QStringLiteral("2006"));
        declarations.Open();
        QVERIFY(declarations.IsEmpty());
        declarations.Append();
        declarations.FieldByName(QStringLiteral("idfirma")).setAsInteger(1);
        declarations.FieldByName(QStringLiteral("ln")).setAsInteger(3);
        declarations.FieldByName(QStringLiteral("an")).setAsString(QStringLiteral("2006"));
        declarations.FieldByName(QStringLiteral("fondlunsal")).setAsString(QStringLiteral("2000"));
        declarations.Post();
        declarations.Refresh();
        QCOMPARE(declarations.RecordCount(), 1);
        QCOMPARE(declarations.FieldByName(QStringLiteral("comdec")).AsString(), QStringLiteral("0"));
        QCOMPARE(declarations.FieldByName(QStringLiteral("comdecac")).AsString(), QStringLiteral("0"));
        QCOMPARE(declarations.FieldByName(QStringLiteral("rectificativ")).AsString(), QStringLiteral("0"));
        QCOMPARE(declarations.FieldByName(QStringLiteral("fondlunsal")).AsString(), QStringLiteral("2000"));
        QVERIFY(declarations.Locate(
            QStringLiteral("idfirma;ln;an"), { qint64(1), qint64(3), qint64(2006) }, LocateCaseInsensitive));
        QVERIFY(!declarations.Locate(QStringLiteral("idfirma;ln;an"), { qint64(1), qint64(4), qint64(2006) }));
    }

    void appendedPayerGetsItsIdAfterRefresh()
    {
        TestDatabase db;
        samples::addPayer(db, QStringLiteral("30"));
        samples::addPayer(db, QStringLiteral("10"));
        Tdm dm(db.path());
        Dataset& payers = *dm.qryFirme;
        QCOMPARE(payers.FieldByName(QStringLiteral("cui")).AsString(), QStringLiteral("10"));
        fillNewPayer(payers, QStringLiteral("19"));
        payers.Post();
        payers.Refresh();
        QVERIFY(payers.Locate(QStringLiteral("cui"), QStringLiteral("19"), LocateCaseInsensitive));
        QCOMPARE(payers.RecNo(), 2); // ordered by code: 10, 19, 30
        QCOMPARE(payers.FieldByName(QStringLiteral("id")).AsInteger(), qint64(3));
    }

    void locateOptions_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("options");
        QTest::addColumn<QString>("found");
        QTest::newRow("exact") << "RO19" << 0 << "RO19";
        QTest::newRow("exact is case-sensitive") << "ro19" << 0 << "";
        QTest::newRow("case-insensitive") << "ro19" << int(LocateCaseInsensitive) << "RO19";
        QTest::newRow("whole value only") << "RO1" << int(LocateCaseInsensitive) << "";
        QTest::newRow("partial takes the first in order")
            << "ro1" << int(LocateCaseInsensitive | LocatePartialKey) << "RO123";
        QTest::newRow("partial no match") << "X" << int(LocatePartialKey) << "";
    }
    void locateOptions()
    {
        QFETCH(QString, value);
        QFETCH(int, options);
        QFETCH(QString, found);
        TestDatabase db;
        samples::addPayer(db, QStringLiteral("RO19"));
        samples::addPayer(db, QStringLiteral("RO123"));
        samples::addPayer(db, QStringLiteral("10"));
        Tdm dm(db.path());
        Dataset& payers = *dm.qryFirme;
        const int before = payers.RecNo();
        QCOMPARE(payers.Locate(QStringLiteral("cui"), value, LocateOptions::fromInt(options)), !found.isEmpty());
        if (found.isEmpty())
            QCOMPARE(payers.RecNo(), before);
        else
            QCOMPARE(payers.FieldByName(QStringLiteral("cui")).AsString(), found);
    }

    void columnConversions()
    {
        TestDatabase db;
        Tdm dm(db.path());
        Dataset& payers = *dm.qryFirme;
        payers.Append();
        const Field sector = payers.FieldByName(QStringLiteral("sector"));
        sector.setAsString(QStringLiteral("3"));
        QCOMPARE(sector.AsInteger(), qint64(3));
        sector.setAsString(QString());
        QVERIFY(sector.IsNull());
        QCOMPARE(sector.AsString(), QString());
        QVERIFY_THROWS_EXCEPTION(ConversionError, sector.setAsString(QStringLiteral("A")));
        const Field name = payers.FieldByName(QStringLiteral("denumire"));
        name.setAsString(QStringLiteral("12"));
        QCOMPARE(name.AsInteger(), qint64(12));
        name.setAsString(QStringLiteral("X"));
        QVERIFY_THROWS_EXCEPTION(ConversionError, name.AsInteger());
        QCOMPARE(name.size(), 100);
        QVERIFY_THROWS_EXCEPTION(Error, payers.FieldByName(QStringLiteral("nosuchcolumn")));
        payers.Cancel();
        QVERIFY_THROWS_EXCEPTION(Error, name.setAsString(QStringLiteral("X")));
    }

    void failedPostKeepsTheBuffer()
    {
        TestDatabase db;
        samples::addPayer(db, QStringLiteral("19"));
        Tdm dm(db.path());
        Dataset& payers = *dm.qryFirme;
        payers.Edit();
        payers.FieldByName(QStringLiteral("loc")).setAsString(QStringLiteral("IASI"));

        sqlite3* other = nullptr;
        sqlite3_open(db.path().toUtf8().constData(), &other);
        QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        try {
            payers.Post();
            QFAIL("the post must fail while another process holds the lock");
        } catch (const DatabaseError& error) {
            QCOMPARE(error.message(), QStringLiteral("database is locked"));
        }
        QCOMPARE(payers.State(), DatasetState::Edit);
        QCOMPARE(payers.FieldByName(QStringLiteral("loc")).AsString(), QStringLiteral("IASI"));
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);

        payers.Post();
        payers.Refresh();
        QCOMPARE(payers.FieldByName(QStringLiteral("loc")).AsString(), QStringLiteral("IASI"));
    }

    void deleteRemovesTheCurrentRow()
    {
        TestDatabase db;
        samples::addPayer(db, QStringLiteral("10"));
        samples::addPayer(db, QStringLiteral("19"));
        Tdm dm(db.path());
        Dataset& payers = *dm.qryFirme;
        QVERIFY(payers.Locate(QStringLiteral("cui"), QStringLiteral("10")));
        payers.Delete();
        QCOMPARE(payers.RecordCount(), 1);
        QCOMPARE(payers.FieldByName(QStringLiteral("cui")).AsString(), QStringLiteral("19"));
        payers.Refresh();
        QCOMPARE(payers.RecordCount(), 1);
        dm.qry.setSql(QStringLiteral("delete from declaratii where idfirma=2"));
        dm.qry.ExecSQL();
    }

    void postAsksBoundControlsForPendingText()
    {
        TestDatabase db;
        Tdm dm(db.path());
        Dataset& payers = *dm.qryFirme;
        fillNewPayer(payers, QStringLiteral("19"));
        QObject control;
        payers.addPendingTextWriter(
            &control, [&] { payers.FieldByName(QStringLiteral("loc")).setAsString(QStringLiteral("ARAD")); });
        payers.Post();
        QCOMPARE(payers.FieldByName(QStringLiteral("loc")).AsString(), QStringLiteral("ARAD"));
    }

    void aRefusedPendingTextStopsThePostBeforeTheRule()
    {
        TestDatabase db;
        Tdm dm(db.path());
        QSignalSpy cleaned(&dm, &Tdm::payerCleaned);
        Dataset& payers = *dm.qryFirme;
        fillNewPayer(payers, QStringLiteral("19"));
        auto control = std::make_unique<QObject>();
        payers.addPendingTextWriter(
            control.get(), [&] { payers.FieldByName(QStringLiteral("prefix")).setAsString(QStringLiteral("X")); });
        QVERIFY_THROWS_EXCEPTION(ConversionError, payers.Post());
        QCOMPARE(payers.State(), DatasetState::Insert);
        QCOMPARE(cleaned.count(), 0);
        // A control that is gone is asked no more.
        control.reset();
        payers.Post();
        QCOMPARE(cleaned.count(), 1);
        QCOMPARE(payers.RecordCount(), 1);
    }

    void cancelDropsAnAppendedRow()
    {
        TestDatabase db;
        samples::addPayer(db, QStringLiteral("19"));
        Tdm dm(db.path());
        Dataset& payers = *dm.qryFirme;
        fillNewPayer(payers, QStringLiteral("230"));
        QCOMPARE(payers.State(), DatasetState::Insert);
        payers.Cancel();
        QCOMPARE(payers.State(), DatasetState::Browse);
        QCOMPARE(payers.RecordCount(), 1);
        QCOMPARE(payers.FieldByName(QStringLiteral("cui")).AsString(), QStringLiteral("19"));
        payers.Refresh();
        QCOMPARE(payers.RecordCount(), 1);
    }
};

QTEST_GUILESS_MAIN(TestTdm)
#include "tst_tdm.moc"
