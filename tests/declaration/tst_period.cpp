#include "support/DeclarationRoad.h"
#include "support/GuiTestCase.h"
#include "support/SampleRecords.h"

#include <QTest>

using namespace itm;
using namespace itm::test;

namespace {

// A stored declaration of payer 19 for March 2007, one of the same payer for
// April and one of another payer for March: only the first may be found.
void seedStoredMarch(TestDatabase& db)
{
    seedPayer(db);
    samples::addPayer(db, QStringLiteral("230"), QStringLiteral("BETA"));
    db.exec("INSERT INTO declaratii (idfirma, ln, an, rectificativ, com25, nrsal, fondlunsal, comdat, comac, comdec, "
            "comdecac) VALUES (1, 3, 2007, 1, 1, 7, 50000, 125, 100, 0, 0), (1, 4, 2007, 0, 0, 8, 1000, 8, 8, 0, 0), "
            "(2, 3, 2007, 0, 0, 9, 2000, 15, 15, 0, 0)");
}

} // namespace

class TestPeriod : public itm::test::GuiTestCase
{
    Q_OBJECT

private Q_SLOTS:
    void periodIsPresetFromTheClock_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("year");
        QTest::newRow("March 2007") << QDate(2007, 3, 15) << "03"
                                    << "2007";
        QTest::newRow("December 2010") << QDate(2010, 12, 31) << "12"
                                       << "2010";
        QTest::newRow("January 2006") << QDate(2006, 1, 1) << "01"
                                      << "2006";
    }
    void periodIsPresetFromTheClock()
    {
        QFETCH(QDate, today);
        QFETCH(QString, month);
        QFETCH(QString, year);
        MainWindowFixture f(seedPayer);
        f.clock.date = today;
        openPeriod(f);
        QCOMPARE(f.window->windowState(), State::Period);
        QCOMPARE(f.window->PanelLuna->MaskEdit1->text(), month);
        QCOMPARE(f.window->PanelLuna->MaskEdit2->text(), year);
        QCOMPARE(f.focus(), f.window->PanelLuna->MaskEdit1);
        QVERIFY(!f.window->dcgb->isHidden());
        QVERIFY(!f.window->dcgb->isEnabled());
        QVERIFY(f.window->ddgb->isHidden());
    }

    void periodNeedsACodeAndAName_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("notice");
        QTest::newRow("one-character code: nothing at all") << "cui"
                                                            << "1"
                                                            << "";
        QTest::newRow("empty name") << "denumire"
                                    << ""
                                    << "Completati denumirea platitorului !!!";
    }
    void periodNeedsACodeAndAName()
    {
        QFETCH(QString, column);
        QFETCH(QString, value);
        QFETCH(QString, notice);
        MainWindowFixture f(seedPayer);
        validatePayer(f);
        f.dm->qryFirme->FieldByName(column).setAsString(value);
        if (!notice.isEmpty())
            f.prompts.answerOk();
        MainWindowFixture::key(f.window->dcgb->Button5, Qt::Key_Return);
        if (notice.isEmpty()) {
            QVERIFY(f.prompts.shown().isEmpty());
        } else {
            QCOMPARE(f.prompts.shown().size(), 1);
            QCOMPARE(f.prompts.shown().first().kind, FakePrompts::Kind::Notice);
            QCOMPARE(f.prompts.shown().first().caption, QStringLiteral("Atentie"));
            QCOMPARE(f.prompts.lastText(), notice);
        }
        QCOMPARE(f.window->windowState(), State::PayerData);
        QVERIFY(f.window->PanelLuna->isHidden());
        QCOMPARE(f.focus(), f.window->dcgb->Button5);
    }

    void aYearBefore2006IsCorrectedByTheFirstEnter_data()
    {
        QTest::addColumn<QString>("year");
        QTest::newRow("2005") << "2005";
        QTest::newRow("1999") << "1999";
        QTest::newRow("0") << "0";
    }
    void aYearBefore2006IsCorrectedByTheFirstEnter()
    {
        QFETCH(QString, year);
        MainWindowFixture f(seedPayer);
        openPeriod(f);
        PeriodPanel* period = f.window->PanelLuna;
        focusOn(period->MaskEdit2);
        period->MaskEdit2->setText(year);
        MainWindowFixture::key(period->MaskEdit2, Qt::Key_Return);
        QCOMPARE(period->MaskEdit2->text(), QStringLiteral("2006"));
        QVERIFY(f.prompts.shown().isEmpty());
        QCOMPARE(f.window->windowState(), State::Period);
        QCOMPARE(f.focus(), period->MaskEdit2);

        f.prompts.answerNo();
        MainWindowFixture::key(period->MaskEdit2, Qt::Key_Return);
        QCOMPARE(
            f.prompts.lastText(), QStringLiteral("Datele delaratiei pentru luna Martie nu exista. Adaugati acum ?"));
    }

    void anIncompletePeriodLooksNothingUp_data()
    {
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("monthAfter");
        QTest::newRow("empty year") << "03"
                                    << ""
                                    << "03";
        QTest::newRow("empty month") << ""
                                     << "2007"
                                     << "";
        QTest::newRow("month 13 becomes 1") << "13"
                                            << "2007"
                                            << "1";
        QTest::newRow("month 0 becomes 1") << "0"
                                           << "2007"
                                           << "1";
    }
    void anIncompletePeriodLooksNothingUp()
    {
        QFETCH(QString, month);
        QFETCH(QString, year);
        QFETCH(QString, monthAfter);
        MainWindowFixture f(seedPayer);
        openPeriod(f);
        PeriodPanel* period = f.window->PanelLuna;
        focusOn(period->MaskEdit2);
        period->MaskEdit1->setText(month);
        period->MaskEdit2->setText(year);
        MainWindowFixture::key(period->MaskEdit2, Qt::Key_Return);
        QVERIFY(f.prompts.shown().isEmpty());
        QCOMPARE(period->MaskEdit1->text(), monthAfter);
        QCOMPARE(period->MaskEdit2->text(), year);
        QCOMPARE(f.window->windowState(), State::Period);
        QCOMPARE(f.focus(), period->MaskEdit2);
        QVERIFY(!f.dm->qryDeclaratii->Active());
    }

    void theMonthIsKeptInRangeWhenLeft_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("kept");
        QTest::newRow("13, Tab") << "13" << int(Qt::Key_Tab) << "12";
        QTest::newRow("13, Enter") << "13" << int(Qt::Key_Return) << "12";
        QTest::newRow("99, Enter") << "99" << int(Qt::Key_Return) << "12";
        QTest::newRow("0, Tab") << "0" << int(Qt::Key_Tab) << "1";
        QTest::newRow("00, Enter") << "00" << int(Qt::Key_Return) << "1";
        QTest::newRow("7 is kept, Enter") << "7" << int(Qt::Key_Return) << "7";
        QTest::newRow("12 is kept, Tab") << "12" << int(Qt::Key_Tab) << "12";
    }
    void theMonthIsKeptInRangeWhenLeft()
    {
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(QString, kept);
        MainWindowFixture f(seedPayer);
        openPeriod(f);
        PeriodPanel* period = f.window->PanelLuna;
        retype(period->MaskEdit1, typed);
        MainWindowFixture::key(period->MaskEdit1, Qt::Key(key));
        QCOMPARE(period->MaskEdit1->text(), kept);
        QCOMPARE(f.focus(), typed == kept ? static_cast<QWidget*>(period->MaskEdit2) : period->MaskEdit1);
        QCOMPARE(f.window->windowState(), State::Period);
    }

    void theTwoQuestions_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("question");
        const QString modify = QStringLiteral("Datele delaratiei pentru luna Martie exista deja. Modificati acum ?");
        const QString add = QStringLiteral("Datele delaratiei pentru luna Martie nu exista. Adaugati acum ?");
        QTest::newRow("stored, Yes") << true << true << modify;
        QTest::newRow("stored, No") << true << false << modify;
        QTest::newRow("new, Yes") << false << true << add;
        QTest::newRow("new, No") << false << false << add;
    }
    void theTwoQuestions()
    {
        QFETCH(bool, exists);
        QFETCH(bool, yes);
        QFETCH(QString, question);
        MainWindowFixture f(exists ? seedStoredMarch : seedPayer);
        openPeriod(f);
        lookUp(f, QStringLiteral("03"), QStringLiteral("2007"), yes);
        QCOMPARE(f.prompts.shown().size(), 1);
        QCOMPARE(f.prompts.shown().first().kind, FakePrompts::Kind::Confirm);
        QCOMPARE(f.prompts.lastText(), question);
        if (yes) {
            QCOMPARE(f.window->windowState(), State::Declaration);
            QCOMPARE(f.dm->qryDeclaratii->State(), exists ? DatasetState::Edit : DatasetState::Insert);
            QCOMPARE(f.focus(), f.window->ddgb->DBCheckBox1);
            QVERIFY(!f.window->PanelLuna->isEnabled());
            QVERIFY(!f.window->PanelLuna->isHidden());
        } else {
            QCOMPARE(f.window->windowState(), State::PayerData);
            QCOMPARE(f.focus(), f.window->dcgb->Button3);
            QVERIFY(!f.window->dcgb->Button5->isEnabled());
            QVERIFY(f.window->PanelLuna->isHidden());
            QVERIFY(f.window->ddgb->isHidden());
        }
        QCOMPARE(f.dm->qryFirme->State(), DatasetState::Edit);
    }

    void aStoredDeclarationOpensWithItsValues()
    {
        MainWindowFixture f(seedStoredMarch);
        openPeriod(f);
        lookUp(f, QStringLiteral("03"), QStringLiteral("2007"));
        DeclarationPanel* panel = f.window->ddgb;
        QCOMPARE(panel->DBCheckBox1->checkState(), Qt::Checked);
        QVERIFY(panel->proccom->buttons().at(1)->isChecked());
        QCOMPARE(panel->nrsal->text(), QStringLiteral("7"));
        QCOMPARE(panel->DBEdit12->text(), QStringLiteral("50000"));
        QCOMPARE(panel->DBEdit13->text(), QStringLiteral("125"));
        QCOMPARE(panel->achit->text(), QStringLiteral("100"));
        QCOMPARE(f.dm->qryDeclaratii->RecordCount(), 1);
    }

    void aNewDeclarationStartsCorrectiveFreeAtTheFullRate()
    {
        MainWindowFixture f(seedPayer);
        openPeriod(f);
        lookUp(f, QStringLiteral("03"), QStringLiteral("2007"));
        DeclarationPanel* panel = f.window->ddgb;
        QCOMPARE(declarationField(f, "idfirma").AsInteger(), payerField(f, "id").AsInteger());
        QCOMPARE(declarationField(f, "ln").AsVariant(), QVariant(qint64(3)));
        QCOMPARE(declarationField(f, "an").AsVariant(), QVariant(qint64(2007)));
        QCOMPARE(declarationField(f, "rectificativ").AsVariant(), QVariant(qint64(0)));
        QCOMPARE(declarationField(f, "com25").AsVariant(), QVariant(qint64(0)));
        for (const char* amount : { "nrsal", "fondlunsal", "comdat", "comac", "comdec", "comdecac" })
            QVERIFY2(declarationField(f, amount).IsNull(), amount);
        QCOMPARE(panel->DBCheckBox1->checkState(), Qt::Unchecked);
        QVERIFY(panel->proccom->buttons().at(0)->isChecked());
        QVERIFY(panel->DBEdit12->text().isEmpty());
        QCOMPARE(storedInteger(f, QStringLiteral("SELECT count(*) FROM declaratii")), qint64(0));
    }

    void afterNoAnotherPeriodIsLookedUp()
    {
        MainWindowFixture f(seedStoredMarch);
        openPeriod(f);
        lookUp(f, QStringLiteral("03"), QStringLiteral("2007"), false);
        QCOMPARE(f.window->windowState(), State::PayerData);

        f.window->dcgb->Button3->click();
        QTRY_VERIFY(f.window->dcgb->Button5->isEnabled());
        MainWindowFixture::key(f.window->dcgb->Button5, Qt::Key_Return);
        lookUp(f, QStringLiteral("05"), QStringLiteral("2007"));
        QCOMPARE(f.prompts.lastText(), QStringLiteral("Datele delaratiei pentru luna Mai nu exista. Adaugati acum ?"));
        QCOMPARE(f.dm->qryDeclaratii->State(), DatasetState::Insert);
        QCOMPARE(declarationField(f, "ln").AsInteger(), qint64(5));
        QVERIFY(f.window->ddgb->nrsal->text().isEmpty());
    }

    void onlyJanuary2006CarriesDecember2005_data()
    {
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("year");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("january2006");
        QTest::newRow("01/2006, Yes") << "01"
                                      << "2006" << true << true;
        QTest::newRow("01/2006, No") << "01"
                                     << "2006" << false << true;
        QTest::newRow("1/2006 without the zero") << "1"
                                                 << "2006" << true << true;
        QTest::newRow("02/2006") << "02"
                                 << "2006" << true << false;
        QTest::newRow("01/2007") << "01"
                                 << "2007" << true << false;
        QTest::newRow("01/2007, No") << "01"
                                     << "2007" << false << false;
    }
    void onlyJanuary2006CarriesDecember2005()
    {
        QFETCH(QString, month);
        QFETCH(QString, year);
        QFETCH(bool, yes);
        QFETCH(bool, january2006);
        MainWindowFixture f(seedBankruptPayer);
        openPeriod(f);
        lookUp(f, month, year, yes);
        DeclarationPanel* panel = f.window->ddgb;
        QCOMPARE(!panel->gbdec2005->isHidden(), january2006);
        QCOMPARE(panel->fal->isHidden(), january2006);
        QCOMPARE(panel->lgb->isHidden(), january2006);
        QCOMPARE(f.window->windowState(), yes ? State::Declaration : State::PayerData);

        // January 2006 writes the payer at once, out of bankruptcy, whatever the answer.
        const QString payer = QStringLiteral("SELECT %1 FROM firme WHERE cui = '19'");
        QCOMPARE(storedInteger(f, payer.arg(QStringLiteral("faliment"))), january2006 ? 0 : 1);
        QCOMPARE(storedText(f, payer.arg(QStringLiteral("lcui"))), january2006 ? QStringLiteral("0") : "12340");
        QCOMPARE(
            storedText(f, payer.arg(QStringLiteral("ldenumire"))), january2006 ? QStringLiteral(" ") : "LICHIDATOR");
        QCOMPARE(storedInteger(f, payer.arg(QStringLiteral("lan"))), january2006 ? 0 : 2003);
        QCOMPARE(f.dm->qryFirme->State(), DatasetState::Edit);
        QCOMPARE(payerField(f, "cui").AsString(), kPayerCode);
        QCOMPARE(payerField(f, "faliment").AsInteger(), january2006 ? 0 : 1);
    }

    void afterJanuary2006AnotherPeriodShowsTheLiquidatorAgain()
    {
        MainWindowFixture f(seedPayer);
        openPeriod(f);
        lookUp(f, QStringLiteral("01"), QStringLiteral("2006"));
        f.prompts.answerYes();
        MainWindowFixture::key(f.window->ddgb->DBCheckBox1, Qt::Key_Escape);
        QCOMPARE(f.window->windowState(), State::Period);
        lookUp(f, QStringLiteral("03"), QStringLiteral("2007"));
        DeclarationPanel* panel = f.window->ddgb;
        QVERIFY(panel->gbdec2005->isHidden());
        QVERIFY(!panel->fal->isHidden());
        QVERIFY(!panel->lgb->isHidden());
    }
};

QTEST_MAIN(TestPeriod)
#include "tst_period.moc"
