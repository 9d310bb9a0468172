// The main window keeps one active control: message boxes that take the
// activation move nothing, and a focus move made while one was up leaves the
// control focused before it and enters the new one once each, with their
// handlers and their highlight. Fields entered other than by the mouse select
// their whole text.
#include "support/DeclarationRoad.h"
#include "support/GuiTestCase.h"

#include <QTest>

using namespace itm;
using namespace itm::test;

namespace {

// Stands for a real message box: while it is up another window is active, so
// the focus moves a handler makes meanwhile reach the main window only when
// it is active again.
class BoxWindow
{
public:
    explicit BoxWindow(MainWindowFixture& f)
        : m_f(f)
    {
        m_box.setGeometry(300, 300, 200, 80);
    }
    // The next box of the program takes the activation while it is up.
    void takesTheNextBox()
    {
        m_f.prompts.duringNextBox([this] {
            m_box.show();
            QApplication::setActiveWindow(&m_box);
        });
    }
    // The box has gone: the main window is active again.
    void closed()
    {
        m_box.hide();
        QApplication::setActiveWindow(m_f.window.get());
        MainWindowFixture::settle();
    }

private:
    MainWindowFixture& m_f;
    QWidget m_box;
};

QColor highlight()
{
    return QApplication::palette().color(QPalette::ToolTipBase);
}

bool isHighlighted(QWidget* control)
{
    const QPalette::ColorRole role = qobject_cast<QLineEdit*>(control) ? QPalette::Base : control->backgroundRole();
    return control->palette().color(role) == highlight();
}

void seedBankruptWithoutLiquidatorName(TestDatabase& db)
{
    seedBankruptPayer(db);
    db.exec("UPDATE firme SET ldenumire = ' '");
}

enum class FocusAtSave
{
    ReducedRate,
    Fund
};

} // namespace

Q_DECLARE_METATYPE(FocusAtSave)

class TestWindowFocus : public itm::test::GuiTestCase
{
    Q_OBJECT

private Q_SLOTS:
    // A refused save moves the focus to the liquidator while the box is up;
    // the rate button or the fund left that way still computes the commission
    // it shows, and the second save stores it.
    void theControlLeftUnderABoxRunsItsExit_data()
    {
        QTest::addColumn<FocusAtSave>("focusAtSave");
        QTest::addColumn<int>("com25");
        QTest::addColumn<int>("comdat");
        QTest::newRow("0.25% chosen by Alt+2") << FocusAtSave::ReducedRate << 1 << 5;
        QTest::newRow("fund typed, not left") << FocusAtSave::Fund << 0 << 15;
    }
    void theControlLeftUnderABoxRunsItsExit()
    {
        QFETCH(FocusAtSave, focusAtSave);
        QFETCH(int, com25);
        QFETCH(int, comdat);
        MainWindowFixture f(seedBankruptWithoutLiquidatorName);
        openDeclaration(f);
        DeclarationPanel* panel = f.window->ddgb;
        retype(panel->DBEdit12, QStringLiteral("2000"));
        if (focusAtSave == FocusAtSave::ReducedRate) {
            leaveFor(panel->achit);
            QCOMPARE(panel->DBEdit13->text(), QStringLiteral("15"));
            pressAccelerator(f, Qt::Key_2, panel->proccom->buttons().at(1));
            QCOMPARE(f.focus(), panel->proccom->buttons().at(1));
        }
        BoxWindow box(f);
        box.takesTheNextBox();
        f.prompts.answerOk();
        save(f);
        box.closed();
        QCOMPARE(f.prompts.lastText(), QStringLiteral("Va rugam sa completati campul 'Denumire Lichidator'"));
        QCOMPARE(f.focus(), panel->lgb->denl);
        QCOMPARE(panel->DBEdit13->text(), QString::number(comdat));

        MainWindowFixture::type(panel->lgb->denl, QStringLiteral("LICHID"));
        save(f);
        QCOMPARE(f.window->windowState(), State::Output);
        QCOMPARE(storedInteger(f, QStringLiteral("SELECT com25 FROM declaratii")), qint64(com25));
        QCOMPARE(storedInteger(f, QStringLiteral("SELECT comdat FROM declaratii")), qint64(comdat));
        // The blank the register stored was selected on entry and typed over.
        QCOMPARE(storedText(f, QStringLiteral("SELECT ldenumire FROM firme")), QStringLiteral("LICHID"));
    }

    // The field a message sends the user to is highlighted; the one left is not.
    void theHighlightFollowsTheFocusUnderABox()
    {
        MainWindowFixture f(seedBankruptWithoutLiquidatorName);
        openDeclaration(f);
        DeclarationPanel* panel = f.window->ddgb;
        focusOn(panel->nrsal);
        QVERIFY(isHighlighted(panel->nrsal));
        BoxWindow box(f);
        box.takesTheNextBox();
        f.prompts.answerOk();
        save(f);
        box.closed();
        QCOMPARE(f.focus(), panel->lgb->denl);
        QVERIFY(isHighlighted(panel->lgb->denl));
        QVERIFY(!isHighlighted(panel->nrsal));
    }

    // Escape answered Yes in a field: the way back runs while the box is up,
    // and the field left gives its highlight back once the window is active.
    void escapeYesGivesTheHighlightBack_data()
    {
        QTest::addColumn<QString>("control");
        QTest::newRow("locality of the payer") << "loc";
        QTest::newRow("employees of the declaration") << "nrsal";
        // Their exits compute the commission of a declaration closed meanwhile.
        QTest::newRow("salary fund of the declaration") << "DBEdit12";
        QTest::newRow("rate of the declaration") << "rate";
    }
    void escapeYesGivesTheHighlightBack()
    {
        QFETCH(QString, control);
        const bool inDeclaration = control != u"loc";
        MainWindowFixture f(seedPayer);
        QWidget* field = nullptr;
        QWidget* back = nullptr;
        if (inDeclaration) {
            openDeclaration(f);
            DeclarationPanel* panel = f.window->ddgb;
            field = control == u"rate" ? static_cast<QWidget*>(panel->proccom->buttons().at(1))
                                       : panel->findChild<QLineEdit*>(control);
            if (control == u"DBEdit12")
                retype(panel->DBEdit12, QStringLiteral("2000"));
            back = f.window->PanelLuna->MaskEdit1;
        } else {
            f.openPayer(kPayerCode);
            field = f.window->dcgb->loc;
            back = f.window->cui;
        }
        focusOn(field);
        QVERIFY(isHighlighted(field));
        BoxWindow box(f);
        box.takesTheNextBox();
        f.prompts.answerYes();
        MainWindowFixture::key(field, Qt::Key_Escape);
        box.closed();
        QCOMPARE(f.focus(), back);
        QVERIFY(!isHighlighted(field));
        QCOMPARE(isHighlighted(back), !inDeclaration);
    }

    void theMonthLeftByTheWayBackIsNotChecked()
    {
        MainWindowFixture f(seedPayer);
        openPeriod(f);
        PeriodPanel* period = f.window->PanelLuna;
        retype(period->MaskEdit1, QString());
        BoxWindow box(f);
        box.takesTheNextBox();
        f.prompts.answerYes();
        MainWindowFixture::key(period->MaskEdit1, Qt::Key_Escape);
        box.closed();
        QCOMPARE(f.window->windowState(), State::PayerData);
        QCOMPARE(f.focus(), f.window->dcgb->Button3);
        QCOMPARE(f.prompts.texts(),
            QStringList { QStringLiteral("Ati terminat actualizarea (sau selectati o alta societate) ?") });
    }

    // What the user sees: the background of a focused check box or radio
    // button in the highlight colour.
    void checkBoxesAndRadioButtonsShowTheHighlight_data()
    {
        QTest::addColumn<QString>("control");
        QTest::newRow("check box") << "DBCheckBox1";
        QTest::newRow("radio button") << "rate";
    }
    void checkBoxesAndRadioButtonsShowTheHighlight()
    {
        QFETCH(QString, control);
        MainWindowFixture f(seedPayer);
        openDeclaration(f);
        DeclarationPanel* panel = f.window->ddgb;
        QWidget* button = control == u"rate" ? static_cast<QWidget*>(panel->proccom->buttons().at(1))
                                             : static_cast<QWidget*>(panel->DBCheckBox1);
        // The right end of the control, past its caption.
        auto background = [button] { return button->grab().toImage().pixelColor(button->width() - 3, 2); };
        focusOn(button);
        QCOMPARE(background(), highlight());
        focusOn(panel->achit);
        QCOMPARE(background(), QApplication::palette().color(QPalette::Button));
    }

    // Typing replaces what a field shows, however the field was reached.
    void aFieldReachedByKeyOrHandlerSelectsItsText_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("Tab") << int(Qt::Key_Tab);
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("a handler: the period preset") << 0;
    }
    void aFieldReachedByKeyOrHandlerSelectsItsText()
    {
        QFETCH(int, way);
        MainWindowFixture f([](TestDatabase& db) {
            seedPayer(db);
            db.exec("UPDATE firme SET bloc = ' '");
        });
        QLineEdit* field = nullptr;
        if (way == 0) {
            f.clock.date = QDate(2007, 12, 3);
            openPeriod(f);
            field = f.window->PanelLuna->MaskEdit1;
            QCOMPARE(field->text(), QStringLiteral("12"));
        } else {
            f.openPayer(kPayerCode);
            focusOn(f.window->dcgb->snr);
            MainWindowFixture::key(f.window->dcgb->snr, Qt::Key(way));
            field = f.window->dcgb->DBEdit1;
        }
        QCOMPARE(f.focus(), field);
        QCOMPARE(field->selectedText(), field->text());
        MainWindowFixture::type(field, QStringLiteral("3"));
        QCOMPARE(field->text(), QStringLiteral("3"));
    }

    void thePeriodShowsItsMask()
    {
        MainWindowFixture f(seedPayer);
        openPeriod(f);
        PeriodPanel* period = f.window->PanelLuna;
        period->MaskEdit1->clear();
        period->MaskEdit2->clear();
        QCOMPARE(period->MaskEdit1->displayText(), QStringLiteral("__"));
        QCOMPARE(period->MaskEdit2->displayText(), QStringLiteral("____"));
        retype(period->MaskEdit1, QStringLiteral("3"));
        QCOMPARE(period->MaskEdit1->text(), QStringLiteral("3"));
        QCOMPARE(period->MaskEdit1->displayText(), QStringLiteral("3_"));
        // Only digits go in.
        MainWindowFixture::type(period->MaskEdit1, QStringLiteral("x"));
        QCOMPARE(period->MaskEdit1->text(), QStringLiteral("3"));
    }
};

QTEST_MAIN(TestWindowFocus)
#include "tst_windowfocus.moc"
