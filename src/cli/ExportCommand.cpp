#include "cli/CliDatabase.h"
#include "cli/Command.h"
#include "exchange/RegisterSheet.h"
#include "exchange/SheetFile.h"
#include "store/Connection.h"
#include "store/Errors.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace itm::cli {

namespace {

const QString command = QStringLiteral("export");

int exportTable(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QCommandLineParser parser;
    const QCommandLineOption registerTable(QStringLiteral("register"), QStringLiteral("the payer register"));
    const QCommandLineOption outFile(QStringLiteral("out"), QStringLiteral("destination"), QStringLiteral("FILE"));
    const QCommandLineOption db(QStringLiteral("db"), QStringLiteral("database file"), QStringLiteral("FILE"));
    parser.addOptions({ registerTable, outFile, db });
    if (!parser.parse(QStringList { QStringLiteral("itm-cli") } + arguments)) {
        err << "itm-cli " << command << ": " << parser.errorText() << '\n';
        return 2;
    }
    if (!parser.positionalArguments().isEmpty()) {
        err << "itm-cli " << command << ": unexpected argument '" << parser.positionalArguments().constFirst() << "'\n";
        return 2;
    }
    QStringList missing;
    if (!parser.isSet(registerTable))
        missing << QStringLiteral("--register");
    if (!parser.isSet(outFile))
        missing << QStringLiteral("--out");
    if (!missing.isEmpty()) {
        err << "itm-cli " << command << ": missing " << missing.join(QStringLiteral(", ")) << '\n';
        return 2;
    }
    const QString path = parser.value(outFile);
    const auto format = exchange::SheetFormatOfPath(path);
    if (!format) {
        err << "itm-cli " << command << ": " << path << ": the file name must end in .xlsx or .csv\n";
        return 2;
    }
    const QString databasePath = parser.isSet(db) ? parser.value(db) : CliDatabase::defaultPath();
    try {
        Connection connection;
        connection.open(databasePath, true);
        exchange::RegisterSheet payers(connection,
            *format == exchange::SheetFormat::Csv ? exchange::RegisterColumns::PayerFile
                                                  : exchange::RegisterColumns::Everything);
        QString failure;
        if (!exchange::WriteSheetFile(payers, path, &failure)) {
            err << "itm-cli " << command << ": " << path << ": " << failure << '\n';
            return 1;
        }
        out << "wrote " << path << '\n';
        return 0;
    } catch (const DatabaseError& error) {
        err << "itm-cli " << command << ": " << databasePath << ": " << error.message() << '\n';
        return 1;
    }
}

const CommandRegistration registration({
    command,
    QStringLiteral("export --register --out FILE.xlsx|FILE.csv [--db FILE]    the payer register into a spreadsheet"),
    false,
    &exportTable,
});

} // namespace

} // namespace itm::cli
