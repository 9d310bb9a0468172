#include "records/PayerHistory.h"
#include "records/RecordsFixture.h"
#include "store/Connection.h"
#include "store/Errors.h"
#include "support/SampleRecords.h"

#include <QTest>

using namespace itm;
using namespace itm::test;

namespace {

QStringList rowsOf(const PayerHistory& history)
{
    QStringList rows;
    for (const HistoryRow& row : history.rows)
        rows << QStringLiteral("%1/%2 %3 %4 %5 %6 %7/%8 %9")
                    .arg(row.month)
                    .arg(row.year)
                    .arg(HistoryKindWord(row.kind), row.reducedRate ? "0.25" : "0.75")
                    .arg(row.employees)
                    .arg(row.fund)
                    .arg(row.due)
                    .arg(row.paid)
                    .arg(row.balance);
    return rows;
}

} // namespace

class TestPayerHistory : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void theRunningBalance_data()
    {
        // Declarations as "month, year, rectificativ, com25, nrsal, fondlunsal, comdat, comac, comdec, comdecac".
        QTest::addColumn<QStringList>("declarations");
        QTest::addColumn<int>("fromYear"); // 0: open
        QTest::addColumn<int>("toYear");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<qint64>("balance");
        QTest::newRow("months out of order, with gaps")
            << QStringList { "7, 2007, 0, 0, 2, 2000, 15, 0, 0, 0", "3, 2007, 0, 0, 2, 2000, 15, 15, 0, 0",
                   "2, 2009, 0, 1, 2, 4000, 10, 40, 0, 0" }
            << 0 << 0
            << QStringList { "3/2007 initiala 0.75 2 2000 15/15 0", "7/2007 initiala 0.75 2 2000 15/0 15",
                   "2/2009 initiala 0.25 2 4000 10/40 -15" }
            << qint64(-15);
        QTest::newRow("a corrective month and a negative amount")
            << QStringList { "4, 2008, 0, 0, 3, 2000, 15, 10, 0, 0", "5, 2008, 1, 0, 3, 2000, 15, -5, 0, 0" } << 0 << 0
            << QStringList { "4/2008 initiala 0.75 3 2000 15/10 5", "5/2008 rectificativa 0.75 3 2000 15/-5 25" }
            << qint64(25);
        QTest::newRow("January 2006 carries December 2005")
            << QStringList { "1, 2006, 0, 0, 4, 2000, 15, 15, 300, 200", "2, 2006, 0, 0, 4, 2000, 15, 15, 0, 0" } << 0
            << 0
            << QStringList { "12/2005 decembrie2005 0.75 0  300/200 100", "1/2006 initiala 0.75 4 2000 15/15 100",
                   "2/2006 initiala 0.75 4 2000 15/15 100" }
            << qint64(100);
        // The balance counts from the first declaration, whatever the years shown.
        QTest::newRow("years asked for") << QStringList { "1, 2006, 0, 0, 4, 2000, 15, 0, 300, 200",
            "6, 2007, 0, 0, 4, 2000, 15, 0, 0, 0", "6, 2008, 0, 0, 4, 2000, 15, 0, 0, 0" }
                                         << 2007 << 2007 << QStringList { "6/2007 initiala 0.75 4 2000 15/0 130" }
                                         << qint64(145);
        QTest::newRow("no declaration") << QStringList() << 0 << 0 << QStringList() << qint64(0);
    }
    void theRunningBalance()
    {
        QFETCH(QStringList, declarations);
        QFETCH(int, fromYear);
        QFETCH(int, toYear);
        QFETCH(QStringList, rows);
        QFETCH(qint64, balance);
        TestDatabase db;
        samples::addPayer(db, QStringLiteral("19"));
        samples::addPayer(db, QStringLiteral("27"));
        // Another payer's declaration and a second row of a month (made elsewhere) count for nothing.
        AddDeclaration(db, 2, 3, 2007, QStringLiteral("0, 0, 1, 100, 1, 0, 0, 0"));
        for (const QString& declaration : declarations)
            db.exec(QStringLiteral("INSERT INTO declaratii (idfirma, ln, an, rectificativ, com25, nrsal, fondlunsal, "
                                   "comdat, comac, comdec, comdecac) VALUES (1, %1)")
                        .arg(declaration)
                        .toUtf8());
        if (!declarations.isEmpty())
            db.exec("INSERT INTO declaratii (idfirma, ln, an, comdat, comac) "
                    "SELECT idfirma, ln, an, 999, 0 FROM declaratii WHERE idfirma = 1 LIMIT 1");
        Connection connection;
        connection.open(db.path(), true);
        const PayerHistory history
            = ReadPayerHistory(connection, 1, fromYear ? std::optional<qint64>(fromYear) : std::nullopt,
                toYear ? std::optional<qint64>(toYear) : std::nullopt);
        QCOMPARE(rowsOf(history), rows);
        QCOMPARE(history.balance, balance);
    }

    void anAmountThatIsNoNumberIsNamed()
    {
        TestDatabase db;
        samples::addPayer(db, QStringLiteral("19"));
        AddDeclaration(db, 1, 3, 2007, QStringLiteral("0, 0, 1, 100, '1O', 0, 0, 0"));
        Connection connection;
        connection.open(db.path(), true);
        try {
            ReadPayerHistory(connection, 1);
            QFAIL("an amount that is no number must not count as 0");
        } catch (const ConversionError& error) {
            QVERIFY2(error.message().contains(QStringLiteral("comdat")), qPrintable(error.message()));
        }
    }
};

QTEST_GUILESS_MAIN(TestPayerHistory)
#include "tst_payerhistory.moc"
