#include "app/Startup.h"
#include "declaration/DeclarationPanel.h"
#include "declaration/PeriodPanel.h"
#include "output/OutputPanel.h"
#include "payers/PayerPanel.h"
#include "payers/TVelaDBAutoCompletitionEdit.h"
#include "support/GuiTestCase.h"
#include "support/MainWindowFixture.h"
#include "support/SampleRecords.h"
#include "widgets/DbCheckBox.h"
#include "widgets/DbEdit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace itm;
using namespace itm::test;
using State = TDecl::WindowState;

namespace {
void seedPayer(TestDatabase& db)
{
    samples::addPayer(db, QStringLiteral("19"));
}
} // namespace

class TestMainWindow : public itm::test::GuiTestCase
{
    Q_OBJECT

    // A valid payer in the payer-data state, validated so that "Declaratie &lunara" is enabled.
    static void validateExistingPayer(MainWindowFixture& f)
    {
        f.openPayer(QStringLiteral("19"));
        QCOMPARE(f.window->windowState(), State::PayerData);
        f.window->dcgb->Button3->click();
        QTRY_VERIFY(f.window->dcgb->Button5->isEnabled());
    }

private Q_SLOTS:
    void startsWithTheFocusOnLegislation()
    {
        MainWindowFixture f;
        QVERIFY(f.window->windowTitle().startsWith(
            QStringLiteral("ITM Declaratie fiscala privind stabilirea comisionului datorat   v1.29")));
        QCOMPARE(f.window->size(), QSize(777, 543));
        QCOMPARE(f.window->windowState(), State::PayerCode);
        QCOMPARE(f.focus(), f.window->leg);
        QVERIFY(!f.window->Image1->pixmap().isNull());
        QVERIFY(f.window->dcgb->isHidden());
        QVERIFY(!f.window->dcgb->Button5->isEnabled());
    }

    void escapeOnTheTopPanelAsksToLeave_data()
    {
        QTest::addColumn<QString>("control");
        QTest::newRow("legislation") << "leg";
        QTest::newRow("help") << "aj";
        QTest::newRow("payer code") << "cui";
    }
    void escapeOnTheTopPanelAsksToLeave()
    {
        QFETCH(QString, control);
        MainWindowFixture f;
        auto* target = f.window->findChild<QWidget*>(control);
        target->setFocus();
        MainWindowFixture::settle();
        f.prompts.answerNo();
        MainWindowFixture::key(target, Qt::Key_Escape);
        QCOMPARE(f.prompts.lastText(), QStringLiteral("Parasiti aplicatia ?"));
        QVERIFY(f.window->isVisible());
        QCOMPARE(f.focus(), target);
        f.prompts.answerYes();
        MainWindowFixture::key(target, Qt::Key_Escape);
        QVERIFY(!f.window->isVisible());
    }

    void helpButtonsOpenTheTexts()
    {
        MainWindowFixture f;
        f.window->leg->click();
        MainWindowFixture::key(f.window->aj, Qt::Key_Return);
        QCOMPARE(
            f.shell.opened, (QStringList { QStringLiteral("./legislatie.txt"), QStringLiteral("./instructiuni.txt") }));
    }

    void theWindowKeysAreShownAndWork()
    {
        MainWindowFixture f(seedPayer);
        MainWindowFixture::key(f.window->leg, Qt::Key_F1);
        f.openPayer(QStringLiteral("19"));
        QVERIFY(f.window->dcgb->lblF3->isVisible());
        QCOMPARE(f.window->dcgb->lblF3->text(), QStringLiteral("F3 - date ANAF"));
        MainWindowFixture::press(Qt::Key_F1);
        QCOMPARE(f.shell.opened, QStringList(2, QStringLiteral("./instructiuni.txt")));

        f.prompts.answerOk();
        MainWindowFixture::key(f.focus(), Qt::Key_F1, Qt::ShiftModifier);
        QCOMPARE(f.prompts.shown().size(), 1);
        QCOMPARE(f.prompts.shown().constFirst().caption, QStringLiteral("Despre"));
        const QString text = f.prompts.lastText();
        QVERIFY2(text.contains(QStringLiteral("versiunea " ITM_PROJECT_VERSION "\n")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Baza de date: ") + f.database.path() + u'\n'), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Copii de siguranta: ") + f.database.folder() + QStringLiteral("/copii")),
            qPrintable(text));
        QCOMPARE(f.window->windowState(), State::PayerData);
        QVERIFY(f.window->lblF1->text().contains(QStringLiteral("Shift+F1 - despre")));
    }

    void aNewCodeOpensAnEmptyPayer()
    {
        MainWindowFixture f;
        f.openPayer(QStringLiteral("19"));
        QCOMPARE(f.window->windowState(), State::PayerData);
        QCOMPARE(f.dm->qryFirme->State(), DatasetState::Insert);
        QCOMPARE(f.dm->qryFirme->FieldByName(QStringLiteral("cui")).AsString(), QStringLiteral("19"));
        QCOMPARE(f.window->dcgb->den->text(), QStringLiteral("Click pentru stabilire denumire"));
        QVERIFY(!f.window->cui->isEnabled());
        QVERIFY(!f.window->sterg->isEnabled());
        QVERIFY(f.window->leg->isEnabled());
        QCOMPARE(f.focus(), f.window->dcgb->den);
    }

    void aWrongControlDigitOpensNothing()
    {
        MainWindowFixture f;
        f.prompts.answerOk();
        f.openPayer(QStringLiteral("18"));
        QCOMPARE(f.prompts.shown().last().caption, QStringLiteral("Atentie"));
        QCOMPARE(f.prompts.lastText(), QStringLiteral("Atentie, cod fiscal eronat !!!"));
        QCOMPARE(f.window->windowState(), State::PayerCode);
        QCOMPARE(f.focus(), f.window->cui);
    }

    void anExistingCodeIsCompletedAndOpened()
    {
        MainWindowFixture f(seedPayer);
        f.window->cui->setFocus();
        MainWindowFixture::settle();
        MainWindowFixture::type(f.window->cui, QStringLiteral("1"));
        QCOMPARE(f.window->cui->text(), QStringLiteral("19"));
        QVERIFY(f.window->cui->IsInListSource());
        MainWindowFixture::key(f.window->cui, Qt::Key_Return);
        QCOMPARE(f.window->windowState(), State::PayerData);
        QCOMPARE(f.dm->qryFirme->State(), DatasetState::Edit);
        QCOMPARE(f.window->dcgb->den->text(), QStringLiteral("S.C. ALFA S.R.L."));
        QCOMPARE(f.window->dcgb->loc->text(), QStringLiteral("CRAIOVA"));
        QCOMPARE(f.window->dcgb->jud->text(), QStringLiteral("DOLJ"));
    }

    void escapeOnValidationDropsThePayerAtOnce()
    {
        MainWindowFixture f;
        f.openPayer(QStringLiteral("19"));
        f.window->dcgb->Button3->setFocus();
        MainWindowFixture::settle();
        MainWindowFixture::key(f.window->dcgb->Button3, Qt::Key_Escape);
        QCOMPARE(f.window->windowState(), State::PayerCode);
        QCOMPARE(f.dm->qryFirme->State(), DatasetState::Browse);
        QCOMPARE(f.dm->qryFirme->RecordCount(), 0);
        QCOMPARE(f.focus(), f.window->cui);
    }

    void escapeInAPayerFieldAsksFirst()
    {
        MainWindowFixture f(seedPayer);
        f.openPayer(QStringLiteral("19"));
        f.window->dcgb->str->setFocus();
        MainWindowFixture::settle();
        f.prompts.answerNo();
        MainWindowFixture::key(f.window->dcgb->str, Qt::Key_Escape);
        QCOMPARE(f.prompts.lastText(), QStringLiteral("Renuntati la actualizarea datelor ?"));
        QCOMPARE(f.window->windowState(), State::PayerData);
        f.prompts.answerYes();
        MainWindowFixture::key(f.window->dcgb->str, Qt::Key_Escape);
        QCOMPARE(f.window->windowState(), State::PayerCode);
    }

    void enterMovesToTheNextPayerField()
    {
        MainWindowFixture f(seedPayer);
        f.openPayer(QStringLiteral("19"));
        f.window->dcgb->loc->setFocus();
        MainWindowFixture::settle();
        MainWindowFixture::key(f.window->dcgb->loc, Qt::Key_Return);
        // The sector field is disabled outside Bucharest and is passed over.
        QCOMPARE(f.focus(), f.window->dcgb->str);
        MainWindowFixture::key(f.window->dcgb->str, Qt::Key_Return);
        QCOMPARE(f.focus(), f.window->dcgb->snr);
    }

    void focusHighlightFollowsTheField()
    {
        MainWindowFixture f(seedPayer);
        f.openPayer(QStringLiteral("19"));
        QLineEdit* street = f.window->dcgb->str;
        street->setFocus();
        MainWindowFixture::settle();
        QCOMPARE(street->palette().color(QPalette::Base), QApplication::palette().color(QPalette::ToolTipBase));
        f.window->dcgb->snr->setFocus();
        MainWindowFixture::settle();
        QCOMPARE(street->palette().color(QPalette::Base), QColor(Qt::white));
    }

    void aPayerLeftUnvalidatedCannotReachThePeriod()
    {
        MainWindowFixture f(seedPayer);
        validateExistingPayer(f);
        MainWindowFixture::key(f.window->dcgb->Button5, Qt::Key_Escape);
        QCOMPARE(f.window->windowState(), State::PayerCode);
        f.openPayer(QStringLiteral("230"));
        QCOMPARE(f.window->windowState(), State::PayerData);
        QVERIFY2(!f.window->dcgb->Button5->isEnabled(), "a never-saved payer must not reach the declaration");
    }

    void theRoadToTheOutputsAndBack()
    {
        MainWindowFixture f(seedPayer);
        validateExistingPayer(f);
        MainWindowFixture::key(f.window->dcgb->Button5, Qt::Key_Return);
        QCOMPARE(f.window->windowState(), State::Period);
        QCOMPARE(f.window->PanelLuna->MaskEdit1->text(), QStringLiteral("03"));
        QCOMPARE(f.window->PanelLuna->MaskEdit2->text(), QStringLiteral("2007"));
        QCOMPARE(f.focus(), f.window->PanelLuna->MaskEdit1);
        QVERIFY(!f.window->dcgb->isHidden());
        QVERIFY(!f.window->dcgb->isEnabled());

        MainWindowFixture::key(f.window->PanelLuna->MaskEdit1, Qt::Key_Return);
        QCOMPARE(f.focus(), f.window->PanelLuna->MaskEdit2);
        f.prompts.answerYes();
        MainWindowFixture::key(f.window->PanelLuna->MaskEdit2, Qt::Key_Return);
        QCOMPARE(
            f.prompts.lastText(), QStringLiteral("Datele delaratiei pentru luna Martie nu exista. Adaugati acum ?"));
        QCOMPARE(f.window->windowState(), State::Declaration);
        QCOMPARE(f.focus(), f.window->ddgb->DBCheckBox1);

        f.window->ddgb->DBEdit12->setFocus();
        MainWindowFixture::settle();
        MainWindowFixture::type(f.window->ddgb->DBEdit12, QStringLiteral("2.000"));
        MainWindowFixture::key(f.window->ddgb->DBEdit12, Qt::Key_Return);
        QCOMPARE(f.focus(), f.window->ddgb->achit);
        QCOMPARE(f.window->ddgb->DBEdit13->text(), QStringLiteral("15"));

        f.window->ddgb->Button1->click();
        QTRY_COMPARE(f.window->windowState(), State::Output);
        QTRY_COMPARE(f.focus(), f.window->butpan->Button4);
        QCOMPARE(f.dm->qryDeclaratii->State(), DatasetState::Browse);
        QCOMPARE(f.dm->qryDeclaratii->FieldByName(QStringLiteral("comdat")).AsInteger(), qint64(15));

        MainWindowFixture::key(f.window->butpan->Button4, Qt::Key_Escape);
        QCOMPARE(f.window->windowState(), State::Period);
        QCOMPARE(f.focus(), f.window->PanelLuna->MaskEdit1);
        QVERIFY(!f.dm->qryDeclaratii->Active());

        f.prompts.answerYes();
        MainWindowFixture::key(f.window->PanelLuna->MaskEdit1, Qt::Key_Escape);
        QCOMPARE(f.prompts.lastText(), QStringLiteral("Ati terminat actualizarea (sau selectati o alta societate) ?"));
        QCOMPARE(f.window->windowState(), State::PayerData);
        QCOMPARE(f.focus(), f.window->dcgb->Button3);
        QVERIFY(!f.window->dcgb->Button5->isEnabled());
    }

    void startWithoutDatabaseShowsSqliteMessage()
    {
        PlatformScope scope;
        FakePrompts prompts;
        platform().prompts = &prompts;
        prompts.answerOk();
        QTemporaryDir dir;
        {
            ProgramObjects objects;
            QVERIFY(!createProgram(objects, dir.filePath(QStringLiteral("data/date.itm"))));
            QVERIFY(!objects.fDenumire);
            QVERIFY(!objects.Decl || !objects.Decl->isVisible());
        }
        QCOMPARE(prompts.shown().size(), 1);
        QCOMPARE(prompts.shown().first().kind, FakePrompts::Kind::Error);
        QCOMPARE(prompts.lastText(), QStringLiteral("unable to open database file."));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("data/date.itm"))));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
