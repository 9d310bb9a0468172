#include "backup/ServerCopy.h"
#include "cli/Command.h"
#include "platform/Job.h"
#include "store/Connection.h"
#include "store/ServerConnection.h"
#include "store/ServerSchema.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace itm::cli {

namespace {

int init(const QString& database, QTextStream& out, QTextStream& err)
{
    const QString command = QStringLiteral("server init");
    if (!IsServerConnection(database)) {
        err << "itm-cli " << command << ": --db must name a PostgreSQL server (postgresql://..., service=...), not '"
            << database << "'\n";
        return 2;
    }
    return RunReportingErrors(command, database, err, [&] {
        Connection connection;
        connection.open(database);
        const ServerInit outcome = InitServerRegister(connection);
        if (outcome == ServerInit::AlreadyThere) {
            out << "Registrul exista deja pe server (schema " << ServerSchemaVersion(connection)
                << "); nu s-a schimbat nimic.\n";
            return 0;
        }
        if (outcome == ServerInit::NoticeAdded) {
            out << "Registrul exista deja pe server (schema " << ServerSchemaVersion(connection)
                << "); s-a adaugat doar anuntarea salvarilor catre ceilalti utilizatori.\n";
            return 0;
        }
        out << "Registrul a fost creat pe server: tabelele " << RegisterTableNames().join(QStringLiteral(", "))
            << ", judetele si schema " << ServerSchemaVersion(connection) << ".\n";
        return 0;
    });
}

int copy(const QString& from, const QString& to, QTextStream& out, QTextStream& err)
{
    const QString command = QStringLiteral("server copy");
    const bool toServer = IsServerConnection(to);
    if (toServer == IsServerConnection(from)) {
        err << "itm-cli " << command << ": one of --from and --to must be a file, the other a server\n";
        return 2;
    }
    QList<CopiedTable> copied;
    return RunReportingErrors(command, toServer ? to : from, err, [&] {
        const JobOutcome outcome = RunInTerminal(QStringLiteral("Copierea registrului"), [&](JobProgress& progress) {
            copied = toServer ? CopyFileToServer(from, to, progress) : CopyServerToFile(from, to, progress);
        });
        if (outcome == JobOutcome::Cancelled) {
            err << "itm-cli " << command << ": oprit; nu s-a copiat nimic\n";
            return 1;
        }
        for (const CopiedTable& table : std::as_const(copied))
            out << table.table << ": " << table.rows << " randuri copiate si verificate\n";
        out << "copiat: " << to << " din " << from << '\n';
        return 0;
    });
}

int server(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const QString command = QStringLiteral("server");
    QCommandLineParser parser;
    const QCommandLineOption db(QStringLiteral("db"), QStringLiteral("server connection"), QStringLiteral("URI"));
    const QCommandLineOption from(QStringLiteral("from"), QStringLiteral("copied register"), QStringLiteral("FROM"));
    const QCommandLineOption to(QStringLiteral("to"), QStringLiteral("copy made"), QStringLiteral("TO"));
    parser.addOptions({ db, from, to });
    if (const auto status = ParseCommandArguments(parser, command, arguments, 1, err))
        return *status;
    const QString action = parser.positionalArguments().value(0);
    if (action == u"init" && parser.isSet(db) && !parser.isSet(from) && !parser.isSet(to))
        return init(parser.value(db), out, err);
    if (action == u"copy" && parser.isSet(from) && parser.isSet(to) && !parser.isSet(db))
        return copy(parser.value(from), parser.value(to), out, err);
    err << "itm-cli " << command << ": use 'server init --db URI' or 'server copy --from FILE|URI --to URI|FILE'\n";
    return 2;
}

const CommandRegistration registration({
    QStringLiteral("server"),
    QStringLiteral("server (init --db URI | copy --from FILE|URI --to URI|FILE)    make the register on an "
                   "empty PostgreSQL database, or copy a register file onto it (or it into a new file), checked row "
                   "by row"),
    false,
    &server,
});

} // namespace

} // namespace itm::cli
