#include "payers/LegalForms.h"

#include <QTest>

using namespace itm;

class TestLegalForms : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void composedNames_data()
    {
        QTest::addColumn<qint64>("prefix");
        QTest::addColumn<QString>("denumire");
        QTest::addColumn<qint64>("sufix");
        QTest::addColumn<QString>("composed");
        QTest::newRow("S.C. ... S.R.L.") << qint64(1) << "ALFA" << qint64(1) << "S.C. ALFA S.R.L.";
        QTest::newRow("other, other: blank either side") << qint64(0) << "ALFA" << qint64(0) << " ALFA ";
        QTest::newRow("P.F., trailing blank") << qint64(2) << "POPESCU ION" << qint64(0) << "P.F. POPESCU ION ";
        QTest::newRow("P.F.A.") << qint64(3) << "X" << qint64(0) << "P.F.A. X ";
        QTest::newRow("A.F.") << qint64(4) << "X" << qint64(0) << "A.F. X ";
        QTest::newRow("ONG asociatie") << qint64(5) << "X" << qint64(0) << "O.N.G. / Asociatie X ";
        QTest::newRow("ONG fundatie") << qint64(6) << "X" << qint64(0) << "O.N.G. / Fundatie X ";
        QTest::newRow("locatari") << qint64(7) << "X" << qint64(0) << "Asociatie Locatari X ";
        QTest::newRow("proprietari") << qint64(8) << "X" << qint64(0) << "Asociatie Proprietari X ";
        QTest::newRow("cabinet") << qint64(9) << "X" << qint64(0) << "Cabinet Individual X ";
        QTest::newRow("S.C.A. prefix") << qint64(10) << "X" << qint64(0) << "S.C.A. X ";
        QTest::newRow("agricola") << qint64(11) << "X" << qint64(0) << "Asociatie Agricola X ";
        QTest::newRow("cooperatista") << qint64(12) << "X" << qint64(0) << "Asociatie Cooperatista X ";
        QTest::newRow("banca") << qint64(13) << "X" << qint64(0) << "Banca X ";
        QTest::newRow("S.A.") << qint64(1) << "X" << qint64(2) << "S.C. X S.A.";
        QTest::newRow("S.N.C.") << qint64(1) << "X" << qint64(3) << "S.C. X S.N.C.";
        QTest::newRow("S.C.S.") << qint64(1) << "X" << qint64(4) << "S.C. X S.C.S.";
        QTest::newRow("S.C.A. suffix") << qint64(1) << "X" << qint64(5) << "S.C. X S.C.A.";
        QTest::newRow("cleaned name keeps its blanks")
            << qint64(1) << "ALFA  BETA" << qint64(1) << "S.C. ALFA  BETA S.R.L.";
        QTest::newRow("blank name") << qint64(1) << " " << qint64(1) << "S.C.   S.R.L.";
    }
    void composedNames()
    {
        QFETCH(qint64, prefix);
        QFETCH(QString, denumire);
        QFETCH(qint64, sufix);
        QFETCH(QString, composed);
        const auto name = ComposedLegalName(prefix, denumire, sufix);
        QVERIFY(name.has_value());
        QCOMPARE(*name, composed);
    }

    void indexesOutsideTheTablesComposeNothing_data()
    {
        QTest::addColumn<qint64>("prefix");
        QTest::addColumn<qint64>("sufix");
        QTest::newRow("prefix -1") << qint64(-1) << qint64(0);
        QTest::newRow("prefix 14") << qint64(14) << qint64(0);
        QTest::newRow("sufix -1") << qint64(1) << qint64(-1);
        QTest::newRow("sufix 6") << qint64(1) << qint64(6);
        QTest::newRow("huge") << std::numeric_limits<qint64>::max() << std::numeric_limits<qint64>::min();
    }
    void indexesOutsideTheTablesComposeNothing()
    {
        QFETCH(qint64, prefix);
        QFETCH(qint64, sufix);
        QVERIFY(!ComposedLegalName(prefix, QStringLiteral("ALFA"), sufix));
    }

    // The prefix group lists the forms in stored order from 1, with "Altele"
    // (stored 0) last; the captions are the texts without their blank.
    void prefixRadioItems()
    {
        QCOMPARE(PrefixRadioCaptions().size(), kPrefixCount);
        for (qint64 stored = 0; stored < kPrefixCount; ++stored) {
            const int item = PrefixRadioItem(stored);
            QCOMPARE(item, stored == 0 ? 13 : int(stored) - 1);
            QCOMPARE(PrefixFromRadioItem(item), int(stored));
            if (stored != 0)
                QCOMPARE(PrefixRadioCaptions().at(item) + u' ', *PrefixText(stored));
        }
        QCOMPARE(PrefixRadioCaptions().at(13), QStringLiteral("Altele"));
        QCOMPARE(PrefixRadioItem(-1), -1);
        QCOMPARE(PrefixRadioItem(14), -1);
        QCOMPARE(PrefixFromRadioItem(-1), -1);
        QCOMPARE(PrefixFromRadioItem(14), -1);
    }

    void suffixRadioItems()
    {
        QCOMPARE(SuffixRadioCaptions().size(), kSuffixCount);
        for (qint64 stored = 0; stored < kSuffixCount; ++stored) {
            const int item = SuffixRadioItem(stored);
            QCOMPARE(item, stored == 0 ? 5 : int(stored) - 1);
            QCOMPARE(SuffixFromRadioItem(item), int(stored));
            if (stored != 0)
                QVERIFY(SuffixRadioCaptions().at(item).startsWith(SuffixText(stored)->mid(1)));
        }
        QCOMPARE(SuffixRadioCaptions().at(5), QStringLiteral("Altele "));
        QCOMPARE(SuffixRadioCaptions().at(2), QStringLiteral("S.N.C. - Societati in nume colectiv (SNC)"));
        QCOMPARE(SuffixRadioCaptions().at(3), QStringLiteral("S.C.S. - Societati in comandita simpla (SCS)"));
        QCOMPARE(SuffixRadioCaptions().at(4), QStringLiteral("S.C.A. - Societati in comandita pe actiuni (SCA)"));
        QCOMPARE(SuffixRadioItem(6), -1);
        QCOMPARE(SuffixFromRadioItem(6), -1);
    }

    void monthNames_data()
    {
        QTest::addColumn<int>("month");
        QTest::addColumn<QString>("name");
        const char* names[] = { "Ianuarie", "Februarie", "Martie", "Aprilie", "Mai", "Iunie", "Iulie", "August",
            "Septembrie", "Octombrie", "Noiembrie", "Decembrie" };
        for (int month = 1; month <= 12; ++month)
            QTest::addRow("%d", month) << month << QString::fromLatin1(names[month - 1]);
        QTest::newRow("0") << 0 << QString();
        QTest::newRow("13") << 13 << QString();
    }
    void monthNames()
    {
        QFETCH(int, month);
        QFETCH(QString, name);
        QCOMPARE(MonthName(month), name);
    }
};

QTEST_GUILESS_MAIN(TestLegalForms)
#include "tst_legalforms.moc"
