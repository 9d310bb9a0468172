#pragma once

#include "app/Startup.h"
#include "app/TDecl.h"
#include "backup/ServerCopy.h"
#include "output/TfSelDisck.h"
#include "payers/TVelaDBAutoCompletitionEdit.h"
#include "payers/TfDenumire.h"
#include "platform/Job.h"
#include "store/Tdm.h"
#include "support/FakeClock.h"
#include "support/FakeShell.h"
#include "support/GuiFixture.h"
#include "support/ServerDatabase.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <functional>
#include <memory>
#include <stdexcept>

namespace itm::test {

// The program as main creates it, over a fresh database, with every box
// answered by FakePrompts, today's date fixed by FakeClock and the shell
// recorded. The window is shown and active, so focus changes run their
// handlers as they do for a user.
//
// Two parts differ from the program's own. Without a window manager the focus
// does not come back to the main window after a modal dialog, so a test that
// goes through the legal-name dialog sets onNameDialog to stand in for it. And
// the drive dialog is a window of its own instead of the main window's child:
// the tests find the main window's drop-downs among its children, where the
// dialog's list of drives would count as one. It is application-modal either
// way and places itself in the middle of the screen, so nothing else changes.
class MainWindowFixture : public GuiFixture
{
public:
    explicit MainWindowFixture(const std::function<void(TestDatabase&)>& seed = {})
    {
        if (seed)
            seed(database);
        // The same road on a server register: the seeded file copied onto a
        // database of its own on the run's server.
        start(qEnvironmentVariableIsSet("ITM_TEST_ON_SERVER") ? copiedToServer(database) : database.path());
    }

    // The program over a register elsewhere (a server's), the fresh file unused.
    explicit MainWindowFixture(const QString& location) { start(location); }

    // The program goes before the doubles it uses.
    ~MainWindowFixture() { m_program.reset(); }

    // Types a payer code into the code field and presses Enter.
    void openPayer(const QString& code)
    {
        enter(window->cui);
        window->cui->selectAll();
        type(window->cui, code);
        key(window->cui, Qt::Key_Return);
    }

    TestDatabase database;
    FakeClock clock;
    FakeShell shell;

private:
    static QString copiedToServer(const TestDatabase& file)
    {
        static int copies = 0;
        const QString location = NewServerRegister(QStringLiteral("drum%1").arg(++copies));
        JobProgress progress;
        CopyFileToServer(file.path(), location, progress);
        return location;
    }

    void start(const QString& location)
    {
        platform().clock = &clock;
        platform().shell = &shell;
        // The window loads its picture from the working folder (put back by the scope).
        QDir::setCurrent(QStringLiteral(ITM_SOURCE_DIR "/assets"));
        ProgramParts parts;
        parts.openNameDialog = [this](TfDenumire& dialog) {
            if (onNameDialog)
                onNameDialog();
            else
                dialog.showModalForPayer();
        };
        parts.createDriveDialog = [](TDecl&) { return std::make_unique<TfSelDisck>(); };
        if (!createProgram(*m_program, location, parts))
            throw std::runtime_error("the program did not start: " + prompts.texts().join(u'\n').toStdString());
        window->show();
        window->activateWindow();
        QApplication::setActiveWindow(window.get());
        settle();
    }

    std::unique_ptr<ProgramObjects> m_program = std::make_unique<ProgramObjects>();

public:
    // What createProgram made, by the names the tests use.
    std::unique_ptr<TDecl>& window = m_program->Decl;
    std::unique_ptr<Tdm>& dm = m_program->dm;
    std::unique_ptr<TfDenumire>& nameDialog = m_program->fDenumire;
    std::unique_ptr<TfSelDisck>& driveDialog = m_program->fSelDisck;
    std::function<void()> onNameDialog; // replaces the modal dialog when set
};

} // namespace itm::test
