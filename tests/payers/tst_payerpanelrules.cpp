// The validation of the payer panel through the window: the rules in their
// order, the defaults they write and the sector of Bucharest.
#include "support/GuiTestCase.h"
#include "support/PayerPanelSteps.h"
#include "support/SampleRecords.h"

using namespace itm;
using namespace itm::test;

class TestPayerPanelRules : public itm::test::GuiTestCase
{
    Q_OBJECT

private Q_SLOTS:
    // The first rule that fails shows its message, moves the focus to its
    // field and leaves the payer unposted (the order of the rules is the
    // rules' own test).
    void validationRules_data()
    {
        // clang-format off
        QTest::addColumn<QStringList>("emptied"); // column=value pairs written over a filled payer
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("county empty")
            << QStringList { "codjudet=" } << "Va rugam sa completati campul 'Judet'" << "jud";
        QTest::newRow("county blank")
            << QStringList { "codjudet=  " } << "Va rugam sa completati campul 'Judet'" << "jud";
        QTest::newRow("locality") << QStringList { "loc=" } << "Va rugam sa completati campul 'localitate'" << "loc";
        QTest::newRow("street") << QStringList { "str=" } << "Va rugam sa completati campul 'strada'" << "str";
        QTest::newRow("surname")
            << QStringList { "numerep=" } << "Va rugam sa completati campul 'Nume reprezentant'" << "nrep";
        QTest::newRow("given name")
            << QStringList { "prenumerep=" } << "Va rugam sa completati campul 'Prenume reprezentant'" << "prep";
        QTest::newRow("function")
            << QStringList { "funcrep=" } << "Va rugam sa completati campul 'Functie reprezentant'" << "frep";
        QTest::newRow("sector")
            << QStringList { "codjudet=40", "sector=0" } << "Completati corect campul sector" << "sector";
        // clang-format on
    }
    void validationRules()
    {
        QFETCH(QStringList, emptied);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        MainWindowFixture f;
        Panel p(f);
        f.openPayer(QStringLiteral("230"));
        p.fill();
        for (const QString& pair : emptied) {
            const auto parts = pair.split(u'=');
            p.write(parts[0].toLatin1().constData(), parts[1]);
        }
        f.prompts.answerOk();
        p.validate();
        QCOMPARE(f.prompts.texts(), QStringList { message });
        QCOMPARE(f.focus()->objectName(), focus);
        QCOMPARE(p.payer().State(), DatasetState::Insert);
        QCOMPARE(payerCount(f.database), 0);
        QVERIFY(!p.dcgb->Button5->isEnabled());
    }

    // Fields that are blank but not empty pass the rules that test for empty.
    void blanksPassTheEmptyRules()
    {
        MainWindowFixture f([](TestDatabase& db) {
            samples::addPayer(db, QStringLiteral("19"));
            db.exec("UPDATE firme SET str = ' ', numerep = ' ', prenumerep = ' ', funcrep = ' ', loc = ' '");
        });
        Panel p(f);
        f.openPayer(QStringLiteral("19"));
        p.validate();
        QVERIFY(p.dcgb->Button5->isEnabled());
        QCOMPARE(column(f.database, QStringLiteral("19"), QStringLiteral("str")), QStringLiteral(" "));
    }

    // "F.N.", "fara banca" and "fara iban" are written when their rule is
    // reached and stay in the record when a later rule fails.
    void defaultsStayAfterALaterFailure_data()
    {
        // clang-format off
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("nr");
        QTest::addColumn<QString>("banca");
        QTest::addColumn<QString>("cont");
        QTest::newRow("number empty, representative missing")
            << QStringList { "nr=", "numerep=", "banca=", "cont=" }
            << "Va rugam sa completati campul 'Nume reprezentant'"
            << "F.N." << "" << "";
        QTest::newRow("number blank, function missing")
            << QStringList { "nr=   ", "funcrep=" } << "Va rugam sa completati campul 'Functie reprezentant'"
            << "F.N." << "BCR" << "RO49AAAA1B31007593840000";
        QTest::newRow("bank and account empty, sector missing")
            << QStringList { "nr=", "banca=", "cont=", "codjudet=40", "sector=" } << "Completati corect campul sector"
            << "F.N." << "fara banca" << "fara iban";
        // clang-format on
    }
    void defaultsStayAfterALaterFailure()
    {
        QFETCH(QStringList, changes);
        QFETCH(QString, message);
        QFETCH(QString, nr);
        QFETCH(QString, banca);
        QFETCH(QString, cont);
        MainWindowFixture f;
        Panel p(f);
        f.openPayer(QStringLiteral("230"));
        p.fill();
        for (const QString& pair : changes) {
            const auto parts = pair.split(u'=');
            p.write(parts[0].toLatin1().constData(), parts[1]);
        }
        f.prompts.answerOk();
        p.validate();
        QCOMPARE(f.prompts.lastText(), message);
        QCOMPARE(p.text("nr"), nr);
        QCOMPARE(p.text("banca"), banca);
        QCOMPARE(p.text("cont"), cont);
        QCOMPARE(p.dcgb->snr->text(), nr);
        QCOMPARE(p.dcgb->DBEdit10->text(), banca);
        VERIFY_PROMPTS(f);

        // Once the failing field is filled the defaults are stored.
        p.write("numerep", QStringLiteral("POPESCU"));
        p.write("funcrep", QStringLiteral("ADMINISTRATOR"));
        p.write("sector", QStringLiteral("2"));
        p.validate();
        QVERIFY(p.dcgb->Button5->isEnabled());
        QCOMPARE(column(f.database, QStringLiteral("230"), QStringLiteral("nr")), QStringLiteral("F.N."));
    }

    // Bucharest needs a sector from 1 to 6 and takes the county's name as
    // its locality; elsewhere the sector is stored as 0.
    void sectorOnValidation_data()
    {
        // clang-format off
        QTest::addColumn<QString>("county");
        QTest::addColumn<QString>("sector");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("locality");
        QTest::addColumn<QString>("storedSector");
        QTest::newRow("Bucharest, no sector") << "40" << "" << false << "CRAIOVA" << "";
        QTest::newRow("Bucharest, sector 0") << "40" << "0" << false << "CRAIOVA" << "";
        QTest::newRow("Bucharest, sector 3") << "40" << "3" << true << "BUCURESTI" << "3";
        QTest::newRow("Dolj, sector 5") << "16" << "5" << true << "CRAIOVA" << "0";
        // clang-format on
    }
    void sectorOnValidation()
    {
        QFETCH(QString, county);
        QFETCH(QString, sector);
        QFETCH(bool, accepted);
        QFETCH(QString, locality);
        QFETCH(QString, storedSector);
        MainWindowFixture f;
        Panel p(f);
        f.openPayer(QStringLiteral("230"));
        p.fill();
        p.write("codjudet", county);
        p.write("sector", sector);
        if (!accepted)
            f.prompts.answerOk();
        p.validate();
        QCOMPARE(p.dcgb->Button5->isEnabled(), accepted);
        QCOMPARE(p.text("loc"), locality);
        if (accepted) {
            QCOMPARE(f.prompts.shown().size(), 0);
            QCOMPARE(column(f.database, QStringLiteral("230"), QStringLiteral("loc")), locality);
            QCOMPARE(column(f.database, QStringLiteral("230"), QStringLiteral("sector")), storedSector);
        } else {
            QCOMPARE(f.prompts.lastText(), QStringLiteral("Completati corect campul sector"));
            QCOMPARE(f.focus(), p.dcgb->sector);
            QCOMPARE(payerCount(f.database), 0);
        }
    }

    // The sector field holds nothing but empty, "0" or "1" to "6".
    void sectorFieldKeepsOnlySectors_data()
    {
        // clang-format off
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::newRow("7") << "7" << "0";
        QTest::newRow("A") << "A" << "0";
        QTest::newRow("a") << "a" << "0";
        QTest::newRow("minus") << "-" << "0";
        QTest::newRow("0") << "0" << "0";
        QTest::newRow("1") << "1" << "1";
        QTest::newRow("6") << "6" << "6";
        QTest::newRow("36") << "36" << "0";
        QTest::newRow("03") << "03" << "03";
        // clang-format on
    }
    void sectorFieldKeepsOnlySectors()
    {
        QFETCH(QString, typed);
        QFETCH(QString, text);
        MainWindowFixture f;
        Panel p(f);
        f.openPayer(QStringLiteral("230"));
        p.retype(p.dcgb->jud, QStringLiteral("BU"));
        MainWindowFixture::key(p.dcgb->jud, Qt::Key_Tab);
        QCOMPARE(f.focus(), p.dcgb->sector);
        p.dcgb->sector->selectAll();
        MainWindowFixture::type(p.dcgb->sector, typed);
        QCOMPARE(p.dcgb->sector->text(), text);
    }
};

QTEST_MAIN(TestPayerPanelRules)
#include "tst_payerpanelrules.moc"
