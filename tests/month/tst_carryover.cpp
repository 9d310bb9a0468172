#include "month/CarryOver.h"
#include "store/Errors.h"
#include "store/Tdm.h"
#include "support/FakeJobs.h"
#include "support/SampleRecords.h"
#include "support/TestDatabase.h"

#include <QTest>
#include <sqlite3.h>

Q_DECLARE_METATYPE(itm::MonthPeriod)

using namespace itm;
using namespace itm::test;

namespace {

void addDeclaration(const TestDatabase& db, int payerId, const MonthPeriod& period, const QString& amounts)
{
    db.exec(QStringLiteral("INSERT INTO declaratii (idfirma, ln, an, rectificativ, com25, nrsal, fondlunsal, "
                           "comdat, comac, comdec, comdecac) VALUES (%1, %2, %3, %4)")
                .arg(payerId)
                .arg(period.month)
                .arg(period.year)
                .arg(amounts)
                .toUtf8());
}

// Every declaration of the payer for the period, each as its columns from
// rectificativ on, as stored (typeof and value): "NULL" shows a column left empty.
QStringList storedDeclarations(const TestDatabase& db, int payerId, const MonthPeriod& period)
{
    sqlite3* handle = nullptr;
    sqlite3_open_v2(db.path().toUtf8().constData(), &handle, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    const QByteArray sql = QStringLiteral("SELECT quote(rectificativ), quote(com25), quote(nrsal), quote(fondlunsal), "
                                          "quote(comdat), quote(comac), quote(comdec), quote(comdecac) FROM "
                                          "declaratii WHERE idfirma = %1 AND ln = %2 AND an = %3 ORDER BY id")
                               .arg(payerId)
                               .arg(period.month)
                               .arg(period.year)
                               .toUtf8();
    sqlite3_prepare_v2(handle, sql.constData(), -1, &statement, nullptr);
    QStringList rows;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        QStringList columns;
        for (int i = 0; i < 8; ++i)
            columns << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, i)));
        rows << columns.join(QStringLiteral(", "));
    }
    sqlite3_finalize(statement);
    sqlite3_close(handle);
    return rows;
}

} // namespace

class TestCarryOver : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void carriesTheDeclarationOver_data()
    {
        // The source's columns from rectificativ on, the target month, and the
        // target's columns as stored.
        QTest::addColumn<MonthPeriod>("source");
        QTest::addColumn<QString>("sourceAmounts");
        QTest::addColumn<MonthPeriod>("target");
        QTest::addColumn<QString>("stored");
        QTest::newRow("rate 0.25 %") << MonthPeriod { 3, 2006 } << "0, 1, 4, 50000, 125, 100, 0, 0"
                                     << MonthPeriod { 4, 2006 } << "0, 1, 4, 50000, 125, 100, 0, 0";
        // 200 x 0.75 % = 1.5: rounded up; a commission changed by hand is computed anew.
        QTest::newRow("commission rounds") << MonthPeriod { 3, 2006 } << "0, 0, 2, 200, 7, 2, 0, 0"
                                           << MonthPeriod { 4, 2006 } << "0, 0, 2, 200, 2, 2, 0, 0";
        QTest::newRow("at least one leu") << MonthPeriod { 5, 2007 } << "0, 1, 1, 199, 0, 0, 0, 0"
                                          << MonthPeriod { 6, 2007 } << "0, 1, 1, 199, 1, 0, 0, 0";
        QTest::newRow("corrective source") << MonthPeriod { 3, 2006 } << "1, 0, 12, 2000, 15, 15, 0, 0"
                                           << MonthPeriod { 4, 2006 } << "0, 0, 12, 2000, 15, 15, 0, 0";
        QTest::newRow("january 2006 as target") << MonthPeriod { 12, 2005 } << "0, 0, 12, 2000, 15, 15, 0, 0"
                                                << MonthPeriod { 1, 2006 } << "0, 0, 12, 2000, 15, 15, 0, 0";
        QTest::newRow("december amounts stay behind") << MonthPeriod { 1, 2006 } << "0, 0, 12, 2000, 15, 15, 300, 200"
                                                      << MonthPeriod { 2, 2006 } << "0, 0, 12, 2000, 15, 15, 0, 0";
        QTest::newRow("any month into another year") << MonthPeriod { 12, 2006 } << "0, 0, 3, 1000, 8, 8, 0, 0"
                                                     << MonthPeriod { 1, 2007 } << "0, 0, 3, 1000, 8, 8, 0, 0";
    }

    void carriesTheDeclarationOver()
    {
        QFETCH(MonthPeriod, source);
        QFETCH(QString, sourceAmounts);
        QFETCH(MonthPeriod, target);
        QFETCH(QString, stored);
        TestDatabase db;
        samples::addPayer(db, QStringLiteral("19"));
        addDeclaration(db, 1, source, sourceAmounts);
        Tdm dm(db.path());
        const CarryOverCounts counts = CarryOverDeclarations(dm, source, target, { 1 });
        QCOMPARE(counts.copied, 1);
        QCOMPARE(counts.skipped(), 0);
        QCOMPARE(storedDeclarations(db, 1, target), QStringList { stored });
        QCOMPARE(storedDeclarations(db, 1, source), QStringList { sourceAmounts }); // the source is untouched
    }

    void leavesAloneWhatItCannotCarry()
    {
        TestDatabase db;
        const MonthPeriod march { 3, 2006 };
        const MonthPeriod april { 4, 2006 };
        for (const char* code : { "11", "12", "13", "14" })
            samples::addPayer(db, QString::fromLatin1(code));
        addDeclaration(db, 1, march, QStringLiteral("0, 0, 12, 2000, 15, 15, 0, 0"));
        addDeclaration(db, 1, april, QStringLiteral("1, 0, 9, 900, 7, 0, 0, 0")); // already declared
        // payer 2: nothing in March
        addDeclaration(db, 3, march, QStringLiteral("0, 0, 1, -500, 0, 0, 0, 0")); // no commission
        addDeclaration(db, 4, march, QStringLiteral("0, 0, 5, 1000, 8, 8, 0, 0"));
        Tdm dm(db.path());
        const CarryOverCounts counts = CarryOverDeclarations(dm, march, april, { 1, 2, 3, 4, 4 });
        QCOMPARE(counts.copied, 1);
        QCOMPARE(counts.alreadyDeclared, 1);
        QCOMPARE(counts.withoutSource, 1);
        QCOMPARE(counts.withoutCommission, 1);
        QCOMPARE(storedDeclarations(db, 1, april), QStringList { "1, 0, 9, 900, 7, 0, 0, 0" });
        QVERIFY(storedDeclarations(db, 2, april).isEmpty());
        QVERIFY(storedDeclarations(db, 3, april).isEmpty());
        QCOMPARE(storedDeclarations(db, 4, april), QStringList { "0, 0, 5, 1000, 8, 8, 0, 0" });
        // Once more: everything is declared now or has nothing to carry.
        QCOMPARE(CarryOverDeclarations(dm, march, april, AllPayerIds(dm)).copied, 0);
    }

    void aTextAmountStoresNothingAndNamesThePayer_data()
    {
        QTest::addColumn<QString>("amounts");
        QTest::addColumn<QString>("message");
        QTest::newRow("employees") << "0, 0, 'MULTI', 1000, 8, 8, 0, 0"
                                   << "Coloana 'nrsal': 'MULTI' is not a valid integer value";
        // Counted before as a fund without commission, with no word of the payer.
        QTest::newRow("salary fund") << "0, 0, 5, 'x1', 8, 8, 0, 0"
                                     << "Coloana 'fondlunsal': 'x1' is not a valid integer value";
    }

    void aTextAmountStoresNothingAndNamesThePayer()
    {
        QFETCH(QString, amounts);
        QFETCH(QString, message);
        TestDatabase db;
        samples::addPayer(db, QStringLiteral("11"));
        samples::addPayer(db, QStringLiteral("12"));
        addDeclaration(db, 1, { 3, 2006 }, QStringLiteral("0, 0, 5, 1000, 8, 8, 0, 0"));
        addDeclaration(db, 2, { 3, 2006 }, amounts);
        Tdm dm(db.path());
        try {
            CarryOverDeclarations(dm, { 3, 2006 }, { 4, 2006 }, { 1, 2 });
            QFAIL("carried over");
        } catch (const CarryOverAmountError& error) {
            QCOMPARE(error.payerCode(), QStringLiteral("12"));
            QCOMPARE(error.message(), message);
        }
        QVERIFY(storedDeclarations(db, 1, { 4, 2006 }).isEmpty());
    }

    void aCancelledCarryOverStoresNothing()
    {
        TestDatabase db;
        for (int payer = 1; payer <= 3; ++payer) {
            samples::addPayer(db, QString::number(10 + payer));
            addDeclaration(db, payer, { 3, 2006 }, QStringLiteral("0, 0, 5, 1000, 8, 8, 0, 0"));
        }
        Tdm dm(db.path());
        FakeJobs jobs;
        jobs.cancelWhenDone(2);
        const JobOutcome outcome
            = jobs.run(nullptr, QStringLiteral("Preia"), JobThread::Window, [&](JobProgress& progress) {
                  CarryOverDeclarations(dm, { 3, 2006 }, { 4, 2006 }, { 1, 2, 3 }, &progress);
              });
        QCOMPARE(outcome, JobOutcome::Cancelled);
        QCOMPARE(jobs.lastTotal, qint64(3));
        for (int payer = 1; payer <= 3; ++payer)
            QVERIFY(storedDeclarations(db, payer, { 4, 2006 }).isEmpty());
        // Not cancelled: all three.
        FakeJobs whole;
        QCOMPARE(
            whole.run(nullptr, QStringLiteral("Preia"), JobThread::Window,
                [&](JobProgress& progress) {
                    QCOMPARE(CarryOverDeclarations(dm, { 3, 2006 }, { 4, 2006 }, { 1, 2, 3 }, &progress).copied, 3);
                }),
            JobOutcome::Finished);
    }
};

QTEST_GUILESS_MAIN(TestCarryOver)
#include "tst_carryover.moc"
