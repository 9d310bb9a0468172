#include "records/PayerBalance.h"
#include "records/PayerHistory.h"
#include "records/RecordsFixture.h"
#include "store/Connection.h"
#include "support/SampleRecords.h"

#include <QTest>

using namespace itm;
using namespace itm::test;

class TestPayerBalance : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Every payer's balance up to a month, read in one pass, is the running
    // balance of the payer's history at that month.
    void everyPayersBalanceUpToAMonth_data()
    {
        // Declarations in the order saved, as "month, year, rectificativ,
        // com25, nrsal, fondlunsal, comdat, comac, comdec, comdecac".
        QTest::addColumn<QStringList>("declarations");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("year");
        QTest::addColumn<QString>("balance"); // "?" when it cannot be known
        const QStringList january2006 { "1, 2006, 0, 0, 4, 2000, 15, 15, 300, 200",
            "2, 2006, 1, 0, 4, 2000, 15, 5, 0, 0" };
        QTest::newRow("before the first declaration") << january2006 << 11 << 2005 << "0";
        QTest::newRow("December 2005 from January 2006") << january2006 << 12 << 2005 << "100";
        QTest::newRow("January 2006 with December 2005") << january2006 << 1 << 2006 << "100";
        QTest::newRow("a corrective month") << january2006 << 2 << 2006 << "110";
        QTest::newRow("a later month without a declaration") << january2006 << 6 << 2007 << "110";
        QTest::newRow("saved out of order, a negative amount")
            << QStringList { "7, 2007, 0, 0, 2, 2000, 15, 0, 0, 0", "3, 2007, 0, 0, 2, 2000, 15, -15, 0, 0" } << 12
            << 2007 << "45";
        // A register made elsewhere: the month's first declaration saved counts.
        QTest::newRow("a month held twice")
            << QStringList { "5, 2008, 0, 0, 2, 2000, 15, 0, 0, 0", "4, 2008, 0, 0, 2, 2000, 15, 0, 0, 0",
                   "4, 2008, 0, 0, 2, 2000, 90, 0, 0, 0", "5, 2008, 0, 0, 2, 2000, 90, 0, 0, 0" }
            << 5 << 2008 << "30";
        QTest::newRow("an amount that is no number")
            << QStringList { "3, 2006, 0, 0, 2, 2000, 15, 0, 0, 0", "4, 2006, 0, 0, 2, 2000, 'x', 0, 0, 0" } << 3
            << 2006 << "?";
    }
    void everyPayersBalanceUpToAMonth()
    {
        QFETCH(QStringList, declarations);
        QFETCH(int, month);
        QFETCH(int, year);
        QFETCH(QString, balance);
        TestDatabase db;
        samples::addPayer(db, QStringLiteral("19"));
        samples::addPayer(db, QStringLiteral("27")); // no declaration: owes nothing
        for (const QString& declaration : declarations)
            db.exec(QStringLiteral("INSERT INTO declaratii (ln, an, rectificativ, com25, nrsal, fondlunsal, comdat, "
                                   "comac, comdec, comdecac, idfirma) VALUES (%1, 1)")
                        .arg(declaration)
                        .toUtf8());
        Connection connection;
        connection.open(db.path());
        const PayerBalances balances = ReadPayerBalances(connection, year, month);
        const std::optional<qint64> read = balances.balanceOf(1);
        QCOMPARE(read ? QString::number(*read) : QStringLiteral("?"), balance);
        QCOMPARE(balances.balanceOf(2), std::optional<qint64>(0));
        if (balance == u"?")
            return;
        // The history's running balance at that month: the same rule.
        qint64 running = 0;
        for (const HistoryRow& row : ReadPayerHistory(connection, 1).rows) {
            if (row.year * 12 + row.month <= year * 12 + month)
                running = row.balance;
        }
        QCOMPARE(QString::number(running), balance);

        // The same in a thread of its own.
        bool finished = false;
        PayerBalancesLoad load(db.path(), year, month, [&finished] { finished = true; });
        QCOMPARE(load.take().balanceOf(1), read);
        QVERIFY(finished);
    }
};

QTEST_GUILESS_MAIN(TestPayerBalance)
#include "tst_payerbalance.moc"
