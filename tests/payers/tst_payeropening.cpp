// Opening a payer from its code on the main window, and its legal name.
#include "support/GuiTestCase.h"
#include "support/PayerPanelSteps.h"
#include "support/SampleRecords.h"

using namespace itm;
using namespace itm::test;

class TestPayerOpening : public itm::test::GuiTestCase
{
    Q_OBJECT

private Q_SLOTS:
    void openingAPayer_data()
    {
        // clang-format off
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("existing");
        QTest::addColumn<QString>("caption");
        QTest::newRow("new code") << "230" << false << "Click pentru stabilire denumire";
        QTest::newRow("existing code") << "19" << true << "S.C. ALFA S.R.L.";
        QTest::newRow("existing code, completed from its start") << "1" << true << "S.C. ALFA S.R.L.";
        // clang-format on
    }
    void openingAPayer()
    {
        QFETCH(QString, code);
        QFETCH(bool, existing);
        QFETCH(QString, caption);
        MainWindowFixture f(seedPayer19);
        Panel p(f);
        f.openPayer(code);
        QCOMPARE(f.window->windowState(), State::PayerData);
        QCOMPARE(p.payer().State(), existing ? DatasetState::Edit : DatasetState::Insert);
        QCOMPARE(p.dcgb->den->text(), caption);
        QCOMPARE(f.focus(), p.dcgb->den);
        QVERIFY(!f.window->cui->isEnabled());
        QVERIFY(!f.window->sterg->isEnabled());
        QVERIFY(!f.window->ddgb->isEnabled());
        if (existing) {
            QCOMPARE(p.text("cui"), QStringLiteral("19"));
            QCOMPARE(p.dcgb->jud->text(), QStringLiteral("DOLJ"));
            QCOMPARE(p.dcgb->str->text(), QStringLiteral("UNIRII"));
        } else {
            // Nothing but the code is preset.
            QCOMPARE(p.text("cui"), code);
            QCOMPARE(p.text("denumire"), QString());
            QCOMPARE(p.dcgb->jud->text(), QString());
            QCOMPARE(p.dcgb->loc->text(), QString());
        }
    }

    // A code shortened after a completion is not the payer the completion
    // found: it opens as a new payer instead of editing the longer one.
    void aShortenedCodeOpensANewPayer()
    {
        MainWindowFixture f(
            [](TestDatabase& db) { samples::addPayer(db, QStringLiteral("1901"), QStringLiteral("BETA")); });
        Panel p(f);
        MainWindowFixture::enter(f.window->cui);
        MainWindowFixture::type(f.window->cui, QStringLiteral("19"));
        QCOMPARE(f.window->cui->text(), QStringLiteral("1901"));
        MainWindowFixture::key(f.window->cui, Qt::Key_Backspace);
        QCOMPARE(f.window->cui->text(), QStringLiteral("19"));
        MainWindowFixture::key(f.window->cui, Qt::Key_Return);
        QCOMPARE(f.window->windowState(), State::PayerData);
        QCOMPARE(p.payer().State(), DatasetState::Insert);
        QCOMPARE(p.text("cui"), QStringLiteral("19"));
        QCOMPARE(p.dcgb->den->text(), QStringLiteral("Click pentru stabilire denumire"));
        QCOMPARE(column(f.database, QStringLiteral("1901"), QStringLiteral("denumire")), QStringLiteral("BETA"));
    }

    void aCodeWithALetterRaisesTheConversionError()
    {
        MainWindowFixture f;
        f.prompts.answerOk();
        f.openPayer(QStringLiteral("RO1234567"));
        QCOMPARE(f.prompts.shown().size(), 1);
        QCOMPARE(f.prompts.shown().first().kind, FakePrompts::Kind::Error);
        QCOMPARE(f.prompts.lastText(), QStringLiteral("'R' is not a valid integer value."));
        QCOMPARE(f.window->windowState(), State::PayerCode);
        QCOMPARE(f.dm->qryFirme->State(), DatasetState::Browse);
        QVERIFY(f.window->dcgb->isHidden());
        QVERIFY(f.window->cui->isEnabled());
    }

    void theNameButtonOpensTheDialogAndMovesOn()
    {
        MainWindowFixture f;
        Panel p(f);
        f.openPayer(QStringLiteral("230"));
        f.onNameDialog = [&] {
            p.write("prefix", QStringLiteral("2"));
            p.write("denumire", QStringLiteral("GAMA"));
            p.write("sufix", QStringLiteral("0"));
        };
        MainWindowFixture::key(p.dcgb->den, Qt::Key_Return);
        QCOMPARE(p.dcgb->den->text(), QStringLiteral("P.F. GAMA "));
        QCOMPARE(f.focus(), p.dcgb->jud);
    }

    // Without a name the message comes first, then the dialog at once; the
    // payer is not posted.
    void validatingWithoutANameOpensTheDialog_data()
    {
        // clang-format off
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << "";
        QTest::newRow("blanks") << "   ";
        // clang-format on
    }
    void validatingWithoutANameOpensTheDialog()
    {
        QFETCH(QString, name);
        MainWindowFixture f;
        Panel p(f);
        f.openPayer(QStringLiteral("230"));
        p.fill();
        p.write("denumire", name);
        QStringList shownWhenOpened;
        f.onNameDialog = [&] {
            shownWhenOpened = f.prompts.texts();
            p.write("denumire", QStringLiteral("BETA"));
        };
        f.prompts.answerOk();
        p.validate();
        QCOMPARE(shownWhenOpened, QStringList { QStringLiteral("Va rugam sa completati campul 'denumire'") });
        QCOMPARE(p.dcgb->den->text(), QStringLiteral("S.C. BETA S.R.L."));
        QCOMPARE(f.focus(), p.dcgb->den);
        QCOMPARE(p.payer().State(), DatasetState::Insert);
        QCOMPARE(payerCount(f.database), 0);
        QVERIFY(!p.dcgb->Button5->isEnabled());
    }
};

QTEST_MAIN(TestPayerOpening)
#include "tst_payeropening.moc"
