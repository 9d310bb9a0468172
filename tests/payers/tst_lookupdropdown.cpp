// The drop-down of a lookup field: the browsing keys, the mouse, and how long
// it lives.
#include "support/GuiTestCase.h"
#include "support/LookupWindow.h"

using namespace itm;
using namespace itm::test;

class TestLookupDropDown : public itm::test::GuiTestCase
{
    Q_OBJECT

private Q_SLOTS:
    // With an empty list the browsing keys do nothing but reach the window.
    // The characters whose codes equal the navigation keys' codes are typed
    // like any other: into a county field that takes list values only, each
    // is refused at once, and none opens the drop-down.
    void printableCharactersAreNoNavigationKeys_data()
    {
        QTest::addColumn<QString>("typed");
        for (const char* character : { "!", "\"", "&", "(", "." })
            QTest::addRow("%s", character) << QString::fromLatin1(character);
    }
    void printableCharactersAreNoNavigationKeys()
    {
        QFETCH(QString, typed);
        LookupWindow f;
        f.dm->qryFirme->Edit();
        f.enter(f.jud);
        LookupWindow::clearField(f.jud);
        LookupWindow::type(QStringLiteral("CLUJ"));
        f.keysSeen.clear();
        LookupWindow::type(typed);
        QCOMPARE(f.jud->text(), QStringLiteral("CLUJ"));
        QCOMPARE(f.focus(), f.jud);
        QVERIFY(!f.jud->dropDown()->isEnabled());
        QCOMPARE(f.keysSeen, QList<int> { KeyOther });
        QCOMPARE(f.current(f.jud), QStringLiteral("CLUJ"));
        // Typed after the value, the character is taken back and the next one completes again.
        LookupWindow::press(Qt::Key_Backspace);
        QCOMPARE(f.jud->text(), QStringLiteral("CLU"));
    }

    void browsingKeysWithAnEmptyList_data()
    {
        // clang-format off
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("code");
        QTest::newRow("Up") << int(Qt::Key_Up) << 38;
        QTest::newRow("Down") << int(Qt::Key_Down) << 40;
        QTest::newRow("Page Up") << int(Qt::Key_PageUp) << 33;
        QTest::newRow("Page Down") << int(Qt::Key_PageDown) << 34;
        // clang-format on
    }
    void browsingKeysWithAnEmptyList()
    {
        QFETCH(int, key);
        QFETCH(int, code);
        LookupWindow f(nullptr);
        f.enter(f.cui);
        LookupWindow::type(QStringLiteral("27"));
        f.keysSeen.clear();
        LookupWindow::press(Qt::Key(key));
        QCOMPARE(f.keysSeen, QList<int> { code });
        QCOMPARE(f.focus(), f.cui);
        QCOMPARE(f.cui->text(), QStringLiteral("27"));
        QVERIFY(f.cui->dropDown());
        QCOMPARE(f.cui->dropDown()->count(), 0);
        QVERIFY(!f.cui->dropDown()->isEnabled());
        // Nothing is held back: the field is left as usual.
        LookupWindow::press(Qt::Key_Tab);
        QCOMPARE(f.focus(), f.jud);
        QVERIFY(!f.cui->dropDown());
    }

    // Up, Down, Page Up or Page Down go into the drop-down; each key released
    // there moves the list dataset and the field shows the highlighted value;
    // Enter or Escape released there gives the focus back to the field.
    void browsingTheDropDown_data()
    {
        // clang-format off
        QTest::addColumn<int>("enterKey");
        QTest::addColumn<int>("leaveKey");
        QTest::newRow("Down, Enter") << int(Qt::Key_Down) << int(Qt::Key_Return);
        QTest::newRow("Page Down, Escape") << int(Qt::Key_PageDown) << int(Qt::Key_Escape);
        QTest::newRow("Up, Enter") << int(Qt::Key_Up) << int(Qt::Key_Return);
        // clang-format on
    }
    void browsingTheDropDown()
    {
        QFETCH(int, enterKey);
        QFETCH(int, leaveKey);
        LookupWindow f;
        f.dm->qryFirme->Edit();
        f.enter(f.jud);
        QCOMPARE(f.jud->text(), QStringLiteral("DOLJ"));
        TVelaDBListBox* list = f.jud->dropDown();
        QVERIFY(list);
        QVERIFY(!list->isEnabled());
        f.keysSeen.clear();
        LookupWindow::press(Qt::Key(enterKey));
        QCOMPARE(f.focus(), list);
        QVERIFY(list->isEnabled());
        QVERIFY(list->isVisible());
        QVERIFY(f.keysSeen.contains(enterKey == Qt::Key_Down ? 40 : enterKey == Qt::Key_Up ? 38 : 34));
        // Entering the list moves nothing yet.
        QCOMPARE(f.current(f.jud), QStringLiteral("DOLJ"));
        QCOMPARE(f.jud->text(), QStringLiteral("DOLJ"));

        LookupWindow::press(Qt::Key_Down);
        QCOMPARE(f.current(f.jud), QStringLiteral("GALATI"));
        QCOMPARE(f.jud->text(), QStringLiteral("GALATI"));
        QVERIFY(f.jud->IsInListSource());
        LookupWindow::press(Qt::Key_Down);
        QCOMPARE(f.jud->text(), QStringLiteral("GIURGIU"));
        LookupWindow::press(Qt::Key_Down);
        QCOMPARE(f.current(f.jud), QStringLiteral("GORJ"));
        QCOMPARE(f.jud->text(), QStringLiteral("GORJ"));
        QCOMPARE(list->itemIndex(), f.dm->qryJudete->RecNo() - 1);
        // Browsing writes nothing yet.
        QCOMPARE(f.boundCounty(), QStringLiteral("16"));

        LookupWindow::press(Qt::Key(leaveKey));
        QCOMPARE(f.focus(), f.jud);
        QCOMPARE(f.jud->dropDown(), list);
        QVERIFY(!list->isEnabled());
        QCOMPARE(f.jud->text(), QStringLiteral("GORJ"));
        LookupWindow::press(Qt::Key_Tab);
        QCOMPARE(f.focus(), f.other);
        QCOMPARE(f.boundCounty(), QStringLiteral("18"));
        QVERIFY(f.dropDowns().isEmpty());
    }

    // A click on an item moves the list dataset as a key release does.
    void clickingAnItem()
    {
        LookupWindow f;
        f.enter(f.jud);
        TVelaDBListBox* list = f.jud->dropDown();
        LookupWindow::press(Qt::Key_Down);
        QCOMPARE(f.focus(), list);
        list->scrollToTop();
        LookupWindow::settle();
        const QPoint alba = list->visualRect(list->model()->index(0, 0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, alba);
        QTRY_COMPARE(f.current(f.jud), QStringLiteral("ALBA"));
        QCOMPARE(f.jud->text(), QStringLiteral("ALBA"));
    }

    // The drop-down is refilled only when the row count changes.
    void theDropDownFollowsTheRowCount()
    {
        LookupWindow f;
        f.enter(f.cui);
        TVelaDBListBox* list = f.cui->dropDown();
        QVERIFY(list);
        QCOMPARE(list->count(), 4);
        QCOMPARE(list->item(1), QStringLiteral("124"));

        Dataset& payers = *f.dm->qryFirme;
        QVERIFY(payers.Locate(QStringLiteral("cui"), QStringLiteral("124")));
        payers.Edit();
        payers.FieldByName(QStringLiteral("cui")).setAsString(QStringLiteral("125"));
        payers.Post();
        QCOMPARE(list->count(), 4);
        QCOMPARE(list->item(1), QStringLiteral("124"));
        QCOMPARE(list->itemIndex(), payers.RecNo() - 1);

        payers.Append();
        payers.FieldByName(QStringLiteral("cui")).setAsString(QStringLiteral("230"));
        payers.Post();
        payers.Refresh();
        QCOMPARE(list->count(), 5);
        QCOMPARE(list->item(1), QStringLiteral("125"));
        QCOMPARE(list->item(4), QStringLiteral("230"));
        QVERIFY(list->item(list->itemIndex()) == payers.FieldByName(QStringLiteral("cui")).AsString());
    }

    // The drop-down lives under the field while it has the focus.
    void theDropDownLivesWhileFocused()
    {
        LookupWindow f;
        QVERIFY(f.dropDowns().isEmpty());
        f.enter(f.cui);
        TVelaDBListBox* list = f.cui->dropDown();
        QVERIFY(list);
        QCOMPARE(f.dropDowns().size(), 1);
        QVERIFY(list->isVisible());
        QVERIFY(!list->isEnabled());
        const QPoint below = f.cui->mapTo(f.window.get(), QPoint(0, f.cui->height()));
        QCOMPARE(list->mapTo(f.window.get(), QPoint(0, 0)), below);
        QCOMPARE(list->width(), f.cui->width());
        QCOMPARE(list->height(), f.cui->ListHeight);
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items << list->item(i);
        QCOMPARE(items, (QStringList { "1235", "124", "19", "191" }));

        LookupWindow::type(QStringLiteral("1"));
        LookupWindow::press(Qt::Key_Tab);
        QCOMPARE(f.focus(), f.jud);
        QVERIFY(!f.cui->dropDown());
        QCOMPARE(f.dropDowns().size(), 1); // the county's own
        QCOMPARE(f.dropDowns().first(), f.jud->dropDown());
        QVERIFY(f.visits.contains(QStringLiteral("exit cui")));

        LookupWindow::press(Qt::Key_Tab);
        QCOMPARE(f.focus(), f.other);
        QVERIFY(f.dropDowns().isEmpty());
    }
};

QTEST_MAIN(TestLookupDropDown)
#include "tst_lookupdropdown.moc"
