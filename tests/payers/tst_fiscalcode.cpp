#include "payers/FiscalCode.h"
#include "store/Errors.h"

#include <QRandomGenerator>
#include <QTest>

using namespace itm;

namespace {
enum class Answer
{
    Valid,
    Invalid,
    Raises
};
}
Q_DECLARE_METATYPE(Answer)

class TestFiscalCode : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void answers_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<Answer>("answer");
        // For Raises, the character the conversion error must name.
        QTest::addColumn<QString>("badCharacter");

        const auto valid = Answer::Valid;
        const auto invalid = Answer::Invalid;
        const auto raises = Answer::Raises;

        QTest::newRow("0: empty") << "" << invalid << "";
        QTest::newRow("1: digit") << "9" << invalid << "";
        QTest::newRow("1: letter is not read") << "A" << invalid << "";
        QTest::newRow("2: 19 (sum 2, r 9)") << "19" << valid << "";
        QTest::newRow("2: 18 wrong control") << "18" << invalid << "";
        QTest::newRow("3: 230 takes 0 when r is 10") << "230" << valid << "";
        QTest::newRow("3: 231 is not 10 written as 1") << "231" << invalid << "";
        QTest::newRow("4: 0019 leading zeros weigh nothing") << "0019" << valid << "";
        QTest::newRow("5: 12340") << "12340" << valid << "";
        QTest::newRow("5: 12341") << "12341" << invalid << "";
        QTest::newRow("6: 123453") << "123453" << valid << "";
        QTest::newRow("6: 100000 (r 0)") << "100000" << valid << "";
        QTest::newRow("7: 1234565") << "1234565" << valid << "";
        QTest::newRow("7: 1234566") << "1234566" << invalid << "";
        QTest::newRow("8: 12345674") << "12345674" << valid << "";
        QTest::newRow("8: 12345679") << "12345679" << invalid << "";
        QTest::newRow("9: 123456789") << "123456789" << valid << "";
        QTest::newRow("9: 123456780") << "123456780" << invalid << "";
        QTest::newRow("9: 100000090 (r 10)") << "100000090" << valid << "";
        QTest::newRow("10: padded 19 is refused") << "0000000019" << invalid << "";
        QTest::newRow("10: country prefix is refused") << "RO12345678" << invalid << "";
        QTest::newRow("11: letters not read") << "ABCDEFGHIJK" << invalid << "";
        QTest::newRow("12: digits refused") << "123456789012" << invalid << "";
        QTest::newRow("13: CNP r 6") << "1900101000006" << valid << "";
        QTest::newRow("13: CNP r 6, wrong control") << "1900101000000" << invalid << "";
        QTest::newRow("13: CNP r 10 written as 1") << "1900101000091" << valid << "";
        QTest::newRow("13: CNP r 10 written as 0") << "1900101000090" << invalid << "";
        QTest::newRow("13: CNP wrong control") << "2850315123456" << invalid << "";
        QTest::newRow("14: refused") << "19001010000060" << invalid << "";
        QTest::newRow("15: blanks not read") << "               " << invalid << "";

        QTest::newRow("2: letter first") << "A9" << raises << "A";
        QTest::newRow("2: letter as control") << "1A" << raises << "A";
        QTest::newRow("9: country prefix") << "RO1234567" << raises << "R";
        QTest::newRow("5: blank inside") << "12 45" << raises << " ";
        QTest::newRow("3: leading blank") << " 19" << raises << " ";
        QTest::newRow("3: trailing blank") << "19 " << raises << " ";
        QTest::newRow("4: sign is no digit") << "-019" << raises << "-";
        QTest::newRow("8: first of two letters") << "1234X6Y4" << raises << "X";
        QTest::newRow("13: letter first") << "A900101000091" << raises << "A";
        QTest::newRow("13: letter in the middle") << "190010Z000006" << raises << "Z";
        QTest::newRow("13: letter as control") << "190010100000X" << raises << "X";
        QTest::newRow("13: r 10, letter as control") << "190010100009L" << raises << "L";
        QTest::newRow("9: non-ASCII digit")
            << QStringLiteral("12345678") + QChar(0x0669) << raises << QString(QChar(0x0669));
    }
    void answers()
    {
        QFETCH(QString, code);
        QFETCH(Answer, answer);
        QFETCH(QString, badCharacter);
        if (answer == Answer::Raises) {
            try {
                IsValidFiscalCode(code);
                QFAIL("no conversion error");
            } catch (const ConversionError& error) {
                QCOMPARE(error.message(), QStringLiteral("'%1' is not a valid integer value").arg(badCharacter));
            }
        } else {
            QCOMPARE(IsValidFiscalCode(code), answer == Answer::Valid);
        }
    }

    // Whatever the leading digits, exactly one control digit completes a code:
    // a wrong check would accept none or several.
    void exactlyOneControlDigitPerBody_data()
    {
        QTest::addColumn<int>("length");
        for (int length : { 2, 3, 4, 5, 6, 7, 8, 9, 13 })
            QTest::addRow("length %d", length) << length;
    }
    void exactlyOneControlDigitPerBody()
    {
        QFETCH(int, length);
        QRandomGenerator random(20060301u + quint32(length));
        for (int round = 0; round < 2000; ++round) {
            QString body;
            for (int i = 0; i < length - 1; ++i)
                body += QChar(u'0' + random.bounded(10));
            int accepted = 0;
            for (char16_t control = u'0'; control <= u'9'; ++control)
                accepted += IsValidFiscalCode(body + QChar(control)) ? 1 : 0;
            QVERIFY2(accepted == 1, qPrintable(body));
        }
    }

    void refusedLengthsAreNotRead_data()
    {
        QTest::addColumn<int>("length");
        for (int length : { 0, 1, 10, 11, 12, 14, 15, 40 })
            QTest::addRow("length %d", length) << length;
    }
    void refusedLengthsAreNotRead()
    {
        QFETCH(int, length);
        QVERIFY(!IsValidFiscalCode(QString(length, u'x')));
        QVERIFY(!IsValidFiscalCode(QString(length, u'0')));
    }
};

QTEST_GUILESS_MAIN(TestFiscalCode)
#include "tst_fiscalcode.moc"
