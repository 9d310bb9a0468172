#include "output/FormFonts.h"
#include "output/FormLayouts.h"
#include "output/PageLayout.h"
#include "output/PrintedForms.h"
#include "support/SampleRecords.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QTest>

namespace samples = itm::test::samples;

using namespace itm;

Q_DECLARE_METATYPE(itm::PrintedFormChoice)
Q_DECLARE_METATYPE(itm::Alignment)

namespace {

constexpr double Tolerance = 0.005; // mm

double textWidth(const QString& text, int pointSize = 10, bool bold = false)
{
    return FormFontMetrics(pointSize, bold).horizontalAdvance(text) / UnitsPerMillimetre;
}

// A page with one text element of the given width and height.
PageLayout layOutText(const QString& caption, double width, double height = 50, Alignment alignment = Alignment::Left,
    Options options = {})
{
    Form form(QStringLiteral("Test"), Form::Kind::Monthly);
    form.append(
        MakeText(Section::Header, QStringLiteral("t"), 10, 20, width, height, caption, 10, false, alignment, options));
    return LayOutPage(form, FormData());
}

QStringList lineTexts(const LaidOutElement& element)
{
    QStringList texts;
    for (const TextLine& line : element.lines)
        texts.append(line.text);
    return texts;
}

double rightEnd(const TextLine& line)
{
    return line.x + line.width;
}

} // namespace

class TestPageLayout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void theFontIsArialOrItsMetricTwin()
    {
        const QFontInfo info(FormFont(10, false));
        QVERIFY2(info.family() == QLatin1String("Arial") || info.family() == QLatin1String("Liberation Sans"),
            qPrintable(info.family()));
        // One font height of Arial 10 is 1.117 times the size.
        const QFontMetricsF& metrics = FormFontMetrics(10, false);
        QVERIFY(qAbs((metrics.ascent() + metrics.descent()) / UnitsPerMillimetre - 10 * 1.117 * 25.4 / 72) < 0.005);
    }

    // Rule 4: words end after a space or a hyphen, which stay with them.
    void wrapsAfterSpaceOrHyphen()
    {
        const double width = std::max({ textWidth(QStringLiteral("alfa-")), textWidth(QStringLiteral("beta ")),
                                 textWidth(QStringLiteral("gamma")) })
            + 0.01;
        const PageLayout page = layOutText(QStringLiteral("alfa-beta gamma"), width);
        QCOMPARE(lineTexts(*page.find(QStringLiteral("t"))),
            QStringList({ QStringLiteral("alfa-"), QStringLiteral("beta "), QStringLiteral("gamma") }));
    }

    void fillsLinesWhileTheyFit()
    {
        const double width = textWidth(QStringLiteral("unu doi ")) + 0.01;
        const PageLayout page = layOutText(QStringLiteral("unu doi trei patru"), width);
        QCOMPARE(lineTexts(*page.find(QStringLiteral("t"))),
            QStringList({ QStringLiteral("unu doi "), QStringLiteral("trei "), QStringLiteral("patru") }));
    }

    void overWideWordKeepsWhatFits()
    {
        const QString word = QStringLiteral("CONTRAINDICATIILE");
        const double width = textWidth(QStringLiteral("CONTRA")) + 0.01;
        const PageLayout page = layOutText(QStringLiteral("AB ") + word + QStringLiteral(" CD"), width);
        QCOMPARE(lineTexts(*page.find(QStringLiteral("t"))),
            QStringList({ QStringLiteral("AB "), QStringLiteral("CONTRA"), QStringLiteral("CD") }));
    }

    void noWrapKeepsTheFirstLine()
    {
        const double width = textWidth(QStringLiteral("unu doi ")) + 0.01;
        const PageLayout page
            = layOutText(QStringLiteral("unu doi trei patru"), width, 50, Alignment::Left, Option::NoWrap);
        QCOMPARE(lineTexts(*page.find(QStringLiteral("t"))), QStringList({ QStringLiteral("unu doi ") }));
    }

    void paragraphsStartNewLines()
    {
        Form form(QStringLiteral("Test"), Form::Kind::Monthly);
        form.append(MakeMemo(Section::Notes, QStringLiteral("m"), 0, 0, 100, 50,
            { QStringLiteral("unu"), QString(), QStringLiteral("doi") }, 10, Alignment::Left));
        const PageLayout page = LayOutPage(form, FormData());
        const LaidOutElement& memo = *page.find(QStringLiteral("m"));
        QCOMPARE(lineTexts(memo), QStringList({ QStringLiteral("unu"), QString(), QStringLiteral("doi") }));
        QVERIFY(qAbs(memo.lines.at(2).top - 2 * memo.lineHeight) < 1e-9);
    }

    // Rule 5: a line prints only when it ends at most 0.1 mm below the element.
    void lastLineWithinTolerance_data()
    {
        QTest::addColumn<double>("overhang");
        QTest::addColumn<int>("lines");
        QTest::newRow("inside") << -0.5 << 2;
        QTest::newRow("0.09 below") << 0.09 << 2;
        QTest::newRow("0.11 below") << 0.11 << 1;
    }
    void lastLineWithinTolerance()
    {
        QFETCH(double, overhang);
        QFETCH(int, lines);
        const double lineHeight
            = (FormFontMetrics(10, false).ascent() + FormFontMetrics(10, false).descent()) / UnitsPerMillimetre;
        const PageLayout page = layOutText(QStringLiteral("unu\ndoi\ntrei"), 50, 2 * lineHeight - overhang);
        QCOMPARE(page.find(QStringLiteral("t"))->lines.size(), lines);
    }

    // Rules 4 and 6: alignment within the width; auto width keeps the edge
    // named by the alignment.
    void alignment_data()
    {
        QTest::addColumn<Alignment>("alignment");
        QTest::addColumn<bool>("autoWidth");
        QTest::newRow("left") << Alignment::Left << false;
        QTest::newRow("centre") << Alignment::Centre << false;
        QTest::newRow("right") << Alignment::Right << false;
        QTest::newRow("auto left") << Alignment::Left << true;
        QTest::newRow("auto centre") << Alignment::Centre << true;
        QTest::newRow("auto right") << Alignment::Right << true;
    }
    void alignment()
    {
        QFETCH(Alignment, alignment);
        QFETCH(bool, autoWidth);
        const QString text = QStringLiteral("Stare de faliment: ");
        const double width = 20; // narrower than the text
        const PageLayout page
            = layOutText(text, width, 50, alignment, autoWidth ? Options(Option::AutoWidth) : Options());
        const LaidOutElement& element = *page.find(QStringLiteral("t"));
        if (!autoWidth) {
            QVERIFY(element.lines.size() > 1);
            QCOMPARE(element.rect, QRectF(10, 20, width, 50));
            return;
        }
        QCOMPARE(element.lines.size(), 1);
        const TextLine& line = element.lines.first();
        QCOMPARE(line.text, text);
        QVERIFY(qAbs(line.width - textWidth(text)) < 1e-9);
        QVERIFY(qAbs(element.rect.width() - line.width) < 1e-9);
        QVERIFY(qAbs(line.x - element.rect.left()) < 1e-9);
        switch (alignment) {
        case Alignment::Left:
            QVERIFY(qAbs(element.rect.left() - 10) < 1e-9);
            break;
        case Alignment::Right:
            QVERIFY(qAbs(element.rect.right() - 30) < 1e-9);
            break;
        case Alignment::Centre:
            QVERIFY(qAbs(element.rect.center().x() - 20) < 1e-9);
            break;
        }
    }

    void linesAlignWithinTheWidth()
    {
        const PageLayout centred = layOutText(QStringLiteral("abc"), 40, 10, Alignment::Centre);
        const TextLine& c = centred.find(QStringLiteral("t"))->lines.first();
        QVERIFY(qAbs(c.x + c.width / 2 - 30) < 1e-9);
        const PageLayout right = layOutText(QStringLiteral("abc"), 40, 10, Alignment::Right);
        QVERIFY(qAbs(rightEnd(right.find(QStringLiteral("t"))->lines.first()) - 50) < 1e-9);
        const TextLine& first = right.find(QStringLiteral("t"))->lines.first();
        QVERIFY(qAbs(first.baseline - first.top - FormFontMetrics(10, false).ascent() / UnitsPerMillimetre) < 1e-9);
    }

    // Rule 2: bars inside the box edges, the width in points, at least a pixel.
    void boxBars()
    {
        Form form(QStringLiteral("Test"), Form::Kind::Monthly);
        form.append(MakeBox(Section::Header, QStringLiteral("frame"), 10, 20, 30, 40, AllSides, 2));
        form.append(MakeBox(Section::Header, QStringLiteral("rule"), 5, 6, 0.26, 7, BoxSide::Left, 1));
        form.append(MakeBox(Section::Header, QStringLiteral("hair"), 5, 6, 50, 0.26, BoxSide::Bottom, 0.01));
        const PageLayout page = LayOutPage(form, FormData(), 300);
        const double bar = 2 * 25.4 / 72;
        const QList<QRectF> frame = page.find(QStringLiteral("frame"))->bars;
        QCOMPARE(frame.size(), 4);
        QVERIFY(frame.contains(QRectF(10, 20, 30, bar)));
        QVERIFY(frame.contains(QRectF(10, 60 - bar, 30, bar)));
        QVERIFY(frame.contains(QRectF(10, 20, bar, 40)));
        QVERIFY(frame.contains(QRectF(40 - bar, 20, bar, 40)));
        QCOMPARE(page.find(QStringLiteral("rule"))->bars, QList<QRectF>({ QRectF(5, 6, 25.4 / 72, 7) }));
        const QRectF hair = page.find(QStringLiteral("hair"))->bars.first();
        QVERIFY(qAbs(hair.height() - 25.4 / 300) < 1e-9);
        QVERIFY(qAbs(hair.bottom() - 6.26) < 1e-9);
        QVERIFY(!page.find(QStringLiteral("frame"))->whiteFill);
    }

    void opaqueTextIsFilledWhite()
    {
        const PageLayout opaque = layOutText(QStringLiteral("x"), 10);
        QVERIFY(opaque.find(QStringLiteral("t"))->whiteFill);
        const PageLayout transparent = layOutText(QStringLiteral("x"), 10, 5, Alignment::Left, Option::Transparent);
        QVERIFY(!transparent.find(QStringLiteral("t"))->whiteFill);
    }

    void notesOfTheMonthlyFormFillElevenLines()
    {
        PrintedForms forms;
        const samples::PrintRecords records;
        const PageLayout page = forms.layOut(PrintedFormChoice::Monthly, records.data());
        const LaidOutElement& memo = *page.find(QStringLiteral("QRMemo1"));
        QCOMPARE(memo.lines.size(), 11);
        QVERIFY(qAbs(memo.lineHeight - 3.94) < 0.005);
        QVERIFY(memo.lines.last().text.isEmpty());
        QVERIFY(memo.lines.first().text.startsWith(QStringLiteral("*se completeaza cu numarul")));
        QVERIFY(memo.lines.at(3).text.startsWith(QStringLiteral("** se completeaza")));
        QVERIFY(memo.lines.at(5).text.startsWith(QStringLiteral("          Prezenta declaratie constituie")));
        QVERIFY(memo.lines.at(7).text.startsWith(QStringLiteral("          Prezenta declaratie devine")));
        QVERIFY(memo.lines.at(8).text.startsWith(QStringLiteral("          Sub sanctiunile")));
        for (const TextLine& line : memo.lines) {
            QVERIFY(line.width <= 182.30);
            QVERIFY(line.top + memo.lineHeight <= 207.43 + 43.39 + 0.1);
        }
    }

    void januaryNotesFiveAndSevenLines()
    {
        PrintedForms forms;
        const samples::PrintRecords records;
        const PageLayout page = forms.layOut(PrintedFormChoice::January2006, records.data());
        const LaidOutElement& first = *page.find(QStringLiteral("QRMemo1"));
        const LaidOutElement& second = *page.find(QStringLiteral("QRMemo2"));
        QCOMPARE(first.lines.size(), 5);
        QCOMPARE(second.lines.size(), 7);
        QVERIFY(qAbs(5 * first.lineHeight - 19.71) < 0.02);
        QVERIFY(qAbs(7 * second.lineHeight - 27.59) < 0.02);
        QVERIFY(second.lines.first().text.startsWith(QStringLiteral("***se completeaza numai")));
    }

    // Right-aligned amounts with auto width grow to the left from a fixed right edge.
    void amountsKeepTheirRightEdge_data()
    {
        QTest::addColumn<PrintedFormChoice>("choice");
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("rightEdge");
        const PrintedFormChoice m = PrintedFormChoice::Monthly;
        const PrintedFormChoice b = PrintedFormChoice::Bankruptcy;
        const PrintedFormChoice j = PrintedFormChoice::January2006;
        QTest::newRow("nrsal") << m << "QRDBText15" << 29.90;
        QTest::newRow("fondlunsal") << m << "QRDBText16" << 61.12;
        QTest::newRow("comdat") << m << "QRDBText17" << 181.77;
        QTest::newRow("comac") << m << "QRDBText18" << 181.77;
        QTest::newRow("difference") << m << "QRExpr1" << 181.77;
        QTest::newRow("bankrupt comdat") << b << "QRDBText17" << 182.30;
        QTest::newRow("bankrupt comac") << b << "QRDBText18" << 182.30;
        QTest::newRow("bankrupt difference") << b << "QRExpr1" << 182.30;
        QTest::newRow("january comdat") << j << "QRDBText17" << 183.36;
        QTest::newRow("january comac") << j << "QRDBText18" << 183.36;
        QTest::newRow("january difference") << j << "QRExpr1" << 183.36;
        QTest::newRow("january nrsal") << j << "QRDBText15" << 29.90;
    }
    void amountsKeepTheirRightEdge()
    {
        QFETCH(PrintedFormChoice, choice);
        QFETCH(QString, name);
        QFETCH(double, rightEdge);
        for (const qint64 amount : { qint64(7), qint64(123456789012) }) {
            samples::PrintRecords records;
            samples::set(records.declaration, "nrsal", amount);
            samples::set(records.declaration, "fondlunsal", double(amount));
            samples::set(records.declaration, "comdat", 2 * amount);
            samples::set(records.declaration, "comac", amount);
            const qint64 shown = name == QLatin1String("QRDBText17") ? 2 * amount : amount;
            PrintedForms forms;
            const PageLayout page = forms.layOut(choice, records.data());
            const LaidOutElement& element = *page.find(name);
            QCOMPARE(element.lines.size(), 1);
            QCOMPARE(element.lines.first().text, QString::number(shown));
            // 0.01 mm for the rounded table values.
            QVERIFY2(qAbs(rightEnd(element.lines.first()) - rightEdge) <= 0.0101,
                qPrintable(QString::number(rightEnd(element.lines.first()))));
            QVERIFY(qAbs(element.rect.right() - rightEnd(element.lines.first())) < 1e-9);
        }
    }

    void longNameStopsAfterTwoLinesInTheHeader()
    {
        samples::PrintRecords records;
        const QString name = QStringLiteral(
            "INTREPRINDEREA DE CONSTRUCTII MONTAJ SI REPARATII PENTRU INDUSTRIA ALIMENTARA SI AGRICULTURA");
        samples::set(records.payer, "denumire", name);
        PrintedForms forms;
        const PageLayout page = forms.layOut(PrintedFormChoice::Monthly, records.data());
        const QString composed = QStringLiteral("S.C. ") + name + QStringLiteral(" S.R.L.");
        const LaidOutElement& header = *page.find(QStringLiteral("densus"));
        QCOMPARE(header.lines.size(), 2);
        const QString shown = header.lines.at(0).text + header.lines.at(1).text;
        QVERIFY(composed.startsWith(shown));
        QVERIFY(shown.size() < composed.size()); // the third line is dropped
        QVERIFY(!header.whiteFill);
        const LaidOutElement& row = *page.find(QStringLiteral("den"));
        QCOMPARE(row.lines.size(), 2);
        QCOMPARE(row.lines.at(0).text + row.lines.at(1).text, composed); // 147 mm wide: two lines suffice
    }

    void sectorCell_data()
    {
        QTest::addColumn<qint64>("sector");
        QTest::addColumn<bool>("printed");
        QTest::newRow("0") << qint64(0) << false;
        QTest::newRow("3") << qint64(3) << true;
        QTest::newRow("6") << qint64(6) << true;
    }
    void sectorCell()
    {
        QFETCH(qint64, sector);
        QFETCH(bool, printed);
        samples::PrintRecords records;
        samples::set(records.payer, "sector", sector);
        PrintedForms forms;
        const PageLayout page = forms.layOut(PrintedFormChoice::Monthly, records.data());
        const LaidOutElement* cell = page.find(QStringLiteral("sec"));
        QCOMPARE(cell != nullptr, printed);
        if (printed) {
            const TextLine& line = cell->lines.first();
            QCOMPARE(line.text, QString::number(sector));
            QVERIFY(qAbs(line.x + line.width / 2 - (175.42 + 7.67 / 2)) < Tolerance);
        }
    }

    void liquidatorBlock_data()
    {
        QTest::addColumn<qint64>("lsector");
        QTest::addColumn<QStringList>("date");
        QTest::newRow("sector 0") << qint64(0) << QStringList({ "05", "/", "03", "/", "2006" });
        QTest::newRow("sector 2") << qint64(2) << QStringList({ "05", "/", "03", "/", "2006" });
    }
    void liquidatorBlock()
    {
        QFETCH(qint64, lsector);
        QFETCH(QStringList, date);
        samples::PrintRecords records = samples::PrintRecords();
        records.payer = samples::printedPayer(1);
        samples::set(records.payer, "lsector", lsector);
        PrintedForms forms;
        const PageLayout page = forms.layOut(PrintedFormChoice::Bankruptcy, records.data());
        const auto textOf = [&](const char* name) {
            const LaidOutElement* element = page.find(QString::fromLatin1(name));
            return element && !element->lines.isEmpty() ? element->lines.first().text : QString();
        };
        QCOMPARE(QStringList({ textOf("QRDBText34"), textOf("QRLabel57"), textOf("QRDBText35"), textOf("QRLabel58"),
                     textOf("QRDBText36") }),
            date);
        QCOMPARE(textOf("fal"), QStringLiteral("Da"));
        QCOMPARE(textOf("QRDBText19"), QStringLiteral("LICHIDATOR SPRL"));
        QCOMPARE(textOf("QRDBText20"), QStringLiteral("CLUJ"));
        QCOMPARE(textOf("QRDBText33"), QStringLiteral("1900101000006"));
        QCOMPARE(page.find(QStringLiteral("lsec")) != nullptr, lsector != 0);
        if (lsector != 0)
            QCOMPARE(textOf("lsec"), QString::number(lsector));
        // The day is right-aligned, the month centred, the year left-aligned.
        QVERIFY(qAbs(rightEnd(page.find(QStringLiteral("QRDBText34"))->lines.first()) - (60.85 + 4.23)) < Tolerance);
        QVERIFY(qAbs(page.find(QStringLiteral("QRDBText36"))->lines.first().x - 74.08) < Tolerance);
    }

    void decemberAmountsAndDiacritic()
    {
        samples::PrintRecords records;
        samples::set(records.declaration, "ln", qint64(1));
        PrintedForms forms;
        const PageLayout page = forms.layOut(PrintedFormChoice::January2006, records.data());
        const QString caption
            = QStringLiteral("din care achitat ") + QChar(0x00EE) + QStringLiteral("n luna decembrie***");
        QVERIFY(page.texts().contains(caption));
        const TextLine& due = page.find(QStringLiteral("QRDBText19"))->lines.first();
        const TextLine& paid = page.find(QStringLiteral("QRDBText20"))->lines.first();
        QCOMPARE(due.text, QStringLiteral("0"));
        QCOMPARE(paid.text, QStringLiteral("0"));
        QVERIFY(qAbs(rightEnd(due) - 73.29) < Tolerance);
        QVERIFY(qAbs(rightEnd(paid) - 163.25) < Tolerance);
        QVERIFY(!page.find(QStringLiteral("QRLabel10")));
        QVERIFY(!page.texts().contains(QStringLiteral("Stare de faliment: ")));
    }

    void monthlyPageTexts()
    {
        samples::PrintRecords records;
        PrintedForms forms;
        const PageLayout page = forms.layOut(PrintedFormChoice::Monthly, records.data());
        const QStringList texts = page.texts();
        for (const char* expected :
            { "S.C. ALFA S.R.L.", "Inspectoratul Teritorial de Munca", "BUCURESTI", "Initiala", "luna Martie anul 2006",
                "Martie 2006", "A. Date de indentificare ale angajatorului", "RO1234567", "Stare de faliment: ", "Nu",
                "X", "12", "20000", "150", "100", "50", "POPESCU", "ION", "ADMINISTRATOR", "Semnatura si stampila " })
            QVERIFY2(texts.contains(QString::fromLatin1(expected)), expected);
        // The tick sits in the 0,75% cell when com25 is 0.
        QVERIFY(page.find(QStringLiteral("c25"))->lines.first().text.isEmpty());
        QCOMPARE(page.find(QStringLiteral("c75"))->lines.first().text, QStringLiteral("X"));
        // A caption is laid out before the frame drawn over its white background.
        qsizetype caption = -1;
        qsizetype frame = -1;
        for (qsizetype i = 0; i < page.elements.size(); ++i) {
            if (page.elements.at(i).name == QLatin1String("QRLabel7"))
                caption = i;
            if (page.elements.at(i).name == QLatin1String("QRImage3"))
                frame = i;
        }
        QVERIFY(caption >= 0 && frame == caption + 1);
        QVERIFY(page.find(QStringLiteral("QRLabel7"))->whiteFill);
    }

    void overlongCellTexts()
    {
        samples::PrintRecords records;
        const QString email = QStringLiteral("contabilitate.departamentul.financiar@intreprinderea-exemplu.example.ro");
        samples::set(records.payer, "email", email.left(40) + QStringLiteral("xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"));
        samples::set(records.payer, "str",
            QStringLiteral("BULEVARDUL MARESAL ALEXANDRU AVERESCU COLT CU STRADA CONSTANTIN NOICA"));
        PrintedForms forms;
        const PageLayout page = forms.layOut(PrintedFormChoice::Monthly, records.data());
        const LaidOutElement& mail = *page.find(QStringLiteral("QRDBText12"));
        QCOMPARE(mail.lines.size(), 1);
        QVERIFY(mail.lines.first().width <= 69.32);
        QVERIFY(textWidth(mail.lines.first().text + QLatin1Char('x'), 8) > 69.32);
        const LaidOutElement& street = *page.find(QStringLiteral("QRDBText5"));
        QCOMPARE(street.lines.size(), 1);
        QVERIFY(street.lines.first().text.endsWith(QLatin1Char(' ')));
        QVERIFY(street.lines.first().width <= 77.26);
    }
};

QTEST_MAIN(TestPageLayout)
#include "tst_pagelayout.moc"
