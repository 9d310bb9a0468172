// The liquidator of a payer in bankruptcy on the declaration panel: when its
// fields open, and the checks made as each one is left.
#include "support/DeclarationRoad.h"
#include "support/GuiTestCase.h"

#include <QTest>

using namespace itm;
using namespace itm::test;

namespace {

const QString kWrongCode = QStringLiteral("C.U.I./C.N.P. Lichidator incorect");
const QString kWrongDate = QStringLiteral("Data incorecta");

} // namespace

class TestDeclarationLiquidator : public itm::test::GuiTestCase
{
    Q_OBJECT

private Q_SLOTS:
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
    }
};

QTEST_MAIN(TestDeclarationLiquidator)
#include "tst_declarationliquidator.moc"
