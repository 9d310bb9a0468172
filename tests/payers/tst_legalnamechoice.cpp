// Choosing in the legal-name dialog: the keys through its groups, what Enter
// writes into the payer record and what Escape keeps.
#include "support/GuiTestCase.h"
#include "support/LegalNameDialogFixture.h"

using namespace itm;
using namespace itm::test::legalname;
using itm::test::TestDatabase;

class TestLegalNameChoice : public itm::test::GuiTestCase
{
    Q_OBJECT

private Q_SLOTS:
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
            Fixture::press(Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), d.den);
            Fixture::press(Qt::Key_Return);
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
            Fixture::press(Qt::Key_Return);
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
            Fixture::press(Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), d.den);
            QTest::keyClicks(d.den, QStringLiteral("beta"));
            Fixture::press(Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), d.rgs->buttons().first());
            for (int i = 0; i < downs; ++i)
                Fixture::press(Qt::Key_Down);
            QCOMPARE(d.rgs->itemIndex(), downs);
            QCOMPARE(focusedButton(d.rgs), d.rgs->buttons().at(downs));
            // The suffix chosen is written only by the closing Enter.
            QCOMPARE(f.integer(QStringLiteral("sufix")), 1);
            Fixture::press(Qt::Key_Return);
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
            Fixture::press(Qt::Key_Down); // P.F.: the suffix goes
            QCOMPARE(d.rgp->itemIndex(), 1);
            QCOMPARE(focusedButton(d.rgp), d.rgp->buttons().at(1));
            QCOMPARE(f.integer(QStringLiteral("sufix")), 0);
            QVERIFY(!d.rgs->isEnabled());
            Fixture::press(Qt::Key_Up); // back to S.C.: the group comes back showing "Altele "
            QCOMPARE(d.rgp->itemIndex(), 0);
            QVERIFY(d.rgs->isEnabled());
            QCOMPARE(d.rgs->itemIndex(), 5);
            Fixture::press(Qt::Key_Return);
            Fixture::press(Qt::Key_Return);
            // The suffix group is entered on its checked item.
            QCOMPARE(QApplication::focusWidget(), d.rgs->buttons().at(5));
            Fixture::press(Qt::Key_Return);
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
            Fixture::press(Qt::Key(key));
            RadioGroup* group = key == Qt::Key_Backtab ? d.rgp : d.rgs;
            QCOMPARE(focusedButton(group), group->buttons().at(group->itemIndex()));
            Fixture::press(Qt::Key_Down);
            Fixture::press(Qt::Key_Return);
            if (key == Qt::Key_Backtab)
                Fixture::press(Qt::Key_Return); // from the name, with no suffix to choose
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(f.integer(QStringLiteral("prefix")), prefix);
        QCOMPARE(f.integer(QStringLiteral("sufix")), sufix);
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
            Fixture::press(Qt::Key_End);
            QTest::keyClicks(d.den, QStringLiteral(" nou"));
            if (where == u"suffix") {
                Fixture::press(Qt::Key_Return);
                Fixture::press(Qt::Key_Down); // S.A. chosen but never confirmed
                QCOMPARE(d.rgs->itemIndex(), 1);
            } else if (where == u"prefix") {
                d.rgp->buttons().first()->setFocus();
                Fixture::press(Qt::Key_Down); // P.F. erases the suffix at once
            }
            Fixture::press(Qt::Key_Escape);
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
            Fixture::press(Qt::Key_Return);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(f.integer(QStringLiteral("prefix")), 0);
        QCOMPARE(f.integer(QStringLiteral("sufix")), 0);
    }
};

QTEST_MAIN(TestLegalNameChoice)
#include "tst_legalnamechoice.moc"
