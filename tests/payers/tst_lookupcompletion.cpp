// A lookup field completes what is typed from its list.
#include "support/GuiTestCase.h"
#include "support/LookupWindow.h"

using namespace itm;
using namespace itm::test;

class TestLookupCompletion : public itm::test::GuiTestCase
{
    Q_OBJECT

private Q_SLOTS:
    // Each keystroke completes from the first list value, in the list's
    // order, that begins with the text; the completed tail is selected.
    void typingCompletesFromTheList_data()
    {
        // clang-format off
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("selected");
        QTest::newRow("county DO") << "jud" << "DO" << "DOLJ" << "LJ";
        QTest::newRow("county lower case") << "jud" << "do" << "DOLJ" << "LJ";
        QTest::newRow("county BU: BUCURESTI before BUZAU") << "jud" << "BU" << "BUCURESTI" << "CURESTI";
        QTest::newRow("county B: first of many") << "jud" << "B" << "BACAU" << "ACAU";
        QTest::newRow("county whole value") << "jud" << "DOLJ" << "DOLJ" << "";
        QTest::newRow("code 1: first in byte order") << "cui" << "1" << "1235" << "235";
        QTest::newRow("code 124") << "cui" << "124" << "124" << "";
        QTest::newRow("code whole value that begins another") << "cui" << "19" << "19" << "";
        QTest::newRow("code whole value") << "cui" << "191" << "191" << "";
        // clang-format on
    }
    void typingCompletesFromTheList()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(QString, selected);
        LookupWindow f;
        TVelaDBAutoCompletitionEdit* edit = f.field(field);
        f.enter(edit);
        LookupWindow::clearField(edit);
        LookupWindow::type(typed);
        QCOMPARE(edit->text(), text);
        QCOMPARE(edit->selectedText(), selected);
        QCOMPARE(edit->selectionStart(), selected.isEmpty() ? -1 : int(typed.size()));
        QVERIFY(edit->IsInListSource());
        // The list dataset stands on the completed row and the drop-down shows it.
        QCOMPARE(f.current(edit), text);
        TVelaDBListBox* list = edit->dropDown();
        QVERIFY(list);
        QCOMPARE(list->itemIndex(), f.list(edit)->RecNo() - 1);
        QCOMPARE(list->item(list->itemIndex()), text);
    }

    // The next keystroke replaces the completed tail and completes again.
    void theNextKeystrokeReplacesTheTail()
    {
        LookupWindow f;
        f.enter(f.jud);
        LookupWindow::clearField(f.jud);
        LookupWindow::type(QStringLiteral("B"));
        QCOMPARE(f.jud->text(), QStringLiteral("BACAU"));
        LookupWindow::type(QStringLiteral("R"));
        QCOMPARE(f.jud->text(), QStringLiteral("BRAILA"));
        QCOMPARE(f.jud->selectedText(), QStringLiteral("AILA"));
        QCOMPARE(f.current(f.jud), QStringLiteral("BRAILA"));
    }

    void deletingDoesNotCompleteAgain_data()
    {
        // clang-format off
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("matched");
        QTest::newRow("county, Backspace") << "jud" << "DO" << int(Qt::Key_Backspace) << "DOLJ";
        QTest::newRow("county, Delete") << "jud" << "DO" << int(Qt::Key_Delete) << "DOLJ";
        QTest::newRow("code, Backspace") << "cui" << "12" << int(Qt::Key_Backspace) << "1235";
        QTest::newRow("code, Delete") << "cui" << "12" << int(Qt::Key_Delete) << "1235";
        // clang-format on
    }
    void deletingDoesNotCompleteAgain()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(QString, matched);
        LookupWindow f;
        TVelaDBAutoCompletitionEdit* edit = f.field(field);
        f.enter(edit);
        LookupWindow::clearField(edit);
        LookupWindow::type(typed);
        QCOMPARE(edit->text(), matched);

        LookupWindow::press(Qt::Key(key));
        QCOMPARE(edit->text(), typed);
        QVERIFY(!edit->hasSelectedText());
        QVERIFY(edit->IsInListSource());
        QCOMPARE(f.current(edit), matched);

        LookupWindow::press(Qt::Key_Backspace);
        QCOMPARE(edit->text(), typed.chopped(1));
        QVERIFY(edit->IsInListSource());
        QCOMPARE(f.current(edit), matched);
    }

    // A keystroke after which the text begins no list value: the county takes
    // it back, the payer code keeps it; neither is then in the list.
    void unmatchedKeystroke_data()
    {
        // clang-format off
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::newRow("county takes back the tail keystroke") << "jud" << "DOX" << "DO";
        QTest::newRow("county takes back the first keystroke") << "jud" << "Q" << "";
        QTest::newRow("county takes back after a whole value") << "jud" << "GORJX" << "GORJ";
        QTest::newRow("code keeps what was typed") << "cui" << "5" << "5";
        QTest::newRow("code keeps a keystroke over the tail") << "cui" << "129" << "129";
        // clang-format on
    }
    void unmatchedKeystroke()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, text);
        LookupWindow f;
        TVelaDBAutoCompletitionEdit* edit = f.field(field);
        f.enter(edit);
        LookupWindow::clearField(edit);
        LookupWindow::type(typed);
        QCOMPARE(edit->text(), text);
        QVERIFY(!edit->IsInListSource());
    }
};

QTEST_MAIN(TestLookupCompletion)
#include "tst_lookupcompletion.moc"
