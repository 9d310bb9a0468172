#include "app/Startup.h"

#include "app/BackupOnStart.h"
#include "app/RegisterRestore.h"
#include "app/TDecl.h"
#include "output/OutputPanel.h"
#include "output/PrintedForms.h"
#include "output/TfSelDisck.h"
#include "payers/TfDenumire.h"
#include "platform/Clock.h"
#include "platform/Drives.h"
#include "platform/FileChooser.h"
#include "platform/Guard.h"
#include "platform/Platform.h"
#include "platform/Printing.h"
#include "platform/ProgramVersion.h"
#include "platform/QtJobs.h"
#include "platform/QtPrompts.h"
#include "platform/Shell.h"
#include "records/RegisterUpgrade.h"
#include "store/DatabaseLock.h"
#include "store/ServerConnection.h"
#include "store/Tdm.h"

#include <QApplication>
#include <QLocale>
#include <cstdio>
#include <optional>

namespace itm {

ProgramObjects::ProgramObjects() = default;

ProgramObjects::~ProgramObjects()
{
    // The dialogs belong to the main window; they go first.
    forms.reset();
    fSelDisck.reset();
    fDenumire.reset();
    Decl.reset();
    dm.reset();
    lock.reset();
}

bool createProgram(ProgramObjects& objects, const QString& databasePath, const ProgramParts& parts)
{
    // Numbers are read and written with "." whatever the regional settings,
    // from the first window on.
    QLocale::setDefault(QLocale::c());
    // On a server several colleagues work on the register at once: each save
    // checks what it changes instead, and nothing locks the whole register.
    const bool onServer = IsServerConnection(databasePath);
    // The lock is already held when the register opens again after a restore.
    if (!onServer && (!objects.lock || !objects.lock->isLocked()))
        objects.lock = std::make_unique<DatabaseLock>(databasePath);
    // A lock that cannot be made at all (a missing or read-only folder) stops
    // nothing here: opening the database reports the missing file, and a
    // read-only folder lets nobody write.
    if (!onServer && objects.lock->tryLock() == DatabaseLock::Outcome::HeldByOther) {
        const QString holder = objects.lock->holder();
        objects.lock.reset();
        platform().prompts->message(
            QStringLiteral("Baza de date este deja deschisa de programul ITM (%1).").arg(holder));
        return false;
    }
    // The history's tables, before anything reads the register.
    const RegisterUpgrade upgrade
        = UpgradeRegister(databasePath, platform().clock ? platform().clock->now() : QDateTime::currentDateTime());
    if (upgrade.status == RegisterUpgrade::NotUpgraded)
        platform().prompts->message(NotUpgradedMessage(upgrade));
    return runGuarded([&] {
        objects.Decl = std::make_unique<TDecl>();
        objects.dm = std::make_unique<Tdm>(databasePath);
        objects.fDenumire = std::make_unique<TfDenumire>(*objects.dm, objects.Decl.get());
        objects.fSelDisck = parts.createDriveDialog ? parts.createDriveDialog(*objects.Decl)
                                                    : std::make_unique<TfSelDisck>(objects.Decl.get());
        objects.forms = std::make_unique<PrintedForms>();
        objects.Decl->butpan->attach(*objects.dm, objects.fSelDisck.get(), objects.forms.get());
        TDecl::Dialogs dialogs;
        TfDenumire* nameDialog = objects.fDenumire.get();
        if (parts.openNameDialog)
            dialogs.showNameDialog = [nameDialog, open = parts.openNameDialog] { open(*nameDialog); };
        else
            dialogs.showNameDialog = [nameDialog] { nameDialog->showModalForPayer(); };
        dialogs.driveDialog = objects.fSelDisck.get();
        dialogs.databasePath = databasePath;
        // The register is closed and opened again once the window that asked
        // has returned: the main window goes with it.
        dialogs.restoreRegister = [&objects, databasePath, parts](const QString& backupFile) {
            QMetaObject::invokeMethod(
                qApp,
                [&objects, databasePath, parts, backupFile] {
                    if (!RestoreOpenRegister(objects, databasePath, parts, backupFile))
                        QCoreApplication::quit();
                },
                Qt::QueuedConnection);
        };
        objects.Decl->attach(*objects.dm, dialogs);
    });
}

namespace {

// --version and --help are answered on standard output, before any window
// (and without a display); anything else is left to Qt.
std::optional<int> answerCommandLine(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--version") {
            std::printf("itm-declaratie %s\n", qPrintable(programVersion()));
            return 0;
        }
        if (argument == "--help" || argument == "-h") {
            std::fputs("Utilizare: itm-declaratie [optiuni Qt]\n"
                       "Declaratia fiscala privind stabilirea comisionului datorat I.T.M.\n"
                       "Deschide data/date.itm din dosarul curent; itm-declaratie-launch il porneste\n"
                       "in dosarul de lucru al utilizatorului; data/server, cand exista, numeste\n"
                       "registrul de pe un server PostgreSQL.\n\n"
                       "  --db REGISTRU  fisierul registrului sau legatura cu serverul (postgresql://...)\n"
                       "  --version    arata versiunea\n"
                       "  --help       arata acest text\n\n"
                       "Tastele si ferestrele: F1 in program (instructiuni.txt) si man itm-declaratie.\n",
                stdout);
            return 0;
        }
    }
    return std::nullopt;
}

// The register given with --db, if any.
std::optional<QString> givenRegister(const QStringList& arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments.at(i) == u"--db" && i + 1 < arguments.size())
            return arguments.at(i + 1);
        if (arguments.at(i).startsWith(QLatin1String("--db=")))
            return arguments.at(i).mid(5);
    }
    return std::nullopt;
}

} // namespace

int runProgram(int argc, char** argv)
{
    if (const auto status = answerCommandLine(argc, argv))
        return *status;
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("itm-declaratie"));
    QtPrompts prompts;
    QtShell shell;
    SystemClock clock;
    const auto drives = CreatePlatformDrives();
    QtPrinting printing;
    QtFileChooser files;
    QtJobs jobs;
    platform().prompts = &prompts;
    platform().shell = &shell;
    platform().clock = &clock;
    platform().drives = drives.get();
    platform().printing = &printing;
    platform().files = &files;
    platform().jobs = &jobs;

    ProgramObjects objects;
    const std::optional<QString> given = givenRegister(QCoreApplication::arguments());
    // A data/server that names no server: the local register in its place
    // would take the office's work unseen.
    if (!given) {
        const QString problem = ServerFileProblem(QStringLiteral("."));
        if (!problem.isEmpty()) {
            prompts.message(problem);
            return 1;
        }
    }
    const QString databasePath = given ? *given : Tdm::defaultDatabasePath();
    if (!createProgram(objects, databasePath))
        return 0;
    objects.Decl->show();
    // A server's register is copied by itm-cli backup, run where the server is kept.
    if (!IsServerConnection(databasePath))
        StartAutomaticBackup(objects.Decl.get(), databasePath, &objects.dm->con);
    return application.exec();
}

} // namespace itm
