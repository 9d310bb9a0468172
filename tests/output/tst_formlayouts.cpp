#include "output/FormLayouts.h"
#include "output/PrintedForms.h"
#include "support/SampleRecords.h"

#include <QFile>
#include <QTest>

namespace samples = itm::test::samples;

using namespace itm;

Q_DECLARE_METATYPE(itm::PrintedFormChoice)

namespace {

qsizetype indexOf(const Form& form, const char* name)
{
    for (qsizetype i = 0; i < form.elements().size(); ++i) {
        if (form.elements().at(i).name == QLatin1String(name))
            return i;
    }
    return -1;
}

QString mm(double value)
{
    return QString::number(value, 'f', 2);
}

QString rectText(const QRectF& rect)
{
    return mm(rect.left()) + u' ' + mm(rect.top()) + u' ' + mm(rect.width()) + u' ' + mm(rect.height());
}

// One line an element, a line a bar and a line a line of text, in millimetres.
QStringList describe(const PageLayout& page)
{
    QStringList lines { page.formName };
    for (const LaidOutElement& element : page.elements) {
        lines << QStringLiteral("%1 %2 font %3%4%5")
                     .arg(element.name, rectText(element.rect))
                     .arg(element.fontSize)
                     .arg(element.bold ? QStringLiteral(" bold") : QString())
                     .arg(element.whiteFill ? QStringLiteral(" white") : QString());
        for (const QRectF& bar : element.bars)
            lines << QStringLiteral("  bar ") + rectText(bar);
        for (const TextLine& line : element.lines)
            lines << QStringLiteral("  text %1 %2 %3 |%4|").arg(mm(line.x), mm(line.top), mm(line.width), line.text);
    }
    return lines;
}

} // namespace

class TestFormLayouts : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void captionOfSectionADrawnBeforeItsFrame()
    {
        for (const Form& form : { CreateTrLunff(), CreateTrLun(), CreateTrIan() }) {
            QVERIFY(indexOf(form, "QRLabel7") >= 0);
            QCOMPARE(indexOf(form, "QRImage3"), indexOf(form, "QRLabel7") + 1);
        }
    }

    // Every element, bar and line of text of the three pages as they are laid
    // out with the same records, compared whole with the pages kept under
    // tests/output/golden. ITM_UPDATE_GOLDEN=1 writes them anew after an
    // intended change of a layout.
    void laidOutPages_data()
    {
        QTest::addColumn<PrintedFormChoice>("choice");
        QTest::addColumn<QString>("file");
        QTest::newRow("monthly") << PrintedFormChoice::Monthly << "monthly.txt";
        QTest::newRow("bankruptcy") << PrintedFormChoice::Bankruptcy << "bankruptcy.txt";
        QTest::newRow("january 2006") << PrintedFormChoice::January2006 << "january2006.txt";
    }
    void laidOutPages()
    {
        QFETCH(PrintedFormChoice, choice);
        QFETCH(QString, file);
        samples::PrintRecords records;
        if (choice == PrintedFormChoice::Bankruptcy)
            records.payer = samples::printedPayer(1);
        if (choice == PrintedFormChoice::January2006)
            records.declaration = samples::printedDeclaration(1, 2006);
        PrintedForms forms;
        const QStringList page = describe(forms.layOut(choice, records.data()));

        QFile golden(QStringLiteral(ITM_SOURCE_DIR "/tests/output/golden/") + file);
        if (qEnvironmentVariableIsSet("ITM_UPDATE_GOLDEN")) {
            QVERIFY(golden.open(QIODevice::WriteOnly | QIODevice::Truncate));
            golden.write(page.join(u'\n').toUtf8() + '\n');
            return;
        }
        QVERIFY2(golden.open(QIODevice::ReadOnly), qPrintable(golden.fileName()));
        const QStringList expected = QString::fromUtf8(golden.readAll()).split(u'\n', Qt::SkipEmptyParts);
        for (qsizetype i = 0; i < qMin(page.size(), expected.size()); ++i)
            QCOMPARE(page.at(i), expected.at(i));
        QCOMPARE(page.size(), expected.size());
    }

    void changedAttributes()
    {
        const Form monthly = CreateTrLunff();
        const Form bankruptcy = CreateTrLun();
        const Form january = CreateTrIan();
        QCOMPARE(monthly.element(QStringLiteral("fal")).caption, QStringLiteral("Nu"));
        QCOMPARE(bankruptcy.element(QStringLiteral("fal")).caption, QStringLiteral("Da"));
        QVERIFY(!monthly.element(QStringLiteral("cui")).noWrap);
        QVERIFY(bankruptcy.element(QStringLiteral("cui")).noWrap);
        for (const char* name : { "QRLabel35", "QRLabel36", "QRLabel37" }) {
            QVERIFY(!monthly.element(QString::fromLatin1(name)).bold);
            QVERIFY(january.element(QString::fromLatin1(name)).bold);
        }
        QCOMPARE(january.element(QStringLiteral("QRMemo1")).paragraphs, MonthlyNotesParagraphs().mid(0, 2));
        QCOMPARE(monthly.element(QStringLiteral("QRMemo1")).paragraphs.size(), 6);
        QVERIFY(monthly.element(QStringLiteral("QRMemo1")).paragraphs.last().isEmpty());
        QCOMPARE(bankruptcy.element(QStringLiteral("QRDBText34")).mask, QStringLiteral("00"));
        QCOMPARE(bankruptcy.element(QStringLiteral("QRDBText36")).mask, QStringLiteral("0000"));
        QCOMPARE(bankruptcy.element(QStringLiteral("QRDBText20")).dataset, FormDataset::LiquidatorCounty);
        QCOMPARE(january.element(QStringLiteral("QRDBText20")).column, QStringLiteral("comdecac"));
    }

    void onlyDiacriticIsTheDecemberCaption()
    {
        const Form january = CreateTrIan();
        const QString caption = january.element(QStringLiteral("QRLabel43")).caption;
        QCOMPARE(caption.at(17), QChar(0x00EE));
        QCOMPARE(caption,
            QString(QStringLiteral("din care achitat ") + QChar(0x00EE) + QStringLiteral("n luna decembrie***")));
        for (const Form& form : { CreateTrLunff(), CreateTrLun(), january }) {
            for (const FormElement& element : form.elements()) {
                const QString all = element.caption + element.paragraphs.join(QString());
                for (const QChar c : all) {
                    if (c.unicode() > 0x7E)
                        QCOMPARE(element.name, QStringLiteral("QRLabel43"));
                }
            }
        }
    }

    // Nothing may reach beyond the printable band nor into the bottom margin
    // (widths are rounded to hundredths, hence the allowance of 0.01 mm).
    void elementsStayInsideTheBand()
    {
        for (const Form& form : { CreateTrLunff(), CreateTrLun(), CreateTrIan() }) {
            for (const FormElement& element : form.elements()) {
                QVERIFY2(element.left >= 0 && element.right() <= 184.41 + 0.0101, qPrintable(element.name));
                QVERIFY2(element.top >= 0 && element.bottom() <= 272.79 + 1e-9, qPrintable(element.name));
            }
        }
    }
};

QTEST_MAIN(TestFormLayouts)
#include "tst_formlayouts.moc"
