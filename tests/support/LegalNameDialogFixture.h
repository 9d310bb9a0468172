#pragma once

#include "payers/LegalForms.h"
#include "payers/TfDenumire.h"
#include "store/Tdm.h"
#include "support/GuiFixture.h"
#include "support/SampleRecords.h"
#include "support/TestDatabase.h"
#include "widgets/DbEdit.h"
#include "widgets/RadioGroup.h"

#include <QApplication>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

// The legal-name dialog over a register, and the keys and clicks of its
// tests.
namespace itm::test::legalname {

inline const QString existingCui = QStringLiteral("19");

// One register, the data module over it, a stand-in for the main window and
// the dialog on top of it, as the program has them. No box is answered:
// any box the dialog shows fails the test.
struct Fixture : GuiFixture
{
    TestDatabase db;
    std::unique_ptr<Tdm> dm;
    QWidget mainWindow;
    std::unique_ptr<TfDenumire> dialog;

    // Without a window manager no window has a frame.
    explicit Fixture(bool framelessMainWindow = false)
    {
        samples::addPayer(db, existingCui, QStringLiteral("ALFA"));
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

// A radio button reacts to a click on its circle or its caption only.
inline void click(QRadioButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

inline QRadioButton* focusedButton(RadioGroup* group)
{
    for (QRadioButton* button : group->buttons()) {
        if (button->hasFocus())
            return button;
    }
    return nullptr;
}

} // namespace itm::test::legalname
