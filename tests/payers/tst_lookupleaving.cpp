// Leaving and entering a lookup field: the value it insists on, the key it
// writes, and what it shows of the bound record.
#include "support/GuiTestCase.h"
#include "support/LookupWindow.h"

using namespace itm;
using namespace itm::test;

class TestLookupLeaving : public itm::test::GuiTestCase
{
    Q_OBJECT

private Q_SLOTS:
    // A field that may not be left empty (nor, for the county, unmatched)
    // refuses Tab and Enter with the same message; a refused Enter never
    // reaches the window.
    void refusesToBeLeftWithoutAValue_data()
    {
        // clang-format off
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::newRow("code empty, Tab") << "cui" << "" << int(Qt::Key_Tab);
        QTest::newRow("code empty, Enter") << "cui" << "" << int(Qt::Key_Return);
        QTest::newRow("county empty, Tab") << "jud" << "" << int(Qt::Key_Tab);
        QTest::newRow("county empty, Enter") << "jud" << "" << int(Qt::Key_Return);
        QTest::newRow("county unmatched, Tab") << "jud" << "DOX" << int(Qt::Key_Tab);
        QTest::newRow("county unmatched, Enter") << "jud" << "DOX" << int(Qt::Key_Return);
        // clang-format on
    }
    void refusesToBeLeftWithoutAValue()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(int, key);
        LookupWindow f;
        TVelaDBAutoCompletitionEdit* edit = f.field(field);
        f.dm->qryFirme->Edit();
        const QString countyBefore = f.boundCounty();
        f.enter(edit);
        LookupWindow::clearField(edit);
        LookupWindow::type(typed);
        f.keysSeen.clear();
        f.prompts.answerOk();
        LookupWindow::press(Qt::Key(key));
        QCOMPARE(f.prompts.texts(), QStringList { refusal });
        QCOMPARE(f.focus(), edit);
        QVERIFY(!f.keysSeen.contains(13));
        // Nothing was written, and the drop-down stays under the field, disabled again.
        QCOMPARE(f.boundCounty(), countyBefore);
        QVERIFY(edit->dropDown());
        QVERIFY(!edit->dropDown()->isEnabled());
        VERIFY_PROMPTS(f);

        // Once there is a value the field lets the user go.
        LookupWindow::type(field == u"cui" ? QStringLiteral("19") : QStringLiteral("DOLJ").mid(edit->text().size()));
        QVERIFY(edit->IsInListSource());
        LookupWindow::press(Qt::Key_Tab);
        QVERIFY(f.focus() != edit);
        QCOMPARE(f.prompts.shown().size(), 1);
    }

    void escapeLetsAnEmptyFieldGo_data()
    {
        // clang-format off
        QTest::addColumn<QString>("field");
        QTest::newRow("code") << "cui";
        QTest::newRow("county") << "jud";
        // clang-format on
    }
    void escapeLetsAnEmptyFieldGo()
    {
        QFETCH(QString, field);
        LookupWindow f;
        TVelaDBAutoCompletitionEdit* edit = f.field(field);
        f.enter(edit);
        LookupWindow::clearField(edit);
        LookupWindow::press(Qt::Key_Escape);
        QVERIFY(f.keysSeen.contains(27));
        LookupWindow::press(Qt::Key_Tab);
        QVERIFY(f.focus() != edit);
        QVERIFY(!edit->dropDown());
        QVERIFY(f.prompts.shown().isEmpty());
        // Escape counts until the field is entered again.
        f.enter(edit);
        f.prompts.answerOk();
        LookupWindow::press(Qt::Key_Tab);
        QCOMPARE(f.focus(), edit);
    }

    // A refused exit takes the focus back before the control it was heading
    // for is entered: that control runs neither its enter nor its exit
    // handler, and a second field that refuses cannot bounce the focus back.
    void aRefusedExitPassesNothing_data()
    {
        // clang-format off
        QTest::addColumn<QString>("heading");
        QTest::addColumn<bool>("backwards");
        QTest::newRow("Tab to a plain field") << "other" << false;
        QTest::newRow("Shift+Tab to an empty code") << "cui" << true;
        // clang-format on
    }
    void aRefusedExitPassesNothing()
    {
        QFETCH(QString, heading);
        QFETCH(bool, backwards);
        LookupWindow f;
        QVERIFY(f.cui->text().isEmpty());
        f.enter(f.jud);
        LookupWindow::clearField(f.jud);
        f.visits.clear();
        f.prompts.answerOk();
        if (backwards)
            QTest::keyClick(f.jud, Qt::Key_Tab, Qt::ShiftModifier);
        else
            QTest::keyClick(f.jud, Qt::Key_Tab);
        LookupWindow::settle();
        LookupWindow::settle();
        QCOMPARE(f.prompts.texts(), QStringList { refusal });
        QCOMPARE(f.focus(), f.jud);
        QCOMPARE(f.visits, (QStringList { QStringLiteral("exit jud"), QStringLiteral("enter jud") }));
        QVERIFY(!f.visits.contains(QStringLiteral("enter ") + heading));
        QVERIFY(f.jud->dropDown());
    }

    // A message box or dialog deactivates the window; a focus move made
    // before the window is active again only arrives with the activation.
    // It is an exit and an entry all the same: the county is left (its
    // drop-down goes, its key is written) and the code field is entered
    // (drop-down, whole-value look-up).
    void aFocusMoveWhileAnotherWindowIsActive()
    {
        LookupWindow f;
        f.enter(f.cui);
        LookupWindow::type(QStringLiteral("230"));
        QVERIFY(!f.cui->IsInListSource());
        LookupWindow::press(Qt::Key_Tab);
        QCOMPARE(f.focus(), f.jud);
        // The code is stored meanwhile (as a validation would store it).
        f.db.exec("INSERT INTO firme (cui, codjudet) VALUES ('230', '16')");
        f.dm->qryFirme->Refresh();
        f.dm->qryFirme->Edit();
        LookupWindow::clearField(f.jud);
        LookupWindow::type(QStringLiteral("GO"));
        f.visits.clear();

        QWidget box;
        box.setGeometry(500, 500, 100, 50);
        box.show();
        QApplication::setActiveWindow(&box);
        LookupWindow::settle();
        QVERIFY(f.jud->dropDown());
        f.cui->setFocus(Qt::OtherFocusReason);
        QApplication::setActiveWindow(f.window.get());
        LookupWindow::settle();

        QCOMPARE(f.focus(), f.cui);
        QCOMPARE(f.visits, (QStringList { QStringLiteral("exit jud"), QStringLiteral("enter cui") }));
        QVERIFY(!f.jud->dropDown());
        QCOMPARE(f.dropDowns().size(), 1);
        QCOMPARE(f.boundCounty(), QStringLiteral("18"));
        QVERIFY(f.cui->dropDown());
        QVERIFY(f.cui->IsInListSource());
        VERIFY_PROMPTS(f);

        // Coming back from another window is no new entry.
        QApplication::setActiveWindow(&box);
        LookupWindow::settle();
        QApplication::setActiveWindow(f.window.get());
        LookupWindow::settle();
        QCOMPARE(f.visits.size(), 2);
        QVERIFY(f.cui->dropDown());
    }

    // Leaving (or Enter) writes the matched county's key only into a record
    // that is being edited or inserted; the field never starts editing itself.
    void leavingWritesTheKey_data()
    {
        // clang-format off
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("county");
        QTest::newRow("browse, Tab") << "browse" << int(Qt::Key_Tab) << "16";
        QTest::newRow("browse, Enter") << "browse" << int(Qt::Key_Return) << "16";
        QTest::newRow("edit, Tab") << "edit" << int(Qt::Key_Tab) << "18";
        QTest::newRow("edit, Enter") << "edit" << int(Qt::Key_Return) << "18";
        QTest::newRow("insert, Tab") << "insert" << int(Qt::Key_Tab) << "18";
        // clang-format on
    }
    void leavingWritesTheKey()
    {
        QFETCH(QString, state);
        QFETCH(int, key);
        QFETCH(QString, county);
        LookupWindow f;
        Dataset& payers = *f.dm->qryFirme;
        if (state == u"edit")
            payers.Edit();
        else if (state == u"insert")
            payers.Append();
        const DatasetState before = payers.State();
        f.enter(f.jud);
        LookupWindow::clearField(f.jud);
        LookupWindow::type(QStringLiteral("GO"));
        QCOMPARE(f.jud->text(), QStringLiteral("GORJ"));
        LookupWindow::press(Qt::Key(key));
        QCOMPARE(payers.State(), before);
        QCOMPARE(f.boundCounty(), county);
        if (key == Qt::Key_Return)
            QVERIFY(f.keysSeen.contains(13));
        if (state == u"browse") {
            // The database row is untouched as well.
            payers.Refresh();
            QCOMPARE(f.boundCounty(), QStringLiteral("16"));
        }
    }

    // The payer record moves (or changes) while the county field is not
    // focused: it shows the county whose key equals the bound key, ignoring
    // case; no county empties it and leaves the bound key alone.
    void showsTheBoundCounty_data()
    {
        // clang-format off
        QTest::addColumn<QString>("payer");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("inList");
        QTest::newRow("16") << "1235" << "DOLJ" << true;
        QTest::newRow("18") << "19" << "GORJ" << true;
        QTest::newRow("lower-case key") << "191" << "ZETA" << true;
        QTest::newRow("no such county") << "124" << "" << false;
        // clang-format on
    }
    void showsTheBoundCounty()
    {
        QFETCH(QString, payer);
        QFETCH(QString, text);
        QFETCH(bool, inList);
        LookupWindow f;
        QVERIFY(f.dm->qryFirme->Locate(QStringLiteral("cui"), QStringLiteral("19")));
        QCOMPARE(f.jud->text(), QStringLiteral("GORJ"));
        QVERIFY(f.dm->qryFirme->Locate(QStringLiteral("cui"), payer));
        QCOMPARE(f.jud->text(), text);
        QCOMPARE(f.jud->IsInListSource(), inList);
        if (!inList)
            QCOMPARE(f.boundCounty(), QStringLiteral("99"));
    }

    // Typing a code makes that payer the current one, and the county follows.
    void theCodeMovesTheWholeRecord()
    {
        LookupWindow f;
        f.enter(f.cui);
        LookupWindow::type(QStringLiteral("19"));
        QCOMPARE(f.dm->qryFirme->FieldByName(QStringLiteral("cui")).AsString(), QStringLiteral("19"));
        QCOMPARE(f.jud->text(), QStringLiteral("GORJ"));
        // A field being changed in the edit buffer shows the new county too.
        f.dm->qryFirme->Edit();
        f.dm->qryFirme->FieldByName(QStringLiteral("codjudet")).setAsString(QStringLiteral("40"));
        QCOMPARE(f.jud->text(), QStringLiteral("BUCURESTI"));
    }

    // While the county field has the focus, a change of the record does not
    // overwrite what the user is typing.
    void aFocusedFieldKeepsItsText()
    {
        LookupWindow f;
        f.enter(f.jud);
        LookupWindow::clearField(f.jud);
        LookupWindow::type(QStringLiteral("GO"));
        f.dm->qryFirme->Locate(QStringLiteral("cui"), QStringLiteral("191"));
        QCOMPARE(f.jud->text(), QStringLiteral("GORJ"));
    }

    // Entering looks the text up as a whole value, ignoring case.
    void enteringLooksTheTextUp_data()
    {
        // clang-format off
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("inList");
        QTest::newRow("same value, other case") << "ro19" << true;
        QTest::newRow("prefix only") << "ro1" << false;
        // clang-format on
    }
    void enteringLooksTheTextUp()
    {
        QFETCH(QString, typed);
        QFETCH(bool, inList);
        LookupWindow f;
        f.enter(f.cui);
        LookupWindow::type(typed);
        QCOMPARE(f.cui->text(), typed);
        QVERIFY(!f.cui->IsInListSource());
        LookupWindow::press(Qt::Key_Tab);
        QCOMPARE(f.focus(), f.jud);
        // The register gains the payer while the field is not focused.
        f.db.exec("INSERT INTO firme (cui, codjudet) VALUES ('RO19', '16')");
        f.dm->qryFirme->Refresh();
        f.enter(f.cui);
        QCOMPARE(f.cui->text(), typed);
        QCOMPARE(f.cui->IsInListSource(), inList);
        if (inList)
            QCOMPARE(f.current(f.cui), QStringLiteral("RO19"));
    }
};

QTEST_MAIN(TestLookupLeaving)
#include "tst_lookupleaving.moc"
