#include "output/FormFill.h"
#include "output/FormLayouts.h"
#include "output/PrintedForms.h"
#include "output/ValueDisplay.h"
#include "store/Errors.h"
#include "support/SampleRecords.h"

#include <QTest>

namespace samples = itm::test::samples;

using namespace itm;

Q_DECLARE_METATYPE(itm::PrintedFormChoice)
Q_DECLARE_METATYPE(itm::ValueType)

namespace {

QString captionOf(const Form& form, const char* name)
{
    return form.element(QString::fromLatin1(name)).caption;
}

bool printedOf(const Form& form, const char* name)
{
    return form.element(QString::fromLatin1(name)).printed;
}

} // namespace

class TestFormFill : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void rateTick_data()
    {
        QTest::addColumn<QVariant>("com25");
        QTest::addColumn<QString>("c25");
        QTest::addColumn<QString>("c75");
        QTest::newRow("0") << QVariant(qint64(0)) << ""
                           << "X";
        QTest::newRow("1") << QVariant(qint64(1)) << "X"
                           << "";
        QTest::newRow("-1") << QVariant(qint64(-1)) << "X"
                            << "";
        QTest::newRow("text 0") << QVariant(QStringLiteral("0")) << ""
                                << "X";
    }
    void rateTick()
    {
        QFETCH(QVariant, com25);
        QFETCH(QString, c25);
        QFETCH(QString, c75);
        samples::PrintRecords records;
        records.declaration.setValue(QStringLiteral("com25"), com25);
        for (Form form : { CreateTrLunff(), CreateTrLun(), CreateTrIan() }) {
            QRBand1BeforePrint(form, records.data());
            QCOMPARE(captionOf(form, "c25"), c25);
            QCOMPARE(captionOf(form, "c75"), c75);
        }
    }

    void initialOrCorrective_data()
    {
        QTest::addColumn<qint64>("rectificativ");
        QTest::addColumn<QString>("caption");
        QTest::newRow("0") << qint64(0) << "Initiala";
        QTest::newRow("1") << qint64(1) << "Rectificativa";
        QTest::newRow("2") << qint64(2) << "Rectificativa";
    }
    void initialOrCorrective()
    {
        QFETCH(qint64, rectificativ);
        QFETCH(QString, caption);
        samples::PrintRecords records;
        samples::set(records.declaration, "rectificativ", rectificativ);
        for (Form form : { CreateTrLunff(), CreateTrLun(), CreateTrIan() }) {
            QRBand1BeforePrint(form, records.data());
            QCOMPARE(captionOf(form, "initiala"), caption);
        }
    }

    void monthTexts_data()
    {
        QTest::addColumn<qint64>("month");
        QTest::addColumn<qint64>("year");
        QTest::addColumn<QString>("luna");
        QTest::addColumn<QString>("lunajos");
        QTest::newRow("March 2006") << qint64(3) << qint64(2006) << "luna Martie anul 2006"
                                    << "Martie 2006";
        QTest::newRow("January 2006") << qint64(1) << qint64(2006) << "luna Ianuarie anul 2006"
                                      << "Ianuarie 2006";
        QTest::newRow("December 2005") << qint64(12) << qint64(2005) << "luna Decembrie anul 2005"
                                       << "Decembrie 2005";
        // A month outside 1..12 never reaches a saved declaration; it prints no name.
        QTest::newRow("month 13") << qint64(13) << qint64(2006) << "luna  anul 2006"
                                  << " 2006";
    }
    void monthTexts()
    {
        QFETCH(qint64, month);
        QFETCH(qint64, year);
        QFETCH(QString, luna);
        QFETCH(QString, lunajos);
        samples::PrintRecords records;
        samples::set(records.declaration, "ln", month);
        samples::set(records.declaration, "an", year);
        for (Form form : { CreateTrLunff(), CreateTrLun(), CreateTrIan() }) {
            QRBand1BeforePrint(form, records.data());
            QCOMPARE(captionOf(form, "luna"), luna);
            QCOMPARE(captionOf(form, "lunajos"), lunajos);
        }
    }

    void sectors_data()
    {
        QTest::addColumn<QVariant>("sector");
        QTest::addColumn<QVariant>("lsector");
        QTest::addColumn<bool>("sec");
        QTest::addColumn<bool>("lsec");
        QTest::newRow("both 0") << QVariant(qint64(0)) << QVariant(qint64(0)) << false << false;
        QTest::newRow("sector only") << QVariant(qint64(3)) << QVariant(qint64(0)) << true << false;
        QTest::newRow("liquidator only") << QVariant(qint64(0)) << QVariant(qint64(2)) << false << true;
        QTest::newRow("no value") << QVariant() << QVariant() << false << false;
    }
    void sectors()
    {
        QFETCH(QVariant, sector);
        QFETCH(QVariant, lsector);
        QFETCH(bool, sec);
        QFETCH(bool, lsec);
        samples::PrintRecords records;
        records.payer = samples::printedPayer(1);
        records.payer.setValue(QStringLiteral("sector"), sector);
        records.payer.setValue(QStringLiteral("lsector"), lsector);
        Form bankruptcy = CreateTrLun();
        QRBand1BeforePrint(bankruptcy, records.data());
        QCOMPARE(printedOf(bankruptcy, "sec"), sec);
        QCOMPARE(printedOf(bankruptcy, "lsec"), lsec);
        for (Form form : { CreateTrLunff(), CreateTrIan() }) {
            QRBand1BeforePrint(form, records.data());
            QCOMPARE(printedOf(form, "sec"), sec);
        }
    }

    void composedName_data()
    {
        QTest::addColumn<qint64>("prefix");
        QTest::addColumn<qint64>("sufix");
        QTest::addColumn<QString>("name");
        QTest::newRow("S.C. S.R.L.") << qint64(1) << qint64(1) << "S.C. ALFA S.R.L.";
        QTest::newRow("other, other") << qint64(0) << qint64(0) << " ALFA ";
        QTest::newRow("bank") << qint64(13) << qint64(0) << "Banca ALFA ";
        QTest::newRow("S.C. S.C.A.") << qint64(1) << qint64(5) << "S.C. ALFA S.C.A.";
    }
    void composedName()
    {
        QFETCH(qint64, prefix);
        QFETCH(qint64, sufix);
        QFETCH(QString, name);
        samples::PrintRecords records;
        samples::set(records.payer, "prefix", prefix);
        samples::set(records.payer, "sufix", sufix);
        for (Form form : { CreateTrLunff(), CreateTrLun(), CreateTrIan() }) {
            QRBand1BeforePrint(form, records.data());
            QCOMPARE(captionOf(form, "densus"), name);
            QCOMPARE(captionOf(form, "den"), name);
        }
    }

    // An index outside its table composes no name: the elements keep what
    // they showed, the placeholders before the first print.
    void outOfRangeIndexKeepsTheNames_data()
    {
        QTest::addColumn<QVariant>("prefix");
        QTest::addColumn<QVariant>("sufix");
        QTest::newRow("prefix 14") << QVariant(qint64(14)) << QVariant(qint64(1));
        QTest::newRow("prefix -1") << QVariant(qint64(-1)) << QVariant(qint64(1));
        QTest::newRow("sufix 6") << QVariant(qint64(1)) << QVariant(qint64(6));
        QTest::newRow("prefix no number") << QVariant(QStringLiteral("x")) << QVariant(qint64(1));
    }
    void outOfRangeIndexKeepsTheNames()
    {
        QFETCH(QVariant, prefix);
        QFETCH(QVariant, sufix);
        samples::PrintRecords odd;
        odd.payer.setValue(QStringLiteral("prefix"), prefix);
        odd.payer.setValue(QStringLiteral("sufix"), sufix);
        samples::set(odd.payer, "denumire", QStringLiteral("BETA"));

        Form fresh = CreateTrLunff();
        QRBand1BeforePrint(fresh, odd.data());
        QCOMPARE(captionOf(fresh, "densus"), QStringLiteral("densus"));
        QCOMPARE(captionOf(fresh, "den"), QStringLiteral("den"));

        Form used = CreateTrLunff();
        samples::PrintRecords earlier;
        QRBand1BeforePrint(used, earlier.data());
        QRBand1BeforePrint(used, odd.data());
        QCOMPARE(captionOf(used, "densus"), QStringLiteral("S.C. ALFA S.R.L."));
        QCOMPARE(captionOf(used, "den"), QStringLiteral("S.C. ALFA S.R.L."));
        // The rest of the page follows the new records.
        QCOMPARE(captionOf(used, "luna"), QStringLiteral("luna Martie anul 2006"));
    }

    void secondPrintOverwritesEverything()
    {
        PrintedForms forms;
        samples::PrintRecords first;
        first.payer = samples::printedPayer(1);
        samples::set(first.declaration, "com25", qint64(1));
        samples::set(first.declaration, "rectificativ", qint64(1));
        samples::set(first.payer, "sector", qint64(4));
        samples::set(first.payer, "lsector", qint64(5));
        const PageLayout one = forms.layOut(PrintedFormChoice::Bankruptcy, first.data());

        samples::PrintRecords second;
        second.payer = samples::printedPayer(1);
        samples::set(second.payer, "prefix", qint64(2));
        samples::set(second.payer, "sufix", qint64(0));
        samples::set(second.payer, "denumire", QStringLiteral("POPESCU ION"));
        samples::set(second.payer, "sector", qint64(0));
        samples::set(second.payer, "lsector", qint64(0));
        samples::set(second.payer, "numerep", QStringLiteral("IONESCU"));
        samples::set(second.declaration, "ln", qint64(11));
        samples::set(second.declaration, "an", qint64(2007));
        second.payerCounty = samples::county("CLUJ");
        const PageLayout two = forms.layOut(PrintedFormChoice::Bankruptcy, second.data());

        Form& form = forms.rLun();
        QCOMPARE(captionOf(form, "c25"), QString());
        QCOMPARE(captionOf(form, "c75"), QStringLiteral("X"));
        QCOMPARE(captionOf(form, "initiala"), QStringLiteral("Initiala"));
        QCOMPARE(captionOf(form, "luna"), QStringLiteral("luna Noiembrie anul 2007"));
        QCOMPARE(captionOf(form, "lunajos"), QStringLiteral("Noiembrie 2007"));
        QCOMPARE(captionOf(form, "densus"), QStringLiteral("P.F. POPESCU ION "));
        QVERIFY(!printedOf(form, "sec"));
        QVERIFY(!printedOf(form, "lsec"));
        QVERIFY(one.find(QStringLiteral("lsec")));
        QVERIFY(!two.find(QStringLiteral("lsec")));
        QCOMPARE(two.find(QStringLiteral("QRDBText1"))->lines.first().text, QStringLiteral("CLUJ"));
        QCOMPARE(two.find(QStringLiteral("QRDBText22"))->lines.first().text, QStringLiteral("IONESCU"));
        // Printing twice without changes gives the same page.
        const PageLayout again = forms.layOut(PrintedFormChoice::Bankruptcy, second.data());
        QCOMPARE(again.texts(), two.texts());
    }

    void formsAreCreatedOnceAndReused()
    {
        PrintedForms forms;
        QCOMPARE(forms.rLunff().className(), QStringLiteral("TrLunff"));
        QCOMPARE(forms.rIan().className(), QStringLiteral("TrIan"));
        QCOMPARE(forms.rLun().className(), QStringLiteral("TrLun"));
        QCOMPARE(&forms.form(PrintedFormChoice::Monthly), &forms.rLunff());
        QCOMPARE(&forms.form(PrintedFormChoice::January2006), &forms.rIan());
        QCOMPARE(&forms.form(PrintedFormChoice::Bankruptcy), &forms.rLun());
        samples::PrintRecords records;
        forms.layOut(PrintedFormChoice::Monthly, records.data());
        // Only the printed form was filled.
        QCOMPARE(captionOf(forms.rLunff(), "densus"), QStringLiteral("S.C. ALFA S.R.L."));
        QCOMPARE(captionOf(forms.rLun(), "densus"), QStringLiteral("densus"));
    }

    void formChoice_data()
    {
        QTest::addColumn<qint64>("month");
        QTest::addColumn<qint64>("year");
        QTest::addColumn<qint64>("faliment");
        QTest::addColumn<PrintedFormChoice>("choice");
        const auto m = PrintedFormChoice::Monthly;
        const auto b = PrintedFormChoice::Bankruptcy;
        const auto j = PrintedFormChoice::January2006;
        QTest::newRow("January 2006") << qint64(1) << qint64(2006) << qint64(0) << j;
        QTest::newRow("January 2006 bankrupt") << qint64(1) << qint64(2006) << qint64(1) << j;
        QTest::newRow("January 2007") << qint64(1) << qint64(2007) << qint64(0) << m;
        QTest::newRow("January 2005 bankrupt") << qint64(1) << qint64(2005) << qint64(1) << b;
        QTest::newRow("December 2005") << qint64(12) << qint64(2005) << qint64(0) << m;
        QTest::newRow("December 2005 bankrupt") << qint64(12) << qint64(2005) << qint64(1) << b;
        QTest::newRow("February 2006") << qint64(2) << qint64(2006) << qint64(0) << m;
        QTest::newRow("faliment 2") << qint64(3) << qint64(2006) << qint64(2) << b;
        QTest::newRow("faliment -1") << qint64(3) << qint64(2006) << qint64(-1) << b;
    }
    void formChoice()
    {
        QFETCH(qint64, month);
        QFETCH(qint64, year);
        QFETCH(qint64, faliment);
        QFETCH(PrintedFormChoice, choice);
        const RowRecord declaration = samples::printedDeclaration(month, year);
        const RowRecord payer = samples::printedPayer(faliment);
        QCOMPARE(ChoosePrintedForm(declaration, payer), choice);
    }

    void formChoiceReadsWholeNumbers()
    {
        RowRecord declaration = samples::printedDeclaration(1, 2006);
        declaration.setValue(QStringLiteral("an"), QStringLiteral("2006"));
        QCOMPARE(ChoosePrintedForm(declaration, samples::printedPayer()), PrintedFormChoice::January2006);
        declaration.setValue(QStringLiteral("ln"), QStringLiteral("ian"));
        QVERIFY_THROWS_EXCEPTION(ConversionError, ChoosePrintedForm(declaration, samples::printedPayer()));
    }

    // The page shows what the file declares: an amount that is no whole
    // number stops the print instead of printing as it is.
    void anAmountThatIsNoWholeNumberStopsThePrint_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("refused");
        QTest::newRow("fund with a fraction") << "fondlunsal" << QVariant(12345.5) << true;
        QTest::newRow("whole fund as a real") << "fondlunsal" << QVariant(12345.0) << false;
        QTest::newRow("paid as a text") << "comac" << QVariant(QStringLiteral("x1")) << true;
        QTest::newRow("December 2005 due with a fraction") << "comdec" << QVariant(0.5) << true;
    }
    void anAmountThatIsNoWholeNumberStopsThePrint()
    {
        QFETCH(QString, column);
        QFETCH(QVariant, value);
        QFETCH(bool, refused);
        samples::PrintRecords records;
        records.declaration.setValue(column, value);
        if (refused) {
            QVERIFY_THROWS_EXCEPTION(ConversionError, ChoosePrintedForm(records.declaration, records.payer));
            return;
        }
        QCOMPARE(ChoosePrintedForm(records.declaration, records.payer), PrintedFormChoice::Monthly);
        PrintedForms forms;
        const PageLayout page = forms.layOut(PrintedFormChoice::Monthly, records.data());
        QCOMPARE(page.find(QStringLiteral("QRDBText16"))->lines.first().text, QStringLiteral("12345"));
    }

    void displayText_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<ValueType>("type");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("text");
        const auto i = ValueType::Integer;
        const auto r = ValueType::Real;
        const auto t = ValueType::Text;
        QTest::newRow("integer") << QVariant(qint64(1500)) << i << ""
                                 << "1500";
        QTest::newRow("negative") << QVariant(qint64(-25)) << i << ""
                                  << "-25";
        QTest::newRow("zero") << QVariant(qint64(0)) << i << ""
                              << "0";
        QTest::newRow("real whole") << QVariant(20000.0) << r << ""
                                    << "20000";
        QTest::newRow("real fraction") << QVariant(1500.5) << r << ""
                                       << "1500.5";
        QTest::newRow("whole number column holding a fraction") << QVariant(1500.5) << i << ""
                                                                << "";
        QTest::newRow("whole number column holding a whole real") << QVariant(1500.0) << i << ""
                                                                  << "1500";
        QTest::newRow("real shortest") << QVariant(0.1 + 0.2) << r << ""
                                       << "0.3";
        QTest::newRow("real from integer") << QVariant(qint64(7)) << r << ""
                                           << "7";
        QTest::newRow("text") << QVariant(QStringLiteral("VICTORIEI")) << t << ""
                              << "VICTORIEI";
        QTest::newRow("blank text") << QVariant(QStringLiteral(" ")) << t << ""
                                    << " ";
        QTest::newRow("null") << QVariant() << i << ""
                              << "";
        QTest::newRow("null masked") << QVariant() << i << "00"
                                     << "";
        QTest::newRow("mask 00") << QVariant(qint64(5)) << i << "00"
                                 << "05";
        QTest::newRow("mask 00 wide") << QVariant(qint64(123)) << i << "00"
                                      << "123";
        QTest::newRow("mask 0000") << QVariant(qint64(2006)) << i << "0000"
                                   << "2006";
        QTest::newRow("mask 0000 short") << QVariant(qint64(6)) << i << "0000"
                                         << "0006";
        QTest::newRow("mask negative") << QVariant(qint64(-5)) << i << "00"
                                       << "-05";
        QTest::newRow("mask real") << QVariant(5.0) << r << "00"
                                   << "05";
        QTest::newRow("mask on text") << QVariant(QStringLiteral("5")) << t << "00"
                                      << "5";
        QTest::newRow("integer from text") << QVariant(QStringLiteral("12")) << i << "00"
                                           << "12";
        QTest::newRow("integer unconvertible") << QVariant(QStringLiteral("abc")) << i << ""
                                               << "";
        QTest::newRow("real unconvertible") << QVariant(QStringLiteral("1,5")) << r << ""
                                            << "";
        QTest::newRow("masked unconvertible") << QVariant(QStringLiteral("x")) << i << "00"
                                              << "";
        QTest::newRow("minimum") << QVariant(std::numeric_limits<qint64>::min()) << i << "00"
                                 << "-9223372036854775808";
    }
    void displayText()
    {
        QFETCH(QVariant, value);
        QFETCH(ValueType, type);
        QFETCH(QString, mask);
        QFETCH(QString, text);
        QCOMPARE(DisplayText(value, type, mask), text);
    }

    void differenceExpression_data()
    {
        QTest::addColumn<QVariant>("comdat");
        QTest::addColumn<QVariant>("comac");
        QTest::addColumn<QString>("text");
        QTest::newRow("positive") << QVariant(qint64(150)) << QVariant(qint64(100)) << "50";
        QTest::newRow("zero") << QVariant(qint64(15)) << QVariant(qint64(15)) << "0";
        QTest::newRow("negative") << QVariant(qint64(10)) << QVariant(qint64(25)) << "-15";
        QTest::newRow("text numbers") << QVariant(QStringLiteral("40")) << QVariant(qint64(1)) << "39";
        QTest::newRow("unconvertible") << QVariant(QStringLiteral("x")) << QVariant(qint64(1)) << "";
        QTest::newRow("overflow") << QVariant(std::numeric_limits<qint64>::min()) << QVariant(qint64(1)) << "";
    }
    void differenceExpression()
    {
        QFETCH(QVariant, comdat);
        QFETCH(QVariant, comac);
        QFETCH(QString, text);
        samples::PrintRecords records;
        records.declaration.setValue(QStringLiteral("comdat"), comdat);
        records.declaration.setValue(QStringLiteral("comac"), comac);
        const Form form = CreateTrLunff();
        QCOMPARE(ElementText(form.element(QStringLiteral("QRExpr1")), records.data()), text);
    }

    // A missing record or column prints empty; the page is still produced.
    void missingRecordsPrintEmpty()
    {
        samples::PrintRecords records;
        FormData data = records.data();
        data.payerCounty = nullptr;
        RowRecord sparse;
        samples::set(sparse, "ln", qint64(3));
        samples::set(sparse, "an", qint64(2006));
        data.declaration = &sparse;
        PrintedForms forms;
        const PageLayout page = forms.layOut(PrintedFormChoice::Monthly, data);
        QVERIFY(page.find(QStringLiteral("QRDBText1"))->lines.isEmpty()
            || page.find(QStringLiteral("QRDBText1"))->lines.first().text.isEmpty());
        QCOMPARE(page.find(QStringLiteral("QRDBText15"))->lines.first().text, QString());
        QCOMPARE(page.find(QStringLiteral("QRExpr1"))->lines.first().text, QStringLiteral("0"));
        QCOMPARE(forms.rLunff().element(QStringLiteral("luna")).caption, QStringLiteral("luna Martie anul 2006"));
    }
};

QTEST_MAIN(TestFormFill)
#include "tst_formfill.moc"
