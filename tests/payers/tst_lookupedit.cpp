#include "payers/TVelaDBAutoCompletitionEdit.h"
#include "payers/TVelaDBListBox.h"
#include "platform/Platform.h"
#include "store/Tdm.h"
#include "support/FakePrompts.h"
#include "support/GuiTestCase.h"
#include "support/TestDatabase.h"
#include "widgets/ControlHooks.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <functional>
#include <memory>

using namespace itm;
using itm::test::FakePrompts;
using itm::test::TestDatabase;

namespace {

const QString refusal = QStringLiteral("Pentru a continua trebuie sa selectati/adaugati o valoare");

// Four payers, in code order 1235, 124, 19, 191; their counties: DOLJ, a key
// with no county, GORJ, and a lower-case key of an upper-case county. The
// first is the current payer once the register opens.
void seedRegister(TestDatabase& db)
{
    for (const char* code : { "1235", "124", "19", "191" })
        db.addPayer(QString::fromLatin1(code));
    db.exec("UPDATE firme SET codjudet = '99' WHERE cui = '124';"
            "UPDATE firme SET codjudet = '18' WHERE cui = '19';"
            "UPDATE firme SET codjudet = 'xy' WHERE cui = '191';"
            "INSERT INTO judete (codjudet, denumire) VALUES ('XY', 'ZETA');");
}

// A window with the two kinds of lookup field the program has: a payer code
// completed from the register (no bound record) and a county that accepts
// list values only and stores the county key into the payer record. A third,
// plain edit is where Tab goes from the county.
struct LookupWindow
{
    TestDatabase db;
    FakePrompts prompts;
    std::unique_ptr<Tdm> dm;
    std::unique_ptr<QWidget> window;
    TVelaDBAutoCompletitionEdit* cui = nullptr;
    TVelaDBAutoCompletitionEdit* jud = nullptr;
    QLineEdit* other = nullptr;
    QList<int> keysSeen; // what reached the window's key handler
    QStringList visits; // the window's enter and exit handlers, as "enter cui", "exit jud"

    explicit LookupWindow(const std::function<void(TestDatabase&)>& seed = seedRegister)
    {
        if (seed)
            seed(db);
        platform().prompts = &prompts;
        dm = std::make_unique<Tdm>(db.path());
        window = std::make_unique<QWidget>();
        window->setGeometry(50, 50, 420, 420);
        // Created first, so that the window opens with the focus here.
        other = new QLineEdit(window.get());
        other->setObjectName(QStringLiteral("other"));
        other->setGeometry(220, 10, 150, 22);

        cui = new TVelaDBAutoCompletitionEdit(window.get());
        cui->setObjectName(QStringLiteral("cui"));
        cui->setGeometry(10, 10, 150, 22);
        cui->KeyField = QStringLiteral("id");
        cui->NoValueNoExit = true;
        cui->setListSource(dm->sFirme);
        cui->setListField(QStringLiteral("cui"));

        jud = new TVelaDBAutoCompletitionEdit(window.get());
        jud->setObjectName(QStringLiteral("jud"));
        jud->setGeometry(10, 200, 150, 22);
        jud->KeyField = QStringLiteral("codjudet");
        jud->ReadOnly = true;
        jud->NoValueNoExit = true;
        jud->setListSource(dm->sJudete);
        jud->setListField(QStringLiteral("denumire"));
        jud->setDataSource(dm->sFirme);
        jud->setDataField(QStringLiteral("codjudet"));

        QWidget::setTabOrder(cui, jud);
        QWidget::setTabOrder(jud, other);

        for (QWidget* control :
            { static_cast<QWidget*>(cui), static_cast<QWidget*>(jud), static_cast<QWidget*>(other) }) {
            attachHooks(control,
                { [this](QWidget*, int key) {
                     keysSeen.append(key);
                     return false;
                 },
                    [this](QWidget* sender) { visits.append(QStringLiteral("enter ") + sender->objectName()); },
                    [this](QWidget* sender) { visits.append(QStringLiteral("exit ") + sender->objectName()); }, {} });
        }

        window->show();
        QApplication::setActiveWindow(window.get());
        QTEST_ASSERT(QTest::qWaitForWindowActive(window.get()));
        settle();
    }

    ~LookupWindow()
    {
        window.reset();
        dm.reset();
        platform() = Platform {};
    }

    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    TVelaDBAutoCompletitionEdit* field(const QString& name) const { return name == u"cui" ? cui : jud; }

    void enter(QWidget* control)
    {
        control->setFocus(Qt::TabFocusReason);
        settle();
    }

    static void type(const QString& text)
    {
        QTest::keyClicks(QApplication::focusWidget(), text);
        settle();
    }

    static void press(Qt::Key key)
    {
        QWidget* focus = QApplication::focusWidget();
        QTEST_ASSERT(focus);
        QTest::keyClick(focus, key);
        settle();
    }

    // Empties a focused lookup field the way a user does.
    static void clearField(QLineEdit* edit)
    {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        settle();
    }

    Dataset* list(TVelaDBAutoCompletitionEdit* edit) const { return edit == cui ? dm->qryFirme : dm->qryJudete; }

    // The list field of the list dataset's current row.
    QString current(TVelaDBAutoCompletitionEdit* edit) const
    {
        return list(edit)->FieldByName(edit->ListField()).AsString();
    }

    QString boundCounty() const { return dm->qryFirme->FieldByName(QStringLiteral("codjudet")).AsString(); }

    QWidget* focus() const { return QApplication::focusWidget(); }

    QList<TVelaDBListBox*> dropDowns() const { return window->findChildren<TVelaDBListBox*>(); }
};

} // namespace

class TestLookupEdit : public itm::test::GuiTestCase
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
        VERIFY_PROMPTS(f);
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
        VERIFY_PROMPTS(f);
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
        VERIFY_PROMPTS(f);
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
        VERIFY_PROMPTS(f);
    }

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
        VERIFY_PROMPTS(f);
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
        VERIFY_PROMPTS(f);
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
        VERIFY_PROMPTS(f);
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
        VERIFY_PROMPTS(f);
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
        VERIFY_PROMPTS(f);
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
        VERIFY_PROMPTS(f);
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
        VERIFY_PROMPTS(f);
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
        VERIFY_PROMPTS(f);
    }

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
        VERIFY_PROMPTS(f);
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
        VERIFY_PROMPTS(f);
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
        VERIFY_PROMPTS(f);
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
        LookupWindow::settle();
        QCOMPARE(f.current(f.jud), QStringLiteral("ALBA"));
        QCOMPARE(f.jud->text(), QStringLiteral("ALBA"));
        VERIFY_PROMPTS(f);
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
        VERIFY_PROMPTS(f);
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
        VERIFY_PROMPTS(f);
    }
};

QTEST_MAIN(TestLookupEdit)
#include "tst_lookupedit.moc"
