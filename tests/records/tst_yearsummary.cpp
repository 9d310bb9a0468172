#include "records/RecordsFixture.h"
#include "records/YearSummary.h"
#include "store/Connection.h"
#include "support/SampleRecords.h"

#include <QTest>

using namespace itm;
using namespace itm::test;

namespace {

// "code name | month:due/paid ... | yearDue/yearPaid balance"
QStringList rowsOf(const QList<YearRow>& rows)
{
    QStringList texts;
    for (const YearRow& row : rows) {
        QStringList months;
        for (int month = 0; month < 12; ++month) {
            if (row.due[month] || row.paid[month])
                months << QStringLiteral("%1:%2/%3").arg(month + 1).arg(*row.due[month]).arg(*row.paid[month]);
        }
        texts << QStringLiteral("%1 %2 | %3 | %4/%5 %6")
                     .arg(row.code, row.name, months.join(u' '))
                     .arg(row.yearDue)
                     .arg(row.yearPaid)
                     .arg(row.balance);
    }
    return texts;
}

} // namespace

class TestYearSummary : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyPayersYear_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("2005: December from January 2006")
            << 2005
            << QStringList { "19 S.C. ALFA S.R.L. | 12:300/200 | 300/200 100", "230 S.C. BETA S.R.L. |  | 0/0 0",
                   "27 S.C. GAMA S.R.L. |  | 0/0 0" };
        QTest::newRow("2006: the months declared, the balance with December 2005")
            << 2006
            << QStringList { "19 S.C. ALFA S.R.L. | 1:15/10 3:15/0 | 30/10 120", "230 S.C. BETA S.R.L. |  | 0/0 0",
                   "27 S.C. GAMA S.R.L. | 3:10/-5 | 10/-5 15" };
        QTest::newRow("2008: no declaration that year, the balance carried")
            << 2008
            << QStringList { "19 S.C. ALFA S.R.L. |  | 0/0 135", "230 S.C. BETA S.R.L. |  | 0/0 0",
                   "27 S.C. GAMA S.R.L. |  | 0/0 15" };
    }
    void everyPayersYear()
    {
        QFETCH(int, year);
        QFETCH(QStringList, rows);
        TestDatabase db;
        // Added out of code order: the rows come in code order ("230" before "27").
        samples::addPayer(db, QStringLiteral("27"), QStringLiteral("GAMA"));
        samples::addPayer(db, QStringLiteral("19"));
        samples::addPayer(db, QStringLiteral("230"), QStringLiteral("BETA"));
        AddDeclaration(db, 2, 1, 2006, QStringLiteral("0, 0, 3, 2000, 15, 10, 300, 200"));
        AddDeclaration(db, 2, 3, 2006, QStringLiteral("0, 0, 3, 2000, 15, 0, 0, 0"));
        AddDeclaration(db, 2, 7, 2007, QStringLiteral("0, 0, 3, 2000, 15, 0, 0, 0"));
        AddDeclaration(db, 1, 3, 2006, QStringLiteral("1, 1, 3, 4000, 10, -5, 0, 0"));
        // A second March 2006 made elsewhere counts for nothing.
        AddDeclaration(db, 1, 3, 2006, QStringLiteral("0, 0, 3, 4000, 999, 0, 0, 0"));
        Connection connection;
        connection.open(db.path(), true);
        QCOMPARE(rowsOf(ReadYearSummary(connection, year)), rows);
    }
};

QTEST_GUILESS_MAIN(TestYearSummary)
#include "tst_yearsummary.moc"
