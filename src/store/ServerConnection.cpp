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

QString ServerForDisplay(const QString& location)
{
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(location.trimmed().toUtf8().constData(), &error);
    PQfreemem(error);
    if (!options)
        return QStringLiteral("(legatura de neinteles)");
    static const QStringList shown = { QStringLiteral("service"), QStringLiteral("host"), QStringLiteral("port"),
        QStringLiteral("dbname"), QStringLiteral("user") };
    QStringList parts;
    for (const QString& keyword : shown) {
        for (PQconninfoOption* option = options; option->keyword; ++option) {
            if (keyword == QLatin1String(option->keyword) && option->val && *option->val)
                parts.append(keyword + u'=' + QString::fromUtf8(option->val));
        }
    }
    PQconninfoFree(options);
    return parts.isEmpty() ? QStringLiteral("serverul implicit (variabilele PG*)") : parts.join(u' ');
}

namespace {

struct ServerFile
{
    bool present = false;
    QString path;
    QString line; // the first line, blanks trimmed
    QString readError;
};

ServerFile readServerFile(const QString& workFolder)
{
    ServerFile server;
    server.path = QDir(workFolder).filePath(QStringLiteral("data/server"));
    QFile file(server.path);
    if (!file.exists())
        return server;
    server.present = true;
    if (!file.open(QIODevice::ReadOnly))
        server.readError = file.errorString();
    else
        server.line = QString::fromUtf8(file.readLine(4096)).trimmed();
    return server;
}

} // namespace

QString ServerConnectionOfWorkFolder(const QString& workFolder)
{
    const ServerFile server = readServerFile(workFolder);
    return IsServerConnection(server.line) ? server.line : QString();
}

QString ServerFileProblem(const QString& workFolder)
{
    const ServerFile server = readServerFile(workFolder);
    if (!server.present || IsServerConnection(server.line))
        return {};
    if (!server.readError.isEmpty())
        return QStringLiteral("Fisierul %1 nu poate fi citit (%2); el numeste registrul de pe server.")
            .arg(server.path, server.readError);
    return QStringLiteral("Fisierul %1 trebuie sa numeasca registrul de pe server (de exemplu "
                          "postgresql://utilizator@server/itm sau service=itm), dar contine \"%2\". "
                          "Corectati-l, sau stergeti-l pentru a lucra cu registrul local data/date.itm.")
        .arg(server.path, server.line.left(200));
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
