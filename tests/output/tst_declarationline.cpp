#include "output/DeclarationLine.h"
#include "store/Errors.h"
#include "support/SampleRecords.h"

#include <QTest>

namespace samples = itm::test::samples;

using namespace itm;

namespace {
const QString kNotInBankruptcyTail = QStringLiteral(R"(0,0," "," "," ",0," "," "," "," "," "," "," "," ",0,0,0)");

QStringList fieldsOf(const QString& line)
{
    return line.split(u',');
}
} // namespace

class TestDeclarationLine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void wholeLineOfAPayerNotInBankruptcy()
    {
        const QString line = BuildDeclarationLine(samples::payer(), samples::declaration(3, 2006));
        QCOMPARE(line,
            QStringLiteral(R"("03","2006",123456789,1,"ALFA",1,"40","BUCURESTI",3,"VICTORIEI","10"," "," "," ",)"
                           R"("010101","0211234567","office@alfa.ro","BCR","RO49AAAA1B31007593840000",)"
                           R"(0,0,12,2000,15,15,0,0,"POPESCU","ION","ADMINISTRATOR",)")
                + kNotInBankruptcyTail);
        QCOMPARE(fieldsOf(line).size(), kDeclarationLineFieldCount);
        QVERIFY(line.startsWith(QStringLiteral(R"("03","2006",)")));
        QVERIFY(line.endsWith(kNotInBankruptcyTail));
    }

    void liquidatorDataOfAPayerInBankruptcy()
    {
        const QString line = BuildDeclarationLine(samples::bankruptPayer(), samples::declaration(3, 2006));
        QVERIFY(line.endsWith(QStringLiteral(R"(1,1900101000006,"LICHIDATOR SPRL","12","CLUJ-NAPOCA",0,)"
                                             R"("HOREA","F.N.","B1","A","7","400001","lichidator@ex.ro",)"
                                             R"("0264111222",5,3,2004)")));
        QCOMPARE(fieldsOf(line).size(), kDeclarationLineFieldCount);
    }

    void january2006HasNoBankruptcy_data()
    {
        QTest::addColumn<qint64>("month");
        QTest::addColumn<qint64>("year");
        QTest::addColumn<bool>("liquidatorWritten");
        QTest::newRow("January 2006") << qint64(1) << qint64(2006) << false;
        QTest::newRow("February 2006") << qint64(2) << qint64(2006) << true;
        QTest::newRow("January 2007") << qint64(1) << qint64(2007) << true;
    }

    void january2006HasNoBankruptcy()
    {
        QFETCH(qint64, month);
        QFETCH(qint64, year);
        QFETCH(bool, liquidatorWritten);
        // A bankrupt payer's declaration carried into January 2006: the line
        // ends as the line of a payer not in bankruptcy does.
        const QString line = BuildDeclarationLine(samples::bankruptPayer(), samples::declaration(month, year));
        QCOMPARE(!line.endsWith(kNotInBankruptcyTail), liquidatorWritten);
        QCOMPARE(fieldsOf(line).size(), kDeclarationLineFieldCount);
        QCOMPARE(line.section(u',', 0, 29),
            BuildDeclarationLine(samples::payer(), samples::declaration(month, year)).section(u',', 0, 29));
    }

    void singleFields_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("field"); // counted from 1
        QTest::addColumn<QString>("written");
        QTest::newRow("January") << "declaration"
                                 << "ln" << QVariant(qint64(1)) << 1 << R"("01")";
        QTest::newRow("December") << "declaration"
                                  << "ln" << QVariant(qint64(12)) << 1 << R"("12")";
        QTest::newRow("month stored as text") << "declaration"
                                              << "ln" << QVariant(QStringLiteral("3")) << 1 << R"("03")";
        QTest::newRow("short year padded") << "declaration"
                                           << "an" << QVariant(qint64(5)) << 2 << R"("0005")";
        QTest::newRow("reduced rate") << "declaration"
                                      << "com25" << QVariant(qint64(1)) << 21 << "1";
        QTest::newRow("corrective") << "declaration"
                                    << "rectificativ" << QVariant(qint64(1)) << 20 << "1";
        QTest::newRow("negative amount paid") << "declaration"
                                              << "comac" << QVariant(qint64(-5)) << 25 << "-5";
        QTest::newRow("negative fund as real") << "declaration"
                                               << "fondlunsal" << QVariant(-2000.0) << 23 << "-2000";
        QTest::newRow("ten-digit fund") << "declaration"
                                        << "fondlunsal" << QVariant(9999999999.0) << 23 << "9999999999";
        QTest::newRow("December 2005 due") << "declaration"
                                           << "comdec" << QVariant(qint64(40)) << 26 << "40";
        QTest::newRow("December 2005 paid") << "declaration"
                                            << "comdecac" << QVariant(qint64(30)) << 27 << "30";
        QTest::newRow("empty street") << "payer"
                                      << "str" << QVariant(QStringLiteral(" ")) << 10 << R"(" ")";
        QTest::newRow("code bare, as typed") << "payer"
                                             << "cui" << QVariant(QStringLiteral("RO19")) << 3 << "RO19";
        QTest::newRow("prefix other") << "payer"
                                      << "prefix" << QVariant(qint64(0)) << 4 << "0";
        QTest::newRow("prefix Banca") << "payer"
                                      << "prefix" << QVariant(qint64(13)) << 4 << "13";
        QTest::newRow("bare name only") << "payer"
                                        << "denumire" << QVariant(QStringLiteral("ALFA  BETA")) << 5
                                        << R"("ALFA  BETA")";
        QTest::newRow("suffix S.C.A.") << "payer"
                                       << "sufix" << QVariant(qint64(5)) << 6 << "5";
        QTest::newRow("sector outside Bucharest") << "payer"
                                                  << "sector" << QVariant(qint64(0)) << 9 << "0";
        QTest::newRow("e-mail keeps its case") << "payer"
                                               << "email" << QVariant(QStringLiteral("a@b.ro")) << 17 << R"("a@b.ro")";
        QTest::newRow("IBAN") << "payer"
                              << "cont" << QVariant(QStringLiteral("fara iban")) << 19 << R"("fara iban")";
        QTest::newRow("function") << "payer"
                                  << "funcrep" << QVariant(QStringLiteral("DIRECTOR")) << 30 << R"("DIRECTOR")";
        QTest::newRow("no value reads 0") << "payer"
                                          << "lzi" << QVariant() << 45 << "0";
        QTest::newRow("non-ASCII kept") << "payer"
                                        << "loc" << QVariant(QStringLiteral("BRA\u015EOV")) << 8
                                        << QStringLiteral("\"BRA\u015EOV\"");
    }
    void singleFields()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(QVariant, value);
        QFETCH(int, field);
        QFETCH(QString, written);
        RowRecord payer = samples::payer();
        RowRecord declaration = samples::declaration(3, 2006);
        (table == QLatin1String("payer") ? payer : declaration).setValue(column, value);
        const QStringList fields = fieldsOf(BuildDeclarationLine(payer, declaration));
        QCOMPARE(fields.size(), kDeclarationLineFieldCount);
        QCOMPARE(fields.at(field - 1), written);
    }

    // Read with the strict whole-number conversion: neither a text nor a real
    // with a fraction is rounded into the file.
    void anIntegerColumnHoldingNoWholeNumberRaises_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("message");
        QTest::newRow("text") << "nrsal" << QVariant(QStringLiteral("12a"))
                              << "Coloana 'nrsal': '12a' is not a valid integer value";
        QTest::newRow("fund with a fraction")
            << "fondlunsal" << QVariant(12345.5) << "Coloana 'fondlunsal': '12345.5' is not a valid integer value";
        QTest::newRow("fraction below a half")
            << "comac" << QVariant(100.25) << "Coloana 'comac': '100.25' is not a valid integer value";
    }
    void anIntegerColumnHoldingNoWholeNumberRaises()
    {
        QFETCH(QString, column);
        QFETCH(QVariant, value);
        QFETCH(QString, message);
        RowRecord declaration = samples::declaration(3, 2006);
        declaration.setValue(column, value);
        try {
            BuildDeclarationLine(samples::payer(), declaration);
            QFAIL("no error");
        } catch (const ConversionError& error) {
            QCOMPARE(error.message(), message);
        }
    }

    void aMissingColumnRaises()
    {
        RowRecord payer(QStringList { QStringLiteral("cui") }, { QStringLiteral("19") });
        QVERIFY_THROWS_EXCEPTION(Error, BuildDeclarationLine(payer, samples::declaration(3, 2006)));
    }

    void fileNames_data()
    {
        QTest::addColumn<qint64>("year");
        QTest::addColumn<qint64>("month");
        QTest::addColumn<QString>("name");
        QTest::newRow("March 2006") << qint64(2006) << qint64(3) << "IM200603.txt";
        QTest::newRow("January 2006") << qint64(2006) << qint64(1) << "IM200601.txt";
        QTest::newRow("December") << qint64(2010) << qint64(12) << "IM201012.txt";
        QTest::newRow("short year") << qint64(5) << qint64(7) << "IM000507.txt";
    }
    void fileNames()
    {
        QFETCH(qint64, year);
        QFETCH(qint64, month);
        QFETCH(QString, name);
        QCOMPARE(DeclarationFileName(year, month), name);
    }

    void fileBytesAreTheStoredEncoding()
    {
        QCOMPARE(DeclarationFileBytes(QStringLiteral("BRA\u015EOV")), QByteArray("BRA\xC5\x9EOV"));
        QCOMPARE(DeclarationFileBytes(QStringLiteral(R"("03")")), QByteArray(R"("03")"));
    }
};

QTEST_GUILESS_MAIN(TestDeclarationLine)
#include "tst_declarationline.moc"
