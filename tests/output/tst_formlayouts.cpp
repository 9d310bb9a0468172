#include "output/FormLayouts.h"

#include <QTest>

using namespace itm;

Q_DECLARE_METATYPE(itm::Form::Kind)

namespace {

Form createForm(Form::Kind kind)
{
    switch (kind) {
    case Form::Kind::Bankruptcy:
        return CreateTrLun();
    case Form::Kind::January2006:
        return CreateTrIan();
    case Form::Kind::Monthly:
        break;
    }
    return CreateTrLunff();
}

qsizetype indexOf(const Form& form, const char* name)
{
    for (qsizetype i = 0; i < form.elements().size(); ++i) {
        if (form.elements().at(i).name == QLatin1String(name))
            return i;
    }
    return -1;
}

} // namespace

class TestFormLayouts : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void sectionSizes_data()
    {
        QTest::addColumn<Form::Kind>("kind");
        QTest::addColumn<QList<int>>(
            "counts"); // header, title, A, bankruptcy, liquidator, B, notes, december, signature
        QTest::newRow("TrLunff") << Form::Kind::Monthly << QList<int> { 8, 4, 61, 2, 0, 36, 1, 0, 8 };
        QTest::newRow("TrLun") << Form::Kind::Bankruptcy << QList<int> { 8, 4, 61, 2, 31, 36, 1, 0, 8 };
        QTest::newRow("TrIan") << Form::Kind::January2006 << QList<int> { 8, 4, 61, 0, 0, 36, 1, 13, 8 };
    }
    void sectionSizes()
    {
        QFETCH(Form::Kind, kind);
        QFETCH(QList<int>, counts);
        const Form form = createForm(kind);
        const Section sections[] = { Section::Header, Section::Title, Section::Identification, Section::Bankruptcy,
            Section::Liquidator, Section::Commission, Section::Notes, Section::December, Section::Signature };
        int total = 0;
        for (int i = 0; i < 9; ++i) {
            QCOMPARE(form.countInSection(sections[i]), counts.at(i));
            total += counts.at(i);
        }
        QCOMPARE(form.size(), total);
    }

    void captionOfSectionADrawnBeforeItsFrame()
    {
        for (const Form& form : { CreateTrLunff(), CreateTrLun(), CreateTrIan() }) {
            QVERIFY(indexOf(form, "QRLabel7") >= 0);
            QCOMPARE(indexOf(form, "QRImage3"), indexOf(form, "QRLabel7") + 1);
        }
    }

    void addedBlocksKeepTheirOrder()
    {
        const Form bankruptcy = CreateTrLun();
        QCOMPARE(indexOf(bankruptcy, "QRLabel27"), indexOf(bankruptcy, "fal") + 1);
        QCOMPARE(indexOf(bankruptcy, "QRDBText36"), indexOf(bankruptcy, "QRLabel27") + 30);
        const Form january = CreateTrIan();
        QCOMPARE(indexOf(january, "QRImage47"), indexOf(january, "QRMemo1") + 1);
        QCOMPARE(indexOf(january, "QRDBText20"), indexOf(january, "QRImage47") + 12);
        QVERIFY(!january.find(QStringLiteral("QRLabel10")));
        QVERIFY(!january.find(QStringLiteral("fal")));
        QVERIFY(!january.find(QStringLiteral("lsec")));
    }

    // Positions after the changes that turn the monthly page into the other two.
    void geometry_data()
    {
        QTest::addColumn<Form::Kind>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("left");
        QTest::addColumn<double>("top");
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        const auto row = [](const char* tag, Form::Kind kind, const char* name, double l, double t, double w,
                             double h) { QTest::newRow(tag) << kind << QString::fromLatin1(name) << l << t << w << h; };
        const Form::Kind m = Form::Kind::Monthly;
        const Form::Kind b = Form::Kind::Bankruptcy;
        const Form::Kind j = Form::Kind::January2006;
        row("monthly initiala", m, "initiala", 135.47, 34.40, 13.23, 5.29);
        row("monthly frame A", m, "QRImage3", 0.00, 70.38, 184.41, 43.13);
        row("monthly memo", m, "QRMemo1", 2.12, 207.43, 182.30, 43.39);
        row("monthly e-mail", m, "QRDBText12", 112.98, 100.54, 69.32, 4.50);
        row("bankrupt initiala", b, "initiala", 135.47, 25.93, 13.23, 5.29);
        row("bankrupt title", b, "QRLabel5", 0.00, 30.69, 184.41, 5.29);
        row("bankrupt subtitle", b, "QRLabel6", 0.00, 36.51, 184.41, 5.29);
        row("bankrupt luna", b, "luna", 0.00, 41.27, 184.41, 5.29);
        row("bankrupt caption A", b, "QRLabel7", 2.12, 51.06, 61.91, 5.29);
        row("bankrupt frame A", b, "QRImage3", 0.00, 55.56, 184.41, 43.13);
        row("bankrupt row line 1", b, "QRImage4", 0.00, 55.29, 184.41, 6.88);
        row("bankrupt row line 5", b, "QRImage24", 0.00, 84.66, 184.41, 6.88);
        row("bankrupt cod fiscal", b, "QRLabel8", 2.12, 56.62, 39.42, 5.29);
        row("bankrupt e-mail", b, "QRDBText12", 112.18, 85.72, 71.17, 4.50);
        row("bankrupt faliment", b, "QRLabel10", 2.12, 103.71, 28.31, 4.50);
        row("bankrupt fal", b, "fal", 31.75, 103.71, 4.50, 4.50);
        row("bankrupt lichidator", b, "QRLabel27", 2.12, 110.07, 29.63, 4.50);
        row("bankrupt lsec", b, "lsec", 66.67, 116.42, 4.50, 4.50);
        row("bankrupt lzi", b, "QRDBText34", 60.85, 129.12, 4.23, 4.50);
        row("bankrupt slash", b, "QRLabel58", 72.23, 129.12, 1.59, 5.03);
        row("bankrupt lan", b, "QRDBText36", 74.08, 129.12, 8.73, 4.50);
        row("bankrupt section B unmoved", b, "QRImage38", 0.00, 158.75, 184.41, 45.24);
        row("bankrupt comdat", b, "QRDBText17", 170.66, 183.36, 11.64, 4.50);
        row("bankrupt comac", b, "QRDBText18", 171.71, 188.65, 10.58, 4.50);
        row("bankrupt expression", b, "QRExpr1", 159.28, 196.06, 23.02, 4.50);
        row("bankrupt memo", b, "QRMemo1", 2.12, 207.43, 182.30, 44.19);
        row("bankrupt numerep", b, "QRDBText22", 16.40, 253.21, 13.49, 4.50);
        row("bankrupt header unmoved", b, "densus", 4.23, 2.12, 70.11, 10.58);
        row("january initiala", j, "initiala", 135.47, 25.93, 13.23, 5.29);
        row("january frame A", j, "QRImage3", 0.00, 55.56, 184.41, 43.13);
        row("january e-mail", j, "QRDBText12", 111.92, 85.99, 71.44, 3.97);
        row("january caption B", j, "QRLabel24", 2.12, 103.98, 52.65, 5.29);
        row("january rate frame", j, "QRImage33", 2.12, 112.18, 82.81, 6.61);
        row("january amounts frame", j, "QRImage38", 0.00, 122.77, 184.41, 45.24);
        row("january comdat", j, "QRDBText17", 171.71, 147.38, 11.64, 4.50);
        row("january comac", j, "QRDBText18", 172.77, 152.67, 10.58, 4.50);
        row("january expression", j, "QRExpr1", 160.34, 160.08, 23.02, 4.50);
        row("january memo 1", j, "QRMemo1", 2.12, 171.45, 182.30, 21.70);
        row("january december frame", j, "QRImage47", 0.00, 195.53, 184.41, 29.90);
        row("january december rule", j, "QRImage51", 89.96, 203.46, 0.26, 21.43);
        row("january comdec", j, "QRDBText19", 2.12, 218.28, 71.17, 4.50);
        row("january comdecac", j, "QRDBText20", 92.08, 218.28, 71.17, 4.50);
        row("january memo 2", j, "QRMemo2", 2.12, 227.28, 180.18, 29.90);
        row("january numele", j, "QRLabel46", 2.12, 259.56, 11.91, 4.50);
        row("january data", j, "QRLabel48", 154.52, 259.56, 26.46, 4.50);
        row("january functia", j, "QRLabel49", 2.12, 266.17, 28.31, 4.50);
        row("january semnatura", j, "QRLabel50", 112.18, 268.29, 35.72, 4.50);
        row("january numerep", j, "QRDBText22", 16.40, 259.82, 13.49, 4.50);
        row("january prenumerep", j, "QRDBText23", 84.14, 259.82, 18.26, 4.50);
        row("january funcrep", j, "QRDBText24", 31.75, 266.70, 11.38, 4.50);
    }
    void geometry()
    {
        QFETCH(Form::Kind, kind);
        QFETCH(QString, name);
        QFETCH(double, left);
        QFETCH(double, top);
        QFETCH(double, width);
        QFETCH(double, height);
        const Form form = createForm(kind);
        const FormElement* element = form.find(name);
        QVERIFY2(element, qPrintable(name));
        // The shifted Tops may differ from the rounded table values by 0.01 mm.
        QVERIFY2(qAbs(element->left - left) < 0.006, qPrintable(QString::number(element->left)));
        QVERIFY2(qAbs(element->top - top) <= 0.0101, qPrintable(QString::number(element->top)));
        QVERIFY2(qAbs(element->width - width) < 0.006, qPrintable(QString::number(element->width)));
        QVERIFY2(qAbs(element->height - height) < 0.006, qPrintable(QString::number(element->height)));
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

QTEST_GUILESS_MAIN(TestFormLayouts)
#include "tst_formlayouts.moc"
