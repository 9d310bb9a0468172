#include "store/Errors.h"
#include "store/StrictNumber.h"

#include <QTest>

using namespace itm;

class TestStrictNumber : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void wholeNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<qint64>("value");
        QTest::newRow("digits") << "2006" << true << qint64(2006);
        QTest::newRow("leading zero") << "03" << true << qint64(3);
        QTest::newRow("minus") << "-5" << true << qint64(-5);
        QTest::newRow("plus") << "+7" << true << qint64(7);
        QTest::newRow("empty") << "" << false << qint64(0);
        QTest::newRow("blank") << " " << false << qint64(0);
        QTest::newRow("leading blank") << " 5" << false << qint64(0);
        QTest::newRow("trailing blank") << "5 " << false << qint64(0);
        QTest::newRow("sign only") << "-" << false << qint64(0);
        QTest::newRow("decimal point") << "1.5" << false << qint64(0);
        QTest::newRow("hex") << "0x10" << false << qint64(0);
        QTest::newRow("letter") << "A" << false << qint64(0);
        QTest::newRow("arabic digit") << QString(QChar(0x0661)) << false << qint64(0);
        QTest::newRow("max") << "9223372036854775807" << true << std::numeric_limits<qint64>::max();
        QTest::newRow("min") << "-9223372036854775808" << true << std::numeric_limits<qint64>::min();
        QTest::newRow("overflow") << "9223372036854775808" << false << qint64(0);
        QTest::newRow("underflow") << "-9223372036854775809" << false << qint64(0);
    }
    void wholeNumbers()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(qint64, value);
        const auto parsed = TryStrToInt(text);
        QCOMPARE(parsed.has_value(), valid);
        if (valid) {
            QCOMPARE(*parsed, value);
            QCOMPARE(StrToInt(text), value);
        } else {
            try {
                StrToInt(text);
                QFAIL("no conversion error");
            } catch (const ConversionError& error) {
                QCOMPARE(error.message(), QStringLiteral("'%1' is not a valid integer value").arg(text));
            }
        }
    }

    void realsIgnoreTheLocale()
    {
        QLocale::setDefault(QLocale(QLocale::Romanian, QLocale::Romania));
        QCOMPARE(StrToFloat(QStringLiteral("1500.5")), 1500.5);
        QVERIFY(!TryStrToFloat(QStringLiteral("1500,5")));
        QVERIFY(!TryStrToFloat(QStringLiteral(" 1")));
        QVERIFY(!TryStrToFloat(QStringLiteral("nan")));
        QCOMPARE(FloatToStr(1500.5), QStringLiteral("1500.5"));
        QCOMPARE(FloatToStr(2000), QStringLiteral("2000"));
        QCOMPARE(FloatToStr(-5), QStringLiteral("-5"));
        QCOMPARE(FloatToStr(0.1), QStringLiteral("0.1"));
        QLocale::setDefault(QLocale::c());
    }
};

QTEST_GUILESS_MAIN(TestStrictNumber)
#include "tst_strictnumber.moc"
