#include "records/NextPayer.h"
#include "records/PayerHistory.h"
#include "records/PayerStatement.h"
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

    void theStatementHasYearTotalsAndTheVersionsOfAChangedMonth()
    {
        TestDatabase db;
        samples::addPayer(db, QStringLiteral("19"));
        AddDeclaration(db, 1, 1, 2006, QStringLiteral("0, 0, 3, 2000, 15, 10, 300, 200"));
        AddDeclaration(db, 1, 6, 2007, QStringLiteral("1, 1, 3, 2000, 15, 0, 0, 0"));
        // June 2007 saved twice (its first version from before versions were kept);
        // January 2006 once, which shows no versions.
        db.exec("INSERT INTO versiuni_declaratii (iddeclaratie, versiune, salvat, idfirma, ln, an, rectificativ, "
                "com25, nrsal, fondlunsal, comdat, comac, comdec, comdecac) VALUES "
                "(1, 1, '2006-02-01 09:00:00', 1, 1, 2006, 0, 0, 3, 2000, 15, 10, 300, 200), "
                "(2, 1, NULL, 1, 6, 2007, 0, 0, 2, 1000, 8, 0, 0, 0), "
                "(2, 2, '2007-07-09 12:30:00', 1, 6, 2007, 1, 1, 3, 2000, 15, 0, 0, 0)");
        Connection connection;
        connection.open(db.path(), true);
        const PayerStatement statement = ReadPayerStatement(connection, 1);
        QStringList lines;
        for (const StatementLine& line : statement.lines)
            lines << StatementCells(line).join(u'|');
        QCOMPARE(lines,
            QStringList({ "12/2005|Sume dec. 2005||||300|200|100|100", "01/2006|Initiala|0.75|3|2000|15|10|5|105",
                "Total 2006|||||315|210|105|105", "06/2007|Rectificativa|0.25|3|2000|15|0|15|120",
                "  v1 inainte de versiuni|Initiala|0.75|2|1000|8|0|8|",
                "  v2 2007-07-09 12:30|Rectificativa|0.25|3|2000|15|0|15|", "Total 2007|||||15|0|15|120" }));
        QCOMPARE(statement.balance, qint64(120));
        QCOMPARE(statement.periodText(), QStringLiteral("12/2005 - 06/2007"));
        QCOMPARE(statement.code, QStringLiteral("19"));
    }

    void theNextPayerWithoutADeclaration_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QStringList>("order"); // empty: payer-code order
        QTest::addColumn<QString>("next"); // empty: none left
        // 230 is declared for March 2007, 27 for another month only.
        QTest::newRow("code order, byte by byte") << "19" << QStringList() << "27";
        QTest::newRow("code order, the last") << "35" << QStringList() << "";
        QTest::newRow("a list's order") << "35" << QStringList { "35", "27", "19", "230" } << "27";
        QTest::newRow("a list's order, the declared skipped") << "19" << QStringList { "35", "27", "19", "230" } << "";
    }
    void theNextPayerWithoutADeclaration()
    {
        QFETCH(QString, current);
        QFETCH(QStringList, order);
        QFETCH(QString, next);
        TestDatabase db;
        for (const char* code : { "35", "19", "27", "230" })
            samples::addPayer(db, QString::fromLatin1(code));
        AddDeclaration(db, 4, 3, 2007, QStringLiteral("0, 0, 1, 100, 1, 0, 0, 0"));
        AddDeclaration(db, 3, 4, 2007, QStringLiteral("0, 0, 1, 100, 1, 0, 0, 0"));
        Connection connection;
        connection.open(db.path(), true);
        const auto found = NextPayerWithoutDeclaration(
            connection, { 3, 2007 }, current, order.isEmpty() ? std::nullopt : std::optional<QStringList>(order));
        QCOMPARE(found.value_or(QString()), next);
    }
};

QTEST_GUILESS_MAIN(TestPayerHistory)
#include "tst_payerhistory.moc"
