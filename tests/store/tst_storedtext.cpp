// The bytes of a stored text survive reading and writing back, whatever they
// are; the clean-up before posting leaves one blank for each separator or
// control character.
#include "store/StoredText.h"

#include <QTest>

using namespace itm;

class TestStoredText : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void bytesComeBackAsStored_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("ASCII") << QByteArray("ALFA SRL") << QStringLiteral("ALFA SRL");
        QTest::newRow("UTF-8 letters") << QByteArray("\xc8\x98"
                                                     "ARA")
                                       << QStringLiteral("\u0218ARA");
        // U+10080: the low half of its UTF-16 pair lies where single bytes are carried.
        QTest::newRow("beyond U+FFFF") << QByteArray("\xf0\x90\x82\x80") << QString::fromUcs4(U"\U00010080");
        QTest::newRow("8-bit code page") << QByteArray("\xaa"
                                                       "ARA")
                                         << QString::fromUtf16(u"\xdcaa"
                                                               u"ARA");
        QTest::newRow("sequence cut short") << QByteArray("A\xe2\x82") << QString::fromUtf16(u"A\xdce2\xdc82");
        QTest::newRow("encoded surrogate") << QByteArray("\xed\xa0\x80") << QString::fromUtf16(u"\xdced\xdca0\xdc80");
        QTest::newRow("overlong slash") << QByteArray("\xc0\xaf") << QString::fromUtf16(u"\xdcc0\xdcaf");
        // U+FEFF looks like a byte order mark at the start of the text or after a byte carried on its own.
        QTest::newRow("U+FEFF first") << QByteArray("\xef\xbb\xbf\xef\xbb\xbf"
                                                    "A")
                                      << QString(2, QChar(0xFEFF)) + u'A';
        QTest::newRow("U+FEFF after a carried byte")
            << QByteArray("\xdc\xef\xbb\xbf") << QString::fromUtf16(u"\xdcdc\xfeff");
    }
    void bytesComeBackAsStored()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(StoredTextFromBytes(bytes), text);
        QCOMPARE(StoredTextBytes(StoredTextFromBytes(bytes)), bytes);
    }

    void separatorsAndControlCharactersBecomeBlanks()
    {
        QCOMPARE(BlankSeparators(QStringLiteral("O'NEIL, \"X\"\r\n\t\x01\x1f\x7f"
                                                "Y")),
            QStringLiteral("O NEIL   X       Y"));
        QCOMPARE(BlankSeparators(QString::fromUtf16(u"A\u0080B\u0085C\u009fD\u2028E\u2029F\u00a0G")),
            QString::fromUtf16(u"A B C D E F\u00a0G"));
        QCOMPARE(BlankSeparators(QString::fromUtf16(u"\u0218ARA \xdcaa")), QString::fromUtf16(u"\u0218ARA \xdcaa"));
    }
};

QTEST_GUILESS_MAIN(TestStoredText)
#include "tst_storedtext.moc"
