#include "app/Startup.h"

#include "app/TDecl.h"
#include "payers/TfDenumire.h"
#include "platform/Clock.h"
#include "platform/Guard.h"
#include "platform/Platform.h"
#include "platform/QtPrompts.h"
#include "platform/Shell.h"
#include "store/Tdm.h"

#include <QApplication>
#include <memory>

namespace itm {

int runProgram(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("itm-declaratie"));
    QtPrompts prompts;
    QtShell shell;
    SystemClock clock;
    platform().prompts = &prompts;
    platform().shell = &shell;
    platform().clock = &clock;

    std::unique_ptr<TDecl> Decl;
    std::unique_ptr<Tdm> dm;
    std::unique_ptr<TfDenumire> fDenumire;
    const bool created = runGuarded([&] {
        Decl = std::make_unique<TDecl>();
        dm = std::make_unique<Tdm>();
        fDenumire = std::make_unique<TfDenumire>(*dm, Decl.get());
        TDecl::Dialogs dialogs;
        dialogs.showNameDialog = [&] { fDenumire->showModalForPayer(); };
        Decl->attach(*dm, dialogs);
    });
    if (!created)
        return 0;
    Decl->show();
    return application.exec();
}

} // namespace itm
