#include "payers/PayerValidation.h"
#include "store/RecordReader.h"
#include "support/RuleRecord.h"
#include "support/SampleRecords.h"

#include <QTest>

namespace samples = itm::test::samples;

using namespace itm;
using itm::test::writesText;

namespace {
// A payer that passes every check, outside Bucharest, with nothing to default.
RowRecord completePayer()
{
    return samples::recordOf({ { "denumire", QStringLiteral("ALFA") }, { "codjudet", qint64(17) },
        { "loc", QStringLiteral("CRAIOVA") }, { "str", QStringLiteral("UNIRII") }, { "nr", QStringLiteral("3") },
        { "numerep", QStringLiteral("POPESCU") }, { "prenumerep", QStringLiteral("ION") },
        { "funcrep", QStringLiteral("ADMINISTRATOR") }, { "banca", QStringLiteral("BCR") },
        { "cont", QStringLiteral("RO49AAAA1B31007593840000") }, { "sector", qint64(0) } });
}
} // namespace

using Changes = QList<QPair<QString, QVariant>>;

class TestPayerValidation : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void rulesInTheirOrder_data()
    {
        QTest::addColumn<Changes>("changes");
        QTest::addColumn<QString>("county");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("writes");
        const QString v;
        QTest::newRow("complete") << Changes {} << "DOLJ" << v << v << "sector=0";
        QTest::newRow("stored blank name") << Changes { { "denumire", " " } } << "DOLJ"
                                           << "Va rugam sa completati campul 'denumire'"
                                           << "denumire" << v;
        QTest::newRow("no county") << Changes { { "codjudet", QVariant() } } << ""
                                   << "Va rugam sa completati campul 'Judet'"
                                   << "codjudet" << v;
        QTest::newRow("stored blank locality counts as filled")
            << Changes { { "loc", " " } } << "DOLJ" << v << v << "sector=0";
        QTest::newRow("empty locality") << Changes { { "loc", "" } } << "DOLJ"
                                        << "Va rugam sa completati campul 'localitate'"
                                        << "loc" << v;
        QTest::newRow("empty street") << Changes { { "str", "" } } << "DOLJ"
                                      << "Va rugam sa completati campul 'strada'"
                                      << "str" << v;
        QTest::newRow("number defaults before the representative fails")
            << Changes { { "nr", " " }, { "numerep", "" } } << "DOLJ"
            << "Va rugam sa completati campul 'Nume reprezentant'"
            << "numerep"
            << "nr=F.N.";
        QTest::newRow("first name") << Changes { { "prenumerep", "" } } << "DOLJ"
                                    << "Va rugam sa completati campul 'Prenume reprezentant'"
                                    << "prenumerep" << v;
        QTest::newRow("function") << Changes { { "funcrep", "" } } << "DOLJ"
                                  << "Va rugam sa completati campul 'Functie reprezentant'"
                                  << "funcrep" << v;
        QTest::newRow("bank and account default") << Changes { { "banca", "" }, { "cont", "" } } << "DOLJ" << v << v
                                                  << "banca=fara banca;cont=fara iban;sector=0";
        QTest::newRow("Bucharest without a sector") << Changes { { "banca", "" } } << "BUCURESTI"
                                                    << "Completati corect campul sector"
                                                    << "sector"
                                                    << "banca=fara banca";
        QTest::newRow("county before locality") << Changes { { "loc", "" }, { "codjudet", QVariant() } } << ""
                                                << "Va rugam sa completati campul 'Judet'"
                                                << "codjudet" << v;
        QTest::newRow("locality before street") << Changes { { "funcrep", "" }, { "str", "" }, { "loc", "" } } << "DOLJ"
                                                << "Va rugam sa completati campul 'localitate'"
                                                << "loc" << v;
        QTest::newRow("street before representative") << Changes { { "numerep", "" }, { "str", "" } } << "DOLJ"
                                                      << "Va rugam sa completati campul 'strada'"
                                                      << "str" << v;
        QTest::newRow("surname before given name") << Changes { { "prenumerep", "" }, { "numerep", "" } } << "DOLJ"
                                                   << "Va rugam sa completati campul 'Nume reprezentant'"
                                                   << "numerep" << v;
        QTest::newRow("given name before function") << Changes { { "funcrep", "" }, { "prenumerep", "" } } << "DOLJ"
                                                    << "Va rugam sa completati campul 'Prenume reprezentant'"
                                                    << "prenumerep" << v;
        QTest::newRow("representative before sector") << Changes { { "funcrep", "" } } << "BUCURESTI"
                                                      << "Va rugam sa completati campul 'Functie reprezentant'"
                                                      << "funcrep" << v;
        QTest::newRow("Bucharest sector 3")
            << Changes { { "sector", qint64(3) } } << "BUCURESTI" << v << v << "loc=BUCURESTI";
        QTest::newRow("sector elsewhere cleared")
            << Changes { { "sector", qint64(3) } } << "DOLJ" << v << v << "sector=0";
    }
    void rulesInTheirOrder()
    {
        QFETCH(Changes, changes);
        QFETCH(QString, county);
        QFETCH(QString, message);
        QFETCH(QString, column);
        QFETCH(QString, writes);
        RowRecord payer = completePayer();
        for (const auto& [name, value] : changes)
            payer.setValue(name, value);
        const RuleOutcome outcome = ValidatePayer(payer, county);
        QCOMPARE(outcome.passed(), message.isEmpty());
        if (outcome.failure) {
            QCOMPARE(outcome.failure->message, message);
            QCOMPARE(outcome.failure->column, column);
        }
        QCOMPARE(writesText(outcome.writes), writes);
    }
};

QTEST_GUILESS_MAIN(TestPayerValidation)
#include "tst_payervalidation.moc"
