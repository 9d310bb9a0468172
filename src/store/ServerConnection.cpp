#include "store/ServerConnection.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <libpq-fe.h>

namespace itm {

namespace {

const QSet<QString>& libpqKeywords()
{
    static const QSet<QString> keywords = [] {
        QSet<QString> names;
        PQconninfoOption* options = PQconndefaults();
        for (PQconninfoOption* option = options; option && option->keyword; ++option)
            names.insert(QString::fromLatin1(option->keyword));
        PQconninfoFree(options);
        return names;
    }();
    return keywords;
}

} // namespace

bool IsServerConnection(const QString& location)
{
    const QString text = location.trimmed();
    if (text.startsWith(QLatin1String("postgresql://")) || text.startsWith(QLatin1String("postgres://")))
        return true;
    const qsizetype equals = text.indexOf(u'=');
    if (equals <= 0)
        return false;
    return libpqKeywords().contains(text.left(equals).trimmed());
}

QString ServerConnectionOfWorkFolder(const QString& workFolder)
{
    QFile file(QDir(workFolder).filePath(QStringLiteral("data/server")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString line = QString::fromUtf8(file.readLine(4096)).trimmed();
    return IsServerConnection(line) ? line : QString();
}

QString RegisterOfWorkFolder(const QString& workFolder)
{
    const QString server = ServerConnectionOfWorkFolder(workFolder);
    if (!server.isEmpty())
        return server;
    return workFolder == u"." ? QStringLiteral("data/date.itm")
                              : QDir(workFolder).filePath(QStringLiteral("data/date.itm"));
}

} // namespace itm
