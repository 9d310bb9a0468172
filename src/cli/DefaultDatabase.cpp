#include "cli/DefaultDatabase.h"

#include "cli/CliDatabase.h"
#include "store/ServerConnection.h"

#include <QFileInfo>
#include <QTextStream>
#include <cstdlib>

namespace itm::cli {

namespace {

// A data/server that names no server stops the command before it opens
// anything: the local register in its place would take work meant for the
// office's register unseen.
void refuseBadServerFile(const QString& command, const QString& workFolder, QTextStream& err)
{
    const QString problem = ServerFileProblem(workFolder);
    if (problem.isEmpty())
        return;
    err << "itm-cli " << command << ": " << problem << '\n';
    err.flush();
    std::exit(1);
}

} // namespace

QString UserWorkFolderDatabase()
{
    // The launcher's own rule (scripts/itm-workdir.sh): an empty XDG_DATA_HOME
    // counts as not set.
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty()) {
        const QString home = qEnvironmentVariable("HOME");
        if (home.isEmpty())
            return {};
        dataHome = home + QStringLiteral("/.local/share");
    }
    return dataHome + QStringLiteral("/itm-declaratie/data/date.itm");
}

QString DefaultDatabasePath(const QString& command, QTextStream& err)
{
    const QString here = CliDatabase::defaultPath();
    refuseBadServerFile(command, QStringLiteral("."), err);
    const QString server = ServerConnectionOfWorkFolder(QStringLiteral("."));
    if (!server.isEmpty())
        return server;
    if (QFileInfo::exists(here))
        return here;
    QString user = UserWorkFolderDatabase();
    if (user.isEmpty())
        return here;
    // data/ is the database's folder; the work folder holds it.
    const QString userFolder = QFileInfo(user).absolutePath() + QStringLiteral("/..");
    refuseBadServerFile(command, userFolder, err);
    const QString userServer = ServerConnectionOfWorkFolder(userFolder);
    if (!userServer.isEmpty())
        user = userServer;
    static bool said = false;
    if (!said) {
        said = true;
        err << "itm-cli " << command << ": no " << here << " here; using " << user << '\n';
    }
    return user;
}

} // namespace itm::cli
