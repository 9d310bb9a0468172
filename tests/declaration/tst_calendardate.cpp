#include "declaration/CalendarDate.h"

#include <QTest>

using namespace itm;

class TestCalendarDate : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void dates_data()
    {
        QTest::addColumn<QString>("zi");
        QTest::addColumn<QString>("luna");
        QTest::addColumn<QString>("an");
        QTest::addColumn<bool>("exists");
        QTest::newRow("31 April") << "31"
                                  << "04"
                                  << "2005" << false;
        QTest::newRow("30 April") << "30"
                                  << "04"
                                  << "2005" << true;
        QTest::newRow("29 Feb 2004 (leap)") << "29"
                                            << "02"
                                            << "2004" << true;
        QTest::newRow("29 Feb 2005") << "29"
                                     << "02"
                                     << "2005" << false;
        QTest::newRow("29 Feb 1900 (century)") << "29"
                                               << "02"
                                               << "1900" << false;
        QTest::newRow("29 Feb 2000 (400 years)") << "29"
                                                 << "02"
                                                 << "2000" << true;
        QTest::newRow("31 Feb") << "31"
                                << "02"
                                << "2005" << false;
        QTest::newRow("31 December") << "31"
                                     << "12"
                                     << "2005" << true;
        QTest::newRow("32 January") << "32"
                                    << "1"
                                    << "2005" << false;
        QTest::newRow("day 0") << "0"
                               << "1"
                               << "2005" << false;
        QTest::newRow("month 0") << "1"
                                 << "0"
                                 << "2005" << false;
        QTest::newRow("month 13") << "1"
                                  << "13"
                                  << "2005" << false;
        QTest::newRow("year 0") << "1"
                                << "1"
                                << "0" << false;
        QTest::newRow("year 1") << "1"
                                << "1"
                                << "1" << true;
        QTest::newRow("year 9999") << "31"
                                   << "12"
                                   << "9999" << true;
        QTest::newRow("year 10000") << "1"
                                    << "1"
                                    << "10000" << false;
        QTest::newRow("negative day") << "-1"
                                      << "1"
                                      << "2005" << false;
        QTest::newRow("before 1990 still exists") << "01"
                                                  << "01"
                                                  << "1985" << true;
        QTest::newRow("empty day") << ""
                                   << "1"
                                   << "2005" << false;
        QTest::newRow("blank month") << "1"
                                     << " "
                                     << "2005" << false;
        QTest::newRow("letters in year") << "1"
                                         << "1"
                                         << "20O5" << false;
        QTest::newRow("padded day") << " 1"
                                    << "1"
                                    << "2005" << false;
        QTest::newRow("decimal") << "1.0"
                                 << "1"
                                 << "2005" << false;
        QTest::newRow("beyond 64 bits") << "1"
                                        << "1"
                                        << "99999999999999999999" << false;
    }
    void dates()
    {
        QFETCH(QString, zi);
        QFETCH(QString, luna);
        QFETCH(QString, an);
        QFETCH(bool, exists);
        QCOMPARE(DateFromTexts(zi, luna, an).has_value(), exists);
    }

    void partsAreReadAsNumbers()
    {
        const auto date = DateFromTexts(QStringLiteral("05"), QStringLiteral("03"), QStringLiteral("2004"));
        QVERIFY(date.has_value());
        QCOMPARE((*date)[0], qint64(5));
        QCOMPARE((*date)[1], qint64(3));
        QCOMPARE((*date)[2], qint64(2004));
    }

    void everyDayOfALeapCycle()
    {
        // 400 Gregorian years hold 146097 days; count them day by day.
        qint64 days = 0;
        for (qint64 year = 1601; year <= 2000; ++year)
            for (qint64 month = 1; month <= 12; ++month)
                for (qint64 day = 1; day <= 32; ++day)
                    days += IsExistingDate(year, month, day) ? 1 : 0;
        QCOMPARE(days, qint64(146097));
    }
};

QTEST_GUILESS_MAIN(TestCalendarDate)
#include "tst_calendardate.moc"
