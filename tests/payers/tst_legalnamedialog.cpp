#include "payers/LegalForms.h"
#include "payers/TfDenumire.h"
#include "platform/Platform.h"
#include "store/Tdm.h"
#include "support/FakePrompts.h"
#include "support/GuiTestCase.h"
#include "support/TestDatabase.h"
#include "widgets/DbEdit.h"
#include "widgets/RadioGroup.h"

#include <QApplication>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

using namespace itm;
using itm::test::FakePrompts;
using itm::test::TestDatabase;

namespace {

const QString existingCui = QStringLiteral("19");

// One register, the data module over it, a stand-in for the main window and
// the dialog on top of it, as the program has them.
struct Fixture
{
    TestDatabase db;
    std::unique_ptr<Tdm> dm;
    QWidget mainWindow;
    std::unique_ptr<TfDenumire> dialog;

    // Without a window manager no window has a frame.
    explicit Fixture(bool framelessMainWindow = false)
    {
        db.addPayer(existingCui, QStringLiteral("ALFA"));
        dm = std::make_unique<Tdm>(db.path());
        mainWindow.setWindowFlag(Qt::FramelessWindowHint, framelessMainWindow);
        mainWindow.setGeometry(100, 100, 800, 600);
        mainWindow.show();
        dialog = std::make_unique<TfDenumire>(*dm, &mainWindow);
    }

    Dataset& payer() { return *dm->qryFirme; }
    qint64 integer(const QString& column) { return payer().FieldByName(column).AsInteger(); }
    QString text(const QString& column) { return payer().FieldByName(column).AsString(); }

    void openExisting(int prefix, int sufix)
    {
        QVERIFY(payer().Locate(QStringLiteral("cui"), existingCui));
        payer().Edit();
        payer().FieldByName(QStringLiteral("prefix")).setAsInteger(prefix);
        payer().FieldByName(QStringLiteral("sufix")).setAsInteger(sufix);
    }

    void openNew()
    {
        payer().Append();
        payer().FieldByName(QStringLiteral("cui")).setAsString(QStringLiteral("27"));
    }

    // Shows the dialog modally and runs the steps once it is up and active. A
    // dialog that the steps leave open is a failure and is closed, so that a
    // test never blocks. Returns the modal result.
    int run(const std::function<void(TfDenumire&)>& steps, bool* leftOpen = nullptr)
    {
        bool open = false;
        QTimer::singleShot(0, dialog.get(), [&] {
            auto* modal = QApplication::activeModalWidget();
            if (modal == dialog.get() && QTest::qWaitForWindowActive(dialog.get()))
                steps(*dialog);
            else
                QFAIL("the dialog is not the active modal window");
            if (dialog->isVisible()) {
                open = true;
                dialog->reject();
            }
        });
        const int result = dialog->showModalForPayer();
        if (leftOpen)
            *leftOpen = open;
        else if (open)
            qWarning("the dialog was still open after the steps");
        return result;
    }
};

// Sends a key to whatever has the focus, as the user's keyboard does.
void press(Qt::Key key)
{
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus);
    QTest::keyClick(focus, key);
}

// A radio button reacts to a click on its circle or its caption only.
void click(QRadioButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

QRadioButton* focusedButton(RadioGroup* group)
{
    for (QRadioButton* button : group->buttons()) {
        if (button->hasFocus())
            return button;
    }
    return nullptr;
}

} // namespace

class TestLegalNameDialog : public itm::test::GuiTestCase
{
    Q_OBJECT

    FakePrompts m_prompts;

private Q_SLOTS:
    void initTestCase() { platform().prompts = &m_prompts; }
    void init() { m_prompts.clear(); }
    void cleanup()
    {
        // Nothing in the dialog may end in an error box.
        QVERIFY2(m_prompts.shown().isEmpty(), qPrintable(m_prompts.texts().join(u'\n')));
        GuiTestCase::cleanup();
    }

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
            press(Qt::Key_Tab);
            tabFromPrefix = QApplication::focusWidget();
            press(Qt::Key_Tab);
            tabFromName = QApplication::focusWidget();
            press(Qt::Key_Escape);
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
            press(Qt::Key_Escape);
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
            press(Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), d.den);
            QTest::keyClicks(d.den, QStringLiteral("beta"));
            press(Qt::Key_Return);
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
            press(Qt::Key_Escape);
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
            f.run([](TfDenumire&) { press(Qt::Key_Escape); });
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
            press(Qt::Key_Escape);
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

    void choosingPrefixStoresItsValue_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("prefix");
        QTest::addColumn<QString>("composed");
        QTest::newRow("Banca") << 12 << 13 << QStringLiteral("Banca ALFA ");
        QTest::newRow("Altele") << 13 << 0 << QStringLiteral(" ALFA ");
        QTest::newRow("S.C.A.") << 9 << 10 << QStringLiteral("S.C.A. ALFA ");
        QTest::newRow("P.F.") << 1 << 2 << QStringLiteral("P.F. ALFA ");
        QTest::newRow("Cabinet Individual") << 8 << 9 << QStringLiteral("Cabinet Individual ALFA ");
    }
    void choosingPrefixStoresItsValue()
    {
        QFETCH(int, item);
        QFETCH(int, prefix);
        QFETCH(QString, composed);
        Fixture f;
        f.openExisting(1, 2);
        qint64 sufixAfterClick = -1;
        bool enabledAfterClick = true;
        int suffixItemAfterClick = -1;
        const int result = f.run([&](TfDenumire& d) {
            click(d.rgp->buttons().at(item));
            QCOMPARE(d.rgp->itemIndex(), item);
            // The suffix goes at once, before any Enter.
            sufixAfterClick = f.integer(QStringLiteral("sufix"));
            enabledAfterClick = d.rgs->isEnabled();
            suffixItemAfterClick = d.rgs->itemIndex();
            QCOMPARE(f.integer(QStringLiteral("prefix")), 1);
            press(Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), d.den);
            press(Qt::Key_Return);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(sufixAfterClick, 0);
        QVERIFY(!enabledAfterClick);
        QCOMPARE(suffixItemAfterClick, 5);
        QCOMPARE(f.integer(QStringLiteral("prefix")), prefix);
        QCOMPARE(f.integer(QStringLiteral("sufix")), 0);
        QCOMPARE(ComposedLegalName(f.integer(QStringLiteral("prefix")), f.text(QStringLiteral("denumire")),
                     f.integer(QStringLiteral("sufix"))),
            composed);
    }

    void enterInNameWithoutSuffixCloses()
    {
        Fixture f;
        f.openExisting(2, 0);
        QWidget* focusAtClose = nullptr;
        const int result = f.run([&](TfDenumire& d) {
            QCOMPARE(QApplication::focusWidget(), d.den);
            d.den->selectAll();
            QTest::keyClicks(d.den, QStringLiteral("popescu ion"));
            QCOMPARE(d.den->text(), QStringLiteral("POPESCU ION"));
            press(Qt::Key_Return);
            focusAtClose = d.focusWidget();
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(f.dialog->rgp->isAncestorOf(focusAtClose));
        QCOMPARE(f.integer(QStringLiteral("prefix")), 2);
        QCOMPARE(f.integer(QStringLiteral("sufix")), 0);
        QCOMPARE(f.text(QStringLiteral("denumire")), QStringLiteral("POPESCU ION"));
        QCOMPARE(ComposedLegalName(2, f.text(QStringLiteral("denumire")), 0), QStringLiteral("P.F. POPESCU ION "));
    }

    void usualPathWritesRecord_data()
    {
        QTest::addColumn<int>("downs"); // arrow presses in the suffix group
        QTest::addColumn<int>("sufix");
        QTest::addColumn<QString>("composed");
        QTest::newRow("S.R.L.") << 0 << 1 << QStringLiteral("S.C. BETA S.R.L.");
        QTest::newRow("S.A.") << 1 << 2 << QStringLiteral("S.C. BETA S.A.");
        QTest::newRow("S.C.A.") << 4 << 5 << QStringLiteral("S.C. BETA S.C.A.");
        QTest::newRow("Altele") << 5 << 0 << QStringLiteral("S.C. BETA ");
    }
    void usualPathWritesRecord()
    {
        QFETCH(int, downs);
        QFETCH(int, sufix);
        QFETCH(QString, composed);
        Fixture f;
        f.openNew();
        QWidget* focusAtClose = nullptr;
        const int result = f.run([&](TfDenumire& d) {
            QCOMPARE(QApplication::focusWidget(), d.rgp->buttons().first());
            press(Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), d.den);
            QTest::keyClicks(d.den, QStringLiteral("beta"));
            press(Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), d.rgs->buttons().first());
            for (int i = 0; i < downs; ++i)
                press(Qt::Key_Down);
            QCOMPARE(d.rgs->itemIndex(), downs);
            QCOMPARE(focusedButton(d.rgs), d.rgs->buttons().at(downs));
            // The suffix chosen is written only by the closing Enter.
            QCOMPARE(f.integer(QStringLiteral("sufix")), 1);
            press(Qt::Key_Return);
            focusAtClose = d.focusWidget();
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(focusAtClose, f.dialog->den);
        QCOMPARE(f.integer(QStringLiteral("prefix")), 1);
        QCOMPARE(f.integer(QStringLiteral("sufix")), sufix);
        QCOMPARE(ComposedLegalName(f.integer(QStringLiteral("prefix")), f.text(QStringLiteral("denumire")),
                     f.integer(QStringLiteral("sufix"))),
            composed);
    }

    void arrowsThroughPrefixesFollowTheSuffixRule()
    {
        Fixture f;
        f.openExisting(1, 1);
        const int result = f.run([&](TfDenumire& d) {
            d.rgp->buttons().first()->setFocus();
            press(Qt::Key_Down); // P.F.: the suffix goes
            QCOMPARE(d.rgp->itemIndex(), 1);
            QCOMPARE(focusedButton(d.rgp), d.rgp->buttons().at(1));
            QCOMPARE(f.integer(QStringLiteral("sufix")), 0);
            QVERIFY(!d.rgs->isEnabled());
            press(Qt::Key_Up); // back to S.C.: the group comes back showing "Altele "
            QCOMPARE(d.rgp->itemIndex(), 0);
            QVERIFY(d.rgs->isEnabled());
            QCOMPARE(d.rgs->itemIndex(), 5);
            press(Qt::Key_Return);
            press(Qt::Key_Return);
            // The suffix group is entered on its checked item.
            QCOMPARE(QApplication::focusWidget(), d.rgs->buttons().at(5));
            press(Qt::Key_Return);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(f.integer(QStringLiteral("prefix")), 1);
        QCOMPARE(f.integer(QStringLiteral("sufix")), 0);
    }

    // Entering a group, by Enter or Tab from the name or by Shift+Tab, lands
    // on its checked item, so that Down moves the choice on from there.
    void enteringAGroupLandsOnItsCheckedItem_data()
    {
        QTest::addColumn<int>("key"); // pressed in the name
        QTest::addColumn<int>("prefix");
        QTest::addColumn<int>("sufix");
        QTest::newRow("Enter into the suffix: S.A. to S.N.C.") << int(Qt::Key_Return) << 1 << 3;
        QTest::newRow("Tab into the suffix: S.A. to S.N.C.") << int(Qt::Key_Tab) << 1 << 3;
        QTest::newRow("Shift+Tab into the prefix: S.C. to P.F.") << int(Qt::Key_Backtab) << 2 << 0;
    }
    void enteringAGroupLandsOnItsCheckedItem()
    {
        QFETCH(int, key);
        QFETCH(int, prefix);
        QFETCH(int, sufix);
        Fixture f;
        f.openExisting(1, 2);
        const int result = f.run([&](TfDenumire& d) {
            QCOMPARE(QApplication::focusWidget(), d.den);
            press(Qt::Key(key));
            RadioGroup* group = key == Qt::Key_Backtab ? d.rgp : d.rgs;
            QCOMPARE(focusedButton(group), group->buttons().at(group->itemIndex()));
            press(Qt::Key_Down);
            press(Qt::Key_Return);
            if (key == Qt::Key_Backtab)
                press(Qt::Key_Return); // from the name, with no suffix to choose
        });
        QCOMPARE(result, int(QDialog::Accepted));
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

    void escapeKeepsWhatIsInTheRecord_data()
    {
        QTest::addColumn<QString>("where"); // where Escape is pressed
        QTest::newRow("in the name") << QStringLiteral("name");
        QTest::newRow("on a suffix") << QStringLiteral("suffix");
        QTest::newRow("on a prefix") << QStringLiteral("prefix");
    }
    void escapeKeepsWhatIsInTheRecord()
    {
        QFETCH(QString, where);
        Fixture f;
        f.openExisting(1, 1);
        const int result = f.run([&](TfDenumire& d) {
            // The name is selected on arrival; typing after it keeps it.
            QCOMPARE(d.den->selectedText(), QStringLiteral("ALFA"));
            press(Qt::Key_End);
            QTest::keyClicks(d.den, QStringLiteral(" nou"));
            if (where == u"suffix") {
                press(Qt::Key_Return);
                press(Qt::Key_Down); // S.A. chosen but never confirmed
                QCOMPARE(d.rgs->itemIndex(), 1);
            } else if (where == u"prefix") {
                d.rgp->buttons().first()->setFocus();
                press(Qt::Key_Down); // P.F. erases the suffix at once
            }
            press(Qt::Key_Escape);
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(f.payer().State(), DatasetState::Edit);
        QCOMPARE(f.text(QStringLiteral("denumire")), QStringLiteral("ALFA NOU"));
        QCOMPARE(f.integer(QStringLiteral("prefix")), 1);
        QCOMPARE(f.integer(QStringLiteral("sufix")), where == u"prefix" ? 0 : 1);
        // Nothing reached the database.
        f.payer().Cancel();
        QCOMPARE(f.text(QStringLiteral("denumire")), QStringLiteral("ALFA"));
    }

    void storedValueOutsideTableIsWrittenAsAltele()
    {
        Fixture f;
        f.openExisting(1, 1);
        f.payer().FieldByName(QStringLiteral("prefix")).setAsInteger(20);
        f.payer().FieldByName(QStringLiteral("sufix")).setAsInteger(9);
        const int result = f.run([&](TfDenumire& d) {
            QCOMPARE(d.rgp->itemIndex(), -1);
            QVERIFY(!d.rgs->isEnabled());
            press(Qt::Key_Return);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(f.integer(QStringLiteral("prefix")), 0);
        QCOMPARE(f.integer(QStringLiteral("sufix")), 0);
    }
};

QTEST_MAIN(TestLegalNameDialog)
#include "tst_legalnamedialog.moc"
