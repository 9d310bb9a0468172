#include "declaration/Commission.h"

#include <QTest>
#include <cmath>
#include <limits>

using namespace itm;

class TestCommission : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void workedValues_data()
    {
        QTest::addColumn<double>("fund");
        QTest::addColumn<bool>("reduced");
        QTest::addColumn<qint64>("commission");
        QTest::newRow("2000 at 0.75 %") << 2000.0 << false << qint64(15);
        QTest::newRow("2000 at 0.25 %") << 2000.0 << true << qint64(5);
        QTest::newRow("200 at 0.75 %: 1.5 rounds up") << 200.0 << false << qint64(2);
        QTest::newRow("200 at 0.25 %: 0.5 rounds up") << 200.0 << true << qint64(1);
        QTest::newRow("100 at 0.75 %: 0.75 rounds to 1") << 100.0 << false << qint64(1);
        QTest::newRow("1 at 0.25 %: the minimum") << 1.0 << true << qint64(1);
        QTest::newRow("1 at 0.75 %: the minimum") << 1.0 << false << qint64(1);
        QTest::newRow("199 at 0.25 %") << 199.0 << true << qint64(1);
        QTest::newRow("50000 at 0.25 %") << 50000.0 << true << qint64(125);
        QTest::newRow("0") << 0.0 << false << qint64(0);
        QTest::newRow("0 at 0.25 %") << 0.0 << true << qint64(0);
        QTest::newRow("exact half above 1") << 2200.0 << true << qint64(6); // 5.5
        QTest::newRow("just below a half") << 2199.0 << true << qint64(5); // 5.4975
        QTest::newRow("ten digits: 74999999.9925") << 9999999999.0 << false << qint64(75000000);
        QTest::newRow("largest whole double that fits") << 9223372036854774784.0 << false << qint64(69175290276410811);
    }
    void workedValues()
    {
        QFETCH(double, fund);
        QFETCH(bool, reduced);
        QFETCH(qint64, commission);
        const auto due = CommissionDue(fund, reduced);
        QVERIFY(due.has_value());
        QCOMPARE(*due, commission);
    }

    // Every fund an employer will plausibly declare, against the exact rule.
    void everyPlausibleFundFollowsTheExactRule()
    {
        for (qint64 fund = 0; fund <= 200000; ++fund) {
            for (const bool reduced : { false, true }) {
                const qint64 rate = reduced ? 25 : 75;
                qint64 exact = (fund * rate + 5000) / 10000;
                if (fund != 0 && exact == 0)
                    exact = 1;
                const auto due = CommissionDue(double(fund), reduced);
                if (!due || *due != exact)
                    QFAIL(qPrintable(QStringLiteral("fund %1 rate %2: exact %3, due %4")
                                         .arg(fund)
                                         .arg(rate)
                                         .arg(exact)
                                         .arg(due ? QString::number(*due) : QStringLiteral("none"))));
            }
        }
    }

    void fundsWithoutCommission_data()
    {
        QTest::addColumn<double>("fund");
        QTest::newRow("negative") << -2000.0;
        QTest::newRow("minus one") << -1.0;
        QTest::newRow("fraction") << 2000.5;
        QTest::newRow("small fraction") << 0.25;
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity();
        QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("2^63") << 9223372036854775808.0;
    }
    void fundsWithoutCommission()
    {
        QFETCH(double, fund);
        QVERIFY(!CommissionDue(fund, false));
        QVERIFY(!CommissionDue(fund, true));
    }

    void negativeZeroIsZero() { QCOMPARE(CommissionDue(-0.0, false), std::optional<qint64>(0)); }

    void storableSalaryFunds_data()
    {
        QTest::addColumn<double>("fund");
        QTest::addColumn<bool>("storable");
        QTest::newRow("zero") << 0.0 << true;
        QTest::newRow("ten nines") << 9999999999.0 << true;
        QTest::newRow("eleven digits") << 10000000000.0 << false;
        QTest::newRow("negative") << -100.0 << false;
        QTest::newRow("fraction") << 0.5 << false;
        QTest::newRow("1e308") << 1e308 << false;
        QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << false;
    }
    void storableSalaryFunds()
    {
        QFETCH(double, fund);
        QFETCH(bool, storable);
        QCOMPARE(IsStorableSalaryFund(fund), storable);
    }
};

QTEST_GUILESS_MAIN(TestCommission)
#include "tst_commission.moc"
