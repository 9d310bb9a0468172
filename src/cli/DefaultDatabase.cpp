#include "cli/DefaultDatabase.h"

#include "cli/CliDatabase.h"

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
    if (QFileInfo::exists(here))
        return here;
    const QString user = UserWorkFolderDatabase();
    if (user.isEmpty())
        return here;
    static bool said = false;
    if (!said) {
        said = true;
        err << "itm-cli " << command << ": no " << here << " here; using " << user << '\n';
    }
    return user;
}

} // namespace itm::cli
