#pragma once

#include "app/TDecl.h"
#include "payers/TVelaDBAutoCompletitionEdit.h"
#include "payers/TfDenumire.h"
#include "platform/Platform.h"
#include "store/Tdm.h"
#include "support/FakeClock.h"
#include "support/FakePrompts.h"
#include "support/FakeShell.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <functional>
#include <memory>

namespace itm::test {

// The main window over a fresh database, with every box answered by
// FakePrompts, today's date fixed by FakeClock and the shell recorded. The
// window is shown and active, so focus changes run their handlers as they do
// for a user.
class MainWindowFixture
{
public:
    explicit MainWindowFixture(const std::function<void(TestDatabase&)>& seed = {})
    {
        if (seed)
            seed(database);
        platform().prompts = &prompts;
        platform().clock = &clock;
        platform().shell = &shell;
        // The window loads its picture from the working folder.
        QDir::setCurrent(QStringLiteral(ITM_SOURCE_DIR "/assets"));
        window = std::make_unique<TDecl>();
        dm = std::make_unique<Tdm>(database.path());
        nameDialog = std::make_unique<TfDenumire>(*dm, window.get());
        TDecl::Dialogs dialogs;
        dialogs.showNameDialog = [this] {
            if (onNameDialog)
                onNameDialog();
            else
                nameDialog->showModalForPayer();
        };
        window->attach(*dm, dialogs);
        window->show();
        window->activateWindow();
        QApplication::setActiveWindow(window.get());
        settle();
    }

    ~MainWindowFixture()
    {
        nameDialog.reset();
        window.reset();
        dm.reset();
        platform() = Platform {};
    }

    // Runs the queued focus moves and deferred work.
    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    static void key(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(target, key, modifiers);
        settle();
    }

    // Keys go to whatever has the focus, as for a user.
    static void keyToFocus(Qt::Key key)
    {
        QWidget* focus = QApplication::focusWidget();
        QTEST_ASSERT(focus);
        MainWindowFixture::key(focus, key);
    }

    static void type(QWidget* target, const QString& text)
    {
        QTest::keyClicks(target, text);
        settle();
    }

    // Types a payer code into the code field and presses Enter.
    void openPayer(const QString& code)
    {
        window->cui->setFocus(Qt::TabFocusReason);
        settle();
        window->cui->selectAll();
        type(window->cui, code);
        key(window->cui, Qt::Key_Return);
    }

    QWidget* focus() const { return QApplication::focusWidget(); }

    TestDatabase database;
    FakePrompts prompts;
    FakeClock clock;
    FakeShell shell;
    std::unique_ptr<TDecl> window;
    std::unique_ptr<Tdm> dm;
    std::unique_ptr<TfDenumire> nameDialog;
    std::function<void()> onNameDialog; // replaces the modal dialog when set
};

} // namespace itm::test
