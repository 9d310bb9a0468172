#include "exchange/CsvReader.h"

#include <QTest>

using namespace itm::exchange;

using Records = QList<QStringList>;
Q_DECLARE_METATYPE(TextEncoding)

class TestCsvReader : public QObject
{
    Q_OBJECT

    static Records fieldsOf(const CsvDocument& document)
    {
        Records records;
        for (const CsvRecord& record : document.records)
            records.append(record.fields());
        return records;
    }

private Q_SLOTS:
    void recordsAsSpreadsheetsSaveThem_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Records>("records");
        QTest::addColumn<QList<int>>("lines");

        QTest::newRow("commas, LF") << QByteArray("cui,loc\n19,CRAIOVA\n")
                                    << Records { { "cui", "loc" }, { "19", "CRAIOVA" } } << QList<int> { 1, 2 };
        QTest::newRow("semicolons, CR LF")
            << QByteArray("cui;loc\r\n19;CRAIOVA, DOLJ\r\n") << Records { { "cui", "loc" }, { "19", "CRAIOVA, DOLJ" } }
            << QList<int> { 1, 2 };
        QTest::newRow("more semicolons than commas in the header decide")
            << QByteArray("a,b;c;d\n1,2;3;4\n") << Records { { "a,b", "c", "d" }, { "1,2", "3", "4" } }
            << QList<int> { 1, 2 };
        QTest::newRow("separator inside quotes does not count")
            << QByteArray("\"a;b;c\",d\n1,2\n") << Records { { "a;b;c", "d" }, { "1", "2" } } << QList<int> { 1, 2 };
        QTest::newRow("quoted separator, doubled quote")
            << QByteArray("n,d\n1,\"ALFA, \"\"BETA\"\"\"\n") << Records { { "n", "d" }, { "1", "ALFA, \"BETA\"" } }
            << QList<int> { 1, 2 };
        QTest::newRow("line break inside quotes keeps the record and counts the line")
            << QByteArray("n,d\r\n1,\"A\r\nB\"\r\n2,C\r\n") << Records { { "n", "d" }, { "1", "A\nB" }, { "2", "C" } }
            << QList<int> { 1, 2, 4 };
        QTest::newRow("last record without line end")
            << QByteArray("a\n1") << Records { { "a" }, { "1" } } << QList<int> { 1, 2 };
        QTest::newRow("lone CR ends a record")
            << QByteArray("a\r1\r") << Records { { "a" }, { "1" } } << QList<int> { 1, 2 };
        QTest::newRow("blanks and empty fields are kept")
            << QByteArray("a,b,c\n , ,\n") << Records { { "a", "b", "c" }, { " ", " ", "" } } << QList<int> { 1, 2 };
        QTest::newRow("empty line is an empty record")
            << QByteArray("a\n\n1\n") << Records { { "a" }, { "" }, { "1" } } << QList<int> { 1, 2, 3 };
        QTest::newRow("quote inside an unquoted field is a letter")
            << QByteArray("a\nO\"NEIL\n") << Records { { "a" }, { "O\"NEIL" } } << QList<int> { 1, 2 };
        QTest::newRow("a first line sep= names the separator")
            << QByteArray("sep=;\r\na,b;c\r\n1,2;3\r\n") << Records { { "a,b", "c" }, { "1,2", "3" } }
            << QList<int> { 2, 3 };
        // The file is read in blocks of 64 KiB: a CR LF across two of them is one line end.
        const QByteArray filler(65533, 'x');
        QTest::newRow("line end across two blocks")
            << "n\n" + filler + "\r\n1\n"
            << Records { { "n" }, { QString::fromLatin1(filler) }, { "1" } } << QList<int> { 1, 2, 3 };
    }
    void recordsAsSpreadsheetsSaveThem()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Records, records);
        QFETCH(QList<int>, lines);
        const CsvDocument document = ReadCsv(bytes);
        QVERIFY(!document.error);
        QCOMPARE(fieldsOf(document), records);
        QList<int> starts;
        for (const CsvRecord& record : document.records)
            starts.append(record.line);
        QCOMPARE(starts, lines);
    }

    void encodings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<TextEncoding>("encoding");
        QTest::addColumn<QString>("name");
        const QString romanian = QStringLiteral("\u0218TEF\u0102NE\u0218TI \u0163\u00e2\u00ee");
        QTest::newRow("UTF-8") << "n\n" + romanian.toUtf8() << TextEncoding::Utf8 << romanian;
        QTest::newRow("UTF-8 with BOM") << "\xEF\xBB\xBFn\n" + romanian.toUtf8() << TextEncoding::Utf8WithBom
                                        << romanian;
        // Windows-1250 has the cedilla letters: S-cedilla AA, a-breve C3, t-cedilla FE, a-circumflex E2, i-circumflex
        // EE.
        QTest::newRow("Windows-1250") << QByteArray("n\n\xAA"
                                                    "TEF\xC3NE\xAA"
                                                    "TI \xFE\xE2\xEE")
                                      << TextEncoding::Windows1250
                                      << QStringLiteral("\u015eTEF\u0102NE\u015eTI \u0163\u00e2\u00ee");
        QTest::newRow("plain ASCII is UTF-8") << QByteArray("n\nALFA") << TextEncoding::Utf8 << QStringLiteral("ALFA");
        const QString filler(65533, u'x');
        QTest::newRow("UTF-8 letter across two blocks")
            << "n\n" + (filler + QChar(0x0218)).toUtf8() << TextEncoding::Utf8 << filler + QChar(0x0218);
        // A letter that looks like a byte order mark, where the second block begins.
        const QString blockFiller(65534, u'x');
        QTest::newRow("U+FEFF where a block begins") << "n\n" + (blockFiller + QChar(0xFEFF) + u'A').toUtf8()
                                                     << TextEncoding::Utf8 << blockFiller + QChar(0xFEFF) + u'A';
        QTest::newRow("two byte order marks")
            << "\xEF\xBB\xBF\xEF\xBB\xBFn\n" + romanian.toUtf8() << TextEncoding::Utf8WithBom << romanian;
    }
    void encodings()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(TextEncoding, encoding);
        QFETCH(QString, name);
        const CsvDocument document = ReadCsv(bytes);
        QCOMPARE(document.encoding, encoding);
        QCOMPARE(document.records.size(), 2);
        QCOMPARE(document.records.at(0).fields(), QStringList { "n" });
        QCOMPARE(document.records.at(1).fields(), QStringList { name });
    }

    void unreadableFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("message");
        QTest::newRow("quote never closed") << QByteArray("a,b\n1,2\n3,\"x\n4,5\n") << 3
                                            << "Ghilimele neinchise: inregistrarea nu se termina pana la sfarsitul "
                                               "fisierului";
        QTest::newRow("UTF-16") << QByteArray("\xFF\xFE"
                                              "a\0"
                                              "\n\0",
            6) << 1 << "Fisierul este scris in UTF-16; salvati-l ca CSV in UTF-8 sau Windows-1250";
        QTest::newRow("UTF-16 without its BOM") << QByteArray("c\0u\0i\0\n\0"
                                                              "1\0"
                                                              "9\0\n\0",
            14) << 1
                                                << "Fisierul este scris in UTF-16; salvati-l ca CSV in UTF-8 sau "
                                                   "Windows-1250";
        const QString mixed = QStringLiteral("Fisierul amesteca litere UTF-8 cu litere Windows-1250 (de la aceasta "
                                             "linie); salvati-l din nou intreg ca CSV UTF-8");
        QTest::newRow("UTF-8, then a Windows-1250 byte") << "n\n" + QStringLiteral("\u0218TEF\u0102NE\u0218TI").toUtf8()
                + "\n\"A\r\nB\",\xAA"
                  "TEFANESTI\n" << 4 << mixed;
        QTest::newRow("Windows-1250, then UTF-8") << "n\n\xAA"
                                                     "TEFANESTI\n"
                + QStringLiteral("\u0218TEF\u0102NE\u0218TI").toUtf8()
                                                  << 2 << mixed;
        QTest::newRow("a record longer than any payer's")
            << "n\n" + QByteArray(3 << 20, 'x') << 2
            << "Inregistrarea are peste 1048576 de caractere: fisierul nu este un tabel de contribuabili";
    }
    void unreadableFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, line);
        QFETCH(QString, message);
        const CsvDocument document = ReadCsv(bytes);
        QVERIFY(document.error);
        QCOMPARE(document.error->line, line);
        QCOMPARE(document.error->message, message);
        QVERIFY(document.records.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestCsvReader)
#include "tst_csvreader.moc"
