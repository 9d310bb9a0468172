#pragma once

#include "declaration/DeclarationPanel.h"
#include "declaration/LiquidatorGroup.h"
#include "declaration/PeriodPanel.h"
#include "output/OutputPanel.h"
#include "payers/PayerPanel.h"
#include "payers/TVelaDBAutoCompletitionEdit.h"
#include "store/Connection.h"
#include "support/MainWindowFixture.h"
#include "support/SampleRecords.h"
#include "widgets/DbCheckBox.h"
#include "widgets/DbEdit.h"
#include "widgets/DbRadioGroup.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

// The road of one declaration through the main window, shared by the tests of
// the period and declaration panels and of the window's focus.
namespace itm::test {

using State = TDecl::WindowState;

inline const QString kPayerCode = QStringLiteral("19");

inline void seedPayer(TestDatabase& db)
{
    samples::addPayer(db, kPayerCode);
}

// A payer in bankruptcy whose liquidator passes every rule of the save.
inline void seedBankruptPayer(TestDatabase& db)
{
    samples::addPayer(db, kPayerCode, QStringLiteral("ALFA"), 1);
    db.exec("UPDATE firme SET lcui = '12340', ldenumire = 'LICHIDATOR', lcodjudet = '16', lloc = 'CRAIOVA', "
            "lsector = 0, lstr = 'LIPSCANI', lnr = '3', lzi = 5, lln = 7, lan = 2003");
}

// The first column of the first row of a query on the program's own connection.
inline QVariant stored(MainWindowFixture& f, const QString& sql)
{
    Statement statement(f.dm->con, sql);
    return statement.step() ? statement.value(0) : QVariant();
}

inline qint64 storedInteger(MainWindowFixture& f, const QString& sql)
{
    return stored(f, sql).toLongLong();
}

inline QString storedText(MainWindowFixture& f, const QString& sql)
{
    return stored(f, sql).toString();
}

inline Field payerField(MainWindowFixture& f, const char* column)
{
    return f.dm->qryFirme->FieldByName(QString::fromLatin1(column));
}

inline Field declarationField(MainWindowFixture& f, const char* column)
{
    return f.dm->qryDeclaratii->FieldByName(QString::fromLatin1(column));
}

inline void focusOn(QWidget* control)
{
    control->setFocus(Qt::OtherFocusReason);
    MainWindowFixture::settle();
}

// Replaces the text of a field by typing it, as the user does.
inline void retype(QLineEdit* edit, const QString& text)
{
    focusOn(edit);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    MainWindowFixture::type(edit, text);
}

// The payer opened from its code and validated: "Declaratie &lunara" is enabled.
inline void validatePayer(MainWindowFixture& f)
{
    f.openPayer(kPayerCode);
    f.window->dcgb->Button3->click();
    QTRY_VERIFY(f.window->dcgb->Button5->isEnabled());
}

// From the payer code to the period panel.
inline void openPeriod(MainWindowFixture& f)
{
    validatePayer(f);
    MainWindowFixture::key(f.window->dcgb->Button5, Qt::Key_Return);
}

// Puts a period into the two fields and presses Enter in the year; the
// question that follows gets the answer given.
inline void lookUp(MainWindowFixture& f, const QString& month, const QString& year, bool yes = true)
{
    PeriodPanel* period = f.window->PanelLuna;
    focusOn(period->MaskEdit2);
    period->MaskEdit1->setText(month);
    period->MaskEdit2->setText(year);
    if (yes)
        f.prompts.answerYes();
    else
        f.prompts.answerNo();
    MainWindowFixture::key(period->MaskEdit2, Qt::Key_Return);
}

// The whole road to the declaration panel (a new declaration unless one is stored).
inline void openDeclaration(
    MainWindowFixture& f, const QString& month = QStringLiteral("03"), const QString& year = QStringLiteral("2007"))
{
    openPeriod(f);
    lookUp(f, month, year);
    // The boxes of the road are behind us: the test reads only its own.
    QTEST_ASSERT(f.prompts.verify().isEmpty());
    f.prompts.clear();
}

// Chooses a commission rate with the focus in the group, as the user does.
inline void chooseRate(MainWindowFixture& f, int index)
{
    QRadioButton* button = f.window->ddgb->proccom->buttons().at(index);
    focusOn(button);
    button->click();
    MainWindowFixture::settle();
}

// A shortcut presses its button after a short animation: the button is down
// until the click has run.
inline void pressAccelerator(MainWindowFixture& f, Qt::Key key, QAbstractButton* button)
{
    QWidget* focus = f.focus() ? f.focus() : f.window.get();
    QTest::keyClick(focus, key, Qt::AltModifier);
    QTEST_ASSERT(button->isDown());
    QTEST_ASSERT(QTest::qWaitFor([button] { return !button->isDown(); }, 5000));
    MainWindowFixture::settle();
}

// Leaves the field with the focus for another one, as a click elsewhere does.
inline void leaveFor(QWidget* next)
{
    focusOn(next);
}

// "Inregistrare &declaratie" pressed by its accelerator: the focus stays where it is.
inline void save(MainWindowFixture& f)
{
    f.window->ddgb->Button1->click();
    MainWindowFixture::settle();
}

// The ways out of the declaration panel that close it without saving.
enum class Leave
{
    CancelClick,
    CancelMouse,
    CancelAccelerator,
    EscapeYesInField,
    EscapeYesOnSave
};

inline void leaveThePanel(MainWindowFixture& f, Leave way, QWidget* field)
{
    DeclarationPanel* panel = f.window->ddgb;
    switch (way) {
    case Leave::CancelClick:
        panel->Button2->click();
        break;
    case Leave::CancelMouse:
        QTest::mouseClick(panel->Button2, Qt::LeftButton);
        break;
    case Leave::CancelAccelerator:
        pressAccelerator(f, Qt::Key_N, panel->Button2);
        break;
    case Leave::EscapeYesInField:
        f.prompts.answerYes();
        MainWindowFixture::key(field, Qt::Key_Escape);
        QCOMPARE(f.prompts.shown().first().text, QStringLiteral("Renuntati la modificari ?"));
        return;
    case Leave::EscapeYesOnSave:
        focusOn(panel->Button1);
        f.prompts.answerYes();
        MainWindowFixture::key(panel->Button1, Qt::Key_Escape);
        QCOMPARE(f.prompts.shown().first().text, QStringLiteral("Ati finalizat declaratia ?"));
        return;
    }
    MainWindowFixture::settle();
}

// The rows of a data-driven test for each way out that asks nothing or gets Yes.
inline void addLeaveRows()
{
    QTest::newRow("A&nulare") << Leave::CancelClick;
    QTest::newRow("A&nulare by mouse") << Leave::CancelMouse;
    QTest::newRow("A&nulare by Alt+N") << Leave::CancelAccelerator;
    QTest::newRow("Escape, Yes") << Leave::EscapeYesInField;
}

} // namespace itm::test

Q_DECLARE_METATYPE(itm::test::Leave)
