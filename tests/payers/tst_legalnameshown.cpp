// What the legal-name dialog shows when it opens: its layout, the choices it
// starts from for a new and a stored payer, and where it opens.
#include "support/GuiTestCase.h"
#include "support/LegalNameDialogFixture.h"

using namespace itm;
using namespace itm::test::legalname;
using itm::test::TestDatabase;

class TestLegalNameShown : public itm::test::GuiTestCase
{
    Q_OBJECT

private Q_SLOTS:
    void layoutAndTabOrder()
    {
        Fixture f;
        f.openExisting(1, 1);
        TfDenumire& dialog = *f.dialog;
        QPoint dialogCentre;
        QWidget* tabFromPrefix = nullptr;
        QWidget* tabFromName = nullptr;
        f.run([&](TfDenumire& d) {
            // Two columns of seven prefixes: "Asociatie Proprietari" opens the second.
            QCOMPARE(d.rgp->buttons().at(7)->y(), d.rgp->buttons().at(0)->y());
            QVERIFY(d.rgp->buttons().at(7)->x() > d.rgp->buttons().at(6)->x());
            dialogCentre = d.frameGeometry().center();
            d.rgp->buttons().first()->setFocus();
            Fixture::press(Qt::Key_Tab);
            tabFromPrefix = QApplication::focusWidget();
            Fixture::press(Qt::Key_Tab);
            tabFromName = QApplication::focusWidget();
            Fixture::press(Qt::Key_Escape);
        });
        QVERIFY((dialogCentre - f.mainWindow.frameGeometry().center()).manhattanLength() <= 4);
        QCOMPARE(tabFromPrefix, dialog.den);
        QCOMPARE(tabFromName, dialog.rgs->buttons().first());
    }

    void newPayerStartsAsScSrl()
    {
        Fixture f;
        f.openNew();
        bool enabled = false;
        int prefixItem = -1;
        int suffixItem = -1;
        QWidget* focus = nullptr;
        qint64 prefixAtShow = -1;
        qint64 sufixAtShow = -1;
        const int result = f.run([&](TfDenumire& d) {
            focus = QApplication::focusWidget();
            prefixItem = d.rgp->itemIndex();
            suffixItem = d.rgs->itemIndex();
            enabled = d.rgs->isEnabled();
            prefixAtShow = f.integer(QStringLiteral("prefix"));
            sufixAtShow = f.integer(QStringLiteral("sufix"));
            Fixture::press(Qt::Key_Escape);
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(focus, f.dialog->rgp->buttons().first());
        QCOMPARE(prefixItem, 0);
        QCOMPARE(suffixItem, 0);
        QVERIFY(enabled);
        QCOMPARE(prefixAtShow, 1);
        QCOMPARE(sufixAtShow, 1);
        // Escape undoes nothing: the values written at show time stay.
        QCOMPARE(f.payer().State(), DatasetState::Insert);
        QCOMPARE(f.integer(QStringLiteral("prefix")), 1);
        QCOMPARE(f.integer(QStringLiteral("sufix")), 1);
    }

    void newPayerEveryShowStartsAgain()
    {
        Fixture f;
        f.openNew();
        // First show: "Banca", name, Enter closes at once.
        f.run([&](TfDenumire& d) {
            click(d.rgp->buttons().at(12));
            Fixture::press(Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), d.den);
            QTest::keyClicks(d.den, QStringLiteral("beta"));
            Fixture::press(Qt::Key_Return);
        });
        QCOMPARE(f.integer(QStringLiteral("prefix")), 13);
        QCOMPARE(f.integer(QStringLiteral("sufix")), 0);
        QCOMPARE(f.text(QStringLiteral("denumire")), QStringLiteral("BETA"));

        // Second show of the same unsaved payer: S.C. / S.R.L. again, the name kept.
        QString shownName;
        f.run([&](TfDenumire& d) {
            QCOMPARE(d.rgp->itemIndex(), 0);
            QCOMPARE(d.rgs->itemIndex(), 0);
            QVERIFY(d.rgs->isEnabled());
            QCOMPARE(QApplication::focusWidget(), d.rgp->buttons().first());
            shownName = d.den->text();
            Fixture::press(Qt::Key_Escape);
        });
        QCOMPARE(shownName, QStringLiteral("BETA"));
        QCOMPARE(f.integer(QStringLiteral("prefix")), 1);
        QCOMPARE(f.integer(QStringLiteral("sufix")), 1);
        QCOMPARE(f.text(QStringLiteral("denumire")), QStringLiteral("BETA"));
    }

    void existingPayerShowsStoredChoice_data()
    {
        QTest::addColumn<int>("earlierPrefix"); // an earlier show of the reused dialog, -1 for none
        QTest::addColumn<int>("earlierSufix");
        QTest::addColumn<int>("prefix");
        QTest::addColumn<int>("sufix");
        QTest::addColumn<int>("prefixItem");
        QTest::addColumn<int>("suffixItem");
        QTest::addColumn<bool>("suffixEnabled");
        QTest::newRow("Altele") << -1 << -1 << 0 << 0 << 13 << 5 << false;
        QTest::newRow("S.C. without suffix") << -1 << -1 << 1 << 0 << 0 << 5 << false;
        QTest::newRow("S.C. S.R.L.") << -1 << -1 << 1 << 1 << 0 << 0 << true;
        QTest::newRow("S.C. S.C.A.") << -1 << -1 << 1 << 5 << 0 << 4 << true;
        QTest::newRow("S.C.A. prefix") << -1 << -1 << 10 << 0 << 9 << 5 << false;
        QTest::newRow("Banca") << -1 << -1 << 13 << 0 << 12 << 5 << false;
        // The prefix item does not change, so no click: the group state still follows the record.
        QTest::newRow("S.C. after S.C. S.A.") << 1 << 2 << 1 << 0 << 0 << 5 << false;
        QTest::newRow("S.C. S.N.C. after S.C.") << 1 << 0 << 1 << 3 << 0 << 2 << true;
        // The prefix item changes to S.C.: the click enables the group, the show disables it.
        QTest::newRow("S.C. after P.F.") << 2 << 0 << 1 << 0 << 0 << 5 << false;
        QTest::newRow("P.F. after S.C. S.A.") << 1 << 2 << 2 << 0 << 1 << 5 << false;
    }
    void existingPayerShowsStoredChoice()
    {
        QFETCH(int, earlierPrefix);
        QFETCH(int, earlierSufix);
        QFETCH(int, prefix);
        QFETCH(int, sufix);
        QFETCH(int, prefixItem);
        QFETCH(int, suffixItem);
        QFETCH(bool, suffixEnabled);
        Fixture f;
        if (earlierPrefix >= 0) {
            f.openExisting(earlierPrefix, earlierSufix);
            f.run([](TfDenumire&) { Fixture::press(Qt::Key_Escape); });
            f.payer().Cancel();
        }
        f.openExisting(prefix, sufix);
        int shownPrefixItem = -2;
        int shownSuffixItem = -2;
        bool enabled = !suffixEnabled;
        QWidget* focus = nullptr;
        QString shownName;
        const int result = f.run([&](TfDenumire& d) {
            shownPrefixItem = d.rgp->itemIndex();
            shownSuffixItem = d.rgs->itemIndex();
            enabled = d.rgs->isEnabled();
            focus = QApplication::focusWidget();
            shownName = d.den->text();
            Fixture::press(Qt::Key_Escape);
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(shownPrefixItem, prefixItem);
        QCOMPARE(shownSuffixItem, suffixItem);
        QCOMPARE(enabled, suffixEnabled);
        QCOMPARE(focus, f.dialog->den);
        QCOMPARE(shownName, QStringLiteral("ALFA"));
        QCOMPARE(f.integer(QStringLiteral("prefix")), prefix);
        QCOMPARE(f.integer(QStringLiteral("sufix")), sufix);
    }

    // Without a window manager no window has a frame; the dialog still opens
    // in the middle of the main window.
    void opensCentredOnAFramelessMainWindow()
    {
        Fixture f(true);
        f.openExisting(1, 1);
        QPoint offset;
        f.run([&](TfDenumire& d) {
            offset = d.frameGeometry().center() - f.mainWindow.frameGeometry().center();
            d.reject();
        });
        QVERIFY2(offset.manhattanLength() <= 1, qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
    }
};

QTEST_MAIN(TestLegalNameShown)
#include "tst_legalnameshown.moc"
