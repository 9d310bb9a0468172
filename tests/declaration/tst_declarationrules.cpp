#include "declaration/Commission.h"
#include "declaration/LiquidatorValidation.h"
#include "declaration/Period.h"
#include "declaration/SalaryFund.h"
#include "store/Errors.h"
#include "store/RecordReader.h"
#include "support/RuleRecord.h"
#include "support/SampleRecords.h"

#include <QTest>

namespace samples = itm::test::samples;

using namespace itm;
using itm::test::writesText;

namespace {
RowRecord completeLiquidator()
{
    return samples::recordOf({ { "lcui", QStringLiteral("19") }, { "ldenumire", QStringLiteral("LICHID") },
        { "lcodjudet", qint64(17) }, { "lloc", QStringLiteral("CRAIOVA") }, { "lstr", QStringLiteral("UNIRII") },
        { "lnr", QStringLiteral("2") }, { "lsector", qint64(0) } });
}
} // namespace

using Changes = QList<QPair<QString, QVariant>>;

class TestDeclarationRules : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void liquidatorRules_data()
    {
        QTest::addColumn<Changes>("changes");
        QTest::addColumn<QString>("county");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("writes");
        const QString v;
        const QString wrongDate = QStringLiteral("Data incorecta!\nVa rugam sa completati corect campurile!");
        QTest::newRow("complete") << Changes {} << "DOLJ"
                                  << "05/03/2001" << v << v << "lsector=0;lan=2001;lln=3;lzi=5";
        QTest::newRow("wrong control digit") << Changes { { "lcui", "18" } } << "DOLJ"
                                             << "05/03/2001"
                                             << "Va rugam sa completati campul 'CUI Lichidator'"
                                             << "lcui" << v;
        QTest::newRow("blank name") << Changes { { "ldenumire", " " } } << "DOLJ"
                                    << "05/03/2001"
                                    << "Va rugam sa completati campul 'Denumire Lichidator'"
                                    << "ldenumire" << v;
        QTest::newRow("no county") << Changes { { "lcodjudet", QVariant() } } << ""
                                   << "05/03/2001"
                                   << "Va rugam sa completati campul 'Judet Lichidator'"
                                   << "lcodjudet" << v;
        QTest::newRow("blank locality") << Changes { { "lloc", " " } } << "DOLJ"
                                        << "05/03/2001"
                                        << "Va rugam sa completati campul 'Localitate Lichidator'"
                                        << "lloc" << v;
        QTest::newRow("blank street") << Changes { { "lstr", " " } } << "DOLJ"
                                      << "05/03/2001"
                                      << "Va rugam sa completati campul 'strada'"
                                      << "lstr" << v;
        QTest::newRow("Bucharest without a sector, number defaulted") << Changes { { "lnr", " " } } << "BUCURESTI"
                                                                      << "05/03/2001"
                                                                      << "Completati corect campul sector lichidator"
                                                                      << "lsector"
                                                                      << "lnr=F.N.";
        QTest::newRow("Bucharest sector 2") << Changes { { "lsector", qint64(2) } } << "BUCURESTI"
                                            << "05/03/2001" << v << v << "lloc=BUCURESTI;lan=2001;lln=3;lzi=5";
        QTest::newRow("no such day") << Changes {} << "DOLJ"
                                     << "30/02/2001" << wrongDate << "lzi"
                                     << "lsector=0";
        QTest::newRow("before 1990 written and refused") << Changes {} << "DOLJ"
                                                         << "01/01/1989" << wrongDate << "lzi"
                                                         << "lsector=0;lan=1989;lln=1;lzi=1";
    }
    void liquidatorRules()
    {
        QFETCH(Changes, changes);
        QFETCH(QString, county);
        QFETCH(QString, date);
        QFETCH(QString, message);
        QFETCH(QString, column);
        QFETCH(QString, writes);
        RowRecord payer = completeLiquidator();
        for (const auto& [name, value] : changes)
            payer.setValue(name, value);
        const QStringList parts = date.split(u'/');
        const RuleOutcome outcome = ValidateLiquidator(payer, county, { parts[0], parts[1], parts[2] });
        QCOMPARE(outcome.failure ? outcome.failure->message : QString(), message);
        QCOMPARE(outcome.failure ? outcome.failure->column : QString(), column);
        QCOMPARE(writesText(outcome.writes), writes);
    }

    void salaryFund_data()
    {
        QTest::addColumn<double>("fund");
        QTest::addColumn<bool>("reduced");
        QTest::addColumn<QString>("commission"); // the write; "refused" when the fund is
        QTest::addColumn<bool>("savable");
        QTest::newRow("whole fund") << 2000.0 << false << "comdat=15" << true;
        QTest::newRow("reduced rate") << 2000.0 << true << "comdat=5" << true;
        QTest::newRow("zero") << 0.0 << false << "comdat=0" << true;
        QTest::newRow("largest the field holds") << 9999999999.0 << false << "comdat=75000000" << true;
        QTest::newRow("fractional") << 12.5 << false << "refused" << false;
        QTest::newRow("negative") << -100.0 << false << "refused" << false;
        QTest::newRow("beyond ten digits") << 10000000000.0 << false << "comdat=75000000" << false;
    }

    void salaryFund()
    {
        QFETCH(double, fund);
        QFETCH(bool, reduced);
        QFETCH(QString, commission);
        QFETCH(bool, savable);
        const QString message
            = QStringLiteral("Fondul lunar de salarii trebuie sa fie un numar intreg, pozitiv sau zero.");
        const RuleOutcome computed = DeclarationCommission(fund, reduced);
        if (commission == u"refused") {
            QCOMPARE(computed.failure->message, message);
            QCOMPARE(computed.failure->column, QStringLiteral("fondlunsal"));
            QCOMPARE(writesText(computed.writes), QStringLiteral("comdat="));
        } else {
            QVERIFY(computed.passed());
            QCOMPARE(writesText(computed.writes), commission);
        }
        const RuleOutcome saved = ValidateSalaryFund(fund);
        QCOMPARE(saved.passed(), savable);
        if (!savable)
            QCOMPARE(saved.failure->column, QStringLiteral("fondlunsal"));
        QVERIFY(ValidateSalaryFund(std::nullopt).passed());
    }

    void periodOnEnter_data()
    {
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("year");
        QTest::addColumn<int>("verdict");
        QTest::addColumn<QString>("correction");
        using V = PeriodLookup::Verdict;
        QTest::newRow("valid") << "03"
                               << "2026" << int(V::Valid) << "";
        QTest::newRow("year before 2006 first") << "13"
                                                << "2005" << int(V::YearCorrected) << "2006";
        QTest::newRow("month 13") << "13"
                                  << "2026" << int(V::MonthCorrected) << "1";
        QTest::newRow("month 0") << "0"
                                 << "2026" << int(V::MonthCorrected) << "1";
        QTest::newRow("empty year") << "03"
                                    << "" << int(V::NotANumber) << "";
        QTest::newRow("empty month") << ""
                                     << "2026" << int(V::NotANumber) << "";
    }
    void periodOnEnter()
    {
        QFETCH(QString, month);
        QFETCH(QString, year);
        QFETCH(int, verdict);
        QFETCH(QString, correction);
        const PeriodLookup lookup = CheckPeriod(month, year);
        QCOMPARE(int(lookup.verdict), verdict);
        QCOMPARE(lookup.correction, correction);
    }

    void periodTexts()
    {
        QCOMPARE(PeriodPreset(QDate(2026, 3, 9)).month, QStringLiteral("03"));
        QCOMPARE(PeriodPreset(QDate(2026, 12, 9)).year, QStringLiteral("2026"));
        QCOMPARE(ClampedMonthText(QStringLiteral("0")), QStringLiteral("1"));
        QCOMPARE(ClampedMonthText(QStringLiteral("13")), QStringLiteral("12"));
        QVERIFY(!ClampedMonthText(QStringLiteral("12")));
        QVERIFY_THROWS_EXCEPTION(ConversionError, ClampedMonthText(QString()));
        QVERIFY(IsJanuary2006(QStringLiteral("01"), QStringLiteral("2006")));
        QVERIFY(!IsJanuary2006(QStringLiteral("1"), QStringLiteral("2007")));
        QVERIFY(!IsJanuary2006(QString(), QStringLiteral("2006")));
    }
};

QTEST_GUILESS_MAIN(TestDeclarationRules)
#include "tst_declarationrules.moc"
