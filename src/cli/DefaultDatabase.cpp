#include "cli/DefaultDatabase.h"

#include "cli/CliDatabase.h"
#include "store/ServerConnection.h"

#include <QFileInfo>
#include <QTextStream>

namespace itm::cli {

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
    const QString server = ServerConnectionOfWorkFolder(QStringLiteral("."));
    if (!server.isEmpty())
        return server;
    if (QFileInfo::exists(here))
        return here;
    QString user = UserWorkFolderDatabase();
    if (user.isEmpty())
        return here;
    // data/ is the database's folder; the work folder holds it.
    const QString userServer = ServerConnectionOfWorkFolder(QFileInfo(user).absolutePath() + QStringLiteral("/.."));
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
