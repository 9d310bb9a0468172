// The county and locality fields of the payer panel: what leaving them does,
// and the way back to the payer code from them.
#include "support/GuiTestCase.h"
#include "support/PayerPanelSteps.h"
#include "support/SampleRecords.h"

#include <QListView>

using namespace itm;
using namespace itm::test;

class TestPayerAddress : public itm::test::GuiTestCase
{
    Q_OBJECT

private Q_SLOTS:
    // Leaving the county: Bucharest opens the sector and names the locality,
    // any other county closes the sector at 0.
    void leavingTheCounty_data()
    {
        // clang-format off
        QTest::addColumn<bool>("existing");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("county");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("sectorOpen");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("locality");
        QTest::addColumn<QString>("sector");
        QTest::newRow("new, Bucharest")
            << false << "BU" << "BUCURESTI" << "40" << true << "sector" << "BUCURESTI" << "0";
        QTest::newRow("new, Bucharest typed in lower case")
            << false << "bu" << "BUCURESTI" << "40" << true << "sector" << "BUCURESTI" << "0";
        QTest::newRow("existing, Bucharest keeps the sector")
            << true << "BUC" << "BUCURESTI" << "40" << true << "sector" << "BUCURESTI" << "4";
        QTest::newRow("new, Gorj") << false << "GO" << "GORJ" << "18" << false << "loc" << "" << "0";
        QTest::newRow("existing, Gorj typed in lower case")
            << true << "go" << "GORJ" << "18" << false << "loc" << "CRAIOVA" << "0";
        // clang-format on
    }
    void leavingTheCounty()
    {
        QFETCH(bool, existing);
        QFETCH(QString, typed);
        QFETCH(QString, county);
        QFETCH(QString, key);
        QFETCH(bool, sectorOpen);
        QFETCH(QString, focus);
        QFETCH(QString, locality);
        QFETCH(QString, sector);
        MainWindowFixture f([](TestDatabase& db) {
            samples::addPayer(db, QStringLiteral("19"));
            db.exec("UPDATE firme SET sector = 4");
        });
        Panel p(f);
        f.openPayer(existing ? QStringLiteral("19") : QStringLiteral("230"));
        p.dcgb->sector->setEnabled(!sectorOpen);
        p.retype(p.dcgb->jud, typed);
        QCOMPARE(p.dcgb->jud->text(), county);
        QCOMPARE(p.dcgb->jud->selectedText(), county.mid(typed.size()));
        MainWindowFixture::key(p.dcgb->jud, Qt::Key_Tab);
        QCOMPARE(p.text("codjudet"), key);
        QCOMPARE(p.dcgb->sector->isEnabled(), sectorOpen);
        QCOMPARE(f.focus()->objectName(), focus);
        QCOMPARE(p.text("loc"), locality);
        QCOMPARE(p.text("sector"), sector);
        QCOMPARE(p.dcgb->sector->text(), sector);
        QCOMPARE(p.dcgb->jud->palette().color(QPalette::Base), QColor(Qt::white));
    }

    // An empty county field cannot be left, and the locality is not passed.
    void anEmptyCountyKeepsTheFocus()
    {
        MainWindowFixture f;
        Panel p(f);
        f.openPayer(QStringLiteral("230"));
        p.retype(p.dcgb->jud, QString());
        f.prompts.answerOk();
        MainWindowFixture::key(p.dcgb->jud, Qt::Key_Tab);
        QCOMPARE(f.prompts.lastText(), QStringLiteral("Pentru a continua trebuie sa selectati/adaugati o valoare"));
        QCOMPARE(f.focus(), p.dcgb->jud);
        QVERIFY(!p.dcgb->sector->isEnabled());
    }

    // Leaving the locality jumps over the sector outside Bucharest, even when
    // the sector was left open by an earlier Bucharest payer.
    void leavingTheLocality()
    {
        MainWindowFixture f([](TestDatabase& db) {
            samples::addPayer(db, QStringLiteral("19"));
            samples::addPayer(db, QStringLiteral("230"));
            db.exec("UPDATE firme SET codjudet = '40', loc = 'BUCURESTI', sector = 2 WHERE cui = '230'");
        });
        Panel p(f);
        f.openPayer(QStringLiteral("230"));
        p.focus(p.dcgb->jud);
        MainWindowFixture::key(p.dcgb->jud, Qt::Key_Tab);
        QCOMPARE(f.focus(), p.dcgb->sector);
        p.focus(p.dcgb->loc);
        MainWindowFixture::key(p.dcgb->loc, Qt::Key_Tab);
        QCOMPARE(f.focus(), p.dcgb->sector);

        f.prompts.answerYes();
        MainWindowFixture::key(p.dcgb->sector, Qt::Key_Escape);
        QCOMPARE(f.window->windowState(), State::PayerCode);
        f.openPayer(QStringLiteral("19"));
        QCOMPARE(p.dcgb->jud->text(), QStringLiteral("DOLJ"));
        QVERIFY(p.dcgb->sector->isEnabled());
        p.focus(p.dcgb->loc);
        MainWindowFixture::key(p.dcgb->loc, Qt::Key_Tab);
        QCOMPARE(f.focus(), p.dcgb->str);
        QCOMPARE(p.dcgb->loc->palette().color(QPalette::Base), QColor(Qt::white));
    }

    // Enter in the county writes the key and moves on as Tab does.
    void enterInTheCountyMovesOn()
    {
        MainWindowFixture f;
        Panel p(f);
        f.openPayer(QStringLiteral("230"));
        p.retype(p.dcgb->jud, QStringLiteral("BU"));
        MainWindowFixture::key(p.dcgb->jud, Qt::Key_Return);
        QCOMPARE(p.text("codjudet"), QStringLiteral("40"));
        QCOMPARE(f.focus(), p.dcgb->sector);
        QCOMPARE(p.text("loc"), QStringLiteral("BUCURESTI"));
    }

    // Leaving the locality for the payer code (Escape answered Yes) does not
    // end in the street field: the way back focuses the code field last.
    void escapeFromTheLocalityReturnsToTheCode()
    {
        MainWindowFixture f(seedPayer19);
        Panel p(f);
        f.openPayer(QStringLiteral("19"));
        p.focus(p.dcgb->loc);
        f.prompts.answerYes();
        MainWindowFixture::key(p.dcgb->loc, Qt::Key_Escape);
        QCOMPARE(f.prompts.lastText(), QStringLiteral("Renuntati la actualizarea datelor ?"));
        QCOMPARE(f.window->windowState(), State::PayerCode);
        QCOMPARE(f.focus(), f.window->cui);
        QCOMPARE(p.payer().State(), DatasetState::Browse);
    }

    // With a real box the window is inactive while the answer is carried
    // out, so the way back to the code field takes effect only when the
    // window is active again: the county is left then (its drop-down goes,
    // without touching the cancelled record) and the code field is entered.
    void escapeFromTheCountyWithTheWindowInactive()
    {
        MainWindowFixture f(seedPayer19);
        Panel p(f);
        f.openPayer(QStringLiteral("19"));
        p.focus(p.dcgb->jud);
        QVERIFY(p.dcgb->jud->dropDown());
        QWidget box;
        box.setGeometry(300, 300, 200, 80);
        f.prompts.duringNextBox([&] {
            box.show();
            QApplication::setActiveWindow(&box);
        });
        f.prompts.answerYes();
        MainWindowFixture::key(p.dcgb->jud, Qt::Key_Escape);
        box.hide();
        QApplication::setActiveWindow(f.window.get());
        QTRY_COMPARE(f.focus(), f.window->cui);
        QCOMPARE(f.window->windowState(), State::PayerCode);
        QVERIFY(!p.dcgb->jud->dropDown());
        QTRY_COMPARE(f.window->findChildren<QListView*>().size(), 1); // the county's drop-down is deleted later
        QVERIFY(f.window->cui->dropDown());
        QVERIFY(f.window->cui->IsInListSource());
        QCOMPARE(p.payer().State(), DatasetState::Browse);
    }
};

QTEST_MAIN(TestPayerAddress)
#include "tst_payeraddress.moc"
