// The amounts of the declaration panel and the commission they give: what the
// fields keep of what is typed, the two ways the commission is computed, and
// a salary fund that is no whole number.
#include "support/DeclarationRoad.h"
#include "support/GuiTestCase.h"

#include <QTest>

using namespace itm;
using namespace itm::test;

namespace {

const QString kNegativeFund
    = QStringLiteral("Fondul lunar de salarii trebuie sa fie un numar intreg, pozitiv sau zero.");

enum class Exit
{
    Fund,
    RateGroup
};

void seedStoredNegativeFund(TestDatabase& db)
{
    seedPayer(db);
    db.exec("INSERT INTO declaratii (idfirma, ln, an, rectificativ, com25, nrsal, fondlunsal, comdat, comac, comdec, "
            "comdecac) VALUES (1, 3, 2007, 0, 0, 7, -100, 1, 0, 0, 0)");
}

// Types a salary fund and computes the commission by one of the two exits.
// By the rate group, the fund is first left at the other rate, so that only
// leaving the group can give the expected value.
void computeBy(MainWindowFixture& f, Exit exit, const QString& fund, int rate)
{
    DeclarationPanel* panel = f.window->ddgb;
    chooseRate(f, exit == Exit::Fund ? rate : 1 - rate);
    retype(panel->DBEdit12, fund);
    leaveFor(panel->nrsal);
    if (exit == Exit::RateGroup) {
        chooseRate(f, rate);
        leaveFor(panel->nrsal);
    }
}

} // namespace

Q_DECLARE_METATYPE(Exit)

class TestDeclarationAmounts : public itm::test::GuiTestCase
{
    Q_OBJECT

private Q_SLOTS:
    void amountsDropSeparatorsAndExtraCharacters_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("fund 12,5") << "DBEdit12"
                                   << "fondlunsal"
                                   << "12,5"
                                   << "125";
        QTest::newRow("fund 1.000") << "DBEdit12"
                                    << "fondlunsal"
                                    << "1.000"
                                    << "1000";
        QTest::newRow("fund 1.234.567,89") << "DBEdit12"
                                           << "fondlunsal"
                                           << "1.234.567,89"
                                           << "123456789";
        QTest::newRow("fund, eleventh digit") << "DBEdit12"
                                              << "fondlunsal"
                                              << "12345678901"
                                              << "1234567890";
        QTest::newRow("employees, sixth digit") << "nrsal"
                                                << "nrsal"
                                                << "123456"
                                                << "12345";
        QTest::newRow("employees 1.2,3") << "nrsal"
                                         << "nrsal"
                                         << "1.2,3"
                                         << "123";
        QTest::newRow("commission, eleventh digit") << "DBEdit13"
                                                    << "comdat"
                                                    << "98765432101"
                                                    << "9876543210";
        QTest::newRow("paid 7,50") << "achit"
                                   << "comac"
                                   << "7,50"
                                   << "750";
        QTest::newRow("paid, separators only") << "achit"
                                               << "comac"
                                               << ".,."
                                               << "";
    }
    void amountsDropSeparatorsAndExtraCharacters()
    {
        QFETCH(QString, field);
        QFETCH(QString, column);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        MainWindowFixture f(seedPayer);
        openDeclaration(f);
        auto* edit = f.window->ddgb->findChild<DbEdit*>(field);
        QVERIFY(edit);
        retype(edit, typed);
        QCOMPARE(edit->text(), kept);
        leaveFor(f.window->ddgb->DBCheckBox1);
        QCOMPARE(f.dm->qryDeclaratii->FieldByName(column).AsString(), kept);
    }

    void december2005AmountsFollowTheSameRules_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("due 1.500") << "DBEdit14"
                                   << "comdec"
                                   << "1.500"
                                   << "1500";
        QTest::newRow("due, eleventh digit") << "DBEdit14"
                                             << "comdec"
                                             << "11111111112"
                                             << "1111111111";
        QTest::newRow("paid 1,000") << "DBEdit19"
                                    << "comdecac"
                                    << "1,000"
                                    << "1000";
        QTest::newRow("paid, eleventh digit") << "DBEdit19"
                                              << "comdecac"
                                              << "2.222.222.222,3"
                                              << "2222222222";
    }
    void december2005AmountsFollowTheSameRules()
    {
        QFETCH(QString, field);
        QFETCH(QString, column);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        MainWindowFixture f(seedPayer);
        openDeclaration(f, QStringLiteral("01"), QStringLiteral("2006"));
        auto* edit = f.window->ddgb->gbdec2005->findChild<DbEdit*>(field);
        QVERIFY(edit);
        QVERIFY(edit->isVisible());
        retype(edit, typed);
        QCOMPARE(edit->text(), kept);
        leaveFor(f.window->ddgb->nrsal);
        QCOMPARE(f.dm->qryDeclaratii->FieldByName(column).AsString(), kept);
    }

    void commissionByEitherExit_data()
    {
        QTest::addColumn<Exit>("exit");
        QTest::addColumn<QString>("fund");
        QTest::addColumn<int>("rate");
        QTest::addColumn<QString>("commission");
        const struct
        {
            const char* fund;
            int rate;
            const char* commission;
        } values[] = {
            { "2000", 0, "15" },
            { "2000", 1, "5" },
            { "200", 0, "2" }, // 1.5 rounds up
            { "200", 1, "1" }, // 0.5 rounds up
            { "100", 0, "1" },
            { "66", 0, "1" }, // 0.495 is raised to the minimum
            { "2199", 1, "5" }, // 5.4975
            { "2200", 1, "6" }, // 5.5
            { "50000", 1, "125" },
            { "0", 0, "0" },
            { "9999999999", 0, "75000000" },
            { "9999999999", 1, "25000000" },
            { "9e17", 0, "6750000000000000" }, // fund x rate is beyond 64 bits
            { "1e17", 1, "250000000000000" },
        };
        for (const auto& value : values) {
            for (const Exit exit : { Exit::Fund, Exit::RateGroup }) {
                QTest::addRow("%s at %s, leaving the %s", value.fund, value.rate ? "0.25%" : "0.75%",
                    exit == Exit::Fund ? "fund" : "rate group")
                    << exit << value.fund << value.rate << value.commission;
            }
        }
    }
    void commissionByEitherExit()
    {
        QFETCH(Exit, exit);
        QFETCH(QString, fund);
        QFETCH(int, rate);
        QFETCH(QString, commission);
        MainWindowFixture f(seedPayer);
        openDeclaration(f);
        computeBy(f, exit, fund, rate);
        QCOMPARE(declarationField(f, "com25").AsInteger(), qint64(rate));
        QCOMPARE(declarationField(f, "comdat").AsString(), commission);
        // The commission field, like every amount field, shows at most 10 characters.
        QCOMPARE(f.window->ddgb->DBEdit13->text(), commission.left(10));
    }

    void aFundBelow200GivesOneAtEitherRate()
    {
        MainWindowFixture f(seedPayer);
        openDeclaration(f);
        DeclarationPanel* panel = f.window->ddgb;
        for (int rate : { 0, 1 }) {
            chooseRate(f, rate);
            for (int fund = 1; fund < 200; ++fund) {
                focusOn(panel->DBEdit12);
                panel->DBEdit12->setText(QString::number(fund));
                leaveFor(panel->achit);
                QVERIFY2(panel->DBEdit13->text() == u"1",
                    qPrintable(QStringLiteral("fund %1 at rate %2 gives %3")
                                   .arg(fund)
                                   .arg(rate)
                                   .arg(panel->DBEdit13->text())));
            }
        }
    }

    void theCommissionChangesOnlyOnTheTwoExits()
    {
        MainWindowFixture f(seedPayer);
        openDeclaration(f);
        DeclarationPanel* panel = f.window->ddgb;
        retype(panel->DBEdit12, QStringLiteral("2000"));
        MainWindowFixture::key(panel->DBEdit12, Qt::Key_Return);
        QCOMPARE(f.focus(), panel->achit);
        QCOMPARE(panel->DBEdit13->text(), QStringLiteral("15"));

        // A commission typed by hand stays until the fund is left again.
        retype(panel->DBEdit13, QStringLiteral("99"));
        leaveFor(panel->achit);
        QCOMPARE(declarationField(f, "comdat").AsString(), QStringLiteral("99"));
        focusOn(panel->DBEdit12);
        MainWindowFixture::key(panel->DBEdit12, Qt::Key_Return);
        QCOMPARE(panel->DBEdit13->text(), QStringLiteral("15"));
        QCOMPARE(f.focus(), panel->achit);
    }

    void aNegativeOrFractionalFundHasNoCommission_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Exit>("exit");
        QTest::addColumn<bool>("intoTheRateGroup");
        QTest::newRow("-100, leaving the fund") << "-100" << Exit::Fund << false;
        QTest::newRow("5e-1, leaving the fund") << "5e-1" << Exit::Fund << false;
        QTest::newRow("1e20, leaving the fund") << "1e20" << Exit::Fund << false;
        // Both exits run, one after the other: one message is enough.
        QTest::newRow("-100, leaving the fund for the rate group") << "-100" << Exit::Fund << true;
        QTest::newRow("stored -100, leaving the rate group") << "" << Exit::RateGroup << false;
    }
    void aNegativeOrFractionalFundHasNoCommission()
    {
        QFETCH(QString, typed);
        QFETCH(Exit, exit);
        QFETCH(bool, intoTheRateGroup);
        MainWindowFixture f(exit == Exit::Fund ? seedPayer : seedStoredNegativeFund);
        openDeclaration(f);
        DeclarationPanel* panel = f.window->ddgb;
        f.prompts.answerOk();
        if (exit == Exit::Fund) {
            retype(panel->DBEdit12, typed);
            if (intoTheRateGroup)
                QTest::mouseClick(panel->proccom->buttons().at(1), Qt::LeftButton);
            else
                leaveFor(panel->DBEdit13);
            MainWindowFixture::settle();
        } else {
            chooseRate(f, 1);
            leaveFor(panel->achit);
        }
        QCOMPARE(f.prompts.texts(), QStringList { kNegativeFund });
        QCOMPARE(f.prompts.shown().first().kind, FakePrompts::Kind::Message);
        QVERIFY(declarationField(f, "comdat").IsNull());
        QVERIFY(panel->DBEdit13->text().isEmpty());
        QCOMPARE(f.focus(), panel->DBEdit12);
    }

    // Only a whole fund of at most ten digits is saved: the save says why it
    // refuses any other and sends the user back to the fund.
    void aFundThatIsNoWholeNumberIsNotSaved_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("refusedOnExit");
        QTest::newRow("-100") << "-100" << true;
        QTest::newRow("5e-1") << "5e-1" << true;
        QTest::newRow("1e308") << "1e308" << true;
        // Whole, but sixteen digits: the commission exists, the file field does not.
        QTest::newRow("1e15") << "1e15" << false;
    }
    void aFundThatIsNoWholeNumberIsNotSaved()
    {
        QFETCH(QString, typed);
        QFETCH(bool, refusedOnExit);
        MainWindowFixture f(seedPayer);
        openDeclaration(f);
        DeclarationPanel* panel = f.window->ddgb;
        if (refusedOnExit)
            f.prompts.answerOk();
        retype(panel->DBEdit12, typed);
        leaveFor(panel->achit);
        f.prompts.answerOk();
        save(f);
        QCOMPARE(f.prompts.lastText(), kNegativeFund);
        QCOMPARE(f.prompts.texts().size(), refusedOnExit ? 2 : 1);
        QCOMPARE(f.window->windowState(), State::Declaration);
        QCOMPARE(f.focus(), panel->DBEdit12);
        QCOMPARE(storedInteger(f, QStringLiteral("SELECT count(*) FROM declaratii")), qint64(0));

        retype(panel->DBEdit12, QStringLiteral("9999999999"));
        save(f);
        QCOMPARE(f.window->windowState(), State::Output);
        QCOMPARE(storedText(f, QStringLiteral("SELECT fondlunsal FROM declaratii")), QStringLiteral("9999999999"));
    }

    void closingThePanelFromANegativeFundSaysNothing_data()
    {
        QTest::addColumn<Leave>("way");
        addLeaveRows();
    }
    void closingThePanelFromANegativeFundSaysNothing()
    {
        QFETCH(Leave, way);
        MainWindowFixture f(seedPayer);
        openDeclaration(f);
        DeclarationPanel* panel = f.window->ddgb;
        // Typed, not yet left: the panel is closed from the fund itself.
        retype(panel->DBEdit12, QStringLiteral("-100"));
        leaveThePanel(f, way, panel->DBEdit12);
        QCOMPARE(f.window->windowState(), State::Period);
        QVERIFY2(!f.prompts.texts().contains(kNegativeFund), qPrintable(f.prompts.texts().join(u'|')));
        QCOMPARE(f.focus(), f.window->PanelLuna->MaskEdit1);
    }
};

QTEST_MAIN(TestDeclarationAmounts)
#include "tst_declarationamounts.moc"
