#include "DeclarationRoad.h"
#include "support/GuiTestCase.h"

#include <QTest>

using namespace itm;
using namespace itm::test;

namespace {

const QString kNegativeFund
    = QStringLiteral("Fondul lunar de salarii trebuie sa fie un numar intreg, pozitiv sau zero.");
const QString kWrongCode = QStringLiteral("C.U.I./C.N.P. Lichidator incorect");
const QString kWrongDate = QStringLiteral("Data incorecta");
const QString kWrongLiquidationDate = QStringLiteral("Data incorecta!\nVa rugam sa completati corect campurile!");
const QString kGiveUp = QStringLiteral("Renuntati la modificari ?");

enum class Exit
{
    Fund,
    RateGroup
};

// The ways out of the declaration panel that close it without saving.
enum class Leave
{
    CancelClick,
    CancelMouse,
    CancelAccelerator,
    EscapeYesInField,
    EscapeYesOnSave
};

void seedStoredMarch(TestDatabase& db)
{
    seedPayer(db);
    db.exec("INSERT INTO declaratii (idfirma, ln, an, rectificativ, com25, nrsal, fondlunsal, comdat, comac, comdec, "
            "comdecac) VALUES (1, 3, 2007, 0, 0, 7, 2000, 15, 15, 0, 0)");
}

void seedStoredNegativeFund(TestDatabase& db)
{
    seedPayer(db);
    db.exec("INSERT INTO declaratii (idfirma, ln, an, rectificativ, com25, nrsal, fondlunsal, comdat, comac, comdec, "
            "comdecac) VALUES (1, 3, 2007, 0, 0, 7, -100, 1, 0, 0, 0)");
}

// Leaves the field with the focus for another one, as a click elsewhere does.
void leaveFor(QWidget* next)
{
    focusOn(next);
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

void leaveThePanel(MainWindowFixture& f, Leave way, QWidget* field)
{
    DeclarationPanel* panel = f.window->ddgb;
    switch (way) {
    case Leave::CancelClick:
        panel->Button2->click();
        break;
    case Leave::CancelMouse:
        QTest::mouseClick(panel->Button2, Qt::LeftButton);
        break;
    case Leave::CancelAccelerator:
        pressAccelerator(f, Qt::Key_N, panel->Button2);
        break;
    case Leave::EscapeYesInField:
        f.prompts.answerYes();
        MainWindowFixture::key(field, Qt::Key_Escape);
        QCOMPARE(f.prompts.shown().first().text, kGiveUp);
        return;
    case Leave::EscapeYesOnSave:
        focusOn(panel->Button1);
        f.prompts.answerYes();
        MainWindowFixture::key(panel->Button1, Qt::Key_Escape);
        QCOMPARE(f.prompts.shown().first().text, QStringLiteral("Ati finalizat declaratia ?"));
        return;
    }
    MainWindowFixture::settle();
}

void addLeaveRows()
{
    QTest::newRow("A&nulare") << Leave::CancelClick;
    QTest::newRow("A&nulare by mouse") << Leave::CancelMouse;
    QTest::newRow("A&nulare by Alt+N") << Leave::CancelAccelerator;
    QTest::newRow("Escape, Yes") << Leave::EscapeYesInField;
}

void save(MainWindowFixture& f)
{
    f.window->ddgb->Button1->click();
    MainWindowFixture::settle();
}

} // namespace

Q_DECLARE_METATYPE(Exit)
Q_DECLARE_METATYPE(Leave)

class TestDeclarationPanel : public itm::test::GuiTestCase
{
    Q_OBJECT

private Q_SLOTS:
    // ---- Amounts and commission --------------------------------------------

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
        VERIFY_PROMPTS(f);
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
        VERIFY_PROMPTS(f);
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
        VERIFY_PROMPTS(f);
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
        VERIFY_PROMPTS(f);
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
        VERIFY_PROMPTS(f);
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
        VERIFY_PROMPTS(f);
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
        VERIFY_PROMPTS(f);
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
        VERIFY_PROMPTS(f);
    }

    // ---- Liquidator ----------------------------------------------------------

    void theBankruptcyBoxUnlocksTheLiquidator()
    {
        MainWindowFixture f(seedPayer);
        openDeclaration(f);
        DeclarationPanel* panel = f.window->ddgb;
        QCOMPARE(panel->fal->checkState(), Qt::Unchecked);
        QVERIFY(!panel->lgb->isEnabled());
        focusOn(panel->fal);
        MainWindowFixture::key(panel->fal, Qt::Key_Space);
        QCOMPARE(panel->fal->checkState(), Qt::Checked);
        QVERIFY(panel->lgb->isEnabled());
        QCOMPARE(payerField(f, "faliment").AsInteger(), qint64(1));
        MainWindowFixture::key(panel->fal, Qt::Key_Space);
        QCOMPARE(panel->fal->checkState(), Qt::Unchecked);
        QVERIFY(!panel->lgb->isEnabled());
        QCOMPARE(payerField(f, "faliment").AsInteger(), qint64(0));
        VERIFY_PROMPTS(f);
    }

    void aBankruptPayerOpensWithItsLiquidator()
    {
        MainWindowFixture f(seedBankruptPayer);
        openDeclaration(f);
        DeclarationPanel* panel = f.window->ddgb;
        QCOMPARE(panel->fal->checkState(), Qt::Checked);
        QVERIFY(panel->lgb->isEnabled());
        QCOMPARE(panel->lgb->denl->text(), QStringLiteral("LICHIDATOR"));
        QCOMPARE(panel->lgb->judl->text(), QStringLiteral("DOLJ"));
        QCOMPARE(panel->lgb->cuil->text(), QStringLiteral("12340"));
        QVERIFY(!panel->lgb->lsec->isEnabled());
        VERIFY_PROMPTS(f);
    }

    void theLiquidatorCountyPreparesTheSector_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("county");
        QTest::addColumn<bool>("bucharest");
        QTest::newRow("BUCURESTI") << "BUC"
                                   << "BUCURESTI" << true;
        QTest::newRow("ILFOV") << "ILF"
                               << "ILFOV" << false;
        // Typed in lower case, completed as the county names are written.
        QTest::newRow("bu in lower case") << "bu"
                                          << "BUCURESTI" << true;
        QTest::newRow("go in lower case") << "go"
                                          << "GORJ" << false;
    }
    void theLiquidatorCountyPreparesTheSector()
    {
        QFETCH(QString, typed);
        QFETCH(QString, county);
        QFETCH(bool, bucharest);
        MainWindowFixture f([](TestDatabase& db) {
            seedBankruptPayer(db);
            db.exec("UPDATE firme SET lsector = 4");
        });
        openDeclaration(f);
        LiquidatorGroup* lgb = f.window->ddgb->lgb;
        retype(lgb->judl, typed);
        QCOMPARE(lgb->judl->text(), county);
        MainWindowFixture::key(lgb->judl, Qt::Key_Tab);
        QVERIFY(lgb->lsec->isEnabled());
        if (bucharest) {
            // A stored payer keeps its sector; the locality is the capital.
            QCOMPARE(f.focus(), lgb->lsec);
            QCOMPARE(payerField(f, "lloc").AsString(), QStringLiteral("BUCURESTI"));
            QCOMPARE(lgb->locl->text(), QStringLiteral("BUCURESTI"));
            QCOMPARE(lgb->lsec->text(), QStringLiteral("4"));
        } else {
            QCOMPARE(f.focus(), lgb->locl);
            QCOMPARE(payerField(f, "lloc").AsString(), QStringLiteral("CRAIOVA"));
            QCOMPARE(lgb->lsec->text(), QStringLiteral("0"));
            QCOMPARE(payerField(f, "lsector").AsVariant(), QVariant(qint64(0)));
        }
        QCOMPARE(lgb->judl->palette().color(QPalette::Base), QColor(Qt::white));
        VERIFY_PROMPTS(f);
    }

    void theSectorTakesOneToSixOnly_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("9") << "9"
                           << "0";
        QTest::newRow("3") << "3"
                           << "3";
        QTest::newRow("6") << "6"
                           << "6";
        QTest::newRow("7") << "7"
                           << "0";
        QTest::newRow("37: the second digit spoils it") << "37"
                                                        << "0";
        QTest::newRow("a letter") << "A"
                                  << "0";
        QTest::newRow("minus") << "-"
                               << "0";
    }
    void theSectorTakesOneToSixOnly()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        MainWindowFixture f(seedBankruptPayer);
        openDeclaration(f);
        LiquidatorGroup* lgb = f.window->ddgb->lgb;
        retype(lgb->judl, QStringLiteral("BUC"));
        MainWindowFixture::key(lgb->judl, Qt::Key_Return);
        QCOMPARE(f.focus(), lgb->lsec);
        retype(lgb->lsec, typed);
        QCOMPARE(lgb->lsec->text(), kept);
        VERIFY_PROMPTS(f);
    }

    void theLiquidatorCodeIsCheckedWhenLeft_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("valid");
        QTest::newRow("empty") << "" << false;
        QTest::newRow("ten digits") << "1234567890" << false;
        QTest::newRow("ten characters, a valid code padded") << "0000000019" << false;
        QTest::newRow("wrong control digit") << "18" << false;
        QTest::newRow("CUI") << "12340" << true;
        QTest::newRow("CNP") << "1900101000006" << true;
    }
    void theLiquidatorCodeIsCheckedWhenLeft()
    {
        QFETCH(QString, code);
        QFETCH(bool, valid);
        MainWindowFixture f(seedBankruptPayer);
        openDeclaration(f);
        LiquidatorGroup* lgb = f.window->ddgb->lgb;
        retype(lgb->cuil, code);
        if (!valid)
            f.prompts.answerOk();
        MainWindowFixture::key(lgb->cuil, Qt::Key_Return);
        if (valid) {
            QVERIFY(f.prompts.shown().isEmpty());
            QCOMPARE(f.focus(), lgb->zi);
        } else {
            QCOMPARE(f.prompts.texts(), QStringList { kWrongCode });
            QCOMPARE(f.prompts.shown().first().kind, FakePrompts::Kind::Message);
            QCOMPARE(f.focus(), lgb->cuil);
        }
        QCOMPARE(payerField(f, "lcui").AsString(), code);
        VERIFY_PROMPTS(f);
    }

    void theLiquidationDateIsCheckedWhenTheYearIsLeft_data()
    {
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("year");
        QTest::addColumn<bool>("exists");
        QTest::newRow("31/04/2005") << "31"
                                    << "04"
                                    << "2005" << false;
        QTest::newRow("29/02/2004, leap year") << "29"
                                               << "02"
                                               << "2004" << true;
        QTest::newRow("29/02/2005") << "29"
                                    << "02"
                                    << "2005" << false;
        QTest::newRow("29/02/2000, leap century") << "29"
                                                  << "02"
                                                  << "2000" << true;
        QTest::newRow("29/02/1900, common century") << "29"
                                                    << "02"
                                                    << "1900" << false;
        QTest::newRow("00/01/2005") << "0"
                                    << "1"
                                    << "2005" << false;
        QTest::newRow("01/13/2005") << "1"
                                    << "13"
                                    << "2005" << false;
        QTest::newRow("empty year") << "1"
                                    << "1"
                                    << "" << false;
        QTest::newRow("31/12/9999") << "31"
                                    << "12"
                                    << "9999" << true;
        QTest::newRow("01/01/1985, checked only on saving") << "01"
                                                            << "01"
                                                            << "1985" << true;
    }
    void theLiquidationDateIsCheckedWhenTheYearIsLeft()
    {
        QFETCH(QString, day);
        QFETCH(QString, month);
        QFETCH(QString, year);
        QFETCH(bool, exists);
        MainWindowFixture f(seedBankruptPayer);
        openDeclaration(f);
        LiquidatorGroup* lgb = f.window->ddgb->lgb;
        retype(lgb->zi, day);
        retype(lgb->luna, month);
        retype(lgb->an, year);
        if (!exists)
            f.prompts.answerOk();
        MainWindowFixture::key(lgb->an, Qt::Key_Tab);
        if (exists) {
            QVERIFY(f.prompts.shown().isEmpty());
            QCOMPARE(f.focus(), f.window->ddgb->Button1);
        } else {
            QCOMPARE(f.prompts.texts(), QStringList { kWrongDate });
            QCOMPARE(f.focus(), lgb->zi);
        }
        QCOMPARE(lgb->an->palette().color(QPalette::Base), QColor(Qt::white));
        VERIFY_PROMPTS(f);
    }

    void closingThePanelChecksNoLiquidatorField_data()
    {
        QTest::addColumn<Leave>("way");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("county");
        const struct
        {
            const char* name;
            Leave way;
        } ways[] = {
            { "A&nulare", Leave::CancelClick },
            { "A&nulare by mouse", Leave::CancelMouse },
            { "A&nulare by Alt+N", Leave::CancelAccelerator },
            { "Escape, Yes", Leave::EscapeYesInField },
        };
        for (const auto& way : ways) {
            QTest::addRow("%s from the code", way.name) << way.way << "cuil"
                                                        << "16";
            QTest::addRow("%s from the year", way.name) << way.way << "an"
                                                        << "16";
            QTest::addRow("%s from the county BUCURESTI", way.name) << way.way << "judl"
                                                                    << "40";
            QTest::addRow("%s from an empty county", way.name) << way.way << "judl"
                                                               << " ";
        }
    }
    void closingThePanelChecksNoLiquidatorField()
    {
        QFETCH(Leave, way);
        QFETCH(QString, field);
        QFETCH(QString, county);
        MainWindowFixture f(seedBankruptPayer);
        openDeclaration(f);
        LiquidatorGroup* lgb = f.window->ddgb->lgb;
        // A wrong code and an impossible date (31/02/2003), with the focus in one of them.
        payerField(f, "lcui").setAsString(QStringLiteral("18"));
        payerField(f, "lzi").setAsString(QStringLiteral("31"));
        payerField(f, "lln").setAsString(QStringLiteral("2"));
        payerField(f, "lsector").setAsString(QStringLiteral("2"));
        payerField(f, "lcodjudet").setAsString(county);
        auto* edit = lgb->findChild<QLineEdit*>(field);
        focusOn(edit);
        leaveThePanel(f, way, edit);
        QCOMPARE(f.window->windowState(), State::Period);
        QCOMPARE(f.focus(), f.window->PanelLuna->MaskEdit1);
        QVERIFY2(!f.prompts.texts().contains(kWrongCode), qPrintable(f.prompts.texts().join(u'|')));
        QVERIFY2(!f.prompts.texts().contains(kWrongDate), qPrintable(f.prompts.texts().join(u'|')));
        // Closing writes nothing into the payer's pending liquidator data.
        QCOMPARE(payerField(f, "lloc").AsString(), QStringLiteral("CRAIOVA"));
        QCOMPARE(payerField(f, "lsector").AsInteger(), qint64(2));
        VERIFY_PROMPTS(f);
    }

    void anEmptyCountyIsStillRefusedAfterAClosedPanel()
    {
        MainWindowFixture f(seedBankruptPayer);
        openDeclaration(f);
        LiquidatorGroup* lgb = f.window->ddgb->lgb;
        payerField(f, "lcodjudet").setAsString(QStringLiteral(" "));
        focusOn(lgb->judl);
        leaveThePanel(f, Leave::CancelClick, lgb->judl);
        lookUp(f, QStringLiteral("03"), QStringLiteral("2007"));
        f.prompts.clear();
        focusOn(lgb->judl);
        f.prompts.answerOk();
        MainWindowFixture::key(lgb->judl, Qt::Key_Tab);
        QCOMPARE(f.prompts.texts(),
            QStringList { QStringLiteral("Pentru a continua trebuie sa selectati/adaugati o valoare") });
        QCOMPARE(f.focus(), lgb->judl);
        VERIFY_PROMPTS(f);
    }

    // ---- Saving --------------------------------------------------------------

    void aPayerNotInBankruptcySaves()
    {
        MainWindowFixture f(seedPayer);
        openDeclaration(f);
        DeclarationPanel* panel = f.window->ddgb;
        MainWindowFixture::key(panel->DBCheckBox1, Qt::Key_Space);
        retype(panel->nrsal, QStringLiteral("12"));
        retype(panel->DBEdit12, QStringLiteral("2.000"));
        retype(panel->achit, QStringLiteral("10"));
        save(f);
        QCOMPARE(f.window->windowState(), State::Output);
        QCOMPARE(f.focus(), f.window->butpan->Button4);
        QVERIFY(f.window->butpan->isVisible());
        QVERIFY(panel->isVisible());
        QVERIFY(!panel->isEnabled());
        QCOMPARE(f.dm->qryDeclaratii->State(), DatasetState::Browse);
        QCOMPARE(f.dm->qryFirme->State(), DatasetState::Edit);
        QCOMPARE(storedInteger(f, QStringLiteral("SELECT count(*) FROM declaratii")), qint64(1));
        QCOMPARE(storedText(f,
                     QStringLiteral("SELECT idfirma || '|' || ln || '|' || an || '|' || rectificativ || '|' || "
                                    "com25 || '|' || nrsal || '|' || fondlunsal || '|' || comdat || '|' || "
                                    "comac || '|' || comdec || '|' || comdecac FROM declaratii")),
            QStringLiteral("1|3|2007|1|0|12|2000|15|10|0|0"));
        QCOMPARE(storedInteger(f, QStringLiteral("SELECT faliment FROM firme")), qint64(0));
        VERIFY_PROMPTS(f);
    }

    void liquidatorRulesInOrder_data()
    {
        QTest::addColumn<int>("firstBroken");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("L1 code") << 1 << "Va rugam sa completati campul 'CUI Lichidator'"
                                 << "cuil";
        QTest::newRow("L2 name") << 2 << "Va rugam sa completati campul 'Denumire Lichidator'"
                                 << "denl";
        QTest::newRow("L3 county") << 3 << "Va rugam sa completati campul 'Judet Lichidator'"
                                   << "judl";
        QTest::newRow("L4 locality") << 4 << "Va rugam sa completati campul 'Localitate Lichidator'"
                                     << "locl";
        QTest::newRow("L5 street") << 5 << "Va rugam sa completati campul 'strada'"
                                   << "lstr";
        QTest::newRow("L7 Bucharest sector") << 7 << "Completati corect campul sector lichidator"
                                             << "lsec";
        QTest::newRow("L8 date") << 8 << kWrongLiquidationDate << "zi";
        QTest::newRow("L10 year before 1990") << 10 << kWrongLiquidationDate << "zi";
    }
    void liquidatorRulesInOrder()
    {
        QFETCH(int, firstBroken);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        MainWindowFixture f(seedBankruptPayer);
        openDeclaration(f);
        // Every rule from the first broken one on fails: only the first may speak.
        auto set = [&](const char* column, const QString& value) { payerField(f, column).setAsString(value); };
        if (firstBroken <= 10) {
            set("lzi", QStringLiteral("1"));
            set("lln", QStringLiteral("1"));
            set("lan", QStringLiteral("1985"));
        }
        if (firstBroken <= 8) {
            set("lzi", QStringLiteral("31"));
            set("lln", QStringLiteral("2"));
            set("lan", QStringLiteral("2005"));
        }
        if (firstBroken <= 7) {
            set("lcodjudet", QStringLiteral("40"));
            set("lsector", QStringLiteral("0"));
        }
        if (firstBroken <= 6)
            set("lnr", QStringLiteral(" "));
        if (firstBroken <= 5)
            set("lstr", QStringLiteral(" "));
        if (firstBroken <= 4)
            set("lloc", QStringLiteral("\t"));
        if (firstBroken <= 3)
            set("lcodjudet", QStringLiteral(" "));
        if (firstBroken <= 2)
            set("ldenumire", QStringLiteral("  "));
        if (firstBroken <= 1)
            set("lcui", QString());
        MainWindowFixture::settle();

        f.prompts.answerOk();
        save(f);
        QCOMPARE(f.prompts.texts(), QStringList { message });
        QCOMPARE(f.prompts.shown().first().kind, FakePrompts::Kind::Message);
        QCOMPARE(f.focus(), f.window->ddgb->lgb->findChild<QWidget*>(focus));
        QCOMPARE(f.window->windowState(), State::Declaration);
        QCOMPARE(f.dm->qryFirme->State(), DatasetState::Edit);
        QCOMPARE(f.dm->qryDeclaratii->State(), DatasetState::Insert);
        // Nothing was written.
        QCOMPARE(storedInteger(f, QStringLiteral("SELECT count(*) FROM declaratii")), qint64(0));
        QCOMPARE(storedText(f, QStringLiteral("SELECT lcui || lstr || lnr || lan FROM firme")),
            QStringLiteral("12340LIPSCANI32003"));
        VERIFY_PROMPTS(f);
    }

    void aTenCharacterLiquidatorCodeStopsTheSave()
    {
        MainWindowFixture f(seedBankruptPayer);
        openDeclaration(f);
        payerField(f, "lcui").setAsString(QStringLiteral("1234567890"));
        f.prompts.answerOk();
        save(f);
        QCOMPARE(f.prompts.texts(), QStringList { QStringLiteral("Va rugam sa completati campul 'CUI Lichidator'") });
        QCOMPARE(f.focus(), f.window->ddgb->lgb->cuil);
        VERIFY_PROMPTS(f);
    }

    void theDateIsRewrittenAsNumbersBeforeTheYearRuleFails()
    {
        MainWindowFixture f(seedBankruptPayer);
        openDeclaration(f);
        LiquidatorGroup* lgb = f.window->ddgb->lgb;
        lgb->zi->setText(QStringLiteral("01"));
        lgb->luna->setText(QStringLiteral("01"));
        lgb->an->setText(QStringLiteral("1985"));
        f.prompts.answerOk();
        save(f);
        QCOMPARE(f.prompts.texts(), QStringList { kWrongLiquidationDate });
        QCOMPARE(f.focus(), lgb->zi);
        QCOMPARE(payerField(f, "lzi").AsVariant(), QVariant(qint64(1)));
        QCOMPARE(payerField(f, "lln").AsVariant(), QVariant(qint64(1)));
        QCOMPARE(payerField(f, "lan").AsVariant(), QVariant(qint64(1985)));
        QCOMPARE(lgb->zi->text(), QStringLiteral("1"));
        QCOMPARE(lgb->luna->text(), QStringLiteral("1"));
        QCOMPARE(lgb->an->text(), QStringLiteral("1985"));
        // The rules that passed leave their values; nothing reaches the database.
        QCOMPARE(storedInteger(f, QStringLiteral("SELECT lan FROM firme")), qint64(2003));
        VERIFY_PROMPTS(f);
    }

    void liquidatorRulesThatWriteBeforeSaving_data()
    {
        QTest::addColumn<QString>("assignments");
        QTest::addColumn<QString>("sectorTyped");
        QTest::addColumn<QString>("storedColumns");
        QTest::addColumn<QString>("stored");
        QTest::newRow("L6 no number: F.N.") << "lnr="
                                            << ""
                                            << "lnr"
                                            << "F.N.";
        QTest::newRow("L7 Bucharest: the locality is the capital") << "lcodjudet=40;lsector=3;lloc=OTOPENI"
                                                                   << ""
                                                                   << "lloc || lsector"
                                                                   << "BUCURESTI3";
        QTest::newRow("L7 outside Bucharest: a typed sector is saved as 0") << ""
                                                                            << "4"
                                                                            << "lsector"
                                                                            << "0";
        QTest::newRow("L9 a valid date") << "lzi=28;lln=2;lan=1990"
                                         << ""
                                         << "lzi || '/' || lln || '/' || lan"
                                         << "28/2/1990";
    }
    void liquidatorRulesThatWriteBeforeSaving()
    {
        QFETCH(QString, assignments);
        QFETCH(QString, sectorTyped);
        QFETCH(QString, storedColumns);
        QFETCH(QString, stored);
        MainWindowFixture f(seedBankruptPayer);
        openDeclaration(f);
        LiquidatorGroup* lgb = f.window->ddgb->lgb;
        for (const QString& assignment : assignments.split(u';', Qt::SkipEmptyParts)) {
            const QStringList parts = assignment.split(u'=');
            f.dm->qryFirme->FieldByName(parts.at(0)).setAsString(parts.at(1));
        }
        MainWindowFixture::settle();
        if (!sectorTyped.isEmpty()) {
            // The sector is reached by leaving the county.
            focusOn(lgb->judl);
            MainWindowFixture::key(lgb->judl, Qt::Key_Tab);
            retype(lgb->lsec, sectorTyped);
        }
        save(f);
        QCOMPARE(f.window->windowState(), State::Output);
        QCOMPARE(storedText(f, QStringLiteral("SELECT %1 FROM firme").arg(storedColumns)), stored);
        QCOMPARE(storedInteger(f, QStringLiteral("SELECT faliment FROM firme")), qint64(1));
        QCOMPARE(storedInteger(f, QStringLiteral("SELECT count(*) FROM declaratii")), qint64(1));
        VERIFY_PROMPTS(f);
    }

    void january2006SavesOnlyTheDeclaration()
    {
        MainWindowFixture f(seedBankruptPayer);
        openDeclaration(f, QStringLiteral("01"), QStringLiteral("2006"));
        DeclarationPanel* panel = f.window->ddgb;
        // A pending change of the payer shows whether the save writes it.
        payerField(f, "str").setAsString(QStringLiteral("NOUA"));
        retype(panel->DBEdit12, QStringLiteral("2000"));
        retype(panel->DBEdit14, QStringLiteral("1.500"));
        retype(panel->DBEdit19, QStringLiteral("1.000"));
        save(f);
        QCOMPARE(f.window->windowState(), State::Output);
        QCOMPARE(f.focus(), f.window->butpan->Button4);
        QCOMPARE(storedText(f,
                     QStringLiteral("SELECT ln || '/' || an || ' ' || comdat || ' ' || comdec || ' ' || "
                                    "comdecac FROM declaratii")),
            QStringLiteral("1/2006 15 1500 1000"));
        QCOMPARE(storedText(f, QStringLiteral("SELECT str FROM firme")), QStringLiteral("UNIRII"));
        QCOMPARE(payerField(f, "str").AsString(), QStringLiteral("NOUA"));
        QCOMPARE(storedInteger(f, QStringLiteral("SELECT faliment FROM firme")), qint64(0));
        VERIFY_PROMPTS(f);
    }

    void savingANewAndAStoredDeclaration_data()
    {
        QTest::addColumn<bool>("stored");
        QTest::newRow("new") << false;
        QTest::newRow("stored") << true;
    }
    void savingANewAndAStoredDeclaration()
    {
        QFETCH(bool, stored);
        MainWindowFixture f(stored ? seedStoredMarch : seedPayer);
        openDeclaration(f);
        DeclarationPanel* panel = f.window->ddgb;
        retype(panel->nrsal, QStringLiteral("21"));
        retype(panel->DBEdit12, QStringLiteral("50000"));
        chooseRate(f, 1);
        MainWindowFixture::key(f.focus(), Qt::Key_Tab);
        save(f);
        QCOMPARE(f.window->windowState(), State::Output);
        QCOMPARE(storedInteger(f, QStringLiteral("SELECT count(*) FROM declaratii")), qint64(1));
        QCOMPARE(storedText(f,
                     QStringLiteral("SELECT id || ' ' || nrsal || ' ' || com25 || ' ' || fondlunsal || ' ' "
                                    "|| comdat FROM declaratii")),
            QStringLiteral("1 21 1 50000 125"));
        // The saved declaration is the current row.
        QCOMPARE(declarationField(f, "nrsal").AsInteger(), qint64(21));
        QCOMPARE(declarationField(f, "ln").AsInteger(), qint64(3));
        VERIFY_PROMPTS(f);
    }

    void escapeOnTheSaveButtonsAsks_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("Inregistrare &declaratie") << "Button1";
        QTest::newRow("A&nulare") << "Button2";
    }
    void escapeOnTheSaveButtonsAsks()
    {
        QFETCH(QString, button);
        MainWindowFixture f(seedPayer);
        openDeclaration(f);
        auto* target = f.window->ddgb->findChild<QPushButton*>(button);
        focusOn(target);
        f.prompts.answerNo();
        MainWindowFixture::key(target, Qt::Key_Escape);
        QCOMPARE(f.prompts.lastText(), QStringLiteral("Ati finalizat declaratia ?"));
        QCOMPARE(f.window->windowState(), State::Declaration);
        QCOMPARE(f.focus(), target);
        QCOMPARE(f.dm->qryDeclaratii->State(), DatasetState::Insert);
        f.prompts.answerYes();
        MainWindowFixture::key(target, Qt::Key_Escape);
        QCOMPARE(f.window->windowState(), State::Period);
        QCOMPARE(f.focus(), f.window->PanelLuna->MaskEdit1);
        VERIFY_PROMPTS(f);
    }

    void leavingWithoutSavingKeepsThePayerChangesPending_data()
    {
        QTest::addColumn<Leave>("way");
        addLeaveRows();
        QTest::newRow("Escape, Yes on Inregistrare") << Leave::EscapeYesOnSave;
    }
    void leavingWithoutSavingKeepsThePayerChangesPending()
    {
        QFETCH(Leave, way);
        MainWindowFixture f(seedPayer);
        openDeclaration(f);
        DeclarationPanel* panel = f.window->ddgb;
        retype(panel->nrsal, QStringLiteral("5"));
        focusOn(panel->fal);
        MainWindowFixture::key(panel->fal, Qt::Key_Space);
        retype(panel->lgb->denl, QStringLiteral("lichidator"));
        leaveThePanel(f, way, panel->lgb->denl);
        QCOMPARE(f.window->windowState(), State::Period);
        QCOMPARE(f.focus(), f.window->PanelLuna->MaskEdit1);
        QVERIFY(panel->isHidden());
        QVERIFY(!f.dm->qryDeclaratii->Active());
        QCOMPARE(storedInteger(f, QStringLiteral("SELECT count(*) FROM declaratii")), qint64(0));
        QCOMPARE(f.dm->qryFirme->State(), DatasetState::Edit);
        QCOMPARE(payerField(f, "faliment").AsInteger(), qint64(1));
        QCOMPARE(payerField(f, "ldenumire").AsString(), QStringLiteral("LICHIDATOR"));
        QCOMPARE(storedInteger(f, QStringLiteral("SELECT faliment FROM firme")), qint64(0));

        // Back in the same period, the declaration starts afresh and the payer's changes are still there.
        lookUp(f, QStringLiteral("03"), QStringLiteral("2007"));
        QVERIFY(panel->nrsal->text().isEmpty());
        QCOMPARE(panel->fal->checkState(), Qt::Checked);
        QVERIFY(panel->lgb->isEnabled());
        QCOMPARE(panel->lgb->denl->text(), QStringLiteral("LICHIDATOR"));
        VERIFY_PROMPTS(f);
    }

    void escapeOnTheOutputsGoesBackAtOnce_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("&Generare discheta I.T.M.") << "Button4";
        QTest::newRow("&Listare declaratie I.T.M.") << "Button6";
    }
    void escapeOnTheOutputsGoesBackAtOnce()
    {
        QFETCH(QString, button);
        MainWindowFixture f(seedPayer);
        openDeclaration(f);
        save(f);
        auto* target = f.window->butpan->findChild<QPushButton*>(button);
        focusOn(target);
        MainWindowFixture::key(target, Qt::Key_Escape);
        QVERIFY(f.prompts.shown().isEmpty());
        QCOMPARE(f.window->windowState(), State::Period);
        QVERIFY(f.window->butpan->isHidden());
        QVERIFY(f.window->ddgb->isHidden());
        QCOMPARE(f.focus(), f.window->PanelLuna->MaskEdit1);
        QVERIFY(!f.dm->qryDeclaratii->Active());
        QCOMPARE(storedInteger(f, QStringLiteral("SELECT count(*) FROM declaratii")), qint64(1));
    }

    void aSavedDeclarationThatCannotBeFoundEndsTheProgram()
    {
        // The stored row is moved to another payer as soon as it is inserted.
        MainWindowFixture f([](TestDatabase& db) {
            seedPayer(db);
            db.exec("CREATE TRIGGER lose_declaration AFTER INSERT ON declaratii BEGIN "
                    "UPDATE declaratii SET idfirma = NEW.idfirma + 1000 WHERE id = NEW.id; END");
        });
        openDeclaration(f);
        f.prompts.answerOk();
        save(f);
        QCOMPARE(f.prompts.texts(), QStringList { QStringLiteral("Eroare fatala.\nProgramul nu mai poate continua.") });
        QCOMPARE(f.prompts.shown().first().kind, FakePrompts::Kind::Message);
        QTRY_VERIFY(!f.window->isVisible());
        VERIFY_PROMPTS(f);
    }
};

QTEST_MAIN(TestDeclarationPanel)
#include "tst_declarationpanel.moc"
