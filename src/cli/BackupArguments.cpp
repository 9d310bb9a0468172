#include "cli/BackupArguments.h"

#include "cli/DefaultDatabase.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace itm::cli {

std::optional<BackupArguments> ParseBackupArguments(
    const QString& command, const QStringList& arguments, BackupOptions accepted, QTextStream& err)
{
    QCommandLineParser parser;
    const QCommandLineOption db(QStringLiteral("db"), QStringLiteral("database file"), QStringLiteral("FILE"));
    const QCommandLineOption to(QStringLiteral("to"), QStringLiteral("destination folder"), QStringLiteral("DIR"));
    const QCommandLineOption force(QStringLiteral("force"), QStringLiteral("restore without asking"));
    parser.addOption(db);
    if (accepted == BackupOptions::WithTo)
        parser.addOption(to);
    if (accepted == BackupOptions::WithFile)
        parser.addOption(force);
    // The parser takes the first argument for the program's name.
    if (!parser.parse(QStringList { QStringLiteral("itm-cli") } + arguments)) {
        err << "itm-cli " << command << ": " << parser.errorText() << '\n';
        return std::nullopt;
    }
    const QStringList positional = parser.positionalArguments();
    const int expected = accepted == BackupOptions::WithFile ? 1 : 0;
    if (positional.size() > expected) {
        err << "itm-cli " << command << ": argument neasteptat '" << positional.at(expected) << "'\n";
        return std::nullopt;
    }
    if (positional.size() < expected) {
        err << "itm-cli " << command << ": lipseste fisierul de restaurat\n";
        return std::nullopt;
    }

    BackupArguments result;
    result.db = parser.isSet(db) ? parser.value(db) : DefaultDatabasePath(command, err);
    if (accepted == BackupOptions::WithTo && parser.isSet(to))
        result.to = parser.value(to);
    if (expected == 1)
        result.file = positional.constFirst();
    result.force = accepted == BackupOptions::WithFile && parser.isSet(force);
    return result;
}

} // namespace itm::cli
